#include "dictapp.h"

#include "core/files.h"
#include "core/settings.h"
#include "dictmain.h"
#include "frame.h"
#include "prompt.h"
#include "resource_ids.h"

#include <cpconv.h>
#include <lxsys.h>

#include <commctrl.h>

namespace lexora {

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFirstTimerPeriod = 60000;
constexpr UINT kTimerPeriod = 50;
constexpr DWORD kStartupDialogMinimumMs = 300;
constexpr char kApplicationName[] = "LEXORA";

void initialiseCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
}

// Another copy already running is brought forward instead of starting a second one.
bool restoreRunningCopy() {
    HWND running = FindWindowA(kFrameClassName, kFrameTitle);
    if (!running) return false;
    BringWindowToTop(running);
    SendMessageA(running, WM_SYSCOMMAND, SC_RESTORE, 0);
    return true;
}

bool startChineseSystem() {
    if (LXbToChinese()) return true;
    if (MessageBoxA(nullptr, "Can't start chinese system!\nRestart Windows?", "Error!",
                    MB_OKCANCEL | MB_ICONSTOP) == IDOK)
        ExitWindowsEx(0, 0xFFFFFFFF);
    return false;
}

void applyDisplaySettings() {
    LXbActiveHZSYS(settings.useChinese);
    CPC_SetCodePage(CPC_PAGE_GB);
    LXbSetSmallHZ(settings.smallHZType);
    LXbSwitchHotKey(settings.hotkeySwitch);
    if (settings.useChinese) LXbChgJFfnt(settings.fontSelector);
}

// A dialog whose GB texts are shown in the current code page.
class TPageDialog : public TDialog {
  public:
    using TDialog::TDialog;

  protected:
    BOOL setupWindow() override {
        CPC_ConvertWindow(handle());
        return TRUE;
    }
};

} // namespace

TStartupDialog::TStartupDialog(HWND parent) : TDialog(parent, IDD_STARTUP) {}

LRESULT TStartupDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        closeWindow(IDCANCEL);
        return TRUE;
    case WM_PAINT:
        paint();
        return TRUE;
    default:
        return TDialog::handleMessage(message, wParam, lParam);
    }
}

// The program's picture over the whole window, and its name along the bottom.
void TStartupDialog::paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle(), &paint);
    RECT client;
    GetClientRect(handle(), &client);
    if (HBITMAP logo = LoadBitmapA(programInstance(), "LOGO")) {
        BITMAP size{};
        GetObjectA(logo, sizeof size, &size);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, logo);
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, size.bmWidth, size.bmHeight,
                   SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(logo);
    }
    SetBkMode(dc, TRANSPARENT);
    RECT line = client;
    line.top = client.bottom - 24;
    DrawTextA(dc, kFrameTitle, -1, &line, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    EndPaint(handle(), &paint);
}

TDictApp::TDictApp() = default;
TDictApp::~TDictApp() = default;

int TDictApp::run(int showCommand) {
    if (restoreRunningCopy()) return 0;
    initialiseCommonControls();
    if (!startChineseSystem()) return 1;

    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    LXbActiveHZSYS(1);
    startup_ = std::make_unique<TStartupDialog>(nullptr);
    if (HWND dialog = startup_->createModeless()) {
        ShowWindow(dialog, SW_SHOW);
        UpdateWindow(dialog);
        addModeless(dialog);
    }

    setModuleDirectory();
    loadPhoneticGlyphs();
    loadSettings(settingsFilePath());
    applyDisplaySettings();
    if (settings.hideMainWindow) {
        settings.catchWord = 1;
        showCommand = SW_SHOWMINIMIZED;
    }
    openUserLibrary();

    frame_ = std::make_unique<TMyFrame>();
    if (!frame_->create(showCommand)) {
        LXbToEnglish();
        return 1;
    }
    frame_->setCloseQuery([this] { return canClose(); });
    if (!startCapture()) {
        LXbToEnglish();
        return 1;
    }
    closeStartupDialog();
    startTimer();
    frame_->client().switchFaceAndCodePage(settings.codePage, settings.faceStyle, true);
    frame_->startAnimation();

    HACCEL accelerators = LoadAcceleratorsA(programInstance(), "LXACC");
    return TApplication::run(frame_->handle(), accelerators);
}

bool TDictApp::startCapture() {
    prompt_ = std::make_unique<LXPrompt>(*frame_);
    promptBar_ = prompt_->createBar() ? prompt_->handle() : nullptr;
    if (!LXbHookAll(promptBar_)) {
        MessageBoxA(nullptr, "LEXORA start error!", "STOP", MB_OK | MB_ICONSTOP);
        return false;
    }
    frame_->setPromptBar(promptBar_);
    LXbSetHookKBDWin(frame_->handle());
    LXbActiveKBDHook(1);
    if (!SendSNMessage(SN_START, reinterpret_cast<WPARAM>(promptBar_), 0))
        MessageBoxA(frame_->handle(), "Snapper start error!", "Error", MB_OK);
    SendSNMessage(SN_SET_ENABLE, static_cast<WPARAM>(settings.catchWord), 0);
    return true;
}

// The start-up dialog stays at least a moment, so that it is seen; the main window paints
// meanwhile.
void TDictApp::closeStartupDialog() {
    if (!startup_->handle()) return;
    const DWORD shown = GetTickCount();
    while (GetTickCount() - shown < kStartupDialogMinimumMs) {
        dispatchPending();
        Sleep(10);
    }
    if (HWND dialog = startup_->handle()) {
        ShowWindow(dialog, SW_HIDE);
        DestroyWindow(dialog);
    }
}

// The long first period only asks whether the system has a timer left; the 50 ms one replaces it.
void TDictApp::startTimer() {
    HWND frame = frame_->handle();
    if (!SetTimer(frame, kFrameTimer, kFirstTimerPeriod, nullptr))
        MessageBoxA(frame, "Out of Timers", kApplicationName, MB_OK | MB_ICONEXCLAMATION);
    SetTimer(frame, kFrameTimer, kTimerPeriod, nullptr);
}

bool TDictApp::canClose() {
    if (closing_) return false;
    closing_ = true;
    if (!LXbCanExit() && !confirmUnsafeExit()) {
        closing_ = false;
        return false;
    }
    if (settings.autoSaveHistory) frame_->client().saveHistory();
    saveSettings(settingsFilePath(), promptBar_);
    if (promptBar_) {
        SendSNMessage(SN_STOP, 0, 0);
        LXbUnhookAll(promptBar_);
        prompt_.reset();
        promptBar_ = nullptr;
        frame_->setPromptBar(nullptr);
    }
    LXbToEnglish();
    return true;
}

// lxsys cannot vouch for a safe exit (another Chinese system holds the text output): the user
// decides. Without its dialog template the question is asked in a plain message box.
bool TDictApp::confirmUnsafeExit() {
    modalDialogOpen = true;
    MessageBeep(MB_ICONHAND);
    TPageDialog warning(frame_->handle(),
                        settings.faceStyle == 1 ? IDD_WARNING_CHN : IDD_WARNING_ENG);
    INT_PTR choice = warning.execute();
    if (choice == -1)
        choice = MessageBoxA(frame_->handle(), "WARNING:System error, quit LEXORA?",
                             kApplicationName, MB_OKCANCEL | MB_ICONHAND | MB_DEFBUTTON2);
    modalDialogOpen = false;
    return choice == IDOK;
}

} // namespace lexora
