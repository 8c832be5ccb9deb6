// The hook owner, focus tracking through the call-window-procedure hook, and the mouse hook
// that arms a capture when the pointer comes to rest.
#include "internal.h"

namespace lxsys {

namespace {

// Per process: the owner registered by LXbHookAll and the hooks it installed, and the mouse
// forwarding the application may set.
HWND hookOwnerWindow;
HHOOK keyboardHook;
HHOOK callWndHook;
int mouseForwarding;
HWND mouseForwardWindow;

bool keyDown(int virtualKey) {
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// A pointer move seen in any process: remembers where the pointer is and, unless it is still on
// the word last captured, starts a new wait for it to rest there.
void pointerMoved(CaptureShared& record, POINT p) {
    uint32_t window = handleField(WindowFromPoint(p));
    bool moved = p.x != record.cursorX || p.y != record.cursorY;
    record.cursorX = p.x;
    record.cursorY = p.y;
    record.armed = 0;
    if (window != record.targetWindow && !moved) return;
    CaptureRect word = record.wordRect;
    if (window == record.targetWindow && contains(word, p.x, p.y)) return;
    record.wordRect = {p.x, p.y, p.x, p.y};
    if (record.auxiliaryKey && !keyDown(record.auxiliaryKey)) return;
    if (!keyDown(VK_LBUTTON) && !keyDown(VK_RBUTTON)) record.armed = 1;
    record.targetWindow = window;
    if (HWND notify = liveWindow(record.notifyWindow))
        SendMessageA(notify, SN_NOTIFY, SN_POINTER_MOVED, 0);
    if (HWND bridge = liveWindow(record.bridgeWindow))
        SendMessageA(bridge, SN_BRIDGE_RESTART_TIMER, 0, 0);
}

// Clears a hook field of the shared record that still names the given hook.
void forgetHook(uint32_t CaptureShared::*field, HHOOK hook) {
    CaptureShared& record = *shared();
    if (record.*field == handleField(hook)) record.*field = 0;
}

} // namespace

} // namespace lxsys

using namespace lxsys;

extern "C" {

LRESULT CALLBACK LXbMouseProc(int code, WPARAM wParam, LPARAM lParam) {
    CaptureShared* record = shared();
    if (!record) return CallNextHookEx(nullptr, code, wParam, lParam);
    if (code >= 0 && lParam && record->captureEnabled &&
        (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE))
        pointerMoved(*record, reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->pt);
    return CallNextHookEx(handleFrom<HHOOK>(record->mouseHook), code, wParam, lParam);
}

LRESULT CALLBACK LXbCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    CaptureShared* record = shared();
    if (!record) return 0;
    if (code >= 0 && code != HC_NOREMOVE && lParam) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == WM_SETFOCUS && call->hwnd != hookOwnerWindow)
            record->focusWindow = handleField(call->hwnd);
    }
    return CallNextHookEx(handleFrom<HHOOK>(record->callWndHook), code, wParam, lParam);
}

// A second hook left behind without an owner could never be removed, so a failure removes the
// first one again.
int WINAPI LXbHookAll(HWND owner) {
    if (!owner || hookOwnerWindow) return 0;
    HHOOK keyboard = SetWindowsHookExA(WH_KEYBOARD, LXbKeyboardProc, thisModule(), 0);
    if (!keyboard) return 0;
    HHOOK callWnd = SetWindowsHookExA(WH_CALLWNDPROC, LXbCallWndProc, thisModule(), 0);
    if (!callWnd) {
        UnhookWindowsHookEx(keyboard);
        return 0;
    }
    CaptureShared& record = *shared();
    record.keyboardHook = handleField(keyboard);
    record.callWndHook = handleField(callWnd);
    keyboardHook = keyboard;
    callWndHook = callWnd;
    hookOwnerWindow = owner;
    mouseForwarding = 0;
    return 1;
}

int WINAPI LXbUnhookAll(HWND owner) {
    if (!owner || owner != hookOwnerWindow) return 0;
    if (callWndHook) UnhookWindowsHookEx(callWndHook);
    forgetHook(&CaptureShared::callWndHook, callWndHook);
    callWndHook = nullptr;
    if (!UnhookWindowsHookEx(keyboardHook)) return 0;
    forgetHook(&CaptureShared::keyboardHook, keyboardHook);
    keyboardHook = nullptr;
    hookOwnerWindow = nullptr;
    return 1;
}

HWND WINAPI LXbGetFocus(void) {
    return handleFrom<HWND>(shared()->focusWindow);
}

int WINAPI LXbCanExit(void) {
    return textPatchesCarryJumps() ? 1 : 0;
}

int WINAPI LXbActiveHook(int flag) {
    mouseForwarding = flag;
    return flag;
}

HWND WINAPI LXbSetHookMouseWin(HWND window) {
    if (!mouseForwardWindow) mouseForwardWindow = window;
    return mouseForwardWindow;
}

} // extern "C"
