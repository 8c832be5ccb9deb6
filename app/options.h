// LXCfgSheet: the options sheet, a modal property sheet "Options" with five pages: parameters,
// prompt-bar buttons, Chinese phrases, decoding and the user library.
#ifndef LEXORA_OPTIONS_H
#define LEXORA_OPTIONS_H

#include <windows.h>

namespace lexora {

class LXCfgSheet {
  public:
    // Pages in their order; the sheet opens on `startPage`.
    enum Page { parameters = 0, buttons = 1, chinesePhrases = 2, decoding = 3, userLibrary = 4 };

    // `promptBar` receives command 10000 when the buttons page applies.
    LXCfgSheet(HWND parent, int startPage, HWND promptBar);
    // Runs the sheet modally; returns when the user closes it.
    INT_PTR execute();

  private:
    HWND parent_;
    int startPage_;
    HWND promptBar_;
};

} // namespace lexora

#endif
