// CAnalysisView: layout, the per-area grid and its notifications, refreshes from the document.
#include "views/analysisview.h"

#include "data/doc.h"
#include "data/format.h"
#include "data/plausibility.h"
#include "sonic/waveform.h"
#include "views/analysiswave.h"
#include "views/docbridge.h"
#include "views/plausibilitymarks.h"
#include "views/shellui.h"
#include "widgets/tavolingrid.h"

#include <QSlider>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tavolin {

namespace {

// Header texts and widths as fractions of the view's width.
struct ColumnSpec {
    const char* header;
    double width;
};
constexpr ColumnSpec kColumnSpecs[CAnalysisView::kColumns] = {
    {"测区", 0.04},   {"L1(mm)", 0.08}, {"T1(μs)", 0.08},  {"L2(mm)", 0.08},   {"T2(μs)", 0.08},
    {"L3(mm)", 0.08}, {"T3(μs)", 0.08}, {"V(km/s)", 0.16}, {"Va(km/s)", 0.16}, {"fcui(Mpa)", 0.17}};
// Narrower views scroll the grid rather than squeeze its columns.
constexpr int kMinimumGridWidth = 1000;

bool isPathColumn(int column) {
    return column == 1 || column == 3 || column == 5;
}

} // namespace

CAnalysisView::CAnalysisView(DocBridge& bridge, QWidget* parent)
    : QWidget(parent), bridge_(bridge) {
    setObjectName(QStringLiteral("CAnalysisView"));
    setAutoFillBackground(true);
    setMinimumSize(200, 160);
    wave_ = new AnalysisWaveform(bridge_, this);
    // The slider beside the waveform, not inside it: a repaint of the waveform leaves it alone.
    slider_ = makeZoomSlider(this, QStringLiteral("slider7777"), QStringLiteral("幅度缩放"));
    wave_->setZoomFactor(zoomFactor(slider_->value()));
    connect(slider_, &QSlider::valueChanged, wave_,
            [this](int position) { wave_->setZoomFactor(zoomFactor(position)); });
    grid_ = new TavolinGrid(this);
    grid_->setObjectName(QStringLiteral("gridArea"));
    grid_->setAccessibleName(QStringLiteral("测区数据"));

    connect(grid_, &TavolinGrid::rowSelected, this, &CAnalysisView::onRowSelected);
    connect(grid_, &TavolinGrid::columnSelected, this, &CAnalysisView::onColumnSelected);
    connect(grid_, &TavolinGrid::cellEdited, this, &CAnalysisView::onCellEdited);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &CAnalysisView::refresh);
    connect(&bridge_, &DocBridge::areaChangedQueued, this, &CAnalysisView::followNavigation);
    connect(&bridge_, &DocBridge::jobChangedQueued, this, &CAnalysisView::onJobChanged);
    connect(&bridge_, &DocBridge::samplesChangedQueued, wave_, &AnalysisWaveform::redraw);
    refresh();
}

void CAnalysisView::refresh() {
    rebuildGrid();
    wave_->redraw();
}

void CAnalysisView::repaintWaveform() {
    wave_->repaint();
}

void CAnalysisView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int upper = height() / 2;
    const int sliderWidth = 25;
    wave_->setGeometry(0, 0, std::max(0, width() - sliderWidth), upper);
    slider_->setGeometry(width() - sliderWidth, AnalysisWaveform::kStripHeight, sliderWidth,
                         std::max(0, upper - AnalysisWaveform::kStripHeight));
    grid_->setGeometry(0, upper, width(), height() - upper);
    layoutColumns();
}

void CAnalysisView::layoutColumns() {
    if (grid_->columnCount() != kColumns)
        return;
    // Room for the vertical scroll bar whenever the rows are taller than the grid, decided from
    // the rows themselves: the bar's own visibility lags behind a rebuild.
    const int frame = 2 * grid_->frameWidth();
    int rowsHeight = 0;
    for (int r = 0; r < grid_->rowCount(); ++r)
        rowsHeight += grid_->rowHeight(r);
    const int bar = rowsHeight > grid_->height() - frame
                        ? grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_)
                        : 0;
    const double base = std::max(grid_->width() - frame - bar, kMinimumGridWidth);
    // The fractions add up to 1.01: scaled so that the columns fill the width exactly.
    double total = 0;
    for (const ColumnSpec& c : kColumnSpecs)
        total += c.width;
    const QFontMetrics fm = grid_->fontMetrics();
    for (int c = 0; c < kColumns; ++c) {
        // Never narrower than the header text, so no header is cut at any scale.
        const int text = fm.horizontalAdvance(QString::fromUtf8(kColumnSpecs[c].header)) + 12;
        grid_->setColumnWidth(c, std::max(text, int(base * kColumnSpecs[c].width / total)));
    }
}

void CAnalysisView::rebuildGrid() {
    const CTavolinDoc& doc = std::as_const(bridge_).doc();
    const int member = doc.isOpen() ? doc.currentMember() : -1;
    const int areas =
        member >= 0 && member < doc.memberCount() ? int(doc.areasOf(member).size()) : 0;
    builtMember_ = member;
    ownMoves_ = 0;
    grid_->setUpdatesEnabled(false);
    grid_->setGridSize(areas + 1, kColumns, 1, 1);
    for (int c = 0; c < kColumns; ++c)
        grid_->setCellText(0, c, QString::fromUtf8(kColumnSpecs[c].header));
    for (int r = 1; r <= areas; ++r)
        for (int c = 1; c < kColumns; ++c)
            grid_->setCellReadOnly(r, c, !isPathColumn(c));
    fillAllRows();
    layoutColumns();
    grid_->setUpdatesEnabled(true);
    if (areas > 0)
        selectAreaRow(doc.currentAreaIndex() + 1);
}

void CAnalysisView::selectAreaRow(int row) {
    grid_->selectRowCells(row);
    grid_->scrollTo(grid_->model()->index(row, ColL1));
}

void CAnalysisView::fillAllRows() {
    for (int r = 1; r < grid_->rowCount(); ++r)
        fillRow(r - 1);
}

void CAnalysisView::fillRow(int area) {
    const CTavolinDoc& doc = std::as_const(bridge_).doc();
    if (builtMember_ < 0 || builtMember_ >= doc.memberCount())
        return;
    const AreaList& areas = doc.areasOf(builtMember_);
    if (area < 0 || area >= int(areas.size()) || area + 1 >= grid_->rowCount())
        return;
    const TestArea& a = areas[area];
    const int row = area + 1;
    auto put = [&](int column, const std::u16string& text) {
        grid_->setCellText(row, column, toQ(text));
    };
    put(ColArea, formatInt(area + 1));
    const AreaPlausibility marks = checkPlausibility(a);
    for (int j = 0; j < 3; ++j) {
        put(ColL1 + 2 * j, formatFixed(a.points[j].L, 0));
        put(ColT1 + 2 * j, formatFixed(a.pointTime[j], 1));
        // A path length of 0 or above 3000 mm is kept as typed but marked.
        grid_->setCellBackground(row, ColL1 + 2 * j,
                                 marks.pathLength[size_t(j)] ? implausibleColor()
                                                             : QColor(Qt::white));
    }
    put(ColV, formatFixed(a.velocity, 3));
    put(ColVa, formatFixed(a.correctedVelocity, 3));
    put(ColFcui, formatAreaStrength(a.FCUI, doc.standard()));
}

void CAnalysisView::followNavigation() {
    const CTavolinDoc& doc = std::as_const(bridge_).doc();
    if (!doc.isOpen() || doc.currentMember() != builtMember_ ||
        grid_->rowCount() != int(doc.areasOf(builtMember_).size()) + 1) {
        refresh();
        return;
    }
    // A move the grid asked for already shows its row, and the cell clicked stays current (its
    // L is typed into next); meanwhile the user may have clicked on, so it must not be undone.
    if (ownMoves_ > 0)
        --ownMoves_;
    else
        selectAreaRow(doc.currentAreaIndex() + 1);
    wave_->redraw();
}

void CAnalysisView::onJobChanged(int member, int area, unsigned /*fields*/) {
    const CTavolinDoc& doc = std::as_const(bridge_).doc();
    if (member >= 0 && member != builtMember_)
        return;
    if (!doc.isOpen() || builtMember_ != doc.currentMember() ||
        grid_->rowCount() != int(doc.areasOf(builtMember_).size()) + 1) {
        refresh();
        return;
    }
    if (area < 0)
        fillAllRows();
    else
        fillRow(area);
    if (area < 0 || area == doc.currentAreaIndex())
        wave_->redraw();
}

void CAnalysisView::onRowSelected(int row) {
    CTavolinDoc& doc = bridge_.doc();
    if (!doc.isOpen() || row < 1 || row >= grid_->rowCount() || doc.currentMember() != builtMember_)
        return;
    if (row - 1 == doc.currentAreaIndex())
        return;
    doc.setCurrentArea(row - 1);
    if (doc.currentAreaIndex() == row - 1)
        ++ownMoves_;
}

void CAnalysisView::onColumnSelected(int column) {
    CTavolinDoc& doc = bridge_.doc();
    if (column >= ColL1 && column <= ColL1 + 5)
        doc.setSelectedPoint((column - 1) / 2);
    wave_->redraw();
}

void CAnalysisView::onCellEdited(int row, int column, const QString& text) {
    CTavolinDoc& doc = bridge_.doc();
    if (!doc.isOpen() || !isPathColumn(column) || row < 1 || doc.currentMember() != builtMember_)
        return;
    const int area = row - 1;
    const std::u16string message =
        doc.enterPathLength(builtMember_, area, (column - 1) / 2, fromQ(text.trimmed()));
    if (!message.empty())
        showMessage(this, toQ(message));
    // The stored (clamped) value is shown back, also when it did not change.
    fillRow(area);
}

} // namespace tavolin
