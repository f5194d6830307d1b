// CDlgCurves: "测强曲线库", the user's named curves in a table: added, edited, deleted, imported
// from and exported to a file. The caller stores the library the dialog leaves at "确定".
#pragma once

#include "data/curvelibrary.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace tavolin {

class CDlgCurves : public QDialog {
    Q_OBJECT
public:
    CDlgCurves(const CurveLibrary& library, QWidget* parent = nullptr);

    // The table as a library; "" or the message naming the first row that is not a usable curve.
    std::u16string read(CurveLibrary& out) const;
    const CurveLibrary& library() const { return library_; }
    QTableWidget* table() const { return table_; }

    // Appends the curves of a library file whose names are not yet in the table; returns the
    // message to show ("" when every curve was taken).
    std::u16string importFile(const std::string& path);
    std::u16string exportFile(const std::string& path) const;

public slots:
    void addRow(const NamedCurve& curve = {});
    void removeRow();
    void accept() override;

private:
    QTableWidget* table_;
    CurveLibrary library_;
};

} // namespace tavolin
