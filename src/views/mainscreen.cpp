// connectMainScreen: the pane-to-form connections of the main screen.
#include "views/mainscreen.h"

#include "data/doc.h"
#include "views/mainform.h"
#include "views/mainformright.h"
#include "views/tavolinview.h"

namespace tavolin {

void connectMainScreen(CTavolinView* panes[3], CMainForm* left, MainFormRight* right) {
    for (int i = 0; i < 3; ++i) {
        CTavolinView* pane = panes[i];
        if (!pane)
            continue;
        // The document has recomputed the pick already; the forms show it at once rather than
        // after its queued change notice.
        QObject::connect(pane, &CTavolinView::picked, left, [left, right] {
            left->refresh();
            right->refresh();
        });
        QObject::connect(pane, &CTavolinView::cursorReadout, right,
                         &MainFormRight::showPointValues);
        QObject::connect(pane, &CTavolinView::cursorLeft, right,
                         &MainFormRight::showStoredPointValues);
    }
}

} // namespace tavolin
