// The capture machinery of the application's process: the hidden bridge window that collects
// what the instances report, its catch timer and the capture step, started by SN_START and
// stopped by SN_STOP.
#include "internal.h"
#include "runs.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace lxsys {

namespace {

constexpr char kBridgeClass[] = "SNBridgeWndClass";
constexpr int kClassNameLimit = 80;

// What SN_START made in this process.
std::unique_ptr<TTextCollection> runs;
HWND bridge;
HHOOK mouseHook;

void restartCatchTimer(HWND window, CaptureShared& record) {
    if (record.timerId) KillTimer(window, record.timerId);
    record.timerId = static_cast<uint32_t>(
        SetTimer(window, SN_CATCH_TIMER, static_cast<UINT>(record.catchDelay), nullptr));
}

// Without a window of its own (a process that did not start capture) the caller only clears
// the id: a null window would name a timer of the calling thread.
void stopCatchTimer(HWND window, CaptureShared& record) {
    if (window && record.timerId) KillTimer(window, record.timerId);
    record.timerId = 0;
}

// Makes the target's thread repaint, at once, the one-pixel-high strip through the pointer
// (the single pixel in a menu); its text output meanwhile reaches the redirected entry points,
// which report to the bridge window.
void repaintUnderPointer(HWND target, POINT pointer) {
    POINT p = pointer;
    ScreenToClient(target, &p);
    RECT client{};
    GetClientRect(target, &client);
    char className[kClassNameLimit + 1] = "";
    GetClassNameA(target, className, sizeof className);
    RECT line = {client.left, p.y, client.right, p.y + 1};
    if (PtInRect(&client, p)) {
        if (std::strcmp(className, "#32768") == 0) line = {p.x, p.y, p.x + 1, p.y + 1};
        RedrawWindow(target, &line, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    } else {
        RECT corner = {0, 0, 1, 1};
        InvalidateRect(target, &corner, FALSE);
        SendMessageA(target, WM_NCPAINT, 0, 0);
    }
    if (std::strcmp(className, "#32772") == 0) {
        InvalidateRect(target, &line, TRUE);
        UpdateWindow(target);
    }
}

// The forced repaint returns at once when the target's thread has already begun painting on
// its own (it may, on another processor, as soon as the strip is invalidated): the reports of
// that paint keep coming afterwards. They are taken until none has come for a short while. A
// window of this thread has painted by the time the repaint returns.
unsigned reportsReceived;

void awaitLateReports(HWND target) {
    constexpr DWORD kQuietMs = 6;
    constexpr DWORD kLongestMs = 500;
    if (GetWindowThreadProcessId(target, nullptr) == GetCurrentThreadId()) return;
    DWORD start = GetTickCount();
    DWORD lastReport = start;
    unsigned seen = reportsReceived;
    for (DWORD now = start; now - start < kLongestMs && now - lastReport < kQuietMs;
         now = GetTickCount()) {
        MsgWaitForMultipleObjectsEx(0, nullptr, kQuietMs - (now - lastReport), QS_SENDMESSAGE,
                                    MWMO_INPUTAVAILABLE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (reportsReceived != seen) {
            seen = reportsReceived;
            lastReport = GetTickCount();
        }
    }
}

// One tick of the catch timer: captures once per rest of the pointer.
void captureStep(HWND window, CaptureShared& record) {
    if (!record.captureEnabled || !record.armed) return;
    record.collecting = 1;
    if (HWND target = liveWindow(record.targetWindow)) {
        repaintUnderPointer(target, POINT{record.cursorX, record.cursorY});
        awaitLateReports(target);
    }
    record.collecting = 0;
    record.armed = 0;
    SendMessageA(window, SN_BRIDGE_ASSEMBLE, 0, 0);
    stopCatchTimer(window, record);
}

// A payload is taken only when its kind and its exact size match; it may come from any
// process.
template <typename Payload> bool readPayload(const COPYDATASTRUCT& data, Payload& payload) {
    if (!data.lpData || data.cbData != sizeof(Payload)) return false;
    std::memcpy(&payload, data.lpData, sizeof payload);
    return true;
}

LRESULT copyData(const COPYDATASTRUCT* data) {
    if (!runs || !data) return 0;
    ++reportsReceived;
    switch (static_cast<uint32_t>(data->dwData)) {
    case SN_KIND_TEXT_RUN: {
        TextRunMessage message;
        if (!readPayload(*data, message)) return 0;
        insertRun(*runs, message);
        return 1;
    }
    case SN_KIND_BLIT: {
        BlitMessage message;
        if (!readPayload(*data, message)) return 0;
        applyBlit(*runs, message);
        return 1;
    }
    default:
        return 1;
    }
}

LRESULT CALLBACK bridgeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CaptureShared* record = shared();
    if (!record) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case SN_BRIDGE_RESTART_TIMER:
        restartCatchTimer(window, *record);
        return 0;
    case WM_TIMER:
        if (wParam != SN_CATCH_TIMER) break;
        captureStep(window, *record);
        return 0;
    case SN_BRIDGE_ASSEMBLE:
        if (!runs) return 0;
        assembleWord(*runs);
        return 1;
    case WM_COPYDATA:
        return copyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool createBridgeWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = bridgeProc;
    windowClass.hInstance = thisModule();
    windowClass.lpszClassName = kBridgeClass;
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    bridge =
        CreateWindowExA(0, kBridgeClass, "", WS_POPUP | WS_DISABLED, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, thisModule(), nullptr);
    return bridge != nullptr;
}

bool createRuns() {
    if (runs) return true;
    try {
        runs = std::make_unique<TTextCollection>();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void removeMouseHook(CaptureShared& record) {
    HHOOK ours = std::exchange(mouseHook, nullptr);
    uint32_t recorded = std::exchange(record.mouseHook, 0);
    if (recorded) UnhookWindowsHookEx(handleFrom<HHOOK>(recorded));
    if (ours && handleField(ours) != recorded) UnhookWindowsHookEx(ours);
}

} // namespace

// A start whose bridge window is gone (its process ended without SN_STOP) no longer counts.
// What a failed start made stays in place, and the next start goes on from there.
int startCapture(HWND notifyWindow) {
    CaptureShared* record = shared();
    if (!record || (record->started && liveWindow(record->bridgeWindow))) return 0;
    if (!createRuns()) return 0;
    record->notifyWindow = handleField(notifyWindow);
    record->wordRect = {-1, -1, -1, -1};
    if (!mouseHook) mouseHook = SetWindowsHookExA(WH_MOUSE, LXbMouseProc, thisModule(), 0);
    if (!mouseHook) return 0;
    record->mouseHook = handleField(mouseHook);
    if (!bridge && !createBridgeWindow()) return 0;
    record->bridgeWindow = handleField(bridge);
    record->started = 1;
    record->captureEnabled = 0;
    return 1;
}

int stopCapture() {
    CaptureShared* record = shared();
    if (!record) return 1;
    record->captureEnabled = 0;
    stopCatchTimer(bridge, *record);
    removeMouseHook(*record);
    record->started = 0;
    runs.reset();
    if (bridge) {
        DestroyWindow(std::exchange(bridge, nullptr));
        record->bridgeWindow = 0;
    }
    UnregisterClassA(kBridgeClass, thisModule());
    return 1;
}

} // namespace lxsys
