// CDlgPlane: two header rows ("R", "测试面" over "顶面" and "底面"), then one row per Rm.
#include "views/dlgplane.h"

#include "widgets/tavolingrid.h"

namespace tavolin {

CDlgPlane::CDlgPlane(const CorrectionTables& tables, int standard, QWidget* parent)
    : CorrectionTableDialog(tables, standard, QStringLiteral("测试面修正表"), parent) {
    setObjectName(QStringLiteral("CDlgPlane"));
    fill();
    fitTo(headerRows + 12);
}

float& CDlgPlane::value(int row, int column) {
    return standard_ == 0 ? tables_.PlaneCecs[row][column] : tables_.PlaneTb[row][column];
}

void CDlgPlane::fill() {
    TavolinGrid* g = grid_;
    g->setGridSize(headerRows + rows(), 3, headerRows, 1);
    g->setCellText(0, 0, QStringLiteral("R"));
    g->mergeCells(0, 0, headerRows, 1);
    g->setCellText(0, 1, QStringLiteral("测试面"));
    g->mergeCells(0, 1, 1, 2);
    g->setCellText(1, 1, QStringLiteral("顶面"));
    g->setCellText(1, 2, QStringLiteral("底面"));
    const int step = standard_ == 0 ? 5 : 1;
    for (int r = 0; r < rows(); ++r) {
        g->setCellText(headerRows + r, 0, QString::asprintf("%3d", 20 + r * step));
        for (int c = 0; c < 2; ++c)
            setValueCell(headerRows + r, 1 + c, value(r, c));
    }
    for (int r = 0; r < headerRows; ++r)
        for (int c = 0; c < 3; ++c)
            g->setCellAlignment(r, c, Qt::AlignCenter);
    g->setColumnWidth(0, 48);
    g->setColumnWidth(1, 80);
    g->setColumnWidth(2, 80);
    g->setAllRowHeights(24);
}

void CDlgPlane::store() {
    for (int r = 0; r < rows(); ++r)
        for (int c = 0; c < 2; ++c)
            value(r, c) = readCell(headerRows + r, 1 + c);
}

void CDlgPlane::resetShown() {
    if (standard_ == 0)
        tables_.resetPlaneCecs();
    else
        tables_.resetPlaneTb();
}

} // namespace tavolin
