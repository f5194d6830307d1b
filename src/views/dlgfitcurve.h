// CDlgFitCurve: "拟合测强曲线", specimens (v, R, f) typed, pasted or imported from CSV, the least-
// squares curve with its errors and ranges, a plot of measured against fitted strength with the
// +-delta band, and "加入曲线库".
#pragma once

#include "calc/calibration.h"
#include "data/curvelibrary.h"

#include <QDialog>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tavolin {

// Measured strength over fitted strength, the line of equality and the +-delta band.
class FitPlot : public QWidget {
public:
    explicit FitPlot(QWidget* parent = nullptr);
    void setFit(const std::vector<CurveSpecimen>& specimens, const std::optional<CurveFit>& fit);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<CurveSpecimen> specimens_;
    std::optional<CurveFit> fit_;
};

class CDlgFitCurve : public QDialog {
    Q_OBJECT
public:
    // `add` stores a curve in the library and returns "" or the message.
    using AddCurve = std::function<std::u16string(const NamedCurve&)>;
    CDlgFitCurve(AddCurve add, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    QLabel* resultLabel() const { return result_; }
    QLineEdit* nameEdit() const { return name_; }
    QPushButton* addButton() const { return add_; }
    const std::optional<CurveFit>& fit() const { return fit_; }

    // Rows from specimen text ("v,R,f" lines, or tab-separated as a spreadsheet copies them);
    // returns "" or the message naming the bad line. The rows replace the table's.
    std::u16string setSpecimenText(const std::string& text);

public slots:
    void refit();
    void addToLibrary();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<CurveSpecimen> rows(std::u16string& error) const;

    AddCurve addCurve_;
    QTableWidget* table_;
    QLabel* result_;
    FitPlot* plot_;
    QLineEdit* name_;
    QPushButton* add_;
    std::optional<CurveFit> fit_;
};

} // namespace tavolin
