// Timing of the analysis screen on a large job, driven through the real widgets on the offscreen
// platform: entering the screen, changing the member, a reading edit, a standard change, one
// repaint of the waveform area. Prints medians against their targets; asserts nothing.
#include "app/mainframe.h"
#include "app/tavolinapp.h"
#include "benchsupport.h"
#include "data/doc.h"
#include "data/format.h"
#include "samplegen_lib.h"
#include "views/analysisview.h"
#include "views/docbridge.h"
#include "views/formviewana.h"
#include "views/resultpanels.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace tavolin;

namespace {

// Runs everything the step queued (notifications, evaluations, repaints) until nothing is left.
void settle() {
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

using benchtiming::Timing;

// Medians of the wall time and of the process's CPU time, in ms; `prepare` runs outside the
// clocks before every repetition, and what a step queued runs inside them.
Timing median(int repetitions, const std::function<void()>& run,
              const std::function<void()>& prepare = {}) {
    benchtiming::Hooks hooks;
    hooks.before = prepare;
    hooks.settle = settle;
    return benchtiming::median(repetitions, run, hooks);
}

void report(const char* what, Timing t, double target) {
    std::printf("%-56s %8.2f ms wall %8.2f ms CPU   (target <= %g ms)%s\n", what, t.wallMs, t.cpuMs,
                target, std::min(t.wallMs, t.cpuMs) <= target ? "" : "   OVER");
    std::fflush(stdout);
}

QString fieldText(QWidget* panel, const char* name) {
    auto* e = panel->findChild<QLineEdit*>(QString::fromUtf8(name));
    return e ? e->text() : QString();
}

// The panels must show what the document evaluated; a figure of a screen that did not update
// would be worthless.
bool panelsCurrent(CTavolinDoc& doc, FormviewAna& form) {
    const auto& evaluation = doc.evaluation();
    const MemberEvaluation& m = evaluation.members.at(doc.currentMember());
    return fieldText(form.singleResult(), "Mf(Mpa)") == toQ(formatFixed(m.Mf, 1)) &&
           fieldText(form.singleResult(), "N") == toQ(formatInt(m.N)) &&
           fieldText(form.mulResult(), "强度换算标准差") ==
               toQ(formatFixed(evaluation.batch.SF, 2));
}

} // namespace

int main(int argc, char** argv) {
    // The offscreen platform's notes about window hints are noise here.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && !text.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("TAVOLIN_CONFIG_DIR", config.path().toLocal8Bit());
    QApplication qapp(argc, argv);
    CTavolinApp::initApplication();

    const samplegen::SampleSpec spec = benchtiming::largeJobSpec();
    QTemporaryDir data;
    // A job of the caller's (bench_analysis JOB.SHA) instead of the generated one.
    const bool own = argc > 1;
    const std::string path = own ? std::string(argv[1]) : data.filePath("bench.SHA").toStdString();
    if (!own) {
        std::printf("generating %d members x %d areas x 3 points x %d samples ...\n", spec.members,
                    spec.areas, spec.datLen);
        std::fflush(stdout);
        if (!samplegen::writeJob(path, samplegen::generateJob(spec), true).empty()) {
            std::fprintf(stderr, "writing the job failed\n");
            return 1;
        }
    }

    CTavolinApp tavolin;
    CMainFrame& frame = tavolin.frame();
    CTavolinDoc& doc = tavolin.doc();
    frame.resize(1366, 768);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame) || !frame.openFile(QString::fromStdString(path))) {
        std::fprintf(stderr, "opening the job failed\n");
        return 1;
    }
    // Keys reach the focused widget only in the active window.
    QApplication::setActiveWindow(&frame);
    settle();
    auto* form = frame.findChild<FormviewAna*>();
    QAction* toAnalysis = frame.action(QStringLiteral("cmd32779"));
    QAction* toMain = frame.action(QStringLiteral("cmd32796"));
    if (!form || !toAnalysis || !toMain) {
        std::fprintf(stderr, "the analysis screen is missing\n");
        return 1;
    }

    const Timing enter = median(
        7, [&] { toAnalysis->trigger(); }, [&] { toMain->trigger(); });
    report("enter the analysis screen (\"输出\")", enter, 300);
    if (!panelsCurrent(doc, *form))
        std::fprintf(stderr, "warning: the panels did not follow the entry\n");

    // Keys go to the focused selector, as a user's do: Down and Up alternate between members.
    auto* member = form->findChild<QComboBox*>(QStringLiteral("构件名称"));
    auto* standard = form->findChild<QComboBox*>(QStringLiteral("规范选择"));
    int step = 0;
    const Timing memberMs = median(11, [&] {
        member->setFocus();
        QTest::keyClick(QApplication::focusWidget(), step++ % 2 ? Qt::Key_Up : Qt::Key_Down);
    });
    report("change the member (\"构件名称\")", memberMs, 100);
    if (!panelsCurrent(doc, *form))
        std::fprintf(stderr, "warning: the panels did not follow the member\n");

    // A reading typed into the rebound table ("回弹数据"): R1 of the member's first area, keys
    // to the focused table, Enter commits; timed until both panels show the new evaluation.
    QAbstractItemView* table = nullptr;
    for (auto* v : frame.findChildren<QAbstractItemView*>())
        if (v->accessibleName() == QStringLiteral("回弹数据"))
            table = v;
    int reading = 0;
    if (table) {
        const Timing readingMs = median(
            11,
            [&] {
                QTest::keyClicks(QApplication::focusWidget(), reading++ % 2 ? "42" : "43");
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            },
            [&] {
                table->setFocus();
                table->setCurrentIndex(table->model()->index(1, 1));
            });
        report("a reading typed into the rebound table", readingMs, 16);
    } else {
        // Without the table, the same edit through the document's operation, as the table makes it.
        const Timing readingMs =
            median(11, [&] { doc.setReading(doc.currentMember(), 0, 0, reading++ % 2 ? 42 : 43); });
        report("a reading edit (document operation; no rebound table)", readingMs, 16);
    }
    if (!panelsCurrent(doc, *form))
        std::fprintf(stderr, "warning: the panels did not follow the reading\n");

    const Timing standardMs = median(11, [&] {
        standard->setFocus();
        QTest::keyClick(QApplication::focusWidget(),
                        standard->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
    });
    report("change the standard (10,000 areas recomputed)", standardMs, 50);
    if (!panelsCurrent(doc, *form))
        std::fprintf(stderr, "warning: the panels did not follow the standard\n");

    // One synchronous repaint of the header strip and the waveform of the current point.
    auto* view = frame.findChild<CAnalysisView*>();
    if (view) {
        const Timing paintMs = median(21, [&] { view->repaintWaveform(); });
        report("repaint the waveform area", paintMs, 4);
    } else {
        std::fprintf(stderr, "the waveform view is missing\n");
    }
    return 0;
}
