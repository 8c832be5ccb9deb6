// TNoteTab: the framework's note-tab control, the common tab control with its tabs along the
// bottom edge.
#ifndef LEXORA_FRAMEWORK_NOTETABCTL_H
#define LEXORA_FRAMEWORK_NOTETABCTL_H

#include "framework.h"

namespace lexora {

class TNoteTab : public TWindow {
  public:
    // Takes over the tab control of a dialog template and puts its tabs along the bottom.
    bool attachControl(HWND control);
    // Makes a new one inside `parent` (client coordinates).
    bool create(HWND parent, UINT id, const RECT& rect);

    // Appends a tab; its index, or -1.
    int add(const char* label);
    int count() const;
    int selected() const;
    void select(int index);
};

} // namespace lexora

#endif
