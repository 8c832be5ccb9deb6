// TStatusLine: the frame's status line, a common-control status bar with a size grip and one
// text part (no keyboard mode indicators).
#ifndef LEXORA_FRAMEWORK_STATUSLINE_H
#define LEXORA_FRAMEWORK_STATUSLINE_H

#include <windows.h>

namespace lexora {

class TStatusLine {
  public:
    bool create(HWND parent, UINT id);
    HWND handle() const { return line_; }
    int height() const;
    // Follows the parent's new size.
    void layout();
    void setText(const char* text);

  private:
    HWND line_ = nullptr;
};

} // namespace lexora

#endif
