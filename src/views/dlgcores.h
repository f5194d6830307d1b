// CDlgCores: "钻芯修正", the specimens of a core or cube correction, one row each, with the
// area's converted strength at eta = 1, the ratio, and the eta they give.
#pragma once

#include "data/records.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace tavolin {

class CTavolinDoc;

class CDlgCores : public QDialog {
    Q_OBJECT
public:
    // Starts with the job's specimens.
    CDlgCores(const CTavolinDoc& doc, QWidget* parent = nullptr);

    // The rows as specimens; rows without a number in "强度" are left out.
    std::vector<Specimen> specimens() const;
    QTableWidget* table() const { return table_; }
    QLabel* etaLabel() const { return eta_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }

public slots:
    void addRow(const Specimen& specimen = {});
    void removeRow();
    void accept() override;

private:
    void fillAreas(int row, int member, int area);
    void refresh();

    const CTavolinDoc& doc_;
    QTableWidget* table_;
    QLabel* eta_;
    QPushButton* add_;
    QPushButton* remove_;
};

} // namespace tavolin
