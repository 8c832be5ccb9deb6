#include "prompt.h"

#include "controls.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/settings.h"
#include "core/text.h"
#include "dictmain.h"
#include "frame.h"
#include "resource_ids.h"

#include <cpconv.h>
#include <lxsys.h>
#include <lxtran.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>

namespace lexora {

namespace {

// The gadgets of the bar, in display order; buttons 202 ... 208 are there by the user's choice.
enum Gadget : int {
    kLock = 201,
    kQuit = 202,
    kHide = 203,
    kSetup = 204,
    kConverter = 205,
    kChineseSystem = 206,
    kDynamicE2C = 207,
    kStoreWord = 208,
    kWordLine = 209,
    kTranslationLine = 210,
    kWrap = 211,
};

constexpr int kWordCapacity = 80;          // 79 bytes and the NUL
constexpr int kTranslationCapacity = 1024; // 1023 bytes and the NUL
constexpr int kHintCapacity = 256;
constexpr int kMenuTextCapacity = 128;
constexpr int kMenuTextOffset = 1000;
constexpr int kTicksPerAct = 2;
constexpr int kAwayTicksBeforeHiding = 5;
constexpr int kWordGap = 2;
constexpr DWORD kLockMoveDelayMs = 1000;
constexpr UINT kImeReport = 0x0280;
constexpr WPARAM kImeStringStart = 0x100;
constexpr WPARAM kImeStringEnd = 0x101;
constexpr int kGbToCurrent = 0xFFFD;
constexpr char kOpeningWord[] = "LEXORA";
constexpr char kOpeningTranslation[] = "Rest the pointer on a word";
constexpr int kPhoneticAdvance = 7;

// The right-button menu, in order; 0 is a separator.
constexpr UINT kMenuItems[] = {
    kChineseSystem,
    kDynamicE2C,
    0,
    CM_CODEPAGE_GB,
    CM_CODEPAGE_BIG5,
    0,
    CM_AUTODETECT,
    0,
    CM_FACE_ENGLISH,
    CM_FACE_CHINESE,
    0,
    kSetup,
    0,
    kConverter,
    0,
    kQuit,
};

std::unique_ptr<LXBox> makeButton(int id) {
    switch (id) {
    case kLock:
    case kWrap:
        return std::make_unique<LXBox>(id, id, LXBox::kToggle, true, true, LXBox::kUp, 0);
    case kChineseSystem:
    case kDynamicE2C:
        return std::make_unique<LXBox>(id, id, LXBox::kToggle, false, true, LXBox::kUp, 0);
    default:
        return std::make_unique<LXBox>(id, id, LXBox::kPlain, false, true, LXBox::kUp, 0);
    }
}

POINT pointerPosition() {
    POINT pointer{};
    GetCursorPos(&pointer);
    return pointer;
}

SIZE screenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// Clamped so that a box of `size` at `position` lies inside the screen.
POINT insideScreen(POINT position, SIZE size) {
    SIZE screen = screenSize();
    int x = std::min(static_cast<int>(position.x), static_cast<int>(screen.cx - size.cx));
    int y = std::min(static_cast<int>(position.y), static_cast<int>(screen.cy - size.cy));
    return {std::max(x, 0), std::max(y, 0)};
}

// A command state asked of another window.
CommandEnabler stateOf(TWindow& window, UINT id) {
    CommandEnabler enabler;
    enabler.id = id;
    window.commandState(enabler);
    return enabler;
}

bool autoDetectCodePage() {
    int autoDetect = 0, mime = 0, hz = 0, iso2022 = 0;
    LXbGetDecode(&autoDetect, &mime, &hz, &iso2022);
    return autoDetect != 0;
}

void toggleAutoDetectCodePage() {
    int autoDetect = 0, mime = 0, hz = 0, iso2022 = 0;
    LXbGetDecode(&autoDetect, &mime, &hz, &iso2022);
    LXbSetDecode(!autoDetect, mime, hz, iso2022);
}

// The width of `length` bytes of a transcription as drawPhoneticText draws them.
int phoneticWidth(HDC dc, const char* text, int length) {
    int width = 0;
    for (int at = 0; at < length;) {
        if (phoneticGlyph(text[at])) {
            width += kPhoneticAdvance;
            ++at;
            continue;
        }
        int bytes = at + 1 < length && startsDoubleByte(text + at) ? 2 : 1;
        SIZE extent{};
        GetTextExtentPointA(dc, text + at, bytes, &extent);
        width += extent.cx;
        at += bytes;
    }
    return width;
}

// The window of the user's thread that has the focus, and its active window.
void foregroundFocus(HWND& focus, HWND& active) {
    HWND foreground = GetForegroundWindow();
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (foreground && GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info)) {
        focus = info.hwndFocus;
        active = info.hwndActive ? info.hwndActive : foreground;
        return;
    }
    focus = GetFocus();
    active = GetActiveWindow();
}

} // namespace

struct LXPrompt::Impl {
    Impl(LXPrompt& owner, TMyFrame& mainFrame) : bar(owner), frame(mainFrame) {}

    bool createWindow();
    void buildGadgets();
    void placeAtSettings();
    void wordReady();
    bool drawnByTheBar(const RECT& wordRectangle) const;
    void display(const RECT& wordRectangle, const char* output, bool found);
    void showTexts(bool found);
    POINT barPosition(const RECT& wordRectangle) const;
    void act();
    void hide();
    void showInPlace();
    void showGadgetHint(WPARAM gadgetId);
    void saveFocus();
    void restoreFocus();
    void typeTranslation();
    void trackMenu();
    HMENU buildMenu();
    void syncButtons();
    bool runCommand(UINT id);

    void toggleLock();
    void confirmQuit();
    void wordLinePressed();
    void toggleWrap();

    LXPrompt& bar;
    TMyFrame& frame;
    LXHintMesBar hint;
    bool shown = false;
    RECT wordRect{};
    int stayCount = 0;
    int awayCount = 0;
    unsigned tickCount = 0;
    char word[kWordCapacity] = "";
    char translation[kTranslationCapacity] = "";
    HWND savedFocus = nullptr;
    HWND savedActive = nullptr;
};

bool LXPrompt::Impl::createWindow() {
    WNDCLASSEXA windowClass{};
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!registerClass(windowClass)) return false;
    return bar.create(kClassName, "", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, 0, 0, 0, 0,
                      nullptr, nullptr) != nullptr;
}

// The pin, the buttons the user wants, the word and translation lines and the wrap toggle.
void LXPrompt::Impl::buildGadgets() {
    LXBox* last = bar.insert(makeButton(kLock), nullptr);
    for (PromptButtonRow* row = settings.buttons; row->commandId != 0; ++row) {
        row->shown = row->wanted ? 1 : 0;
        if (row->wanted) last = bar.insert(makeButton(row->commandId), last);
    }
    last = bar.insert(
        std::make_unique<LXBox>(kOpeningWord, kWordLine, LXBox::kToggle, true, LXBox::kUp, 0),
        last);
    last = bar.insert(std::make_unique<LXBox>(kOpeningTranslation, kTranslationLine, LXBox::kPlain,
                                              false, LXBox::kUp, 0),
                      last);
    bar.insert(makeButton(kWrap), last);
}

void LXPrompt::Impl::placeAtSettings() {
    RECT window{};
    GetWindowRect(bar.handle(), &window);
    SIZE size{window.right - window.left, window.bottom - window.top};
    POINT place = insideScreen({settings.promptBarX, settings.promptBarY}, size);
    SetWindowPos(bar.handle(), HWND_TOPMOST, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

// lxsys waits while the word is read: the text is valid only until this returns. Its length is
// the library's word, so it is bounded by the buffer before it is used.
void LXPrompt::Impl::wordReady() {
    CapturedWordInfo info{};
    info.untouched = sizeof info;
    if (SendSNMessage(SN_GET_WORD, 0, reinterpret_cast<LPARAM>(&info)) == 0) return;
    info.text[SN_TEXT_LIMIT] = '\0';
    int length = std::clamp(static_cast<int>(info.length), 0, static_cast<int>(SN_TEXT_LIMIT));
    length = std::min(length, static_cast<int>(std::strlen(info.text)));
    RECT wordRectangle{info.wordRect.left, info.wordRect.top, info.wordRect.right,
                       info.wordRect.bottom};
    if (drawnByTheBar(wordRectangle)) return;
    int mode = SendSNMessage(SN_GET_WORD_BREAK, 2, 0);
    int found = 0;
    int workArea[4] = {};
    char output[kTranslationCapacity] = "";
    if (!LXaTransStrInPT(&found, info.text, length, workArea, output, kTranslationCapacity - 1,
                         mode))
        return;
    output[kTranslationCapacity - 1] = '\0';
    if (CPC_GetCodePage() != CPC_PAGE_GB)
        CPC_ConvertDBCSBuffer(kGbToCurrent, output, 0, output, kTranslationCapacity);
    display(wordRectangle, output, found != 0);
    if (settings.soundAlert && !found) alertBeep(MB_OK);
}

// Capture reads the bar's own lines too when the pointer rests on it; the bar then stays as it is.
bool LXPrompt::Impl::drawnByTheBar(const RECT& wordRectangle) const {
    if (!IsWindowVisible(bar.handle())) return false;
    RECT window{};
    GetWindowRect(bar.handle(), &window);
    POINT middle{(wordRectangle.left + wordRectangle.right) / 2,
                 (wordRectangle.top + wordRectangle.bottom) / 2};
    return PtInRect(&window, middle) != FALSE;
}

void LXPrompt::Impl::display(const RECT& wordRectangle, const char* output, bool found) {
    while (*output == ' ')
        ++output;
    const char* space = std::strchr(output, ' ');
    std::string wholeWord = space ? std::string(output, space) : std::string(output);
    char newWord[kWordCapacity];
    copyWholeCharacters(wholeWord.c_str(), newWord, sizeof newWord);
    const char* newTranslation = space ? space + 1 : "";
    if (EqualRect(&wordRectangle, &wordRect) && std::strcmp(newWord, word) == 0) return;

    bool locked = settings.lockPrompt != 0;
    if (shown || locked) hide();
    stayCount = 0;
    // The check acts every second tick counted from the word shown, so the bar appears at the
    // next tick rather than up to a whole acting period later.
    tickCount = kTicksPerAct - 1;
    wordRect = wordRectangle;
    std::memcpy(word, newWord, sizeof word);
    copyWholeCharacters(newTranslation, translation, sizeof translation);
    showTexts(found);

    POINT place = barPosition(wordRectangle);
    shown = true;
    // Unlocked, the periodic check shows the bar once the pointer is seen resting on the word.
    SetWindowPos(bar.handle(), HWND_TOPMOST, place.x, place.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | (locked ? SWP_SHOWWINDOW : 0));
}

// The lines show the texts, and the window's own text holds both for whoever reads the bar.
void LXPrompt::Impl::showTexts(bool found) {
    bar.setText(kWordLine, word, false);
    bar.setText(kTranslationLine, translation, found);
    std::string text = std::string(word) + " " + translation;
    SetWindowTextA(bar.handle(), text.c_str());
}

// Locked, the bar stays where it is; otherwise it goes below the word, or above it when the
// screen ends below.
POINT LXPrompt::Impl::barPosition(const RECT& wordRectangle) const {
    if (settings.lockPrompt) {
        RECT window{};
        GetWindowRect(bar.handle(), &window);
        return {window.left, window.top};
    }
    SIZE size = bar.placementSize();
    SIZE screen = screenSize();
    POINT pointer = pointerPosition();
    int wordHeight = wordRectangle.bottom - wordRectangle.top;
    int x = std::max(
        0, std::min(static_cast<int>(pointer.x), static_cast<int>(screen.cx - size.cx - kWordGap)));
    int below = size.cy + wordHeight + kWordGap;
    int y = pointer.y + below > screen.cy ? wordRectangle.top - below
                                          : pointer.y + wordHeight + kWordGap;
    return {x, std::max(y, 0)};
}

// Every second tick: the bar shows while the pointer rests on the word (until the hiding time
// runs out) and stays while the pointer is on the bar; elsewhere it goes after five checks.
void LXPrompt::Impl::act() {
    if (!shown || settings.lockPrompt) return;
    ++stayCount;
    POINT pointer = pointerPosition();
    if (PtInRect(&wordRect, pointer)) {
        if (stayCount >= settings.promptHideTime)
            hide();
        else if (stayCount == 1)
            showInPlace();
        return;
    }
    if (++awayCount < kAwayTicksBeforeHiding) return;
    RECT window{};
    GetWindowRect(bar.handle(), &window);
    if (PtInRect(&window, pointer)) return;
    hide();
}

void LXPrompt::Impl::hide() {
    ShowWindow(bar.handle(), SW_HIDE);
    hint.hideHint();
    stayCount = 0;
    awayCount = 0;
    shown = false;
    SetRectEmpty(&wordRect);
}

void LXPrompt::Impl::showInPlace() {
    SetWindowPos(bar.handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// The box reports the gadget under the pointer (or none); a menu's own reports carry its handle
// and are not the box's.
void LXPrompt::Impl::showGadgetHint(WPARAM gadgetId) {
    const LXBox* gadget =
        gadgetId == LXButtonBox::kNoItem ? nullptr : bar.find(static_cast<int>(gadgetId));
    if (!gadget) {
        hint.hideHint();
        return;
    }
    char text[kHintCapacity];
    loadPageString(faceTextId(gadget->id()), text, sizeof text);
    RECT screen = gadget->rect();
    MapWindowPoints(bar.handle(), nullptr, reinterpret_cast<POINT*>(&screen), 2);
    if (hint.createHint()) hint.prepare(text, screen);
}

void LXPrompt::Impl::saveFocus() {
    HWND focus = nullptr;
    HWND active = nullptr;
    foregroundFocus(focus, active);
    if (active == bar.handle()) return;
    savedFocus = focus;
    savedActive = active;
}

void LXPrompt::Impl::restoreFocus() {
    if (savedFocus && IsWindow(savedFocus)) {
        SetForegroundWindow(GetAncestor(savedFocus, GA_ROOT));
        SetFocus(savedFocus);
    } else if (savedActive && IsWindow(savedActive)) {
        SetForegroundWindow(savedActive);
    }
}

// The translation's Chinese characters go to the user's window as an input method would send
// them, byte by byte between the start and end reports.
void LXPrompt::Impl::typeTranslation() {
    HWND target = savedFocus && IsWindow(savedFocus) ? savedFocus : nullptr;
    restoreFocus();
    if (!target) target = LXbGetFocus();
    if (!target || !IsWindow(target)) return;
    PostMessageA(target, kImeReport, kImeStringStart, 1);
    const auto* at = reinterpret_cast<const unsigned char*>(translation);
    while (*at) {
        if (at[0] > 128 && at[1] > 32) {
            PostMessageA(target, WM_CHAR, at[0], 1);
            PostMessageA(target, WM_CHAR, at[1], 1);
            at += 2;
        } else {
            ++at;
        }
    }
    PostMessageA(target, kImeReport, kImeStringEnd, 1);
}

HMENU LXPrompt::Impl::buildMenu() {
    HMENU menu = CreatePopupMenu();
    for (UINT id : kMenuItems) {
        if (id == 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        char gb[kMenuTextCapacity] = "";
        char text[kMenuTextCapacity] = "";
        LoadStringA(programInstance(), static_cast<UINT>(faceTextId(id + kMenuTextOffset)), gb,
                    sizeof gb);
        CPC_StrCVTCpy(text, gb, sizeof text);
        CommandEnabler state = stateOf(bar, id);
        UINT flags = MF_STRING | (state.checked ? MF_CHECKED : 0) | (state.enabled ? 0 : MF_GRAYED);
        AppendMenuA(menu, flags, id, text);
    }
    return menu;
}

// No word is caught while the menu is open, and the program counts as busy with a dialog.
void LXPrompt::Impl::trackMenu() {
    HMENU menu = buildMenu();
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    WPARAM catching = static_cast<WPARAM>(SendSNMessage(SN_GET_ENABLE, 0, 0));
    SendSNMessage(SN_SET_ENABLE, 0, 0);
    bool wasModal = std::exchange(modalDialogOpen, true);
    POINT pointer = pointerPosition();
    SetForegroundWindow(bar.handle());
    UINT chosen =
        static_cast<UINT>(TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                         pointer.x, pointer.y, 0, bar.handle(), nullptr));
    modalDialogOpen = wasModal;
    SendSNMessage(SN_SET_ENABLE, catching, 0);
    DestroyMenu(menu);
    if (chosen) PostMessageA(bar.handle(), WM_COMMAND, chosen, 0);
}

// The buttons 202 ... 208 follow the user's choice; a new one goes after the nearest one before
// it that is on the bar (the pin at the latest).
void LXPrompt::Impl::syncButtons() {
    const LXBox* previous = bar.find(kLock);
    for (PromptButtonRow* row = settings.buttons; row->commandId != 0; ++row) {
        const LXBox* present = bar.find(row->commandId);
        if (row->wanted && !present)
            present = bar.insert(makeButton(row->commandId), previous);
        else if (!row->wanted && present) {
            bar.remove(row->commandId);
            present = nullptr;
        }
        row->shown = row->wanted ? 1 : 0;
        if (present) previous = present;
    }
    bar.relayout();
    InvalidateRect(bar.handle(), nullptr, TRUE);
}

void LXPrompt::Impl::toggleLock() {
    settings.lockPrompt = !settings.lockPrompt;
    if (!settings.lockPrompt) return;
    RECT window{};
    GetWindowRect(bar.handle(), &window);
    bar.setPendingPosition({window.left, window.top}, kLockMoveDelayMs);
}

void LXPrompt::Impl::confirmQuit() {
    bool wasModal = std::exchange(modalDialogOpen, true);
    int choice = showFaceMessage(bar.handle(), IDS_QUIT_QUESTION, IDS_QUIT_CAPTION,
                                 MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION);
    modalDialogOpen = wasModal;
    if (choice == IDOK) PostMessageA(frame.handle(), WM_CLOSE, 0, 0);
}

// While the main window is up in front, the word line only toggles; otherwise the main window
// comes forward and looks the word up.
void LXPrompt::Impl::wordLinePressed() {
    HWND main = frame.handle();
    if (!IsIconic(main) && GetForegroundWindow() == main) return;
    SetWindowTextA(GetDlgItem(frame.client().handle(), IDC_INPUT), word);
    BringWindowToTop(main);
    ShowWindow(main, SW_RESTORE);
    PostMessageA(main, WM_COMMAND, CM_ENTER, 0);
}

void LXPrompt::Impl::toggleWrap() {
    settings.warpPrompt = !settings.warpPrompt;
    ShowWindow(bar.handle(), SW_HIDE);
    bar.setWrapMode(settings.warpPrompt != 0);
    bar.relayout();
    showInPlace();
}

bool LXPrompt::Impl::runCommand(UINT id) {
    HWND main = frame.handle();
    switch (id) {
    case kLock:
        toggleLock();
        break;
    case kQuit:
        confirmQuit();
        break;
    case kHide:
        hide();
        break;
    case kSetup:
        PostMessageA(main, WM_COMMAND, CM_SETUP, 0);
        break;
    case kConverter:
        PostMessageA(main, WM_COMMAND, CM_TEXTCONVERTER, 0);
        break;
    case kChineseSystem:
        SendMessageA(main, WM_COMMAND, CM_CHINESESYSTEM, 0);
        break;
    case kDynamicE2C:
        SendMessageA(main, WM_COMMAND, CM_DYNAMICE2C, 0);
        break;
    case kStoreWord:
        SendMessageA(main, WM_COMMAND, CM_STOREMEMORYWORD, 0);
        break;
    case kWordLine:
        wordLinePressed();
        break;
    case kWrap:
        toggleWrap();
        break;
    case CM_AUTODETECT:
        toggleAutoDetectCodePage();
        break;
    case CM_CODEPAGE_GB:
    case CM_CODEPAGE_BIG5:
    case CM_FACE_CHINESE:
    case CM_FACE_ENGLISH:
        PostMessageA(main, WM_COMMAND, id, 0);
        break;
    case kButtonsChanged:
        syncButtons();
        break;
    default:
        return false;
    }
    return true;
}

LXPrompt::LXPrompt(TMyFrame& frame) : impl_(std::make_unique<Impl>(*this, frame)) {}

LXPrompt::~LXPrompt() {
    if (handle()) DestroyWindow(handle());
}

bool LXPrompt::createBar() {
    if (!impl_->createWindow()) return false;
    impl_->buildGadgets();
    setHintMode(kHintOnHover);
    setWrapMode(settings.warpPrompt != 0);
    setStateOwner(this);
    relayout();
    impl_->placeAtSettings();
    if (settings.catchWord && settings.lockPrompt) impl_->showInPlace();
    return true;
}

void LXPrompt::tick() {
    if (modalDialogOpen) return;
    periodicStep();
    if (++impl_->tickCount % kTicksPerAct == 0) impl_->act();
}

void LXPrompt::hideBar() {
    impl_->hide();
}

void LXPrompt::codePageChanged(int oldPage, int newPage) {
    if (oldPage == newPage) return;
    auto convert = [mode = newPage * 256 + oldPage](char* text, int size) {
        CPC_ConvertDBCSBuffer(mode, text, static_cast<int>(std::strlen(text)) + 1, text, size);
    };
    convert(impl_->word, kWordCapacity);
    convert(impl_->translation, kTranslationCapacity);
    const LXBox* line = find(kTranslationLine);
    impl_->showTexts(line && line->marked());
}

void LXPrompt::faceChanged() {
    impl_->hint.hideHint();
    InvalidateRect(handle(), nullptr, TRUE);
}

LRESULT LXPrompt::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case SN_NOTIFY:
        if (wParam == SN_WORD_READY) impl_->wordReady();
        return 1;
    case WM_MENUSELECT:
        if (lParam != 0) break;
        impl_->showGadgetHint(wParam);
        return 0;
    case WM_SETCURSOR:
        if (HIWORD(lParam) == WM_MOUSEMOVE && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000) &&
            !(GetAsyncKeyState(VK_RBUTTON) & 0x8000))
            impl_->saveFocus();
        break;
    case WM_RBUTTONDOWN: {
        const LXBox* gadget = gadgetAt({LOWORD(lParam), HIWORD(lParam)});
        if (gadget && gadget->id() != kWordLine && gadget->id() != kTranslationLine)
            impl_->trackMenu();
        return 0;
    }
    case WM_RBUTTONUP: {
        const LXBox* gadget = gadgetAt({LOWORD(lParam), HIWORD(lParam)});
        if (!gadget || gadget->id() == kWordLine || gadget->id() == kTranslationLine)
            impl_->typeTranslation();
        return 0;
    }
    case WM_LBUTTONUP: {
        LRESULT result = LXButtonBox::handleMessage(message, wParam, lParam);
        const LXBox* gadget = gadgetAt({LOWORD(lParam), HIWORD(lParam)});
        if (gadget && gadget->id() != kWordLine) impl_->restoreFocus();
        return result;
    }
    default:
        break;
    }
    return LXButtonBox::handleMessage(message, wParam, lParam);
}

bool LXPrompt::onCommand(UINT id, UINT notification, HWND control) {
    if (!control && impl_->runCommand(id)) return true;
    return LXButtonBox::onCommand(id, notification, control);
}

void LXPrompt::commandState(CommandEnabler& enabler) {
    HWND main = impl_->frame.handle();
    switch (enabler.id) {
    case kLock:
        enabler.check(settings.lockPrompt != 0);
        break;
    case kChineseSystem:
        enabler.check(stateOf(impl_->frame, CM_CHINESESYSTEM).checked);
        break;
    case kDynamicE2C:
        enabler.check(stateOf(impl_->frame, CM_DYNAMICE2C).checked);
        break;
    case kStoreWord:
        enabler.enable(stateOf(impl_->frame.client(), CM_STOREMEMORYWORD).enabled);
        break;
    case kWordLine:
        enabler.check(!IsIconic(main) && GetForegroundWindow() == main);
        break;
    case kWrap:
        enabler.check(settings.warpPrompt != 0);
        break;
    case CM_AUTODETECT:
        enabler.check(autoDetectCodePage());
        break;
    case CM_CODEPAGE_GB:
    case CM_CODEPAGE_BIG5:
    case CM_FACE_CHINESE:
    case CM_FACE_ENGLISH: {
        // The current page or face is checked and cannot be chosen again.
        bool current = stateOf(impl_->frame, enabler.id).checked;
        enabler.check(current);
        enabler.enable(!current);
        break;
    }
    default:
        break;
    }
}

int LXPrompt::drawPhonetic(HDC dc, int x, int y, const char* text, int length) {
    std::string transcription(text, static_cast<std::size_t>(std::max(length, 0)));
    drawPhoneticText(dc, x, y, transcription.c_str());
    return phoneticWidth(dc, transcription.data(), static_cast<int>(transcription.size()));
}

LXPrompt* promptBarObject(HWND promptBar) {
    return dynamic_cast<LXPrompt*>(TWindow::fromHandle(promptBar));
}

} // namespace lexora
