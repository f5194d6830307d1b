// CAnalysisView: the framed pane; its contents are drawn from the document.
#include "views/analysisview.h"

#include "views/docbridge.h"

namespace tavolin {

CAnalysisView::CAnalysisView(DocBridge& bridge, QWidget* parent) : QFrame(parent), bridge_(bridge) {
    setObjectName(QStringLiteral("CAnalysisView"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMinimumSize(60, 40);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &CAnalysisView::refresh);
}

void CAnalysisView::refresh() {
    update();
}

} // namespace tavolin
