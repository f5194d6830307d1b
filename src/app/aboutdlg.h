// CAboutDlg: the "关于 Tavolin" box.
#pragma once

#include <QDialog>

namespace tavolin {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace tavolin
