// The hook owner, focus tracking, the keyboard hook's hot keys and the small exports around
// them.
#include "testutil.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string windowArgument(HWND window) {
    return std::to_string(HandleToLong(window));
}

TEST(HookOwner, OnlyTheRegisteredOwnerRemovesTheHooks) {
    testsupport::MessageRecorder owner;
    testsupport::MessageRecorder other;
    EXPECT_EQ(LXbHookAll(nullptr), 0);
    ASSERT_EQ(LXbHookAll(owner.window()), 1);
    EXPECT_NE(record().keyboardHook, 0u);
    EXPECT_NE(record().callWndHook, 0u);
    EXPECT_EQ(LXbHookAll(other.window()), 0);
    EXPECT_EQ(LXbUnhookAll(other.window()), 0);
    // Another process has no owner of its own, whatever window it names.
    EXPECT_EQ(runPeerPumping({"unhook", windowArgument(owner.window())}), 0);
    EXPECT_NE(record().keyboardHook, 0u);

    // The text entry points are redirected and none is being called through.
    EXPECT_EQ(LXbCanExit(), 1);
    EXPECT_EQ(LXbUnhookAll(owner.window()), 1);
    EXPECT_EQ(record().keyboardHook, 0u);
    EXPECT_EQ(record().callWndHook, 0u);
    ASSERT_EQ(LXbHookAll(other.window()), 1);
    EXPECT_EQ(LXbUnhookAll(other.window()), 1);
}

TEST(HookOwner, FocusIsTrackedExceptForTheOwner) {
    testsupport::MessageRecorder owner;
    HWND editor = visibleWindow().window();
    ASSERT_EQ(LXbHookAll(owner.window()), 1);
    record().focusWindow = 0;
    SetFocus(nullptr);
    SetFocus(editor);
    EXPECT_EQ(LXbGetFocus(), editor);
    CWPSTRUCT toOwner = {0, 0, WM_SETFOCUS, owner.window()};
    LXbCallWndProc(HC_ACTION, 0, reinterpret_cast<LPARAM>(&toOwner));
    EXPECT_EQ(LXbGetFocus(), editor);
    EXPECT_EQ(LXbUnhookAll(owner.window()), 1);
}

constexpr LPARAM kReleased = static_cast<LPARAM>(0xC0000001u);
constexpr LPARAM kAlt = 1 << 29;

// The keyboard hook driven with made-up key events; the hot keys go to a window of this thread.
class HotKeys : public testing::Test {
  protected:
    void SetUp() override {
        posted();
        ASSERT_EQ(LXbSetHookKBDWin(window().window()), window().window());
        LXbSwitchHotKey(1);
        key(VK_CONTROL, kReleased);
        key(VK_SHIFT, kReleased);
    }
    void TearDown() override { LXbSwitchHotKey(1); }

    static void key(WPARAM virtualKey, LPARAM flags, int code = HC_ACTION) {
        LXbKeyboardProc(code, virtualKey, flags);
    }
    // Presses the keys in order and releases them in reverse order.
    static void press(std::initializer_list<WPARAM> keys, LPARAM extra = 0) {
        for (WPARAM virtualKey : keys)
            key(virtualKey, 1 | extra);
        for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
            key(*it, kReleased | extra);
    }
    // The hot keys posted since the last call.
    static std::vector<WPARAM> posted() {
        testsupport::pumpFor(0);
        std::vector<WPARAM> ids;
        for (const testsupport::RecordedMessage& message : window().messages())
            if (message.message == LX_HOTKEY) ids.push_back(message.wParam);
        window().clear();
        return ids;
    }

    // The first window registered stays while it exists: one for the whole test program.
    static testsupport::MessageRecorder& window() {
        static testsupport::MessageRecorder hotKeyWindow;
        return hotKeyWindow;
    }
};

using Ids = std::vector<WPARAM>;

TEST_F(HotKeys, FireAtTheReleaseOfTheirKey) {
    key(VK_CONTROL, 1);
    key(VK_F12, 1);
    EXPECT_EQ(posted(), Ids{});
    key(VK_F12, kReleased);
    key(VK_CONTROL, kReleased);
    EXPECT_EQ(posted(), Ids{2});
}

TEST_F(HotKeys, EachCombinationHasItsId) {
    press({VK_CONTROL, VK_F11});
    press({VK_F11}, kAlt);
    press({VK_F12}, kAlt);
    press({VK_CONTROL, VK_F9}, kAlt);
    EXPECT_EQ(posted(), (Ids{1, 3, 4, 5}));
    press({VK_CONTROL, VK_SHIFT, VK_F12});
    press({VK_CONTROL, VK_F11}, kAlt);
    press({VK_F12});
    EXPECT_EQ(posted(), Ids{});
}

TEST_F(HotKeys, SwitchedOffNothingFiresAndModifiersAreNotFollowed) {
    key(VK_CONTROL, 1);
    EXPECT_EQ(LXbSwitchHotKey(0), 1);
    key(VK_CONTROL, kReleased);
    press({VK_CONTROL, VK_F12});
    EXPECT_EQ(posted(), Ids{});
    EXPECT_EQ(LXbSwitchHotKey(1), 0);
    // The release of Ctrl went unseen: it still counts as held.
    key(VK_F12, kReleased);
    EXPECT_EQ(posted(), Ids{2});
}

TEST_F(HotKeys, AKeyPeekedAtWithoutRemovingIsNotCounted) {
    key(VK_CONTROL, 1);
    key(VK_F12, kReleased, HC_NOREMOVE);
    EXPECT_EQ(posted(), Ids{});
}

TEST_F(HotKeys, TheFirstRegisteredWindowStays) {
    testsupport::MessageRecorder other;
    EXPECT_EQ(LXbSetHookKBDWin(other.window()), window().window());
}

// The hook runs in whichever process gets the key: it posts to this process's window, and
// the switch is the same everywhere.
TEST_F(HotKeys, WorkInAnotherProcess) {
    EXPECT_EQ(runPeerPumping({"press-ctrl-f12"}), 0);
    EXPECT_EQ(posted(), Ids{2});
    LXbSwitchHotKey(0);
    EXPECT_EQ(runPeerPumping({"switch-hotkeys", "1"}), 0);
    EXPECT_EQ(LXbSwitchHotKey(1), 1);
}

} // namespace
