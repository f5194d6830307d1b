// CDlgAngle: three header rows (" R", "检测角度", hammer up / down, the eight angles), then one
// row per Rm with its eight corrections.
#include "views/dlgangle.h"

#include "widgets/tavolingrid.h"

namespace tavolin {

CDlgAngle::CDlgAngle(const CorrectionTables& tables, int standard, QWidget* parent)
    : CorrectionTableDialog(tables, standard, QStringLiteral("角度修正值表"), parent) {
    setObjectName(QStringLiteral("CDlgAngle"));
    fill();
    fitTo(headerRows + 12);
}

int CDlgAngle::rows() const {
    return standard_ == 0 ? 7 : 31;
}

int CDlgAngle::rmOf(int row) const {
    return 20 + row * (standard_ == 0 ? 5 : 1);
}

float& CDlgAngle::value(int row, int column) {
    return standard_ == 0 ? tables_.AngleCecs[row][column] : tables_.AngleTb[row][column];
}

void CDlgAngle::fill() {
    TavolinGrid* g = grid_;
    g->setGridSize(headerRows + rows(), 9, headerRows, 1);
    g->setCellText(0, 0, QStringLiteral(" R"));
    g->mergeCells(0, 0, headerRows, 1);
    g->setCellText(0, 1, QStringLiteral("检测角度"));
    g->mergeCells(0, 1, 1, 8);
    g->setCellText(1, 1, QStringLiteral("回弹仪向上"));
    g->mergeCells(1, 1, 1, 4);
    g->setCellText(1, 5, QStringLiteral("回弹仪向下"));
    g->mergeCells(1, 5, 1, 4);
    for (int c = 0; c < 8; ++c)
        g->setCellText(2, 1 + c, QString::asprintf("%+d", angles[c]));
    for (int r = 0; r < rows(); ++r) {
        g->setCellText(headerRows + r, 0, QString::asprintf("%3d", rmOf(r)));
        for (int c = 0; c < 8; ++c)
            setValueCell(headerRows + r, 1 + c, value(r, c));
    }
    for (int r = 0; r < headerRows; ++r)
        for (int c = 0; c < 9; ++c)
            g->setCellAlignment(r, c, Qt::AlignCenter);
    g->setColumnWidth(0, 48);
    for (int c = 1; c < 9; ++c)
        g->setColumnWidth(c, 56);
    g->setAllRowHeights(24);
}

void CDlgAngle::store() {
    for (int r = 0; r < rows(); ++r)
        for (int c = 0; c < 8; ++c)
            value(r, c) = readCell(headerRows + r, 1 + c);
}

void CDlgAngle::resetShown() {
    if (standard_ == 0)
        tables_.resetAngleCecs();
    else
        tables_.resetAngleTb();
}

} // namespace tavolin
