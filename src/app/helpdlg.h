// CHelpDlg: the analysis screen's "目录" (how a job goes through the program) and "联系我们".
#pragma once

#include <QDialog>

namespace tavolin {

class CHelpDlg : public QDialog {
    Q_OBJECT
public:
    enum Page { Contents, Contact };
    explicit CHelpDlg(Page page, QWidget* parent = nullptr);

    // The text the page shows (plain text with line breaks).
    static QString pageText(Page page);
};

} // namespace tavolin
