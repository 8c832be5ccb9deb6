// TMyFrame: LEXORA's main window, the frame around TDictMain with its menu, tool bar and status
// line; it runs the program's commands, the 50 ms timer and the system hot keys.
#ifndef LEXORA_FRAME_H
#define LEXORA_FRAME_H

#include "framework/framework.h"

#include <functional>

namespace lexora {

class TDictMain;

inline constexpr char kFrameClassName[] = "LEXORACLASS32";
inline constexpr char kFrameTitle[] = "LEXORA for Windows NT V2.0";

class TMyFrame : public TWindow {
  public:
    TMyFrame();
    ~TMyFrame() override;

    // Creates the frame ("LEXORACLASS32", "LEXORA for Windows NT V2.0") with its client.
    bool create(int showCommand);
    TDictMain& client();

    // Loads and sets the menu of a face ("CHN_MENU" for 1, else "ENG_MENU"); false when it
    // cannot be loaded.
    bool setFaceMenu(int face);
    // The status line: a fixed text for the control under the pointer, shown at once; the
    // rotation of the status texts pauses for 40 ticks.
    void showHoverText(const char* text);
    void setStatusText(const char* text);

    // The prompt bar window, once the program made it (nullptr before).
    void setPromptBar(HWND promptBar);
    HWND promptBar() const;
    // The current code page changed: the prompt bar converts the texts it shows.
    void promptBarCodePageChanged(int oldPage, int newPage);

    // Starts the title animation on the 50 ms timer.
    void startAnimation();
    // Asked when the frame is to close; it closes only when this answers true.
    void setCloseQuery(std::function<bool()> canClose);

    bool onCommand(UINT id, UINT notification, HWND control) override;
    void commandState(CommandEnabler& enabler) override;

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Impl;
    Impl* impl_;
};

} // namespace lexora

#endif
