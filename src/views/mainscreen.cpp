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
        QObject::connect(pane, &CTavolinView::picked, left, [pane, left, right](int point) {
            const TestArea* area = pane->document().currentArea();
            if (!area || point < 0 || point > 2)
                return;
            left->showPointVelocity(point, area->pointVelocity[point]);
            left->updateAreaVelocities();
            right->showPointValues(point, area->pointTime[point], area->pointAmplitude[point],
                                   area->pointVelocity[point]);
        });
        QObject::connect(pane, &CTavolinView::cursorReadout, right,
                         &MainFormRight::showPointValues);
    }
    QObject::connect(right, &MainFormRight::areaVelocitiesChanged, left,
                     &CMainForm::updateAreaVelocities);
}

} // namespace tavolin
