// The frame and the brief description dialog inside the test program, with the program's own
// resources: menus by face, command states, the tool bar, menu hints, the note tab.
#include "core/messages.h"
#include "core/settings.h"
#include "frame.h"
#include "gui.h"
#include "notetab.h"

#include <cpconv.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace lexora {
namespace {

using testsupport::waitUntil;

// "文件(&F)", the Chinese face's first menu, and "结果区", the fourth tab, in BIG5.
constexpr char kChineseFileMenu[] = "\xCE\xC4\xBC\xFE(&F)";
constexpr char kResultTabBig5[] = "\xB5\xB2\xAA\x47\xB0\xCF";

std::string menuText(HMENU menu, int position) {
    char text[128] = "";
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

HWND childOfClass(HWND parent, const char* className) {
    return FindWindowExA(parent, nullptr, className, nullptr);
}

std::string statusText(HWND frame) {
    char text[512] = "";
    SendMessageA(childOfClass(frame, STATUSCLASSNAMEA), SB_GETTEXTA, 0,
                 reinterpret_cast<LPARAM>(text));
    return text;
}

class FrameTest : public testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        CPC_SetCodePage(CPC_PAGE_GB);
        settings.faceStyle = 1;
        ASSERT_TRUE(frame_.create(SW_SHOW));
    }
    void TearDown() override { settings.faceStyle = 1; }

    TMyFrame frame_;
};

TEST_F(FrameTest, IsTheProgramsClassAndTakesTheMenuOfTheFace) {
    char name[64] = "";
    GetClassNameA(frame_.handle(), name, sizeof name);
    EXPECT_STREQ(name, "LEXORACLASS32");
    EXPECT_EQ(menuText(GetMenu(frame_.handle()), 0), kChineseFileMenu);
    ASSERT_TRUE(frame_.setFaceMenu(0));
    EXPECT_EQ(menuText(GetMenu(frame_.handle()), 0), "&File");
}

TEST_F(FrameTest, TheCurrentCodePageIsCheckedAndCannotBeChosenAgain) {
    HMENU pages = GetSubMenu(GetSubMenu(GetMenu(frame_.handle()), 0), 0);
    ASSERT_NE(pages, nullptr);
    SendMessageA(frame_.handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(pages), 0);
    UINT gb = GetMenuState(pages, 103, MF_BYCOMMAND);
    UINT big5 = GetMenuState(pages, 104, MF_BYCOMMAND);
    EXPECT_TRUE((gb & MF_CHECKED) && (gb & MF_GRAYED));
    EXPECT_FALSE((big5 & MF_CHECKED) || (big5 & MF_GRAYED));
}

TEST_F(FrameTest, ToolBarHoldsTheCommandsInOrderWithAWideSeparatorBeforeAbout) {
    HWND bar = childOfClass(frame_.handle(), TOOLBARCLASSNAMEA);
    ASSERT_NE(bar, nullptr);
    const std::vector<int> expected = {160, 140, 101, 109, 0,   120, 121, 0,
                                       122, 123, 0,   102, 107, 144, 0,   163};
    ASSERT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), static_cast<LRESULT>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        TBBUTTON button{};
        SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.idCommand, expected[i]) << "button " << i;
    }
    TBBUTTON wide{};
    SendMessageA(bar, TB_GETBUTTON, 14, reinterpret_cast<LPARAM>(&wide));
    EXPECT_EQ(wide.iBitmap, 30);
    // The toggle shows its command's state on the periodic refresh.
    for (int on = 0; on <= 1; ++on) {
        settings.catchWord = on;
        for (int tick = 0; tick < 4; ++tick)
            SendMessageA(frame_.handle(), WM_TIMER, 1, 0);
        EXPECT_EQ(SendMessageA(bar, TB_ISBUTTONCHECKED, 101, 0) != 0, on == 1);
    }
}

// A highlighted item is explained in the status line; one with a button gets the button's hint,
// which is English 4000 above the command in the English face.
TEST_F(FrameTest, MenuItemsAreExplainedInTheStatusLine) {
    HMENU menu = GetMenu(frame_.handle());
    SendMessageA(frame_.handle(), WM_MENUSELECT, MAKEWPARAM(122, MF_STRING),
                 reinterpret_cast<LPARAM>(menu));
    char expected[512];
    loadPageString(122, expected, sizeof expected);
    EXPECT_STRNE(expected, "");
    EXPECT_EQ(statusText(frame_.handle()), expected);

    // The button's own hint goes to the hint window beside the button, not the status line.
    settings.faceStyle = 0;
    SendMessageA(frame_.handle(), WM_MENUSELECT, MAKEWPARAM(101, MF_STRING),
                 reinterpret_cast<LPARAM>(menu));
    loadPageString(101, expected, sizeof expected);
    EXPECT_EQ(statusText(frame_.handle()), expected);
    HWND hint = FindWindowA("LxHintMessageBar", nullptr);
    char hintText[128] = "";
    GetWindowTextA(hint, hintText, sizeof hintText);
    EXPECT_STREQ(hintText, "Switch for mouse catching words");
    EXPECT_TRUE(IsWindowVisible(hint));
    SendMessageA(frame_.handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(statusText(frame_.handle()), "");
    EXPECT_FALSE(IsWindowVisible(hint));
}

TEST_F(FrameTest, AHoverTextHoldsTheStatusLineForFortyTicks) {
    frame_.showHoverText("hover");
    for (int tick = 0; tick < 99; ++tick)
        SendMessageA(frame_.handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(statusText(frame_.handle()), "hover");
    SendMessageA(frame_.handle(), WM_TIMER, 1, 0);
    EXPECT_NE(statusText(frame_.handle()), "hover");
}

// The capture hot key runs command 101 on the frame; unknown hot keys are not taken.
TEST_F(FrameTest, HotKeysPostTheirCommands) {
    constexpr UINT kHotKey = 0x1997;
    int catchWord = settings.catchWord;
    EXPECT_EQ(SendMessageA(frame_.handle(), kHotKey, 2, 0), 1);
    EXPECT_TRUE(waitUntil([&] { return settings.catchWord == !catchWord; }));
    EXPECT_EQ(SendMessageA(frame_.handle(), kHotKey, 2, 0), 1);
    EXPECT_TRUE(waitUntil([&] { return settings.catchWord == catchWord; }));
    EXPECT_EQ(SendMessageA(frame_.handle(), kHotKey, 6, 0), 0);
}

// The brief description runs modally on a thread of its own while the test looks at it.
class BriefDialog {
  public:
    explicit BriefDialog(int tab)
        : thread_([this, tab] {
              threadId_ = GetCurrentThreadId();
              openBriefDialog(nullptr, tab);
              done_ = true;
          }) {
        waitUntil([this] { return (window_ = find()) != nullptr; });
    }
    ~BriefDialog() {
        if (window_ && IsWindow(window_)) PostMessageA(window_, WM_COMMAND, IDCANCEL, 0);
        thread_.join();
    }
    BriefDialog(const BriefDialog&) = delete;
    BriefDialog& operator=(const BriefDialog&) = delete;

    HWND window() const { return window_; }
    bool done() const { return done_; }
    bool shows(int id) const { return IsWindowVisible(GetDlgItem(window_, id)) != FALSE; }
    std::vector<int> shownTexts() const {
        std::vector<int> shown;
        for (int id = 111; id <= 155; ++id)
            if (GetDlgItem(window_, id) && shows(id)) shown.push_back(id);
        return shown;
    }

  private:
    HWND find() const { return testsupport::visibleWindowOfThread(threadId_); }

    std::atomic<DWORD> threadId_ = 0;
    std::atomic<bool> done_ = false;
    HWND window_ = nullptr;
    std::thread thread_;
};

TEST(BriefDialogTest, OpensOnTheAskedTabWithOnlyItsTexts) {
    BriefDialog dialog(3);
    ASSERT_NE(dialog.window(), nullptr);
    EXPECT_EQ(dialog.shownTexts(), (std::vector<int>{141, 142, 143}));
    HWND tabs = GetDlgItem(dialog.window(), 101);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 5);

    // Another tab shows its own group.
    SendMessageA(tabs, TCM_SETCURSEL, 1, 0);
    NMHDR change{tabs, 101, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(dialog.window(), WM_NOTIFY, 101, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(dialog.shownTexts(), (std::vector<int>{121, 122, 123, 124}));
}

TEST(BriefDialogTest, AClickOnTheDialogClosesIt) {
    BriefDialog dialog(0);
    ASSERT_NE(dialog.window(), nullptr);
    EXPECT_EQ(dialog.shownTexts(), (std::vector<int>{111, 112, 113, 114, 115}));
    PostMessageA(dialog.window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(waitUntil([&] { return dialog.done(); }));
}

TEST(BriefDialogTest, TabLabelsFollowTheCurrentCodePage) {
    CPC_SetCodePage(CPC_PAGE_BIG5);
    BriefDialog dialog(2);
    CPC_SetCodePage(CPC_PAGE_GB);
    ASSERT_NE(dialog.window(), nullptr);
    char label[64] = "";
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = label;
    item.cchTextMax = sizeof label;
    SendMessageA(GetDlgItem(dialog.window(), 101), TCM_GETITEMA, 3,
                 reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(label, kResultTabBig5);
}

} // namespace
} // namespace lexora
