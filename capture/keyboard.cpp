// The keyboard hook and its hot keys, and the small exports around the keyboard and the
// interface language.
#include "internal.h"

namespace lxsys {

namespace {

enum Modifier { kShift = 1, kCtrl = 2, kAlt = 4 };

struct HotKey {
    unsigned virtualKey;
    unsigned modifiers;
    WPARAM id;
};

constexpr HotKey kHotKeys[] = {
    {VK_F11, kCtrl, 1}, {VK_F12, kCtrl, 2},       {VK_F11, kAlt, 3},
    {VK_F12, kAlt, 4},  {VK_F9, kCtrl | kAlt, 5},
};

constexpr uint32_t kReleased = 1u << 31;
constexpr uint32_t kAltHeld = 1u << 29;

// Per process: the modifiers as this process's hook has seen them, and what the application
// stores for itself.
bool ctrlDown;
bool shiftDown;
int keyboardHookFlag;
int chineseInterfaceCount;

void postHotKey(WPARAM id) {
    if (HWND window = liveWindow(hotKeys()->hotKeyWindow)) PostMessageA(window, LX_HOTKEY, id, 0);
}

// One key event seen while the hot keys are switched on. A hot key fires when its key is
// released, so auto-repeated presses never fire it.
void keyEvent(unsigned virtualKey, uint32_t flags) {
    bool down = (flags & kReleased) == 0;
    if (virtualKey == VK_CONTROL) {
        ctrlDown = down;
        return;
    }
    if (virtualKey == VK_SHIFT) {
        shiftDown = down;
        return;
    }
    if (down) return;
    unsigned modifiers =
        (shiftDown ? kShift : 0) | (ctrlDown ? kCtrl : 0) | ((flags & kAltHeld) ? kAlt : 0);
    for (const HotKey& hotKey : kHotKeys)
        if (hotKey.virtualKey == virtualKey && hotKey.modifiers == modifiers) postHotKey(hotKey.id);
}

} // namespace

} // namespace lxsys

using namespace lxsys;

extern "C" {

// Only events taken off the queue count: a program that peeks at a key without removing it
// would otherwise show the hook the same release twice.
LRESULT CALLBACK LXbKeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    CaptureShared* record = shared();
    HotKeyShared* keys = hotKeys();
    if (!record || !keys) return CallNextHookEx(nullptr, code, wParam, lParam);
    if (code == HC_ACTION && keys->hotKeySwitch)
        keyEvent(static_cast<unsigned>(wParam), static_cast<uint32_t>(lParam));
    return CallNextHookEx(handleFrom<HHOOK>(record->keyboardHook), code, wParam, lParam);
}

int WINAPI LXbSwitchHotKey(int flag) {
    int previous = hotKeys()->hotKeySwitch;
    hotKeys()->hotKeySwitch = flag;
    return previous;
}

// A registration whose window is gone (its program ended) gives way to the new one.
HWND WINAPI LXbSetHookKBDWin(HWND window) {
    HotKeyShared& keys = *hotKeys();
    if (!liveWindow(keys.hotKeyWindow)) keys.hotKeyWindow = handleField(window);
    return handleFrom<HWND>(keys.hotKeyWindow);
}

int WINAPI LXbActiveKBDHook(int flag) {
    keyboardHookFlag = flag;
    return flag;
}

HWND WINAPI LXbGetKbdFocusWin(void) {
    return nullptr;
}

int WINAPI LXbToChinese(void) {
    ++chineseInterfaceCount;
    return 1;
}

int WINAPI LXbToEnglish(void) {
    --chineseInterfaceCount;
    return 1;
}

} // extern "C"
