// Qt Test of the analysis form: every selector and entry of the form with the texts of both
// result panels, the member rename, and the tab switch with one member and with a failing spread.
// Every area of the jobs below has v = va = 4.000 km/s (the builder's geometry) and sixteen equal
// readings R, so its strength is eta * A * 4^B * R^C (CECS 02:2005; TB 10426-2004 adds 4.5 for
// pumped concrete below 45 MPa). The expected texts were worked out from that formula and the
// estimate rules by hand, never taken from the program.
#include "../app/shelltestsupport.h"
#include "data/datafile.h"
#include "data/doc.h"
#include "data/format.h"
#include "support/files.h"
#include "support/jobbuilder.h"
#include "support/typing.h"
#include "views/docbridge.h"
#include "views/formviewana.h"
#include "views/resultpanels.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>

#include <functional>

using namespace tavolin;
using tavolin::testing::clickToFocus;
using tavolin::testing::enterText;
using tavolin::testing::JobBuilder;
using tavolin::testing::same;
using tavolin::testing::tabToFocus;
using tavolin::testing::typeKeys;

namespace {

const QString kRuleTb = QStringLiteral(
    "平均值<25.0且标准差>4.5、平均值>25.0且标准差>5.5,该批构件应全部重新按单个构件检测");
const QString kOneMember = QStringLiteral("当前文件只有一个构件！");

} // namespace

class TestFormviewAna : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::ScratchDir> dir;
    std::unique_ptr<CTavolinDoc> doc;
    std::unique_ptr<DocBridge> bridge;
    std::unique_ptr<FormviewAna> form;

    // Each member's areas by their readings; an empty list is a member without test areas.
    void build(const std::vector<std::vector<int>>& members) {
        JobBuilder builder;
        for (size_t m = 0; m < members.size(); ++m) {
            builder.member(std::u16string(u"构件") + char16_t(u'甲' + m));
            for (int r : members[m])
                builder.area(same(r));
        }
        dir = std::make_unique<testing::ScratchDir>();
        const std::string path = dir->path("job.SHA");
        QVERIFY(WriteResultFile(path, builder.build()).empty());
        doc = std::make_unique<CTavolinDoc>();
        QVERIFY(doc->open(path).empty());
        bridge = std::make_unique<DocBridge>(*doc);
        form = std::make_unique<FormviewAna>(*bridge);
        form->resize(240, 760);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QApplication::setActiveWindow(form.get());
        QCoreApplication::processEvents();
        form->refresh();
        QCoreApplication::processEvents();
    }
    template <class T> T* child(const QString& name) {
        T* w = form->findChild<T*>(name);
        if (!w)
            qFatal("missing child %s", qPrintable(name));
        return w;
    }
    QLineEdit* edit(const char* label) { return child<QLineEdit>(QString::fromUtf8(label)); }
    QComboBox* combo(const char* label) { return child<QComboBox>(QString::fromUtf8(label)); }
    QCheckBox* pumped() { return child<QCheckBox>(QStringLiteral("泵送")); }

    // Tabs to a drop-down list and moves it to `index` with the arrow keys, one choice per step.
    void choose(QComboBox* c, int index) {
        QVERIFY(tabToFocus(c));
        QWidget* f = QApplication::focusWidget();
        while (c->currentIndex() < index)
            QTest::keyClick(f, Qt::Key_Down);
        while (c->currentIndex() > index)
            QTest::keyClick(f, Qt::Key_Up);
        QCoreApplication::processEvents();
    }
    void clickTab(int index) {
        QTabBar* tabs = child<QTabBar>(QStringLiteral("resultTabs"));
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
        QCoreApplication::processEvents();
    }
    static QString fieldText(QWidget* panel, const QString& name) {
        auto* e = panel->findChild<QLineEdit*>(name);
        return e ? e->text() : QStringLiteral("?");
    }
    // N, Fmin, Fmax, Mf, Sf, Fcu | batch mean, deviation, estimate.
    QStringList panels() {
        QStringList out;
        for (const char* n : {"N", "Fmin(Mpa)", "Fmax(Mpa)", "Mf(Mpa)", "Sf(Mpa)", "Fcu(Mpa)"})
            out << fieldText(form->singleResult(), QString::fromUtf8(n));
        out << QStringLiteral("|");
        for (const char* n : {"强度换算平均值", "强度换算标准差", "强度推定值"})
            out << fieldText(form->mulResult(), QString::fromUtf8(n));
        return out;
    }
    // Curve, a, b, c, η, "泵送": what the member block shows, with the enabled states.
    QStringList settings() {
        auto state = [](QWidget* w, const QString& text) {
            return text + (w->isEnabled() ? QString() : QStringLiteral("(灰)"));
        };
        return {
            combo("粗骨料")->currentText(),
            state(edit("系数a"), edit("系数a")->text()),
            state(edit("系数b"), edit("系数b")->text()),
            state(edit("系数c"), edit("系数c")->text()),
            edit("强度修正系数η")->text(),
            state(pumped(), pumped()->isChecked() ? QStringLiteral("泵送") : QStringLiteral("-"))};
    }

private slots:
    void cleanup() {
        form.reset();
        bridge.reset();
        doc.reset();
        dir.reset();
    }

    // Member 甲 reads 36, 38, 40, member 乙 38, 42, member 丙 has no test area. Strengths by
    // CECS 02:2005 crushed stone 0.0162 * 4^1.656 * R^1.41: 25.172, 27.166, 29.203 | 27.166,
    // 31.283; pebble 0.0056 * 4^1.439 * R^1.769: 23.316, 25.656, 28.093. TB 10426-2004 pebble
    // 0.0038 * 4^1.23 * R^1.95: 22.652, 25.171, 27.819; crushed 0.008 * 4^1.72 * R^1.57:
    // 26.236, 30.700 (4^1.72 = 10.853, 38^1.57 = 302.18: 0.008 * 10.853 * 302.18 = 26.24).
    // Pooled statistics and estimates below: mean, sample deviation, m - 1.645 s by hand.
    void everySelectorWithThePanels() {
        build({{36, 38, 40}, {38, 42}, {}});
        struct Step {
            const char* what;
            std::function<void()> act;
            QStringList settings;
            QStringList panels;
        };
        const QString g = QStringLiteral("(灰)");
        const std::vector<Step> steps = {
            // Fewer than ten areas: the estimates are the smallest strengths (25.172 pooled).
            {"initial update",
             [] {},
             {"碎石", "0.0162" + g, "1.656" + g, "1.410" + g, "1.00", "-" + g},
             {"3", "25.2", "29.2", "27.2", "2.02", "25.2", "|", "28.0", "2.32", "25.2"}},
            {"curve pebble",
             [&] { choose(combo("粗骨料"), 1); },
             {"卵石", "0.0056" + g, "1.439" + g, "1.769" + g, "1.00", "-" + g},
             {"3", "23.3", "28.1", "25.7", "2.39", "23.3", "|", "27.1", "2.95", "23.3"}},
            // TB: pooled mean 26.5 > 25 with s 3.00 <= 5.5: 26.515 - 1.645 * 3.001 = 21.6.
            {"standard TB",
             [&] { choose(combo("规范选择"), 1); },
             {"卵石", "0.0038" + g, "1.230" + g, "1.950" + g, "1.00", "-"},
             {"3", "22.7", "27.8", "25.2", "2.58", "22.7", "|", "26.5", "3.00", "21.6"}},
            // 29.215 - 1.645 * 2.509 = 25.1.
            {"pumped",
             [&] { QTest::mouseClick(pumped(), Qt::LeftButton); },
             {"卵石", "0.0038" + g, "1.230" + g, "1.950" + g, "1.00", "泵送"},
             {"3", "27.2", "32.3", "29.7", "2.58", "27.2", "|", "29.2", "2.51", "25.1"}},
            // A = B = C = 0 gives 0, plus 4.5 for pumped concrete; mean 14.1 < 25, s 13.22 > 4.5.
            {"curve custom",
             [&] { choose(combo("粗骨料"), 0); },
             {"自定义", "0.0000", "0.000", "0.000", "1.00", "泵送"},
             {"3", "4.5", "4.5", "4.5", "0.00", "4.5", "|", "14.1", "13.22", kRuleTb}},
            // a clamped to 10: 10 * 4^0 * R^0 + 4.5 = 14.5; pooled 20.1 < 25 with s 7.81 > 4.5.
            {"a = 12",
             [&] { enterText(edit("系数a"), "12"); },
             {"自定义", "10.0000", "0.000", "0.000", "1.00", "泵送"},
             {"3", "14.5", "14.5", "14.5", "0.00", "14.5", "|", "20.1", "7.81", kRuleTb}},
            {"a, b, c typed",
             [&] {
                 enterText(edit("系数a"), "0.0038");
                 enterText(edit("系数b"), "1.23");
                 enterText(edit("系数c"), "1.95");
             },
             {"自定义", "0.0038", "1.230", "1.950", "1.00", "泵送"},
             {"3", "27.2", "32.3", "29.7", "2.58", "27.2", "|", "29.2", "2.51", "25.1"}},
            // eta 0: only the pumping correction is left (4.5, 4.5, 4.5 | 0, 0); 2.7 - 1.645 *
            // 2.46 < 0, so the estimate is the mean of the members' minima (4.5 + 0 + 0) / 3.
            {"eta -1 clamped",
             [&] { enterText(edit("强度修正系数η"), "-1"); },
             {"自定义", "0.0038", "1.230", "1.950", "0.00", "泵送"},
             {"3", "4.5", "4.5", "4.5", "0.00", "4.5", "|", "2.7", "2.46", "1.5"}},
            // eta 1.1 reaches every area of every member: 29.417, 32.188, 35.100 | 28.859, 33.770;
            // 31.867 - 1.645 * 2.703 = 27.4.
            {"eta 1.1",
             [&] { enterText(edit("强度修正系数η"), "1.1"); },
             {"自定义", "0.0038", "1.230", "1.950", "1.10", "泵送"},
             {"3", "29.4", "35.1", "32.2", "2.84", "29.4", "|", "31.9", "2.70", "27.4"}},
            // Back to CECS: the typed coefficients stay, pumping counts no more; 乙 crushed x 1.1:
            // 29.882, 34.411.
            {"standard CECS",
             [&] { choose(combo("规范选择"), 0); },
             {"自定义", "0.0038", "1.230", "1.950", "1.10", "泵送" + g},
             {"3", "24.9", "30.6", "27.7", "2.84", "24.9", "|", "29.5", "3.53", "24.9"}},
            {"member 乙",
             [&] { choose(combo("构件名称"), 1); },
             {"碎石", "0.0162" + g, "1.656" + g, "1.410" + g, "1.10", "-" + g},
             {"2", "29.9", "34.4", "32.1", "3.20", "29.9", "|", "29.5", "3.53", "24.9"}},
            {"member 丙 without areas",
             [&] { choose(combo("构件名称"), 2); },
             {"碎石", "0.0162" + g, "1.656" + g, "1.410" + g, "1.10", "-" + g},
             {"0", "0.0", "0.0", "0.0", "0.00", "输入有误！", "|", "29.5", "3.53", "24.9"}},
            // TB: 甲 pumped 29.417, 32.188, 35.100 (custom), 乙 28.859, 33.770.
            {"丙 under TB",
             [&] { choose(combo("规范选择"), 1); },
             {"碎石", "0.0080" + g, "1.720" + g, "1.570" + g, "1.10", "-"},
             {"0", "0.0", "0.0", "0.0", "0.00", "0.0", "|", "31.9", "2.70", "27.4"}},
        };
        for (const Step& step : steps) {
            step.act();
            QCoreApplication::processEvents();
            const QStringList shown = settings() + panels();
            const QStringList expected = step.settings + step.panels;
            QVERIFY2(shown == expected,
                     qPrintable(QStringLiteral("%1: %2 != %3")
                                    .arg(step.what, shown.join(' '), expected.join(' '))));
        }
        // The batch values reach the document's result.
        QCOMPARE(formatFixed(doc->result().MF, 1), u"31.9");
    }

    // A field shows the stored value at a precision that reads back exactly, and Enter on an
    // unchanged text stores nothing: a = 0.0056 must not become 0.006 (+7 % on every strength).
    void unchangedCoefficientsStoreNothing() {
        build({{36, 38, 40}});
        choose(combo("粗骨料"), 0); // custom: a = b = c = 0
        const struct {
            const char* label;
            QString typed;
            QString shown;
            float MemberInfo::*field;
            float stored;
        } cases[] = {
            {"系数a", "0.0056", "0.0056", &MemberInfo::A, 0.0056f},
            // Kept at the decimals the result file holds: 56.3e-4 rounds to 56e-4.
            {"系数a", "0.00563", "0.0056", &MemberInfo::A, 0.0056f},
            {"系数b", "1.4394", "1.439", &MemberInfo::B, 1.439f},
            {"系数c", "1.769", "1.769", &MemberInfo::C, 1.769f},
        };
        for (const auto& c : cases) {
            enterText(edit(c.label), c.typed);
            QCOMPARE(edit(c.label)->text(), c.shown);
            QCOMPARE(doc->member(0)->*c.field, c.stored);
            doc->setModified(false);
            // A second Enter, then Enter in the field clicked again: the shown text is no edit.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            clickToFocus(edit(c.label));
            typeKeys(QStringLiteral("\n"), edit(c.label));
            QCoreApplication::processEvents();
            QCOMPARE(doc->member(0)->*c.field, c.stored);
            QVERIFY(!doc->isModified());
        }
    }

    // The standard and "泵送" change the strengths and the batch the result file stores.
    void standardAndPumpedMarkTheJobModified() {
        build({{36}, {38}});
        const std::function<void()> acts[] = {
            [&] { choose(combo("规范选择"), 1); },
            [&] { QTest::mouseClick(pumped(), Qt::LeftButton); },
            [&] { choose(combo("规范选择"), 0); },
        };
        for (const auto& act : acts) {
            doc->setModified(false);
            act();
            QVERIFY(doc->isModified());
        }
    }

    // A result file without "PILEID0" opens as a job of no member: every choice of the form is
    // safe and changes nothing.
    void aJobWithoutMembers() {
        build({{36}});
        std::string text = testing::readBytes(doc->path());
        text.replace(text.find("PILEID0  :"), 10, "PILEIDX  :");
        testing::writeBytes(doc->path(), text);
        QVERIFY(doc->open(doc->path()).empty());
        QCOMPARE(doc->memberCount(), 0);
        QCoreApplication::processEvents();
        form->refresh(); // as on entering the analysis interface
        test::ModalCatcher catcher;
        for (int curve : {1, 0, 2})
            choose(combo("粗骨料"), curve);
        choose(combo("规范选择"), 1);
        enterText(edit("强度修正系数η"), "1.2");
        clickTab(1);
        // No member under TB 10426-2004: fewer than two, so the batch is assessed member by member.
        QCOMPARE(catcher.texts, QStringList{kRuleTb});
        QCOMPARE(doc->memberCount(), 0);
    }

    // A new name replaces the member's own entry; the list keeps its order.
    void renameKeepsTheOrder() {
        build({{36}, {38}});
        QComboBox* member = combo("构件名称");
        choose(member, 1);
        enterText(member->lineEdit(), QStringLiteral("柱B"));
        QCOMPARE(member->count(), 2);
        QCOMPARE(member->itemText(0), QStringLiteral("构件甲"));
        QCOMPARE(member->itemText(1), QStringLiteral("柱B"));
        QVERIFY(doc->member(1)->PILEID == u"柱B");
        QVERIFY(doc->isModified());
        choose(member, 0);
        choose(member, 1);
        QCOMPARE(doc->currentMember(), 1);
    }

    // "多" is refused for a single member and for a batch that fails the spread test; a batch
    // that passes shows its panel. CECS: R 20 -> 10.990, R 50 -> 40.001: mean 25.5 < 50 with
    // s 20.51 > 5.5.
    void tabSwitch() {
        const QString ruleCecs = QString::fromUtf16(retestRuleText(0).c_str());
        struct Case {
            std::vector<std::vector<int>> job;
            QString message; // empty: the panel "多" is shown
        };
        for (const Case& c : {Case{{{36, 38}}, kOneMember}, Case{{{20}, {50}}, ruleCecs},
                              Case{{{36, 38}, {38, 40}}, QString()}}) {
            build(c.job);
            test::ModalCatcher catcher;
            clickTab(1);
            QTRY_COMPARE(catcher.texts.size(), c.message.isEmpty() ? 0 : 1);
            QTabBar* tabs = child<QTabBar>(QStringLiteral("resultTabs"));
            if (c.message.isEmpty()) {
                QCOMPARE(tabs->currentIndex(), 1);
                QVERIFY(form->mulResult()->isVisible());
                QVERIFY(!form->singleResult()->isVisible());
                // Pooled 25.172, 27.166, 27.166, 29.203: four areas, the smallest is the estimate.
                QCOMPARE(panels().mid(7), (QStringList{"27.2", "1.65", "25.2"}));
                clickTab(0);
                QVERIFY(form->singleResult()->isVisible());
            } else {
                QCOMPARE(catcher.texts.front(), c.message);
                QCOMPARE(tabs->currentIndex(), 0);
                QVERIFY(form->singleResult()->isVisible());
                QVERIFY(!form->mulResult()->isVisible());
            }
            // The batch fields of a one-member file are greyed.
            QCOMPARE(form->mulResult()->findChild<QLineEdit*>("强度推定值")->isEnabled(),
                     c.job.size() >= 2);
            cleanup();
        }
    }

    // "锁定工程信息" (Space on the focused box) locks the dates with the three texts: a date
    // cannot be changed by the keys of a locked form, and clearing the box frees all five.
    void lockingTheProjectInformationLocksTheDates() {
        build({{36}, {38}});
        const QStringList fields = {"工程名称", "检测单位", "检测人员", "浇注日期", "检测日期"};
        auto enabled = [&] {
            QList<bool> out;
            for (const QString& n : fields)
                out << child<QWidget>(n)->isEnabled();
            return out;
        };
        QCheckBox* lock = child<QCheckBox>(QStringLiteral("锁定工程信息"));
        const std::u16string date = doc->project().DATE;
        QVERIFY(tabToFocus(lock));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(lock->isChecked());
        QCOMPARE(enabled(), QList<bool>(5, false));
        // Shift+Tab from the box passes over every locked field.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QVERIFY(!fields.contains(QApplication::focusWidget()->objectName()));
        QCOMPARE(doc->project().DATE, date);
        QVERIFY(!doc->isModified());
        QVERIFY(tabToFocus(lock));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(enabled(), QList<bool>(5, true));
        // Unlocked, Tab from "检测人员" reaches the dates again.
        QVERIFY(tabToFocus(edit("检测人员")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("浇注日期"));
    }

    // Every control is announced by its label and reached with Tab; result fields never keep
    // the focus.
    void accessibleNamesAndDisplayFields() {
        build({{36}, {38}});
        for (const char* label :
             {"构件名称", "规范选择", "粗骨料", "系数a", "系数b", "系数c", "强度修正系数η", "泵送",
              "N", "Fmin(Mpa)", "Fmax(Mpa)", "Mf(Mpa)", "Sf(Mpa)", "Fcu(Mpa)", "超出曲线范围",
              "强度换算平均值", "强度换算标准差", "强度推定值"}) {
            const QString name = QString::fromUtf8(label);
            QWidget* w = form->findChild<QWidget*>(name);
            QVERIFY2(w, label);
            QCOMPARE(w->accessibleName(), name);
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY(a);
            // Qt on Linux names a combo box by its value and announces its label through the
            // labelled-by relation instead.
            if (qobject_cast<QComboBox*>(w)) {
                const auto labels = a->relations(QAccessible::Label);
                QVERIFY2(!labels.isEmpty() && labels.front().first->text(QAccessible::Name) == name,
                         label);
            } else {
                QCOMPARE(a->text(QAccessible::Name), name);
            }
        }
        // Tab walks every enabled control once, also past a date field left blank.
        doc->setProjectText(ProjectField::MoldDate, u"");
        form->refresh();
        QVERIFY(clickToFocus(edit("工程名称")));
        QWidget* f = QApplication::focusWidget();
        QStringList walked;
        for (int i = 0; i < 11; ++i) {
            walked << f->objectName();
            QTest::keyClick(f, Qt::Key_Tab);
            f = QApplication::focusWidget();
        }
        QCOMPARE(walked, (QStringList{"工程名称", "检测单位", "检测人员", "浇注日期", "检测日期",
                                      "锁定工程信息", "构件名称", "规范选择", "粗骨料",
                                      "强度修正系数η", "resultTabs"}));
        QLineEdit* fcu = form->singleResult()->findChild<QLineEdit*>("Fcu(Mpa)");
        fcu->setFocus();
        QVERIFY(!fcu->hasFocus());
        QTest::keyClicks(fcu, "99");
        QCOMPARE(fcu->text(), QStringLiteral("25.2"));
    }
};

QTEST_MAIN(TestFormviewAna)
#include "test_formviewana.moc"
