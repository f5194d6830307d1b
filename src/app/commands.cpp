// The table of the frame's commands and the conditions that grey or check them.
#include "app/commands.h"

#include "app/analysiscommands.h"
#include "app/autopickcommands.h"
#include "app/mainframe.h"
#include "app/officecommands.h"
#include "app/reportcommands.h"

#include <QStatusBar>

#include <array>

namespace tavolin {

namespace {

using C = Command;

bool fileOpen(const CMainFrame& f) {
    return f.doc().isOpen();
}
bool canGoPrevious(const CMainFrame& f) {
    return f.doc().isOpen() && f.doc().canGoPrevious();
}
bool canGoNext(const CMainFrame& f) {
    return f.doc().isOpen() && f.doc().canGoNext();
}
bool inMain(const CMainFrame& f) {
    return f.activeInterface() == CMainFrame::MainInterface;
}
bool inAnalysis(const CMainFrame& f) {
    return f.activeInterface() == CMainFrame::AnalysisInterface;
}

constexpr auto ctrl = [](Qt::Key key) { return QKeyCombination(Qt::CTRL, key); };

// One row per command, in the order of `Command`.
const CommandSpec table[] = {
    // Ctrl+N, the framework's new document: it has no menu entry or button of its own.
    {C::FileNew, 57600, "", u"新建", nullptr, nullptr, ctrl(Qt::Key_N),
     [](CMainFrame& f) { f.onFileNew(); }},
    {C::FileOpen, 57601, "", u"打开(&O)...\tCtrl+O", "open", u"打开", ctrl(Qt::Key_O),
     [](CMainFrame& f) { f.onFileOpen(); }},
    {C::FileOpenAnalysis,
     32806,
     "",
     u"打开",
     "open",
     nullptr,
     {},
     [](CMainFrame& f) { f.onFileOpen(); }},
    {C::FileSave,
     32828,
     "",
     u"保存(&S)\tCtrl+S",
     "save",
     u"保存",
     {},
     [](CMainFrame& f) { f.onFileSave(); },
     fileOpen},
    {C::FileSaveAnalysis,
     32828,
     "_ana",
     u"保存",
     "save",
     u"保存",
     {},
     [](CMainFrame& f) { f.onFileSave(); },
     fileOpen},
    {C::FileSaveShortcut, 57603, "", u"保存", nullptr, nullptr, ctrl(Qt::Key_S),
     [](CMainFrame& f) { f.onFileSave(); }},
    {C::FileSaveAs,
     32827,
     "",
     u"另存为(&A)...",
     nullptr,
     nullptr,
     {},
     [](CMainFrame& f) { f.onFileSaveAs(); },
     fileOpen},
    {C::Merge, 32805, "", u"合并", nullptr, nullptr, {}, [](CMainFrame& f) { f.onMerge(); }},
    {C::Exit, 32840, "", u"退出", nullptr, nullptr, {}, [](CMainFrame& f) { f.close(); }},
    {C::ExitAnalysis, 32841, "", u"退出", nullptr, nullptr, {}, [](CMainFrame& f) { f.close(); }},
    {C::TestParameters,
     32775,
     "",
     u"检测参数",
     nullptr,
     u"检查参数",
     {},
     [](CMainFrame& f) { f.onTestParameters(); },
     fileOpen},
    {C::PreviousArea,
     32776,
     "",
     u"前一测区",
     "prev",
     u"前一测区",
     {},
     [](CMainFrame& f) { f.onPreviousArea(); },
     canGoPrevious},
    {C::NextArea,
     32777,
     "",
     u"后一测区",
     "next",
     u"后一测区",
     {},
     [](CMainFrame& f) { f.onNextArea(); },
     canGoNext},
    {C::ToggleToolBar,
     59392,
     "",
     u"工具栏(&T)",
     nullptr,
     nullptr,
     {},
     [](CMainFrame& f) { f.onToggleToolBar(); },
     nullptr,
     [](const CMainFrame& f) { return f.toolBarFlag(); }},
    {C::ToggleProjectBar,
     32835,
     "",
     u"工程信息栏",
     nullptr,
     u"工程信息栏",
     {},
     [](CMainFrame& f) { f.onToggleProjectBar(); },
     nullptr,
     [](const CMainFrame& f) { return f.projectBarFlag(); }},
    {C::ToggleAreaBar,
     32837,
     "",
     u"当前测区数据栏",
     nullptr,
     u"当前测区数据栏",
     {},
     [](CMainFrame& f) { f.onToggleAreaBar(); },
     nullptr,
     [](const CMainFrame& f) { return f.areaBarFlag(); }},
    {C::ToggleStatusBar,
     59393,
     "",
     u"状态栏(&S)",
     nullptr,
     nullptr,
     {},
     [](CMainFrame& f) { f.statusBar()->setVisible(f.statusBar()->isHidden()); },
     nullptr,
     [](const CMainFrame& f) { return !f.statusBar()->isHidden(); }},
    {C::ShowAnalysis, 32779, "", u"输出", "analysis", u"分析界面", {}, showAnalysisCommand},
    {C::Filter, 32781, "", u"滤波", nullptr, u"滤波", {}, [](CMainFrame& f) { f.onFilter(); }},
    {C::About,
     57664,
     "",
     u"关于 Tavolin(&A)...",
     nullptr,
     nullptr,
     {},
     [](CMainFrame& f) { f.onAbout(); }},
    {C::SaveResult, 32797, "", u"保存结果", "saveresult", u"保存结果文件", {}, saveResultCommand},
    {C::PrintSetup,
     57606,
     "",
     u"打印设置",
     "printsetup",
     nullptr,
     {},
     printSetupCommand,
     inAnalysis},
    {C::PrintPreview,
     57609,
     "",
     u"打印预览(&V)",
     "preview",
     nullptr,
     {},
     printPreviewCommand,
     inAnalysis},
    // Ctrl+P of the analysis interface: the row below holds it for the main interface.
    {C::Print, 57607, "", u"打印", "print", nullptr, ctrl(Qt::Key_P), printCommand, inAnalysis},
    {C::PdfExport, 32839, "", u"输出到PDF", "pdf", u"输出到PDF", {}, pdfExportCommand, inAnalysis},
    // Ctrl+P of the main interface prints the active waveform pane.
    {C::PrintPane, 57607, "_view", u"打印", nullptr, nullptr, ctrl(Qt::Key_P),
     [](CMainFrame& f) { f.onPrintPane(); }, inMain},
    {C::AngleTable, 32810, "", u"角度修正表", nullptr, nullptr, {}, angleTableCommand},
    {C::PlaneTable, 32811, "", u"测试面修正表", nullptr, nullptr, {}, planeTableCommand},
    {C::CarbonTable,
     32812,
     "",
     u"碳化深度修正表",
     nullptr,
     nullptr,
     {},
     carbonTableCommand,
     carbonTableAvailable},
    {C::ShowMain, 32796, "", u"返回主界面", "back", u"返回主界面", {}, showMainCommand},
    {C::ToggleAnalysisBar,
     32838,
     "",
     u"分析信息栏",
     nullptr,
     u"分析信息栏",
     {},
     [](CMainFrame& f) { f.onToggleAnalysisBar(); },
     nullptr,
     [](const CMainFrame& f) { return f.analysisBarFlag(); }},
    {C::WordReport,
     32808,
     "",
     u"生成word文档",
     "word",
     u"输出到word",
     {},
     wordReportCommand,
     inAnalysis},
    {C::BitmapExport,
     32809,
     "",
     u"输出到BMP",
     nullptr,
     nullptr,
     {},
     bitmapExportCommand,
     inAnalysis},
    {C::ExcelExport,
     32830,
     "",
     u"输出到excel",
     "excel",
     u"导出到EXCEL",
     {},
     excelExportCommand,
     inAnalysis},
    {C::HelpContents,
     32793,
     "",
     u"目录",
     nullptr,
     nullptr,
     {},
     [](CMainFrame& f) { f.onHelp(CHelpDlg::Contents); }},
    {C::HelpContact,
     32794,
     "",
     u"联系我们",
     nullptr,
     nullptr,
     {},
     [](CMainFrame& f) { f.onHelp(CHelpDlg::Contact); }},
    {C::HelpAbout, 32795, "", u"关于", nullptr, nullptr, {}, [](CMainFrame& f) { f.onAbout(); }},
    // F6 / Shift+F6: next / previous pane of the active interface.
    {C::NextPane, 57680, "", u"下一窗格", nullptr, nullptr, QKeyCombination(Qt::Key_F6),
     [](CMainFrame& f) { f.cyclePane(1); }},
    {C::PreviousPane, 57681, "", u"上一窗格", nullptr, nullptr,
     QKeyCombination(Qt::SHIFT, Qt::Key_F6), [](CMainFrame& f) { f.cyclePane(-1); }},
    {C::AutoPickArea,
     32860,
     "",
     u"自动判读当前测区",
     nullptr,
     u"自动判读当前测区的三个测点（包括人工判读过的测点）",
     {},
     autoPickAreaCommand,
     inMain},
    {C::AutoPickMember,
     32861,
     "",
     u"自动判读当前构件",
     nullptr,
     u"自动判读当前构件的各测点（人工判读过的测点保留）",
     {},
     autoPickMemberCommand,
     inMain},
    {C::AutoPickAll,
     32862,
     "",
     u"自动判读全部",
     nullptr,
     u"自动判读所有构件的各测点（人工判读过的测点保留）",
     {},
     autoPickAllCommand,
     inMain},
    // The menu text names the step ("撤销 输入回弹值"); Ctrl+Shift+Z is the redo's second key.
    {C::Undo, 57643, "", u"撤销", nullptr, nullptr, ctrl(Qt::Key_Z),
     [](CMainFrame& f) { f.doc().undo(); }, [](const CMainFrame& f) { return f.doc().canUndo(); }},
    {C::Redo, 57644, "", u"重做", nullptr, nullptr, ctrl(Qt::Key_Y),
     [](CMainFrame& f) { f.doc().redo(); }, [](const CMainFrame& f) { return f.doc().canRedo(); }},
};
static_assert(std::size(table) == size_t(Command::Count), "one row per command");

} // namespace

std::span<const CommandSpec> commandTable() {
    return table;
}

const CommandSpec& commandSpec(Command command) {
    return table[size_t(command)];
}

QString commandObjectName(Command command) {
    const CommandSpec& spec = commandSpec(command);
    return QStringLiteral("cmd%1").arg(spec.id) + QString::fromLatin1(spec.suffix);
}

} // namespace tavolin
