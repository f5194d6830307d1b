// The print-settings dialog driven by clicks and keys: enabling, the "确定" check, the "取消"
// rule, number and date handling, the editable lists.
#include "../app/shelltestsupport.h"

#include "support/typing.h"
#include "views/dlgprintsettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

using namespace tavolin;
using namespace tavolin::test;
using namespace tavolin::testing;

class TestDlgPrintSettings : public QObject {
    Q_OBJECT
private:
    template <class W> static W* control(QDialog& d, const char* name) {
        for (W* w : d.findChildren<W*>())
            if (w->accessibleName() == QString::fromUtf8(name))
                return w;
        return nullptr;
    }
    static void click(QDialog& d, const char* button) {
        QTest::mouseClick(d.findChild<QAbstractButton*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
    }
    static void open(QDialog& d) {
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.activateWindow();
    }

private slots:
    void switchesEnableTheirGroups() {
        CDlgPrintSettings d(PrintSettings{}, ReportInfo{}, true);
        open(d);
        auto* headerText = control<QLineEdit>(d, "页眉内容");
        auto* footerFont = control<QComboBox>(d, "字体");
        auto* firstNumber = control<QSpinBox>(d, "起始页码");
        QVERIFY(headerText && footerFont && firstNumber);
        QVERIFY(!headerText->isEnabled());
        QVERIFY(!firstNumber->isEnabled());
        QTest::mouseClick(control<QCheckBox>(d, "打印页眉"), Qt::LeftButton);
        QVERIFY(headerText->isEnabled());
        QVERIFY(!control<QLineEdit>(d, "页脚内容")->isEnabled());
        QTest::mouseClick(control<QCheckBox>(d, "打印页码"), Qt::LeftButton);
        QVERIFY(firstNumber->isEnabled());
        QVERIFY(control<QComboBox>(d, "页码格式")->isEnabled());
        QTest::mouseClick(control<QCheckBox>(d, "打印页眉"), Qt::LeftButton);
        QVERIFY(!headerText->isEnabled());
    }

    void cancelRestoresOnlyTheThreeSwitches() {
        PrintSettings print;
        print.printFooter = 1;
        CDlgPrintSettings d(print, ReportInfo{}, true);
        open(d);
        enterText(control<QSpinBox>(d, "上"), QStringLiteral("33"), false);
        QTest::mouseClick(control<QCheckBox>(d, "打印页眉"), Qt::LeftButton); // stores the page
        QTest::mouseClick(control<QCheckBox>(d, "打印页脚"), Qt::LeftButton);
        enterText(control<QLineEdit>(d, "页眉内容"), QStringLiteral("after the click"), false);
        click(d, "IDCANCEL");
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(d.printSettings().printHeader, 0);
        QCOMPARE(d.printSettings().printFooter, 1);
        QCOMPARE(d.printSettings().marginTop, 33);
        QVERIFY(d.printSettings().headerText.empty());
    }

    void okNeedsATableAndAnInteger() {
        ModalCatcher catcher;
        CDlgPrintSettings d(PrintSettings{}, ReportInfo{}, true);
        open(d);
        QTest::mouseClick(control<QCheckBox>(d, "超声回弹综合法检测记录表"), Qt::LeftButton);
        click(d, "IDOK");
        QTRY_COMPARE(catcher.texts, QStringList{QStringLiteral("请选择要打印的内容")});
        QTRY_VERIFY(!qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
        QVERIFY(d.isVisible());
        QVERIFY(
            tabToFocus(control<QCheckBox>(d, "强度报告"))); // by key: the box's click was just now
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        enterText(control<QLineEdit>(d, "边框"), QStringLiteral("x"), false);
        click(d, "IDOK");
        QTRY_COMPARE(catcher.texts.size(), 2);
        QCOMPARE(catcher.texts.last(), QStringLiteral("请输入一个整数。"));
        QTRY_VERIFY(!qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
        QVERIFY(d.isVisible());
        enterText(control<QLineEdit>(d, "边框"), QStringLiteral("6"), false);
        d.tabs()->setCurrentIndex(1);
        enterText(control<QLineEdit>(d, "工程名称"), QStringLiteral("桥墩"), false);
        enterText(control<QComboBox>(d, "设计强度"), QStringLiteral("C33"), false);
        click(d, "IDOK");
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.printSettings().printFieldRecord, 0);
        QCOMPARE(d.printSettings().printResultTable, 1);
        QCOMPARE(d.printSettings().borderWidth, 6);
        QCOMPARE(d.reportInfo().projectName, std::u16string(u"桥墩"));
        QCOMPARE(d.reportInfo().designGrade, std::u16string(u"C33"));
    }

    void storedTextsSelectTheirListEntries() {
        ReportInfo info;
        info.instrumentModel = u"VEK-M5(T)";
        info.conversionTable = u"本地";
        CDlgPrintSettings d(PrintSettings{}, info, true);
        auto* model = control<QComboBox>(d, "仪器型号");
        QCOMPARE(model->currentIndex(), 1);
        QCOMPARE(model->count(), 4);
        QCOMPARE(control<QComboBox>(d, "换算表名称")->currentText(), QStringLiteral("本地"));
    }

    void datesAreReadFromEachFormAndStoredBack() {
        const QDate today(2026, 12, 8);
        const std::pair<const char*, QDate> cases[] = {{"2009年5月6日", QDate(2009, 5, 6)},
                                                       {"2009-05-06xyz", QDate(2009, 5, 6)},
                                                       {"2009.12.31", QDate(2009, 12, 31)},
                                                       {"2009年5月6", QDate(2009, 5, 6)},
                                                       {"2009-13-01", today},
                                                       {"", today},
                                                       {"五月", today}};
        for (const auto& [text, date] : cases)
            QCOMPARE(CDlgPrintSettings::parseDate(QString::fromUtf8(text), today), date);
        QCOMPARE(CDlgPrintSettings::dateText(QDate(2009, 5, 6)), QStringLiteral("2009-5-6"));

        ReportInfo info;
        info.testDate = u"2009年5月6日";
        info.reportDate = u"2009-05-06xyz";
        CDlgPrintSettings d(PrintSettings{}, info, true);
        // Stored back at once, whatever the dialog's end.
        QCOMPARE(d.reportInfo().testDate, std::u16string(u"2009-5-6"));
        QCOMPARE(d.reportInfo().reportDate, std::u16string(u"2009-5-6"));
        QCOMPARE(control<QDateEdit>(d, "检测日期")->date(), QDate(2009, 5, 6));
        // A job without a construction date keeps it blank: nothing of today's to print.
        QCOMPARE(d.reportInfo().constructionDate, std::u16string());
        QCOMPARE(control<QDateEdit>(d, "施工日期")->text().trimmed(), QString());
        QCOMPARE(CDlgPrintSettings::dateText(QDate(1900, 1, 1)), QString());
    }

    void aDateChangeIsStoredOnlyWithAFileOpen() {
        for (bool fileOpen : {true, false}) {
            ReportInfo info;
            info.testDate = u"2009-5-6";
            CDlgPrintSettings d(PrintSettings{}, info, fileOpen);
            open(d);
            d.tabs()->setCurrentIndex(1);
            auto* picker = control<QDateEdit>(d, "检测日期");
            QVERIFY(tabToFocus(picker)); // Tab selects the first section, the year
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
            QCOMPARE(picker->date(), QDate(2010, 5, 6));
            click(d, "IDCANCEL");
            QCOMPARE(d.reportInfo().testDate, std::u16string(fileOpen ? u"2010-5-6" : u"2009-5-6"));
        }
    }
};

QTEST_MAIN(TestDlgPrintSettings)
#include "test_dlgprintsettings.moc"
