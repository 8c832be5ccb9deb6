#include "statusline.h"

#include "framework.h"

#include <commctrl.h>

namespace lexora {

bool TStatusLine::create(HWND parent, UINT id) {
    line_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                            0, 0, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                            programInstance(), nullptr);
    return line_ != nullptr;
}

int TStatusLine::height() const {
    RECT rect{};
    if (line_) GetWindowRect(line_, &rect);
    return rect.bottom - rect.top;
}

void TStatusLine::layout() {
    if (line_) SendMessageA(line_, WM_SIZE, 0, 0);
}

void TStatusLine::setText(const char* text) {
    if (line_) SendMessageA(line_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

} // namespace lexora
