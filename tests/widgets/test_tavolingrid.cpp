// Qt Test of TavolinGrid driven by real mouse and key events.
#include "support/typing.h"
#include "widgets/tavolingrid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using tavolin::TavolinGrid;
using namespace tavolin::testing;

class TestTavolinGrid : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TavolinGrid> grid;

    // A 12 x 6 grid: header row 0, header column 0, 40 x 20 pixel cells.
    void build(int rows = 12, int columns = 6) {
        grid = std::make_unique<TavolinGrid>();
        grid->setGridSize(rows, columns, 1, 1);
        for (int c = 0; c < columns; ++c)
            grid->setColumnWidth(c, 40);
        grid->setAllRowHeights(20);
        for (int c = 1; c < columns; ++c)
            grid->setCellText(0, c, QStringLiteral("H%1").arg(c));
        for (int r = 1; r < rows; ++r)
            grid->setCellText(r, 0, QString::number(r));
        grid->resize(260, 150);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    }
    QPoint centre(int row, int column) {
        return grid->visualRect(grid->model()->index(row, column)).center();
    }
    QWidget* editor() { return grid->viewport()->findChild<QLineEdit*>(); }
    // A click is delivered to whatever widget is on top at that point of the viewport.
    void clickAt(QPoint viewportPos, bool twice = false) {
        const QPoint inGrid = grid->viewport()->mapTo(grid.get(), viewportPos);
        QWidget* target = grid->childAt(inGrid);
        QVERIFY(target);
        const QPoint local = target->mapFrom(grid.get(), inGrid);
        // QTest's double click sends only the second half of one (press, double-click,
        // release), so a real double click is a click followed by it.
        QTest::mouseClick(target, Qt::LeftButton, {}, local);
        if (twice)
            QTest::mouseDClick(target, Qt::LeftButton, {}, local);
    }

private slots:
    void cleanup() { grid.reset(); }

    void typingIntoACellReportsRowColumnAndTextWhenEditingEnds() {
        build();
        QSignalSpy started(grid.get(), &TavolinGrid::editAboutToStart);
        QSignalSpy edited(grid.get(), &TavolinGrid::cellEdited);
        QVERIFY(clickToFocus(grid->viewport(), centre(2, 3)));
        typeKeys("300");
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(0).toInt(), 2);
        QCOMPARE(started.at(0).at(1).toInt(), 3);
        QVERIFY(editor() && editor()->isVisible());
        QCOMPARE(edited.count(), 0); // still editing
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(edited.count(), 1);
        QCOMPARE(edited.at(0).at(0).toInt(), 2);
        QCOMPARE(edited.at(0).at(1).toInt(), 3);
        QCOMPARE(edited.at(0).at(2).toString(), QStringLiteral("300"));
        QCOMPARE(grid->cellText(2, 3), QStringLiteral("300"));
    }

    void escapeCancelsTheEditWithoutReport() {
        build();
        grid->setCellText(1, 1, "7");
        QSignalSpy edited(grid.get(), &TavolinGrid::cellEdited);
        clickAt(centre(1, 1), true);
        QVERIFY(editor());
        typeKeys("99");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::qWait(20);
        QCOMPARE(edited.count(), 0);
        QCOMPARE(grid->cellText(1, 1), QStringLiteral("7"));
    }

    void readOnlyAndFixedCellsOpenNoEditor() {
        build();
        grid->setCellText(3, 2, "5");
        grid->setCellReadOnly(3, 2, true);
        QVERIFY(grid->isCellReadOnly(3, 2));
        QVERIFY(grid->isCellReadOnly(0, 2));
        QVERIFY(grid->isCellReadOnly(4, 0));
        QVERIFY(!grid->isCellReadOnly(3, 3));
        QSignalSpy started(grid.get(), &TavolinGrid::editAboutToStart);
        QSignalSpy edited(grid.get(), &TavolinGrid::cellEdited);
        clickAt(centre(3, 2), true);
        typeKeys("1", grid.get());
        clickAt(centre(5, 0), true);
        QTest::qWait(20);
        QVERIFY(!editor() || !editor()->isVisible());
        QCOMPARE(started.count(), 0);
        QCOMPARE(edited.count(), 0);
        QCOMPARE(grid->cellText(3, 2), QStringLiteral("5"));
        // Editable again once released.
        grid->setCellReadOnly(3, 2, false);
        clickAt(centre(3, 2), true);
        QVERIFY(editor() && editor()->isVisible());
    }

    void theEditGuardCanRefuseAnEdit() {
        build();
        grid->setEditGuard([](int, int column) { return column != 4; });
        QSignalSpy started(grid.get(), &TavolinGrid::editAboutToStart);
        clickAt(centre(2, 4), true);
        QVERIFY(!editor() || !editor()->isVisible());
        clickAt(centre(2, 5), true);
        QVERIFY(editor() && editor()->isVisible());
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(1).toInt(), 5);
    }

    void aClickReportsTheRowThenTheColumnAfterTheHandler() {
        build();
        QList<QString> order;
        connect(grid.get(), &TavolinGrid::rowSelected, this,
                [&](int r) { order << QStringLiteral("row%1").arg(r); });
        connect(grid.get(), &TavolinGrid::columnSelected, this,
                [&](int c) { order << QStringLiteral("col%1").arg(c); });
        QVERIFY(clickToFocus(grid->viewport(), centre(4, 2)));
        QCOMPARE(order.size(), 0); // queued like a posted message
        QTRY_COMPARE(order.size(), 2);
        QCOMPARE(order, (QList<QString>{"row4", "col2"}));
        // Keyboard moves report the new cell as well.
        order.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTRY_COMPARE(order, (QList<QString>{"row5", "col2"}));
    }

    void mergedCellsReportTheirTopLeftCell() {
        build();
        grid->mergeCells(2, 1, 2, 3); // rows 2-3, columns 1-3
        grid->setCellText(2, 1, "merged");
        const QRect r = grid->visualRect(grid->model()->index(2, 1));
        // Three 40-pixel columns and two 20-pixel rows, less the one-pixel grid line.
        QCOMPARE(r.width(), 3 * 40 - 1);
        QCOMPARE(r.height(), 2 * 20 - 1);
        QSignalSpy rows(grid.get(), &TavolinGrid::rowSelected);
        QSignalSpy columns(grid.get(), &TavolinGrid::columnSelected);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centre(3, 3));
        QTRY_COMPARE(rows.count(), 1);
        QCOMPARE(rows.at(0).at(0).toInt(), 2);
        QCOMPARE(columns.at(0).at(0).toInt(), 1);
        // A merge that would run off the grid is refused.
        grid->mergeCells(10, 4, 3, 1);
        QCOMPARE(grid->rowSpan(10, 4), 1);
    }

    void headerRowStaysInViewWhileScrolling() {
        build(40, 6);
        QSignalSpy rows(grid.get(), &TavolinGrid::rowSelected);
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        QTest::qWait(20);
        // The header strip still sits at the top: a click there reports header row 0.
        clickAt(QPoint(60, 10));
        QTRY_COMPARE(rows.count(), 1);
        QCOMPARE(rows.at(0).at(0).toInt(), 0);
        // Below it, the scrolled data rows.
        rows.clear();
        clickAt(QPoint(60, 30));
        QTRY_COMPARE(rows.count(), 1);
        QVERIFY(rows.at(0).at(0).toInt() > 20);
        // Keyboard navigation to a row never leaves it hidden under the header strip.
        grid->setCurrentCell(30, 2);
        grid->scrollTo(grid->model()->index(30, 2));
        QVERIFY(grid->visualRect(grid->model()->index(30, 2)).top() >= 20);
    }

    void backgroundsAreDrawnPerCell() {
        build();
        grid->setCellBackground(2, 2, QColor(255, 255, 0));
        QCOMPARE(grid->cellBackground(2, 2), QColor(255, 255, 0));
        QCOMPARE(grid->cellBackground(2, 3), QColor(Qt::white));
        QCOMPARE(grid->cellBackground(0, 3), TavolinGrid::headerColor());
        const QImage image = grid->viewport()->grab().toImage();
        QCOMPARE(QColor(image.pixel(centre(2, 2) + QPoint(12, 0))), QColor(255, 255, 0));
        QCOMPARE(QColor(image.pixel(centre(0, 3) + QPoint(12, 0))), TavolinGrid::headerColor());
    }

    void dropDownsSitOverTheirCellAndReportTheChoice() {
        build();
        const QStringList faces{"侧面", "顶面", "底面"};
        QComboBox* combo = grid->setCellDropDown(3, 2, faces, 1);
        QVERIFY(combo);
        QTest::qWait(20);
        QCOMPARE(combo->geometry().center(), centre(3, 2));
        QCOMPARE(combo->currentText(), QStringLiteral("顶面"));
        QSignalSpy chosen(grid.get(), &TavolinGrid::dropDownActivated);
        // A click opens the list; Down and Enter choose from it.
        QTest::mouseClick(combo, Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), 3);
        QCOMPARE(chosen.at(0).at(1).toInt(), 2);
        QCOMPARE(chosen.at(0).at(2).toInt(), 2);
        QCOMPARE(chosen.at(0).at(3).toString(), QStringLiteral("底面"));
        // Hiding and showing again keeps the choice; the cell text shows while hidden.
        grid->setCellText(3, 2, "底面");
        grid->setCellDropDownVisible(3, 2, false);
        QVERIFY(!grid->cellDropDown(3, 2));
        QVERIFY(grid->hasCellDropDown(3, 2));
        grid->setCellDropDownVisible(3, 2, true);
        QVERIFY(grid->cellDropDown(3, 2));
        QCOMPARE(grid->cellDropDown(3, 2)->currentIndex(), 2);
        grid->setCellDropDownCurrent(3, 2, -1);
        QCOMPARE(grid->cellDropDown(3, 2)->currentIndex(), -1);
        // Rebuilding the grid removes every drop-down.
        grid->setGridSize(5, 5);
        QVERIFY(!grid->hasCellDropDown(3, 2));
    }

    void selectRowCellsSelectsTheDataCellsSilently() {
        build();
        QSignalSpy rows(grid.get(), &TavolinGrid::rowSelected);
        grid->selectRowCells(4);
        QTest::qWait(20);
        QCOMPARE(rows.count(), 0);
        const auto selected = grid->selectionModel()->selectedIndexes();
        QCOMPARE(selected.size(), 5);
        for (const QModelIndex& i : selected)
            QCOMPARE(i.row(), 4);
    }

    // Keys typed faster than the program refreshes: Enter commits before the next key, and a
    // refresh of the cell being edited (text or colour) leaves the typing alone.
    void typingAheadLosesNoKey() {
        build();
        grid->setCellText(2, 2, "35");
        QSignalSpy edited(grid.get(), &TavolinGrid::cellEdited);
        QVERIFY(clickToFocus(grid->viewport(), centre(2, 2)));
        typeKeys("4");
        grid->setCellBackground(2, 2, Qt::yellow);
        grid->setCellText(2, 2, "36");
        typeKeys("1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // stays on the cell here
        typeKeys("7");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        typeKeys("5");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTRY_COMPARE(edited.count(), 3);
        QCOMPARE(edited.at(0).at(2).toString(), QStringLiteral("41"));
        QCOMPARE(edited.at(1).at(2).toString(), QStringLiteral("7"));
        QCOMPARE(edited.at(2).at(0).toInt(), 3); // Down moved on before "5" came
        QCOMPARE(grid->currentRow(), 2);
        // Keys never rest on the header row or column.
        for (Qt::Key k : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Left, Qt::Key_Left, Qt::Key_Backtab})
            QTest::keyClick(QApplication::focusWidget(), k);
        QCOMPARE(grid->currentRow(), 1);
        QCOMPARE(grid->currentColumn(), 1);
    }
};

QTEST_MAIN(TestTavolinGrid)
#include "test_tavolingrid.moc"
