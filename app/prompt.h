// LXPrompt: the small top-most prompt bar that shows the translation of the word under the mouse
// pointer, in any program. lxsys tells it (SN_NOTIFY) when a word is ready; it looks the word up
// and pops up beside it, and hides when the pointer leaves. It is a button box with buttons for
// the functions most used while working in other programs, a right-button menu and a hint window
// (LXHintMesBar) that explains each button.
#ifndef LEXORA_PROMPT_H
#define LEXORA_PROMPT_H

#include "buttonbox.h"

#include <memory>

namespace lexora {

class TMyFrame;

// The hint window ("LxHintMessageBar"): a yellow note below the pointer, explaining the gadget
// the pointer rests on. Also used for the frame's tool-bar buttons.
class LXHintMesBar : public TWindow {
  public:
    LXHintMesBar();
    ~LXHintMesBar() override;
    bool createHint();
    // Prepares the hint `text` for the gadget at `gadgetScreenRect`; it shows after two ticks of
    // its 100 ms timer while the pointer stays on the gadget.
    void prepare(const char* text, const RECT& gadgetScreenRect);
    // Shows `text` at once below a tool-bar button whose menu item is highlighted (the pointer
    // lies on the menu then), until hideHint.
    void showBeside(const char* text, const RECT& buttonScreenRect);
    void hideHint();

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class LXPrompt : public LXButtonBox {
  public:
    static constexpr char kClassName[] = "LXPrompt";
    static constexpr UINT kButtonsChanged = 10000; // command from the options sheet

    explicit LXPrompt(TMyFrame& frame);
    ~LXPrompt() override;

    // Creates the bar with its gadgets and places it at "Prompt Bar Position" top-most, hidden
    // (shown at once when "Catch Word" and "Lock Prompt" are both on).
    bool createBar();
    // The periodic check, run on each 50 ms tick of the frame's timer.
    void tick();
    void hideBar();
    // The current code page changed: the word and translation lines are converted in place.
    void codePageChanged(int oldPage, int newPage);
    // The face changed: hints and menu texts follow "Face Style".
    void faceChanged();

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onCommand(UINT id, UINT notification, HWND control) override;
    void commandState(CommandEnabler& enabler) override;
    int drawPhonetic(HDC dc, int x, int y, const char* text, int length) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The prompt bar of the running program, or nullptr.
LXPrompt* promptBarObject(HWND promptBar);

} // namespace lexora

#endif
