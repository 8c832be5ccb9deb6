#include "frame.h"

#include "core/files.h"
#include "core/messages.h"
#include "core/settings.h"
#include "core/wordfiles.h"
#include "dictapp.h"
#include "dictmain.h"
#include "framework/controlbar.h"
#include "framework/statusline.h"
#include "notetab.h"
#include "options.h"
#include "prompt.h"
#include "resource_ids.h"
#include "textcvt.h"

#include <cpconv.h>
#include <lxsys.h>

#include <shellapi.h>

#include <iterator>
#include <utility>

namespace lexora {

namespace {

constexpr int kFrameWidth = 407;
constexpr int kFrameHeight = 337;
constexpr POINT kMinimumTrackSize = {412, 340};
constexpr UINT kToolBarId = 1;
constexpr UINT kStatusLineId = 2;
constexpr UINT_PTR kFrameTimer = 1;

// Timer 1 runs every 50 ms; these count its ticks.
constexpr int kAnimationFrames = 12;
constexpr int kTicksPerAnimationFrame = 4;
constexpr int kTicksPerStatusText = 60;
constexpr int kHoverPauseTicks = 40;
constexpr int kTicksPerToolBarRefresh = 4;

constexpr std::size_t kTextSize = 256;

using Item = ControlBarItem;
constexpr Item kToolBarItems[] = {
    {Item::Button, CM_HELPFILE, 0},
    {Item::Button, CM_SETUP, 0},
    {Item::Toggle, CM_CATCHWORD, 0},
    {Item::Button, CM_TEXTCONVERTER, 0},
    {Item::Separator, 0, 0},
    {Item::Button, CM_LOADMEMORYWORDS, 0},
    {Item::Button, CM_STOREMEMORYWORD, 0},
    {Item::Separator, 0, 0},
    {Item::Button, CM_LOADHISTORY, 0},
    {Item::Button, CM_STOREHISTORY, 0},
    {Item::Separator, 0, 0},
    {Item::Toggle, CM_CHINESESYSTEM, 0},
    {Item::Toggle, CM_DYNAMICE2C, 0},
    {Item::Button, CM_USERLIBRARY, 0},
    {Item::Separator, 0, 30},
    {Item::Button, CM_ABOUT, 0},
};

// What the status line shows in turn while nothing else is to be said. The Chinese texts are GB:
// 输入英文或中文词，回车查询 / Ctrl+F12 鼠标抓词翻译开关 / Alt+F12 自带汉字系统开关 /
// F1 查看当前窗格的简要说明.
constexpr const char* kStatusTextsChinese[] = {
    "\xCA\xE4\xC8\xEB\xD3\xA2\xCE\xC4\xBB\xF2\xD6\xD0\xCE\xC4\xB4\xCA\xA3\xAC\xBB\xD8\xB3\xB5"
    "\xB2\xE9\xD1\xAF",
    "Ctrl+F12 \xCA\xF3\xB1\xEA\xD7\xA5\xB4\xCA\xB7\xAD\xD2\xEB\xBF\xAA\xB9\xD8",
    "Alt+F12 \xD7\xD4\xB4\xF8\xBA\xBA\xD7\xD6\xCF\xB5\xCD\xB3\xBF\xAA\xB9\xD8",
    "F1 \xB2\xE9\xBF\xB4\xB5\xB1\xC7\xB0\xB4\xB0\xB8\xF1\xB5\xC4\xBC\xF2\xD2\xAA\xCB\xB5\xC3\xF7",
};
constexpr const char* kStatusTextsEnglish[] = {
    "Type an English or Chinese word and press Enter",
    "Ctrl+F12 switches mouse word catching",
    "Alt+F12 switches the built-in Chinese display",
    "F1 explains the pane that has the focus",
};
static_assert(std::size(kStatusTextsChinese) == std::size(kStatusTextsEnglish));

// The text converter and the options sheet are modal; each marks the program's modal state
// itself while it runs.
void openTextConverter(TMyFrame& frame) {
    LXTextCvt(frame.handle()).execute();
}

void openOptionsSheet(TMyFrame& frame, int page) {
    LXCfgSheet(frame.handle(), page, frame.promptBar()).execute();
}

// The prompt bar's periodic check, run on every tick of the frame's timer.
void tickPromptBar(HWND promptBar) {
    if (LXPrompt* bar = promptBarObject(promptBar)) bar->tick();
}

// The hint window below a tool-bar button, while its menu item is highlighted.
void showButtonHint(LXHintMesBar& hintBar, const RECT& button, const char* hint) {
    if (hintBar.createHint()) hintBar.showBeside(hint, button);
}

void showPromptBar(HWND promptBar) {
    if (promptBar) ShowWindow(promptBar, SW_SHOWNOACTIVATE);
}

void hidePromptBar(HWND promptBar) {
    if (LXPrompt* bar = promptBarObject(promptBar)) bar->hideBar();
}

// Set while one of the program's modal dialogs is up, so that the configuration hot key waits.
class ModalDialogScope {
  public:
    ModalDialogScope() : wasOpen_(std::exchange(modalDialogOpen, true)) {}
    ~ModalDialogScope() { modalDialogOpen = wasOpen_; }
    ModalDialogScope(const ModalDialogScope&) = delete;
    ModalDialogScope& operator=(const ModalDialogScope&) = delete;

  private:
    bool wasOpen_;
};

bool codePageIsGb() {
    return CPC_GetCodePage() == CPC_PAGE_GB;
}

void repaintScreen() {
    InvalidateRect(nullptr, nullptr, TRUE);
}

} // namespace

struct TMyFrame::Impl {
    explicit Impl(TMyFrame& owner) : frame(owner) {}

    bool createChildren();
    void layout(int width, int height);
    void queryState(CommandEnabler& enabler);
    void applyMenuStates(HMENU menu);
    void refreshToolBar();
    void showMenuHint(UINT flags, UINT id);
    void tick();
    void rotateStatusText();
    LRESULT hotKey(WPARAM type);
    bool askSwitchToGb();
    void switchTo(int codePage, int face);

    void catchWord();
    void chineseSystem();
    void codePageGb() { switchTo(CPC_PAGE_GB, settings.faceStyle); }
    void codePageBig5() { switchTo(CPC_PAGE_BIG5, settings.faceStyle); }
    void faceChinese() { switchTo(CPC_GetCodePage(), 1); }
    void faceEnglish() { switchTo(CPC_GetCodePage(), 0); }
    void dynamicE2C();
    void hotKeySwitch();
    void textConverter() { openTextConverter(frame); }
    void loadMemoryWords();
    void loadHistory();
    void setup() { openOptionsSheet(frame, 0); }
    void setupButtons() { openOptionsSheet(frame, 1); }
    void chinesePhrases() { openOptionsSheet(frame, 2); }
    void decoding() { openOptionsSheet(frame, 3); }
    void userLibrary() { openOptionsSheet(frame, 4); }
    void helpFile();
    void htmlHelp();
    void aboutMaker() { openBriefDialog(frame.handle(), 0); }
    void about();
    void exit() { PostMessageA(frame.handle(), WM_CLOSE, 0, 0); }
    void minimize() { SendMessageA(frame.handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

    static const CommandRoute<Impl> commands[];

    TMyFrame& frame;
    TDictMain* client = nullptr;
    TNoToolTipControlBar toolBar;
    LXHintMesBar buttonHint;
    TStatusLine statusLine;
    HWND promptBar = nullptr;
    std::function<bool()> canClose;
    // Dynamic translation starts off at every start and is not kept in the settings.
    bool dynamicTranslation = false;
    bool ticking = false;
    bool menuOpen = false;
    bool animating = false;
    unsigned tickCount = 0;
    int animationFrame = 0;
    int statusTicks = 0;
    int statusText = 0;
    int hoverPause = 0;
};

const CommandRoute<TMyFrame::Impl> TMyFrame::Impl::commands[] = {
    {CM_CATCHWORD, kAnyNotification, &Impl::catchWord},
    {CM_CHINESESYSTEM, kAnyNotification, &Impl::chineseSystem},
    {CM_CODEPAGE_GB, kAnyNotification, &Impl::codePageGb},
    {CM_CODEPAGE_BIG5, kAnyNotification, &Impl::codePageBig5},
    {CM_FACE_CHINESE, kAnyNotification, &Impl::faceChinese},
    {CM_FACE_ENGLISH, kAnyNotification, &Impl::faceEnglish},
    {CM_DYNAMICE2C, kAnyNotification, &Impl::dynamicE2C},
    {CM_HOTKEYSWITCH, kAnyNotification, &Impl::hotKeySwitch},
    {CM_TEXTCONVERTER, kAnyNotification, &Impl::textConverter},
    {CM_LOADMEMORYWORDS, kAnyNotification, &Impl::loadMemoryWords},
    {CM_LOADHISTORY, kAnyNotification, &Impl::loadHistory},
    {CM_SETUP, kAnyNotification, &Impl::setup},
    {CM_SETUPBUTTONS, kAnyNotification, &Impl::setupButtons},
    {CM_CHINESEPHRASES, kAnyNotification, &Impl::chinesePhrases},
    {CM_DECODING, kAnyNotification, &Impl::decoding},
    {CM_USERLIBRARY, kAnyNotification, &Impl::userLibrary},
    {CM_HELPFILE, kAnyNotification, &Impl::helpFile},
    {CM_HTMLHELP, kAnyNotification, &Impl::htmlHelp},
    {CM_ABOUTMAKER, kAnyNotification, &Impl::aboutMaker},
    {CM_ABOUT, kAnyNotification, &Impl::about},
    {CM_EXIT, kAnyNotification, &Impl::exit},
    {CM_MINIMIZE, kAnyNotification, &Impl::minimize},
};

bool TMyFrame::Impl::createChildren() {
    if (!toolBar.create(frame.handle(), kToolBarId, kToolBarItems, std::size(kToolBarItems)))
        return false;
    if (!statusLine.create(frame.handle(), kStatusLineId)) return false;
    client = new TDictMain(frame);
    return client->create(frame.handle());
}

void TMyFrame::Impl::layout(int width, int height) {
    toolBar.layout();
    statusLine.layout();
    if (!client || !client->handle()) return;
    int top = toolBar.height();
    int clientHeight = height - top - statusLine.height();
    MoveWindow(client->handle(), 0, top, width, clientHeight > 0 ? clientHeight : 0, TRUE);
}

// The client knows the state of its own commands; the frame answers for the rest.
void TMyFrame::Impl::queryState(CommandEnabler& enabler) {
    if (client) client->commandState(enabler);
    if (!enabler.handled) frame.commandState(enabler);
}

void TMyFrame::Impl::applyMenuStates(HMENU menu) {
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        UINT id = GetMenuItemID(menu, position);
        if (id == 0 || id == static_cast<UINT>(-1)) continue; // separator or popup
        CommandEnabler enabler;
        enabler.id = id;
        queryState(enabler);
        EnableMenuItem(menu, id, MF_BYCOMMAND | (enabler.enabled ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(menu, id, MF_BYCOMMAND | (enabler.checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

void TMyFrame::Impl::refreshToolBar() {
    toolBar.refresh([this](CommandEnabler& enabler) { queryState(enabler); });
}

// The status line explains the highlighted item; an item that has a tool-bar button also gets the
// button's hint (Chinese at the command id, English 4000 above).
void TMyFrame::Impl::showMenuHint(UINT flags, UINT id) {
    buttonHint.hideHint();
    if (flags == 0xFFFF || (flags & (MF_POPUP | MF_SEPARATOR)) || id == 0) {
        statusLine.setText("");
        return;
    }
    char text[kTextSize];
    loadPageString(static_cast<int>(id), text, sizeof text);
    statusLine.setText(text);
    RECT button;
    if (!toolBar.buttonRect(id, button)) return;
    int hintId = settings.faceStyle == 1 ? static_cast<int>(id) : static_cast<int>(id) + 4000;
    char hint[kTextSize];
    loadPageString(hintId, hint, sizeof hint);
    showButtonHint(buttonHint, button, hint);
}

void TMyFrame::Impl::tick() {
    if (ticking) return;
    ticking = true;
    ++tickCount;
    tickPromptBar(promptBar);
    if (animating && tickCount % kTicksPerAnimationFrame == 0 && client) {
        client->drawAnimationFrame(animationFrame);
        animationFrame = (animationFrame + 1) % kAnimationFrames;
    }
    rotateStatusText();
    if (tickCount % kTicksPerToolBarRefresh == 0) refreshToolBar();
    if (client) client->timerTick();
    ticking = false;
}

// A hover text or an open menu holds the status line; the rotation waits for them.
void TMyFrame::Impl::rotateStatusText() {
    if (menuOpen) return;
    if (hoverPause > 0) {
        --hoverPause;
        return;
    }
    if (++statusTicks < kTicksPerStatusText) return;
    statusTicks = 0;
    int count = static_cast<int>(std::size(kStatusTextsEnglish));
    if (settings.faceStyle == 1) {
        char text[kTextSize];
        toCurrentPage(kStatusTextsChinese[statusText], text, sizeof text);
        statusLine.setText(text);
    } else {
        statusLine.setText(kStatusTextsEnglish[statusText]);
    }
    statusText = (statusText + 1) % count;
}

LRESULT TMyFrame::Impl::hotKey(WPARAM type) {
    HWND window = frame.handle();
    switch (type) {
    case 1:
        if (IsIconic(window) || GetForegroundWindow() != window) {
            SetForegroundWindow(window);
            PostMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
            PostMessageA(window, WM_COMMAND, CM_FOCUSINPUT, 0);
        } else {
            PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        }
        return 1;
    case 2:
        PostMessageA(window, WM_COMMAND, CM_CATCHWORD, 0);
        return 1;
    case 3:
        PostMessageA(window, WM_COMMAND, CM_DYNAMICE2C, 0);
        return 1;
    case 4:
        PostMessageA(window, WM_COMMAND, CM_CHINESESYSTEM, 0);
        return 1;
    case 5:
        if (modalDialogOpen) return 1;
        SetForegroundWindow(window);
        PostMessageA(window, WM_COMMAND, CM_SETUP, 0);
        return 1;
    default:
        return 0;
    }
}

// The help documents are GB: offers to switch there first. False when the user declines.
bool TMyFrame::Impl::askSwitchToGb() {
    ModalDialogScope modal;
    if (showFaceMessage(frame.handle(), IDS_CODEPAGE_QUESTION, IDS_CODEPAGE_CAPTION,
                        MB_OKCANCEL | MB_ICONSTOP, "GB") != IDOK)
        return false;
    switchTo(CPC_PAGE_GB, settings.faceStyle);
    return true;
}

void TMyFrame::Impl::switchTo(int codePage, int face) {
    if (client) client->switchFaceAndCodePage(codePage, face, false);
    if (LXPrompt* bar = promptBarObject(promptBar)) bar->faceChanged();
}

void TMyFrame::Impl::catchWord() {
    settings.catchWord = !settings.catchWord;
    SendSNMessage(SN_SET_ENABLE, static_cast<WPARAM>(settings.catchWord), 0);
    if (!settings.catchWord)
        hidePromptBar(promptBar);
    else if (settings.lockPrompt)
        showPromptBar(promptBar);
}

void TMyFrame::Impl::chineseSystem() {
    settings.useChinese = !settings.useChinese;
    LXbActiveHZSYS(settings.useChinese);
}

void TMyFrame::Impl::dynamicE2C() {
    dynamicTranslation = !dynamicTranslation;
    LXbSetDynamicHH(dynamicTranslation);
    repaintScreen();
}

void TMyFrame::Impl::hotKeySwitch() {
    settings.hotkeySwitch = !settings.hotkeySwitch;
    LXbSwitchHotKey(settings.hotkeySwitch);
}

void TMyFrame::Impl::loadMemoryWords() {
    char path[kFileNameCapacity];
    resolveFileName(settings.memoryWordFile, path, sizeof path);
    openInEditor(frame.handle(), path, IDS_MEMORYWORD_KIND);
}

void TMyFrame::Impl::loadHistory() {
    char path[kFileNameCapacity];
    resolveFileName(settings.historyFile, path, sizeof path);
    openInEditor(frame.handle(), path, IDS_HISTORY_KIND);
}

void TMyFrame::Impl::helpFile() {
    char path[kFileNameCapacity];
    resolveFileName(settings.faceStyle == 1 ? "HLP\\DICTCHN.HLP" : "HLP\\DICTENG.HLP", path,
                    sizeof path);
    if (settings.faceStyle == 1 && !codePageIsGb() && !askSwitchToGb()) return;
    WinHelpA(frame.handle(), path, HELP_CONTENTS, 0);
}

void TMyFrame::Impl::htmlHelp() {
    char path[kFileNameCapacity];
    resolveFileName("HLP\\INDEX.HTM", path, sizeof path);
    ModalDialogScope modal;
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        MessageBeep(MB_OK);
        showFaceMessage(frame.handle(), IDS_HTMLHELP_MISSING, IDS_HELP_CAPTION, MB_OK);
        return;
    }
    auto opened = reinterpret_cast<INT_PTR>(
        ShellExecuteA(frame.handle(), "open", path, nullptr, nullptr, SW_SHOWNORMAL));
    if (opened <= 32) {
        MessageBeep(MB_OK);
        showFaceMessage(frame.handle(), IDS_NO_BROWSER, IDS_HELP_CAPTION, MB_OK);
        return;
    }
    if (!codePageIsGb()) askSwitchToGb();
}

void TMyFrame::Impl::about() {
    ModalDialogScope modal;
    TStartupDialog dialog(frame.handle());
    dialog.execute();
}

TMyFrame::TMyFrame() : impl_(new Impl(*this)) {}

TMyFrame::~TMyFrame() {
    if (handle()) DestroyWindow(handle());
    delete impl_->client;
    delete impl_;
}

bool TMyFrame::create(int showCommand) {
    WNDCLASSEXA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.hIcon = LoadIconA(programInstance(), MAKEINTRESOURCEA(1));
    if (!windowClass.hIcon) windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFrameClassName;
    if (!registerClass(windowClass)) return false;

    int x = (GetSystemMetrics(SM_CXSCREEN) - kFrameWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - kFrameHeight) / 2;
    if (!TWindow::create(kFrameClassName, kFrameTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, x,
                         y, kFrameWidth, kFrameHeight, nullptr, nullptr))
        return false;
    setFaceMenu(settings.faceStyle);
    RECT client;
    GetClientRect(handle(), &client);
    impl_->layout(client.right, client.bottom);
    ShowWindow(handle(), showCommand);
    UpdateWindow(handle());
    return true;
}

TDictMain& TMyFrame::client() {
    return *impl_->client;
}

bool TMyFrame::setFaceMenu(int face) {
    HMENU menu = LoadMenuA(programInstance(), face == 1 ? "CHN_MENU" : "ENG_MENU");
    if (!menu) return false;
    HMENU previous = GetMenu(handle());
    SetMenu(handle(), menu);
    if (previous) DestroyMenu(previous);
    DrawMenuBar(handle());
    return true;
}

void TMyFrame::showHoverText(const char* text) {
    impl_->statusLine.setText(text);
    impl_->hoverPause = kHoverPauseTicks;
    impl_->statusTicks = 0;
}

void TMyFrame::setStatusText(const char* text) {
    impl_->statusLine.setText(text);
}

void TMyFrame::setPromptBar(HWND promptBar) {
    impl_->promptBar = promptBar;
}

HWND TMyFrame::promptBar() const {
    return impl_->promptBar;
}

void TMyFrame::promptBarCodePageChanged(int oldPage, int newPage) {
    if (LXPrompt* bar = promptBarObject(impl_->promptBar)) bar->codePageChanged(oldPage, newPage);
}

void TMyFrame::startAnimation() {
    impl_->animating = true;
}

void TMyFrame::setCloseQuery(std::function<bool()> canClose) {
    impl_->canClose = std::move(canClose);
}

// Commands reach the client first. A tool-bar button is a command like a menu item, so it goes on
// without the bar's handle, which the client would take for one of its controls.
bool TMyFrame::onCommand(UINT id, UINT notification, HWND control) {
    if (control && control == impl_->toolBar.handle()) {
        control = nullptr;
        notification = 0;
    }
    bool handled = impl_->client && impl_->client->onCommand(id, notification, control);
    if (!handled) handled = dispatchCommand(*impl_, Impl::commands, id, notification);
    if (handled) impl_->refreshToolBar();
    return handled;
}

void TMyFrame::commandState(CommandEnabler& enabler) {
    switch (enabler.id) {
    case CM_CATCHWORD:
        enabler.check(settings.catchWord != 0);
        break;
    case CM_CHINESESYSTEM:
        enabler.check(settings.useChinese != 0);
        break;
    case CM_CODEPAGE_GB:
    case CM_CODEPAGE_BIG5: {
        bool current = CPC_GetCodePage() == (enabler.id == CM_CODEPAGE_GB ? 1 : 2);
        enabler.check(current);
        enabler.enable(!current);
        break;
    }
    case CM_FACE_CHINESE:
        enabler.check(settings.faceStyle == 1);
        break;
    case CM_FACE_ENGLISH:
        enabler.check(settings.faceStyle == 0);
        break;
    case CM_DYNAMICE2C:
        enabler.check(impl_->dynamicTranslation);
        break;
    case CM_HOTKEYSWITCH:
        enabler.check(settings.hotkeySwitch != 0);
        break;
    default:
        break;
    }
}

LRESULT TMyFrame::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return impl_->createChildren() ? 0 : -1;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) impl_->layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = kMinimumTrackSize;
        return 0;
    case WM_SETFOCUS:
        if (impl_->client && impl_->client->handle()) SetFocus(impl_->client->handle());
        return 0;
    case WM_INITMENUPOPUP:
        impl_->applyMenuStates(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_ENTERMENULOOP:
        impl_->menuOpen = true;
        break;
    case WM_EXITMENULOOP:
        impl_->menuOpen = false;
        impl_->buttonHint.hideHint();
        break;
    case WM_MENUSELECT:
        impl_->showMenuHint(HIWORD(wParam), LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam != kFrameTimer) break;
        impl_->tick();
        return 0;
    case LX_HOTKEY:
        return impl_->hotKey(wParam);
    case WM_CLOSE:
        if (impl_->canClose && !impl_->canClose()) return 0;
        DestroyWindow(handle());
        return 0;
    case WM_DESTROY:
        KillTimer(handle(), kFrameTimer);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return TWindow::handleMessage(message, wParam, lParam);
}

} // namespace lexora
