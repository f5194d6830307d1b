// CAnalysisDownTView: the rebound and sonic table below the analysis waveform view.
#pragma once

#include "views/analysispane.h"

namespace tavolin {

class CAnalysisDownTView : public AnalysisPane {
    Q_OBJECT
public:
    explicit CAnalysisDownTView(DocBridge& bridge, QWidget* parent = nullptr)
        : AnalysisPane(bridge, QStringLiteral("CAnalysisDownTView"), parent) {}
};

} // namespace tavolin
