// The about box: program icon, name and version, "确定".
#include "app/aboutdlg.h"

#include "app/toolicons.h"

#include "views/shellui.h"

#include "tavolinversion.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavolin {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(QStringLiteral("关于 Tavolin"));
    auto* icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(QSize(32, 32)));
    auto* text = new QLabel(
        QStringLiteral("超声回弹综合法测强软件 %1 版").arg(QLatin1String(kVersion)), this);
    text->setObjectName(QStringLiteral("labelVersion"));
    QDialogButtonBox* buttons = okCancelButtons(this, false);

    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace tavolin
