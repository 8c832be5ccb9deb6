// TDictMain: the main window's client, where the user types a word and reads its translation
// (input box with its history, select list of neighbouring words, result pane, headword and
// phonetic lines, pane labels, and the English equivalents of a Chinese word).
#ifndef LEXORA_DICTMAIN_H
#define LEXORA_DICTMAIN_H

#include "framework/framework.h"

namespace lexora {

class TMyFrame;

class TDictMain : public TWindow {
  public:
    explicit TDictMain(TMyFrame& frame);
    ~TDictMain() override;

    // Creates the client window and its controls inside the frame.
    bool create(HWND frame);

    // The input path: reads the input box, translates it when it changed, and puts it into the
    // history list when asked.
    void lookup(bool addToHistory, bool focusInput);
    // Shows the translation of a word without touching the lists (a row picked in a list).
    void showOnly(const char* word);
    // Fills the headword line, the phonetic line and the result pane from an entry text in GB.
    void formatResult(const char* text);
    // Switches the code page and the face (menus, labels, texts); `force` runs it even when
    // nothing changes.
    void switchFaceAndCodePage(int codePage, int face, bool force);
    // One tick of the frame's 50 ms timer: the instant lookup while typing.
    void timerTick();
    // Draws frame `index` (0 ... 11) of the title animation.
    void drawAnimationFrame(int index);
    // Writes the input history to the history file and empties the list.
    void saveHistory();
    bool historyHasItems() const;

    // Commands 1, 1010, 1012-1015, 121, 123 and the pane labels and picture button, and the
    // notifications of the controls.
    bool onCommand(UINT id, UINT notification, HWND control) override;
    void commandState(CommandEnabler& enabler) override;

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Impl;
    Impl* impl_;
    TMyFrame& frame_;
};

} // namespace lexora

#endif
