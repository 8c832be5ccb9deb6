// lxsys: LEXORA's hook and capture library (Windows only). The application links it by import;
// the system-wide hooks it installs make the window system load it into every other program
// with windows. Every instance shares one record, CaptureShared, under "lxsystem.sharedata"; a
// hidden bridge window in the application's process collects what the instances report while
// the window under a resting pointer repaints a one-pixel strip, and the application is told by
// SN_NOTIFY when a word is ready. The library refuses to load without the glyph file
// DICT_GB.FNT beside it.
#ifndef LEXORA_LXSYS_H
#define LEXORA_LXSYS_H

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Messages between the library and the application.
enum {
    // Sent to the notify window; wParam SN_POINTER_MOVED or SN_WORD_READY, lParam 0.
    SN_NOTIFY = 0x1400,
    SN_POINTER_MOVED = 1,
    SN_WORD_READY = 2,
    // Sent to the bridge window by the mouse hook and by the bridge window's own timer step.
    SN_BRIDGE_RESTART_TIMER = 3020,
    SN_BRIDGE_ASSEMBLE = 3021,
    // Id of the bridge window's one timer, the catch timer.
    SN_CATCH_TIMER = 1,
    // Posted to the hot-key window; wParam the hot key's id (1-5), lParam 0.
    LX_HOTKEY = 0x1997,
};

// Operations of SendSNMessage.
enum {
    SN_START = 2,
    SN_STOP = 3,
    SN_SET_ENABLE = 4,
    SN_GET_ENABLE = 5,
    SN_SET_NOTIFY_WINDOW = 6,
    SN_GET_NOTIFY_WINDOW = 7,
    SN_SET_DELAY = 8,
    SN_GET_DELAY = 9,
    SN_SET_WORD_BREAK = 10,
    SN_GET_WORD_BREAK = 11,
    SN_SET_AUX_KEY = 12,
    SN_GET_AUX_KEY = 13,
    SN_SET_JOIN_SPACED = 14,
    SN_GET_JOIN_SPACED = 15,
    SN_GET_WORD = 32,
};

// Kind words of the copy-data payloads sent to the bridge window: the four letters in memory
// order, "QZRC" and "RZRC".
enum {
    SN_KIND_TEXT_RUN = 0x43525A51,
    SN_KIND_BLIT = 0x43525A52,
};

// Longest text of a captured word or a reported run, without its NUL.
enum { SN_TEXT_LIMIT = 767 };

#pragma pack(push, 1)
// A rectangle in screen coordinates, signed 32-bit edges.
typedef struct CaptureRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
} CaptureRect;

// The record every instance shares under "lxsystem.sharedata". Handles are stored as their
// 32-bit values; flags are 0 for off, nonzero for on.
typedef struct CaptureShared {
    uint32_t focusWindow;
    int32_t dynamicTranslate;
    int32_t chineseDisplay;
    int32_t smallGlyphs;
    int32_t decodeAutoCodePage;
    int32_t decodeMime;
    int32_t decodeHz;
    int32_t decodeIso2022;
    int32_t drawPrompt;
    uint32_t mouseHook;
    uint32_t keyboardHook;
    uint32_t callWndHook;
    uint32_t timerId;
    uint32_t bridgeWindow;
    uint32_t reserved;
    int32_t started;
    int32_t captureEnabled;
    int32_t catchDelay;
    int32_t auxiliaryKey;
    int32_t chineseWordBreak;
    int32_t joinSpacedChinese;
    uint32_t notifyWindow;
    int32_t cursorX;
    int32_t cursorY;
    int32_t collecting;
    int32_t armed;
    uint32_t targetWindow;
    CaptureRect wordRect;
    uint32_t wordDC;
    int32_t wordIsDoubleByte;
    char wordText[SN_TEXT_LIMIT + 1];
} CaptureShared;

// Copy-data payload of kind SN_KIND_TEXT_RUN: one text run drawn inside the target window.
typedef struct TextRunMessage {
    uint32_t dc;
    CaptureRect rect;
    char text[SN_TEXT_LIMIT + 1];
    int32_t isDoubleByte;
} TextRunMessage;

// Copy-data payload of kind SN_KIND_BLIT: one block transfer between two device contexts,
// origins in screen coordinates, sizes in device units.
typedef struct BlitMessage {
    uint32_t sourceDC;
    int32_t sourceX;
    int32_t sourceY;
    int32_t sourceWidth;
    int32_t sourceHeight;
    uint32_t destDC;
    int32_t destX;
    int32_t destY;
    int32_t destWidth;
    int32_t destHeight;
} BlitMessage;

// The caller's buffer of SN_GET_WORD.
typedef struct CapturedWordInfo {
    uint32_t untouched;
    CaptureRect wordRect;
    int32_t length;
    char text[SN_TEXT_LIMIT + 1];
} CapturedWordInfo;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(CaptureRect) == 16, "CaptureRect is 16 bytes");

static_assert(sizeof(CaptureShared) == 900, "CaptureShared is 900 bytes");
static_assert(offsetof(CaptureShared, focusWindow) == 0, "focusWindow");
static_assert(offsetof(CaptureShared, dynamicTranslate) == 4, "dynamicTranslate");
static_assert(offsetof(CaptureShared, chineseDisplay) == 8, "chineseDisplay");
static_assert(offsetof(CaptureShared, smallGlyphs) == 12, "smallGlyphs");
static_assert(offsetof(CaptureShared, decodeAutoCodePage) == 16, "decodeAutoCodePage");
static_assert(offsetof(CaptureShared, decodeMime) == 20, "decodeMime");
static_assert(offsetof(CaptureShared, decodeHz) == 24, "decodeHz");
static_assert(offsetof(CaptureShared, decodeIso2022) == 28, "decodeIso2022");
static_assert(offsetof(CaptureShared, drawPrompt) == 32, "drawPrompt");
static_assert(offsetof(CaptureShared, mouseHook) == 36, "mouseHook");
static_assert(offsetof(CaptureShared, keyboardHook) == 40, "keyboardHook");
static_assert(offsetof(CaptureShared, callWndHook) == 44, "callWndHook");
static_assert(offsetof(CaptureShared, timerId) == 48, "timerId");
static_assert(offsetof(CaptureShared, bridgeWindow) == 52, "bridgeWindow");
static_assert(offsetof(CaptureShared, reserved) == 56, "reserved");
static_assert(offsetof(CaptureShared, started) == 60, "started");
static_assert(offsetof(CaptureShared, captureEnabled) == 64, "captureEnabled");
static_assert(offsetof(CaptureShared, catchDelay) == 68, "catchDelay");
static_assert(offsetof(CaptureShared, auxiliaryKey) == 72, "auxiliaryKey");
static_assert(offsetof(CaptureShared, chineseWordBreak) == 76, "chineseWordBreak");
static_assert(offsetof(CaptureShared, joinSpacedChinese) == 80, "joinSpacedChinese");
static_assert(offsetof(CaptureShared, notifyWindow) == 84, "notifyWindow");
static_assert(offsetof(CaptureShared, cursorX) == 88, "cursorX");
static_assert(offsetof(CaptureShared, cursorY) == 92, "cursorY");
static_assert(offsetof(CaptureShared, collecting) == 96, "collecting");
static_assert(offsetof(CaptureShared, armed) == 100, "armed");
static_assert(offsetof(CaptureShared, targetWindow) == 104, "targetWindow");
static_assert(offsetof(CaptureShared, wordRect) == 108, "wordRect");
static_assert(offsetof(CaptureShared, wordDC) == 124, "wordDC");
static_assert(offsetof(CaptureShared, wordIsDoubleByte) == 128, "wordIsDoubleByte");
static_assert(offsetof(CaptureShared, wordText) == 132, "wordText");

static_assert(sizeof(TextRunMessage) == 792, "TextRunMessage is 792 bytes");
static_assert(offsetof(TextRunMessage, dc) == 0, "dc");
static_assert(offsetof(TextRunMessage, rect) == 4, "rect");
static_assert(offsetof(TextRunMessage, text) == 20, "text");
static_assert(offsetof(TextRunMessage, isDoubleByte) == 788, "isDoubleByte");

static_assert(sizeof(BlitMessage) == 40, "BlitMessage is 40 bytes");
static_assert(offsetof(BlitMessage, sourceDC) == 0, "sourceDC");
static_assert(offsetof(BlitMessage, sourceX) == 4, "sourceX");
static_assert(offsetof(BlitMessage, sourceY) == 8, "sourceY");
static_assert(offsetof(BlitMessage, sourceWidth) == 12, "sourceWidth");
static_assert(offsetof(BlitMessage, sourceHeight) == 16, "sourceHeight");
static_assert(offsetof(BlitMessage, destDC) == 20, "destDC");
static_assert(offsetof(BlitMessage, destX) == 24, "destX");
static_assert(offsetof(BlitMessage, destY) == 28, "destY");
static_assert(offsetof(BlitMessage, destWidth) == 32, "destWidth");
static_assert(offsetof(BlitMessage, destHeight) == 36, "destHeight");

static_assert(sizeof(CapturedWordInfo) == 792, "CapturedWordInfo is 792 bytes");
static_assert(offsetof(CapturedWordInfo, wordRect) == 4, "wordRect");
static_assert(offsetof(CapturedWordInfo, length) == 20, "length");
static_assert(offsetof(CapturedWordInfo, text) == 24, "text");
#endif

// Drives capture: op is one of the SN_ operations above. Setters return the previous value; an
// unknown op returns 0. SN_GET_WORD copies the current word into the CapturedWordInfo that
// lParam points to and returns its length, or 0 when those 792 bytes are not writable.
int WINAPI SendSNMessage(UINT op, WPARAM wParam, LPARAM lParam);

// Installs the keyboard and call-window-procedure hooks for all threads and registers owner;
// 1, or 0 when an owner is already registered in this process or a hook cannot be installed.
int WINAPI LXbHookAll(HWND owner);
// Removes both hooks when owner is the registered one; 0 when refused, else whether the
// keyboard hook came off (and then the registration is cleared).
int WINAPI LXbUnhookAll(HWND owner);
// The last window other than the hook owner that received the keyboard focus.
HWND WINAPI LXbGetFocus(void);
// 1 when no call-through of a redirected text entry point is in progress in this process, so
// the process may end; 0 while the text entry points are not redirected at all.
int WINAPI LXbCanExit(void);
// Per-process mouse-forwarding switch and window; kept for the application, read by nothing.
int WINAPI LXbActiveHook(int flag);
HWND WINAPI LXbSetHookMouseWin(HWND window);

// Hot keys: the switch (shared by every process; returns the previous one), the window that
// receives LX_HOTKEY (the first one registered stays while it exists; returns it), the keyboard
// hook flag (stored only), the keyboard focus window (always none) and the per-process count of
// Chinese interfaces (both return 1).
int WINAPI LXbSwitchHotKey(int flag);
HWND WINAPI LXbSetHookKBDWin(HWND window);
int WINAPI LXbActiveKBDHook(int flag);
HWND WINAPI LXbGetKbdFocusWin(void);
int WINAPI LXbToChinese(void);
int WINAPI LXbToEnglish(void);

// Display switches, shared by every process. The two drawing switches refresh the screen when
// they change and return the value now stored; LXbSetDecode stores the four decode switches and
// returns nonzero when any of them changed (refreshing the screen then); LXbGetDecode writes
// them to the pointers that are not null.
int WINAPI LXbActiveHZSYS(int flag);
int WINAPI LXbSetSmallHZ(int flag);
int WINAPI LXbChgJFfnt(int face);
int WINAPI LXbSetDynamicHH(int flag);
int WINAPI LXbSetDrawPrompt(int flag);
int WINAPI LXbSetTPChkStyle(int style);
int WINAPI LXbSetDecode(int autoCodePage, int mime, int hz, int iso2022);
int WINAPI LXbGetDecode(int* autoCodePage, int* mime, int* hz, int* iso2022);

// The three hook procedures the library installs, exported so that they can be driven
// directly.
LRESULT CALLBACK LXbMouseProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LXbKeyboardProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LXbCallWndProc(int code, WPARAM wParam, LPARAM lParam);

#ifdef __cplusplus
}
#endif

#endif
