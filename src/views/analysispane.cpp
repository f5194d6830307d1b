// AnalysisPane: framed, white, and redrawn whenever another job is opened.
#include "views/analysispane.h"

#include "views/docbridge.h"

namespace tavolin {

AnalysisPane::AnalysisPane(DocBridge& bridge, const QString& name, QWidget* parent)
    : QFrame(parent), bridge_(bridge) {
    setObjectName(name);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMinimumSize(60, 40);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &AnalysisPane::refresh);
}

void AnalysisPane::refresh() {
    update();
}

} // namespace tavolin
