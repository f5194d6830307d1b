// AnalysisPane: the framed white pane the three parts of the analysis interface are built on.
#pragma once

#include <QFrame>

namespace tavolin {

class DocBridge;

class AnalysisPane : public QFrame {
    Q_OBJECT
public:
    AnalysisPane(DocBridge& bridge, const QString& name, QWidget* parent = nullptr);
    // Redraws from the document.
    void refresh();

protected:
    DocBridge& bridge_;
};

} // namespace tavolin
