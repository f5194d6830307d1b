// Commands of curves and corrections: "钻芯修正", "测强曲线库", "拟合测强曲线".
#pragma once

namespace tavolin {

class CMainFrame;

// The specimens dialog; "确定" sets eta from them as one edit of the document.
void coreCorrectionCommand(CMainFrame& frame);
// "测强曲线库": the library dialog; "确定" writes curves.json beside the settings archive and
// gives the document the new library.
void curveLibraryCommand(CMainFrame& frame);
// "拟合测强曲线": the fit dialog; "加入曲线库" stores the curve at once.
void fitCurveCommand(CMainFrame& frame);

} // namespace tavolin
