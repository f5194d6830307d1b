// Handlers of the analysis interface's commands ("输出", "返回主界面", "保存结果", …).
#pragma once

namespace tavolin {

class CMainFrame;

// "输出": switch to the analysis interface (needs an open file) and refresh its three panes.
void showAnalysisCommand(CMainFrame& frame);
// "返回主界面".
void showMainCommand(CMainFrame& frame);
// "保存结果": proposal, save dialog, the result pair written and reopened.
void saveResultCommand(CMainFrame& frame);

} // namespace tavolin
