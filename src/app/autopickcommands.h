// Handlers of "自动判读当前测区", "自动判读当前构件" and "自动判读全部" (menu "波形处理").
#pragma once

namespace tavolin {

class CMainFrame;

// Each is one edit of the document. The area command asks for the current area's points again,
// hand picks included; the member and job commands keep hand picks.
void autoPickAreaCommand(CMainFrame& frame);
void autoPickMemberCommand(CMainFrame& frame);
void autoPickAllCommand(CMainFrame& frame);

} // namespace tavolin
