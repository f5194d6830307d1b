// The analysis interface's commands: "输出" for a file, the three correction-table dialogs driven
// with the mouse and keyboard, "保存结果" and its failure.
#include "shelltestsupport.h"

#include "app/mainframe.h"
#include "app/tavolinapp.h"
#include "support/files.h"
#include "support/jobbuilder.h"
#include "support/reference.h"
#include "support/typing.h"
#include "views/dlgcarbon.h"
#include "views/docbridge.h"
#include "widgets/tavolingrid.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>

#include <cmath>

using namespace tavolin;
using namespace tavolin::test;
using tavolin::testing::clickToFocus;
using tavolin::testing::JobBuilder;
using tavolin::testing::same;
using tavolin::testing::strength;
using tavolin::testing::typeKeys;

namespace {

// fcu,i of CECS 02:2005 for crushed stone with eta 1, as shown.
QString crushedStrength(double va, double r) {
    return QString::asprintf("%.1f", strength(va, r));
}

// Readings whose ten middle values make Rm = 31.2 (the three lowest and highest are dropped).
std::array<int, 16> readings312() {
    return {20, 20, 20, 40, 40, 40, 31, 31, 31, 31, 31, 31, 31, 31, 32, 32};
}

void clickCell(TavolinGrid* grid, int row, int column) {
    QVERIFY(clickToFocus(grid->viewport(),
                         grid->visualRect(grid->model()->index(row, column)).center()));
}

void clickButton(QWidget* dialog, const char* name) {
    auto* b = dialog->findChild<QPushButton*>(QString::fromLatin1(name));
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

} // namespace

class TestAnalysisCommands : public ShellTest {
    Q_OBJECT
private:
    QAction* act(const char* name) { return frame().action(QString::fromLatin1(name)); }
    float fcui(int member, int area) { return doc().job().areas.at(member).at(area).FCUI; }

    // Two members of v = va = 4.000 km/s: "梁A" with Rm 31.2 at +45 degrees, "柱B" with 40.
    QString writeJob(const QString& name) {
        JobBuilder b;
        b.member(u"梁A").area(readings312());
        b.lastArea().ANGLE = 45;
        b.member(u"柱B").areas(2, same(40));
        const QString path = data_.filePath(name);
        if (!WriteResultFile(pathFromQ(path), b.build()).empty())
            return {};
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(prepareShell()); }
    void init() { QVERIFY(startApp()); }
    void cleanup() { stopApp(); }

    // "输出" computes every member, not only the one shown: the file holds no strengths.
    void outputComputesEveryMember() {
        const QString job = writeJob(QStringLiteral("two.SHA"));
        QVERIFY(frame().openFile(job));
        act("cmd32779")->trigger();
        QCOMPARE(frame().activeInterface(), CMainFrame::AnalysisInterface);
        QCOMPARE(QString::asprintf("%.1f", fcui(0, 0)), crushedStrength(4.0, 31.2 - 3.5));
        QCOMPARE(QString::asprintf("%.1f", fcui(1, 0)), crushedStrength(4.0, 40.0));
        QCOMPARE(QString::asprintf("%.1f", fcui(1, 1)), QStringLiteral("29.2"));
    }

    // The analysis screen's "帮助" items are enabled and each opens its window, which names the
    // program; "确定" closes it.
    void helpItemsWork() {
        QVERIFY(frame().openFile(writeJob(QStringLiteral("help.SHA"))));
        act("cmd32779")->trigger();
        auto* help = frame().findChild<QMenu*>(QStringLiteral("menuAnaHelp"));
        QVERIFY(help);
        QStringList items;
        for (QAction* a : help->actions())
            items << a->text() + (a->isEnabled() ? "" : "(灰)");
        QCOMPARE(items, (QStringList{"目录", "联系我们", "关于"}));
        const struct {
            const char* command;
            QString title;
            QString contains;
        } cases[] = {
            {"cmd32793", "目录 - Tavolin", "“输出到BMP”（选一次文件夹与文件名，逐页编号保存）"},
            {"cmd32794", "联系我们 - Tavolin", "Tavolin 超声回弹综合法测强软件"},
            {"cmd32795", "关于 Tavolin", "超声回弹综合法测强软件 1.0.30506 版"},
        };
        for (const auto& c : cases) {
            QString title, text;
            DialogCatcher catcher([&](QWidget* w) {
                title = w->windowTitle();
                for (QWidget* child : w->findChildren<QWidget*>()) {
                    if (auto* label = qobject_cast<QLabel*>(child))
                        text += label->text();
                    else if (auto* edit = qobject_cast<QPlainTextEdit*>(child))
                        text += edit->toPlainText();
                }
                clickButton(w, "IDOK");
            });
            act(c.command)->trigger();
            QCOMPARE(catcher.count, 1);
            QCOMPARE(title, c.title);
            QVERIFY2(text.contains(c.contains), qPrintable(text));
        }
    }

    // An angle correction typed into "角度修正值表" is used by the next computation; "默认值"
    // followed by "取消" then leaves the tables as they were before the dialog.
    void angleTableEditAndCancelledDefaults() {
        QVERIFY(frame().openFile(writeJob(QStringLiteral("angle.SHA"))));
        act("cmd32779")->trigger();
        QStringList shown;
        auto edit = std::make_unique<DialogCatcher>([&](QWidget* w) {
            auto* grid = w->findChild<TavolinGrid*>();
            QCOMPARE(w->windowTitle(), QStringLiteral("角度修正值表"));
            QCOMPARE(grid->rowCount(), 3 + 7);
            for (int c = 0; c < 9; ++c)
                shown << grid->cellText(2, c);
            shown << grid->cellText(5, 0) << grid->cellText(5, 3);
            w->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), w);
            clickCell(grid, 5, 3); // Rm 30, +45
            typeKeys(QStringLiteral("-9.9"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            clickButton(w, "IDOK");
        });
        act("cmd32810")->trigger();
        edit.reset();
        QCOMPARE(shown, QStringList({"", "+90", "+60", "+45", "+30", "-30", "-45", "-60", "-90",
                                     " 30", "-3.5"}));
        QCOMPARE(doc().tables().AngleCecs[2][2], -9.9f);
        QCOMPARE(QString::asprintf("%.1f", fcui(0, 0)), crushedStrength(4.0, 31.2 - 9.9));

        QString afterDefaults;
        DialogCatcher cancel([&](QWidget* w) {
            auto* grid = w->findChild<TavolinGrid*>();
            QCOMPARE(grid->cellText(5, 3), QStringLiteral("-9.9"));
            clickButton(w, "IDDEFAULT");
            afterDefaults = grid->cellText(5, 3);
            clickButton(w, "IDCANCEL");
        });
        act("cmd32810")->trigger();
        QCOMPARE(afterDefaults, QStringLiteral("-3.5"));
        QCOMPARE(doc().tables().AngleCecs[2][2], -9.9f);
        QCOMPARE(QString::asprintf("%.1f", fcui(0, 0)), crushedStrength(4.0, 31.2 - 9.9));
    }

    // "测试面修正表" under TB 10426-2004 shows the 31 rows of that standard.
    void planeTableOfTheSelectedStandard() {
        QVERIFY(frame().openFile(writeJob(QStringLiteral("plane.SHA"))));
        act("cmd32779")->trigger();
        doc().setStandard(1);
        QStringList shown;
        DialogCatcher look([&](QWidget* w) {
            auto* grid = w->findChild<TavolinGrid*>();
            QCOMPARE(w->windowTitle(), QStringLiteral("测试面修正表"));
            QCOMPARE(grid->rowCount(), 2 + 31);
            for (int r : {0, 1, 2, 12, 32})
                shown << grid->cellText(r, 0) + "|" + grid->cellText(r, 1) + "|" +
                             grid->cellText(r, 2);
            clickButton(w, "IDCANCEL");
        });
        act("cmd32811")->trigger();
        QCOMPARE(shown, QStringList({"R|测试面|", "|顶面|底面", " 20|2.5|-3.0", " 30|1.5|-2.0",
                                     " 50|0.0|0.0"}));
    }

    // "碳化深度修正表" is greyed under CECS 02:2005 and its dialog has nothing to change there.
    void carbonTableOnlyUnderTb() {
        QVERIFY(frame().openFile(writeJob(QStringLiteral("carbon.SHA"))));
        act("cmd32779")->trigger();
        QVERIFY(!act("cmd32812")->isEnabled());
        {
            CDlgCarbon dialog(doc().tables(), 0, &frame());
            QCOMPARE(dialog.grid()->rowCount(), 0);
            QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("IDOK"))->isEnabled());
            QVERIFY(!dialog.defaultsButton()->isEnabled());
        }
        doc().setStandard(1);
        frame().updateActions();
        QVERIFY(act("cmd32812")->isEnabled());
        QStringList k;
        DialogCatcher look([&](QWidget* w) {
            auto* grid = w->findChild<TavolinGrid*>();
            for (int group = 0; group < 2; ++group)
                for (int band = 0; band < CDlgCarbon::bands(group); ++band)
                    k << grid->cellText(CDlgCarbon::kRow(group), CDlgCarbon::kColumn(band));
            k << grid->cellText(3, 4);
            clickButton(w, "IDCANCEL");
        });
        act("cmd32812")->trigger();
        QCOMPARE(k, QStringList({"4.5", "3.0", "1.5", "0.0", "3.0", "1.5", "0.0", "40.0～60.0"}));
    }

    // "保存结果" writes the pair, reopens it and shows the same strengths (curve, pumped flag,
    // typed mean and standard carried over); a failed write shows the writer's message and
    // leaves the open job exactly as it was.
    void saveResultKeepsTheStrengths() {
        const QString job = writeJob(QStringLiteral("keep.SHA"));
        QVERIFY(frame().openFile(job));
        act("cmd32779")->trigger();
        doc().setStandard(1);
        doc().setCurve(1, 1);
        doc().setPumped(1, true);
        doc().setReboundMean(1, 1, 45.0f);
        const JobEvaluation before = doc().evaluation();
        auto strengths = [this] {
            QStringList s;
            for (int m = 0; m < doc().memberCount(); ++m)
                for (const TestArea& a : doc().job().areas.at(m))
                    s << QString::asprintf("%.1f", a.FCUI);
            return s;
        };
        const QStringList shown = strengths();
        QVERIFY(shown.value(2) != QString::asprintf("%.1f", fcui(1, 0))); // typed mean differs

        FileDialogScript files;
        ModalCatcher catcher;
        files.answer(data_.filePath(QStringLiteral("no-such-folder/out.SHA")));
        act("cmd32797")->trigger();
        QTRY_COMPARE(catcher.texts, QStringList{QStringLiteral("创建SHA文件失败！")});
        QCOMPARE(pathToQ(doc().path()), job);
        QVERIFY(doc().isModified());
        QCOMPARE(strengths(), shown);

        const QString target = data_.filePath(QStringLiteral("saved.SHA"));
        files.answer(target);
        act("cmd32797")->trigger();
        QCOMPARE(pathToQ(doc().path()), target);
        QCOMPARE(frame().windowTitle(),
                 QStringLiteral("超声回弹综合法测强软件   Tavolin - saved.SHA"));
        QCOMPARE(frame().statusBar()->currentMessage(), QStringLiteral("结果已保存到 ") + target);
        QCOMPARE(doc().standard(), 1);
        QCOMPARE(strengths(), shown);
        QCOMPARE(doc().batchEvaluation().FCUE, before.batch.FCUE);
        QCOMPARE(catcher.texts.size(), 1);
    }

    // A result goes into a file of type ".SHA" only: a raw file chosen by mistake is refused and
    // left as it was; "B1.sha", as typed on this system, is written and reopened as "B1.SHA".
    void saveResultNamesItsFileAResult() {
        const QString job = writeJob(QStringLiteral("names.SHA"));
        QVERIFY(frame().openFile(job));
        act("cmd32779")->trigger();
        const QString raw = data_.filePath(QStringLiteral("B1.SHT"));
        {
            QFile f(raw);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("raw instrument text");
        }
        FileDialogScript files;
        ModalCatcher catcher;
        files.answer(raw);
        act("cmd32797")->trigger();
        QTRY_COMPARE(catcher.texts,
                     QStringList{QStringLiteral("结果文件的类型须为SHA（*.SHA）：B1.SHT")});
        QFile f(raw);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("raw instrument text"));
        QCOMPARE(pathToQ(doc().path()), job);

        files.answer(data_.filePath(QStringLiteral("B1.sha")));
        act("cmd32797")->trigger();
        const QString written = data_.filePath(QStringLiteral("B1.SHA"));
        QCOMPARE(pathToQ(doc().path()), written);
        QCOMPARE(frame().windowTitle(),
                 QStringLiteral("超声回弹综合法测强软件   Tavolin - B1.SHA"));
        QCOMPARE(frame().recentFiles().value(0), written);
        QCOMPARE(catcher.texts.size(), 1);
    }

    // A result file without "PILEID0" opens as a job of no member: both interfaces show it, and
    // every choice of the analysis form is safe.
    void aJobWithoutMembers() {
        const QString path = writeJob(QStringLiteral("none.SHA"));
        std::string text = testing::readBytes(pathFromQ(path));
        text.replace(text.find("PILEID0  :"), 10, "PILEIDX  :");
        testing::writeBytes(pathFromQ(path), text);
        QVERIFY(frame().openFile(path));
        QCOMPARE(doc().memberCount(), 0);
        act("cmd32779")->trigger();
        QCoreApplication::processEvents();
        auto* curve = frame().findChild<QComboBox*>(QStringLiteral("粗骨料"));
        QVERIFY(curve && curve->isEnabled());
        curve->setFocus(Qt::TabFocusReason);
        for (Qt::Key k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down})
            QTest::keyClick(QApplication::focusWidget(), k);
        QCoreApplication::processEvents();
        QCOMPARE(doc().memberCount(), 0);
        act("cmd32796")->trigger(); // "返回主界面"
        QCoreApplication::processEvents();
        QCOMPARE(frame().activeInterface(), CMainFrame::MainInterface);
    }
};

QTEST_MAIN(TestAnalysisCommands)
#include "test_analysiscommands.moc"
