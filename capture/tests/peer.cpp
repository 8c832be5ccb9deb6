// The peer process's side: each command does one thing through the library and exits with its
// result.
#include "testutil.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int argument(char** argv, int index) {
    return std::atoi(argv[index]);
}

// A payload of kind and size for the bridge window, filled with a run of text "peer".
int sendCopyData(unsigned kind, int size) {
    std::vector<char> payload(size > 0 ? size : 1, '\0');
    std::memcpy(payload.data() + offsetof(TextRunMessage, text), "peer",
                std::min<size_t>(5, payload.size() - offsetof(TextRunMessage, text)));
    COPYDATASTRUCT data = {kind, static_cast<DWORD>(size), payload.data()};
    HWND bridge = static_cast<HWND>(LongToHandle(static_cast<LONG>(record().bridgeWindow)));
    return static_cast<int>(SendMessageA(bridge, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)));
}

// Ctrl pressed, F12 pressed and released, as the keyboard hook of this process sees them.
int pressCtrlF12() {
    LXbKeyboardProc(HC_ACTION, VK_CONTROL, 1);
    LXbKeyboardProc(HC_ACTION, VK_F12, 1);
    LXbKeyboardProc(HC_ACTION, VK_F12, static_cast<LPARAM>(0xC0000001u));
    LXbKeyboardProc(HC_ACTION, VK_CONTROL, static_cast<LPARAM>(0xC0000001u));
    return 0;
}

} // namespace

int peerMain(int argc, char** argv) {
    std::string command = argc > 0 ? argv[0] : "";
    if (command == "get-delay") return SendSNMessage(SN_GET_DELAY, 0, 0);
    if (command == "set-aux" && argc == 2)
        return SendSNMessage(SN_SET_AUX_KEY, argument(argv, 1), 0);
    if (command == "switch-hotkeys" && argc == 2) return LXbSwitchHotKey(argument(argv, 1));
    if (command == "press-ctrl-f12") return pressCtrlF12();
    if (command == "unhook" && argc == 2)
        return LXbUnhookAll(static_cast<HWND>(LongToHandle(argument(argv, 1))));
    if (command == "copydata" && argc == 3)
        return sendCopyData(static_cast<unsigned>(std::strtoul(argv[1], nullptr, 0)),
                            argument(argv, 2));
    return 100;
}
