#include "controls.h"

#include "core/results.h"
#include "resource_ids.h"

#include <lxsys.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace lexora {

namespace {

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr int kEditTextLimit = 4096;
constexpr int kLineCapacity = 99;

HWND createControl(const char* className, DWORD style, HWND parent, int id) {
    return CreateWindowExA(0, className, "", style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), programInstance(),
                           nullptr);
}

bool endsMeaning(char c) {
    return c == '\0' || c == '\t' || c == '\r' || c == '\n' || c == ' ' || c == ';';
}

// The length of the part-of-speech label that `text` starts with, 0 when none.
std::size_t labelAt(const char* text) {
    for (unsigned char code = 1; code < 32; ++code) {
        const char* label = partOfSpeechLabel(code);
        std::size_t length = label ? std::strlen(label) : 0;
        if (length > 0 && std::strncmp(text, label, length) == 0) return length;
    }
    return 0;
}

// An item of a list box or of a combo box's list into `text` (cut to fit, NUL-terminated), asked
// for by its length first so that a longer item never overruns; the item's length, or -1.
int listItemText(HWND list, UINT lengthMessage, UINT textMessage, int index, char* text, int size) {
    if (size <= 0) return -1;
    text[0] = '\0';
    LRESULT length = SendMessageA(list, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0) return -1;
    std::string item(static_cast<std::size_t>(length) + 1, '\0');
    if (SendMessageA(list, textMessage, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(item.data())) < 0)
        return -1;
    std::size_t copied = std::min<std::size_t>(std::strlen(item.c_str()), size - 1);
    std::memcpy(text, item.data(), copied);
    text[copied] = '\0';
    return static_cast<int>(length);
}

} // namespace

// The edit field inside the combo box.
class TMyComboBox::EditField : public TWindow {
  public:
    explicit EditField(TMyComboBox& owner) : owner_(owner) {}

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_KEYDOWN:
            if (wParam != VK_RETURN) break;
            owner_.closeDropDown();
            SendMessageA(GetParent(owner_.handle()), WM_COMMAND, MAKEWPARAM(CM_ENTER, 0), 0);
            return 0;
        case WM_CHAR:
            // The Enter key was taken as a command; its character would only beep.
            if (wParam == '\r' || wParam == '\n') return 0;
            break;
        case WM_MOUSEMOVE:
            owner_.hover_.pointerOver(owner_.handle(), owner_.gbHoverText_);
            break;
        default:
            break;
        }
        return TWindow::handleMessage(message, wParam, lParam);
    }

  private:
    TMyComboBox& owner_;
};

TMyComboBox::TMyComboBox(HoverSink& hover, const char* gbHoverText)
    : hover_(hover), gbHoverText_(gbHoverText) {}

TMyComboBox::~TMyComboBox() {
    delete edit_;
}

bool TMyComboBox::create(HWND parent, int id) {
    HWND combo = createControl(
        "COMBOBOX", kChildStyle | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, parent, id);
    if (!combo || !attach(combo)) return false;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    HWND field = GetComboBoxInfo(combo, &info) ? info.hwndItem : GetWindow(combo, GW_CHILD);
    edit_ = new EditField(*this);
    return edit_->attach(field);
}

HWND TMyComboBox::editField() const {
    return edit_ ? edit_->handle() : nullptr;
}

bool TMyComboBox::hasFocus() const {
    HWND focus = GetFocus();
    return focus && (focus == handle() || focus == editField());
}

int TMyComboBox::text(char* text, int size) const {
    if (size <= 0) return 0;
    text[0] = '\0';
    return GetWindowTextA(handle(), text, size);
}

void TMyComboBox::setText(const char* text) {
    SetWindowTextA(handle(), text);
}

bool TMyComboBox::hasText() const {
    return GetWindowTextLengthA(handle()) > 0;
}

void TMyComboBox::selectAllText() {
    SendMessageA(handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

bool TMyComboBox::droppedDown() const {
    return SendMessageA(handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TMyComboBox::closeDropDown() {
    if (droppedDown()) SendMessageA(handle(), CB_SHOWDROPDOWN, FALSE, 0);
}

int TMyComboBox::historyCount() const {
    LRESULT count = SendMessageA(handle(), CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : static_cast<int>(count);
}

int TMyComboBox::historyItem(int index, char* text, int size) const {
    return listItemText(handle(), CB_GETLBTEXTLEN, CB_GETLBTEXT, index, text, size);
}

bool TMyComboBox::historyHolds(const char* text) const {
    // The combo box finds no empty item by itself.
    if (text[0] == '\0') {
        for (int index = 0; index < historyCount(); ++index)
            if (SendMessageA(handle(), CB_GETLBTEXTLEN, index, 0) == 0) return true;
        return false;
    }
    return SendMessageA(handle(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(text)) != CB_ERR;
}

void TMyComboBox::insertHistoryTop(const char* text) {
    SendMessageA(handle(), CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void TMyComboBox::clearHistory() {
    while (historyCount() > 0)
        if (SendMessageA(handle(), CB_DELETESTRING, 0, 0) == CB_ERR) break;
}

void TMyComboBox::reset() {
    SendMessageA(handle(), CB_RESETCONTENT, 0, 0);
    setText("");
}

LRESULT TMyComboBox::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE) hover_.pointerOver(handle(), gbHoverText_);
    return TWindow::handleMessage(message, wParam, lParam);
}

TMyListBox::TMyListBox(HoverSink& hover, const char* gbHoverText, bool ownPainting)
    : hover_(hover), gbHoverText_(gbHoverText), ownPainting_(ownPainting) {}

bool TMyListBox::create(HWND parent, int id) {
    HWND list = createControl(
        "LISTBOX", kChildStyle | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, parent,
        id);
    return list && attach(list);
}

void TMyListBox::clear() {
    SendMessageA(handle(), LB_RESETCONTENT, 0, 0);
}

RedrawPause::RedrawPause(HWND control) : control_(control) {
    SendMessageA(control_, WM_SETREDRAW, FALSE, 0);
}

RedrawPause::~RedrawPause() {
    SendMessageA(control_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(control_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

bool TMyListBox::addRow(const char* text) {
    return SendMessageA(handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)) >= 0;
}

int TMyListBox::rowCount() const {
    LRESULT count = SendMessageA(handle(), LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

int TMyListBox::selectedRow() const {
    return static_cast<int>(SendMessageA(handle(), LB_GETCURSEL, 0, 0));
}

void TMyListBox::selectRow(int row) {
    SendMessageA(handle(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void TMyListBox::rowText(int row, char* text, int size) const {
    listItemText(handle(), LB_GETTEXTLEN, LB_GETTEXT, row, text, size);
}

LRESULT TMyListBox::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE) hover_.pointerOver(handle(), gbHoverText_);
    if (message == WM_PAINT && ownPainting_) {
        // The rows are the program's own texts: lxsys must not translate them.
        LXbSetDrawPrompt(1);
        LRESULT result = TWindow::handleMessage(message, wParam, lParam);
        LXbSetDrawPrompt(0);
        return result;
    }
    return TWindow::handleMessage(message, wParam, lParam);
}

TLXEdit::TLXEdit(HoverSink& hover, const char* gbHoverText)
    : hover_(hover), gbHoverText_(gbHoverText) {}

bool TLXEdit::create(HWND parent, int id) {
    HWND edit = createControl(
        "EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
        parent, id);
    if (!edit || !attach(edit)) return false;
    SendMessageA(edit, EM_SETLIMITTEXT, kEditTextLimit, 0);
    return true;
}

void TLXEdit::clear() {
    SetWindowTextA(handle(), "");
    currentWord_[0] = '\0';
}

void TLXEdit::appendLine(const char* line, std::size_t length, bool lineBreak) {
    std::string text(line, length);
    if (lineBreak) text += "\r\n";
    SendMessageA(handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TLXEdit::showTop() {
    SendMessageA(handle(), EM_SETSEL, 0, 0);
    SendMessageA(handle(), EM_SCROLLCARET, 0, 0);
}

LRESULT TLXEdit::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN: {
        LRESULT result = TWindow::handleMessage(message, wParam, lParam);
        clickPending_ = true;
        pressedAt_ = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        return result;
    }
    case WM_MOUSEMOVE:
        // Only a real movement turns the press into a drag; the window system may repeat the
        // position when the button goes down.
        if (pressedAt_.x != static_cast<short>(LOWORD(lParam)) ||
            pressedAt_.y != static_cast<short>(HIWORD(lParam)))
            clickPending_ = false;
        hover_.pointerOver(handle(), gbHoverText_);
        break;
    case WM_LBUTTONUP:
        onButtonUp(lParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        onDoubleClick(wParam, lParam);
        return 0;
    case WM_PAINT: {
        // The pane shows the program's own texts: lxsys must not translate them.
        LXbSetDrawPrompt(1);
        LRESULT result = TWindow::handleMessage(message, wParam, lParam);
        LXbSetDrawPrompt(0);
        return result;
    }
    default:
        break;
    }
    return TWindow::handleMessage(message, wParam, lParam);
}

void TLXEdit::onButtonUp(LPARAM lParam) {
    TWindow::handleMessage(WM_LBUTTONUP, 0, lParam);
    if (clickPending_) selectMeaningAtCaret();
    clickPending_ = false;
    SendMessageA(handle(), WM_COPY, 0, 0);
}

void TLXEdit::onDoubleClick(WPARAM wParam, LPARAM lParam) {
    TWindow::handleMessage(WM_LBUTTONDBLCLK, wParam, lParam);
    if (currentWord_[0] == '\0') return;
    SendMessageA(handle(), EM_SETSEL, wordStart_, wordEnd_);
    SendMessageA(GetParent(handle()), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(handle()), LXN_DOUBLECLICKWORD),
                 reinterpret_cast<LPARAM>(handle()));
}

void TLXEdit::selectMeaningAtCaret() {
    DWORD caret = 0;
    SendMessageA(handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    LRESULT line = SendMessageA(handle(), EM_LINEFROMCHAR, caret, 0);
    LRESULT lineStart = SendMessageA(handle(), EM_LINEINDEX, line, 0);
    if (lineStart < 0) return;

    char text[kLineCapacity + 1] = {};
    *reinterpret_cast<WORD*>(text) = kLineCapacity;
    LRESULT length = SendMessageA(handle(), EM_GETLINE, line, reinterpret_cast<LPARAM>(text));
    if (length < 0 || length > kLineCapacity) length = 0;
    text[length] = '\0';

    std::size_t at = std::min<std::size_t>(caret - static_cast<DWORD>(lineStart), length);
    if (at > 0 && text[at] == ';') --at;
    while (at > 0 && text[at - 1] != '\t' && text[at - 1] != ' ' && text[at - 1] != ';')
        --at;
    while (std::size_t label = labelAt(text + at))
        at += label;
    std::size_t end = at;
    while (!endsMeaning(text[end]) && end - at < kWordCapacity - 1)
        ++end;

    std::memcpy(currentWord_, text + at, end - at);
    currentWord_[end - at] = '\0';
    wordStart_ = static_cast<DWORD>(lineStart) + static_cast<DWORD>(at);
    wordEnd_ = static_cast<DWORD>(lineStart) + static_cast<DWORD>(end);
    SendMessageA(handle(), EM_SETSEL, wordStart_, wordEnd_);
}

} // namespace lexora
