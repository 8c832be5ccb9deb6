#include "gui.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

namespace testsupport {
namespace {

constexpr UINT kNotifyMessage = 0x1400;
constexpr UINT kHotKeyMessage = 0x1997;
constexpr int kSpacing = 2; // lxtarget's default extra advance of the -dx routes

const char* const kRoutes[] = {"textouta",       "textoutw",    "exttextouta",
                               "exttextouta-dx", "exttextoutw", "exttextoutw-dx",
                               "drawtexta",      "static",      "button"};

class Gui : public testing::Test {
  protected:
    void SetUp() override {
        if (!displayAvailable()) GTEST_SKIP() << "no X display: run the tests under xvfb-run";
    }

    void startTarget(const std::vector<std::string>& arguments) {
        ASSERT_TRUE(target.start(arguments)) << target.error();
    }

    TargetProgram target;
};

std::string number(HWND window) {
    return std::to_string(reinterpret_cast<std::uintptr_t>(window));
}

bool isDark(std::uint32_t pixel) {
    return (pixel & 0xFF) < 0x80 && ((pixel >> 8) & 0xFF) < 0x80 && ((pixel >> 16) & 0xFF) < 0x80;
}

// The bounding box of the dark pixels in a screen area; empty when there are none.
RECT inkIn(const RECT& area) {
    RECT box{};
    std::optional<ScreenImage> image = captureScreen(area);
    if (!image) return box;
    bool found = false;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            if (!isDark(image->at(x, y))) continue;
            RECT pixel{area.left + x, area.top + y, area.left + x + 1, area.top + y + 1};
            if (found)
                UnionRect(&box, &box, &pixel);
            else
                box = pixel;
            found = true;
        }
    return box;
}

RECT inflated(RECT rect, int by) {
    InflateRect(&rect, by, by);
    return rect;
}

std::vector<UINT> keyMessagesOf(const std::vector<RecordedMessage>& messages,
                                std::vector<WPARAM>& keys) {
    std::vector<UINT> numbers;
    for (const RecordedMessage& message : messages)
        if (message.message >= WM_KEYDOWN && message.message <= WM_SYSKEYUP &&
            message.message != WM_CHAR && message.message != WM_DEADCHAR) {
            numbers.push_back(message.message);
            keys.push_back(message.wParam);
        }
    return numbers;
}

TEST_F(Gui, TargetReportsWhereEveryRouteDrawsItsWords) {
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < std::size(kRoutes); ++i)
        arguments.insert(arguments.end(),
                         {"--text", std::string("The ") + kRoutes[i] + " route draws", "--route",
                          kRoutes[i], "--x", "20", "--y",
                          std::to_string(16 + 40 * static_cast<int>(i))});
    startTarget(arguments);
    EXPECT_EQ(target.fontFace(), "Tahoma");
    ASSERT_EQ(target.texts().size(), std::size(kRoutes) + 1);
    EXPECT_EQ(target.texts().back().route, "menu");
    EXPECT_EQ(target.texts().back().text, "File");

    for (std::size_t i = 0; i < std::size(kRoutes); ++i) {
        const DrawnText& drawn = target.texts()[i];
        SCOPED_TRACE(drawn.route);
        EXPECT_EQ(drawn.route, kRoutes[i]);
        ASSERT_EQ(drawn.words.size(), 4u);
        EXPECT_EQ(drawn.words[1].text, kRoutes[i]);
        for (std::size_t w = 0; w < drawn.words.size(); ++w) {
            const RECT& rect = drawn.words[w].rect;
            EXPECT_LT(rect.left, rect.right);
            EXPECT_EQ(rect.top, drawn.rect.top);
            EXPECT_EQ(rect.bottom, drawn.rect.bottom);
            EXPECT_GE(rect.left, drawn.rect.left);
            EXPECT_LE(rect.right, drawn.rect.right);
            if (w > 0) {
                EXPECT_GT(rect.left, drawn.words[w - 1].rect.right); // a space between
            }
            EXPECT_EQ(WindowFromPoint(centreOf(rect)), drawn.window);
            EXPECT_EQ(GetAncestor(drawn.window, GA_ROOT), target.window());
        }
        // What is on the screen lies where the report says: the ink of the text starts at its
        // left edge and ends at its right edge, less the last letter's side bearing and the
        // spacing of an advance array.
        RECT ink{};
        waitUntil([&] {
            ink = inkIn(inflated(drawn.rect, 4));
            return !IsRectEmpty(&ink);
        });
        EXPECT_LE(ink.left - drawn.rect.left, 3);
        EXPECT_GE(ink.left, drawn.rect.left - 1);
        EXPECT_LE(ink.right, drawn.rect.right + 1);
        EXPECT_LE(drawn.rect.right - ink.right, 3 + kSpacing);
        EXPECT_GE(ink.top, drawn.rect.top);
        EXPECT_LE(ink.bottom, drawn.rect.bottom);
    }
    EXPECT_EQ(WindowFromPoint(centreOf(target.texts().back().rect)), target.window());
}

TEST_F(Gui, TargetReportsGbTextCharacterByCharacter) {
    // 中国 文字, then abc中
    startTarget({"--gb", "d6d0b9fa20cec4d7d6", "--route", "textouta", "--gb", "d6d0b9fa20cec4d7d6",
                 "--route", "textoutw", "--gb", "616263d6d0", "--route", "exttextouta-dx"});
    ASSERT_EQ(target.texts().size(), 4u);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::vector<DrawnWord>& words = target.texts()[i].words;
        ASSERT_EQ(words.size(), 4u);
        EXPECT_EQ(words[0].text, "\xd6\xd0");
        EXPECT_EQ(words[3].text, "\xd7\xd6");
        EXPECT_EQ(words[1].rect.left, words[0].rect.right); // no space inside a Chinese word
        EXPECT_GT(words[2].rect.left, words[1].rect.right);
        EXPECT_LT(words[0].rect.left, words[0].rect.right);
    }
    const std::vector<DrawnWord>& mixed = target.texts()[2].words;
    ASSERT_EQ(mixed.size(), 2u);
    EXPECT_EQ(mixed[0].text, "abc");
    EXPECT_EQ(mixed[1].text, "\xd6\xd0");
    EXPECT_EQ(mixed[1].rect.left, mixed[0].rect.right);
    EXPECT_EQ(target.findWord("\xd6\xd0", 2), &mixed[1]);
}

TEST_F(Gui, TargetReadsTextsFromAScriptFile) {
    char directory[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    std::string path = std::string(directory) + "lxguitest-script.txt";
    std::ofstream(path, std::ios::binary)
        << "# two texts\n\ntext drawtexta 30 200 Script line one\r\n"
           "gb static 30 240 d6d0b9fa\n";
    startTarget({"--script", path});
    DeleteFileA(path.c_str());
    ASSERT_EQ(target.texts().size(), 3u);
    EXPECT_EQ(target.texts()[0].route, "drawtexta");
    EXPECT_EQ(target.texts()[0].text, "Script line one");
    EXPECT_EQ(target.texts()[1].route, "static");
    EXPECT_EQ(target.texts()[1].text, "\xd6\xd0\xb9\xfa");
    POINT origin{30, 200};
    ClientToScreen(target.window(), &origin);
    EXPECT_EQ(target.texts()[0].rect.left, origin.x);
    EXPECT_EQ(target.texts()[0].rect.top, origin.y);
    ASSERT_NE(target.findWord("one"), nullptr);
    EXPECT_EQ(target.findWord("one", 1), nullptr);
    EXPECT_EQ(target.findWord("on"), nullptr);
}

TEST_F(Gui, TargetRefusesBadOptionsAndEndsAtOnce) {
    std::vector<std::vector<std::string>> cases = {
        {"--route", "textouta"},
        {"--text", "a", "--route", "nowhere"},
        {"--gb", "d6z0"},
        {"--gb", "d6d"},
        {"--gb", std::string(2 * 513, 'a')},
        {"--text", std::string(513, 'a')},
        {"--text", "a", "--x", "99999999999999999999"},
        {"--text"},
        {"--font-size", "0"},
        {"--send", "1", "2"},
        {"--copydata", "1", "QZR", "00"},
        {"--script", "Z:\\no such directory\\script.txt"},
        {"--bogus"},
    };
    std::vector<std::string> tooMany;
    for (int i = 0; i < 65; ++i)
        tooMany.insert(tooMany.end(), {"--text", "a"});
    cases.push_back(tooMany);
    for (const std::vector<std::string>& arguments : cases) {
        SCOPED_TRACE(arguments.front() + " " + (arguments.size() > 1 ? arguments[1] : ""));
        EXPECT_FALSE(target.start(arguments));
        EXPECT_EQ(target.exitCode(), 2u) << target.error();
    }
}

TEST_F(Gui, TargetEndsOnItsTimeoutOnCloseOrIsTerminated) {
    startTarget({"--text", "brief", "--timeout", "1500"});
    EXPECT_TRUE(waitUntil([&] { return !target.running(); }));
    EXPECT_EQ(target.exitCode(), 3u);
    EXPECT_TRUE(target.stop());

    startTarget({"--text", "closed"});
    HWND window = target.window();
    EXPECT_TRUE(target.stop());
    EXPECT_EQ(target.exitCode(), 0u);
    EXPECT_FALSE(IsWindow(window));

    startTarget({"--text", "hung", "--ignore-close"});
    EXPECT_FALSE(target.stop(500));
    EXPECT_FALSE(target.running());
    EXPECT_EQ(target.exitCode(), 1u);
}

TEST_F(Gui, ArgumentsReachTheTargetUnchanged) {
    const std::vector<std::string> texts = {"a \"quoted\" word", "back\\slash\\", "end\\\"",
                                            "tab\there"};
    std::vector<std::string> arguments = {
        "--title", "A title with spaces", "--window", "50", "70", "500", "300"};
    for (const std::string& text : texts)
        arguments.insert(arguments.end(), {"--text", text});
    startTarget(arguments);
    ASSERT_EQ(target.texts().size(), texts.size() + 1);
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(target.texts()[i].text, texts[i]);
    char title[64] = {};
    GetWindowTextA(target.window(), title, sizeof title);
    EXPECT_STREQ(title, "A title with spaces");
    RECT frame;
    ASSERT_TRUE(GetWindowRect(target.window(), &frame));
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.top, 70);
    EXPECT_EQ(frame.right, 550);
    EXPECT_EQ(frame.bottom, 370);
}

TEST_F(Gui, TargetRecordsApplicationMessagesItReceives) {
    startTarget({"--text", "messages"});
    ASSERT_TRUE(PostMessageA(target.window(), WM_APP + 5, 9, 10));
    DWORD_PTR reply = 0;
    ASSERT_TRUE(
        SendMessageTimeoutA(target.window(), kHotKeyMessage, 2, 0, SMTO_NORMAL, kWaitMs, &reply));
    std::optional<RecordedMessage> posted = target.waitForMessage(WM_APP + 5, 9);
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->lParam, 10);
    EXPECT_EQ(posted->window, target.window());
    EXPECT_TRUE(target.waitForMessage(kHotKeyMessage, 2));
    target.clearMessages();
    EXPECT_TRUE(target.messages().empty());
    EXPECT_FALSE(target.waitForMessage(WM_APP + 5, 9, 300));
}

TEST_F(Gui, PointerMovesWhereAsked) {
    startTarget({"--text", "pointer target"});
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    const POINT places[] = {{0, 0},
                            {width - 1, height - 1},
                            {width / 2, height / 3},
                            {1, height - 2},
                            centreOf(target.findWord("target")->rect)};
    for (POINT place : places) {
        ASSERT_TRUE(movePointer(place)) << place.x << "," << place.y;
        POINT now;
        ASSERT_TRUE(GetCursorPos(&now));
        EXPECT_EQ(now.x, place.x);
        EXPECT_EQ(now.y, place.y);
    }
    EXPECT_FALSE(movePointer({width, 0}));
    EXPECT_FALSE(movePointer({-1, 0}));
}

TEST_F(Gui, ClicksReachTheWindowUnderThePointer) {
    startTarget({"--text", "click here", "--x", "100", "--y", "120"});
    POINT place = centreOf(target.findWord("here")->rect);
    ASSERT_TRUE(movePointer(place));
    ASSERT_TRUE(click(MouseButton::Left));
    ASSERT_TRUE(click(MouseButton::Right));
    POINT client = place;
    ScreenToClient(target.window(), &client);
    std::optional<RecordedMessage> down = target.waitForMessage(WM_LBUTTONDOWN, MK_LBUTTON);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->window, target.window());
    EXPECT_EQ(down->lParam, MAKELPARAM(client.x, client.y));
    EXPECT_TRUE(target.waitForMessage(WM_LBUTTONUP, 0));
    EXPECT_TRUE(target.waitForMessage(WM_RBUTTONDOWN, MK_RBUTTON));
    EXPECT_TRUE(target.waitForMessage(WM_RBUTTONUP, 0));
}

TEST_F(Gui, KeyCombinationsReachTheTargetThatHasTheFocus) {
    startTarget({"--text", "keys"});
    ASSERT_TRUE(pressKeys({VK_CONTROL, VK_F12}));
    ASSERT_TRUE(target.waitForMessage(WM_KEYUP, VK_CONTROL));
    std::vector<WPARAM> keys;
    EXPECT_EQ(keyMessagesOf(target.messages(), keys),
              (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYUP}));
    EXPECT_EQ(keys, (std::vector<WPARAM>{VK_CONTROL, VK_F12, VK_F12, VK_CONTROL}));

    // Pressed and released one at a time; with Alt held the keys become system keys with the
    // Alt bit (29) set in their flags.
    ASSERT_TRUE(keyDown(VK_MENU));
    ASSERT_TRUE(keyDown(VK_F11));
    ASSERT_TRUE(keyUp(VK_F11));
    ASSERT_TRUE(keyUp(VK_MENU));
    std::optional<RecordedMessage> altF11 = target.waitForMessage(WM_SYSKEYDOWN, VK_F11);
    ASSERT_TRUE(altF11);
    EXPECT_NE(altF11->lParam & (1 << 29), 0);
    EXPECT_EQ(altF11->window, target.window());
    ASSERT_TRUE(target.waitForMessage(WM_SYSKEYUP, VK_F11));

    target.clearMessages();
    ASSERT_TRUE(pressKeys({VK_CONTROL, VK_MENU, VK_F9}));
    ASSERT_TRUE(target.waitForMessage(WM_KEYUP, VK_CONTROL));
    keys.clear();
    std::vector<UINT> numbers = keyMessagesOf(target.messages(), keys);
    ASSERT_EQ(keys, (std::vector<WPARAM>{VK_CONTROL, VK_MENU, VK_F9, VK_F9, VK_MENU, VK_CONTROL}));
    // With Ctrl held too, F9 comes as a plain key message, still with the Alt bit set.
    EXPECT_EQ(numbers[2], UINT{WM_KEYDOWN});
    std::optional<RecordedMessage> ctrlAltF9 = target.waitForMessage(WM_KEYDOWN, VK_F9);
    ASSERT_TRUE(ctrlAltF9);
    EXPECT_NE(ctrlAltF9->lParam & (1 << 29), 0);
}

TEST_F(Gui, HeldModifiersStayDownAcrossPointerMoves) {
    startTarget({"--text", "hold shift here"});
    POINT word = centreOf(target.findWord("shift")->rect);
    ASSERT_TRUE(movePointer({5, 5}));
    {
        HeldKey shift(VK_SHIFT);
        ASSERT_TRUE(shift.held());
        ASSERT_TRUE(movePointer(word));
        ASSERT_TRUE(movePointer({word.x + 3, word.y}));
        pumpFor(100);
        EXPECT_NE(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
        ASSERT_TRUE(click(MouseButton::Left));
        EXPECT_TRUE(target.waitForMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT));
    }
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
    EXPECT_TRUE(target.waitForMessage(WM_KEYUP, VK_SHIFT));
}

TEST_F(Gui, RecorderSeesMessagesFromAnotherThread) {
    MessageRecorder recorder;
    ASSERT_NE(recorder.window(), nullptr);
    bool handledDuringSend = false;
    recorder.onMessage(kNotifyMessage, [&](const RecordedMessage& message) -> LRESULT {
        handledDuringSend = message.wParam == 1;
        return 42;
    });
    DWORD_PTR reply = 0;
    std::thread sender([&] {
        SendMessageTimeoutA(recorder.window(), kNotifyMessage, 1, 0, SMTO_NORMAL, 2 * kWaitMs,
                            &reply);
        PostMessageA(recorder.window(), kHotKeyMessage, 2, 0);
    });
    std::optional<RecordedMessage> notify = recorder.waitFor(kNotifyMessage, 1, 2000);
    std::optional<RecordedMessage> hotKey = recorder.waitFor(kHotKeyMessage, 2);
    sender.join();
    ASSERT_TRUE(notify);
    EXPECT_TRUE(hotKey);
    EXPECT_TRUE(handledDuringSend);
    EXPECT_EQ(reply, 42u);
    EXPECT_EQ(recorder.count(kNotifyMessage), 1u);
    EXPECT_FALSE(recorder.waitFor(kHotKeyMessage, 3, 200));
}

TEST_F(Gui, RecorderRecordsWhatItIsAskedForAndWaitsBoundedly) {
    MessageRecorder recorder;
    const UINT belowUser = WM_USER - 1;
    SendMessageA(recorder.window(), belowUser, 0, 0);
    EXPECT_EQ(recorder.count(belowUser), 0u);
    recorder.record(belowUser);
    SendMessageA(recorder.window(), belowUser, 0, 0);
    EXPECT_EQ(recorder.count(belowUser), 1u);

    // A handler may replace itself while it runs; the next message meets the new one.
    recorder.onMessage(WM_USER, [&](const RecordedMessage&) -> LRESULT {
        recorder.onMessage(WM_USER, [](const RecordedMessage&) -> LRESULT { return 2; });
        return 1;
    });
    EXPECT_EQ(SendMessageA(recorder.window(), WM_USER, 0, 0), 1);
    EXPECT_EQ(SendMessageA(recorder.window(), WM_USER, 0, 0), 2);

    PostMessageA(recorder.window(), WM_APP, 0, 0);
    EXPECT_FALSE(recorder.quietFor(100));
    ULONGLONG before = GetTickCount64();
    EXPECT_FALSE(recorder.waitForAny(WM_APP + 1, 200));
    EXPECT_GE(GetTickCount64() - before, 200u);
}

TEST_F(Gui, RecorderSeesMessagesAndCopyDataFromAnotherProcess) {
    MessageRecorder recorder;
    std::string window = number(recorder.window());
    startTarget({"--text", "sender", "--send", window, "5120", "2", "0", "--post", window, "6551",
                 "2", "7", "--copydata", window, "QZRC", "48656c6c6f00"});
    std::optional<RecordedMessage> notify = recorder.waitFor(kNotifyMessage, 2);
    std::optional<RecordedMessage> hotKey = recorder.waitFor(kHotKeyMessage, 2);
    std::optional<RecordedMessage> copy = recorder.waitForAny(WM_COPYDATA);
    ASSERT_TRUE(notify);
    ASSERT_TRUE(hotKey);
    ASSERT_TRUE(copy);
    EXPECT_EQ(hotKey->lParam, 7);
    EXPECT_EQ(copy->copyKind, ULONG_PTR{'Q' | 'Z' << 8 | 'R' << 16 | 'C' << 24});
    EXPECT_EQ(copy->copyData, (std::vector<unsigned char>{'H', 'e', 'l', 'l', 'o', 0}));
    EXPECT_EQ(reinterpret_cast<HWND>(copy->wParam), target.window());
    recorder.clear();
    EXPECT_TRUE(recorder.quietFor(500));
}

TEST_F(Gui, ScreenshotIsABmpOfTheWholeDisplay) {
    startTarget({"--text", "Shot", "--x", "40", "--y", "60"});
    const RECT word = target.findWord("Shot")->rect;
    RECT ink{};
    ASSERT_TRUE(waitUntil([&] {
        ink = inkIn(word);
        return !IsRectEmpty(&ink);
    }));
    std::string path = artefactsDirectory() + "\\lxguitest-screenshot.bmp";
    ASSERT_TRUE(saveScreenshot(path));
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close();
    DeleteFileA(path.c_str());

    BITMAPFILEHEADER header;
    BITMAPINFOHEADER info;
    ASSERT_GE(bytes.size(), sizeof header + sizeof info);
    std::memcpy(&header, bytes.data(), sizeof header);
    std::memcpy(&info, bytes.data() + sizeof header, sizeof info);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    EXPECT_EQ(header.bfType, 0x4D42);
    EXPECT_EQ(header.bfSize, bytes.size());
    EXPECT_EQ(header.bfOffBits, sizeof header + sizeof info);
    EXPECT_EQ(info.biWidth, width);
    EXPECT_EQ(info.biHeight, height);
    EXPECT_EQ(info.biBitCount, 24);
    ASSERT_EQ(bytes.size(), header.bfOffBits + stride * static_cast<std::size_t>(height));

    // The file holds the screen: the word's ink is dark in it too, its background white.
    auto pixel = [&](LONG x, LONG y) {
        std::size_t at = header.bfOffBits + stride * static_cast<std::size_t>(height - 1 - y) +
                         static_cast<std::size_t>(x) * 3;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
    };
    bool darkInWord = false;
    for (LONG y = ink.top; y < ink.bottom; ++y)
        for (LONG x = ink.left; x < ink.right; ++x)
            darkInWord = darkInWord || isDark(pixel(x, y));
    EXPECT_TRUE(darkInWord);
    EXPECT_EQ(pixel(word.left - 2, word.top - 2), 0xFFFFFFu);
}

TEST_F(Gui, ScreenCopiesAreClippedToTheDisplay) {
    std::optional<ScreenImage> corner = captureScreen({-10, -10, 10, 10});
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner->width, 10);
    EXPECT_EQ(corner->height, 10);
    EXPECT_EQ(corner->pixels.size(), 100u);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_FALSE(captureScreen({width, 0, width + 10, 10}));
    EXPECT_FALSE(captureScreen({5, 5, 5, 50}));
}

} // namespace
} // namespace testsupport
