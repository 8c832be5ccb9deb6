// The redirected text output of a process: the calls through to the graphics library's own
// entry points, and the drawing side that the common text handler and the redirected width and
// extent queries use.
#ifndef LEXORA_LXSYS_TEXTOUT_H
#define LEXORA_LXSYS_TEXTOUT_H

#include <windows.h>

namespace lxsys {

// Calls through to the routines of the entry points themselves (patches.cpp), which keep their
// jumps meanwhile where their first instructions could be moved; an entry point without a patch
// is called directly.
BOOL callTextOutA(HDC dc, int x, int y, LPCSTR text, int length);
BOOL callExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                     const INT* dx);
BOOL callGetTextExtentPointA(HDC dc, LPCSTR text, int length, LPSIZE size);
BOOL callGetCharWidthA(HDC dc, UINT first, UINT last, LPINT widths);

// Room for a text the display conversions decode or convert, its NUL included.
constexpr int kDisplayBufferSize = 768;

struct DisplayText {
    const char* text;
    int length;
};

// The display conversions (MIME, ISO-2022, HZ, the other Chinese page): the text as it is to be
// shown, either the caller's or one written into buffer.
DisplayText convertForDisplay(HDC dc, int x, int y, const char* text, int length,
                              char (&buffer)[kDisplayBufferSize]);

// Draws a text as the redirected output does: double-byte runs as glyphs when the Chinese
// display is on, single-byte runs through the system or translated; the handler's result.
BOOL drawText(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, int length,
              const INT* dx, bool extended);

// The redirected GetCharWidthA and GetTextExtentPointA / GetTextExtentPoint32A.
BOOL charWidthsA(HDC dc, UINT first, UINT last, LPINT widths);
BOOL textExtentA(HDC dc, LPCSTR text, int length, LPSIZE size);

// Frees the drawing objects of the process (at detach).
void releaseDrawing();

} // namespace lxsys

#endif
