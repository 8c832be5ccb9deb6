#include "application.h"

#include <algorithm>

namespace lexora {

TApplication* TApplication::current_ = nullptr;

TApplication::TApplication() {
    current_ = this;
}

TApplication::~TApplication() {
    if (current_ == this) current_ = nullptr;
}

TApplication* TApplication::current() {
    return current_;
}

void TApplication::addModeless(HWND dialog) {
    if (dialog && std::find(modeless_.begin(), modeless_.end(), dialog) == modeless_.end())
        modeless_.push_back(dialog);
}

void TApplication::removeModeless(HWND dialog) {
    modeless_.erase(std::remove(modeless_.begin(), modeless_.end(), dialog), modeless_.end());
}

int TApplication::run(HWND mainWindow, HACCEL accelerators) {
    mainWindow_ = mainWindow;
    accelerators_ = accelerators;
    MSG message;
    for (;;) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        if (preTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void TApplication::dispatchPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (preTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The accelerators act only for the main window and its children, so that keys typed into a
// modeless dialog stay there.
bool TApplication::preTranslate(MSG& message) {
    if (dialogMessage(message)) return true;
    if (!accelerators_ || !mainWindow_ || !IsWindow(mainWindow_)) return false;
    if (message.hwnd != mainWindow_ && !IsChild(mainWindow_, message.hwnd)) return false;
    return TranslateAcceleratorA(mainWindow_, accelerators_, &message) != 0;
}

bool TApplication::dialogMessage(MSG& message) {
    modeless_.erase(std::remove_if(modeless_.begin(), modeless_.end(),
                                   [](HWND dialog) { return !IsWindow(dialog); }),
                    modeless_.end());
    for (HWND dialog : modeless_) {
        if (message.hwnd != dialog && !IsChild(dialog, message.hwnd)) continue;
        return IsDialogMessageA(dialog, &message) != 0;
    }
    return false;
}

} // namespace lexora
