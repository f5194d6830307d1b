// Handlers of "生成word文档" and "输出到excel": the report tables and the sheet as office files.
#pragma once

#include <QString>

#include <functional>

namespace tavolin {

class CMainFrame;

// "生成word文档": the tables chosen in "打印设置" written to a .docx the user names, then opened.
void wordReportCommand(CMainFrame& frame);
// "输出到excel": every member's block written to an .xlsx the user names, then opened.
void excelExportCommand(CMainFrame& frame);

// Opens a written file with the desktop's default application; false when none could. Tests
// install a hook in its place so that no office program starts.
using OpenDocumentHook = std::function<bool(const QString& path)>;
void setOpenDocumentHook(OpenDocumentHook hook);

} // namespace tavolin
