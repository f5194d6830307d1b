// The commands of the analysis interface: entering and leaving it, and "保存结果".
#include "app/analysiscommands.h"

#include "app/mainframe.h"
#include "views/analysisview.h"
#include "views/qtext.h"
#include "views/shellui.h"

namespace tavolin {

void showAnalysisCommand(CMainFrame& frame) {
    if (!frame.doc().isOpen() || frame.activeInterface() == CMainFrame::AnalysisInterface)
        return;
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
        showMessage(&frame, toQ(error));
        frame.updateActions();
        return;
    }
    // The written file is now the open job.
    frame.jobReplacedBy(target);
}

} // namespace tavolin
