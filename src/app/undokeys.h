// Ctrl+Z inside a text field: the field's own typing is taken back first, then the job's edits.
#pragma once

class QWidget;

namespace tavolin {

// Installs, for the widgets of `window`, the rule that a text field keeps undo and redo keys
// only while it has something of its own to undo or redo.
void installTextUndoFilter(QWidget* window);

} // namespace tavolin
