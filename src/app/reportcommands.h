// Handlers of "打印设置", "打印预览(&V)", "打印", "输出到PDF" and "输出到BMP" of the analysis
// screen.
#pragma once

namespace tavolin {

class CMainFrame;

void printSetupCommand(CMainFrame& frame);
void printPreviewCommand(CMainFrame& frame);
void printCommand(CMainFrame& frame);
void pdfExportCommand(CMainFrame& frame);
void bitmapExportCommand(CMainFrame& frame);

} // namespace tavolin
