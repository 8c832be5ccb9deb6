// Converting the texts of a window, its menus and all its child windows from the middle page to
// the current page, so that the program's GB dialogs follow the page the user has chosen.
#include "cpconv.h"

#include <windows.h>

namespace {

// Window and menu texts are read up to this many bytes. A longer text is read cut to this
// length, which the conversion refuses, so a text is never shortened.
constexpr int kTextLimit = 1023;
// Class names are read up to this many bytes.
constexpr int kClassNameLimit = 32;
// The value each window is handed with: the low 16 bits of the flag middle page to current.
constexpr LPARAM kToCurrentValue = CPC_FLAG_TO_CURRENT & 0xFFFF;
// Deeper (or circular) submenus are left as they are.
constexpr int kMenuDepthLimit = 16;

// Items drawn from a bitmap or breaking the menu into columns are left alone.
constexpr UINT kUntouchedItems = MF_BITMAP | MF_MENUBARBREAK | MF_MENUBREAK;
// States a rewritten text item must not keep.
constexpr UINT kDroppedStates = MF_OWNERDRAW | MF_SEPARATOR;
// For an item that opens a submenu, the state's high byte counts the submenu's items.
constexpr UINT kPopupStateBits = 0xFF;

// Each call has buffers of its own, so that a window procedure converting windows while it
// handles WM_SETTEXT, or a second thread, never overwrites a text still in use.
struct TextBuffers {
    char text[kTextLimit + 1];
    char converted[kTextLimit + 1];
};

// Converts buffers.text into buffers.converted; false when there is nothing to convert or the
// conversion refuses the text.
bool convertText(int flag, TextBuffers& buffers) {
    return buffers.text[0] != '\0' &&
           CPC_ConvertDBCSBuffer(flag, buffers.text, 0, buffers.converted, kTextLimit) != 0;
}

// Windows of other processes are theirs to label.
bool belongsToThisProcess(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

// The text of an edit control is the user's and stays as it is.
bool isEditControl(HWND window) {
    char className[kClassNameLimit + 1];
    return GetClassNameA(window, className, sizeof className) > 0 &&
           lstrcmpiA(className, "Edit") == 0;
}

UINT rewrittenState(UINT state, HMENU submenu) {
    if (submenu) return ((state & kPopupStateBits) & ~kDroppedStates) | MF_POPUP;
    return state & ~kDroppedStates;
}

void convertItemText(HMENU menu, int position, HMENU submenu) {
    UINT state = GetMenuState(menu, position, MF_BYPOSITION);
    if (state == static_cast<UINT>(-1) || (state & kUntouchedItems)) return;
    TextBuffers buffers;
    if (GetMenuStringA(menu, position, buffers.text, sizeof buffers.text, MF_BYPOSITION) <= 0 ||
        !convertText(CPC_FLAG_TO_CURRENT, buffers))
        return;
    UINT_PTR item = submenu ? reinterpret_cast<UINT_PTR>(submenu) : GetMenuItemID(menu, position);
    ModifyMenuA(menu, position, MF_BYPOSITION | MF_STRING | rewrittenState(state, submenu), item,
                buffers.converted);
}

// Converts every item of the menu, the items of its submenus first.
void convertMenu(HMENU menu, int depth) {
    if (!menu || depth > kMenuDepthLimit || !IsMenu(menu)) return;
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        HMENU submenu = GetSubMenu(menu, position);
        convertMenu(submenu, depth + 1);
        convertItemText(menu, position, submenu);
    }
}

// A child window's menu handle is its identifier, not a menu.
HMENU menuBarOf(HWND window) {
    return (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) ? nullptr : GetMenu(window);
}

} // namespace

extern "C" {

BOOL WINAPI TS_EnumChildProc(HWND window, LPARAM value) {
    if (!IsWindow(window) || !belongsToThisProcess(window) || isEditControl(window)) return TRUE;
    TextBuffers buffers;
    int flag = static_cast<int16_t>(value & 0xFFFF);
    if (GetWindowTextA(window, buffers.text, sizeof buffers.text) > 0 && convertText(flag, buffers))
        SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(buffers.converted));
    return TRUE;
}

int WINAPI CPC_ConvertWindow(HWND window) {
    if (!window || !IsWindow(window) || !belongsToThisProcess(window)) return 0;
    convertMenu(GetSystemMenu(window, FALSE), 0);
    convertMenu(menuBarOf(window), 0);
    DrawMenuBar(window);
    TS_EnumChildProc(window, kToCurrentValue);
    EnumChildWindows(window, TS_EnumChildProc, kToCurrentValue);
    return 1;
}

} // extern "C"
