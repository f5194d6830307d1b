// The settings file across two runs of the frame: bar widths, project strings, recent list.
#include "shelltestsupport.h"

#include "app/mainframe.h"
#include "app/tavolinapp.h"
#include "data/settings.h"
#include "views/docbridge.h"

#include <QDockWidget>
#include <QFileInfo>

using namespace tavolin;
using namespace tavolin::test;

class TestSettings : public QObject {
    Q_OBJECT
private:
    QTemporaryDir data_;

    static void useConfig(const QTemporaryDir& dir) {
        qputenv("TAVOLIN_CONFIG_DIR", dir.path().toLocal8Bit());
    }
    static void start(CTavolinApp& app, const QStringList& args = {}) {
        app.start(QStringList{QStringLiteral("tavolin")} + args);
        QVERIFY(QTest::qWaitForWindowExposed(&app.frame()));
        QTest::qWait(50); // the stored widths are applied once the maximised layout exists
    }

private slots:
    void initTestCase() {
        QVERIFY(data_.isValid());
        CTavolinApp::initApplication();
    }

    void settingsSurviveARestart() {
        QTemporaryDir config;
        useConfig(config);
        const QString job = copySample(data_, QStringLiteral("sample-result.SHA"));
        JobData read;
        QVERIFY(ReadDataFile(pathFromQ(job), read).empty());
        QVERIFY(!read.project.SITE.empty());
        {
            CTavolinApp first;
            start(first, {job});
            CMainFrame& frame = first.frame();
            QCOMPARE(frame.projectBar()->width(), 220); // first run: built-in widths
            // The user drags the bars' edges.
            dragBarEdge(frame, frame.projectBar(), 67);
            dragBarEdge(frame, frame.areaBar(), 30);
            QCOMPARE(frame.projectBar()->width(), 287);
            QCOMPARE(frame.areaBar()->width(), 250);
            first.doc().printSettings().marginTop = 33;
            first.doc().reportInfo().reviewerName = u"审核人";
            QVERIFY(frame.close());
        }
        QVERIFY(QFileInfo::exists(CTavolinApp::settingsPath()));
        QCOMPARE(CTavolinApp::settingsPath(), config.filePath(QStringLiteral("tavolin.ini")));

        // Each later run shows the bars exactly as they were, also when the window was narrow
        // for a while (a desktop that maximises late, or the user shrinking the window).
        for (int run = 0; run < 2; ++run) {
            CTavolinApp next;
            QCOMPARE(next.doc().barWidths()[0], 287);
            QCOMPARE(next.doc().barWidths()[1], 250);
            QCOMPARE(next.doc().barWidths()[2], 220); // never shown: kept as it was
            QCOMPARE(next.doc().project().SITE, read.project.SITE);
            QCOMPARE(next.doc().project().UNIT, read.project.UNIT);
            QCOMPARE(next.doc().printSettings().marginTop, 33);
            QCOMPARE(toQ(next.doc().reportInfo().reviewerName), QStringLiteral("审核人"));
            start(next);
            CMainFrame& frame = next.frame();
            QTRY_COMPARE(frame.projectBar()->width(), 287);
            QTRY_COMPARE(frame.areaBar()->width(), 250);
            QCOMPARE(frame.recentFiles().value(0), job);
            frame.showNormal();
            frame.resize(500, 600);
            QTest::qWait(50);
            QVERIFY(frame.projectBar()->width() < 287);
            frame.showMaximized();
            QTRY_COMPARE(frame.projectBar()->width(), 287);
            QTRY_COMPARE(frame.areaBar()->width(), 250);
            QVERIFY(frame.close());
        }
    }

    void absurdWidthsAreClamped() {
        QTemporaryDir config;
        useConfig(config);
        AppSettings settings;
        settings.barWidths = {-40, 100000, 7};
        QVERIFY(writeSettings(pathFromQ(CTavolinApp::settingsPath()), settings));
        CTavolinApp app;
        start(app);
        CMainFrame& frame = app.frame();
        QVERIFY(frame.projectBar()->width() >= CMainFrame::clampBarWidth(-40));
        QVERIFY(frame.areaBar()->width() <= CMainFrame::clampBarWidth(100000));
        QVERIFY(frame.centralWidget()->width() >= frame.centralWidget()->minimumSizeHint().width());
        QCOMPARE(CMainFrame::clampBarWidth(-40), 80);
        QCOMPARE(CMainFrame::clampBarWidth(100000), 900);
        QCOMPARE(CMainFrame::clampBarWidth(250), 250);
        QVERIFY(frame.close());
    }

    void damagedFileGivesTheBuiltInValues() {
        QTemporaryDir config;
        useConfig(config);
        QFile f(CTavolinApp::settingsPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xff\xfe\xff\x40garbage");
        f.close();
        CTavolinApp app;
        QCOMPARE(app.doc().barWidths()[0], 220);
        QCOMPARE(app.doc().printSettings().marginTop, 20);
        start(app);
        QCOMPARE(app.frame().projectBar()->width(), 220);
        QVERIFY(app.frame().close());
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
