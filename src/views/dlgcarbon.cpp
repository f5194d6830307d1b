// CDlgCarbon: the caption rows "碳化深度值" / "抗压强度值（MPa）", then per carbonation group a
// "fcui(MPa)" row of strength bands and a " K(MPa)" row of editable corrections.
#include "views/dlgcarbon.h"

#include "widgets/tavolingrid.h"

#include <QPushButton>

namespace tavolin {

CDlgCarbon::CDlgCarbon(const CorrectionTables& tables, int standard, QWidget* parent)
    : CorrectionTableDialog(tables, standard, QStringLiteral("碳化深度修正表"), parent) {
    setObjectName(QStringLiteral("CDlgCarbon"));
    fill();
    if (standard_ == 0) {
        // Nothing to edit: the buttons that would change the table are greyed.
        findChild<QPushButton*>(QStringLiteral("IDOK"))->setEnabled(false);
        defaults_->setEnabled(false);
        grid_->setMinimumSize(420, 140);
    } else {
        fitTo(5);
    }
}

void CDlgCarbon::fill() {
    TavolinGrid* g = grid_;
    if (standard_ == 0) {
        g->setGridSize(0, 0, 0, 0);
        return;
    }
    g->setGridSize(5, 6, 1, 2);
    g->setCellText(0, 0, QStringLiteral("碳化深度值"));
    g->setCellText(0, 1, QStringLiteral("抗压强度值（MPa）"));
    g->mergeCells(0, 1, 1, 5);
    const QStringList groups{QStringLiteral("0.0;0.5;1.0"), QStringLiteral("1.5;2.0")};
    const QStringList bandTexts[2] = {
        {QStringLiteral("<=40.0"), QStringLiteral("45.0"), QStringLiteral("50.0"),
         QStringLiteral("55.0～60.0")},
        {QStringLiteral("<=30.0"), QStringLiteral("35.0"), QStringLiteral("40.0～60.0")}};
    for (int group = 0; group < 2; ++group) {
        const int fcuRow = kRow(group) - 1;
        g->setCellText(fcuRow, 0, groups[group]);
        g->mergeCells(fcuRow, 0, 2, 1);
        g->setCellText(fcuRow, 1, QStringLiteral("fcui(MPa)"));
        g->setCellText(kRow(group), 1, QStringLiteral(" K(MPa)"));
        for (int band = 0; band < bands(group); ++band) {
            g->setCellText(fcuRow, kColumn(band), bandTexts[group][band]);
            g->setCellReadOnly(fcuRow, kColumn(band), true);
            g->setCellBackground(fcuRow, kColumn(band), TavolinGrid::headerColor());
            setValueCell(kRow(group), kColumn(band), tables_.PumpTb[group][band]);
        }
    }
    // The last band of group 2 spans the two last cells.
    g->mergeCells(kRow(1) - 1, kColumn(2), 1, 2);
    g->mergeCells(kRow(1), kColumn(2), 1, 2);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 6; ++c)
            if (r < 1 || c < 2 || r == 1 || r == 3)
                g->setCellAlignment(r, c, Qt::AlignCenter);
    g->setColumnWidth(0, 96);
    g->setColumnWidth(1, 80);
    for (int c = 2; c < 6; ++c)
        g->setColumnWidth(c, 84);
    g->setAllRowHeights(26);
}

void CDlgCarbon::store() {
    if (standard_ == 0)
        return;
    for (int group = 0; group < 2; ++group)
        for (int band = 0; band < bands(group); ++band)
            tables_.PumpTb[group][band] = readCell(kRow(group), kColumn(band));
}

void CDlgCarbon::resetShown() {
    if (standard_ != 0)
        tables_.resetPumpTb();
}

} // namespace tavolin
