// Setting lxsys up when a process loads it, and releasing it when the process unloads it.
#include "internal.h"
#include "textout.h"

#include "cpconv.h"
#include "platform.h"

#include <cstring>
#include <string>

namespace lxsys {

namespace {

HMODULE module;
lx::platform::SharedBlock captureBlock;
lx::platform::SharedBlock hotKeyBlock;
CaptureShared* captureRecord;
HotKeyShared* hotKeyRecord;

bool openCaptureRecord() {
    std::string error;
    bool created = false;
    if (!lx::platform::openSharedBlock("lxsystem.sharedata", sizeof(CaptureShared), captureBlock,
                                       error, &created))
        return false;
    captureRecord = static_cast<CaptureShared*>(captureBlock.data);
    if (created) {
        std::memset(captureRecord, 0, sizeof *captureRecord);
        captureRecord->catchDelay = 200;
    }
    return true;
}

// The hot keys start switched on.
bool openHotKeyRecord() {
    std::string error;
    bool created = false;
    if (!lx::platform::openSharedBlock("lxsystem.hotkeys", sizeof(HotKeyShared), hotKeyBlock, error,
                                       &created))
        return false;
    hotKeyRecord = static_cast<HotKeyShared*>(hotKeyBlock.data);
    if (created) hotKeyRecord->hotKeySwitch = 1;
    return true;
}

void closeRecords() {
    captureRecord = nullptr;
    hotKeyRecord = nullptr;
    lx::platform::closeSharedBlock(captureBlock);
    lx::platform::closeSharedBlock(hotKeyBlock);
}

bool attach(HMODULE instance) {
    module = instance;
    if (!openCaptureRecord() || !openHotKeyRecord() || !loadGlyphTables()) {
        closeRecords();
        return false;
    }
    CPC_SetCodePage(CPC_PAGE_GB);
    installCodePatches();
    return true;
}

void detach() {
    if (!captureRecord) return;
    removeCodePatches();
    releaseDrawing();
    freeGlyphTables();
    refreshScreen();
    closeRecords();
}

} // namespace

CaptureShared* shared() {
    return captureRecord;
}
HotKeyShared* hotKeys() {
    return hotKeyRecord;
}
HMODULE thisModule() {
    return module;
}

HWND liveWindow(uint32_t field) {
    HWND window = handleFrom<HWND>(field);
    return field != 0 && IsWindow(window) ? window : nullptr;
}

} // namespace lxsys

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) return lxsys::attach(instance) ? TRUE : FALSE;
    if (reason == DLL_PROCESS_DETACH) lxsys::detach();
    return TRUE;
}
