// CAnalysisDownTView: the framed pane; its contents are drawn from the document.
#include "views/analysisdowntview.h"

#include "views/docbridge.h"

namespace tavolin {

CAnalysisDownTView::CAnalysisDownTView(DocBridge& bridge, QWidget* parent)
    : QFrame(parent), bridge_(bridge) {
    setObjectName(QStringLiteral("CAnalysisDownTView"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMinimumSize(60, 40);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &CAnalysisDownTView::refresh);
}

void CAnalysisDownTView::refresh() {
    update();
}

} // namespace tavolin
