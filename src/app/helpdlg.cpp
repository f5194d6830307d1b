// The help pages of the analysis screen: a read-only text and "确定".
#include "app/helpdlg.h"

#include "views/shellui.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tavolin {

QString CHelpDlg::pageText(Page page) {
    if (page == Contact)
        return QStringLiteral(
            "Tavolin 超声回弹综合法测强软件\n\n"
            "使用中发现问题或有改进建议，请把出问题时的数据文件（.SHT 或 .SHA，连同同名的 "
            ".SHD 波形文件）、所选规范和操作步骤一并交给本单位负责本软件的人员。\n\n"
            "命令行程序 tavolin-cli 可以不开窗口重现同一计算：tavolin-cli evaluate 文件 --json。");
    return QStringLiteral(
        "Tavolin 超声回弹综合法测强软件 — 目录\n\n"
        "1. 打开文件：“打开”读入仪器的声波原始文件（.SHT）或结果文件（.SHA），"
        "同名的 .SHD 波形文件须在同一文件夹。\n"
        "2. 主界面：三个波形窗口显示当前测区三个测点的波形，单击波形改判首波；"
        "左侧“工程信息栏”选择构件、测区、测试方式与测试位置，右侧“当前测区数据栏”"
        "显示声时、幅度、测距与声速，测距可修改后按回车。“前一测区”“后一测区”逐区检查。\n"
        "3. 分析界面（“输出”）：下方回弹表逐区输入十六个回弹值、测试角度、测试平面和"
        "碳化深度；左侧“分析输出信息栏”选择构件、规范（CECS 02:2005 或 TB10426-2004）、"
        "粗骨料与系数 a、b、c、强度修正系数η，“单”“多”两页显示构件与整批的推定值。\n"
        "4. 回弹值超出 10–60、测距为 0 或大于 3000 mm、测点声速超出 2–6 km/s 时，"
        "数值照样保留，所在格子或输入框以颜色标出，状态栏说明原因，改正后标记消失。\n"
        "5. 保存：“保存结果”写出结果文件（.SHA 与 .SHD），状态栏显示文件位置。\n"
        "6. 报表：“打印设置”选择现场记录表与结果数据表及报表信息；“打印预览”“打印”"
        "“输出到PDF”“输出到BMP”（选一次文件夹与文件名，逐页编号保存）、"
        "“生成word文档”“输出到excel”输出同一份报表。\n"
        "7. 修正表：角度、测试面与碳化深度（TB10426-2004 泵送）修正表可在“修正表”菜单中查看和修改，"
        "只在本次运行中有效。");
}

CHelpDlg::CHelpDlg(Page page, QWidget* parent) : QDialog(parent) {
    setObjectName(page == Contents ? QStringLiteral("CHelpDlg") : QStringLiteral("CContactDlg"));
    setWindowTitle(page == Contents ? QStringLiteral("目录 - Tavolin")
                                    : QStringLiteral("联系我们 - Tavolin"));
    auto* text = new QPlainTextEdit(pageText(page), this);
    text->setObjectName(QStringLiteral("helpText"));
    text->setAccessibleName(page == Contents ? QStringLiteral("目录") : QStringLiteral("联系我们"));
    text->setReadOnly(true);
    text->setMinimumSize(520, page == Contents ? 380 : 180);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(okCancelButtons(this, false));
}

} // namespace tavolin
