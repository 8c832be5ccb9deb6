// The capture machinery: SN_START and SN_STOP, the bridge window's copy-data, the catch timer
// and its forced repaint, and the mouse hook driven with made-up pointer moves.
#include "testutil.h"

#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

HWND bridgeWindow() {
    return static_cast<HWND>(LongToHandle(record().bridgeWindow));
}

LRESULT sendCopyData(ULONG_PTR kind, const void* payload, DWORD size) {
    COPYDATASTRUCT data = {kind, size, const_cast<void*>(payload)};
    return SendMessageA(bridgeWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

TextRunMessage textRun(uint32_t dc, CaptureRect rect, const char* text) {
    TextRunMessage run{};
    run.dc = dc;
    run.rect = rect;
    std::strncpy(run.text, text, SN_TEXT_LIMIT);
    return run;
}

LRESULT sendRun(const TextRunMessage& run) {
    return sendCopyData(SN_KIND_TEXT_RUN, &run, sizeof run);
}
LRESULT sendBlit(const BlitMessage& blit) {
    return sendCopyData(SN_KIND_BLIT, &blit, sizeof blit);
}

POINT onScreen(HWND window, int clientX, int clientY) {
    POINT point = {clientX, clientY};
    ClientToScreen(window, &point);
    return point;
}

uint32_t targetField() {
    return static_cast<uint32_t>(handleValue(visibleWindow().window()));
}

bool sameRect(const CaptureRect& a, const CaptureRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Capture started with a recording notify window; every setting is restored afterwards.
class Capture : public testing::Test {
  protected:
    void SetUp() override {
        std::memcpy(&saved_, &record(), sizeof saved_);
        ASSERT_EQ(SendSNMessage(SN_START, handleValue(notify_.window()), 0), 1);
        SendSNMessage(SN_SET_DELAY, 100, 0);
        SendSNMessage(SN_SET_AUX_KEY, 0, 0);
        visibleWindow().clear();
        paintings().clear();
    }
    void TearDown() override {
        SendSNMessage(SN_STOP, 0, 0);
        SendSNMessage(SN_SET_DELAY, saved_.catchDelay, 0);
        SendSNMessage(SN_SET_AUX_KEY, saved_.auxiliaryKey, 0);
        SendSNMessage(SN_SET_NOTIFY_WINDOW, saved_.notifyWindow, 0);
    }

    void move(POINT point, UINT message = WM_MOUSEMOVE) {
        MOUSEHOOKSTRUCT data{};
        data.pt = point;
        LXbMouseProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&data));
    }
    size_t pointerNotifications() const { return notify_.count(SN_NOTIFY); }
    POINT onTarget(int clientX, int clientY) const {
        return onScreen(visibleWindow().window(), clientX, clientY);
    }

    testsupport::MessageRecorder notify_;

  private:
    CaptureShared saved_;
};

TEST_F(Capture, StartsOnceAndStopsCleanly) {
    EXPECT_EQ(SendSNMessage(SN_START, 0, 0), 0);
    HWND bridge = FindWindowA("SNBridgeWndClass", nullptr);
    EXPECT_EQ(bridge, bridgeWindow());
    EXPECT_FALSE(IsWindowVisible(bridge));
    EXPECT_EQ(record().started, 1);
    EXPECT_EQ(record().captureEnabled, 0);
    EXPECT_NE(record().mouseHook, 0u);
    EXPECT_EQ(record().notifyWindow, handleValue(notify_.window()));
    EXPECT_TRUE(sameRect(record().wordRect, {-1, -1, -1, -1}));

    EXPECT_EQ(SendSNMessage(SN_STOP, 0, 0), 1);
    EXPECT_FALSE(IsWindow(bridge));
    EXPECT_EQ(record().started, 0);
    EXPECT_EQ(record().mouseHook, 0u);
    EXPECT_EQ(SendSNMessage(SN_START, 0, 0), 1);
}

// A start whose bridge window no longer exists (its program ended without SN_STOP) gives way.
TEST_F(Capture, AStaleStartGivesWay) {
    SendSNMessage(SN_STOP, 0, 0);
    HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    record().started = 1;
    record().bridgeWindow = static_cast<uint32_t>(handleValue(gone));
    EXPECT_EQ(SendSNMessage(SN_START, 0, 0), 1);
}

TEST_F(Capture, CopyDataIsTakenOnlyWithItsKindAndExactSize) {
    TextRunMessage run = textRun(0x100, {0, 0, 10, 10}, "word");
    char bytes[1000] = {};
    EXPECT_EQ(sendRun(run), 1);
    EXPECT_EQ(sendCopyData(0x41414141, bytes, 12), 1);
    EXPECT_EQ(sendCopyData(SN_KIND_TEXT_RUN, &run, sizeof run - 1), 0);
    EXPECT_EQ(sendCopyData(SN_KIND_TEXT_RUN, bytes, sizeof run + 1), 0);
    EXPECT_EQ(sendCopyData(SN_KIND_TEXT_RUN, nullptr, sizeof run), 0);
    EXPECT_EQ(sendCopyData(SN_KIND_BLIT, bytes, sizeof(BlitMessage) - 1), 0);
    EXPECT_EQ(sendCopyData(SN_KIND_BLIT, nullptr, sizeof(BlitMessage)), 0);
    EXPECT_EQ(SendMessageA(bridgeWindow(), WM_COPYDATA, 0, 0), 0);
}

TEST_F(Capture, CopyDataFromAnotherProcess) {
    EXPECT_EQ(runPeerPumping({"copydata", std::to_string(SN_KIND_TEXT_RUN), "792"}), 1);
    EXPECT_EQ(runPeerPumping({"copydata", std::to_string(SN_KIND_TEXT_RUN), "700"}), 0);
    EXPECT_EQ(runPeerPumping({"copydata", "0x58585858", "16"}), 1);
}

// The runs drawn on the source of a block transfer follow it; the one under the pointer
// becomes the word.
TEST_F(Capture, ABlitCarriesRunsToItsDestination) {
    record().cursorX = 425;
    record().cursorY = 230;
    record().wordRect = {0, 0, 0, 0};
    EXPECT_EQ(sendRun(textRun(0x100, {10, 10, 50, 20}, "word")), 1);
    EXPECT_EQ(sendRun(textRun(0x100, {60, 10, 90, 20}, "next")), 1);
    BlitMessage blit = {0x100, 0, 0, 100, 50, 0x200, 400, 200, 200, 100};
    EXPECT_EQ(sendBlit(blit), 1);
    EXPECT_STREQ(record().wordText, "word");
    EXPECT_EQ(record().wordDC, 0x200u);
    EXPECT_TRUE(sameRect(record().wordRect, {420, 220, 500, 240}));
}

// Text sent without its NUL is read up to the limit; hostile extents neither crash nor wrap.
TEST_F(Capture, ReportedValuesAreBounded) {
    record().cursorX = 5;
    record().cursorY = 5;
    TextRunMessage run = textRun(0x300, {0, 0, 10, 10}, "");
    std::memset(run.text, 'x', sizeof run.text);
    EXPECT_EQ(sendRun(run), 1);
    EXPECT_EQ(sendBlit({0x300, 0, 0, 1, 1, 0x301, 0, 0, 1, 1}), 1);
    EXPECT_EQ(strnlen(record().wordText, sizeof record().wordText), size_t{SN_TEXT_LIMIT});

    EXPECT_EQ(sendRun(textRun(0x400, {INT_MIN, 0, INT_MAX, 10}, "wide")), 1);
    EXPECT_EQ(sendBlit({0x400, INT_MAX, 0, -1, 1, 0x401, INT_MIN, 0, INT_MAX, 1}), 1);
    EXPECT_EQ(sendBlit({0x401, 0, 0, 0, 0, 0x402, 9, 9, 9, 9}), 1);
}

// One rest of the pointer: the tick repaints the one-pixel strip through the pointer while
// collecting is set, then clears armed and stops the timer.
TEST_F(Capture, TheTickRepaintsTheStripUnderThePointerOnce) {
    SendSNMessage(SN_SET_ENABLE, 1, 0);
    POINT pointer = onTarget(40, 60);
    record().targetWindow = targetField();
    record().cursorX = pointer.x;
    record().cursorY = pointer.y;
    record().armed = 1;
    SendMessageA(bridgeWindow(), SN_BRIDGE_RESTART_TIMER, 0, 0);
    EXPECT_NE(record().timerId, 0u);
    ASSERT_TRUE(testsupport::waitUntil([] { return record().timerId == 0; }));
    EXPECT_EQ(record().armed, 0);
    EXPECT_EQ(record().collecting, 0);
    RECT client;
    GetClientRect(visibleWindow().window(), &client);
    ASSERT_FALSE(paintings().empty());
    EXPECT_TRUE(paintings()[0].collecting);
    RECT strip = {0, 60, client.right, 61};
    EXPECT_TRUE(EqualRect(&paintings()[0].rect, &strip));
}

TEST_F(Capture, WithoutArmingTheTimerKeepsRunningAndNothingIsRepainted) {
    SendSNMessage(SN_SET_ENABLE, 1, 0);
    record().targetWindow = targetField();
    record().armed = 0;
    SendMessageA(bridgeWindow(), SN_BRIDGE_RESTART_TIMER, 0, 0);
    testsupport::pumpFor(350);
    EXPECT_NE(record().timerId, 0u);
    EXPECT_TRUE(paintings().empty());
}

TEST_F(Capture, APointerOffTheClientAreaRepaintsTheFrame) {
    SendSNMessage(SN_SET_ENABLE, 1, 0);
    POINT border = onTarget(-1, 40);
    record().targetWindow = targetField();
    record().cursorX = border.x;
    record().cursorY = border.y;
    record().armed = 1;
    SendMessageA(bridgeWindow(), SN_BRIDGE_RESTART_TIMER, 0, 0);
    ASSERT_TRUE(testsupport::waitUntil([] { return record().timerId == 0; }));
    EXPECT_GT(visibleWindow().count(WM_NCPAINT), 0u);
}

TEST_F(Capture, APointerMoveArmsACaptureUnlessItStaysOnTheWord) {
    SendSNMessage(SN_SET_ENABLE, 1, 0);
    POINT point = onTarget(100, 80);
    move(point);
    EXPECT_EQ(record().cursorX, point.x);
    EXPECT_EQ(record().targetWindow, targetField());
    EXPECT_TRUE(sameRect(record().wordRect, {point.x, point.y, point.x, point.y}));
    EXPECT_EQ(record().armed, 1);
    EXPECT_NE(record().timerId, 0u);
    ASSERT_EQ(pointerNotifications(), 1u);
    EXPECT_EQ(notify_.messages()[0].wParam, WPARAM{SN_POINTER_MOVED});

    // As if the word under the pointer had been captured.
    ASSERT_TRUE(testsupport::waitUntil([] { return record().timerId == 0; }));
    record().wordRect = {point.x - 10, point.y - 5, point.x + 10, point.y + 5};
    move({point.x + 9, point.y});
    EXPECT_EQ(record().timerId, 0u);
    EXPECT_EQ(record().armed, 0);
    EXPECT_EQ(pointerNotifications(), 1u);
    move({point.x + 10, point.y});
    EXPECT_NE(record().timerId, 0u);
    EXPECT_EQ(pointerNotifications(), 2u);
}

TEST_F(Capture, MovesAreIgnoredWhileCaptureIsOffOrTheAuxiliaryKeyIsUp) {
    POINT point = onTarget(100, 80);
    move(point);
    EXPECT_EQ(pointerNotifications(), 0u);
    EXPECT_EQ(record().timerId, 0u);

    SendSNMessage(SN_SET_ENABLE, 1, 0);
    move(point, WM_LBUTTONDOWN);
    EXPECT_EQ(pointerNotifications(), 0u);

    SendSNMessage(SN_SET_AUX_KEY, VK_F24, 0);
    move({point.x + 1, point.y});
    EXPECT_EQ(pointerNotifications(), 0u);
    EXPECT_EQ(record().timerId, 0u);
    EXPECT_EQ(record().armed, 0);
    EXPECT_EQ(record().cursorX, point.x + 1);
}

} // namespace
