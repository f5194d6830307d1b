// Qt Test of CMainForm on the raw sample: project entries, dates, member and area choice,
// test method and position with beta and lambda, display-only fields, the opened-files list.
#include "data/datafile.h"
#include "data/doc.h"
#include "support/typing.h"
#include "views/docbridge.h"
#include "views/mainform.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tavolin;
using namespace tavolin::testing;

class TestMainForm : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CTavolinDoc> doc;
    std::unique_ptr<DocBridge> bridge;
    std::unique_ptr<CMainForm> form;

    void build(bool open = true, const char* file = TAVOLIN_SAMPLES "/sample-raw.SHT") {
        doc = std::make_unique<CTavolinDoc>();
        if (open)
            QVERIFY(doc->open(file).empty());
        bridge = std::make_unique<DocBridge>(*doc);
        form = std::make_unique<CMainForm>(*bridge);
        form->resize(260, 700);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
    }
    template <class T> T* child(const char* name) {
        T* w = form->findChild<T*>(name);
        if (!w)
            qFatal("missing child %s", name);
        return w;
    }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    QComboBox* combo(const char* name) { return child<QComboBox>(name); }
    TestArea& area() { return *doc->currentArea(); }
    QWidget* focused() {
        QWidget* w = QApplication::focusWidget();
        return w ? w : form->window();
    }
    // Keys as a user types them, then Enter: to whichever widget has the focus.
    void typeToFocus(const QString& text) {
        typeKeys(text + u'\n', form.get());
        QCoreApplication::processEvents();
    }
    // Tabs to a drop-down list and moves it to `index` with the arrow keys (each step is a user
    // choice).
    void choose(QComboBox* c, int index) {
        QVERIFY(tabToFocus(c));
        QTest::keyClick(focused(), Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(focused(), Qt::Key_Down);
        QCOMPARE(c->currentIndex(), index);
        QCoreApplication::processEvents();
    }

private slots:
    void cleanup() {
        form.reset();
        bridge.reset();
        doc.reset();
    }

    // The last member of a job may have no test areas: choosing it must leave the project and
    // the member choice usable, so the user can go back to a member that has areas.
    void memberWithoutAreasKeepsTheMemberChoice() {
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("empty-last.SHA")).toStdString();
        {
            CTavolinDoc source;
            QVERIFY(source.open(TAVOLIN_SAMPLES "/sample-result.SHA").empty());
            JobData job = source.job();
            job.areas.back().clear();
            QVERIFY(WriteResultFile(path, job).empty());
        }
        build(true, path.c_str());
        QComboBox* member = combo("comboMember");
        QCOMPARE(member->count(), 3);
        choose(member, 2);
        QCOMPARE(doc->currentMember(), 2);
        QVERIFY(doc->currentArea() == nullptr);
        QVERIFY(member->isEnabled());
        QVERIFY(edit("editSite")->isEnabled());
        QVERIFY(!combo("comboArea")->isEnabled());
        QVERIFY(!edit("editBeta")->isEnabled());
        QVERIFY(edit("editV")->text().isEmpty());
        QTest::keyClick(focused(), Qt::Key_Up); // the box is editable: Home stays in its text
        QTest::keyClick(focused(), Qt::Key_Up);
        QCoreApplication::processEvents();
        QCOMPARE(doc->currentMember(), 0);
        QVERIFY(doc->currentArea() != nullptr);
        QVERIFY(combo("comboArea")->isEnabled());
        QCOMPARE(edit("editV")->text(), QString::number(doc->currentArea()->velocity, 'f', 3));
    }

    void everythingIsDisabledWithoutAFile() {
        build(false);
        for (const char* name : {"editSite", "editBeta", "editLamda", "editV", "editV1"})
            QVERIFY(!edit(name)->isEnabled());
        for (const char* name : {"comboMember", "comboArea", "comboMethod", "comboLocation"})
            QVERIFY(!combo(name)->isEnabled());
        QVERIFY(!child<QDateEdit>("dateMold")->isEnabled());
        // No made-up day is shown before a file gives one.
        QCOMPARE(child<QDateEdit>("dateMold")->text().trimmed(), QString());
        QCOMPARE(child<QDateEdit>("dateTest")->text().trimmed(), QString());
    }

    void longProjectTextsShowTheirBeginning() {
        build(true, TAVOLIN_SAMPLES "/sample-result.SHA");
        form->resize(220, 700); // the bar's width on a first run
        QCoreApplication::processEvents();
        // The sample's project name and organisation are longer than the edits are wide.
        for (const char* name : {"editSite", "editUnit"}) {
            QLineEdit* e = edit(name);
            QVERIFY2(e->fontMetrics().horizontalAdvance(e->text()) > e->width(), name);
            QCOMPARE(e->cursorPosition(), 0);
        }
        // Also after the navigation refresh of the next area.
        doc->setCurrentArea(1);
        QCoreApplication::processEvents();
        QCOMPARE(edit("editSite")->text(), QString::fromStdU16String(doc->project().SITE));
        QCOMPARE(edit("editSite")->cursorPosition(), 0);
        QCOMPARE(edit("editUnit")->cursorPosition(), 0);
    }

    void showsTheCurrentAreaWithTheGivenFormats() {
        build();
        QCOMPARE(edit("editSite")->text(), QString::fromUtf16(doc->project().SITE.c_str()));
        QCOMPARE(combo("comboMember")->count(), int(doc->members().size()));
        QCOMPARE(combo("comboArea")->count(), int(doc->areasOf(0).size()));
        QCOMPARE(combo("comboArea")->itemText(0), QString::number(doc->areasOf(0)[0].RATNO));
        QCOMPARE(edit("editV")->text(), QString::number(area().velocity, 'f', 3));
        QCOMPARE(edit("editVa")->text(), QString::number(area().correctedVelocity, 'f', 3));
        QCOMPARE(edit("editV2")->text(), QString::number(area().pointVelocity[1], 'f', 3));
    }

    void projectEntriesAreStoredAtOnce() {
        build();
        const std::u16string before = doc->project().UNIT;
        QVERIFY(clickToFocus(edit("editUnit")));
        QTest::keyClick(focused(), Qt::Key_End);
        typeKeys("X");
        QCOMPARE(doc->project().UNIT, before + u"X");
        QVERIFY(doc->isModified());
        enterText(edit("editPerson"), QStringLiteral("张三"));
        QCOMPARE(doc->project().PERSON, std::u16string(u"张三"));
    }

    void aDateIsStoredWithoutLeadingZeros() {
        build();
        auto* test = child<QDateEdit>("dateTest");
        QCOMPARE(test->date(), QDate(2023, 5, 16)); // read back from "2023-5-16"
        QVERIFY(clickToFocus(test));
        // Type over each section in turn, as after clicking into it.
        test->setSelectedSection(QDateTimeEdit::YearSection);
        typeKeys("2009");
        test->setSelectedSection(QDateTimeEdit::MonthSection);
        typeKeys("5");
        test->setSelectedSection(QDateTimeEdit::DaySection);
        typeKeys("6");
        QCOMPARE(test->date(), QDate(2009, 5, 6));
        QCOMPARE(doc->project().DATE, std::u16string(u"2009-5-6"));
        QCOMPARE(doc->reportInfo().testDate, std::u16string(u"2009-5-6"));
        QVERIFY(doc->isModified());
        QCOMPARE(CMainForm::dateText(QDate(2009, 12, 31)), QStringLiteral("2009-12-31"));
        QCOMPARE(CMainForm::dateText(QDate()), QStringLiteral("-1--1--1"));
    }

    void storedDatesAreReadFromTheirFirstTenCharacters() {
        QCOMPARE(CMainForm::parseDate("2009-5-6"), QDate(2009, 5, 6));
        QCOMPARE(CMainForm::parseDate("2009.05.06"), QDate(2009, 5, 6));
        QCOMPARE(CMainForm::parseDate(QStringLiteral("2009年5月6日")), QDate(2009, 5, 6));
        QCOMPARE(CMainForm::parseDate("2009-05-06 10:30"), QDate(2009, 5, 6));
        QVERIFY(!CMainForm::parseDate("").isValid());
        QVERIFY(!CMainForm::parseDate("2009-13-40").isValid());
        QVERIFY(!CMainForm::parseDate("********").isValid());
        // Only the first ten characters count: the day here lies beyond them.
        QVERIFY(!CMainForm::parseDate("   2009-5- 6").isValid());
        build();
        doc->project().Molddate = u"2010年3月4日";
        form->refresh();
        QCOMPARE(child<QDateEdit>("dateMold")->date(), QDate(2010, 3, 4));
        QVERIFY(!doc->isModified()); // showing a date is no edit
    }

    void sameSideThenBottomGivesBeta0950AndKeepsLambda() {
        build();
        choose(combo("comboMethod"), 1); // 平测
        QCOMPARE(area().TMETHOD, 1);
        QCOMPARE(area().TESTLOC, std::u16string(u"顶面"));
        QCOMPARE(edit("editBeta")->text(), QStringLiteral("1.050"));
        QVERIFY(edit("editBeta")->isReadOnly());
        QVERIFY(edit("editLamda")->isEnabled());
        enterText(edit("editLamda"), "0.8");
        QCOMPARE(area().LAMDA, 0.8f);
        QCOMPARE(combo("comboLocation")->itemText(1), QStringLiteral("底面"));
        choose(combo("comboLocation"), 1);
        QCOMPARE(area().TESTLOC, std::u16string(u"底面"));
        QCOMPARE(edit("editBeta")->text(), QStringLiteral("0.950"));
        QCOMPARE(area().BETA, 0.95f);
        QCOMPARE(edit("editLamda")->text(), QStringLiteral("0.800"));
        QCOMPARE(area().LAMDA, 0.8f);
        // Typing into the read-only beta changes nothing.
        QTest::mouseClick(edit("editBeta"), Qt::LeftButton);
        typeToFocus("3");
        QCOMPARE(area().BETA, 0.95f);
        // The corrected velocity follows the new factors at once.
        QCOMPARE(edit("editVa")->text(), QString::number(area().correctedVelocity, 'f', 3));
    }

    void oppositeSetsSideFaceAndBothFactorsToOne() {
        build();
        choose(combo("comboMethod"), 1);
        enterText(edit("editLamda"), "0.8");
        choose(combo("comboMethod"), 2); // 对测
        QCOMPARE(area().TMETHOD, 2);
        QCOMPARE(area().TESTLOC, std::u16string(u"侧面"));
        QCOMPARE(area().BETA, 1.0f);
        QCOMPARE(area().LAMDA, 1.0f);
        QCOMPARE(edit("editBeta")->text(), QStringLiteral("1.000"));
        QCOMPARE(edit("editLamda")->text(), QStringLiteral("1.000"));
        QVERIFY(!edit("editLamda")->isEnabled());
        QCOMPARE(combo("comboLocation")->count(), 2);
        choose(combo("comboLocation"), 1); // 顶面底面间
        QCOMPARE(edit("editBeta")->text(), QStringLiteral("1.034"));
        // Corner test: everything at 1 and the three controls disabled.
        choose(combo("comboMethod"), 0);
        QCOMPARE(edit("editBeta")->text(), QStringLiteral("1.000"));
        QVERIFY(!combo("comboLocation")->isEnabled());
        QVERIFY(!edit("editBeta")->isEnabled());
        QVERIFY(doc->isModified());
    }

    void lambdaIsClampedToZeroToTen() {
        build();
        choose(combo("comboMethod"), 1);
        enterText(edit("editLamda"), "12");
        QCOMPARE(area().LAMDA, 10.0f);
        QCOMPARE(edit("editLamda")->text(), QStringLiteral("10.000"));
        enterText(edit("editLamda"), "-1");
        QCOMPARE(area().LAMDA, 0.0f);
        QCOMPARE(edit("editLamda")->text(), QStringLiteral("0.000"));
        enterText(edit("editLamda"), "abc");
        QCOMPARE(edit("editLamda")->text(), QStringLiteral("0.000"));
    }

    void aTooLongNumberIsReportedAndReadAsZero() {
        build();
        choose(combo("comboMethod"), 1);
        QVERIFY(clickToFocus(edit("editLamda"))); // before the timer: the box comes with Enter
        QString shown;
        QTimer::singleShot(0, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        enterText(edit("editLamda"), "1.0000000000000000000"); // 21 characters
        QCOMPARE(shown, QStringLiteral("数字过长，请输入小于20位的数值"));
        QCOMPARE(area().LAMDA, 0.0f);
        QCOMPARE(edit("editLamda")->text(), QStringLiteral("0.000"));
    }

    void renamingKeepsTheMemberInItsPlace() {
        build(true, TAVOLIN_SAMPLES "/sample-result.SHA"); // several members
        QVERIFY(doc->members().size() >= 2);
        const std::u16string first = doc->members()[0].PILEID;
        QComboBox* member = combo("comboMember");
        // Click into the name: the keys go to the focused combo box.
        QVERIFY(clickToFocus(member->lineEdit()));
        QVERIFY(member->hasFocus());
        QTest::keyClick(focused(), Qt::Key_Down); // choose member 2
        QTRY_COMPARE(doc->currentMember(), 1);
        QTRY_COMPARE(member->currentIndex(), 1);
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        typeToFocus(QStringLiteral("新构件"));
        QCOMPARE(doc->currentMember(), 1);
        QCOMPARE(doc->members()[1].PILEID, std::u16string(u"新构件"));
        QCOMPARE(doc->members()[0].PILEID, first);
        QCOMPARE(member->count(), int(doc->members().size()));
        QCOMPARE(member->itemText(1), QStringLiteral("新构件"));
        QVERIFY(doc->isModified());
        // Renaming to the other member's name still renames, it does not switch members.
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        typeToFocus(QString::fromUtf16(first.c_str()));
        QCOMPARE(doc->currentMember(), 1);
        QCOMPARE(doc->members()[1].PILEID, first);
        QTemporaryDir dir;
        const std::string saved = dir.filePath("renamed.SHA").toStdString();
        QVERIFY(doc->save(saved).empty());
        CTavolinDoc back;
        QVERIFY(back.open(saved).empty());
        QCOMPARE(back.members()[1].PILEID, first);
        QCOMPARE(back.members()[0].PILEID, first);
    }

    // Under "平测" the rule sets beta: the field is read-only and looks it, and takes no key.
    void betaUnderSameSideIsShownReadOnly() {
        build();
        choose(combo("comboMethod"), 1);
        QLineEdit* beta = edit("editBeta");
        QLineEdit* lamda = edit("editLamda");
        QVERIFY(beta->isReadOnly());
        QCOMPARE(beta->focusPolicy(), Qt::NoFocus);
        const QPalette::ColorRole base = QPalette::Base;
        QCOMPARE(beta->palette().color(base), edit("editV")->palette().color(base));
        QVERIFY(beta->palette().color(base) != lamda->palette().color(base));
        QTest::mouseClick(beta, Qt::LeftButton);
        typeToFocus("2");
        QCOMPARE(area().BETA, 1.05f);
        QCOMPARE(beta->text(), QStringLiteral("1.050"));
        // Back under "对测" with a position the rule does not know, beta is the user's again.
        choose(combo("comboMethod"), 2);
        doc->setPosition(doc->currentMember(), doc->currentAreaIndex(), u"左侧");
        form->refresh();
        QVERIFY(!beta->isReadOnly());
        QCOMPARE(beta->palette().color(base), edit("editSite")->palette().color(base));
        enterText(beta, "1.2");
        QCOMPARE(area().BETA, 1.2f);
    }

    // Tab walks through the project fields and on, also past a blank date.
    void tabLeavesTheDatePickers() {
        build();
        doc->setProjectText(ProjectField::MoldDate, u"");
        form->refresh();
        QTest::mouseClick(edit("editPerson"), Qt::LeftButton);
        QVERIFY(edit("editPerson")->hasFocus());
        QSet<QWidget*> seen;
        for (int i = 0; i < 12 && !combo("comboMember")->hasFocus(); ++i) {
            QTest::keyClick(focused(), Qt::Key_Tab);
            seen.insert(focused());
        }
        QVERIFY(seen.contains(child<QDateEdit>("dateMold")));
        QVERIFY(combo("comboMember")->hasFocus());
    }

    void choosingAnAreaMovesTheNavigation() {
        build();
        QVERIFY(doc->areasOf(0).size() >= 2);
        choose(combo("comboArea"), 1);
        QCOMPARE(doc->currentAreaIndex(), 1);
        QTRY_COMPARE(edit("editV")->text(), QString::number(area().velocity, 'f', 3));
    }

    void velocityFieldsDiscardKeysAndRefuseFocus() {
        build();
        QLineEdit* v = edit("editV");
        const QString before = v->text();
        QTest::mouseClick(v, Qt::LeftButton);
        typeKeys("99", form.get());
        QTest::keyClick(focused(), Qt::Key_Backspace);
        QCOMPARE(v->text(), before);
        v->setFocus();
        QVERIFY(!v->hasFocus());
        QTest::mouseClick(edit("editVa"), Qt::LeftButton);
        QVERIFY(!edit("editVa")->hasFocus());
    }

    void theOpenedFilesListIsNewestFirstAndOpensOnDoubleClick() {
        build();
        form->addOpenedFile("/data/site/one.SHT");
        form->addOpenedFile("/data/two.SHA");
        auto* list = child<QListWidget>("fileList");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("two.SHA"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("one.SHT"));
        form->addOpenedFile("/data/site/one.SHT"); // known: selected, not added
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentRow(), 1);
        QSignalSpy open(form.get(), &CMainForm::openFileRequested);
        const QPoint at = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(open.count(), 1);
        QCOMPARE(open.at(0).at(0).toString(), QStringLiteral("/data/site/one.SHT"));
    }
};

QTEST_MAIN(TestMainForm)
#include "test_mainform.moc"
