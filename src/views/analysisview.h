// CAnalysisView: the waveform view of the analysis interface.
#pragma once

#include "views/analysispane.h"

namespace tavolin {

class CAnalysisView : public AnalysisPane {
    Q_OBJECT
public:
    explicit CAnalysisView(DocBridge& bridge, QWidget* parent = nullptr)
        : AnalysisPane(bridge, QStringLiteral("CAnalysisView"), parent) {}
};

} // namespace tavolin
