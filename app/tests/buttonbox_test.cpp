// A button box inside the test program, with the program's prompt-bar bitmaps, driven by real
// pointer moves and button presses: commands, toggles, drags, hover reports, layout, painting.
#include "buttonbox.h"
#include "gui.h"

#include <cpconv.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace lexora {
namespace {

using testsupport::buttonDown;
using testsupport::buttonUp;
using testsupport::MouseButton;
using testsupport::movePointer;
using testsupport::waitUntil;

constexpr int kPin = 201;
constexpr int kQuit = 202;
constexpr int kSaveWord = 208;
constexpr int kWordLine = 209;
constexpr int kTranslationLine = 210;
constexpr int kEmptyLine = 212;

// A box that keeps what it hands to its phonetic routine.
class PhoneticBox : public LXButtonBox {
  public:
    std::vector<std::string> phonetics;

  protected:
    int drawPhonetic(HDC dc, int x, int y, const char* text, int length) override {
        phonetics.emplace_back(text, static_cast<std::size_t>(length));
        return LXButtonBox::drawPhonetic(dc, x, y, text, length);
    }
};

// Answers for the pin (checked) and the save button (taking no clicks).
class StateOwner : public TWindow {
  public:
    void commandState(CommandEnabler& enabler) override {
        if (enabler.id == kPin) enabler.check(true);
        if (enabler.id == kSaveWord) enabler.enable(false);
    }
};

class ButtonBoxTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::displayAvailable());
        CPC_SetCodePage(CPC_PAGE_GB);
        for (UINT message : {UINT{WM_COMMAND}, UINT{WM_MENUSELECT}, UINT{WM_ENTERIDLE}})
            recorder_.record(message);
        ASSERT_TRUE(box_.createBox(recorder_.window(), WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
        const LXBox* last = box_.insert(
            std::make_unique<LXBox>(kPin, kPin, LXBox::kToggle, true, true, LXBox::kUp, 0),
            nullptr);
        for (int id = kQuit; id <= kSaveWord; ++id)
            last = box_.insert(
                std::make_unique<LXBox>(id, id, LXBox::kPlain, false, true, LXBox::kUp, 0), last);
        last = box_.insert(
            std::make_unique<LXBox>("word", kWordLine, LXBox::kToggle, true, LXBox::kUp, 0), last);
        last = box_.insert(std::make_unique<LXBox>("translation", kTranslationLine, LXBox::kPlain,
                                                   false, LXBox::kUp, 0),
                           last);
        box_.insert(
            std::make_unique<LXBox>(nullptr, kEmptyLine, LXBox::kPlain, false, LXBox::kUp, 0),
            last);
        box_.setCommandTarget(recorder_.window());
        box_.relayout();
        place({100, 100});
        ShowWindow(box_.handle(), SW_SHOWNOACTIVATE);
        UpdateWindow(box_.handle());
        testsupport::pumpFor(50);
    }
    void TearDown() override { CPC_SetCodePage(CPC_PAGE_GB); }

    void place(POINT position) {
        SetWindowPos(box_.handle(), HWND_TOPMOST, position.x, position.y, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE);
    }
    RECT windowRect() const {
        RECT rect{};
        GetWindowRect(box_.handle(), &rect);
        return rect;
    }
    POINT centreOf(int id) const {
        POINT point = testsupport::centreOf(box_.find(id)->rect());
        ClientToScreen(box_.handle(), &point);
        return point;
    }
    // The box took the mouse for a drag: the pointer's moves go to it wherever they lead.
    bool holdsTheMouse() const {
        return waitUntil([this] { return GetCapture() == box_.handle(); });
    }
    // Somewhere on the screen away from the box.
    POINT awayFromBox() const { return {windowRect().left + 20, windowRect().bottom + 40}; }
    std::vector<WPARAM> reports(UINT message) const {
        std::vector<WPARAM> values;
        for (const auto& recorded : recorder_.messages())
            if (recorded.message == message) values.push_back(recorded.wParam);
        return values;
    }

    testsupport::MessageRecorder recorder_;
    PhoneticBox box_;
};

TEST_F(ButtonBoxTest, AButtonReleasedOffItselfPostsNothing) {
    const LXBox* quit = box_.find(kQuit);
    ASSERT_TRUE(movePointer(centreOf(kQuit)));
    ASSERT_TRUE(buttonDown(MouseButton::Left));
    ASSERT_TRUE(waitUntil([quit] { return quit->pressed(); }));
    ASSERT_TRUE(movePointer(awayFromBox()));
    EXPECT_TRUE(waitUntil([quit] { return !quit->pressed(); }));
    // Back on it, it is pressed again.
    ASSERT_TRUE(movePointer(centreOf(kQuit)));
    EXPECT_TRUE(waitUntil([quit] { return quit->pressed(); }));
    ASSERT_TRUE(movePointer(awayFromBox()));
    ASSERT_TRUE(buttonUp(MouseButton::Left));
    testsupport::pumpFor(300);
    EXPECT_EQ(recorder_.count(WM_COMMAND), 0u);
    EXPECT_FALSE(quit->pressed());

    ASSERT_TRUE(movePointer(centreOf(kQuit)));
    ASSERT_TRUE(testsupport::click(MouseButton::Left));
    EXPECT_TRUE(recorder_.waitFor(WM_COMMAND, kQuit).has_value());
}

TEST_F(ButtonBoxTest, AToggleAlternatesAndPostsOnEveryRelease) {
    ASSERT_TRUE(movePointer(centreOf(kPin)));
    for (std::size_t release = 1; release <= 4; ++release) {
        ASSERT_TRUE(testsupport::click(MouseButton::Left));
        ASSERT_TRUE(waitUntil([&] { return recorder_.count(WM_COMMAND) == release; }));
        EXPECT_EQ(box_.find(kPin)->state(), release % 2 ? LXBox::kDown : LXBox::kUp);
    }
    EXPECT_EQ(reports(WM_COMMAND), std::vector<WPARAM>(4, kPin));
}

// The translation line takes no clicks: a drag on it moves the box, which stays on the screen.
TEST_F(ButtonBoxTest, ADragPastTheScreensEdgesLeavesTheBoxFlushWithThem) {
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT start = windowRect();
    LONG width = start.right - start.left;
    LONG height = start.bottom - start.top;
    place({screenWidth - width - 10, screenHeight - height - 10});
    start = windowRect();

    ASSERT_TRUE(movePointer(centreOf(kTranslationLine)));
    ASSERT_TRUE(buttonDown(MouseButton::Left));
    ASSERT_TRUE(holdsTheMouse());
    ASSERT_TRUE(movePointer({screenWidth - 1, screenHeight - 1}));
    // While the button is held the box follows the pointer, off the screen.
    EXPECT_TRUE(waitUntil([&] { return windowRect().right > screenWidth; }));
    ASSERT_TRUE(buttonUp(MouseButton::Left));
    EXPECT_TRUE(waitUntil([&] {
        RECT now = windowRect();
        return now.right == screenWidth && now.bottom == screenHeight;
    })) << windowRect().left
        << "," << windowRect().top;

    ASSERT_TRUE(movePointer(centreOf(kTranslationLine)));
    ASSERT_TRUE(buttonDown(MouseButton::Left));
    ASSERT_TRUE(holdsTheMouse());
    ASSERT_TRUE(movePointer({0, 0}));
    ASSERT_TRUE(buttonUp(MouseButton::Left));
    EXPECT_TRUE(waitUntil([&] {
        RECT now = windowRect();
        return now.left == 0 && now.top == 0;
    })) << windowRect().left
        << "," << windowRect().top;
    EXPECT_EQ(recorder_.count(WM_COMMAND), 0u);
}

// Each report is a menu-select message followed by enter-idle 2, as a menu would send them.
TEST_F(ButtonBoxTest, HoverReportsTheGadgetsEnteredAndLeft) {
    box_.setHintMode(LXButtonBox::kHintOnHover);
    ASSERT_TRUE(movePointer(awayFromBox()));
    testsupport::pumpFor(50);
    recorder_.clear();
    ASSERT_TRUE(movePointer(centreOf(kQuit)));
    ASSERT_TRUE(recorder_.waitFor(WM_MENUSELECT, kQuit).has_value());
    ASSERT_TRUE(movePointer(centreOf(kQuit + 1)));
    ASSERT_TRUE(recorder_.waitFor(WM_MENUSELECT, kQuit + 1).has_value());
    ASSERT_TRUE(movePointer(awayFromBox()));
    ASSERT_TRUE(waitUntil([&] { return reports(WM_MENUSELECT).size() == 4; }));
    const std::vector<WPARAM> expected = {kQuit, LXButtonBox::kNoItem, kQuit + 1,
                                          LXButtonBox::kNoItem};
    EXPECT_EQ(reports(WM_MENUSELECT), expected);
    EXPECT_EQ(reports(WM_ENTERIDLE), std::vector<WPARAM>(4, 2));
    for (const auto& recorded : recorder_.messages())
        EXPECT_EQ(recorded.lParam, 0);
}

TEST_F(ButtonBoxTest, ThePointerShowsWhatAPressWouldDo) {
    const HCURSOR click = LoadCursorA(programInstance(), MAKEINTRESOURCEA(1));
    const HCURSOR gadget = LoadCursorA(programInstance(), MAKEINTRESOURCEA(5));
    const HCURSOR drag = LoadCursorA(nullptr, IDC_SIZEALL);
    ASSERT_TRUE(click && gadget && drag && click != gadget);
    ASSERT_TRUE(movePointer(centreOf(kQuit)));
    EXPECT_TRUE(waitUntil([&] { return GetCursor() == click; }));
    ASSERT_TRUE(movePointer(centreOf(kTranslationLine)));
    EXPECT_TRUE(waitUntil([&] { return GetCursor() == gadget; }));
    ASSERT_TRUE(movePointer({windowRect().left + 1, windowRect().top + 1}));
    EXPECT_TRUE(waitUntil([&] { return GetCursor() == drag; }));
}

// Setting a member of an exclusive group down releases the other members of its run only.
TEST_F(ButtonBoxTest, AnExclusiveMemberGoingDownReleasesItsRun) {
    const LXBox* last = box_.find(kEmptyLine);
    for (int id : {301, 302, 303})
        last = box_.insert(std::make_unique<LXBox>("x", id, LXBox::kExclusive, true, LXBox::kUp, 0),
                           last);
    last = box_.insert(std::make_unique<LXBox>("|", 304, LXBox::kPlain, true, LXBox::kUp, 0), last);
    box_.insert(std::make_unique<LXBox>("y", 305, LXBox::kExclusive, true, LXBox::kDown, 0), last);
    box_.setState(301, LXBox::kDown);
    box_.setState(303, LXBox::kDown);
    std::vector<int> states;
    for (int id = 301; id <= 305; ++id)
        states.push_back(box_.find(id)->state());
    EXPECT_EQ(states,
              (std::vector<int>{LXBox::kUp, LXBox::kUp, LXBox::kDown, LXBox::kUp, LXBox::kDown}));
}

TEST_F(ButtonBoxTest, GadgetsLieInARowAndAnEmptyTextTakesTwoSpaces) {
    HDC dc = GetDC(box_.handle());
    SIZE spaces{};
    GetTextExtentPoint32A(dc, "  ", 2, &spaces);
    ReleaseDC(box_.handle(), dc);
    RECT empty = box_.find(kEmptyLine)->rect();
    EXPECT_EQ(empty.right - empty.left, spaces.cx + 3);

    RECT pin = box_.find(kPin)->rect();
    EXPECT_EQ(pin.left, 3);
    EXPECT_EQ(pin.top, 3);
    for (const LXBox* gadget = box_.first(); gadget; gadget = LXButtonBox::next(gadget)) {
        EXPECT_EQ(gadget->rect().top, pin.top);
        EXPECT_EQ(gadget->rect().bottom, pin.bottom) << gadget->id();
    }
    RECT client{};
    GetClientRect(box_.handle(), &client);
    EXPECT_EQ(client.right, empty.right + 2);
    EXPECT_EQ(client.bottom, pin.bottom + 2);

    // For placing the box a long last line counts up to 240 pixels.
    box_.remove(kEmptyLine);
    box_.setText(kTranslationLine, std::string(200, 'm').c_str(), true);
    ASSERT_GT(box_.find(kTranslationLine)->rect().right, 240);
    EXPECT_EQ(box_.placementSize().cx, 240 - 3 + 5);
    EXPECT_EQ(box_.placementSize().cy, client.bottom);
}

TEST_F(ButtonBoxTest, InWrapModeEachTextGadgetStartsARow) {
    box_.setWrapMode(true);
    box_.setText(kTranslationLine, "book [bUk] n.a long text that needs lines v.to order", true);
    RECT pin = box_.find(kPin)->rect();
    RECT word = box_.find(kWordLine)->rect();
    RECT translation = box_.find(kTranslationLine)->rect();
    EXPECT_EQ(word.left, 3);
    EXPECT_EQ(word.top, pin.bottom);
    EXPECT_EQ(translation.left, 3);
    EXPECT_EQ(translation.top, word.bottom);
    EXPECT_EQ(translation.right - translation.left, 183);
    EXPECT_GT(translation.bottom - translation.top, 2 * (word.bottom - word.top - 3));
}

TEST_F(ButtonBoxTest, TheTranscriptionRunsFromItsBracketOrToTheLineEnd) {
    box_.setText(kTranslationLine, "book [bUk] n.text", true);
    UpdateWindow(box_.handle());
    box_.setText(kTranslationLine, "word [wE:d n.text", true);
    UpdateWindow(box_.handle());
    // In BIG5 "\xA4\x5B" is one character whose second byte is '['.
    CPC_SetCodePage(CPC_PAGE_BIG5);
    box_.setText(kTranslationLine, "\xA4\x5B [ab]", true);
    UpdateWindow(box_.handle());
    EXPECT_EQ(box_.phonetics, (std::vector<std::string>{"[bUk", "[wE:d n.text", "[ab"}));
}

TEST_F(ButtonBoxTest, EveryFifthStepAsksTheOwnerAndAPendingMoveWaitsItsDelay) {
    StateOwner owner;
    box_.setStateOwner(&owner);
    for (int step = 1; step < 5; ++step)
        box_.periodicStep();
    EXPECT_EQ(box_.find(kPin)->state(), LXBox::kUp);
    box_.periodicStep();
    EXPECT_EQ(box_.find(kPin)->state(), LXBox::kDown);
    EXPECT_FALSE(box_.find(kSaveWord)->takesClicks());

    box_.setPendingPosition({40, 50}, 200);
    box_.periodicStep();
    EXPECT_EQ(windowRect().left, 100);
    testsupport::pumpFor(250);
    box_.periodicStep();
    EXPECT_EQ(windowRect().left, 40);
    EXPECT_EQ(windowRect().top, 50);
}

} // namespace
} // namespace lexora
