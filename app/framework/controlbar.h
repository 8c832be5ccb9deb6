// TNoToolTipControlBar: the frame's tool bar, a common-control tool bar without tool tips whose
// buttons show the bitmap of their command's id; toggle buttons show the checked state of their
// command.
#ifndef LEXORA_FRAMEWORK_CONTROLBAR_H
#define LEXORA_FRAMEWORK_CONTROLBAR_H

#include "framework.h"

#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <vector>

namespace lexora {

struct ControlBarItem {
    enum Kind { Button, Toggle, Separator };
    Kind kind;
    UINT commandId;     // 0 for a separator
    int separatorWidth; // 0: the tool bar's own width
};

class TNoToolTipControlBar {
  public:
    TNoToolTipControlBar() = default;
    TNoToolTipControlBar(const TNoToolTipControlBar&) = delete;
    TNoToolTipControlBar& operator=(const TNoToolTipControlBar&) = delete;
    ~TNoToolTipControlBar();

    // Creates the bar along the top of `parent`; the bitmaps all take the size of the first one.
    bool create(HWND parent, UINT id, const ControlBarItem* items, std::size_t count);
    HWND handle() const { return bar_; }
    int height() const;
    // Follows the parent's new width.
    void layout();
    bool hasButton(UINT commandId) const;
    // The button's rectangle in screen coordinates; false when there is no such button.
    bool buttonRect(UINT commandId, RECT& screen) const;
    // Asks `state` for every button's command and shows what it answers.
    void refresh(const std::function<void(CommandEnabler&)>& state);

  private:
    struct Shown {
        UINT commandId;
        bool toggle;
        bool enabled;
        bool checked;
    };
    int addBitmap(UINT commandId);

    HWND bar_ = nullptr;
    HIMAGELIST images_ = nullptr;
    SIZE bitmapSize_{};
    std::vector<Shown> shown_;
};

} // namespace lexora

#endif
