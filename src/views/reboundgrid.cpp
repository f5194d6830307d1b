// ReboundGrid: rows, spans, widths, colours and selectors of the rebound table, and Enter order.
#include "views/reboundgrid.h"

#include "data/format.h"
#include "data/labels.h"
#include "views/plausibilitymarks.h"
#include "views/qtext.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>

namespace tavolin {

namespace {

constexpr int angleValues[] = {90, 60, 45, 30, 0, -30, -45, -60, -90};

} // namespace

const QStringList& ReboundGrid::headerTexts() {
    static const QStringList texts{
        QStringLiteral("测区"),     QStringLiteral("R1-R2"),      QStringLiteral("R3-R4"),
        QStringLiteral("R5-R6"),    QStringLiteral("R7-R8"),      QStringLiteral("R9-R10"),
        QStringLiteral("R11-R12"),  QStringLiteral("R13-R14"),    QStringLiteral("R15-R16"),
        QStringLiteral("测试角度"), QStringLiteral("测试平面"),   QStringLiteral("碳化深度"),
        QStringLiteral("R"),        QStringLiteral("角度修正值"), QStringLiteral("测试面修正"),
        QStringLiteral("修正")};
    return texts;
}

const QStringList& ReboundGrid::angleEntries() {
    static const QStringList entries{
        QStringLiteral("90"),  QStringLiteral("60"),  QStringLiteral("45"),
        QStringLiteral("30"),  QStringLiteral("0"),   QStringLiteral("-30"),
        QStringLiteral("-45"), QStringLiteral("-60"), QStringLiteral("-90")};
    return entries;
}

int ReboundGrid::angleOfEntry(int index) {
    return index >= 0 && index < int(std::size(angleValues)) ? angleValues[index] : 0;
}

int ReboundGrid::entryOfAngle(int angle) {
    for (int i = 0; i < int(std::size(angleValues)); ++i)
        if (angleValues[i] == angle)
            return i;
    return -1;
}

const QStringList& ReboundGrid::surfaceEntries() {
    static const QStringList entries = [] {
        QStringList out;
        for (std::u16string_view label : kFaceLabels)
            out << toQ(std::u16string(label));
        return out;
    }();
    return entries;
}

std::array<int, ReboundGrid::ColumnCount> ReboundGrid::columnWidthsFor(int width) {
    const int w = std::max(width, 1000);
    std::array<int, ColumnCount> widths{};
    widths[ColArea] = w * 4 / 100;
    for (int c = ColFirstReading; c <= ColLastReading; ++c)
        widths[c] = w * 6 / 100;
    // Seven columns of 7 % would make 101 %: "R" (one letter over a one-decimal mean) takes 6 %.
    for (int c = ColAngle; c < ColumnCount; ++c)
        widths[c] = w * (c == ColMean ? 6 : 7) / 100;
    return widths;
}

int ReboundGrid::readingAt(int row, int column) {
    if (row < 1 || column < ColFirstReading || column > ColLastReading)
        return -1;
    return (column - ColFirstReading) * 2 + (row - 1) % 2;
}

ReboundGrid::ReboundGrid(QWidget* parent) : TavolinGrid(parent) {
    // The widths below were chosen for a 9-point face (12 pixels); every header text fits them.
    QFont f = font();
    f.setPixelSize(12);
    setFont(f);
    setSelectionMode(SingleSelection);
    // A click only chooses the cell: a delayed edit after a click would open on whatever cell
    // is current by then, in the middle of the typing that followed.
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setWordWrap(false);
    focusRing_ = new QFrame(viewport());
    focusRing_->setObjectName(QStringLiteral("selectorFocus"));
    focusRing_->setAttribute(Qt::WA_TransparentForMouseEvents);
    focusRing_->setFocusPolicy(Qt::NoFocus);
    focusRing_->setStyleSheet(QStringLiteral(
        "QFrame#selectorFocus { border: 3px solid #0a5cd6; background: transparent; }"));
    focusRing_->hide();
    // Placed once the focus has settled (a focus change is reported before it is complete).
    connect(
        qApp, &QApplication::focusChanged, this, [this] { placeFocusRing(); },
        Qt::QueuedConnection);
    setAreaCount(0);
    // A click on the area number column lands on the frozen strip, not on a data cell.
    connect(this, &TavolinGrid::rowSelected, this, [this](int row) {
        if (row >= 1 && areaOfRow(row) < areaCount_)
            emit areaEntered(areaOfRow(row));
    });
    // A chosen entry hands the keys back to the table.
    connect(this, &TavolinGrid::dropDownActivated, this, [this](int row, int column) {
        QComboBox* combo = cellDropDown(row, column);
        QWidget* focus = QApplication::focusWidget();
        // (No focus at all: the popup took it with it; the table gets it when the window is
        // active again.)
        if (combo && (!focus || focus == combo || focus == combo->view() ||
                      combo->view()->isAncestorOf(focus))) {
            setFocus(Qt::OtherFocusReason);
        }
    });
}

void ReboundGrid::setAreaCount(int areas) {
    areaCount_ = std::max(0, areas);
    selectorArea_ = -1;
    setUpdatesEnabled(false);
    setGridSize(1 + 2 * areaCount_, ColumnCount, 1, 1);
    const QStringList& headers = headerTexts();
    for (int c = 0; c < ColumnCount; ++c)
        setCellText(0, c, headers[c]);
    for (int a = 0; a < areaCount_; ++a) {
        const int row = upperRow(a);
        mergeCells(row, ColArea, 2, 1);
        setCellText(row, ColArea, toQ(formatInt(a + 1)));
        for (int c = ColAngle; c < ColumnCount; ++c)
            mergeCells(row, c, 2, 1);
        for (int c : {ColAngle, ColPlane, ColAngleCorrection, ColPlaneCorrection, ColCorrected})
            setCellReadOnly(row, c, true);
    }
    setAllRowHeights(rowHeightPx);
    applyColumnWidths();
    setUpdatesEnabled(true);
}

void ReboundGrid::showArea(int area, const ReboundAreaCells& cells) {
    if (area < 0 || area >= areaCount_)
        return;
    for (int i = 0; i < 16; ++i) {
        const int row = readingRow(area, i), column = readingColumn(i);
        setCellText(row, column, cells.readings[i]);
        setCellReadOnly(row, column, cells.locked);
        setCellBackground(row, column,
                          cells.locked           ? headerColor()
                          : cells.implausible[i] ? implausibleColor()
                          : cells.marked[i]      ? markColor()
                                                 : QColor(Qt::white));
    }
    const int row = upperRow(area);
    setCellText(row, ColAngle, cells.angle);
    setCellText(row, ColPlane, cells.plane);
    setCellText(row, ColCarbon, cells.carbon);
    setCellText(row, ColMean, cells.mean);
    setCellText(row, ColAngleCorrection, cells.angleCorrection);
    setCellText(row, ColPlaneCorrection, cells.planeCorrection);
    setCellText(row, ColCorrected, cells.corrected);
}

void ReboundGrid::showSelectors(int area, int angleIndex, int planeIndex) {
    if (selectorArea_ >= 0 && selectorArea_ != area && selectorArea_ < areaCount_) {
        removeCellDropDown(upperRow(selectorArea_), ColAngle);
        removeCellDropDown(upperRow(selectorArea_), ColPlane);
    }
    selectorArea_ = area >= 0 && area < areaCount_ ? area : -1;
    if (selectorArea_ < 0) {
        placeFocusRing();
        return;
    }
    const int row = upperRow(area);
    const struct {
        int column;
        const QStringList& entries;
        int current;
    } selectors[] = {{ColAngle, angleEntries(), angleIndex},
                     {ColPlane, surfaceEntries(), planeIndex}};
    for (const auto& s : selectors) {
        if (hasCellDropDown(row, s.column)) {
            setCellDropDownCurrent(row, s.column, s.current);
            continue;
        }
        if (QComboBox* combo = setCellDropDown(row, s.column, s.entries, s.current))
            combo->setAccessibleName(headerTexts()[s.column]);
    }
    placeFocusRing();
}

void ReboundGrid::placeFocusRing() {
    const int column = currentColumn();
    const int area = currentArea();
    const bool selectorCell = (column == ColAngle || column == ColPlane) && area >= 0 &&
                              area == selectorArea_ && cellDropDown(upperRow(area), column);
    const QWidget* focus = QApplication::focusWidget();
    const bool focused = focus && (focus == this || isAncestorOf(focus));
    if (!selectorCell || !focused) {
        focusRing_->hide();
        return;
    }
    // The cell spans the area's two rows.
    const QRect cell = visualRect(model()->index(upperRow(area), column));
    focusRing_->setGeometry(cell.adjusted(-1, -1, 1, 1));
    focusRing_->raise();
    focusRing_->show();
}

void ReboundGrid::goToCell(int row, int column) {
    const QModelIndex index = model()->index(row, column);
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    scrollTo(index);
}

QModelIndex ReboundGrid::cellAfterEnter(const QModelIndex& from) const {
    const int area = areaOfRow(from.row());
    if (area < 0)
        return from;
    // A reading goes on to the next reading of the area, then to R1 of the next area, passing
    // over locked readings.
    if (int reading = readingAt(from.row(), from.column()); reading >= 0) {
        for (int a = area, i = reading + 1; a < areaCount_; ++a, i = 0)
            for (; i < 16; ++i)
                if (!isCellReadOnly(readingRow(a, i), readingColumn(i)))
                    return model()->index(readingRow(a, i), readingColumn(i));
        return from;
    }
    // Carbonation and the typed mean go down their column, one area at a time.
    if ((from.column() == ColCarbon || from.column() == ColMean) && area + 1 < areaCount_)
        return model()->index(upperRow(area + 1), from.column());
    return from;
}

void ReboundGrid::keyPressEvent(QKeyEvent* event) {
    // Space, F4 or Alt+Down on a visible selector opens it.
    const bool opens = event->key() == Qt::Key_Space || event->key() == Qt::Key_F4 ||
                       ((event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) &&
                        (event->modifiers() & Qt::AltModifier));
    if (opens && state() != EditingState) {
        if (QComboBox* combo = cellDropDown(currentRow(), currentColumn())) {
            combo->setFocus(Qt::OtherFocusReason);
            combo->showPopup();
            event->accept();
            return;
        }
    }
    TavolinGrid::keyPressEvent(event);
}

void ReboundGrid::resizeEvent(QResizeEvent* event) {
    TavolinGrid::resizeEvent(event);
    applyColumnWidths();
    placeFocusRing();
}

bool ReboundGrid::viewportEvent(QEvent* event) {
    const bool handled = TavolinGrid::viewportEvent(event);
    // The vertical scroll bar coming or going changes the room for the columns.
    if (event->type() == QEvent::Resize)
        applyColumnWidths();
    return handled;
}

void ReboundGrid::focusInEvent(QFocusEvent* event) {
    TavolinGrid::focusInEvent(event);
    QMetaObject::invokeMethod(this, &ReboundGrid::placeFocusRing, Qt::QueuedConnection);
}

void ReboundGrid::focusOutEvent(QFocusEvent* event) {
    TavolinGrid::focusOutEvent(event);
    QMetaObject::invokeMethod(this, &ReboundGrid::placeFocusRing, Qt::QueuedConnection);
}

void ReboundGrid::scrollContentsBy(int dx, int dy) {
    TavolinGrid::scrollContentsBy(dx, dy);
    placeFocusRing();
}

void ReboundGrid::applyColumnWidths() {
    // The width inside the frame and beside the vertical scroll bar: the whole pane's width
    // would push the last column out of view.
    const auto widths = columnWidthsFor(viewport()->width());
    for (int c = 0; c < columnCount() && c < ColumnCount; ++c)
        if (columnWidth(c) != widths[c])
            setColumnWidth(c, widths[c]);
}

void ReboundGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    TavolinGrid::currentChanged(current, previous);
    const int area = current.isValid() ? areaOfRow(current.row()) : -1;
    if (area >= 0 && area < areaCount_ &&
        (!previous.isValid() || areaOfRow(previous.row()) != area))
        reportArea(area);
    placeFocusRing();
}

void ReboundGrid::reportArea(int area) {
    emit areaEntered(area);
}

} // namespace tavolin
