// The prompt bar and its hint window inside the test program, beside the program's frame: words
// arrive as lxsys delivers them (its shared record and SN_NOTIFY), the periodic check is driven
// tick by tick with the real pointer, and the translation is typed into an edit control.
#include "core/settings.h"
#include "frame.h"
#include "gui.h"
#include "prompt.h"

#include <cpconv.h>
#include <lxsys.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace lexora {
namespace {

using testsupport::movePointer;
using testsupport::waitUntil;

constexpr UINT kImeReport = 0x0280;

CaptureShared& captureRecord() {
    static CaptureShared* view = [] {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "lxsystem.sharedata");
        return static_cast<CaptureShared*>(
            MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(CaptureShared)));
    }();
    return *view;
}

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

std::string windowText(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

POINT centreOf(const RECT& rect) {
    return testsupport::centreOf(rect);
}

// The bytes the bar types: every double-byte character of the text.
std::string doubleByteCharacters(const std::string& text) {
    std::string characters;
    for (std::size_t at = 0; at + 1 < text.size();) {
        auto lead = static_cast<unsigned char>(text[at]);
        auto trail = static_cast<unsigned char>(text[at + 1]);
        if (lead > 128 && trail > 32) {
            characters.append(text, at, 2);
            at += 2;
        } else {
            ++at;
        }
    }
    return characters;
}

class PromptTest : public testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_NE(&captureRecord(), nullptr);
        CPC_SetCodePage(CPC_PAGE_GB);
        saved_ = settings;
        settings.lockPrompt = 0;
        settings.warpPrompt = 0;
        settings.catchWord = 1;
        settings.soundAlert = 0;
        settings.promptHideTime = 100;
        ASSERT_TRUE(frame_.create(SW_SHOW));
        bar_ = std::make_unique<LXPrompt>(frame_);
        ASSERT_TRUE(bar_->createBar());
        frame_.setPromptBar(bar_->handle());
    }
    void TearDown() override {
        bar_.reset();
        settings = saved_;
    }

    // The word as lxsys hands it over: in its shared record, announced with SN_NOTIFY.
    void deliver(const char* word, const RECT& rect) {
        CaptureShared& record = captureRecord();
        record.wordRect = {rect.left, rect.top, rect.right, rect.bottom};
        std::strncpy(record.wordText, word, SN_TEXT_LIMIT);
        EXPECT_EQ(SendMessageA(bar_->handle(), SN_NOTIFY, SN_WORD_READY, 0), 1);
        record.wordText[0] = '\0';
    }
    // The pointer rests on the word when it is caught.
    bool catchAtRest(const char* text) {
        if (!movePointer(centreOf(kWord))) return false;
        deliver(text, kWord);
        return true;
    }
    // The periodic check acts on every second tick of the frame's timer.
    void act(int times) {
        for (int tick = 0; tick < 2 * times; ++tick)
            bar_->tick();
    }
    bool barVisible() const { return IsWindowVisible(bar_->handle()) != FALSE; }

    static RECT wordAt(int x, int y) { return {x, y, x + 60, y + 16}; }
    static constexpr RECT kWord = {100, 100, 160, 116};
    static constexpr POINT kElsewhere = {5, 5};

    Settings saved_;
    TMyFrame frame_;
    std::unique_ptr<LXPrompt> bar_;
};

TEST_F(PromptTest, IsATopMostBarOfItsOwnClassPlacedInsideTheScreen) {
    char name[64] = "";
    GetClassNameA(bar_->handle(), name, sizeof name);
    EXPECT_STREQ(name, "LXPrompt");
    EXPECT_TRUE(GetWindowLongA(bar_->handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(barVisible());
    EXPECT_EQ(promptBarObject(bar_->handle()), bar_.get());

    bar_.reset();
    settings.promptBarX = 100000;
    settings.promptBarY = -50;
    settings.lockPrompt = 1;
    bar_ = std::make_unique<LXPrompt>(frame_);
    ASSERT_TRUE(bar_->createBar());
    RECT rect = windowRect(bar_->handle());
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.top, 0);
    EXPECT_TRUE(barVisible()); // locked with capture on: shown at once
}

// Below the word at the pointer; the same word at the same place again changes nothing; near
// the bottom of the screen the bar goes above the word.
TEST_F(PromptTest, AWordIsShownBesideItselfOnce) {
    ASSERT_TRUE(catchAtRest("book"));
    std::string shown = windowText(bar_->handle());
    EXPECT_EQ(shown.rfind("book ", 0), 0u) << shown;
    EXPECT_NE(shown.find('['), std::string::npos) << shown; // the transcription
    EXPECT_FALSE(barVisible());                             // the periodic check shows it
    RECT rect = windowRect(bar_->handle());
    POINT pointer{};
    GetCursorPos(&pointer);
    LONG rightmost = GetSystemMetrics(SM_CXSCREEN) - bar_->placementSize().cx - 2;
    EXPECT_EQ(rect.left, std::max(0L, std::min(pointer.x, rightmost)));
    EXPECT_EQ(rect.top, pointer.y + 16 + 2);
    act(1);
    EXPECT_TRUE(barVisible());

    SetWindowPos(bar_->handle(), nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    deliver("book", kWord);
    EXPECT_EQ(windowRect(bar_->handle()).left, 300);
    EXPECT_TRUE(barVisible());
    EXPECT_EQ(SendMessageA(bar_->handle(), SN_NOTIFY, SN_POINTER_MOVED, 0), 1);

    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT low = wordAt(100, screenHeight - 20);
    ASSERT_TRUE(movePointer(centreOf(low)));
    deliver("dictionary", low);
    EXPECT_FALSE(barVisible());
    EXPECT_EQ(windowRect(bar_->handle()).top, low.top - (bar_->placementSize().cy + 16 + 2));
    EXPECT_EQ(windowText(bar_->handle()).rfind("dictionary ", 0), 0u);
}

// A change of code page converts the lines in place, so that they read the same.
TEST_F(PromptTest, TheLinesFollowTheCodePage) {
    ASSERT_TRUE(catchAtRest("book"));
    std::string gb = windowText(bar_->handle());
    std::string big5(gb.size() + 1, '\0');
    CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, gb.c_str(), static_cast<int>(gb.size()) + 1,
                          big5.data(), static_cast<int>(big5.size()));
    bar_->codePageChanged(CPC_PAGE_GB, CPC_PAGE_BIG5);
    EXPECT_EQ(windowText(bar_->handle()), big5.c_str());
    EXPECT_NE(windowText(bar_->handle()), gb);
}

// Capture reads the bar's own lines when the pointer rests on them; the bar stays as it is.
TEST_F(PromptTest, AWordCaughtOnTheBarItselfChangesNothing) {
    ASSERT_TRUE(catchAtRest("book"));
    act(1);
    ASSERT_TRUE(barVisible());
    std::string shown = windowText(bar_->handle());
    RECT line = bar_->find(209)->rect();
    MapWindowPoints(bar_->handle(), nullptr, reinterpret_cast<POINT*>(&line), 2);
    deliver("book", line);
    EXPECT_TRUE(barVisible());
    EXPECT_EQ(windowText(bar_->handle()), shown);
}

TEST_F(PromptTest, TheBarAppearsOnlyWhenThePointerStillRestsOnTheWord) {
    ASSERT_TRUE(catchAtRest("book"));
    ASSERT_TRUE(movePointer(kElsewhere));
    act(1);
    EXPECT_FALSE(barVisible());
    ASSERT_TRUE(movePointer(centreOf(kWord)));
    act(3);
    EXPECT_FALSE(barVisible()); // too late: it shows only at the first check
}

TEST_F(PromptTest, ThePointerOnTheBarKeepsItAndElsewhereHidesItAfterFiveChecks) {
    ASSERT_TRUE(catchAtRest("book"));
    act(1);
    ASSERT_TRUE(barVisible());
    ASSERT_TRUE(movePointer(centreOf(windowRect(bar_->handle()))));
    act(20);
    EXPECT_TRUE(barVisible());

    ASSERT_TRUE(catchAtRest("dictionary"));
    act(1);
    ASSERT_TRUE(barVisible());
    ASSERT_TRUE(movePointer(kElsewhere));
    act(4);
    EXPECT_TRUE(barVisible());
    act(1);
    EXPECT_FALSE(barVisible());
}

TEST_F(PromptTest, TheHidingTimeEndsARestOnTheWord) {
    settings.promptHideTime = 3;
    ASSERT_TRUE(catchAtRest("book"));
    act(2);
    EXPECT_TRUE(barVisible());
    act(1);
    EXPECT_FALSE(barVisible());
}

TEST_F(PromptTest, ALockedBarNeverMovesToTheWordNorHidesByItself) {
    settings.lockPrompt = 1;
    SetWindowPos(bar_->handle(), nullptr, 400, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(catchAtRest("book"));
    EXPECT_TRUE(barVisible());
    ASSERT_TRUE(movePointer(kElsewhere));
    act(150);
    EXPECT_TRUE(barVisible());
    RECT rect = windowRect(bar_->handle());
    EXPECT_EQ(rect.left, 400);
    EXPECT_EQ(rect.top, 20);
}

TEST_F(PromptTest, NothingIsCheckedWhileAModalDialogIsOpen) {
    ASSERT_TRUE(catchAtRest("book"));
    modalDialogOpen = true;
    act(3);
    modalDialogOpen = false;
    EXPECT_FALSE(barVisible());
    act(1);
    EXPECT_TRUE(barVisible());
}

// The right button over the translation line types its Chinese characters into the window that
// had the focus when the pointer came onto the bar, between the input method's start and end.
TEST_F(PromptTest, TheRightButtonTypesTheTranslationIntoTheUsersWindow) {
    HWND owner = CreateWindowExA(0, "STATIC", "user", WS_POPUP | WS_VISIBLE, 500, 400, 300, 60,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 30, owner, nullptr,
                                nullptr, nullptr);
    static std::vector<std::pair<UINT, WPARAM>> received;
    static WNDPROC original = nullptr;
    received.clear();
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        edit, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
            if (message == kImeReport || message == WM_CHAR) received.emplace_back(message, wParam);
            return CallWindowProcA(original, window, message, wParam, lParam);
        })));
    SetForegroundWindow(owner);
    SetFocus(edit);

    ASSERT_TRUE(catchAtRest("book"));
    std::string expected = doubleByteCharacters(windowText(bar_->handle()));
    ASSERT_FALSE(expected.empty());

    SendMessageA(bar_->handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(bar_->handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    POINT line = centreOf(bar_->find(210)->rect());
    SendMessageA(bar_->handle(), WM_RBUTTONUP, 0, MAKELPARAM(line.x, line.y));
    EXPECT_TRUE(waitUntil([&] { return received.size() == expected.size() + 2; }));
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(received.front(), std::make_pair(kImeReport, WPARAM{0x100}));
    EXPECT_EQ(received.back(), std::make_pair(kImeReport, WPARAM{0x101}));
    EXPECT_EQ(windowText(edit), expected);
    DestroyWindow(owner);
}

// The options sheet's command 10000 takes buttons off the bar and puts them back in their place.
TEST_F(PromptTest, TheButtonsFollowTheUsersChoice) {
    int all = bar_->count();
    settings.buttons[0].wanted = 0; // 202
    settings.buttons[1].wanted = 0; // 203
    SendMessageA(bar_->handle(), WM_COMMAND, LXPrompt::kButtonsChanged, 0);
    EXPECT_EQ(bar_->count(), all - 2);
    EXPECT_EQ(bar_->find(202), nullptr);
    EXPECT_EQ(bar_->find(203), nullptr);
    EXPECT_EQ(settings.buttons[1].shown, 0);
    EXPECT_EQ(LXButtonBox::next(bar_->find(201)), bar_->find(204));

    settings.buttons[1].wanted = 1;
    SendMessageA(bar_->handle(), WM_COMMAND, LXPrompt::kButtonsChanged, 0);
    EXPECT_EQ(bar_->count(), all - 1);
    EXPECT_EQ(LXButtonBox::next(bar_->find(201)), bar_->find(203));
    EXPECT_EQ(LXButtonBox::next(bar_->find(203)), bar_->find(204));
    EXPECT_EQ(settings.buttons[1].shown, 1);
}

// The box reports the gadget under the pointer; its hint is the string of its id in the face.
TEST_F(PromptTest, AGadgetReportedByTheBoxGetsItsHint) {
    settings.faceStyle = 0;
    SendMessageA(bar_->handle(), WM_MENUSELECT, 202, 0);
    HWND hint = FindWindowA("LxHintMessageBar", nullptr);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(windowText(hint), "Quit LEXORA");
    settings.faceStyle = 1;
    SendMessageA(bar_->handle(), WM_MENUSELECT, 203, 0);
    EXPECT_EQ(windowText(hint), "\xCF\xFB\xD2\xFE\xCC\xE1\xCA\xBE\xCC\xF5"); // 消隐提示条
}

// The hint shows on the second tick of its timer while the pointer stays on the gadget, below
// the pointer; it goes when the pointer leaves the gadget, or after eight seconds.
TEST(HintMesBar, ShowsOnTheSecondTickWhileThePointerStaysOnTheGadget) {
    LXHintMesBar hint;
    ASSERT_TRUE(hint.createHint());
    char name[64] = "";
    GetClassNameA(hint.handle(), name, sizeof name);
    EXPECT_STREQ(name, "LxHintMessageBar");
    RECT gadget{200, 200, 240, 220};
    ASSERT_TRUE(movePointer({210, 210}));
    auto ticks = [&](int count) {
        for (int tick = 0; tick < count; ++tick)
            SendMessageA(hint.handle(), WM_TIMER, 1, 0);
        return IsWindowVisible(hint.handle()) != FALSE;
    };

    hint.prepare("Quit LEXORA", gadget);
    EXPECT_FALSE(ticks(1));
    hint.prepare("Quit LEXORA", gadget); // the same gadget again: the count goes on
    EXPECT_TRUE(ticks(1));
    EXPECT_EQ(windowRect(hint.handle()).top, 210 + 22);
    EXPECT_TRUE(ticks(77));
    EXPECT_FALSE(ticks(1));

    hint.prepare("Quit LEXORA", gadget);
    EXPECT_TRUE(ticks(2));
    ASSERT_TRUE(movePointer({300, 300}));
    EXPECT_FALSE(ticks(1));
}

} // namespace
} // namespace lexora
