// CAnalysisDownTView: fills the rebound table from the document, follows its navigation and
// hands every edit to the document.
#include "views/analysisdowntview.h"

#include "data/docchange.h"
#include "data/format.h"
#include "data/labels.h"
#include "data/plausibility.h"
#include "views/docbridge.h"
#include "views/reboundgrid.h"
#include "views/shellui.h"

#include <QPointer>
#include <QVBoxLayout>

#include <utility>

namespace tavolin {

CAnalysisDownTView::CAnalysisDownTView(DocBridge& bridge, QWidget* parent)
    : AnalysisPane(bridge, QStringLiteral("CAnalysisDownTView"), parent) {
    // The table's own frame is the pane's: its columns follow the pane's full width.
    setFrameStyle(QFrame::NoFrame);
    grid_ = new ReboundGrid(this);
    grid_->setObjectName(QStringLiteral("ReboundGrid"));
    grid_->setAccessibleName(QStringLiteral("回弹数据"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
    setFocusProxy(grid_);

    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, [this] {
        ++job_;
        rebuild();
    });
    connect(&bridge_, &DocBridge::areaChangedQueued, this, &CAnalysisDownTView::followCurrentArea);
    connect(&bridge_, &DocBridge::jobChangedQueued, this, &CAnalysisDownTView::onJobChanged);
    connect(grid_, &TavolinGrid::cellCommitted, this, &CAnalysisDownTView::onCellCommitted);
    connect(grid_, &TavolinGrid::dropDownActivated, this,
            [this](int row, int column, int index) { onSelectorChosen(row, column, index); });
    connect(grid_, &ReboundGrid::areaEntered, this, &CAnalysisDownTView::onAreaEntered);
    rebuild();
}

const CTavolinDoc& CAnalysisDownTView::doc() const {
    return std::as_const(bridge_.doc());
}

void CAnalysisDownTView::rebuild() {
    const CTavolinDoc& d = doc();
    const int m = d.currentMember();
    if (!d.isOpen() || m < 0 || m >= int(d.job().areas.size())) {
        shownMember_ = -1;
        grid_->setAreaCount(0);
        return;
    }
    shownMember_ = m;
    const int count = int(d.job().areas[m].size());
    grid_->setAreaCount(count);
    for (int a = 0; a < count; ++a)
        refreshArea(a);
    const int current = d.currentAreaIndex();
    if (current >= 0 && current < count) {
        showSelectorsOf(current);
        moveCursorTo(current);
    }
}

void CAnalysisDownTView::onJobChanged(int member, int area, unsigned fields) {
    constexpr unsigned shown =
        ChangeReadings | ChangeCarbon | ChangeAngle | ChangePlane | ChangeStrength;
    if (!(fields & shown) || shownMember_ < 0 || (member != -1 && member != shownMember_))
        return;
    if (area >= 0) {
        refreshArea(area);
        return;
    }
    for (int a = 0; a < grid_->areaCount(); ++a)
        refreshArea(a);
}

void CAnalysisDownTView::refreshArea(int area) {
    const TestArea* t = doc().area(shownMember_, area);
    const AreaStrength* strength = doc().areaStrength(shownMember_, area);
    if (!t || !strength || area >= grid_->areaCount())
        return;
    ReboundAreaCells cells;
    for (int i = 0; i < 16; ++i)
        cells.readings[i] = toQ(formatInt(t->R[i] < 0 ? 35 : t->R[i]));
    if (strength->extremesValid)
        for (int position : strength->extremes)
            if (position >= 0 && position < 16)
                cells.marked[position] = true;
    cells.implausible = checkPlausibility(*t).reading;
    // While a typed mean is in force the readings do not count: they stay locked.
    cells.locked = t->reboundFlag != 0;
    cells.angle = toQ(formatInt(t->ANGLE));
    cells.plane = toQ(faceLabel(t->PLANE));
    cells.carbon = toQ(formatFixed(t->CARBON, 1));
    cells.mean = toQ(formatFixed(t->reboundMean, 1));
    cells.angleCorrection = toQ(formatFixed(t->ANGLEAM, 1));
    cells.planeCorrection = t->PLANE < 0 ? toQ(formatInt(0)) : toQ(formatFixed(t->PLANEAM, 1));
    cells.corrected = toQ(formatFixed(strength->correctedRebound, 1));
    grid_->showArea(area, cells);
    if (area == grid_->selectorArea())
        showSelectorsOf(area);
}

void CAnalysisDownTView::showSelectorsOf(int area) {
    const TestArea* t = doc().area(shownMember_, area);
    if (!t)
        return;
    const int plane =
        t->PLANE >= 0 && t->PLANE < ReboundGrid::surfaceEntries().size() ? t->PLANE : -1;
    grid_->showSelectors(area, ReboundGrid::entryOfAngle(t->ANGLE), plane);
}

void CAnalysisDownTView::followCurrentArea() {
    const CTavolinDoc& d = doc();
    if (!d.isOpen() || d.currentMember() != shownMember_) {
        rebuild();
        return;
    }
    const int area = d.currentAreaIndex();
    if (area < 0 || area >= grid_->areaCount())
        return;
    showSelectorsOf(area);
    // Another view chose the area: bring the cursor there, unless the user is typing or has
    // already moved on (a newer choice of the table is still on its way to the document).
    if (pendingChoices_ == 0 && !grid_->isEditing() && grid_->currentArea() != area)
        moveCursorTo(area);
}

void CAnalysisDownTView::moveCursorTo(int area) {
    // Following the document is no choice of the user's: it must not be sent back to it, where
    // it would arrive late and undo the navigation that caused it.
    following_ = true;
    grid_->goToCell(ReboundGrid::readingRow(area, 0), ReboundGrid::readingColumn(0));
    following_ = false;
}

void CAnalysisDownTView::onAreaEntered(int area) {
    if (following_)
        return;
    // Through the document's navigation, after the key or click has been handled.
    ++pendingChoices_;
    const int member = shownMember_;
    const int job = job_;
    QPointer<CAnalysisDownTView> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, member, job, area] {
            if (!self)
                return;
            --self->pendingChoices_;
            const CTavolinDoc& d = self->doc();
            if (job == self->job_ && member == d.currentMember() && d.area(member, area) &&
                area != d.currentAreaIndex())
                self->bridge_.doc().setCurrentArea(area);
        },
        Qt::QueuedConnection);
}

void CAnalysisDownTView::onCellCommitted(int row, int column, const QString& text) {
    // The edit belongs to the member and job it was typed in, whatever happens before it runs.
    const int member = shownMember_;
    const int job = job_;
    const int area = ReboundGrid::areaOfRow(row);
    QPointer<CAnalysisDownTView> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, member, job, area, row, column, text] {
            if (self && job == self->job_)
                self->applyEdit(member, area, row, column, text);
        },
        Qt::QueuedConnection);
}

void CAnalysisDownTView::applyEdit(int member, int area, int row, int column, const QString& text) {
    CTavolinDoc& d = bridge_.doc();
    const std::u16string typed = fromQ(text);
    if (const int reading = ReboundGrid::readingAt(row, column); reading >= 0)
        tell(d.enterReading(member, area, reading, typed));
    else if (column == ReboundGrid::ColMean)
        tell(d.enterReboundMean(member, area, typed));
    else if (column == ReboundGrid::ColCarbon)
        tell(d.enterCarbon(member, area, typed));
    else
        return;
    // The cell shows what was stored, also when the document kept the value it had.
    if (member == shownMember_)
        refreshArea(area);
}

void CAnalysisDownTView::onSelectorChosen(int row, int column, int index) {
    const int area = ReboundGrid::areaOfRow(row);
    CTavolinDoc& d = bridge_.doc();
    if (!doc().area(shownMember_, area))
        return;
    if (column == ReboundGrid::ColAngle)
        tell(d.setAngle(shownMember_, area, ReboundGrid::angleOfEntry(index)));
    else if (column == ReboundGrid::ColPlane)
        tell(d.setPlane(shownMember_, area, index));
    else
        return;
    refreshArea(area);
    if (d.currentAreaIndex() != area)
        d.setCurrentArea(area);
}

void CAnalysisDownTView::tell(const std::u16string& message) {
    if (!message.empty())
        showMessage(this, toQ(message));
}

} // namespace tavolin
