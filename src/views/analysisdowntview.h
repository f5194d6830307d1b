// CAnalysisDownTView: the rebound and sonic table below the analysis waveform view.
#pragma once

#include <QFrame>

namespace tavolin {

class DocBridge;

class CAnalysisDownTView : public QFrame {
    Q_OBJECT
public:
    explicit CAnalysisDownTView(DocBridge& bridge, QWidget* parent = nullptr);
    // Redraws from the document.
    void refresh();

private:
    DocBridge& bridge_;
};

} // namespace tavolin
