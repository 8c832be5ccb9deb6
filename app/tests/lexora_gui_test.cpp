// LEXORA.EXE started as a separate program: its frame, the single instance, the settings it
// reads and writes back, its menus, hot keys and help keys.
#include "gui.h"
#include "program_test.h"

#include <gtest/gtest.h>

#include <string>

namespace lexoratest {
namespace {

using testsupport::waitUntil;

constexpr int kBriefHelp = 1010;

HWND briefDialogOf(const Program& program) {
    for (HWND window : program.otherWindows()) {
        char name[32] = "";
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpA(name, "#32770") == 0 && GetDlgItem(window, 101)) return window;
    }
    return nullptr;
}

using LexoraProgramTest = ProgramTest;

TEST_F(LexoraProgramTest, StartsItsFrameCentredWithAMenu) {
    startProgram();
    HWND frame = program_.frame();
    char title[64] = "";
    GetWindowTextA(frame, title, sizeof title);
    EXPECT_STREQ(title, kFrameTitle);
    RECT rect;
    GetWindowRect(frame, &rect);
    EXPECT_EQ(rect.right - rect.left, 407);
    EXPECT_EQ(rect.bottom - rect.top, 337);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 407) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 337) / 2);
    EXPECT_NE(GetMenu(frame), nullptr);

    // Enter, a command of the frame, reaches the main window, which looks the word up.
    HWND input = descendantWithId(frame, 101);
    ASSERT_NE(input, nullptr);
    SendMessageA(GetWindow(input, GW_CHILD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("book"));
    PostMessageA(frame, WM_COMMAND, 1, 0);
    EXPECT_TRUE(waitUntil([&] {
        char headword[64] = "";
        GetWindowTextA(descendantWithId(frame, 105), headword, sizeof headword);
        return std::string(headword) == "book";
    }));
    testsupport::pumpFor(1000);
    testsupport::saveScreenshot(testsupport::artefactsDirectory() + "\\main-window.bmp");
    // The input history is saved at the close.
    closeProgram();
    EXPECT_NE(directory_.readFile("History.HIS").find("<<< book >>>"), std::string::npos);
}

TEST_F(LexoraProgramTest, ASecondStartRestoresTheFirstAndEndsQuietly) {
    startProgram();
    HWND frame = program_.frame();
    PostMessageA(frame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(waitUntil([&] { return IsIconic(frame) != FALSE; }));

    Program second;
    EXPECT_EQ(second.runToEnd(directory_), 0u);
    EXPECT_EQ(countFrames(), 1);
    EXPECT_TRUE(waitUntil([&] { return !IsIconic(frame); }));
    closeProgram();
}

// The edge cases of the settings file, read at start and written back at the close.
TEST_F(LexoraProgramTest, NormalisesTheSettingsItReadsAndWritesThemBack) {
    directory_.writeSetting("System", "Chinese Code Page", "7");
    directory_.writeSetting("System", "Face Style", "5");
    directory_.writeSetting("System", "Dynamic E2C", "1");
    directory_.writeSetting("Word Break", "HZ Word Break", "0");
    directory_.writeSetting("Catch Word", "Auxiliary Key", "ctrl");
    directory_.writeSetting("Catch Word", "Catch Delay Time", "5");
    directory_.writeSetting("Catch Word", "Prompt Bar Position", "120");
    directory_.writeSetting("Catch Word", "Catch Word", "0");
    directory_.writeSetting("Start Up", "Hide Main Window", "1");
    startProgram();
    EXPECT_TRUE(IsIconic(program_.frame()));
    closeProgram();
    EXPECT_EQ(directory_.readSetting("System", "Chinese Code Page"), "1");
    EXPECT_EQ(directory_.readSetting("System", "Face Style"), "1");
    EXPECT_EQ(directory_.readSetting("System", "Dynamic E2C"), "1");
    EXPECT_EQ(directory_.readSetting("Word Break", "HZ Word Break"), "2");
    EXPECT_EQ(directory_.readSetting("Catch Word", "Auxiliary Key"), "CTRL");
    EXPECT_EQ(directory_.readSetting("Catch Word", "Catch Delay Time"), "5");
    EXPECT_EQ(directory_.readSetting("Catch Word", "Prompt Bar Position"), "120,0");
    EXPECT_EQ(directory_.readSetting("Catch Word", "Catch Word"), "1");

    // A delay of 0 is refused by the capture, which keeps the one it had (2 set just before).
    directory_.removeSettings();
    directory_.writeSetting("Catch Word", "Auxiliary Key", "ALT");
    directory_.writeSetting("Catch Word", "Catch Delay Time", "2");
    startProgram();
    closeProgram();
    EXPECT_EQ(directory_.readSetting("Catch Word", "Auxiliary Key"), "NONE");
    directory_.writeSetting("Catch Word", "Catch Delay Time", "0");
    startProgram();
    closeProgram();
    EXPECT_EQ(directory_.readSetting("Catch Word", "Catch Delay Time"), "2");
}

TEST_F(LexoraProgramTest, TheFirstHotKeyTogglesBetweenRestoredAndMinimised) {
    startProgram();
    HWND frame = program_.frame();
    PostMessageA(frame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(waitUntil([&] { return IsIconic(frame) != FALSE; }));

    PostMessageA(frame, kHotKeyMessage, 1, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsIconic(frame) && GetForegroundWindow() == frame; }));
    // The input box's edit field has the focus.
    EXPECT_TRUE(waitUntil([&] {
        HWND focus = program_.focus();
        return focus && GetDlgCtrlID(GetParent(focus)) == 101;
    }));

    PostMessageA(frame, kHotKeyMessage, 1, 0);
    EXPECT_TRUE(waitUntil([&] { return IsIconic(frame) != FALSE; }));
    closeProgram();
}

// F1 opens the brief description on the tab of the focused pane, and nothing without one.
TEST_F(LexoraProgramTest, HelpKeyWithoutAFocusedPaneDoesNothing) {
    startProgram();
    HWND frame = program_.frame();
    // A window of the test takes the activation, and with it the focus, from the program.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(waitUntil([&] { return !program_.focus(); }));
    PostMessageA(frame, WM_COMMAND, kBriefHelp, 0);
    testsupport::pumpFor(1500);
    EXPECT_EQ(briefDialogOf(program_), nullptr);

    PostMessageA(frame, kHotKeyMessage, 1, 0);
    ASSERT_TRUE(waitUntil([&] {
        HWND focus = program_.focus();
        return focus && GetDlgCtrlID(GetParent(focus)) == 101;
    }));
    PostMessageA(frame, WM_COMMAND, kBriefHelp, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (dialog = briefDialogOf(program_)) != nullptr; }));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, 121)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 111)));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    DestroyWindow(other);
    closeProgram();
}

} // namespace
} // namespace lexoratest
