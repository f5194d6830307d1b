// The automatic first-arrival commands of the main screen's "波形处理" menu.
#include "app/autopickcommands.h"

#include "app/mainframe.h"
#include "views/shellui.h"

namespace tavolin {

namespace {

void autoPick(CMainFrame& frame, bool member, bool area) {
    CTavolinDoc& doc = frame.doc();
    if (!doc.isOpen()) {
        showMessage(&frame, QStringLiteral("请先打开文件!"));
        return;
    }
    doc.autoPick(member ? doc.currentMember() : -1, area ? doc.currentAreaIndex() : -1);
}

} // namespace

void autoPickAreaCommand(CMainFrame& frame) {
    autoPick(frame, true, true);
}

void autoPickMemberCommand(CMainFrame& frame) {
    autoPick(frame, true, false);
}

void autoPickAllCommand(CMainFrame& frame) {
    autoPick(frame, false, false);
}

} // namespace tavolin
