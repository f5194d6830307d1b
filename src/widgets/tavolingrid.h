// TavolinGrid: the program's table control (frozen header rows and columns, merged cells,
// per-cell colour and read-only state, in-place editing, drop-downs over cells).
#pragma once

#include <QColor>
#include <QHash>
#include <QPoint>
#include <QStringList>
#include <QTableWidget>

#include <functional>

class QComboBox;
class QTableView;

namespace tavolin {

// The header rows and the first columns are ordinary cells of the table ("fixed cells"): they
// carry the header texts, are drawn in the header colour, are never editable and stay in view
// while the rest scrolls. Row and column numbers therefore count the fixed cells too (the first
// data row is row fixedRowCount()), as the callers' layouts describe them.
//
// The notifications rowSelected, columnSelected, cellEdited and dropDownActivated are delivered
// queued, after the handler of the user action has finished, so a receiver may rebuild the grid
// or show a message box. editAboutToStart is delivered at once, before the editor opens, and
// cellCommitted at once when an editor's text is written into its cell (a receiver must not
// change the grid's size there; it may note what the edit belongs to), and dropDownCommitted at
// once when an entry is chosen, likewise. An editor left with its text unchanged reports no edit.
class TavolinGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TavolinGrid(QWidget* parent = nullptr);
    ~TavolinGrid() override;

    static QColor headerColor() { return QColor(0xE4, 0xE4, 0xE4); }

    // Clears everything (texts, spans, drop-downs) and sets the size and the fixed cells.
    void setGridSize(int rows, int columns, int fixedRows = 1, int fixedColumns = 1);
    void setFixedRowCount(int rows);
    void setFixedColumnCount(int columns);
    int fixedRowCount() const { return fixedRows_; }
    int fixedColumnCount() const { return fixedColumns_; }
    bool isFixedCell(int row, int column) const;

    void setCellText(int row, int column, const QString& text);
    QString cellText(int row, int column) const;
    void setCellReadOnly(int row, int column, bool readOnly);
    bool isCellReadOnly(int row, int column) const;
    void setCellBackground(int row, int column, const QColor& colour);
    QColor cellBackground(int row, int column) const;
    void setCellAlignment(int row, int column, Qt::Alignment alignment);

    // Merges rowSpan x columnSpan cells starting at (row, column); the top-left cell holds the
    // text.
    void mergeCells(int row, int column, int rowSpan, int columnSpan);
    void setAllRowHeights(int height);

    // A drop-down list over a cell. Hidden drop-downs keep their entries and selection; the cell
    // text shows through. `current` -1 shows no selection.
    QComboBox* setCellDropDown(int row, int column, const QStringList& items, int current = -1);
    void removeCellDropDown(int row, int column);
    void setCellDropDownVisible(int row, int column, bool visible);
    void setCellDropDownCurrent(int row, int column, int current);
    bool hasCellDropDown(int row, int column) const;
    // The combo box while the drop-down is visible, else nullptr.
    QComboBox* cellDropDown(int row, int column) const;

    // Called before an in-place editor opens; returning false refuses the edit.
    void setEditGuard(std::function<bool(int row, int column)> guard) { guard_ = std::move(guard); }

    bool isEditing() const { return state() == EditingState; }

    // Selects the non-fixed cells of a row (no notification).
    void selectRowCells(int row);
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    void editAboutToStart(int row, int column);
    void cellCommitted(int row, int column, const QString& text);
    void cellEdited(int row, int column, const QString& text);
    void rowSelected(int row);
    void columnSelected(int column);
    void dropDownActivated(int row, int column, int index, const QString& text);
    void dropDownCommitted(int row, int column, int index);

protected:
    // The cell that Enter moves to, after committing an edit or on a cell that is not being
    // edited. The default stays on the cell.
    virtual QModelIndex cellAfterEnter(const QModelIndex& from) const { return from; }

    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // Typing on a cell that cannot be edited must not jump to a cell whose text starts alike.
    void keyboardSearch(const QString&) override {}
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void updateGeometries() override;

private:
    friend class TavolinGridDelegate;
    struct DropDown {
        QStringList items;
        int current = -1;
        bool visible = true;
    };
    static quint64 key(int row, int column) {
        return (quint64(quint32(row)) << 32) | quint32(column);
    }
    QTableWidgetItem* cell(int row, int column);
    void styleFixedCell(int row, int column);
    void restyleFixedCells();
    void reportSelection(int row, int column);
    void reportEdit(int row, int column, const QString& text);
    void showDropDown(int row, int column);
    // Ends the edit in `editor` at once (Enter, Up, Down): the text is committed before the next
    // key arrives, so keys typed ahead always reach the next cell.
    void finishEdit(QWidget* editor, int key);
    QTableView* makeOverlay();
    void layoutOverlays();

    int fixedRows_ = 0;
    int fixedColumns_ = 0;
    std::function<bool(int, int)> guard_;
    QHash<quint64, DropDown> dropDowns_;
    QTableView* topOverlay_ = nullptr;
    QTableView* leftOverlay_ = nullptr;
    QTableView* cornerOverlay_ = nullptr;
};

} // namespace tavolin
