#include "controlbar.h"

namespace lexora {

TNoToolTipControlBar::~TNoToolTipControlBar() {
    // The bar itself goes with its parent; the image list is ours.
    if (images_) ImageList_Destroy(images_);
}

bool TNoToolTipControlBar::create(HWND parent, UINT id, const ControlBarItem* items,
                                  std::size_t count) {
    bar_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_TOP, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                           programInstance(), nullptr);
    if (!bar_) return false;
    SendMessageA(bar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    std::vector<TBBUTTON> buttons;
    for (std::size_t i = 0; i < count; ++i) {
        const ControlBarItem& item = items[i];
        TBBUTTON button{};
        if (item.kind == ControlBarItem::Separator) {
            button.fsStyle = BTNS_SEP;
            button.iBitmap = item.separatorWidth;
        } else {
            button.idCommand = static_cast<int>(item.commandId);
            button.iBitmap = addBitmap(item.commandId);
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = item.kind == ControlBarItem::Toggle ? BTNS_CHECK : BTNS_BUTTON;
            shown_.push_back({item.commandId, item.kind == ControlBarItem::Toggle, true, false});
        }
        buttons.push_back(button);
    }
    if (images_) {
        SendMessageA(bar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(bitmapSize_.cx, bitmapSize_.cy));
        SendMessageA(bar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    }
    SendMessageA(bar_, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(bar_, TB_AUTOSIZE, 0, 0);
    return true;
}

// The image list is made from the first bitmap found; later ones are stretched to its size. A
// button without a bitmap shows none.
int TNoToolTipControlBar::addBitmap(UINT commandId) {
    auto bitmap = static_cast<HBITMAP>(LoadImageA(programInstance(), MAKEINTRESOURCEA(commandId),
                                                  IMAGE_BITMAP, bitmapSize_.cx, bitmapSize_.cy,
                                                  LR_CREATEDIBSECTION));
    if (!bitmap) return I_IMAGENONE;
    if (!images_) {
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        bitmapSize_ = {info.bmWidth, info.bmHeight};
        images_ = ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24, 16, 4);
    }
    int index = images_ ? ImageList_Add(images_, bitmap, nullptr) : -1;
    DeleteObject(bitmap);
    return index < 0 ? I_IMAGENONE : index;
}

int TNoToolTipControlBar::height() const {
    RECT rect{};
    if (bar_) GetWindowRect(bar_, &rect);
    return rect.bottom - rect.top;
}

void TNoToolTipControlBar::layout() {
    if (bar_) SendMessageA(bar_, TB_AUTOSIZE, 0, 0);
}

bool TNoToolTipControlBar::hasButton(UINT commandId) const {
    for (const Shown& button : shown_)
        if (button.commandId == commandId) return true;
    return false;
}

bool TNoToolTipControlBar::buttonRect(UINT commandId, RECT& screen) const {
    if (!bar_ || !hasButton(commandId)) return false;
    if (!SendMessageA(bar_, TB_GETRECT, commandId, reinterpret_cast<LPARAM>(&screen))) return false;
    MapWindowPoints(bar_, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return true;
}

// Only changes are sent, so that a periodic refresh does not make the bar flicker.
void TNoToolTipControlBar::refresh(const std::function<void(CommandEnabler&)>& state) {
    if (!bar_) return;
    for (Shown& button : shown_) {
        CommandEnabler enabler;
        enabler.id = button.commandId;
        state(enabler);
        if (enabler.enabled != button.enabled) {
            button.enabled = enabler.enabled;
            SendMessageA(bar_, TB_ENABLEBUTTON, button.commandId, MAKELPARAM(button.enabled, 0));
        }
        if (button.toggle && enabler.checked != button.checked) {
            button.checked = enabler.checked;
            SendMessageA(bar_, TB_CHECKBUTTON, button.commandId, MAKELPARAM(button.checked, 0));
        }
    }
}

} // namespace lexora
