// Handlers of the analysis interface's commands ("输出", "返回主界面", "保存结果", the tables).
#pragma once

namespace tavolin {

class CMainFrame;

// "输出": switch to the analysis interface (needs an open file) and refresh its three panes.
void showAnalysisCommand(CMainFrame& frame);
// "返回主界面".
void showMainCommand(CMainFrame& frame);
// "保存结果": proposal, save dialog, the result pair written and reopened.
void saveResultCommand(CMainFrame& frame);
// "角度修正表", "测试面修正表", "碳化深度修正表": the dialog of the selected standard's table;
// "确定" applies the edited tables to the job.
void angleTableCommand(CMainFrame& frame);
void planeTableCommand(CMainFrame& frame);
void carbonTableCommand(CMainFrame& frame);
// The carbonation table exists only under TB 10426-2004.
bool carbonTableAvailable(const CMainFrame& frame);

} // namespace tavolin
