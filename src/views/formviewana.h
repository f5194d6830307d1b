// FormviewAna: the evaluation form in the bar "分析输出信息栏".
#pragma once

#include <QFrame>

namespace tavolin {

class DocBridge;

class FormviewAna : public QFrame {
    Q_OBJECT
public:
    explicit FormviewAna(DocBridge& bridge, QWidget* parent = nullptr);
    // Redraws from the document.
    void refresh();

private:
    DocBridge& bridge_;
};

} // namespace tavolin
