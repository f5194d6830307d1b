// FormviewAna: the framed pane; its contents are drawn from the document.
#include "views/formviewana.h"

#include "views/docbridge.h"

namespace tavolin {

FormviewAna::FormviewAna(DocBridge& bridge, QWidget* parent) : QFrame(parent), bridge_(bridge) {
    setObjectName(QStringLiteral("FormviewAna"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMinimumSize(60, 40);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &FormviewAna::refresh);
}

void FormviewAna::refresh() {
    update();
}

} // namespace tavolin
