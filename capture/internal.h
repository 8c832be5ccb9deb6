// What the parts of lxsys share inside one process.
#ifndef LEXORA_LXSYS_INTERNAL_H
#define LEXORA_LXSYS_INTERNAL_H

#include "lxsys.h"

#include <cstddef>
#include <cstdint>

namespace lxsys {

#pragma pack(push, 1)
// The second record every instance shares, under "lxsystem.hotkeys": the hot keys must work in
// whichever process receives the key, so the switch and the window they go to live here.
struct HotKeyShared {
    int32_t hotKeySwitch;
    uint32_t hotKeyWindow;
};
#pragma pack(pop)
static_assert(sizeof(HotKeyShared) == 8, "HotKeyShared is 8 bytes");
static_assert(offsetof(HotKeyShared, hotKeySwitch) == 0, "hotKeySwitch");
static_assert(offsetof(HotKeyShared, hotKeyWindow) == 4, "hotKeyWindow");

// This process's view of the shared records; null before the library is set up and after it is
// released.
CaptureShared* shared();
HotKeyShared* hotKeys();
HMODULE thisModule();

// Handles cross processes as their 32-bit values.
inline uint32_t handleField(const void* handle) {
    return static_cast<uint32_t>(HandleToLong(handle));
}
template <typename Handle> Handle handleFrom(uint32_t field) {
    return static_cast<Handle>(LongToHandle(static_cast<LONG>(field)));
}
// A window named by the shared record, or null when the value names no window (any process may
// have written it, or its window may be gone).
HWND liveWindow(uint32_t field);

inline bool contains(const CaptureRect& rect, int32_t x, int32_t y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// Glyph files beside the library, loaded when a process attaches; false when DICT_GB.FNT is
// missing or a table cannot be allocated (nothing is left allocated then).
bool loadGlyphTables();
void freeGlyphTables();
// Makes every window redraw, so that a changed display switch shows at once.
void refreshScreen();

// The redirection of the graphics library's text-output entry points in this process.
void installCodePatches();
void removeCodePatches();
// True when the four entry points whose call-through must not be cut short are redirected and
// none of them is being called through right now.
bool textPatchesCarryJumps();

// Capture machinery of the application's process (SN_START / SN_STOP).
int startCapture(HWND notifyWindow);
int stopCapture();

} // namespace lxsys

#endif
