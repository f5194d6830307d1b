// ReboundGrid: the rebound table's layout (two rows per test area), its cells and selectors, and
// the keyboard order in which readings are typed.
#pragma once

#include "widgets/tavolingrid.h"

#include <array>

class QFrame;

namespace tavolin {

// What one test area shows; texts are formatted by the caller.
struct ReboundAreaCells {
    std::array<QString, 16> readings;
    std::array<bool, 16> marked{};      // excluded from the mean: yellow
    std::array<bool, 16> implausible{}; // off the hammer's scale: marked over the yellow
    bool locked = false;                // the mean was typed: readings read-only
    QString angle, plane, carbon, mean, angleCorrection, planeCorrection, corrected;
};

class ReboundGrid : public TavolinGrid {
    Q_OBJECT
public:
    enum Column {
        ColArea = 0,
        ColFirstReading = 1,
        ColLastReading = 8,
        ColAngle = 9,
        ColPlane = 10,
        ColCarbon = 11,
        ColMean = 12,
        ColAngleCorrection = 13,
        ColPlaneCorrection = 14,
        ColCorrected = 15,
        ColumnCount = 16
    };
    static constexpr int rowHeightPx = 19;

    static QColor markColor() { return QColor(255, 255, 0); }
    static const QStringList& headerTexts();
    // Entries of the angle selector ("90" ... "-90") and the angles they stand for.
    static const QStringList& angleEntries();
    static int angleOfEntry(int index); // 0 for any other index
    static int entryOfAngle(int angle); // -1 when the angle has no entry
    // Entries of the surface selector: "侧面", "顶面", "底面" (the `PLANE` codes 0, 1, 2).
    static const QStringList& surfaceEntries();
    // Column widths for a table `width` wide inside its frame and beside its vertical scroll bar
    // (taken as 1000 when narrower): 4 % for the area
    // number, 6 % for each reading column and for "R", 7 % for the other six; 100 % in all.
    static std::array<int, ColumnCount> columnWidthsFor(int width);

    static int upperRow(int area) { return 2 * area + 1; }
    static int areaOfRow(int row) { return row >= 1 ? (row - 1) / 2 : -1; }
    // Cell of reading `index` (0..15) of an area: R1 upper row, R2 lower row, R3 upper row, ...
    static int readingRow(int area, int index) { return upperRow(area) + index % 2; }
    static int readingColumn(int index) { return ColFirstReading + index / 2; }
    // Reading index of a cell, -1 when it is no reading cell.
    static int readingAt(int row, int column);

    explicit ReboundGrid(QWidget* parent = nullptr);

    // Rows for `areas` test areas, all cells empty and no selectors.
    void setAreaCount(int areas);
    int areaCount() const { return areaCount_; }
    void showArea(int area, const ReboundAreaCells& cells);

    // The angle and surface selectors over the cells of `area` (one area at a time); -1 hides
    // them. The indexes are the entries to show as chosen, -1 none.
    void showSelectors(int area, int angleIndex, int planeIndex);
    int selectorArea() const { return selectorArea_; }
    // The area of the current cell, -1 without one.
    int currentArea() const { return areaOfRow(currentRow()); }
    // Makes a cell current without starting an edit.
    void goToCell(int row, int column);
    // The frame drawn around the current selector cell while the table has the keyboard focus
    // (a selector's own focus mark is a thin line hardly seen in a 19-pixel row).
    QWidget* selectorFocusRing() const { return focusRing_; }

signals:
    // The current cell moved into another area, or the area's number was clicked (at once).
    void areaEntered(int area);

protected:
    QModelIndex cellAfterEnter(const QModelIndex& from) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void applyColumnWidths();
    void reportArea(int area);
    void placeFocusRing();

    int areaCount_ = 0;
    int selectorArea_ = -1;
    QFrame* focusRing_ = nullptr;
};

} // namespace tavolin
