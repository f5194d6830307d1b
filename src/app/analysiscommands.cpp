// The commands of the analysis interface: entering and leaving it, "保存结果", the correction
// tables and their dialogs.
#include "app/analysiscommands.h"

#include "app/mainframe.h"
#include "views/analysisview.h"
#include "views/dlgangle.h"
#include "views/dlgcarbon.h"
#include "views/dlgplane.h"
#include "views/qtext.h"
#include "views/shellui.h"

#include <QDir>
#include <QStatusBar>

namespace tavolin {

namespace {

// Every member and the batch of the open job, computed again by the core (the tables as they
// are: the document's op that recomputes the whole job).
void recomputeJob(CTavolinDoc& doc) {
    if (doc.isOpen())
        doc.setTables(CorrectionTables(doc.tables()));
}

// Opens a correction-table dialog on the document's tables; "确定" applies the edited tables to
// the job, which recomputes every member.
template <class Dialog> void editTables(CMainFrame& frame) {
    CTavolinDoc& doc = frame.doc();
    Dialog dialog(doc.tables(), doc.standard(), &frame);
    if (dialog.exec() != QDialog::Accepted)
        return;
    doc.setTables(dialog.tables());
    if (frame.activeInterface() == CMainFrame::AnalysisInterface)
        frame.analysisRefresh();
}

} // namespace

void showAnalysisCommand(CMainFrame& frame) {
    if (!frame.doc().isOpen() || frame.activeInterface() == CMainFrame::AnalysisInterface)
        return;
    // The other members' strengths may be those of the file or of another standard.
    recomputeJob(frame.doc());
    frame.showInterface(CMainFrame::AnalysisInterface);
    frame.analysisView()->setFocus(Qt::OtherFocusReason);
    frame.analysisRefresh();
}

void showMainCommand(CMainFrame& frame) {
    if (frame.activeInterface() == CMainFrame::MainInterface)
        return;
    frame.showInterface(CMainFrame::MainInterface);
    frame.navigationRefresh();
}

void saveResultCommand(CMainFrame& frame) {
    CTavolinDoc& doc = frame.doc();
    if (!doc.isOpen()) {
        showMessage(&frame, QStringLiteral("请先打开文件!"));
        return;
    }
    const QString target =
        askSaveFile(&frame, filterResult, pathToQ(doc.proposedResultPath()), QStringLiteral("SHA"));
    if (target.isEmpty())
        return;
    std::u16string error;
    {
        ProgressScope progress(&frame, QStringLiteral("正在保存结果..."));
        error = doc.saveResult(pathFromQ(target), progress.options());
    }
    if (!error.empty()) {
        // The open job is left as it was.
        showMessage(&frame, toQ(error));
        return;
    }
    // The written file is now the open job.
    frame.jobReplacedBy(target);
    frame.statusBar()->showMessage(
        QStringLiteral("结果已保存到 %1").arg(QDir::toNativeSeparators(target)));
}

void angleTableCommand(CMainFrame& frame) {
    editTables<CDlgAngle>(frame);
}

void planeTableCommand(CMainFrame& frame) {
    editTables<CDlgPlane>(frame);
}

void carbonTableCommand(CMainFrame& frame) {
    editTables<CDlgCarbon>(frame);
}

bool carbonTableAvailable(const CMainFrame& frame) {
    return frame.doc().standard() == 1;
}

} // namespace tavolin
