// Bounded waits that dispatch messages, input through SendInput, and the message recorder.
#include "gui.h"

#include <algorithm>
#include <string>

namespace testsupport {
namespace {

// How often a wait looks at its condition when no message wakes it.
constexpr DWORD kPollMs = 10;
// A WM_COPYDATA payload larger than this is recorded without its bytes.
constexpr DWORD kMaxRecordedCopyBytes = 1 << 20;
constexpr char kRecorderClass[] = "LXGuiTestRecorder";

void dispatchPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool sendInput(INPUT input) {
    return SendInput(1, &input, sizeof input) == 1;
}

bool underWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool isKeyDown(WORD virtualKey) {
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// The X key names of the modifiers that are held on the X display under Wine.
const char* displayKeyName(WORD virtualKey) {
    switch (virtualKey) {
    case VK_SHIFT:
        return "shift";
    case VK_CONTROL:
        return "ctrl";
    case VK_MENU:
        return "alt";
    default:
        return nullptr;
    }
}

// Runs xdotool on the X display that Wine draws on: Wine starts Unix programs through
// CreateProcess, given their DOS path.
bool runXdotool(const std::string& arguments) {
    using DosFileName = WCHAR*(CDECL*)(const char*);
    FARPROC exported = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name");
    if (!exported) return false;
    auto dosFileName = reinterpret_cast<DosFileName>(reinterpret_cast<void (*)()>(exported));
    WCHAR* path = dosFileName("/usr/bin/xdotool");
    if (!path) return false;
    std::wstring application(path);
    HeapFree(GetProcessHeap(), 0, path);
    std::wstring command = L"xdotool " + std::wstring(arguments.begin(), arguments.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(application.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

// Presses or releases a key, on the X display for the modifiers under Wine.
bool sendHeldKey(WORD virtualKey, bool release) {
    const char* name = displayKeyName(virtualKey);
    if (name && underWine())
        return runXdotool((release ? "keyup " : "keydown ") + std::string(name));
    return release ? keyUp(virtualKey) : keyDown(virtualKey);
}

// Absolute pointer coordinates run from 0 to 65535 across the primary display; rounding up
// makes the pixel the system computes back exactly the one asked for.
LONG normalised(LONG pixel, int extent) {
    return static_cast<LONG>((static_cast<LONGLONG>(pixel) * 65536 + extent - 1) / extent);
}

bool isExtendedKey(WORD virtualKey) {
    switch (virtualKey) {
    case VK_RMENU:
    case VK_RCONTROL:
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_NUMLOCK:
    case VK_DIVIDE:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_SNAPSHOT:
        return true;
    default:
        return false;
    }
}

bool sendKey(WORD virtualKey, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags =
        (release ? KEYEVENTF_KEYUP : 0) | (isExtendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    return sendInput(input);
}

bool sendButton(MouseButton button, bool release) {
    static constexpr DWORD kDown[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTDOWN,
                                      MOUSEEVENTF_MIDDLEDOWN};
    static constexpr DWORD kUp[] = {MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_MIDDLEUP};
    std::size_t index = static_cast<std::size_t>(button);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = release ? kUp[index] : kDown[index];
    return sendInput(input);
}

void registerRecorderClass(WNDPROC procedure) {
    WNDCLASSA existing;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoA(instance, kRecorderClass, &existing)) return;
    WNDCLASSA windowClass{};
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kRecorderClass;
    windowClass.lpfnWndProc = procedure;
    RegisterClassA(&windowClass);
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        dispatchPending();
        if (condition()) return true;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(kPollMs, deadline - now));
        MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

void pumpFor(DWORD ms) {
    waitUntil([] { return false; }, ms);
}

bool displayAvailable() {
    char display[2];
    return !underWine() || GetEnvironmentVariableA("DISPLAY", display, sizeof display) > 0;
}

POINT centreOf(const RECT& rect) {
    return {rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
}

HWND visibleWindowOfThread(DWORD threadId) {
    HWND found = nullptr;
    if (threadId)
        EnumThreadWindows(
            threadId,
            [](HWND window, LPARAM value) {
                if (!IsWindowVisible(window)) return TRUE;
                *reinterpret_cast<HWND*>(value) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
    return found;
}

bool movePointer(POINT screen, DWORD timeoutMs) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (screen.x < 0 || screen.y < 0 || screen.x >= width || screen.y >= height) return false;
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = normalised(screen.x, width);
    input.mi.dy = normalised(screen.y, height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    if (!sendInput(input)) return false;
    return waitUntil(
        [screen] {
            POINT now;
            return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
        },
        timeoutMs);
}

bool restPointer(POINT screen, DWORD restMs) {
    if (!movePointer(screen)) return false;
    pumpFor(restMs);
    return true;
}

bool keyDown(WORD virtualKey) {
    return sendKey(virtualKey, false);
}
bool keyUp(WORD virtualKey) {
    return sendKey(virtualKey, true);
}

bool pressKeys(std::initializer_list<WORD> virtualKeys) {
    bool sent = true;
    for (WORD key : virtualKeys)
        sent = keyDown(key) && sent;
    for (auto key = std::rbegin(virtualKeys); key != std::rend(virtualKeys); ++key)
        sent = keyUp(*key) && sent;
    return sent;
}

HeldKey::HeldKey(WORD virtualKey, DWORD timeoutMs) : virtualKey_(virtualKey) {
    held_ = sendHeldKey(virtualKey, false) &&
            waitUntil([virtualKey] { return isKeyDown(virtualKey); }, timeoutMs);
}

HeldKey::~HeldKey() {
    if (sendHeldKey(virtualKey_, true)) waitUntil([this] { return !isKeyDown(virtualKey_); });
}

bool buttonDown(MouseButton button) {
    return sendButton(button, false);
}
bool buttonUp(MouseButton button) {
    return sendButton(button, true);
}
bool click(MouseButton button) {
    return buttonDown(button) && buttonUp(button);
}

MessageRecorder::MessageRecorder(const char* title) {
    registerRecorderClass(&procedure);
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kRecorderClass, title, WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, GetModuleHandleA(nullptr), this);
}

MessageRecorder::~MessageRecorder() {
    if (!window_) return;
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void MessageRecorder::record(UINT message) {
    alsoRecorded_.push_back(message);
}

void MessageRecorder::onMessage(UINT message, Handler handler) {
    handlers_[message] = std::move(handler);
}

std::size_t MessageRecorder::count(UINT message) const {
    return static_cast<std::size_t>(
        std::count_if(messages_.begin(), messages_.end(),
                      [message](const RecordedMessage& m) { return m.message == message; }));
}

std::optional<RecordedMessage> MessageRecorder::waitFor(UINT message, WPARAM wParam,
                                                        DWORD timeoutMs) {
    auto matches = [&](const RecordedMessage& m) {
        return m.message == message && m.wParam == wParam;
    };
    if (!waitUntil([&] { return std::any_of(messages_.begin(), messages_.end(), matches); },
                   timeoutMs))
        return std::nullopt;
    return *std::find_if(messages_.begin(), messages_.end(), matches);
}

std::optional<RecordedMessage> MessageRecorder::waitForAny(UINT message, DWORD timeoutMs) {
    if (!waitUntil([&] { return count(message) > 0; }, timeoutMs)) return std::nullopt;
    return *std::find_if(messages_.begin(), messages_.end(),
                         [message](const RecordedMessage& m) { return m.message == message; });
}

bool MessageRecorder::quietFor(DWORD ms) {
    std::size_t before = messages_.size();
    pumpFor(ms);
    return messages_.size() == before;
}

bool MessageRecorder::recorded(UINT message) const {
    return message == WM_COPYDATA || message >= WM_USER ||
           std::find(alsoRecorded_.begin(), alsoRecorded_.end(), message) != alsoRecorded_.end();
}

LRESULT CALLBACK MessageRecorder::procedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* recorder = reinterpret_cast<MessageRecorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!recorder) return DefWindowProcA(window, message, wParam, lParam);
    return recorder->receive(window, message, wParam, lParam);
}

LRESULT MessageRecorder::receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!recorded(message)) return DefWindowProcA(window, message, wParam, lParam);
    RecordedMessage entry{window, message, wParam, lParam, GetTickCount(), 0, {}};
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (message == WM_COPYDATA && copy) {
        entry.copyKind = copy->dwData;
        if (copy->lpData && copy->cbData <= kMaxRecordedCopyBytes) {
            const auto* bytes = static_cast<const unsigned char*>(copy->lpData);
            entry.copyData.assign(bytes, bytes + copy->cbData);
        }
    }
    messages_.push_back(entry);
    // The handler may send messages that come back here, or replace itself: it runs as a copy,
    // on a copy of the entry.
    auto found = handlers_.find(message);
    if (found != handlers_.end()) {
        Handler handler = found->second;
        return handler(entry);
    }
    return message == WM_COPYDATA ? TRUE : DefWindowProcA(window, message, wParam, lParam);
}

} // namespace testsupport
