// The redirected entry points of the graphics library inside lxsys: which they are, their
// replacements, the calls through to them beyond those the drawing side uses, and the guard
// that keeps a thread from being redirected again while it is inside a replacement.
#ifndef LEXORA_LXSYS_REDIRECT_H
#define LEXORA_LXSYS_REDIRECT_H

#include <windows.h>

namespace lxsys {

// The nine redirected entry points of "GDI32.DLL", in the order they are patched.
enum class Entry : int {
    TextOutA,
    TextOutW,
    ExtTextOutA,
    ExtTextOutW,
    GetTextExtentPointA,
    GetTextExtentPoint32A,
    GetCharWidthA,
    BitBlt,
    StretchBlt,
};
constexpr int kEntryCount = 9;

// The replacements (textout.cpp).
BOOL WINAPI redirectedTextOutA(HDC dc, int x, int y, LPCSTR text, int length);
BOOL WINAPI redirectedTextOutW(HDC dc, int x, int y, LPCWSTR text, int length);
BOOL WINAPI redirectedExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text,
                                  UINT length, const INT* dx);
BOOL WINAPI redirectedExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect,
                                  LPCWSTR text, UINT length, const INT* dx);
BOOL WINAPI redirectedGetTextExtentPointA(HDC dc, LPCSTR text, int length, LPSIZE size);
BOOL WINAPI redirectedGetCharWidthA(HDC dc, UINT first, UINT last, LPINT widths);
BOOL WINAPI redirectedBitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX,
                             int sourceY, DWORD rop);
BOOL WINAPI redirectedStretchBlt(HDC dest, int x, int y, int width, int height, HDC source,
                                 int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                                 DWORD rop);

// Calls through to the entry points the replacements pass on unchanged (patches.cpp).
BOOL callTextOutW(HDC dc, int x, int y, LPCWSTR text, int length);
BOOL callExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text,
                     UINT length, const INT* dx);
BOOL callBitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                DWORD rop);
BOOL callStretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX,
                    int sourceY, int sourceWidth, int sourceHeight, DWORD rop);

// Recording (record.cpp), while the capture step repaints the window under the pointer: a text
// drawn at the logical point (x, y), its advance array per byte when it has one, reported as
// word-sized runs to the bridge window; and a block transfer, reported so that runs drawn off
// screen follow it.
bool recordingWanted();
void recordText(HDC dc, int x, int y, const char* text, int length, const INT* dx);
void reportBlit(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight);

// The characters a font shows by the glyph indices of a text (glyphindex.cpp), through a
// reverse map of the font built once and kept for a few fonts; false when the font cannot say
// or some glyph has no character.
bool charactersOfGlyphs(HDC dc, const WORD* glyphs, int count, WCHAR* characters);

// Whether this thread is inside a replacement. The graphics library's entry points call one
// another (TextOutA goes on to ExtTextOutA and that to ExtTextOutW): a redirected entry point
// reached from inside a replacement is passed straight through, so a text is drawn and
// recorded once and a call-through never comes back into itself.
bool insideRedirection();
class RedirectionScope {
  public:
    RedirectionScope();
    ~RedirectionScope();
    RedirectionScope(const RedirectionScope&) = delete;
    RedirectionScope& operator=(const RedirectionScope&) = delete;
};

} // namespace lxsys

#endif
