// CAnalysisView: the waveform view of the analysis interface.
#pragma once

#include <QFrame>

namespace tavolin {

class DocBridge;

class CAnalysisView : public QFrame {
    Q_OBJECT
public:
    explicit CAnalysisView(DocBridge& bridge, QWidget* parent = nullptr);
    // Redraws from the document.
    void refresh();

private:
    DocBridge& bridge_;
};

} // namespace tavolin
