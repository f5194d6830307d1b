// CDlgParam: the "检测参数" dialog showing the acquisition parameters of the current member.
#pragma once

#include <QDialog>

class QLineEdit;

namespace tavolin {

class CTavolinDoc;

class CDlgParam : public QDialog {
    Q_OBJECT
public:
    CDlgParam(CTavolinDoc& doc, QWidget* parent = nullptr);

    QLineEdit* field(const QString& objectName) const;
};

} // namespace tavolin
