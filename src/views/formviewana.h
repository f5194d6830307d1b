// FormviewAna: the evaluation form in the bar "分析输出信息栏".
#pragma once

#include "views/analysispane.h"

namespace tavolin {

class FormviewAna : public AnalysisPane {
    Q_OBJECT
public:
    explicit FormviewAna(DocBridge& bridge, QWidget* parent = nullptr)
        : AnalysisPane(bridge, QStringLiteral("FormviewAna"), parent) {}
};

} // namespace tavolin
