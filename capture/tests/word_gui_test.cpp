// Catching words end to end: lxtarget draws known texts through each route, the pointer rests on
// a word, and the notify window reads the word with SN_GET_WORD while it handles SN_WORD_READY.
#include "gui.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace gui = testsupport;

// "中国人民" and the same with a space in the middle, in GB.
const std::string kChinaPeople = "\xD6\xD0\xB9\xFA\xC8\xCB\xC3\xF1";
const std::string kSpacedHex = "d6d0b9fa20c8cbc3f1";
constexpr int kLeft = 20;
constexpr int kFontPixels = 18;

struct CaughtWord {
    std::string text;
    RECT rect;
};

// The width of a text in lxtarget's font, measured the way lxtarget measures it.
int widthOf(const char* text) {
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontA(-kFontPixels, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                             OUT_TT_PRECIS, 0, 0, 0, "Tahoma");
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

std::vector<std::string> line(const char* text, const char* route, int row) {
    return {"--text",  text,
            "--route", route,
            "--x",     std::to_string(kLeft),
            "--y",     std::to_string(16 + 36 * row)};
}

void append(std::vector<std::string>& all, const std::vector<std::string>& more) {
    all.insert(all.end(), more.begin(), more.end());
}

// One target window holding every case, started once for the suite.
std::vector<std::string> targetArguments() {
    std::vector<std::string> all = {"--window", "40", "40", "760", "600"};
    append(all, line("plain words here", "textouta", 0));
    append(all, line("wide words here", "textoutw", 1));
    append(all, line("spaced words here", "exttextoutw-dx", 2));
    append(all, line("right words", "textouta", 3));
    append(all, {"--align", "right"});
    append(all, line("centred words", "textouta", 4));
    append(all, {"--align", "center"});
    int hel = widthOf("Hel");
    append(all, line("Hel", "textouta", 5));
    append(all, {"--text", "lo", "--route", "textouta", "--x", std::to_string(kLeft + hel), "--y",
                 std::to_string(16 + 36 * 5)});
    append(all, line("Hel", "textouta", 6));
    append(all, {"--text", "lo", "--route", "textouta", "--x", std::to_string(kLeft + hel + 2),
                 "--y", std::to_string(16 + 36 * 6)});
    append(all, line("copied words", "bitblt", 7));
    append(all, {"--gb", "d6d0b9fac8cbc3f1", "--route", "textouta", "--x", "20", "--y",
                 std::to_string(16 + 36 * 8)});
    append(all, line("U.S.A. 3.14 1,000 1/2 a,b end.Next", "textouta", 9));
    append(all, {"--gb", kSpacedHex, "--route", "textouta", "--x", "20", "--y",
                 std::to_string(16 + 36 * 10)});
    return all;
}

class CatchWords : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!gui::displayAvailable()) return;
        recorder_ = new gui::MessageRecorder;
        target_ = new gui::TargetProgram;
        recorder_->onMessage(SN_NOTIFY, [](const gui::RecordedMessage& message) {
            if (message.wParam != SN_WORD_READY) return LRESULT{0};
            CapturedWordInfo info{};
            int length = SendSNMessage(SN_GET_WORD, 0, reinterpret_cast<LPARAM>(&info));
            const CaptureRect& r = info.wordRect;
            caught_ = CaughtWord{std::string(info.text, static_cast<size_t>(length)),
                                 RECT{r.left, r.top, r.right, r.bottom}};
            return LRESULT{0};
        });
        delay_ = SendSNMessage(SN_SET_DELAY, 100, 0);
        auxiliaryKey_ = SendSNMessage(SN_SET_AUX_KEY, 0, 0);
        joinSpaced_ = SendSNMessage(SN_SET_JOIN_SPACED, 0, 0);
        hooked_ = LXbHookAll(recorder_->window()) == 1 &&
                  SendSNMessage(SN_START, handleValue(recorder_->window()), 0) == 1;
        SendSNMessage(SN_SET_ENABLE, 1, 0);
        started_ = target_->start(targetArguments());
    }
    static void TearDownTestSuite() {
        if (!recorder_) return;
        target_->stop();
        SendSNMessage(SN_STOP, 0, 0);
        LXbUnhookAll(recorder_->window());
        SendSNMessage(SN_SET_DELAY, delay_, 0);
        SendSNMessage(SN_SET_AUX_KEY, auxiliaryKey_, 0);
        SendSNMessage(SN_SET_JOIN_SPACED, joinSpaced_, 0);
        delete target_;
        delete recorder_;
    }
    void SetUp() override {
        if (!gui::displayAvailable()) GTEST_SKIP() << "no X display: run the tests under xvfb-run";
        ASSERT_TRUE(hooked_);
        ASSERT_TRUE(started_) << target_->error();
    }

    static const gui::DrawnWord& word(const std::string& text, size_t occurrence = 0) {
        const gui::DrawnWord* drawn = target_->findWord(text, occurrence);
        if (!drawn) throw std::runtime_error("lxtarget did not draw " + text);
        return *drawn;
    }
    // Rests the pointer there (first somewhere else, so that every rest captures anew) and
    // returns the word the notify window read; a rest that catches nothing is tried once more,
    // as a busy machine may deliver the first pointer move late.
    static std::optional<CaughtWord> catchAt(POINT point) {
        for (int attempt = 0; attempt < 2 && !caught_; ++attempt) {
            gui::movePointer({5, 5});
            gui::pumpFor(50);
            if (!gui::movePointer(point)) return std::nullopt;
            gui::waitUntil([] { return caught_.has_value(); }, 2000);
        }
        std::optional<CaughtWord> caught = caught_;
        caught_.reset();
        return caught;
    }
    static std::optional<CaughtWord> catchWord(const std::string& text, size_t occurrence = 0) {
        return catchAt(gui::centreOf(word(text, occurrence).rect));
    }

    static void expectNear(const RECT& actual, const RECT& expected) {
        EXPECT_NEAR(actual.left, expected.left, 1);
        EXPECT_NEAR(actual.top, expected.top, 1);
        EXPECT_NEAR(actual.right, expected.right, 1);
        EXPECT_NEAR(actual.bottom, expected.bottom, 1);
    }

    static inline gui::MessageRecorder* recorder_;
    static inline gui::TargetProgram* target_;
    static inline std::optional<CaughtWord> caught_;
    static inline bool hooked_;
    static inline bool started_;
    static inline int delay_;
    static inline int auxiliaryKey_;
    static inline int joinSpaced_;
};

TEST_F(CatchWords, EveryTextRouteGivesTheWordAndItsRectangle) {
    for (const char* text : {"plain", "wide", "spaced", "right", "centred", "copied"}) {
        SCOPED_TRACE(text);
        std::optional<CaughtWord> caught = catchWord(text);
        ASSERT_TRUE(caught);
        EXPECT_EQ(caught->text, text);
        expectNear(caught->rect, word(text).rect);
    }
    // The word is there only while the notification is handled.
    CapturedWordInfo info{};
    EXPECT_EQ(SendSNMessage(SN_GET_WORD, 0, reinterpret_cast<LPARAM>(&info)), 0);
}

TEST_F(CatchWords, PiecesDrawnByTwoCallsJoinWhenTheyTouch) {
    std::optional<CaughtWord> caught = catchWord("Hel", 0);
    ASSERT_TRUE(caught);
    EXPECT_EQ(caught->text, "Hello");
    EXPECT_NEAR(caught->rect.right, word("lo", 0).rect.right, 1);

    caught = catchWord("Hel", 1);
    ASSERT_TRUE(caught);
    EXPECT_EQ(caught->text, "Hel");
    caught = catchWord("lo", 1);
    ASSERT_TRUE(caught);
    EXPECT_EQ(caught->text, "lo");
}

TEST_F(CatchWords, AChineseWordStartsAtTheCharacterUnderThePointer) {
    std::optional<CaughtWord> caught = catchWord(kChinaPeople.substr(4, 2));
    ASSERT_TRUE(caught);
    EXPECT_EQ(caught->text, kChinaPeople.substr(4));
    expectNear(caught->rect, word(kChinaPeople.substr(4, 2)).rect);
}

TEST_F(CatchWords, ASpaceBetweenChineseCharactersIsDroppedWhenAsked) {
    const std::string first = kChinaPeople.substr(0, 2);
    std::optional<CaughtWord> caught = catchWord(first, 1);
    ASSERT_TRUE(caught);
    EXPECT_EQ(caught->text, kChinaPeople.substr(0, 4));

    SendSNMessage(SN_SET_JOIN_SPACED, 1, 0);
    caught = catchWord(first, 1);
    SendSNMessage(SN_SET_JOIN_SPACED, 0, 0);
    ASSERT_TRUE(caught);
    EXPECT_EQ(caught->text, kChinaPeople);
}

TEST_F(CatchWords, NumbersAndAbbreviationsStayWhole) {
    for (const char* text : {"U.S.A.", "3.14", "1,000", "1/2"}) {
        SCOPED_TRACE(text);
        std::optional<CaughtWord> caught = catchWord(text);
        ASSERT_TRUE(caught);
        EXPECT_EQ(caught->text, text);
    }
    const RECT& ab = word("a,b").rect;
    std::optional<CaughtWord> caught = catchAt({ab.left + 2, (ab.top + ab.bottom) / 2});
    ASSERT_TRUE(caught);
    EXPECT_EQ(caught->text, "a");
    const RECT& endNext = word("end.Next").rect;
    caught = catchAt({endNext.right - 3, (endNext.top + endNext.bottom) / 2});
    ASSERT_TRUE(caught);
    EXPECT_EQ(caught->text, "Next");
}

} // namespace
