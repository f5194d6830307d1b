// CDlgFilter: the "滤波" dialog that filters the current area's waveforms live while typing.
#pragma once

#include "data/doc.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tavolin {

class DocBridge;

class CDlgFilter : public QDialog {
    Q_OBJECT
public:
    explicit CDlgFilter(DocBridge& bridge, QWidget* parent = nullptr);

    QCheckBox* highCheck() const { return highCheck_; }
    QCheckBox* lowCheck() const { return lowCheck_; }
    QLineEdit* highEdit() const { return highEdit_; }
    QLineEdit* lowEdit() const { return lowEdit_; }

public slots:
    void accept() override;
    void reject() override;

private:
    void onHighChecked(bool on);
    void onLowChecked(bool on);
    void onHighChanged();
    void onLowChanged();
    void apply();
    // The settings as typed so far, handed to the document at every change.
    void store() { edit_.setFilter(settings_); }
    float readNumber(const QLineEdit* edit);

    DocEditor& edit_;
    const FilterSettings atOpening_;
    FilterSettings settings_;
    QCheckBox* highCheck_;
    QCheckBox* lowCheck_;
    QLineEdit* highEdit_;
    QLineEdit* lowEdit_;
};

} // namespace tavolin
