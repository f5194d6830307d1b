// TavolinGrid: frozen header cells drawn by overlay views, editing and selection notifications.
#include "widgets/tavolingrid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace tavolin {

// Reports the end of an in-place edit once the text has been written into the cell, and ends
// edits on Enter, Up and Down at once: the stock delegate commits Enter later, from the event
// queue, so keys typed ahead would still land in the old editor.
class TavolinGridDelegate : public QStyledItemDelegate {
public:
    explicit TavolinGridDelegate(TavolinGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor)
            editor->setProperty(inPlaceEditor, true);
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        // Only once: any later change of the cell (a refresh, a colour) must not overwrite what
        // is being typed.
        if (editor->property(loaded).toBool())
            return;
        QStyledItemDelegate::setEditorData(editor, index);
        editor->setProperty(loaded, true);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->selectAll(); // the first key typed replaces the old value
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        // Opening a cell and leaving it is no edit: an unchanged text reports nothing, so the
        // shown (formatted) value is never stored back as if typed.
        const QString before = index.data(Qt::EditRole).toString();
        QStyledItemDelegate::setModelData(editor, model, index);
        const QString after = index.data(Qt::EditRole).toString();
        if (after != before)
            grid_->reportEdit(index.row(), index.column(), after);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && event->type() == QEvent::KeyPress &&
            editor->property(inPlaceEditor).toBool()) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Up:
            case Qt::Key_Down:
                if (plain) {
                    grid_->finishEdit(editor, key->key());
                    return true;
                }
                break;
            default:
                break;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    static constexpr const char* inPlaceEditor = "tavolinInPlaceEditor";
    static constexpr const char* loaded = "tavolinEditorLoaded";
    TavolinGrid* grid_;
};

TavolinGrid::TavolinGrid(QWidget* parent) : QTableWidget(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setItemDelegate(new TavolinGridDelegate(this));
    setEditTriggers(DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectItems);
    // Pixel scrolling keeps the frozen overlays aligned with the cells beneath them.
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    setPalette(pal);

    topOverlay_ = makeOverlay();
    leftOverlay_ = makeOverlay();
    cornerOverlay_ = makeOverlay();
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, topOverlay_->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, leftOverlay_->verticalScrollBar(),
            &QScrollBar::setValue);
    auto resync = [this] { layoutOverlays(); };
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, resync);
    connect(verticalHeader(), &QHeaderView::sectionResized, this, resync);
}

TavolinGrid::~TavolinGrid() = default;

QTableView* TavolinGrid::makeOverlay() {
    auto* view = new QTableView(this);
    view->setModel(model());
    // Its own selection model: a click on a header must not move the grid's current cell (which
    // would scroll the grid back to it).
    view->setSelectionMode(NoSelection);
    view->setEditTriggers(NoEditTriggers);
    view->setFocusPolicy(Qt::NoFocus);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setHorizontalScrollMode(ScrollPerPixel);
    view->setVerticalScrollMode(ScrollPerPixel);
    view->setFrameShape(QFrame::NoFrame);
    view->setPalette(palette());
    view->hide();
    connect(view, &QTableView::pressed, this,
            [this](const QModelIndex& index) { reportSelection(index.row(), index.column()); });
    return view;
}

void TavolinGrid::layoutOverlays() {
    if (!topOverlay_)
        return;
    QTableView* overlays[] = {topOverlay_, leftOverlay_, cornerOverlay_};
    for (QTableView* view : overlays) {
        for (int c = 0; c < columnCount(); ++c)
            if (view->columnWidth(c) != columnWidth(c))
                view->setColumnWidth(c, columnWidth(c));
        for (int r = 0; r < rowCount(); ++r)
            if (view->rowHeight(r) != rowHeight(r))
                view->setRowHeight(r, rowHeight(r));
    }
    int fixedHeight = 0, fixedWidth = 0;
    for (int r = 0; r < std::min(fixedRows_, rowCount()); ++r)
        fixedHeight += rowHeight(r);
    for (int c = 0; c < std::min(fixedColumns_, columnCount()); ++c)
        fixedWidth += columnWidth(c);
    const QRect vp = viewport()->geometry();
    fixedHeight = std::min(fixedHeight, vp.height());
    fixedWidth = std::min(fixedWidth, vp.width());

    topOverlay_->setVisible(fixedHeight > 0);
    topOverlay_->setGeometry(vp.x(), vp.y(), vp.width(), fixedHeight);
    leftOverlay_->setVisible(fixedWidth > 0);
    leftOverlay_->setGeometry(vp.x(), vp.y(), fixedWidth, vp.height());
    cornerOverlay_->setVisible(fixedHeight > 0 && fixedWidth > 0);
    cornerOverlay_->setGeometry(vp.x(), vp.y(), fixedWidth, fixedHeight);
    topOverlay_->raise();
    leftOverlay_->raise();
    cornerOverlay_->raise();
    topOverlay_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    leftOverlay_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void TavolinGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    layoutOverlays();
}

void TavolinGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    layoutOverlays();
}

void TavolinGrid::scrollContentsBy(int dx, int dy) {
    QTableWidget::scrollContentsBy(dx, dy);
    layoutOverlays();
}

void TavolinGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableWidget::scrollTo(index, hint);
    if (!index.isValid() || isFixedCell(index.row(), index.column()))
        return;
    // Keep the cell clear of the frozen strips, which cover the first pixels of the viewport.
    const QRect r = visualRect(index);
    const int coverTop = topOverlay_->isVisible() ? topOverlay_->height() : 0;
    const int coverLeft = leftOverlay_->isVisible() ? leftOverlay_->width() : 0;
    if (r.top() < coverTop)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - (coverTop - r.top()));
    if (r.left() < coverLeft)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (coverLeft - r.left()));
}

void TavolinGrid::setGridSize(int rows, int columns, int fixedRows, int fixedColumns) {
    dropDowns_.clear();
    clearSpans();
    topOverlay_->clearSpans();
    leftOverlay_->clearSpans();
    cornerOverlay_->clearSpans();
    setRowCount(0);
    setColumnCount(0);
    setRowCount(std::max(0, rows));
    setColumnCount(std::max(0, columns));
    fixedRows_ = std::max(0, fixedRows);
    fixedColumns_ = std::max(0, fixedColumns);
    restyleFixedCells();
    layoutOverlays();
}

void TavolinGrid::setFixedRowCount(int rows) {
    fixedRows_ = std::max(0, rows);
    restyleFixedCells();
    layoutOverlays();
}

void TavolinGrid::setFixedColumnCount(int columns) {
    fixedColumns_ = std::max(0, columns);
    restyleFixedCells();
    layoutOverlays();
}

bool TavolinGrid::isFixedCell(int row, int column) const {
    return row < fixedRows_ || column < fixedColumns_;
}

QTableWidgetItem* TavolinGrid::cell(int row, int column) {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return nullptr;
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem;
        it->setTextAlignment(Qt::AlignCenter);
        setItem(row, column, it);
        if (isFixedCell(row, column))
            styleFixedCell(row, column);
    }
    return it;
}

void TavolinGrid::styleFixedCell(int row, int column) {
    QTableWidgetItem* it = item(row, column);
    if (!it)
        return;
    it->setFlags(Qt::ItemIsEnabled);
    it->setBackground(headerColor());
}

void TavolinGrid::restyleFixedCells() {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) {
            if (isFixedCell(r, c)) {
                cell(r, c);
                styleFixedCell(r, c);
            } else if (QTableWidgetItem* it = item(r, c);
                       it && !(it->flags() & Qt::ItemIsSelectable)) {
                // A former fixed cell becomes an ordinary editable cell again.
                it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
                it->setBackground(QBrush());
            }
        }
}

void TavolinGrid::setCellText(int row, int column, const QString& text) {
    if (QTableWidgetItem* it = cell(row, column))
        it->setText(text);
}

QString TavolinGrid::cellText(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void TavolinGrid::setCellReadOnly(int row, int column, bool readOnly) {
    if (isFixedCell(row, column))
        return;
    if (QTableWidgetItem* it = cell(row, column)) {
        Qt::ItemFlags f = it->flags();
        it->setFlags(readOnly ? (f & ~Qt::ItemIsEditable) : (f | Qt::ItemIsEditable));
    }
}

bool TavolinGrid::isCellReadOnly(int row, int column) const {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return true;
    return !(model()->flags(model()->index(row, column)) & Qt::ItemIsEditable);
}

void TavolinGrid::setCellBackground(int row, int column, const QColor& colour) {
    if (QTableWidgetItem* it = cell(row, column))
        it->setBackground(colour);
}

QColor TavolinGrid::cellBackground(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    if (!it || it->background().style() == Qt::NoBrush)
        return palette().color(QPalette::Base);
    return it->background().color();
}

void TavolinGrid::setCellAlignment(int row, int column, Qt::Alignment alignment) {
    if (QTableWidgetItem* it = cell(row, column))
        it->setTextAlignment(alignment);
}

void TavolinGrid::mergeCells(int row, int column, int rowSpan, int columnSpan) {
    if (row < 0 || column < 0 || rowSpan < 1 || columnSpan < 1 || row + rowSpan > rowCount() ||
        column + columnSpan > columnCount())
        return;
    setSpan(row, column, rowSpan, columnSpan);
    topOverlay_->setSpan(row, column, rowSpan, columnSpan);
    leftOverlay_->setSpan(row, column, rowSpan, columnSpan);
    cornerOverlay_->setSpan(row, column, rowSpan, columnSpan);
}

void TavolinGrid::setAllRowHeights(int height) {
    verticalHeader()->setDefaultSectionSize(height);
    for (int r = 0; r < rowCount(); ++r)
        setRowHeight(r, height);
}

QComboBox* TavolinGrid::setCellDropDown(int row, int column, const QStringList& items,
                                        int current) {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return nullptr;
    removeCellDropDown(row, column);
    dropDowns_.insert(key(row, column), DropDown{items, current, true});
    showDropDown(row, column);
    return cellDropDown(row, column);
}

void TavolinGrid::showDropDown(int row, int column) {
    const DropDown& d = dropDowns_[key(row, column)];
    auto* combo = new QComboBox;
    combo->addItems(d.items);
    combo->setCurrentIndex(d.current);
    connect(combo, &QComboBox::activated, this, [this, row, column, combo](int index) {
        auto it = dropDowns_.find(key(row, column));
        if (it != dropDowns_.end())
            it->current = index;
        const QString text = combo->itemText(index);
        emit dropDownCommitted(row, column, index);
        QPointer<TavolinGrid> self(this);
        QMetaObject::invokeMethod(
            this,
            [self, row, column, index, text] {
                if (self)
                    emit self->dropDownActivated(row, column, index, text);
            },
            Qt::QueuedConnection);
    });
    setCellWidget(row, column, combo);
}

void TavolinGrid::removeCellDropDown(int row, int column) {
    if (dropDowns_.remove(key(row, column)))
        removeCellWidget(row, column);
}

void TavolinGrid::setCellDropDownVisible(int row, int column, bool visible) {
    auto it = dropDowns_.find(key(row, column));
    if (it == dropDowns_.end() || it->visible == visible)
        return;
    it->visible = visible;
    if (visible)
        showDropDown(row, column);
    else
        removeCellWidget(row, column);
}

void TavolinGrid::setCellDropDownCurrent(int row, int column, int current) {
    auto it = dropDowns_.find(key(row, column));
    if (it == dropDowns_.end())
        return;
    it->current = current;
    if (QComboBox* combo = cellDropDown(row, column))
        combo->setCurrentIndex(current);
}

bool TavolinGrid::hasCellDropDown(int row, int column) const {
    return dropDowns_.contains(key(row, column));
}

QComboBox* TavolinGrid::cellDropDown(int row, int column) const {
    auto it = dropDowns_.find(key(row, column));
    if (it == dropDowns_.end() || !it->visible)
        return nullptr;
    return qobject_cast<QComboBox*>(cellWidget(row, column));
}

void TavolinGrid::selectRowCells(int row) {
    clearSelection();
    if (row < 0 || row >= rowCount() || columnCount() <= fixedColumns_)
        return;
    setRangeSelected(QTableWidgetSelectionRange(row, fixedColumns_, row, columnCount() - 1), true);
    const QSignalBlocker block(selectionModel());
    selectionModel()->setCurrentIndex(model()->index(row, fixedColumns_),
                                      QItemSelectionModel::NoUpdate);
}

bool TavolinGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool starting = index.isValid() && state() != EditingState &&
                          (trigger == AllEditTriggers || (editTriggers() & trigger)) &&
                          (model()->flags(index) & Qt::ItemIsEditable);
    if (starting) {
        if (guard_ && !guard_(index.row(), index.column()))
            return false;
        emit editAboutToStart(index.row(), index.column());
    }
    return QTableWidget::edit(index, trigger, event);
}

void TavolinGrid::finishEdit(QWidget* editor, int key) {
    const QModelIndex from = currentIndex();
    QAbstractItemDelegate* delegate = itemDelegate();
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    QModelIndex to;
    if (key == Qt::Key_Up)
        to = moveCursor(MoveUp, Qt::NoModifier);
    else if (key == Qt::Key_Down)
        to = moveCursor(MoveDown, Qt::NoModifier);
    else
        to = cellAfterEnter(from);
    if (to.isValid() && to != from) {
        setCurrentIndex(to);
        reportSelection(to.row(), to.column());
    }
}

QModelIndex TavolinGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (!next.isValid() || !isFixedCell(next.row(), next.column()))
        return next;
    // Keys never rest on a header cell.
    if (action == MoveNext || action == MovePrevious) {
        // Past the first or last data cell: stay, rather than wrap round through the header.
        if (next.row() < fixedRows_)
            return currentIndex();
        // Onto the header column of the next (previous) row: step on from there, as if it were
        // current.
        const QModelIndex original = currentIndex();
        QItemSelectionModel* selection = selectionModel();
        const QSignalBlocker block(selection);
        for (int step = 0; step < fixedColumns_ && next.isValid() && next.row() >= fixedRows_ &&
                           isFixedCell(next.row(), next.column());
             ++step) {
            selection->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
            next = QTableWidget::moveCursor(action, modifiers);
        }
        selection->setCurrentIndex(original, QItemSelectionModel::NoUpdate);
        if (next.isValid() && !isFixedCell(next.row(), next.column()))
            return next;
        return original;
    }
    const int row = std::max(next.row(), fixedRows_);
    const int column = std::max(next.column(), fixedColumns_);
    if (row >= rowCount() || column >= columnCount())
        return currentIndex();
    return model()->index(row, column);
}

void TavolinGrid::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        reportSelection(index.row(), index.column());
}

void TavolinGrid::keyPressEvent(QKeyEvent* event) {
    const QModelIndex before = currentIndex();
    // Tab and Shift+Tab move between the cells and stop at the first and last one, instead of
    // passing the focus on to a drop-down sitting over a cell.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        !(event->modifiers() & Qt::ControlModifier) && state() != EditingState &&
        tabKeyNavigation()) {
        const QModelIndex to =
            moveCursor(event->key() == Qt::Key_Tab ? MoveNext : MovePrevious, event->modifiers());
        if (to.isValid() && to != before) {
            setCurrentIndex(to);
            reportSelection(to.row(), to.column());
        }
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        state() != EditingState && before.isValid()) {
        const QModelIndex to = cellAfterEnter(before);
        if (to.isValid() && to != before) {
            setCurrentIndex(to);
            reportSelection(to.row(), to.column());
            event->accept();
            return;
        }
    }
    QTableWidget::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (after.isValid() && after != before && state() != EditingState)
        reportSelection(after.row(), after.column());
}

bool TavolinGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // Title tips: the full text of a cell too narrow for it.
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = index.data().toString();
        if (index.isValid() && !text.isEmpty() &&
            fontMetrics().horizontalAdvance(text) > visualRect(index).width() - 6) {
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QTableWidget::viewportEvent(event);
}

void TavolinGrid::reportSelection(int row, int column) {
    QPointer<TavolinGrid> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, row, column] {
            if (self)
                emit self->rowSelected(row);
            if (self)
                emit self->columnSelected(column);
        },
        Qt::QueuedConnection);
}

void TavolinGrid::reportEdit(int row, int column, const QString& text) {
    emit cellCommitted(row, column, text);
    QPointer<TavolinGrid> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, row, column, text] {
            if (self)
                emit self->cellEdited(row, column, text);
        },
        Qt::QueuedConnection);
}

} // namespace tavolin
