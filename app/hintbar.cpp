#include "core/settings.h"
#include "core/text.h"
#include "prompt.h"

#include <lxsys.h>

#include <algorithm>

namespace lexora {

namespace {

constexpr char kHintClassName[] = "LxHintMessageBar";
constexpr UINT_PTR kHintTimer = 1;
constexpr UINT kHintPeriodMs = 100;
constexpr int kShowAtTick = 2;
constexpr int kHideAtTick = 80;
constexpr int kPointerGap = 22;
constexpr int kScreenEdgeGap = 2;
constexpr int kTextCapacity = 100; // 99 bytes and the NUL
constexpr SIZE kMargins = {14, 10};
constexpr int kCornerDiameter = 18;
constexpr int kTextIndent = 9;
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

bool anyMouseButtonDown() {
    return (GetAsyncKeyState(VK_LBUTTON) | GetAsyncKeyState(VK_RBUTTON) |
            GetAsyncKeyState(VK_MBUTTON)) &
           0x8000;
}

} // namespace

struct LXHintMesBar::Impl {
    explicit Impl(LXHintMesBar& owner) : window(owner) {}

    SIZE textExtent() const;
    SIZE takeText(const char* newText);
    void tick();
    void show();
    void paint();

    LXHintMesBar& window;
    HFONT font = nullptr;
    char text[kTextCapacity] = "";
    RECT gadget{};
    int count = 0;
};

// Without "Warp Prompt" the note is a rounded box in the default font with room around the text;
// with it, a plain box just large enough for the text in the small font.
SIZE LXHintMesBar::Impl::textExtent() const {
    HDC dc = GetDC(window.handle());
    HGDIOBJ previous = settings.warpPrompt ? SelectObject(dc, font) : nullptr;
    SIZE extent{};
    GetTextExtentPointA(dc, text, static_cast<int>(lstrlenA(text)), &extent);
    if (previous) SelectObject(dc, previous);
    ReleaseDC(window.handle(), dc);
    if (!settings.warpPrompt) {
        extent.cx += kMargins.cx;
        extent.cy += kMargins.cy;
    }
    return {extent.cx + 2, extent.cy + 2};
}

// The note takes the text and is shaped to it, hidden; its size.
SIZE LXHintMesBar::Impl::takeText(const char* newText) {
    copyWholeCharacters(newText ? newText : "", text, sizeof text);
    SetWindowTextA(window.handle(), text); // for whoever reads the screen
    SIZE size = textExtent();
    // The rounded note lets what lies beyond its corners show through.
    HRGN shape = settings.warpPrompt ? nullptr
                                     : CreateRoundRectRgn(0, 0, size.cx + 1, size.cy + 1,
                                                          kCornerDiameter, kCornerDiameter);
    SetWindowRgn(window.handle(), shape, FALSE);
    InvalidateRect(window.handle(), nullptr, TRUE);
    return size;
}

// The pointer must stay on the gadget with no button down: the note shows on the second tick
// and goes after eight seconds; anything else ends it at once.
void LXHintMesBar::Impl::tick() {
    POINT pointer{};
    GetCursorPos(&pointer);
    if (anyMouseButtonDown() || !PtInRect(&gadget, pointer)) {
        window.hideHint();
        return;
    }
    ++count;
    if (count >= kHideAtTick)
        window.hideHint();
    else if (count == kShowAtTick)
        show();
}

// Below the pointer, kept on the screen: left of the right edge, above the gadget at the bottom.
void LXHintMesBar::Impl::show() {
    POINT pointer{};
    GetCursorPos(&pointer);
    RECT own{};
    GetWindowRect(window.handle(), &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int x = std::min(static_cast<int>(pointer.x),
                     GetSystemMetrics(SM_CXSCREEN) - width - kScreenEdgeGap);
    int y = pointer.y + kPointerGap;
    if (y + height > GetSystemMetrics(SM_CYSCREEN))
        y = std::max(0, static_cast<int>(gadget.top) - height);
    SetWindowPos(window.handle(), HWND_TOPMOST, std::max(x, 0), y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void LXHintMesBar::Impl::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window.handle(), &ps);
    RECT client{};
    GetClientRect(window.handle(), &client);
    HBRUSH yellow = CreateSolidBrush(kYellow);
    HGDIOBJ oldBrush = SelectObject(dc, yellow);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldFont = settings.warpPrompt ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kBlack);
    LXbSetDrawPrompt(1);
    if (settings.warpPrompt) {
        Rectangle(dc, client.left, client.top, client.right, client.bottom);
        RECT inner = client;
        InflateRect(&inner, -1, -1);
        DrawTextA(dc, text, -1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    } else {
        RoundRect(dc, client.left, client.top, client.right, client.bottom, kCornerDiameter,
                  kCornerDiameter);
        RECT inner = client;
        inner.left += kTextIndent;
        DrawTextA(dc, text, -1, &inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    LXbSetDrawPrompt(0);
    if (oldFont) SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(yellow);
    EndPaint(window.handle(), &ps);
}

LXHintMesBar::LXHintMesBar() : impl_(std::make_unique<Impl>(*this)) {}

LXHintMesBar::~LXHintMesBar() {
    if (handle()) DestroyWindow(handle());
    if (impl_->font) DeleteObject(impl_->font);
}

bool LXHintMesBar::createHint() {
    if (handle()) return true;
    WNDCLASSEXA windowClass{};
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kHintClassName;
    if (!registerClass(windowClass)) return false;
    if (!impl_->font)
        impl_->font = CreateFontA(-9, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
    return create(kHintClassName, "", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, 0, 0, 0, 0,
                  nullptr, nullptr) != nullptr;
}

void LXHintMesBar::prepare(const char* text, const RECT& gadgetScreenRect) {
    if (!handle() || EqualRect(&impl_->gadget, &gadgetScreenRect)) return;
    hideHint();
    impl_->gadget = gadgetScreenRect;
    SIZE size = impl_->takeText(text);
    POINT pointer{};
    GetCursorPos(&pointer);
    SetWindowPos(handle(), HWND_TOPMOST, pointer.x, pointer.y + kPointerGap, size.cx, size.cy,
                 SWP_NOACTIVATE);
    SetTimer(handle(), kHintTimer, kHintPeriodMs, nullptr);
}

void LXHintMesBar::showBeside(const char* text, const RECT& buttonScreenRect) {
    if (!handle()) return;
    hideHint();
    SIZE size = impl_->takeText(text);
    int x = std::min(static_cast<int>(buttonScreenRect.left),
                     GetSystemMetrics(SM_CXSCREEN) - static_cast<int>(size.cx) - kScreenEdgeGap);
    SetWindowPos(handle(), HWND_TOPMOST, std::max(x, 0), buttonScreenRect.bottom + kScreenEdgeGap,
                 size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void LXHintMesBar::hideHint() {
    if (!handle()) return;
    ShowWindow(handle(), SW_HIDE);
    KillTimer(handle(), kHintTimer);
    impl_->count = 0;
    SetRectEmpty(&impl_->gadget);
}

LRESULT LXHintMesBar::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam != kHintTimer) break;
        impl_->tick();
        return 0;
    case WM_PAINT:
        impl_->paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the painting covers the whole window
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        break;
    }
    return TWindow::handleMessage(message, wParam, lParam);
}

} // namespace lexora
