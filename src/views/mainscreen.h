// Wiring of the main screen: picks and cursor readouts of the three panes into the two forms.
#pragma once

namespace tavolin {

class CTavolinView;
class CMainForm;
class MainFormRight;

// A pick writes the point velocity into the left form, recomputes v and va there, and shows
// T, A and V of the point in the right form; a readout shows its values in the right form only.
// A path length entered in the right form refreshes the left form's velocities.
void connectMainScreen(CTavolinView* panes[3], CMainForm* left, MainFormRight* right);

} // namespace tavolin
