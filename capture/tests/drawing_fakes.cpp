#include "drawing_fakes.h"
#include "internal.h"
#include "textout.h"

CaptureShared& switches() {
    static CaptureShared record{};
    return record;
}

std::vector<SystemText>& systemTexts() {
    static std::vector<SystemText> texts;
    return texts;
}

namespace lxsys {

CaptureShared* shared() {
    return &switches();
}

BOOL callTextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    systemTexts().push_back({std::string(text, static_cast<size_t>(length)), x, y, false});
    return TextOutA(dc, x, y, text, length);
}

BOOL callExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                     const INT* dx) {
    if (length > 0) systemTexts().push_back({std::string(text, length), x, y, dx != nullptr});
    return ExtTextOutA(dc, x, y, options, rect, text, length, dx);
}

BOOL callGetTextExtentPointA(HDC dc, LPCSTR text, int length, LPSIZE size) {
    return GetTextExtentPointA(dc, text, length, size);
}

BOOL callGetCharWidthA(HDC dc, UINT first, UINT last, LPINT widths) {
    return GetCharWidthA(dc, first, last, widths);
}

} // namespace lxsys
