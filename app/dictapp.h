// TDictApp: the LEXORA program from start to end: the single instance, the Chinese system and
// the capture machinery of lxsys, the settings, the main window and its message loop, and the
// shut-down that writes the settings back.
#ifndef LEXORA_DICTAPP_H
#define LEXORA_DICTAPP_H

#include "framework/application.h"
#include "framework/framework.h"

#include <memory>

namespace lexora {

class LXPrompt;
class TMyFrame;

// The start-up dialog (template 2): up while the program starts, and shown modally from the
// help menu; a click on it closes it.
class TStartupDialog : public TDialog {
  public:
    explicit TStartupDialog(HWND parent);

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void paint();
};

class TDictApp : public TApplication {
  public:
    TDictApp();
    ~TDictApp() override;

    // Starts the program, runs it until its main window closes and ends it; the exit code.
    int run(int showCommand);

  private:
    bool startCapture();
    void closeStartupDialog();
    void startTimer();
    // The shut-down order; false when the close is refused.
    bool canClose();
    bool confirmUnsafeExit();

    std::unique_ptr<TStartupDialog> startup_;
    std::unique_ptr<TMyFrame> frame_;
    // Made after the frame and gone before it: it looks into the main window.
    std::unique_ptr<LXPrompt> prompt_;
    HWND promptBar_ = nullptr;
    bool closing_ = false;
};

} // namespace lexora

#endif
