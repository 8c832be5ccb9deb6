// lxtarget: a plain Win32 program for GUI tests. It draws known texts at known places in its
// window, each through a chosen text-output route, reports the screen rectangle of every word,
// records the key, mouse-button, focus and application messages it receives, and ends on
// WM_CLOSE or after its timeout.
#include "options.h"
#include "report.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lxtarget {
namespace {

constexpr UINT_PTR kTimeoutTimer = 1;
constexpr int kExitBadOptions = 2;
constexpr int kExitTimeout = 3;
constexpr int kButtonPadding = 8; // pixels between a button's edge and its label, each side
constexpr DWORD kSendTimeoutMs = 10000;
constexpr UINT kGbCodePage = 936;
constexpr UINT kMenuExit = 104;
constexpr SIZE kEditSize{240, 28};
constexpr char kClassName[] = "LXTargetWindow";

// The report file. Each line goes out with one write, so a reader never sees half a line.
class Report {
  public:
    ~Report() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    bool open(const std::string& path) {
        file_ = CreateFileA(path.c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        return file_ != INVALID_HANDLE_VALUE;
    }
    void line(std::string text) {
        if (file_ == INVALID_HANDLE_VALUE) return;
        text += '\n';
        DWORD written = 0;
        WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }

  private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

// A text placed in the window, with what it takes to draw and measure it.
struct Placed {
    TextItem item;
    std::wstring wide;         // the text in UTF-16, for the W routes and the controls
    HFONT font = nullptr;      // owned by State
    HWND window = nullptr;     // the main window, or the control that draws the text
    POINT origin{};            // where the text starts, in the main window's client area
    std::vector<INT> advances; // the advance array of the -dx routes: per byte, or per unit
};

struct State {
    Options options;
    HWND window = nullptr;
    HWND edit = nullptr;
    HFONT englishFont = nullptr;
    HFONT gbFont = nullptr;
    std::vector<Placed> placed;
    Report report;
    int exitCode = 0;
};

State state;

std::string number(std::uint64_t value) {
    return std::to_string(value);
}
std::string handle(HWND window) {
    return number(reinterpret_cast<std::uintptr_t>(window));
}

bool isWide(Route route) {
    return route == Route::TextOutW || route == Route::ExtTextOutW ||
           route == Route::ExtTextOutWDx || route == Route::Static || route == Route::Button;
}

bool hasAdvances(Route route) {
    return route == Route::ExtTextOutADx || route == Route::ExtTextOutWDx;
}

bool isControl(Route route) {
    return route == Route::Static || route == Route::Button;
}

bool isLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

std::wstring widen(std::string_view bytes, bool gb) {
    UINT codePage = gb ? kGbCodePage : CP_ACP;
    int length = static_cast<int>(bytes.size());
    if (length == 0) return {};
    int units = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), units);
    return wide;
}

// Words: runs of non-space bytes; in GB text each double-byte character stands alone.
std::vector<std::pair<std::size_t, std::size_t>> wordSpans(const TextItem& item) {
    const std::string& text = item.text;
    auto doubleByteAt = [&](std::size_t i) {
        return item.gb && i + 1 < text.size() && isLeadByte(static_cast<unsigned char>(text[i]));
    };
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
        } else if (doubleByteAt(i)) {
            spans.emplace_back(i, 2);
            i += 2;
        } else {
            std::size_t start = i;
            while (i < text.size() && text[i] != ' ' && !doubleByteAt(i))
                ++i;
            spans.emplace_back(start, i - start);
        }
    }
    return spans;
}

// The number of drawing units (bytes, or UTF-16 units for the W routes) before a byte offset.
std::size_t unitsBefore(const Placed& placed, std::size_t byteOffset) {
    if (!isWide(placed.item.route)) return byteOffset;
    return widen(std::string_view(placed.item.text).substr(0, byteOffset), placed.item.gb).size();
}

SIZE extentOf(HDC dc, const Placed& placed, std::size_t units) {
    SIZE size{};
    int count = static_cast<int>(units);
    if (isWide(placed.item.route))
        GetTextExtentPoint32W(dc, placed.wide.data(), count, &size);
    else
        GetTextExtentPoint32A(dc, placed.item.text.data(), count, &size);
    return size;
}

// Horizontal offset of a byte position from the start of the text, as drawn.
int offsetOf(HDC dc, const Placed& placed, std::size_t byteOffset) {
    std::size_t units = unitsBefore(placed, byteOffset);
    if (placed.advances.empty()) return extentOf(dc, placed, units).cx;
    int offset = 0;
    for (std::size_t i = 0; i < units && i < placed.advances.size(); ++i)
        offset += placed.advances[i];
    return offset;
}

// The drawing units of the character at unit i: 2 for a double-byte character of an A route.
std::size_t characterUnits(const Placed& placed, std::size_t i) {
    const std::string& text = placed.item.text;
    bool doubleByte = !isWide(placed.item.route) && placed.item.gb && i + 1 < text.size() &&
                      isLeadByte(static_cast<unsigned char>(text[i]));
    return doubleByte ? 2 : 1;
}

// The advance array: each character's own width plus the spacing. A double-byte character of
// an A route spans two entries, which together make its advance.
std::vector<INT> advancesFor(HDC dc, const Placed& placed, int spacing) {
    std::size_t units = isWide(placed.item.route) ? placed.wide.size() : placed.item.text.size();
    std::vector<INT> advances(units, 0);
    for (std::size_t i = 0; i < units;) {
        std::size_t step = characterUnits(placed, i);
        int width = extentOf(dc, placed, i + step).cx - extentOf(dc, placed, i).cx;
        advances[i] = step == 2 ? width / 2 : width + spacing;
        if (step == 2) advances[i + 1] = width - width / 2 + spacing;
        i += step;
    }
    return advances;
}

HWND createControl(const Placed& placed, SIZE extent) {
    const TextItem& item = placed.item;
    bool button = item.route == Route::Button;
    int padding = button ? kButtonPadding : 0;
    DWORD style = WS_CHILD | WS_VISIBLE |
                  (button ? static_cast<DWORD>(BS_PUSHBUTTON) : SS_LEFTNOWORDWRAP | SS_NOPREFIX);
    // A static control gets two spare pixels so that rounding never clips its last letter.
    int width = extent.cx + 2 * padding + (button ? 0 : 2);
    HWND control = CreateWindowExW(0, button ? L"BUTTON" : L"STATIC", placed.wide.c_str(), style,
                                   item.x, item.y, width, extent.cy + 2 * padding, state.window,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(placed.font), FALSE);
    return control;
}

Placed place(HDC dc, const TextItem& item) {
    Placed placed;
    placed.item = item;
    placed.wide = widen(item.text, item.gb);
    placed.font = item.gb ? state.gbFont : state.englishFont;
    placed.window = state.window;
    placed.origin = {item.x, item.y};
    HGDIOBJ previous = SelectObject(dc, placed.font);
    if (hasAdvances(item.route)) placed.advances = advancesFor(dc, placed, state.options.spacing);
    if (isControl(item.route)) {
        SIZE extent = extentOf(dc, placed, placed.wide.size());
        placed.window = createControl(placed, extent);
        // The button centres its label; its size leaves kButtonPadding on every side.
        if (item.route == Route::Button) {
            placed.origin.x += kButtonPadding;
            placed.origin.y += kButtonPadding;
        }
    }
    SelectObject(dc, previous);
    return placed;
}

// Draws the text into a memory DC and copies that to the window, as programs that draw off
// screen do.
void drawThroughMemory(HDC dc, const Placed& placed) {
    const std::string& text = placed.item.text;
    SIZE size = extentOf(dc, placed, text.size());
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, size.cx, size.cy);
    HGDIOBJ previousBitmap = SelectObject(memory, bitmap);
    HGDIOBJ previousFont = SelectObject(memory, placed.font);
    RECT all{0, 0, size.cx, size.cy};
    FillRect(memory, &all, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(memory, TRANSPARENT);
    TextOutA(memory, 0, 0, text.data(), static_cast<int>(text.size()));
    BitBlt(dc, placed.origin.x, placed.origin.y, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previousFont);
    SelectObject(memory, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

// The reference point of an aligned text: its right edge or its middle.
int alignedX(HDC dc, const Placed& placed) {
    int width = offsetOf(dc, placed, placed.item.text.size());
    switch (placed.item.align) {
    case Align::Right:
        SetTextAlign(dc, TA_RIGHT);
        return placed.origin.x + width;
    case Align::Centre:
        SetTextAlign(dc, TA_CENTER);
        return placed.origin.x + width / 2;
    case Align::Left:
        break;
    }
    return placed.origin.x;
}

// LXbSetDrawPrompt of the capture library once the hooks have loaded it into this program.
using SetDrawPrompt = int(WINAPI*)(int flag);
SetDrawPrompt drawPromptSwitch() {
    HMODULE library = GetModuleHandleA("lxsys.dll");
    FARPROC entry = library ? GetProcAddress(library, "LXbSetDrawPrompt") : nullptr;
    return reinterpret_cast<SetDrawPrompt>(reinterpret_cast<void (*)()>(entry));
}

// The DC's background as the text asks, for as long as the scope lasts.
class BackgroundScope {
  public:
    BackgroundScope(HDC dc, const TextItem& item)
        : dc_(dc), mode_(GetBkMode(dc)), colour_(GetBkColor(dc)) {
        if (item.transparent) SetBkMode(dc, TRANSPARENT);
        if (item.paper) SetBkColor(dc, *item.paper);
    }
    ~BackgroundScope() {
        SetBkMode(dc_, mode_);
        SetBkColor(dc_, colour_);
    }
    BackgroundScope(const BackgroundScope&) = delete;
    BackgroundScope& operator=(const BackgroundScope&) = delete;

  private:
    HDC dc_;
    int mode_;
    COLORREF colour_;
};

void drawText(HDC dc, const Placed& placed) {
    const std::string& text = placed.item.text;
    const std::wstring& wide = placed.wide;
    SelectObject(dc, placed.font);
    int x = alignedX(dc, placed);
    int y = placed.origin.y;
    int bytes = static_cast<int>(text.size());
    int units = static_cast<int>(wide.size());
    const INT* advances = placed.advances.empty() ? nullptr : placed.advances.data();
    switch (placed.item.route) {
    case Route::TextOutA:
        TextOutA(dc, x, y, text.data(), bytes);
        break;
    case Route::TextOutW:
        TextOutW(dc, x, y, wide.data(), units);
        break;
    case Route::ExtTextOutA:
    case Route::ExtTextOutADx:
        ExtTextOutA(dc, x, y, 0, nullptr, text.data(), static_cast<UINT>(bytes), advances);
        break;
    case Route::ExtTextOutW:
    case Route::ExtTextOutWDx:
        ExtTextOutW(dc, x, y, 0, nullptr, wide.data(), static_cast<UINT>(units), advances);
        break;
    case Route::DrawTextA: {
        RECT rect{x, y, x, y};
        DrawTextA(dc, text.data(), bytes, &rect,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        break;
    }
    case Route::BitBlt:
        drawThroughMemory(dc, placed);
        break;
    case Route::Static:
    case Route::Button:
        break; // the control draws itself
    }
    SetTextAlign(dc, TA_LEFT | TA_TOP);
}

void draw(HDC dc, const Placed& placed) {
    BackgroundScope background(dc, placed.item);
    SetDrawPrompt prompt = placed.item.prompt ? drawPromptSwitch() : nullptr;
    if (prompt) prompt(1);
    drawText(dc, placed);
    if (prompt) prompt(0);
}

void paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HGDIOBJ previous = SelectObject(dc, state.englishFont);
    for (const Placed& placed : state.placed)
        draw(dc, placed);
    SelectObject(dc, previous);
    EndPaint(window, &paint);
}

std::string rectangleFields(POINT clientTopLeft, int width, int height) {
    POINT screen = clientTopLeft;
    ClientToScreen(state.window, &screen);
    return std::to_string(screen.x) + " " + std::to_string(screen.y) + " " +
           std::to_string(screen.x + width) + " " + std::to_string(screen.y + height);
}

void reportText(HDC dc, const Placed& placed) {
    const TextItem& item = placed.item;
    SelectObject(dc, placed.font);
    int width = offsetOf(dc, placed, item.text.size());
    int height = extentOf(dc, placed, unitsBefore(placed, item.text.size())).cy;
    state.report.line(std::string("text ") + routeName(item.route) + " " + handle(placed.window) +
                      " " + rectangleFields(placed.origin, width, height) + " " + toHex(item.text));
    for (auto [start, length] : wordSpans(item)) {
        int left = offsetOf(dc, placed, start);
        int right = offsetOf(dc, placed, start + length);
        POINT topLeft{placed.origin.x + left, placed.origin.y};
        state.report.line("word " + rectangleFields(topLeft, right - left, height) + " " +
                          toHex(std::string_view(item.text).substr(start, length)));
    }
}

// The menu text as the menu bar shows it: a "&" marks the next letter, "&&" shows one "&".
std::string shownMenuText(std::string_view text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

void reportMenu() {
    RECT rect;
    HMENU menu = GetMenu(state.window);
    if (!menu || !GetMenuItemRect(state.window, menu, 0, &rect)) return;
    std::string fields = std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
                         std::to_string(rect.right) + " " + std::to_string(rect.bottom);
    std::string shown = toHex(shownMenuText(state.options.menu));
    state.report.line("text menu " + handle(state.window) + " " + fields + " " + shown);
    state.report.line("word " + fields + " " + shown);
}

void reportLayout() {
    char face[LF_FACESIZE] = {};
    HDC dc = GetDC(state.window);
    HGDIOBJ previous = SelectObject(dc, state.englishFont);
    GetTextFaceA(dc, LF_FACESIZE, face);
    state.report.line("font " + toHex(face));
    state.report.line("window " + handle(state.window));
    for (const Placed& placed : state.placed)
        reportText(dc, placed);
    SelectObject(dc, previous);
    ReleaseDC(state.window, dc);
    reportMenu();
}

bool recordable(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == WM_SETFOCUS ||
           message == WM_KILLFOCUS || (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) ||
           message == WM_COPYDATA || (message >= WM_USER && message <= 0xBFFF);
}

void record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    state.report.line("message " + number(GetTickCount()) + " " + handle(window) + " " +
                      number(message) + " " + number(wParam) + " " +
                      std::to_string(static_cast<long long>(lParam)));
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (recordable(message)) record(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_TIMER:
        if (wParam != kTimeoutTimer) break;
        state.report.line("timeout");
        state.exitCode = kExitTimeout;
        DestroyWindow(window);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kMenuExit) PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_SETFOCUS:
        // The edit control keeps the focus whenever the window is activated again.
        if (state.edit) SetFocus(state.edit);
        return 0;
    case WM_CLOSE:
        if (state.options.ignoreClose) return 0;
        break;
    case WM_COPYDATA:
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(state.exitCode);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HMENU createMenu() {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&New");
    AppendMenuA(file, MF_STRING, 102, "&Open...");
    AppendMenuA(file, MF_STRING, 103, "&Save");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kMenuExit, "E&xit");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), state.options.menu.c_str());
    return bar;
}

HFONT createFont(BYTE charset) {
    LOGFONTA font{};
    font.lfHeight =
        state.options.sizeIsCellHeight ? state.options.fontSize : -state.options.fontSize;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = charset;
    // The default quality: Wine draws non-antialiased text with other advances than it reports.
    font.lfOutPrecision = OUT_TT_PRECIS;
    lstrcpynA(font.lfFaceName, state.options.font.c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

bool createWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return false;
    const RECT& frame = state.options.frame;
    state.window = CreateWindowExA(0, kClassName, state.options.title.c_str(),
                                   WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, frame.left, frame.top,
                                   frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                   createMenu(), windowClass.hInstance, nullptr);
    return state.window != nullptr;
}

// An ANSI edit control, so that the characters typed into it are kept as their bytes.
void createEdit() {
    const POINT& at = *state.options.edit;
    state.edit = CreateWindowExA(
        WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, at.x, at.y,
        kEditSize.cx, kEditSize.cy, state.window, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (state.edit)
        SendMessageA(state.edit, WM_SETFONT, reinterpret_cast<WPARAM>(state.englishFont), FALSE);
}

void placeTexts() {
    HDC dc = GetDC(state.window);
    for (const TextItem& item : state.options.texts)
        state.placed.push_back(place(dc, item));
    ReleaseDC(state.window, dc);
}

void sendMessages() {
    for (const OutgoingMessage& outgoing : state.options.messages) {
        DWORD_PTR result = 0;
        if (outgoing.delivery == Delivery::Post) {
            PostMessageA(outgoing.window, outgoing.message, outgoing.wParam, outgoing.lParam);
        } else if (outgoing.delivery == Delivery::Send) {
            SendMessageTimeoutA(outgoing.window, outgoing.message, outgoing.wParam, outgoing.lParam,
                                SMTO_NORMAL, kSendTimeoutMs, &result);
        } else {
            COPYDATASTRUCT copy{outgoing.copyKind, static_cast<DWORD>(outgoing.copyData.size()),
                                const_cast<char*>(outgoing.copyData.data())};
            SendMessageTimeoutA(
                outgoing.window, WM_COPYDATA, reinterpret_cast<WPARAM>(state.window),
                reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL, kSendTimeoutMs, &result);
        }
    }
}

// Key messages go to whichever window of this thread has the focus; the main window records
// its own messages in its procedure, the loop records those of the controls.
int messageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd != state.window && recordable(message.message))
            record(message.hwnd, message.message, message.wParam, message.lParam);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

int run() {
    if (!state.options.reportPath.empty() && !state.report.open(state.options.reportPath)) {
        std::fprintf(stderr, "lxtarget: cannot write the report %s\n",
                     state.options.reportPath.c_str());
        return kExitBadOptions;
    }
    state.englishFont = createFont(DEFAULT_CHARSET);
    state.gbFont = createFont(GB2312_CHARSET);
    if (!createWindow()) {
        std::fprintf(stderr, "lxtarget: cannot create the window\n");
        return 1;
    }
    placeTexts();
    if (state.options.edit) createEdit();
    ShowWindow(state.window, SW_SHOW);
    UpdateWindow(state.window);
    SetForegroundWindow(state.window);
    SetFocus(state.window);
    reportLayout();
    state.report.line("ready");
    SetTimer(state.window, kTimeoutTimer, state.options.timeoutMs, nullptr);
    sendMessages();
    int exitCode = messageLoop();
    DeleteObject(state.englishFont);
    DeleteObject(state.gbFont);
    return exitCode;
}

} // namespace
} // namespace lxtarget

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string error = lxtarget::parseOptions(arguments, lxtarget::state.options);
    if (!error.empty()) {
        std::fprintf(stderr, "lxtarget: %s (lxtarget --help lists the options)\n", error.c_str());
        return lxtarget::kExitBadOptions;
    }
    if (lxtarget::state.options.help) {
        std::fputs(lxtarget::kUsage, stdout);
        return 0;
    }
    return lxtarget::run();
}
