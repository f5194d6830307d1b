// Wiring of the main screen: picks and cursor readouts of the three panes into the two forms.
#pragma once

namespace tavolin {

class CTavolinView;
class CMainForm;
class MainFormRight;

// A pick or a path length goes through the document, whose change notice refreshes both forms
// (a pick's at once); a cursor readout shows its values in the right form only, until the mouse
// leaves the pane.
void connectMainScreen(CTavolinView* panes[3], CMainForm* left, MainFormRight* right);

} // namespace tavolin
