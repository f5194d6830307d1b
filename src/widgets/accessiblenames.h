// Gives fields laid out beside a label (form rows, label buddies) that label as accessible name.
#pragma once

class QLayout;
class QWidget;

namespace tavolin {

// Names every unnamed field of the layout (and the layouts inside it) after its form label.
void nameFieldsByLabels(QLayout* layout);

// From now on every widget that shows names its form fields and its label's buddy, so screen
// readers and test drivers see the visible label (Qt only does this for edits, not combo boxes).
void installAccessibleNames();

} // namespace tavolin
