// Recording text output in this process (its entry points are redirected like every other's)
// and assembling the word in the bridge window: texts drawn on a memory DC while the collecting
// flag is set, block transfers to a window, runs reported by hand, threads drawing at once.
#include "testutil.h"

#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace gui = testsupport;

HWND bridgeWindow() {
    return static_cast<HWND>(LongToHandle(record().bridgeWindow));
}

bool sameRect(const CaptureRect& a, const CaptureRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string show(const CaptureRect& rect) {
    return "(" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ", " +
           std::to_string(rect.right) + ", " + std::to_string(rect.bottom) + ")";
}

// "中国人民共和国万岁" and one more in GB: ten characters.
const std::string kTenCharacters =
    "\xD6\xD0\xB9\xFA\xC8\xCB\xC3\xF1\xB9\xB2\xBA\xCD\xB9\xFA\xCD\xF2\xCB\xEA\xB0\xA1";

// Capture started and collecting, as during the capture step's repaint, with a notify window
// that reads the word with SN_GET_WORD while it handles SN_WORD_READY.
class WordCapture : public testing::Test {
  protected:
    void SetUp() override {
        std::memcpy(&saved_, &record(), sizeof saved_);
        ASSERT_EQ(SendSNMessage(SN_START, handleValue(notify_.window()), 0), 1);
        notify_.onMessage(SN_NOTIFY, [this](const gui::RecordedMessage& message) {
            if (message.wParam != SN_WORD_READY) return LRESULT{0};
            CapturedWordInfo info{};
            words_.push_back({SendSNMessage(SN_GET_WORD, 0, reinterpret_cast<LPARAM>(&info)), {}});
            words_.back().info = info;
            return LRESULT{0};
        });
        SendSNMessage(SN_SET_ENABLE, 1, 0);
        record().collecting = 1;
        record().targetWindow = static_cast<uint32_t>(handleValue(visibleWindow().window()));
        record().joinSpacedChinese = 0;
        record().wordText[0] = '\0';
        record().wordRect = {-1, -1, -1, -1};
    }
    void TearDown() override {
        record().collecting = 0;
        record().targetWindow = saved_.targetWindow;
        record().joinSpacedChinese = saved_.joinSpacedChinese;
        SendSNMessage(SN_STOP, 0, 0);
        SendSNMessage(SN_SET_NOTIFY_WINDOW, saved_.notifyWindow, 0);
    }

    void pointAt(int x, int y) {
        record().cursorX = x;
        record().cursorY = y;
    }
    // The word the notify window read, or an empty text when it was not told.
    std::string assemble() {
        words_.clear();
        SendMessageA(bridgeWindow(), SN_BRIDGE_ASSEMBLE, 0, 0);
        if (words_.empty()) return {};
        return std::string(words_.back().info.text, static_cast<size_t>(words_.back().length));
    }
    CaptureRect assembledRect() const {
        return words_.empty() ? CaptureRect{} : words_.back().info.wordRect;
    }

    struct ReadWord {
        int length;
        CapturedWordInfo info;
    };
    gui::MessageRecorder notify_;
    std::vector<ReadWord> words_;

  private:
    CaptureShared saved_;
};

// --- Assembly of reported runs ------------------------------------------------------------------

class Assembly : public WordCapture {
  protected:
    void report(uint32_t dc, CaptureRect rect, const std::string& text, bool doubleByte = false) {
        TextRunMessage run{};
        run.dc = dc;
        run.rect = rect;
        std::memcpy(run.text, text.data(), std::min<size_t>(text.size(), SN_TEXT_LIMIT));
        run.isDoubleByte = doubleByte;
        COPYDATASTRUCT data = {SN_KIND_TEXT_RUN, sizeof run, &run};
        SendMessageA(bridgeWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    // Makes a reported run the current word, as the recording does for the run under the
    // pointer.
    void makeWord(uint32_t dc, CaptureRect rect, const std::string& text, bool doubleByte = false) {
        record().wordDC = dc;
        record().wordRect = rect;
        record().wordIsDoubleByte = doubleByte;
        std::memcpy(record().wordText, text.c_str(), text.size() + 1);
        pointAt(rect.left + 2, rect.top + 2);
    }
};

TEST_F(Assembly, PiecesOneOrNoPixelApartJoinAndTwoPixelsApartDoNot) {
    for (int gap : {0, 1, 2}) {
        SCOPED_TRACE(gap);
        report(0x100, {10, 10, 40, 28}, "Hel");
        report(0x100, {40 + gap, 10, 60 + gap, 28}, "lo");
        report(0x100, {80, 10, 120, 28}, "world");
        makeWord(0x100, {10, 10, 40, 28}, "Hel");
        if (gap < 2) {
            EXPECT_EQ(assemble(), "Hello");
            EXPECT_TRUE(sameRect(assembledRect(), {10, 10, 60 + gap, 28})) << show(assembledRect());
        } else {
            EXPECT_EQ(assemble(), "Hel");
            EXPECT_TRUE(sameRect(assembledRect(), {10, 10, 40, 28})) << show(assembledRect());
        }
    }
    // Joining works leftwards too.
    report(0x100, {10, 10, 40, 28}, "Hel");
    report(0x100, {40, 10, 60, 28}, "lo");
    makeWord(0x100, {40, 10, 60, 28}, "lo");
    EXPECT_EQ(assemble(), "Hello");
}

TEST_F(Assembly, OnlyRunsOfTheSameDCKindAndLineJoin) {
    report(0x100, {10, 10, 40, 28}, "Hel");
    report(0x100, {40, 28, 60, 46}, "lo"); // the next line: no vertical overlap
    makeWord(0x100, {10, 10, 40, 28}, "Hel");
    EXPECT_EQ(assemble(), "Hel");

    report(0x100, {10, 10, 40, 28}, "Hel");
    report(0x200, {40, 10, 60, 28}, "lo");
    makeWord(0x100, {10, 10, 40, 28}, "Hel");
    EXPECT_EQ(assemble(), "Hel");

    report(0x100, {10, 10, 40, 28}, "ab");
    report(0x100, {40, 10, 72, 28}, "\xD6\xD0\xB9\xFA", true);
    makeWord(0x100, {10, 10, 40, 28}, "ab");
    EXPECT_EQ(assemble(), "ab");
    // A Chinese run on another line between them in the collection does not end the walk.
    report(0x100, {10, 10, 40, 28}, "Hel");
    report(0x100, {20, 40, 52, 58}, "\xD6\xD0\xB9\xFA", true);
    report(0x100, {40, 10, 60, 28}, "lo");
    makeWord(0x100, {10, 10, 40, 28}, "Hel");
    EXPECT_EQ(assemble(), "Hello");
}

TEST_F(Assembly, AChineseWordStartsAtTheCharacterUnderThePointer) {
    report(0x100, {100, 10, 300, 26}, kTenCharacters, true);
    makeWord(0x100, {100, 10, 300, 26}, kTenCharacters, true);
    pointAt(145, 15);
    EXPECT_EQ(assemble(), kTenCharacters.substr(4));
    EXPECT_TRUE(sameRect(assembledRect(), {140, 10, 160, 26})) << show(assembledRect());
}

TEST_F(Assembly, AChineseWordHoldsAtMostSixteenCharacters) {
    std::string twenty = kTenCharacters + kTenCharacters;
    report(0x100, {0, 10, 400, 26}, twenty, true);
    makeWord(0x100, {0, 10, 400, 26}, twenty, true);
    pointAt(5, 15);
    EXPECT_EQ(assemble(), twenty.substr(0, 32));
}

TEST_F(Assembly, TheWordIsGoneOnceTheNotificationReturns) {
    report(0x100, {10, 10, 40, 28}, "word");
    makeWord(0x100, {10, 10, 40, 28}, "word");
    EXPECT_EQ(assemble(), "word");
    EXPECT_EQ(record().wordText[0], '\0');
    CapturedWordInfo info{};
    EXPECT_EQ(SendSNMessage(SN_GET_WORD, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_STREQ(info.text, "");
    // Without a word nobody is told.
    EXPECT_EQ(assemble(), "");
    EXPECT_TRUE(words_.empty());
}

// --- Recording what this process draws -----------------------------------------------------

// A memory DC (its device coordinates are its screen coordinates) with Tahoma at 18 pixels.
class Recording : public WordCapture {
  protected:
    void SetUp() override {
        WordCapture::SetUp();
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(dc_, 400, 100);
        previousBitmap_ = SelectObject(dc_, bitmap_);
        font_ = CreateFontA(-18, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS, 0, 0,
                            0, "Tahoma");
        previousFont_ = SelectObject(dc_, font_);
    }
    void TearDown() override {
        SelectObject(dc_, previousFont_);
        SelectObject(dc_, previousBitmap_);
        DeleteObject(font_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        WordCapture::TearDown();
    }
    SIZE extent(const char* text, int length) {
        SIZE size{};
        GetTextExtentPoint32A(dc_, text, length, &size);
        return size;
    }
    std::string word() const { return record().wordText; }

    HDC dc_ = nullptr;

  private:
    HBITMAP bitmap_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
};

TEST_F(Recording, TheRunUnderThePointerBecomesTheWord) {
    const char* text = "hello world";
    SIZE before = extent(text, 6);
    SIZE all = extent(text, 11);
    pointAt(10 + before.cx + 3, 15);
    ASSERT_TRUE(TextOutA(dc_, 10, 10, text, 11));
    EXPECT_EQ(word(), "world");
    EXPECT_TRUE(sameRect(record().wordRect, {10 + before.cx, 10, 10 + all.cx, 10 + all.cy}))
        << show(record().wordRect);
    EXPECT_EQ(static_cast<HDC>(LongToHandle(record().wordDC)), dc_);
    EXPECT_EQ(record().wordIsDoubleByte, 0);

    // Nothing is recorded outside the capture step's repaint.
    record().wordText[0] = '\0';
    record().collecting = 0;
    ASSERT_TRUE(TextOutA(dc_, 10, 10, text, 11));
    EXPECT_EQ(word(), "");
}

TEST_F(Recording, RightAlignedAndCentredTextsLandWhereTheLeftAlignedOneDoes) {
    const char* text = "hello world";
    SIZE before = extent(text, 6);
    SIZE all = extent(text, 11);
    pointAt(10 + before.cx + 3, 15);
    SetTextAlign(dc_, TA_RIGHT);
    ASSERT_TRUE(TextOutA(dc_, 10 + all.cx, 10, text, 11));
    EXPECT_EQ(word(), "world");
    EXPECT_TRUE(sameRect(record().wordRect, {10 + before.cx, 10, 10 + all.cx, 10 + all.cy}))
        << show(record().wordRect);

    record().wordText[0] = '\0';
    SetTextAlign(dc_, TA_CENTER | TA_BOTTOM);
    ASSERT_TRUE(TextOutA(dc_, 10 + all.cx / 2, 10 + all.cy, text, 11));
    SetTextAlign(dc_, TA_LEFT | TA_TOP);
    EXPECT_EQ(word(), "world");
    EXPECT_EQ(record().wordRect.left, 10 + before.cx);
    EXPECT_EQ(record().wordRect.top, 10);
    EXPECT_NEAR(record().wordRect.right, 10 + all.cx, 1);
}

TEST_F(Recording, WideTextsWithAdvancesAndGlyphIndices) {
    const wchar_t* text = L"hello world";
    INT advances[11];
    for (INT& advance : advances)
        advance = 14;
    pointAt(10 + 6 * 14 + 3, 15);
    ASSERT_TRUE(ExtTextOutW(dc_, 10, 10, 0, nullptr, text, 11, advances));
    EXPECT_EQ(word(), "world");
    EXPECT_EQ(record().wordRect.left, 10 + 6 * 14);
    EXPECT_EQ(record().wordRect.right, 10 + 11 * 14);

    record().wordText[0] = '\0';
    pointAt(10 + extent("hello ", 6).cx + 3, 15);
    ASSERT_TRUE(TextOutW(dc_, 10, 10, text, 11));
    EXPECT_EQ(word(), "world");

    // Glyph indices are drawn unchanged and recorded as the characters the font shows.
    WORD glyphs[11];
    ASSERT_EQ(GetGlyphIndicesW(dc_, text, 11, glyphs, 0), 11u);
    record().wordText[0] = '\0';
    ASSERT_TRUE(ExtTextOutW(dc_, 10, 10, ETO_GLYPH_INDEX, nullptr,
                            reinterpret_cast<LPCWSTR>(glyphs), 11, nullptr));
    EXPECT_EQ(word(), "world");
}

TEST_F(Recording, ChineseRunsAreReportedWholeOrJoinedAcrossASpace) {
    const std::string spaced = "\xD6\xD0\xB9\xFA \xC8\xCB\xC3\xF1";
    pointAt(12, 15);
    ASSERT_TRUE(TextOutA(dc_, 10, 10, spaced.data(), static_cast<int>(spaced.size())));
    EXPECT_EQ(word(), spaced.substr(0, 4));
    EXPECT_EQ(record().wordIsDoubleByte, 1);

    record().joinSpacedChinese = 1;
    ASSERT_TRUE(TextOutA(dc_, 10, 10, spaced.data(), static_cast<int>(spaced.size())));
    EXPECT_EQ(word(), "\xD6\xD0\xB9\xFA\xC8\xCB\xC3\xF1");
}

// Lengths from the caller are never trusted: a negative one is passed on to the system
// unchanged, a missing text fails the call, and nothing is recorded.
TEST_F(Recording, BadLengthsAndMissingTextsArePassedOn) {
    pointAt(12, 15);
    EXPECT_FALSE(TextOutA(dc_, 10, 10, nullptr, 5));
    TextOutA(dc_, 10, 10, "abc", -1);
    EXPECT_FALSE(TextOutW(dc_, 10, 10, nullptr, 5));
    TextOutW(dc_, 10, 10, L"abc", -3);
    EXPECT_FALSE(ExtTextOutA(dc_, 10, 10, 0, nullptr, nullptr, 4, nullptr));
    EXPECT_FALSE(ExtTextOutW(dc_, 10, 10, 0, nullptr, nullptr, 0x7FFFFFFF, nullptr));
    EXPECT_TRUE(ExtTextOutW(dc_, 10, 10, ETO_OPAQUE, nullptr, nullptr, 0, nullptr));
    SIZE size{};
    EXPECT_FALSE(GetTextExtentPoint32A(dc_, nullptr, 3, &size));
    GetTextExtentPoint32A(dc_, "abc", -1, &size);
    EXPECT_EQ(word(), "");
    // A text longer than a run carries is cut to what a run holds.
    std::string longWord(2000, 'x');
    pointAt(12, 15);
    ASSERT_TRUE(TextOutA(dc_, 10, 10, longWord.data(), static_cast<int>(longWord.size())));
    EXPECT_EQ(word().size(), size_t{SN_TEXT_LIMIT});
}

// Text drawn off screen and copied to the window is captured at its place on the screen.
TEST_F(Recording, ABlitCarriesTheTextToTheScreen) {
    HWND window = visibleWindow().window();
    const char* text = "hello world";
    SIZE before = extent(text, 6);
    SIZE all = extent(text, 11);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    pointAt(client.x + 10 + before.cx + 3, client.y + 15);
    ASSERT_TRUE(TextOutA(dc_, 10, 10, text, 11));
    HDC windowDC = GetDC(window);
    ASSERT_TRUE(BitBlt(windowDC, 0, 0, 280, 60, dc_, 0, 0, SRCCOPY));
    EXPECT_EQ(assemble(), "world");
    ReleaseDC(window, windowDC);
    EXPECT_TRUE(sameRect(assembledRect(), {client.x + 10 + before.cx, client.y + 10,
                                           client.x + 10 + all.cx, client.y + 10 + all.cy}))
        << show(assembledRect());
}

// Threads drawing at once through the redirected entry points while everything is recorded:
// nothing crashes or hangs, and the entry points keep their jumps all along, so that no thread's
// text escapes the redirection.
TEST_F(Recording, ThreadsDrawingAtOnceNeitherCrashNorHang) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 1000;
    std::atomic<int> finished = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&finished] {
            HDC dc = CreateCompatibleDC(nullptr);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, 200, 40);
            HGDIOBJ previous = SelectObject(dc, bitmap);
            SIZE size{};
            INT advances[5] = {9, 9, 9, 9, 9};
            for (int round = 0; round < kRounds; ++round) {
                TextOutA(dc, 0, 0, "stress test", 11);
                ExtTextOutW(dc, 0, 20, 0, nullptr, L"words", 5, advances);
                GetTextExtentPoint32A(dc, "stress", 6, &size);
                BitBlt(dc, 100, 0, 50, 20, dc, 0, 0, SRCCOPY);
            }
            SelectObject(dc, previous);
            DeleteObject(bitmap);
            DeleteDC(dc);
            ++finished;
        });
    }
    HMODULE graphics = GetModuleHandleA("GDI32.DLL");
    const char* entries[] = {"TextOutA", "ExtTextOutA", "ExtTextOutW", "GetTextExtentPoint32A",
                             "BitBlt"};
    bool alwaysJumps = true;
    bool done = gui::waitUntil(
        [&] {
            for (const char* name : entries) {
                auto* entry = reinterpret_cast<const uint8_t*>(
                    reinterpret_cast<void*>(GetProcAddress(graphics, name)));
                alwaysJumps = alwaysJumps && *entry == 0xE9;
            }
            return finished == kThreads;
        },
        120000);
    for (std::thread& thread : threads)
        done ? thread.join() : thread.detach();
    ASSERT_TRUE(done) << "the drawing threads hang";
    EXPECT_TRUE(alwaysJumps) << "an entry point lost its jump while threads drew";
    SendMessageA(bridgeWindow(), SN_BRIDGE_ASSEMBLE, 0, 0);
    EXPECT_EQ(LXbCanExit(), 1);
}

} // namespace
