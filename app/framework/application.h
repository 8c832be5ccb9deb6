// The program's message loop: the main window's accelerators and the keyboard handling of the
// modeless dialogs that are up.
#ifndef LEXORA_FRAMEWORK_APPLICATION_H
#define LEXORA_FRAMEWORK_APPLICATION_H

#include <windows.h>

#include <vector>

namespace lexora {

class TApplication {
  public:
    TApplication();
    virtual ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // The program's one application object, or nullptr outside its life.
    static TApplication* current();

    // A modeless dialog (or property sheet) whose keyboard navigation the loop handles while it
    // exists; a destroyed one is dropped on its own.
    void addModeless(HWND dialog);
    void removeModeless(HWND dialog);

    // Runs until WM_QUIT; its exit code. Keys go to `accelerators` of `mainWindow` first.
    int run(HWND mainWindow, HACCEL accelerators);

    // Dispatches what is waiting without blocking, as run() would.
    void dispatchPending();

  private:
    bool preTranslate(MSG& message);
    bool dialogMessage(MSG& message);

    static TApplication* current_;

    HWND mainWindow_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::vector<HWND> modeless_;
};

} // namespace lexora

#endif
