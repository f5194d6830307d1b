// Printing the report to a printer of a real print system: a scheduler of the test's own in a
// scratch folder, with one queue that is stopped, so every job the program sends stays there to
// be read back. A whole print is one job with the dialog's copies; a print stopped half-way
// queues nothing.
#include "shelltestsupport.h"
#include "support/typing.h"

#include <QPrintDialog>
#include <QProcess>
#include <QProgressDialog>
#include <QSpinBox>
#include <QStatusBar>

#include <csignal>
#include <cups/cups.h>
#include <sys/prctl.h>
#include <unistd.h>

using namespace tavolin;
using namespace tavolin::test;

namespace {

constexpr const char* kQueue = "tavolin-test";

bool run(const QString& program, const QStringList& args, QString& why) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        why = program + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAll()).trimmed();
        return false;
    }
    return true;
}

// The scheduler and its queue; stopped with the test program.
class PrintSystem {
public:
    bool start(QString& why) {
        if (!folder_.isValid()) {
            why = QStringLiteral("no scratch folder");
            return false;
        }
        const QString root = folder_.path();
        for (const char* sub : {"spool", "cache", "state", "log", "ppd"})
            QDir(root).mkpath(QString::fromLatin1(sub));
        // Run as root, the scheduler hands jobs to the unprivileged "lp" user, who must reach
        // the folder.
        QFile::setPermissions(root, QFileDevice::Permissions(0x7777));
        const bool root0 = getuid() == 0;
        writeText(root + QStringLiteral("/cupsd.conf"),
                  QStringLiteral("Listen %1/socket\nLogLevel warn\nWebInterface No\n"
                                 "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                                 "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n"
                                 "</Policy>\n")
                      .arg(root));
        writeText(root + QStringLiteral("/cups-files.conf"),
                  QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\n"
                                 "StateDir %1/state\nTempDir %1/spool\nErrorLog %1/log/error\n"
                                 "AccessLog %1/log/access\nPageLog %1/log/page\n%2")
                      .arg(root, root0 ? QStringLiteral("User lp\nGroup lp\n") : QString()));
        scheduler_.setProcessChannelMode(QProcess::MergedChannels);
        // Gone with the test program, even when a timeout kills it.
        scheduler_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        scheduler_.start(QStringLiteral("/usr/sbin/cupsd"),
                         {QStringLiteral("-f"), QStringLiteral("-c"), root + "/cupsd.conf",
                          QStringLiteral("-s"), root + "/cups-files.conf"});
        if (!scheduler_.waitForStarted(10000)) {
            why = QStringLiteral("cupsd does not start: ") + scheduler_.errorString();
            return false;
        }
        qputenv("CUPS_SERVER", (root + QStringLiteral("/socket")).toLocal8Bit());
        for (int i = 0; i < 100 && !QFile::exists(root + QStringLiteral("/socket")); ++i)
            QTest::qWait(50);
        const QString queue = QString::fromLatin1(kQueue);
        const bool ok =
            run(QStringLiteral("lpadmin"),
                {QStringLiteral("-p"), queue, QStringLiteral("-E"), QStringLiteral("-v"),
                 QStringLiteral("file:///dev/null"), QStringLiteral("-m"), QStringLiteral("raw")},
                why) &&
            run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), queue}, why) &&
            run(QStringLiteral("cupsdisable"), {queue}, why);
        if (!ok)
            why += QStringLiteral("\ncupsd: ") + QString::fromLocal8Bit(scheduler_.readAll()) +
                   QStringLiteral("\nits log: ") + readText(root + QStringLiteral("/log/error"));
        return ok;
    }
    ~PrintSystem() {
        scheduler_.terminate();
        scheduler_.waitForFinished(5000);
    }

    // The documents of the queued jobs, oldest first.
    QList<QByteArray> documents() const {
        QList<QByteArray> out;
        const QDir spool(folder_.path() + QStringLiteral("/spool"));
        for (const QString& name :
             spool.entryList({QStringLiteral("d*")}, QDir::Files, QDir::Name)) {
            QFile f(spool.filePath(name));
            if (f.open(QIODevice::ReadOnly))
                out << f.readAll();
        }
        return out;
    }
    // An attribute of the newest job as the print system holds it, as text.
    static QString newestJobAttribute(const char* attribute) {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs(&jobs, kQueue, 0, CUPS_WHICHJOBS_ALL);
        int id = 0;
        for (int i = 0; i < n; ++i)
            id = std::max(id, jobs[i].id);
        cupsFreeJobs(n, jobs);
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(id);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                     cupsUser());
        ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
        char text[256] = "";
        if (ipp_attribute_t* a = ippFindAttribute(response, attribute, IPP_TAG_ZERO))
            ippAttributeString(a, text, sizeof text);
        ippDelete(response);
        return QString::fromUtf8(text);
    }

private:
    static QString readText(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
    }
    static void writeText(const QString& path, const QString& text) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(text.toUtf8());
    }
    // Under /tmp whatever TMPDIR says: the socket's path must stay short.
    QTemporaryDir folder_{QStringLiteral("/tmp/tavolin-cups-XXXXXX")};
    QProcess scheduler_;
};

// A click on the push button of `window` with this text, as a user presses it.
void clickButton(QWidget* window, const QString& text) {
    for (QPushButton* b : window->findChildren<QPushButton*>())
        if (b->text() == text && b->isVisible()) {
            QTest::mouseClick(b, Qt::LeftButton);
            return;
        }
    QFAIL(qPrintable(QStringLiteral("no button ") + text));
}

int pageCount(const QByteArray& pdf) {
    return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"));
}

} // namespace

class TestPrinting : public ShellTest {
    Q_OBJECT
private:
    PrintSystem printSystem_;
    QString why_;

    QString status() { return frame().statusBar()->currentMessage(); }

private slots:
    void initTestCase() {
        QVERIFY(prepareShell());
        for (const char* program :
             {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/sbin/cupsdisable"})
            if (!QFile::exists(QString::fromLatin1(program)))
                why_ = QStringLiteral("no ") + QString::fromLatin1(program);
        // Where the print system is installed, failing to run it is a fault, not a reason to skip.
        if (why_.isEmpty())
            QVERIFY2(printSystem_.start(why_), qPrintable(why_));
    }
    void init() {
        if (!why_.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no print system here: ") + why_));
        QVERIFY(startApp({copySample(data_, QStringLiteral("sample-result.SHA"))}));
        frame().action(QStringLiteral("cmd32779"))->trigger(); // the analysis screen
        doc().printSettings().printFieldRecord = 1;
        doc().printSettings().printResultTable = 1;
    }
    void cleanup() {
        if (app_)
            stopApp();
    }

    // Two copies typed into the dialog, "打印": one job of all twelve pages, two copies.
    void aWholePrintIsOneJobWithTheDialogsCopies() {
        const int before = static_cast<int>(printSystem_.documents().size());
        DialogCatcher catcher([](QWidget* w) {
            if (!qobject_cast<QPrintDialog*>(w))
                return;
            clickButton(w, QStringLiteral("选项(&O) >>"));
            auto* copies = w->findChild<QSpinBox*>(QStringLiteral("copies"));
            QVERIFY(copies && copies->isVisible());
            tavolin::testing::enterText(copies, QStringLiteral("2"), false);
            clickButton(w, QStringLiteral("打印(&P)"));
        });
        QTest::keyClick(&frame(), Qt::Key_P, Qt::ControlModifier);
        const QList<QByteArray> documents = printSystem_.documents();
        QCOMPARE(documents.size(), before + 1);
        QVERIFY(documents.last().startsWith("%PDF"));
        QCOMPARE(pageCount(documents.last()), 12);
        QCOMPARE(PrintSystem::newestJobAttribute("copies"), QStringLiteral("2"));
        // The report's paper, not the queue's default.
        QCOMPARE(PrintSystem::newestJobAttribute("media"), QStringLiteral("A4"));
        QCOMPARE(status(), QStringLiteral("报表已发送到打印机 ") + QString::fromLatin1(kQueue));
    }

    // A queue that refuses jobs: the print system's refusal in words, nothing queued.
    void aRefusedJobIsSaidSo() {
        QString why;
        const QString queue = QString::fromLatin1(kQueue);
        QVERIFY2(run(QStringLiteral("cupsreject"), {queue}, why), qPrintable(why));
        const int before = static_cast<int>(printSystem_.documents().size());
        ModalCatcher boxes;
        DialogCatcher catcher([](QWidget* w) {
            if (qobject_cast<QPrintDialog*>(w))
                clickButton(w, QStringLiteral("打印(&P)"));
        });
        QTest::keyClick(&frame(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY2(run(QStringLiteral("cupsaccept"), {queue}, why), qPrintable(why));
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].startsWith(
                     QStringLiteral("打印失败：打印机 %1 现在不接受作业").arg(queue)),
                 qPrintable(boxes.texts[0]));
        QCOMPARE(static_cast<int>(printSystem_.documents().size()), before);
    }

    // "取消" in the progress window: the pages drawn so far never reach the queue.
    void aStoppedPrintQueuesNothing() {
        const int before = static_cast<int>(printSystem_.documents().size());
        int progressShown = 0;
        DialogCatcher catcher([&](QWidget* w) {
            if (qobject_cast<QPrintDialog*>(w)) {
                clickButton(w, QStringLiteral("打印(&P)"));
            } else if (auto* progress = qobject_cast<QProgressDialog*>(w)) {
                ++progressShown;
                for (QPushButton* b : progress->findChildren<QPushButton*>())
                    if (b->text() == QStringLiteral("取消"))
                        QTest::mouseClick(b, Qt::LeftButton);
            }
        });
        QTest::keyClick(&frame(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(progressShown, 1);
        QCOMPARE(status(), QStringLiteral("打印已取消"));
        QCOMPARE(static_cast<int>(printSystem_.documents().size()), before);
    }
};

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
