// lxsys with real windows and real input: the hooks run inside the target program, which draws
// known texts, while this process holds the capture machinery and the hot-key window.
#include "gui.h"
#include "testutil.h"

#include <gtest/gtest.h>

namespace {

namespace gui = testsupport;

class Hooked : public testing::Test {
  protected:
    void SetUp() override {
        if (!gui::displayAvailable()) GTEST_SKIP() << "no X display: run the tests under xvfb-run";
        ASSERT_TRUE(gui::movePointer({5, 5}));
        delay_ = SendSNMessage(SN_SET_DELAY, 100, 0);
        auxiliaryKey_ = SendSNMessage(SN_SET_AUX_KEY, 0, 0);
        ASSERT_EQ(LXbHookAll(recorder_.window()), 1);
        ASSERT_EQ(SendSNMessage(SN_START, handleValue(recorder_.window()), 0), 1);
        SendSNMessage(SN_SET_ENABLE, 1, 0);
        ASSERT_TRUE(target_.start({"--text", "resting pointer over words", "--route", "textouta",
                                   "--x", "20", "--y", "20"}))
            << target_.error();
    }
    void TearDown() override {
        SendSNMessage(SN_STOP, 0, 0);
        LXbUnhookAll(recorder_.window());
        LXbSwitchHotKey(1);
        SendSNMessage(SN_SET_DELAY, delay_, 0);
        SendSNMessage(SN_SET_AUX_KEY, auxiliaryKey_, 0);
    }

    POINT over(const char* word) {
        const gui::DrawnWord* drawn = target_.findWord(word);
        EXPECT_NE(drawn, nullptr) << word;
        return drawn ? gui::centreOf(drawn->rect) : POINT{};
    }
    bool pointerMovedNotified() {
        return recorder_.waitFor(SN_NOTIFY, SN_POINTER_MOVED).has_value();
    }
    static bool timerRunning() { return record().timerId != 0; }

    gui::MessageRecorder recorder_;
    gui::TargetProgram target_;

  private:
    int delay_ = 0;
    int auxiliaryKey_ = 0;
};

TEST_F(Hooked, ARestingPointerIsCapturedOnce) {
    recorder_.clear();
    ASSERT_TRUE(gui::movePointer(over("pointer")));
    ASSERT_TRUE(pointerMovedNotified());
    EXPECT_TRUE(gui::waitUntil(timerRunning));
    EXPECT_TRUE(gui::waitUntil([] { return !timerRunning(); }));
    EXPECT_EQ(record().armed, 0);
    // While the pointer rests nothing starts again.
    recorder_.clear();
    EXPECT_TRUE(recorder_.quietFor(600));
    EXPECT_FALSE(timerRunning());
}

TEST_F(Hooked, AMoveWithAButtonHeldCapturesNothing) {
    ASSERT_TRUE(gui::movePointer(over("resting")));
    ASSERT_TRUE(gui::buttonDown(gui::MouseButton::Left));
    recorder_.clear();
    ASSERT_TRUE(gui::movePointer(over("words")));
    EXPECT_TRUE(pointerMovedNotified());
    EXPECT_TRUE(gui::waitUntil(timerRunning));
    gui::pumpFor(500);
    EXPECT_EQ(record().armed, 0);
    // Nothing was captured, so the timer is still waiting for a rest.
    EXPECT_TRUE(timerRunning());
    gui::buttonUp(gui::MouseButton::Left);
}

TEST_F(Hooked, WithAnAuxiliaryKeyOnlyMovesWithItHeldCount) {
    SendSNMessage(SN_SET_AUX_KEY, VK_SHIFT, 0);
    recorder_.clear();
    POINT point = over("over");
    ASSERT_TRUE(gui::movePointer(point));
    EXPECT_TRUE(recorder_.quietFor(500));
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(record().cursorX, point.x);

    gui::HeldKey shift(VK_SHIFT);
    ASSERT_TRUE(shift.held());
    ASSERT_TRUE(gui::movePointer({point.x + 3, point.y}));
    EXPECT_TRUE(pointerMovedNotified());
    EXPECT_EQ(record().armed, 1);
}

// The keys go to the target program; its instance of the hook posts to this process.
TEST_F(Hooked, HotKeysWorkWhileAnotherProgramHasTheKeyboard) {
    ASSERT_EQ(LXbSetHookKBDWin(recorder_.window()), recorder_.window());
    ASSERT_TRUE(target_.bringToFront());
    recorder_.clear();
    ASSERT_TRUE(gui::pressKeys({VK_CONTROL, VK_F12}));
    EXPECT_TRUE(recorder_.waitFor(LX_HOTKEY, 2));
    EXPECT_TRUE(target_.waitForMessage(WM_KEYUP, VK_F12));

    recorder_.clear();
    ASSERT_TRUE(gui::pressKeys({VK_CONTROL, VK_SHIFT, VK_F12}));
    EXPECT_TRUE(recorder_.quietFor(500));
    ASSERT_TRUE(gui::pressKeys({VK_MENU, VK_F11}));
    auto altF11 = recorder_.waitForAny(LX_HOTKEY);
    ASSERT_TRUE(altF11);
    EXPECT_EQ(altF11->wParam, WPARAM{3});

    LXbSwitchHotKey(0);
    recorder_.clear();
    ASSERT_TRUE(gui::pressKeys({VK_CONTROL, VK_F12}));
    EXPECT_TRUE(recorder_.quietFor(500));
}

} // namespace
