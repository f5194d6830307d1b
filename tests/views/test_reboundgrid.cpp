// Qt Test of the rebound table driven by real keys and clicks: typing a member's readings, the
// edits and their messages, selectors, yellow marks, locking, strengths from the formulas.
#include "data/datafile.h"
#include "data/doc.h"
#include "data/mathoperation.h"
#include "support/files.h"
#include "support/jobbuilder.h"
#include "support/reference.h"
#include "support/typing.h"
#include "views/analysisdowntview.h"
#include "views/docbridge.h"
#include "views/plausibilitymarks.h"
#include "views/reboundgrid.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>
#include <type_traits>
#include <utility>

using namespace tavolin;
using tavolin::testing::typeKeys;
using Grid = ReboundGrid;

// Views reach the document through the bridge: const for reading, DocEditor for the edits.
static_assert(std::is_same_v<decltype(std::declval<DocBridge&>().doc()), const CTavolinDoc&>);
static_assert(std::is_same_v<decltype(std::declval<DocBridge&>().edit()), DocEditor&>);

namespace {

// The test job's areas read 35 everywhere, face unset, angle 0, crushed-stone curve, and every
// point has L = 300 mm and T = 75 us: va = 4.000 km/s, so with eta 1
// fcu = 0.0162 * 4^1.656 * R^1.41.
double crushedStrength(double r) {
    return tavolin::testing::strength(4.0, r);
}

} // namespace

class TestReboundGrid : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CTavolinDoc> doc;
    std::unique_ptr<DocBridge> bridge;
    std::unique_ptr<CAnalysisDownTView> view;
    QStringList messages; // message boxes shown, in order; each is closed at once
    QTimer closer;

    Grid* grid() { return view->grid(); }
    // Member "梁A" with ten areas reading 35, except area 1 (the second sheet below) and R3 of
    // area 9 (stored negative); when asked, a second member "柱B" with `second` areas.
    static constexpr std::array<int, 16> secondSheet = {42, 38, 45, 40, 39, 41, 44, 37,
                                                        43, 40, 36, 46, 41, 39, 40, 38};
    void build(int second = 0) {
        testing::JobBuilder b;
        b.member(u"梁A").area(testing::same(35)).area(secondSheet).areas(8, testing::same(35));
        b.lastArea().R[2] = -3;
        if (second > 0)
            b.member(u"柱B").areas(second, testing::same(35));
        const testing::ScratchDir dir;
        const std::string path = dir.path("job.SHA");
        QVERIFY(WriteResultFile(path, b.build()).empty());
        doc = std::make_unique<CTavolinDoc>();
        QVERIFY(doc->open(path).empty());
        QCOMPARE(doc->areasOf(0)[0].correctedVelocity, 4.0f);
        bridge = std::make_unique<DocBridge>(*doc);
        view = std::make_unique<CAnalysisDownTView>(*bridge);
        view->resize(1000, 400);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QCoreApplication::processEvents();
    }
    QPoint centre(int row, int column) {
        return grid()->visualRect(grid()->model()->index(row, column)).center();
    }
    void click(int row, int column) {
        reactivate();
        grid()->scrollTo(grid()->model()->index(row, column));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, centre(row, column));
    }
    // The desktop makes the window active again when a popup or message box closes.
    void reactivate() {
        // (Offscreen, a closed popup stays the active window.)
        if (QApplication::activeWindow() != view.get())
            QApplication::setActiveWindow(view.get());
        view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
    }
    static void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(QApplication::focusWidget(), k, mods);
    }
    static void settle() {
        for (int i = 0; i < 5; ++i)
            QTest::qWait(5);
    }
    QString text(int row, int column) { return grid()->cellText(row, column); }
    const TestArea& area(int a, int member = 0) { return doc->areasOf(member)[a]; }
    QString readings(int a) {
        QStringList out;
        for (int i = 0; i < 16; ++i)
            out << text(Grid::readingRow(a, i), Grid::readingColumn(i));
        return out.join(' ');
    }
    // Reading positions shown yellow, as "R2 R3 ...".
    QString yellow(int a) {
        QStringList out;
        for (int i = 0; i < 16; ++i)
            if (grid()->cellBackground(Grid::readingRow(a, i), Grid::readingColumn(i)) ==
                Grid::markColor())
                out << QStringLiteral("R%1").arg(i + 1);
        return out.join(' ');
    }

private slots:
    void init() {
        messages.clear();
        closer.setInterval(2);
        connect(&closer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->accept();
            }
        });
        closer.start();
    }
    void cleanup() {
        closer.stop();
        closer.disconnect();
        view.reset();
        bridge.reset();
        doc.reset();
    }

    void layoutAccessibilityAndFit() {
        build();
        QCOMPARE(grid()->rowCount(), 1 + 2 * 10);
        QCOMPARE(grid()->columnCount(), 16);
        QCOMPARE(grid()->rowHeight(3), 19);
        // 4 % | 8 x 6 % | 7, 7, 7, 6 ("R"), 7, 7, 7 %: 4 + 48 + 48 = 100 % of the width.
        const int percent[16] = {4, 6, 6, 6, 6, 6, 6, 6, 6, 7, 7, 7, 6, 7, 7, 7};
        for (int w : {1000, 1500, 2000}) {
            const auto widths = Grid::columnWidthsFor(w);
            int sum = 0;
            for (int c = 0; c < 16; ++c) {
                QCOMPARE(widths[c], w * percent[c] / 100);
                sum += widths[c];
            }
            QCOMPARE(sum, w);
        }
        QCOMPARE(grid()->columnWidth(0), 40);
        QCOMPARE(grid()->columnWidth(12), 60);
        QCOMPARE(grid()->columnWidth(15), 70);
        // Wider: the columns share the room inside the frame and beside the scroll bar, so the
        // last one is never cut.
        view->resize(1500, 400);
        const int room = grid()->viewport()->width();
        QVERIFY(room > 1400 && room < 1500);
        QCOMPARE(grid()->columnWidth(1), room * 6 / 100);
        int sum = 0;
        for (int c = 0; c < 16; ++c)
            sum += grid()->columnWidth(c);
        QVERIFY(sum <= room);
        QTRY_VERIFY(!grid()->horizontalScrollBar()->isVisible());
        // Every header text fits its cell: the cell less the grid line and the text margins.
        const QFontMetrics fm(grid()->font());
        const int margin = 2 * (grid()->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        const auto widths = Grid::columnWidthsFor(1000);
        for (int c = 0; c < 16; ++c) {
            const QString h = Grid::headerTexts()[c];
            QVERIFY2(fm.horizontalAdvance(h) + margin <= widths[c] - 1, qPrintable(h));
        }
        QVERIFY(fm.height() <= Grid::rowHeightPx);
        QCOMPARE(text(0, 13), QStringLiteral("角度修正值"));
        QCOMPARE(text(3, 0), QStringLiteral("2"));
        QCOMPARE(text(1, 14), QStringLiteral("0")); // no face chosen
        QCOMPARE(text(1, 10), QStringLiteral("未知"));

        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid());
        QVERIFY(table && table->tableInterface());
        QCOMPARE(table->text(QAccessible::Name), QStringLiteral("回弹数据"));
        for (auto [row, column] : {std::pair{0, 13}, {2, 1}, {3, 12}, {1, 14}})
            QCOMPARE(table->tableInterface()->cellAt(row, column)->text(QAccessible::Name),
                     text(row, column));
    }

    // Two paper sheets typed in one go: digits and Enter only, never waiting for the table.
    void typingAMembersReadingsWithEnter() {
        build();
        const std::array<int, 16> sheet[2] = {testing::ascending(20), secondSheet};
        click(Grid::readingRow(2, 0), Grid::readingColumn(0));
        QString keys;
        for (const auto& readings : sheet)
            for (int r : readings)
                keys += QString::number(r) + '\n';
        typeKeys(keys);
        typeKeys("5"); // already in R1 of area 4
        key(Qt::Key_Escape);
        settle();
        QVERIFY(messages.isEmpty());
        for (int a = 0; a < 2; ++a)
            for (int i = 0; i < 16; ++i)
                QCOMPARE(area(2 + a).R[i], sheet[a][i]);
        QCOMPARE(readings(3), QStringLiteral("42 38 45 40 39 41 44 37 43 40 36 46 41 39 40 38"));
        QCOMPARE(area(4).R[0], 35); // Esc left it
        QCOMPARE(text(Grid::upperRow(4), 1), QStringLiteral("35"));
        QCOMPARE(grid()->currentRow(), Grid::readingRow(4, 0));
        QCOMPARE(doc->currentAreaIndex(), 4); // moved through the document's navigation
        QVERIFY(doc->isModified());

        // Worked out by hand: 20..35 drop 20, 21, 22 and 33, 34, 35, mean 27.5. The second
        // sheet drops 36, 37, 38 (R11, R8 and the first 38, R2) and 44, 45, 46 (R7, R3, R12);
        // the middle ten sum to 403.
        QCOMPARE(yellow(2), QStringLiteral("R1 R2 R3 R14 R15 R16"));
        QCOMPARE(yellow(3), QStringLiteral("R2 R3 R7 R8 R11 R12"));
        QCOMPARE(yellow(4), QStringLiteral("R1 R2 R3 R4 R5 R6")); // equal readings: the first six
        QCOMPARE(text(Grid::upperRow(2), Grid::ColMean), QStringLiteral("27.5"));
        QCOMPARE(text(Grid::upperRow(3), Grid::ColMean), QStringLiteral("40.3"));
        QCOMPARE(text(Grid::upperRow(3), Grid::ColCorrected), QStringLiteral("40.3"));
        QVERIFY(std::abs(area(2).FCUI - crushedStrength(27.5)) < 0.01);
        QVERIFY(std::abs(area(3).FCUI - crushedStrength(40.3)) < 0.01);
    }

    // The selectors of the current area, chosen with the keyboard: angle 90 and the bottom face
    // on a mean of 40.3 give -4.0 and -1.0 (rows of 40), so 35.3.
    void selectorsOfTheCurrentArea() {
        build();
        click(3, Grid::ColCorrected);
        settle();
        QCOMPARE(doc->currentAreaIndex(), 1);
        QVERIFY(grid()->cellDropDown(3, Grid::ColAngle));
        QVERIFY(!grid()->cellDropDown(1, Grid::ColAngle)); // only the current area's
        QCOMPARE(grid()->cellDropDown(3, Grid::ColAngle)->currentText(), QStringLiteral("0"));
        QCOMPARE(grid()->cellDropDown(3, Grid::ColPlane)->currentIndex(), -1);
        for (int i = 0; i < 6; ++i)
            key(Qt::Key_Left);
        QCOMPARE(grid()->currentColumn(), int(Grid::ColAngle));
        key(Qt::Key_F4);
        key(Qt::Key_Home);
        key(Qt::Key_Return);
        settle();
        reactivate();
        QVERIFY(grid()->hasFocus()); // back to the table for the next keys
        key(Qt::Key_Right);
        key(Qt::Key_Space);
        key(Qt::Key_End);
        key(Qt::Key_Return);
        settle();
        reactivate();
        QCOMPARE(area(1).ANGLE, 90);
        QCOMPARE(area(1).PLANE, 2);
        QCOMPARE(text(3, Grid::ColAngleCorrection), QStringLiteral("-4.0"));
        QCOMPARE(text(3, Grid::ColPlaneCorrection), QStringLiteral("-1.0"));
        QCOMPARE(text(3, Grid::ColCorrected), QStringLiteral("35.3"));
        QVERIFY(std::abs(area(1).FCUI - crushedStrength(35.3)) < 0.01);
        QVERIFY(grid()->hasFocus());

        // Another area: the selectors move, the left cells show the values as text.
        click(5, Grid::ColCorrected);
        settle();
        QVERIFY(!grid()->cellDropDown(3, Grid::ColAngle));
        QCOMPARE(text(3, Grid::ColAngle), QStringLiteral("90"));
        QCOMPARE(text(3, Grid::ColPlane), QStringLiteral("底面"));
        QVERIFY(grid()->cellDropDown(5, Grid::ColPlane));
    }

    // A reading off the hammer's scale is kept as typed, its cell marked over the yellow, and
    // the status text says why until it is corrected. Typed into R5 of area 2, one after the
    // other; the other readings read 35.
    void readingsOffTheScaleAreMarkedUntilCorrected() {
        build();
        PlausibilityLabel status(*bridge);
        const int row = Grid::readingRow(2, 4), column = Grid::readingColumn(4);
        const struct {
            const char* typed;
            bool marked;
            QString status;
        } cases[] = {
            {"3436", true, "测区3：回弹值 R5=3436 超出回弹仪量程 10–60，请核对"}, {"60", false, ""},
            {"9", true, "测区3：回弹值 R5=9 超出回弹仪量程 10–60，请核对"},       {"10", false, ""},
            {"0", true, "测区3：回弹值 R5=0 超出回弹仪量程 10–60，请核对"},       {"35", false, ""},
        };
        for (const auto& c : cases) {
            click(row, column);
            typeKeys(QString::fromLatin1(c.typed) + '\n');
            settle();
            QCOMPARE(text(row, column), QString::fromLatin1(c.typed));
            QCOMPARE(area(2).R[4], QString::fromLatin1(c.typed).toInt());
            QCOMPARE(grid()->cellBackground(row, column) == implausibleColor(), c.marked);
            QCOMPARE(status.text(), c.status);
        }
        QVERIFY(messages.isEmpty());
        // The mark stays in the status while the user works in another area of the member.
        click(row, column);
        typeKeys("3436\n");
        click(Grid::readingRow(5, 0), Grid::readingColumn(0));
        settle();
        QCOMPARE(doc->currentAreaIndex(), 5);
        QCOMPARE(status.text(),
                 QStringLiteral("测区3：回弹值 R5=3436 超出回弹仪量程 10–60，请核对"));
    }

    // Moving onto a selector with the keys draws a clear frame around it (the selectors' own
    // focus line is hardly seen); other cells and a table without the focus show none.
    void theKeyboardFocusOnASelectorIsClearlyMarked() {
        build();
        click(3, Grid::ColCorrected);
        settle();
        QWidget* ring = grid()->selectorFocusRing();
        const struct {
            Qt::Key key;
            int column; // the current column afterwards; the ring is shown on the selectors
        } steps[] = {{Qt::Key_Left, Grid::ColPlaneCorrection},
                     {Qt::Key_Left, Grid::ColAngleCorrection},
                     {Qt::Key_Left, Grid::ColMean},
                     {Qt::Key_Left, Grid::ColCarbon},
                     {Qt::Key_Left, Grid::ColPlane},
                     {Qt::Key_Left, Grid::ColAngle},
                     {Qt::Key_Left, Grid::ColLastReading},
                     {Qt::Key_Right, Grid::ColAngle}};
        for (const auto& step : steps) {
            key(step.key);
            QCOMPARE(grid()->currentColumn(), step.column);
            const bool selector = step.column == Grid::ColAngle || step.column == Grid::ColPlane;
            QCOMPARE(ring->isVisible(), selector);
            if (!selector)
                continue;
            const QRect cell = grid()->visualRect(grid()->model()->index(3, step.column));
            QCOMPARE(ring->geometry(), cell.adjusted(-1, -1, 1, 1));
            // What the user sees: the frame's colour all along the cell's top edge.
            const QImage shot = grid()->viewport()->grab().toImage();
            for (int x = cell.left() + 2; x < cell.right() - 2; x += 7)
                QCOMPARE(shot.pixelColor(x, cell.top()), QColor(0x0a, 0x5c, 0xd6));
        }
        // The focus leaves the table (it may be in the selector itself by now).
        QApplication::focusWidget()->clearFocus();
        QTRY_VERIFY(!ring->isVisible());
    }

    // Each edit on its own area: the typed text, the cell afterwards, the message.
    void editsAndTheirMessages() {
        build();
        const QString tooLong = QString::fromStdU16String(MathOperation::tooLongMessage);
        const QString tooLarge = QStringLiteral("输入的回弹值过大！");
        const QString digits21 = QStringLiteral("123456789012345678901");
        const struct {
            int column;
            QString typed;
            QString shown;
            QString message;
        } cases[] = {
            {1, "10000", "35", tooLarge}, // the reading stored before
            {1, "9999", "9999", ""},
            {1, "-5", "0", ""},
            {1, "4x", "4", ""},
            {1, digits21, "0", tooLong},
            {Grid::ColCarbon, "1.5", "1.5", ""},
            {Grid::ColCarbon, digits21, "0.0", tooLong},
            {Grid::ColMean, "55", "50.0", ""},
            {Grid::ColMean, "12", "20.0", ""},
        };
        int a = 0;
        for (const auto& c : cases) {
            messages.clear();
            click(Grid::upperRow(a), c.column);
            typeKeys(c.typed + '\n');
            settle();
            QCOMPARE(text(Grid::upperRow(a), c.column), c.shown);
            QCOMPARE(messages.join('|'), c.message);
            ++a;
        }
        QCOMPARE(area(1).R[0], 9999);
        QCOMPARE(area(2).R[0], 0);
        QCOMPARE(area(5).CARBON, 1.5f);
        QCOMPARE(area(7).reboundMean, 50.0f);
        QCOMPARE(area(8).reboundMean, 20.0f);
        // A stored negative reading shows and restores as 35.
        QCOMPARE(text(Grid::upperRow(9), 2), QStringLiteral("35"));
        click(Grid::upperRow(9), 2);
        typeKeys("12345\n");
        settle();
        QCOMPARE(area(9).R[2], 35);
    }

    // A typed mean locks the area's readings; Enter then passes over them.
    void aTypedMeanLocksTheReadings() {
        build();
        click(Grid::upperRow(4), Grid::ColMean);
        typeKeys("45\n");
        settle();
        QVERIFY(area(4).reboundFlag);
        for (int i = 0; i < 16; ++i) {
            QVERIFY(grid()->isCellReadOnly(Grid::readingRow(4, i), Grid::readingColumn(i)));
            QCOMPARE(grid()->cellBackground(Grid::readingRow(4, i), Grid::readingColumn(i)),
                     TavolinGrid::headerColor());
        }
        click(Grid::readingRow(4, 5), Grid::readingColumn(5));
        typeKeys("20\n");
        settle();
        QCOMPARE(area(4).R[5], 35);
        // R16 of area 3, then R1 of area 5.
        click(Grid::readingRow(3, 15), Grid::readingColumn(15));
        typeKeys("30\n31\n");
        settle();
        QCOMPARE(area(3).R[15], 30);
        QCOMPARE(area(5).R[0], 31);
        QCOMPARE(text(Grid::upperRow(4), Grid::ColMean), QStringLiteral("45.0"));
        // Rm 45 and angle 0, no face: the strength converts R = 45.0.
        QVERIFY(std::abs(area(4).FCUI - crushedStrength(45.0)) < 0.01);
        // Still locked after the table is built again: the typed mean is still in force.
        view->rebuild();
        QVERIFY(grid()->isCellReadOnly(Grid::readingRow(4, 0), Grid::readingColumn(0)));
    }

    // Opening "R" and leaving it stores nothing: the mean keeps following the readings. Deleting
    // a typed mean gives the area back the mean of its readings.
    void anUnchangedMeanStoresNothing() {
        build();
        const int row = Grid::upperRow(1);
        // The second sheet without 36, 37, 38 and 44, 45, 46: 403 / 10.
        QCOMPARE(text(row, Grid::ColMean), QStringLiteral("40.3"));
        const std::function<void()> leave[] = {
            [] { key(Qt::Key_Return); },
            [] { key(Qt::Key_Tab); },
            [&] { click(Grid::readingRow(2, 0), Grid::readingColumn(0)); },
        };
        for (const auto& how : leave) {
            click(row, Grid::ColMean);
            key(Qt::Key_F2);
            QVERIFY(grid()->isEditing());
            how();
            settle();
            QCOMPARE(area(1).reboundFlag, 0);
            QVERIFY(!doc->isModified());
        }
        click(row, Grid::ColMean);
        typeKeys("45\n");
        settle();
        QCOMPARE(area(1).reboundFlag, 1);
        click(row, Grid::ColMean);
        key(Qt::Key_F2);
        key(Qt::Key_Backspace); // the editor opens with its text selected
        key(Qt::Key_Return);
        settle();
        QCOMPARE(area(1).reboundFlag, 0);
        QCOMPARE(text(row, Grid::ColMean), QStringLiteral("40.3"));
        QVERIFY(!grid()->isCellReadOnly(Grid::readingRow(1, 0), Grid::readingColumn(0)));
    }

    // An edit committed just before another file is opened belongs to the old job: it is
    // dropped, never applied to the same place in the new one.
    void aLateEditNeverReachesTheNextJob() {
        build();
        testing::JobBuilder b;
        b.member(u"柱C").areas(2, testing::same(30));
        const testing::ScratchDir dir;
        const std::string other = dir.path("other.SHA");
        QVERIFY(WriteResultFile(other, b.build()).empty());
        click(Grid::readingRow(0, 0), Grid::readingColumn(0));
        typeKeys("50\n");
        QVERIFY(doc->open(other).empty()); // before the queued edit has run
        settle();
        QCOMPARE(area(0).R[0], 30);
        QVERIFY(!doc->isModified());
    }

    // Esc, Tab, Shift+Tab and the arrow keys, in and out of an edit.
    void navigationKeys() {
        build();
        click(Grid::readingRow(0, 0), Grid::readingColumn(0));
        typeKeys("77");
        key(Qt::Key_Escape);
        QCOMPARE(text(1, 1), QStringLiteral("35"));
        QCOMPARE(grid()->currentColumn(), 1);
        key(Qt::Key_Tab);
        QCOMPARE(grid()->currentColumn(), 2);
        key(Qt::Key_Backtab);
        key(Qt::Key_Backtab); // never onto the area number
        QCOMPARE(grid()->currentColumn(), 1);
        key(Qt::Key_Up); // never onto the header
        QCOMPARE(grid()->currentRow(), 1);
        typeKeys("41"); // Down ends the edit and moves on, like Enter
        key(Qt::Key_Down);
        typeKeys("42");
        key(Qt::Key_Right); // inside the editor: the caret
        key(Qt::Key_Tab);   // commits and goes on to R4's column
        typeKeys("43\n");
        settle();
        QCOMPARE(area(0).R[0], 41);
        QCOMPARE(area(0).R[1], 42);
        QCOMPARE(area(0).R[3], 43);
        QCOMPARE(grid()->currentRow(), Grid::readingRow(0, 4));
        QCOMPARE(grid()->currentColumn(), Grid::readingColumn(4));
    }

    // Beyond a hundred areas the table works as anywhere else; it follows another view's choice
    // of member and area.
    void aLongMemberFollowsTheNavigation() {
        build(130);
        QCOMPARE(grid()->rowCount(), 1 + 2 * 10);
        doc->setCurrentMember(1);
        doc->setCurrentArea(120);
        settle();
        QCOMPARE(grid()->rowCount(), 1 + 2 * 130);
        QCOMPARE(grid()->currentRow(), Grid::readingRow(120, 0));
        QVERIFY(grid()->cellDropDown(Grid::upperRow(120), Grid::ColAngle));
        grid()->setFocus();
        typeKeys("50\n");
        settle();
        QCOMPARE(area(120, 1).R[0], 50);
        QCOMPARE(area(0, 0).R[0], 35);
        QCOMPARE(text(Grid::upperRow(120), 0), QStringLiteral("121"));
        QCOMPARE(doc->currentAreaIndex(), 120);
        // Quick steps of another view ("后一测区" held down): the table follows, never pulls back.
        for (int a = 121; a <= 125; ++a) {
            doc->setCurrentArea(a);
            // Only the notice arrives before the next step.
            QCoreApplication::sendPostedEvents(bridge.get(), QEvent::MetaCall);
        }
        settle();
        QCOMPARE(doc->currentAreaIndex(), 125);
        QCOMPARE(grid()->currentArea(), 125);
    }
};

QTEST_MAIN(TestReboundGrid)
#include "test_reboundgrid.moc"
