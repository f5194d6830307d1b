// How implausible values look on screen: a marked field or cell, and the status-bar text that
// says why (it follows the document until the values are corrected).
#pragma once

#include <QColor>
#include <QLabel>

namespace tavolin {

class DocBridge;

// Background of a marked cell or field (a reading off the hammer's scale, a path length or a
// point velocity out of range): distinct from the yellow of the dropped readings.
inline QColor implausibleColor() {
    return QColor(255, 170, 170);
}

// Marks an entry or display field as holding an implausible value (property "implausible").
void markImplausible(QWidget* field, bool marked);

// The status-bar text of the current member's marks: the current area's reasons, else the
// first marked area's; empty when nothing is marked.
class PlausibilityLabel : public QLabel {
    Q_OBJECT
public:
    explicit PlausibilityLabel(DocBridge& bridge, QWidget* parent = nullptr);
    void refresh();

private:
    DocBridge& bridge_;
};

} // namespace tavolin
