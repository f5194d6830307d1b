// Marked fields and the status-bar explanation of implausible values.
#include "views/plausibilitymarks.h"

#include "data/plausibility.h"
#include "views/docbridge.h"

#include <utility>

namespace tavolin {

void markImplausible(QWidget* field, bool marked) {
    if (!field || field->property("implausible").toBool() == marked)
        return;
    field->setProperty("implausible", marked);
    // A style sheet, so the mark also shows on a read-only field that wears the window colour.
    field->setStyleSheet(
        marked ? QStringLiteral("background-color: %1;").arg(implausibleColor().name())
               : QString());
}

PlausibilityLabel::PlausibilityLabel(DocBridge& bridge, QWidget* parent)
    : QLabel(parent), bridge_(bridge) {
    setObjectName(QStringLiteral("labelPlausibility"));
    setAccessibleName(QStringLiteral("数值提示"));
    setStyleSheet(QStringLiteral("color: #b00000;"));
    connect(&bridge_, &DocBridge::areaChangedQueued, this, &PlausibilityLabel::refresh);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &PlausibilityLabel::refresh);
    connect(&bridge_, &DocBridge::jobChangedQueued, this, &PlausibilityLabel::refresh);
    refresh();
}

void PlausibilityLabel::refresh() {
    const CTavolinDoc& doc = std::as_const(bridge_).doc();
    const int m = doc.currentMember();
    QString text;
    if (doc.isOpen() && m >= 0 && m < static_cast<int>(doc.job().areas.size()))
        text = toQ(plausibilityMessage(doc.job().areas[size_t(m)], doc.currentAreaIndex()));
    setText(text);
    setToolTip(text);
}

} // namespace tavolin
