// The button box: a borderless tool window holding a row (or column) of bitmap buttons and text
// lines that it draws itself. It reports the gadget under the pointer for hints, posts a command
// when a gadget is activated, and is dragged around the screen by any place that takes no clicks.
// The capture prompt bar is a button box.
#ifndef LEXORA_BUTTONBOX_H
#define LEXORA_BUTTONBOX_H

#include "framework/framework.h"

#include <memory>

namespace lexora {

// One gadget of a box: a bitmap button or a text gadget.
class LXBox {
  public:
    enum class Kind { bitmap, text };
    // Group types (high nibble of the state byte).
    static constexpr int kPlain = 0;
    static constexpr int kExclusive = 1;
    static constexpr int kToggle = 2;
    // States (low nibble).
    static constexpr int kUp = 0;
    static constexpr int kDown = 1;
    static constexpr int kIndeterminate = 2;

    // A bitmap button on the program's bitmap resource `bitmapId`; a two-state bitmap holds the
    // up image above the down image. A plain button is (id, id, kPlain, false, true, kUp, 0), a
    // toggle (id, id, kToggle, twoState, true, kUp, 0).
    LXBox(int bitmapId, int id, int groupType, bool twoState, bool takesClicks, int state,
          int extra);
    // A text gadget with its own copy of `text` (nullptr for none).
    LXBox(const char* text, int id, int groupType, bool takesClicks, int state, int extra);
    ~LXBox();
    LXBox(const LXBox&) = delete;
    LXBox& operator=(const LXBox&) = delete;

    int id() const;
    Kind kind() const;
    int groupType() const;
    int state() const;
    bool takesClicks() const;
    bool pressed() const;
    bool marked() const;
    const char* text() const; // "" for a bitmap button or a text gadget without text
    RECT rect() const;        // in the box's client coordinates

  private:
    friend class LXButtonBox;
    struct Data;
    std::unique_ptr<Data> data_;
    std::unique_ptr<LXBox> next_;
};

// The window of a box: class "LXToolBar" with the stock background.
class LXBoxWindow : public TWindow {
  public:
    static constexpr char kClassName[] = "LXToolBar";
    // Creates the box window, hidden; false when it cannot be made.
    bool createBox(HWND parent, DWORD style, DWORD exStyle);
};

// The box proper: its gadgets in display order, their layout, the mouse, painting.
class LXButtonBox : public LXBoxWindow {
  public:
    enum class Orientation { horizontal, vertical };
    // Hint modes: report a gadget while it is pressed, or the gadget under the pointer.
    static constexpr int kHintWhilePressed = 1;
    static constexpr int kHintOnHover = 2;
    // wParam of the menu-select report when the pointer leaves a gadget.
    static constexpr WPARAM kNoItem = 0xFFFF0000;

    LXButtonBox();
    ~LXButtonBox() override;

    // Inserts after `after` (nullptr: first; a gadget not in the box: last); returns the gadget,
    // now owned by the box. The caller lays the box out again.
    LXBox* insert(std::unique_ptr<LXBox> gadget, const LXBox* after);
    // Removes the gadget with this id; nullptr when there is none.
    std::unique_ptr<LXBox> remove(int id);
    LXBox* find(int id) const;
    LXBox* first() const;
    static LXBox* next(const LXBox* gadget);
    int count() const;
    // The first gadget whose rectangle holds the point (client coordinates), or nullptr.
    LXBox* gadgetAt(POINT clientPoint) const;

    // Sets a text gadget's text (copied) and its marked flag, and lays the box out again (the
    // gadget is as large as its text).
    void setText(int id, const char* text, bool marked);
    // Sets a gadget's state and takes-clicks flag, as LXButtonBoxEnabler does.
    void setState(int id, int state);
    void setTakesClicks(int id, bool takesClicks);

    void setOrientation(Orientation orientation);
    // Wrap mode: text gadgets 180 pixels wide, broken into lines, each on a row of its own.
    void setWrapMode(bool wrap);
    bool wrapMode() const;
    void setHintMode(int mode);
    // Where command messages are posted; the box itself when none is set.
    void setCommandTarget(HWND target);
    // The window whose commandState answers for the gadgets' states (LXButtonBoxEnabler).
    void setStateOwner(TWindow* owner);

    // Lays the gadgets out and sizes the window to the box (position kept).
    void relayout();
    // The box size for placing it: a last gadget reaching beyond 240 pixels counts up to 240.
    SIZE placementSize() const;

    // Moves the box there (without activating it) on a later periodic step, after `delayMs`.
    void setPendingPosition(POINT screenPosition, DWORD delayMs);
    // The box's periodic step, run from its owner's timer.
    void periodicStep();

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Extra space between two neighbours in the layout; none by default.
    virtual int spacing(const LXBox& left, const LXBox& right) const;
    // Draws the phonetic part of a text line at (x, y): `length` bytes from its '[' up to the
    // next ']' (which is drawn as text with the rest), or to the line's end when there is none.
    // Returns its width. The default draws it as text.
    virtual int drawPhonetic(HDC dc, int x, int y, const char* text, int length);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The command enabler through which the owner sets a gadget's state: enable sets takes-clicks,
// check sets the state (an exclusive-group member set to 1 releases its neighbours first), and
// setting a text does nothing.
class LXButtonBoxEnabler {
  public:
    LXButtonBoxEnabler(LXButtonBox& box, LXBox& gadget);
    // Asks `owner` for the gadget's state and applies what it answers.
    void ask(TWindow& owner);
    void enable(bool on);
    void setCheck(int state);
    void setText(const char*) {}

  private:
    LXButtonBox& box_;
    LXBox& gadget_;
};

} // namespace lexora

#endif
