#include "optionpages.h"

#include "core/filedialog.h"
#include "core/settings.h"
#include "options_ids.h"

#include <lxsys.h>

#include <commctrl.h>
#include <commdlg.h>

#include <string>

namespace lexora {

namespace {

// Auxiliary keys as lxsys takes them: the virtual-key codes of Shift and Ctrl.
constexpr int kAuxiliaryShift = 16;
constexpr int kAuxiliaryCtrl = 17;
// The file-name edits give at most this many characters to the settings.
constexpr int kFileNameTaken = 98;
// The delay slider counts tenths of a second, lxsys milliseconds; the hide slider counts
// seconds, the settings tenths of a second.
constexpr int kDelaySliderUnit = 100;
constexpr int kHideSliderUnit = 10;
// The word-break operations address lxsys's one stored mode through this selector.
constexpr WPARAM kWordBreakSelector = 2;
constexpr int kSingleCharacters = 1;
constexpr int kShortestPhrases = 2;
constexpr int kLongestPhrases = 3;

constexpr char kHistoryFilter[] = "History Files (*.his)|*.his|All Files (*.*)|*.*|";

void checkBox(HWND dialog, int id, int on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool isChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

} // namespace

// --- Parameters -------------------------------------------------------------------------------

const CommandRoute<TParameterDlg> TParameterDlg::commands[] = {
    {IDC_PARAM_MEMORYWORD_FILE, EN_CHANGE, &TParameterDlg::noteChange},
    {IDC_PARAM_HISTORY_FILE, EN_CHANGE, &TParameterDlg::noteChange},
    {IDC_PARAM_HIDEMAIN, BN_CLICKED, &TParameterDlg::noteChange},
    {IDC_PARAM_AUTOSAVE, BN_CLICKED, &TParameterDlg::noteChange},
    {IDC_PARAM_SEARCHATONCE, BN_CLICKED, &TParameterDlg::noteChange},
    {IDC_PARAM_SOUNDALERT, BN_CLICKED, &TParameterDlg::noteChange},
    {IDC_PARAM_AUXKEY_CTRL, BN_CLICKED, &TParameterDlg::noteChange},
    {IDC_PARAM_AUXKEY_SHIFT, BN_CLICKED, &TParameterDlg::noteChange},
    {IDC_PARAM_AUXKEY_NONE, BN_CLICKED, &TParameterDlg::noteChange},
    {IDC_PARAM_SMALLHZ, BN_CLICKED, &TParameterDlg::noteChange},
    {IDC_PARAM_OVERWRITE, BN_CLICKED, &TParameterDlg::noteChange},
    {IDC_PARAM_APPEND, BN_CLICKED, &TParameterDlg::noteChange},
    {IDC_PARAM_USECHINESE, BN_CLICKED, &TParameterDlg::useChineseClicked},
    {IDC_PARAM_MEMORYWORD_BROWSE, BN_CLICKED, &TParameterDlg::browseMemoryWordFile},
    {IDC_PARAM_HISTORY_BROWSE, BN_CLICKED, &TParameterDlg::browseHistoryFile},
};

TParameterDlg::TParameterDlg() : TNewPropertyPage(IDD_PARAMETERS) {}

BOOL TParameterDlg::setupWindow() {
    settingUp_ = true;
    useChinese_ = settings.useChinese;
    fontSelector_ = settings.fontSelector;
    smallHZType_ = settings.smallHZType;
    showSettings();
    placeSliders();
    convertTexts();
    settingUp_ = false;
    return TRUE;
}

void TParameterDlg::showSettings() {
    HWND dialog = handle();
    SetDlgItemTextA(dialog, IDC_PARAM_MEMORYWORD_FILE, settings.memoryWordFile);
    SetDlgItemTextA(dialog, IDC_PARAM_HISTORY_FILE, settings.historyFile);
    checkBox(dialog, IDC_PARAM_HIDEMAIN, settings.hideMainWindow);
    checkBox(dialog, IDC_PARAM_USECHINESE, settings.useChinese);
    checkBox(dialog, IDC_PARAM_AUTOSAVE, settings.autoSaveHistory);
    checkBox(dialog, IDC_PARAM_SEARCHATONCE, settings.searchAtOnce);
    checkBox(dialog, IDC_PARAM_SOUNDALERT, settings.soundAlert);

    int auxiliaryKey = SendSNMessage(SN_GET_AUX_KEY, 0, 0);
    int auxiliaryButton = auxiliaryKey == kAuxiliaryShift  ? IDC_PARAM_AUXKEY_SHIFT
                          : auxiliaryKey == kAuxiliaryCtrl ? IDC_PARAM_AUXKEY_CTRL
                                                           : IDC_PARAM_AUXKEY_NONE;
    CheckRadioButton(dialog, IDC_PARAM_AUXKEY_CTRL, IDC_PARAM_AUXKEY_NONE, auxiliaryButton);
    CheckRadioButton(dialog, IDC_PARAM_OVERWRITE, IDC_PARAM_APPEND,
                     settings.overwriteHistory == 1 ? IDC_PARAM_OVERWRITE : IDC_PARAM_APPEND);
    checkBox(dialog, IDC_PARAM_SMALLHZ, settings.smallHZType);
    if (!settings.useChinese) enableFontGroup(false);
}

void TParameterDlg::placeSliders() {
    sliderOverPlaceholder(IDC_PARAM_DELAY, 1, 20,
                          SendSNMessage(SN_GET_DELAY, 0, 0) / kDelaySliderUnit);
    sliderOverPlaceholder(IDC_PARAM_HIDE, 3, 20, settings.promptHideTime / kHideSliderUnit);
}

// The template holds a static where the slider goes; the slider takes its place, its id and
// its place in the tab order.
HWND TParameterDlg::sliderOverPlaceholder(int id, int low, int high, int position) {
    HWND placeholder = GetDlgItem(handle(), id);
    if (!placeholder) return nullptr;
    RECT rect;
    GetWindowRect(placeholder, &rect);
    MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&rect), 2);
    SetWindowLongPtrA(placeholder, GWLP_ID, 0);
    HWND slider = CreateWindowExA(
        0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS,
        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), programInstance(), nullptr);
    if (slider) {
        SetWindowPos(slider, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SendMessageA(slider, TBM_SETRANGE, FALSE, MAKELPARAM(low, high));
        SendMessageA(slider, TBM_SETTICFREQ, 1, 0);
        SendMessageA(slider, TBM_SETPOS, TRUE, position);
    }
    DestroyWindow(placeholder);
    return slider;
}

void TParameterDlg::enableFontGroup(bool on) {
    EnableWindow(GetDlgItem(handle(), IDC_PARAM_FONT_GROUP), on);
    EnableWindow(GetDlgItem(handle(), IDC_PARAM_SMALLHZ), on);
}

// Apply stays off while either file name is empty.
void TParameterDlg::noteChange() {
    if (settingUp_) return;
    if (GetWindowTextLengthA(GetDlgItem(handle(), IDC_PARAM_MEMORYWORD_FILE)) == 0) return;
    if (GetWindowTextLengthA(GetDlgItem(handle(), IDC_PARAM_HISTORY_FILE)) == 0) return;
    setChanged();
}

void TParameterDlg::useChineseClicked() {
    bool on = checked(IDC_PARAM_USECHINESE);
    enableFontGroup(on);
    if (on != (settings.useChinese != 0)) setChanged();
}

void TParameterDlg::browseMemoryWordFile() {
    browse(IDC_PARAM_MEMORYWORD_LABEL, IDC_PARAM_MEMORYWORD_FILE);
}

void TParameterDlg::browseHistoryFile() {
    browse(IDC_PARAM_HISTORY_LABEL, IDC_PARAM_HISTORY_FILE);
}

void TParameterDlg::browse(int labelId, int editId) {
    char path[kFileNameCapacity] = "";
    if (askFileName(handle(), FileDialogKind::open, labelId, kHistoryFilter,
                    OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, path, sizeof path))
        SetDlgItemTextA(handle(), editId, path);
}

bool TParameterDlg::onCommand(UINT id, UINT notification, HWND) {
    return dispatchCommand(*this, commands, id, notification);
}

LRESULT TParameterDlg::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL) {
        HWND control = reinterpret_cast<HWND>(lParam);
        if (control && (control == GetDlgItem(handle(), IDC_PARAM_DELAY) ||
                        control == GetDlgItem(handle(), IDC_PARAM_HIDE)))
            setChanged();
        return TRUE;
    }
    return TNewPropertyPage::handleMessage(message, wParam, lParam);
}

void TParameterDlg::apply() {
    storeSettings();
    setUnchanged();
    passDisplaySwitches();
    TNewPropertyPage::apply();
}

void TParameterDlg::storeSettings() {
    SendSNMessage(SN_SET_DELAY, sliderPosition(IDC_PARAM_DELAY) * kDelaySliderUnit, 0);
    settings.promptHideTime = sliderPosition(IDC_PARAM_HIDE) * kHideSliderUnit;
    takeFileName(IDC_PARAM_MEMORYWORD_FILE, settings.memoryWordFile);
    takeFileName(IDC_PARAM_HISTORY_FILE, settings.historyFile);
    settings.hideMainWindow = checked(IDC_PARAM_HIDEMAIN);
    settings.useChinese = checked(IDC_PARAM_USECHINESE);
    settings.autoSaveHistory = checked(IDC_PARAM_AUTOSAVE);
    settings.searchAtOnce = checked(IDC_PARAM_SEARCHATONCE);
    settings.soundAlert = checked(IDC_PARAM_SOUNDALERT);
    int auxiliaryKey = checked(IDC_PARAM_AUXKEY_SHIFT)  ? kAuxiliaryShift
                       : checked(IDC_PARAM_AUXKEY_CTRL) ? kAuxiliaryCtrl
                                                        : 0;
    SendSNMessage(SN_SET_AUX_KEY, auxiliaryKey, 0);
    settings.smallHZType = checked(IDC_PARAM_SMALLHZ);
    settings.overwriteHistory = checked(IDC_PARAM_OVERWRITE);
}

// lxsys refreshes the whole screen on each switch, so only what changed is passed on.
void TParameterDlg::passDisplaySwitches() {
    if (settings.useChinese != useChinese_) {
        useChinese_ = settings.useChinese;
        LXbActiveHZSYS(useChinese_);
    }
    if (settings.useChinese == 1 && settings.fontSelector != fontSelector_) {
        fontSelector_ = settings.fontSelector;
        LXbChgJFfnt(fontSelector_);
    }
    if (settings.smallHZType != smallHZType_) {
        smallHZType_ = settings.smallHZType;
        LXbSetSmallHZ(smallHZType_);
    }
}

bool TParameterDlg::checked(int id) const {
    return isChecked(handle(), id);
}

int TParameterDlg::sliderPosition(int id) const {
    return static_cast<int>(SendDlgItemMessageA(handle(), id, TBM_GETPOS, 0, 0));
}

// An empty edit leaves the name as it was; a longer one gives its first characters.
void TParameterDlg::takeFileName(int editId, char* fileName) const {
    char text[kFileNameTaken + 1] = "";
    GetDlgItemTextA(handle(), editId, text, sizeof text);
    if (text[0] != '\0') lstrcpynA(fileName, text, kFileNameCapacity);
}

// --- Prompt-bar buttons -------------------------------------------------------------------------

TCfgButtonDlg::TCfgButtonDlg(HWND promptBar)
    : TNewPropertyPage(IDD_BUTTONS), promptBar_(promptBar) {}

BOOL TCfgButtonDlg::setupWindow() {
    for (const PromptButtonRow* row = settings.buttons; row->commandId != 0; ++row)
        checkBox(handle(), row->commandId, row->shown);
    convertTexts();
    return TRUE;
}

bool TCfgButtonDlg::onCommand(UINT id, UINT notification, HWND) {
    bool isButtonBox = id >= IDC_BUTTONS_FIRST && id < IDC_BUTTONS_FIRST + kPromptButtonCount;
    if (!isButtonBox || notification != BN_CLICKED) return false;
    setChanged();
    return true;
}

void TCfgButtonDlg::apply() {
    for (PromptButtonRow* row = settings.buttons; row->commandId != 0; ++row)
        row->wanted = isChecked(handle(), row->commandId);
    setUnchanged();
    // Without a prompt bar the message would go to this thread's queue instead.
    if (promptBar_) PostMessageA(promptBar_, WM_COMMAND, CM_PROMPT_BUTTONS_CHANGED, 0);
    TNewPropertyPage::apply();
}

// --- Chinese phrases ----------------------------------------------------------------------------

TZWTDialog::TZWTDialog() : TNewPropertyPage(IDD_PHRASES) {}

BOOL TZWTDialog::setupWindow() {
    int mode = SendSNMessage(SN_GET_WORD_BREAK, kWordBreakSelector, 0);
    int button = mode == kSingleCharacters ? IDC_PHRASES_SINGLE
                 : mode == kLongestPhrases ? IDC_PHRASES_LONGEST
                                           : IDC_PHRASES_SHORTEST;
    CheckRadioButton(handle(), IDC_PHRASES_SINGLE, IDC_PHRASES_LONGEST, button);
    checkBox(handle(), IDC_PHRASES_SPACED, SendSNMessage(SN_GET_JOIN_SPACED, 0, 0));
    convertTexts();
    return TRUE;
}

int TZWTDialog::selectedMode() const {
    if (isChecked(handle(), IDC_PHRASES_SINGLE)) return kSingleCharacters;
    if (isChecked(handle(), IDC_PHRASES_LONGEST)) return kLongestPhrases;
    return kShortestPhrases;
}

bool TZWTDialog::joinSpacedChecked() const {
    return isChecked(handle(), IDC_PHRASES_SPACED);
}

bool TZWTDialog::onCommand(UINT id, UINT notification, HWND) {
    if (id < IDC_PHRASES_SINGLE || id > IDC_PHRASES_SPACED || notification != BN_CLICKED)
        return false;
    bool joinSpaced = SendSNMessage(SN_GET_JOIN_SPACED, 0, 0) != 0;
    int mode = SendSNMessage(SN_GET_WORD_BREAK, kWordBreakSelector, 0);
    if (joinSpacedChecked() != joinSpaced || selectedMode() != mode) setChanged();
    return true;
}

void TZWTDialog::apply() {
    SendSNMessage(SN_SET_JOIN_SPACED, joinSpacedChecked(), 0);
    SendSNMessage(SN_SET_WORD_BREAK, kWordBreakSelector, selectedMode());
    setUnchanged();
    TNewPropertyPage::apply();
}

} // namespace lexora
