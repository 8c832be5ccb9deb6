// The prompt bar of LEXORA.EXE run as a program of its own, catching words that another program
// (lxtarget) draws: the pointer rests on a word with real pointer moves, and the bar's place,
// visibility and text (the word line, a space and the translation line) are read across the
// process boundary.
#include "gui.h"
#include "picture.h"
#include "program_test.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lexoratest {
namespace {

namespace gui = testsupport;
using gui::waitUntil;

constexpr char kSentence[] = "The dictionary reads words";
constexpr char kWord[] = "dictionary";
// GB: "字典", the dictionary's meaning of dictionary; "词典" (drawn by the target) and its "词".
constexpr char kDictionaryMeaning[] = "\xd7\xd6\xb5\xe4";
constexpr char kChineseWord[] = "\xb4\xca\xb5\xe4";
constexpr char kChineseWordHex[] = "b4cab5e4";
constexpr char kFirstCharacter[] = "\xb4\xca";
// The translation line's fill when it is not wrapped.
constexpr std::uint32_t kTranslationLineFill = 0xFFFF7F;

// Waits for a capture: the catch delay, an acting tick and Wine's delivery, generously.
constexpr DWORD kShowMs = 5000;
// Five acting ticks away from the word, generously.
constexpr DWORD kHideMs = 3000;
constexpr DWORD kSettleMs = 1500;
// The target window's place, and a spot of its client area where nothing is drawn.
constexpr int kTargetLeft = 40;
constexpr int kTargetWidth = 760;
constexpr POINT kBlankSpot{600, 300};

std::string textOf(HWND window) {
    std::vector<char> text(2048, '\0');
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool sameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

int heightOf(const RECT& rect) {
    return rect.bottom - rect.top;
}

// What typing the translation line leaves: its double-byte characters; single bytes are skipped.
std::string doubleByteCharacters(const std::string& text) {
    std::string characters;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        auto lead = static_cast<unsigned char>(text[i]);
        auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead <= 128) continue;
        if (trail > 32) characters += text.substr(i++, 2);
    }
    return characters;
}

// The bar's text after the word line and its space.
std::string translationLine(const std::string& barText) {
    std::size_t space = barText.find(' ', barText.find_first_not_of(' '));
    return space == std::string::npos ? "" : barText.substr(space + 1);
}

// The bounding box of the pixels of one colour in a screen rectangle; empty when there are none.
RECT areaOfColour(const RECT& screenRect, std::uint32_t colour) {
    RECT area{};
    std::optional<gui::ScreenImage> image = gui::captureScreen(screenRect);
    if (!image) return area;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            if (image->at(x, y) != colour) continue;
            RECT pixel{screenRect.left + x, screenRect.top + y, screenRect.left + x + 1,
                       screenRect.top + y + 1};
            UnionRect(&area, &area, &pixel);
        }
    return area;
}

// The nonclient parts of the target's window, so that a text can be placed at the screen's foot.
RECT targetFrameExtents() {
    RECT client{0, 0, 100, 100};
    RECT frame = client;
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, TRUE);
    return {client.left - frame.left, client.top - frame.top, frame.right - client.right,
            frame.bottom - client.bottom};
}

// A text's options: its kind (--text or --gb), itself and its place in the client area.
std::vector<std::string> textAt(const char* kind, const char* text, int y) {
    return {kind, text, "--x", "20", "--y", std::to_string(y)};
}

// One window from the top of the screen to its foot: the sentence at the top and again just
// above the foot, the Chinese word, and an edit control holding the focus.
std::vector<std::string> targetArguments() {
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT frame = targetFrameExtents();
    int clientHeight = screenHeight - frame.top - frame.bottom;
    std::vector<std::string> arguments = {"--window", std::to_string(kTargetLeft), "0",
                                          std::to_string(kTargetWidth),
                                          std::to_string(screenHeight)};
    for (const auto& text : {textAt("--text", kSentence, 16), textAt("--gb", kChineseWordHex, 100),
                             textAt("--text", kSentence, clientHeight - 30)})
        arguments.insert(arguments.end(), text.begin(), text.end());
    arguments.insert(arguments.end(), {"--edit", "20", "184"});
    return arguments;
}

class ProgramPromptTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (HasFatalFailure()) return;
        setCatchSetting("Catch Word", "1");
        setCatchSetting("Lock Prompt", "0");
        setCatchSetting("Catch Delay Time", "2");
        setCatchSetting("Prompt Hide Time", "100");
        setCatchSetting("Auxiliary Key", "NONE");
        directory_.writeSetting("Word Break", "HZ Word Break", "2");
    }

    static void setCatchSetting(const char* key, const char* value) {
        directory_.writeSetting("Catch Word", key, value);
    }

    // LEXORA first, so that its hooks are in place when the target starts and takes the focus.
    void startWithTarget() {
        ASSERT_NO_FATAL_FAILURE(startProgram());
        bar_ = program_.promptBar();
        ASSERT_NE(bar_, nullptr) << "no window of class " << kPromptBarClass;
        ASSERT_TRUE(target_.start(targetArguments())) << target_.error();
    }

    const gui::DrawnWord& word(const std::string& text, std::size_t occurrence = 0) const {
        const gui::DrawnWord* drawn = target_.findWord(text, occurrence);
        if (!drawn) throw std::runtime_error("lxtarget did not draw " + text);
        return *drawn;
    }

    POINT blankSpot() const {
        RECT target = windowRect(target_.window());
        return {target.left + kBlankSpot.x, target.top + kBlankSpot.y};
    }

    bool barShows(const std::string& beginning, DWORD timeoutMs = kShowMs) const {
        return waitUntil(
            [&] { return IsWindowVisible(bar_) && textOf(bar_).starts_with(beginning); },
            timeoutMs);
    }

    // Rests the pointer on a point, coming from a blank spot, until the bar shows a text with
    // that beginning; tried once more, as a busy machine may deliver the first move late.
    bool restUntilShown(POINT point, const std::string& beginning) const {
        for (int attempt = 0; attempt < 2; ++attempt) {
            gui::movePointer(blankSpot());
            gui::pumpFor(50);
            if (gui::movePointer(point) && barShows(beginning)) return true;
        }
        return false;
    }

    bool barHides(DWORD timeoutMs = kHideMs) const {
        return waitUntil([&] { return !IsWindowVisible(bar_); }, timeoutMs);
    }

    // What became of the bar in that time, watched at every poll so that a hide and show in
    // between is seen too; "" when it stayed shown in one place.
    std::string barChange(DWORD ms) const {
        RECT place = windowRect(bar_);
        DWORD start = GetTickCount();
        std::string change;
        waitUntil(
            [&] {
                RECT now = windowRect(bar_);
                if (!IsWindowVisible(bar_))
                    change = "hidden";
                else if (!sameRect(now, place))
                    change = "moved to " + std::to_string(now.left) + "," +
                             std::to_string(now.top) + ", showing \"" + textOf(bar_) + "\",";
                return !change.empty();
            },
            ms);
        if (!change.empty()) change += " after " + std::to_string(GetTickCount() - start) + " ms";
        return change;
    }

    gui::TargetProgram target_;
    HWND bar_ = nullptr;
};

TEST_F(ProgramPromptTest, ShowsTheTranslationBelowTheWordWhileThePointerIsOnWordOrBar) {
    ASSERT_NO_FATAL_FAILURE(startWithTarget());
    const gui::DrawnWord& dictionary = word(kWord);
    POINT pointer = gui::centreOf(dictionary.rect);
    EXPECT_FALSE(IsWindowVisible(bar_));
    ASSERT_TRUE(restUntilShown(pointer, kWord)) << "bar: \"" << textOf(bar_) << "\"";

    // The word line, then the translation line with the transcription in brackets and the
    // meanings.
    std::string text = textOf(bar_);
    EXPECT_TRUE(text.starts_with(std::string(kWord) + " ")) << text;
    std::size_t open = text.find('[');
    EXPECT_NE(open, std::string::npos) << text;
    EXPECT_NE(text.find(']', open), std::string::npos) << text;
    EXPECT_NE(text.find(kDictionaryMeaning), std::string::npos) << text;

    // Below the word, starting at the pointer.
    RECT bar = windowRect(bar_);
    EXPECT_GE(bar.top, dictionary.rect.bottom);
    EXPECT_LE(bar.top, dictionary.rect.bottom + heightOf(dictionary.rect) + 4);
    EXPECT_NEAR(bar.left, pointer.x, 1);

    // A picture of the bar beside the word, for the documentation.
    gui::pumpFor(300);
    RECT picture{};
    UnionRect(&picture, &target_.texts().front().rect, &bar);
    InflateRect(&picture, 12, 12);
    EXPECT_TRUE(savePicture(picture, "prompt-bar"));

    // The same word caught again at the same place neither moves nor shows the bar anew.
    ASSERT_TRUE(gui::movePointer({pointer.x + 3, pointer.y}));
    EXPECT_EQ(barChange(kSettleMs), "");

    // The pointer moving from the word onto the bar keeps it, on its first button as on its
    // own texts about its middle; moving elsewhere hides it.
    ASSERT_TRUE(gui::movePointer({bar.left + 8, (bar.top + bar.bottom) / 2}));
    EXPECT_EQ(barChange(kSettleMs), "") << "the pointer on the first button";
    ASSERT_TRUE(gui::movePointer(gui::centreOf(bar)));
    EXPECT_EQ(barChange(kSettleMs), "") << "the pointer on the middle of the bar";
    ASSERT_TRUE(gui::movePointer(blankSpot()));
    EXPECT_TRUE(barHides());
    closeProgram();
}

TEST_F(ProgramPromptTest, ShowsItAboveAWordAtTheFootOfTheScreen) {
    ASSERT_NO_FATAL_FAILURE(startWithTarget());
    const gui::DrawnWord& low = word(kWord, 1);
    ASSERT_LE(low.rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    ASSERT_TRUE(restUntilShown(gui::centreOf(low.rect), kWord));
    RECT bar = windowRect(bar_);
    EXPECT_LE(bar.bottom, low.rect.top);
    EXPECT_GE(bar.bottom, low.rect.top - heightOf(low.rect) - 4);
    closeProgram();
}

TEST_F(ProgramPromptTest, ALockedBarNeitherMovesNorHides) {
    setCatchSetting("Lock Prompt", "1");
    setCatchSetting("Prompt Bar Position", "300,600");
    ASSERT_NO_FATAL_FAILURE(startWithTarget());
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(bar_) != FALSE; }))
        << "a locked bar shows from the start";
    RECT place = windowRect(bar_);
    EXPECT_EQ(place.left, 300);
    EXPECT_EQ(place.top, 600);

    ASSERT_TRUE(restUntilShown(gui::centreOf(word(kWord).rect), kWord));
    RECT shown = windowRect(bar_);
    EXPECT_EQ(shown.left, place.left);
    EXPECT_EQ(shown.top, place.top);
    ASSERT_TRUE(gui::movePointer(blankSpot()));
    EXPECT_EQ(barChange(kSettleMs), "");
    closeProgram();
}

TEST_F(ProgramPromptTest, AChineseWordIsAnsweredWithItsEnglishEquivalents) {
    ASSERT_NO_FATAL_FAILURE(startWithTarget());
    ASSERT_TRUE(restUntilShown(gui::centreOf(word(kFirstCharacter).rect), kChineseWord))
        << "bar: \"" << textOf(bar_) << "\"";
    std::string text = textOf(bar_);
    EXPECT_TRUE(text.starts_with(std::string(kChineseWord) + " ")) << text;
    EXPECT_NE(translationLine(text).find(kWord), std::string::npos) << text;
    closeProgram();
}

TEST_F(ProgramPromptTest, TheRightButtonOnTheTranslationTypesItsChineseIntoTheFocusedControl) {
    ASSERT_NO_FATAL_FAILURE(startWithTarget());
    HWND edit = FindWindowExA(target_.window(), nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(restUntilShown(gui::centreOf(word(kWord).rect), kWord));
    std::string typed = doubleByteCharacters(translationLine(textOf(bar_)));
    ASSERT_NE(typed.find(kDictionaryMeaning), std::string::npos) << textOf(bar_);

    // The translation line is the bar's one text on the yellow fill.
    gui::pumpFor(300);
    RECT line = areaOfColour(windowRect(bar_), kTranslationLineFill);
    ASSERT_FALSE(IsRectEmpty(&line)) << "no translation line drawn on RGB(255, 255, 127)";
    ASSERT_TRUE(gui::movePointer(gui::centreOf(line)));
    gui::pumpFor(300);
    ASSERT_TRUE(gui::click(gui::MouseButton::Right));
    EXPECT_TRUE(waitUntil([&] { return textOf(edit) == typed; }))
        << "the edit control holds \"" << textOf(edit) << "\"";
    closeProgram();
}

TEST_F(ProgramPromptTest, APointerRestingOnTheWordHidesTheBarAfterThePromptHideTime) {
    // Ten acting ticks of 100 ms.
    setCatchSetting("Prompt Hide Time", "10");
    ASSERT_NO_FATAL_FAILURE(startWithTarget());
    ASSERT_TRUE(restUntilShown(gui::centreOf(word(kWord).rect), kWord));
    DWORD shown = GetTickCount();
    EXPECT_TRUE(barHides(kShowMs));
    EXPECT_GE(GetTickCount() - shown, 800u);
    closeProgram();
}

} // namespace
} // namespace lexoratest
