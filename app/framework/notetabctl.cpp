#include "notetabctl.h"

#include <commctrl.h>

namespace lexora {

bool TNoteTab::attachControl(HWND control) {
    if (!attach(control)) return false;
    LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    if (!(style & TCS_BOTTOM)) {
        SetWindowLongPtrA(control, GWL_STYLE, style | TCS_BOTTOM);
        SetWindowPos(control, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    return true;
}

bool TNoteTab::create(HWND parent, UINT id, const RECT& rect) {
    HWND control = CreateWindowExA(
        0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TCS_BOTTOM, rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, parent,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), programInstance(), nullptr);
    return control && attach(control);
}

int TNoteTab::add(const char* label) {
    if (!handle()) return -1;
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(label);
    return static_cast<int>(
        SendMessageA(handle(), TCM_INSERTITEMA, count(), reinterpret_cast<LPARAM>(&item)));
}

int TNoteTab::count() const {
    return handle() ? static_cast<int>(SendMessageA(handle(), TCM_GETITEMCOUNT, 0, 0)) : 0;
}

int TNoteTab::selected() const {
    return handle() ? static_cast<int>(SendMessageA(handle(), TCM_GETCURSEL, 0, 0)) : -1;
}

void TNoteTab::select(int index) {
    if (handle()) SendMessageA(handle(), TCM_SETCURSEL, index, 0);
}

} // namespace lexora
