// Converting a window's texts, its menus and its child windows to the current page.
#include "cpconv.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace {

const std::string kGb = "\xd6\xd0\xce\xc4";   // 中文 in GB
const std::string kBig5 = "\xa4\xa4\xa4\xe5"; // 中文 in BIG5

constexpr UINT kOpenId = 101;
constexpr UINT kExitId = 103;
constexpr UINT kViewId = 200;
constexpr UINT kSystemItemId = 0x0110;

std::string windowText(HWND window) {
    char text[256];
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

std::string fullText(HWND window) {
    std::string text(GetWindowTextLengthA(window) + 1, '\0');
    text.resize(GetWindowTextA(window, text.data(), static_cast<int>(text.size())));
    return text;
}

// pair repeated and cut to size bytes.
std::string repeated(const std::string& pair, size_t size) {
    std::string text;
    while (text.size() < size)
        text += pair;
    return text.substr(0, size);
}

std::string menuText(HMENU menu, int position) {
    char text[256];
    int length = GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return std::string(text, length > 0 ? length : 0);
}

UINT menuType(HMENU menu, int position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    return info.fType;
}

HWND createChild(const char* className, const std::string& text, HWND parent) {
    return CreateWindowExA(0, className, text.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, parent,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

const char* windowClass() {
    static const char* name = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "LexoraConvertTest";
        RegisterClassA(&windowClass);
        return windowClass.lpszClassName;
    }();
    return name;
}

// A window labelled in GB: caption, menu bar, system menu item, a label, an edit field, and a
// button inside a panel.
//   menu bar:  0 "中文 File" -> 0 "中文 Open", 1 separator, 2 "中文 Recent" -> 2 items, 3 "Exit"
//              1 "中文" (grayed command)
struct LabelledWindow {
    LabelledWindow() {
        recent = CreatePopupMenu();
        AppendMenuA(recent, MF_STRING, 301, (kGb + " 1").c_str());
        AppendMenuA(recent, MF_STRING, 302, (kGb + " 2").c_str());
        file = CreatePopupMenu();
        AppendMenuA(file, MF_STRING, kOpenId, (kGb + " Open").c_str());
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), (kGb + " Recent").c_str());
        AppendMenuA(file, MF_STRING, kExitId, "Exit");
        bar = CreateMenu();
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), (kGb + " File").c_str());
        AppendMenuA(bar, MF_STRING | MF_GRAYED, kViewId, kGb.c_str());
        window = CreateWindowExA(0, windowClass(), (kGb + " LEXORA").c_str(), WS_OVERLAPPEDWINDOW,
                                 0, 0, 400, 300, nullptr, bar, GetModuleHandleA(nullptr), nullptr);
        AppendMenuA(GetSystemMenu(window, FALSE), MF_STRING, kSystemItemId, kGb.c_str());
        label = createChild("STATIC", kGb + ":", window);
        edit = createChild("EDIT", kGb, window);
        panel = createChild("STATIC", "", window);
        button = createChild("BUTTON", kGb + " OK", panel);
    }
    ~LabelledWindow() {
        if (IsWindow(window)) DestroyWindow(window);
    }
    LabelledWindow(const LabelledWindow&) = delete;
    LabelledWindow& operator=(const LabelledWindow&) = delete;

    int systemItemPosition() const {
        HMENU system = GetSystemMenu(window, FALSE);
        return GetMenuItemCount(system) - 1;
    }

    HMENU bar, file, recent;
    HWND window, label, edit, panel, button;
};

// Makes a page current for the time of a test; GB is current again afterwards.
class CurrentPage {
  public:
    explicit CurrentPage(int page) { CPC_SetCodePage(page); }
    ~CurrentPage() { CPC_SetCodePage(CPC_PAGE_GB); }
};

// The window's texts: caption, label, button, edit field, the system menu item, the menu bar's
// items, then the items of File and of Recent that have text.
std::vector<std::string> texts(const LabelledWindow& w) {
    return {windowText(w.window),
            windowText(w.label),
            windowText(w.button),
            windowText(w.edit),
            menuText(GetSystemMenu(w.window, FALSE), w.systemItemPosition()),
            menuText(w.bar, 0),
            menuText(w.bar, 1),
            menuText(w.file, 0),
            menuText(w.file, 2),
            menuText(w.file, 3),
            menuText(w.recent, 0),
            menuText(w.recent, 1)};
}

// The texts with their Chinese in the given page; the edit field keeps the user's GB text.
std::vector<std::string> textsIn(const std::string& chinese) {
    return {chinese + " LEXORA",
            chinese + ":",
            chinese + " OK",
            kGb,
            chinese,
            chinese + " File",
            chinese,
            chinese + " Open",
            chinese + " Recent",
            "Exit",
            chinese + " 1",
            chinese + " 2"};
}

// Identifiers, states, separators and submenus are as they were. A submenu item's state reports
// the count of the submenu's items in its high byte, which must not become a style of the item.
void expectMenusIntact(const LabelledWindow& w) {
    EXPECT_EQ(GetMenuItemID(GetSystemMenu(w.window, FALSE), w.systemItemPosition()), kSystemItemId);
    EXPECT_EQ(GetMenuItemID(w.bar, 1), kViewId);
    EXPECT_TRUE(GetMenuState(w.bar, 1, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_EQ(GetMenuItemID(w.file, 0), kOpenId);
    EXPECT_TRUE(GetMenuState(w.file, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(w.file, 3), kExitId);
    EXPECT_EQ(GetSubMenu(w.bar, 0), w.file);
    EXPECT_EQ(GetSubMenu(w.file, 2), w.recent);
    EXPECT_EQ(GetMenuItemCount(w.recent), 2);
    EXPECT_EQ(menuType(w.bar, 0), static_cast<UINT>(MFT_STRING));
    EXPECT_EQ(menuType(w.file, 2), static_cast<UINT>(MFT_STRING));
}

TEST(ConvertWindow, Big5CurrentConvertsEveryLabelButTheEditText) {
    CurrentPage big5(CPC_PAGE_BIG5);
    LabelledWindow w;
    ASSERT_TRUE(IsWindow(w.window) && IsWindow(w.button) && IsWindow(w.edit));
    ASSERT_EQ(texts(w), textsIn(kGb));
    ASSERT_EQ(CPC_ConvertWindow(w.window), 1);
    EXPECT_EQ(texts(w), textsIn(kBig5));
    expectMenusIntact(w);
}

TEST(ConvertWindow, GbCurrentChangesNothing) {
    CurrentPage gb(CPC_PAGE_GB);
    LabelledWindow w;
    ASSERT_EQ(CPC_ConvertWindow(w.window), 1);
    EXPECT_EQ(texts(w), textsIn(kGb));
    expectMenusIntact(w);
}

// A text longer than the 1023 bytes that are read is left as it is rather than cut short; one
// that fits is converted whole.
TEST(ConvertWindow, LongTextsAreConvertedWholeOrNotAtAll) {
    CurrentPage big5(CPC_PAGE_BIG5);
    LabelledWindow w;
    SetWindowTextA(w.label, repeated(kGb, 1100).c_str());
    SetWindowTextA(w.button, repeated(kGb, 1022).c_str());
    ASSERT_EQ(CPC_ConvertWindow(w.window), 1);
    EXPECT_EQ(fullText(w.label), repeated(kGb, 1100));
    EXPECT_EQ(fullText(w.button), repeated(kBig5, 1022));
}

TEST(ConvertWindow, RefusesWindowsItCannotConvert) {
    EXPECT_EQ(CPC_ConvertWindow(nullptr), 0);
    EXPECT_EQ(CPC_ConvertWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7ffe1234))), 0);
    HWND destroyed;
    {
        LabelledWindow w;
        destroyed = w.window;
    }
    EXPECT_EQ(CPC_ConvertWindow(destroyed), 0);
    EXPECT_EQ(TS_EnumChildProc(destroyed, 0xFFFD), TRUE);
    EXPECT_EQ(TS_EnumChildProc(nullptr, 0xFFFD), TRUE);

    // The desktop belongs to another process, which labels its own windows.
    DWORD desktopProcess = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &desktopProcess);
    if (desktopProcess != GetCurrentProcessId()) {
        EXPECT_EQ(CPC_ConvertWindow(GetDesktopWindow()), 0);
    }
}

// The callback converts one window with the flag it is handed, not its children.
TEST(ConvertWindow, EnumChildProcConvertsOneWindowWithTheGivenFlag) {
    LabelledWindow w;
    EXPECT_EQ(TS_EnumChildProc(w.panel, CPC_FLAG_GB_TO_BIG5), TRUE);
    EXPECT_EQ(windowText(w.button), kGb + " OK");
    EXPECT_EQ(TS_EnumChildProc(w.button, 0x10000 | CPC_FLAG_GB_TO_BIG5), TRUE);
    EXPECT_EQ(windowText(w.button), kBig5 + " OK");
    EXPECT_EQ(TS_EnumChildProc(w.edit, CPC_FLAG_GB_TO_BIG5), TRUE);
    EXPECT_EQ(windowText(w.edit), kGb);
}

} // namespace
