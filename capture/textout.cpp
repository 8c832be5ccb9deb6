// The replacements of the redirected entry points and the common text handler: every text a
// program draws is converted for display, drawn and, while the capture step repaints, recorded.
#include "internal.h"
#include "redirect.h"
#include "splitpairs.h"
#include "textout.h"

#include "cpconv.h"

#include <memory>
#include <new>

namespace lxsys {

namespace {

// Longer texts are passed on unchanged: neither converted, drawn by the library nor recorded.
constexpr int kMaxTextBytes = 8192;
constexpr int kMaxTextUnits = kMaxTextBytes / 2 - 1;
// Texts up to this many UTF-16 units are converted on the stack.
constexpr int kStackUnits = 256;

// Nothing to record, nothing drawn otherwise than the system draws it, nothing converted: the
// call goes straight through to the entry point's routine.
bool nothingToDo() {
    const CaptureShared* record = shared();
    return !record ||
           !(record->chineseDisplay | record->dynamicTranslate | record->decodeAutoCodePage |
             record->decodeMime | record->decodeHz | record->decodeIso2022 |
             (record->captureEnabled && record->collecting && record->targetWindow));
}

bool acceptable(const void* text, long long length, long long limit) {
    return length >= 0 && length <= limit && (text || length == 0);
}

// A text missing with a length given would be read from address zero, by the system too: the
// call fails instead.
bool missing(const void* text, long long length) {
    if (text || length == 0) return false;
    SetLastError(ERROR_INVALID_PARAMETER);
    return true;
}

BOOL commonTextHandler(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text,
                       int length, const INT* dx, bool extended) {
    char buffer[kDisplayBufferSize];
    DisplayText shown = convertForDisplay(dc, x, y, text, length, buffer);
    // The advances follow the caller's bytes; a conversion that changes the length leaves them.
    const INT* advances = shown.length == length ? dx : nullptr;
    UINT alignment = GetTextAlign(dc);
    POINT current{x, y};
    if (alignment & TA_UPDATECP) GetCurrentPositionEx(dc, &current);
    BOOL result = drawText(dc, x, y, options, rect, shown.text, shown.length, advances, extended);
    recordText(dc, current.x, current.y, shown.text, shown.length, advances);
    return result;
}

// A UTF-16 text in the current double-byte code page, 2 x units + 2 bytes at most, with the
// advance array per byte when the caller gave one per unit: a character's advance goes to its
// first byte, so sums over bytes and over units agree.
class DoubleByteText {
  public:
    bool convert(const WCHAR* text, int units, const INT* dx) {
        int capacity = 2 * units + 2;
        if (units > kStackUnits) {
            heapBytes_.reset(new (std::nothrow) char[static_cast<size_t>(capacity)]);
            if (dx) heapAdvances_.reset(new (std::nothrow) INT[static_cast<size_t>(capacity)]);
            if (!heapBytes_ || (dx && !heapAdvances_)) return false;
        }
        bytes_ = heapBytes_ ? heapBytes_.get() : stackBytes_;
        advances_ = !dx ? nullptr : heapAdvances_ ? heapAdvances_.get() : stackAdvances_;
        int page = CPC_GetCodePage();
        if (!dx) {
            length_ = CPC_Unicode2DBCS(page, text, units, bytes_, capacity);
            return length_ > 0;
        }
        length_ = 0;
        for (int i = 0; i < units; ++i) {
            int written = CPC_Unicode2DBCS(page, text + i, 1, bytes_ + length_, capacity - length_);
            for (int b = 0; b < written; ++b)
                advances_[length_ + b] = b == 0 ? dx[i] : 0;
            length_ += written;
        }
        return length_ > 0;
    }
    const char* bytes() const { return bytes_; }
    int length() const { return length_; }
    const INT* advances() const { return advances_; }

  private:
    char stackBytes_[2 * kStackUnits + 2];
    INT stackAdvances_[2 * kStackUnits + 2];
    std::unique_ptr<char[]> heapBytes_;
    std::unique_ptr<INT[]> heapAdvances_;
    char* bytes_ = nullptr;
    INT* advances_ = nullptr;
    int length_ = 0;
};

// A run the script processor drew of a text widened from bytes, joined with its neighbours where
// it cut a pair.
BOOL scriptRunHandler(HDC dc, int x, int y, UINT options, const RECT* rect,
                      const DoubleByteText& converted) {
    return drawJoiningSplitPairs(
        {dc, x, y, options, rect, converted.bytes(), converted.length(), converted.advances()},
        [](const ByteRun& run) {
            return commonTextHandler(run.dc, run.x, run.y, run.options, run.rect, run.bytes,
                                     run.length, run.advances, true);
        });
}

// A text given by glyph indices (edit controls and other text laid out by the system's script
// processor draw so) is taken as the characters the font shows for them, when the font can tell
// for every glyph: it is then converted, drawn and recorded as any other text. Otherwise it is
// drawn unchanged and not recorded.
BOOL glyphTextHandler(HDC dc, int x, int y, UINT options, const RECT* rect, const WORD* glyphs,
                      int count, const INT* dx) {
    WCHAR characters[kStackUnits];
    DoubleByteText converted;
    if (count > kStackUnits || !charactersOfGlyphs(dc, glyphs, count, characters) ||
        !converted.convert(characters, count, dx))
        return callExtTextOutW(dc, x, y, options, rect, reinterpret_cast<LPCWSTR>(glyphs),
                               static_cast<UINT>(count), dx);
    options &= ~ETO_GLYPH_INDEX;
    if (widenedBytes(characters, count))
        return scriptRunHandler(dc, x, y, options, rect, converted);
    return commonTextHandler(dc, x, y, options, rect, converted.bytes(), converted.length(),
                             converted.advances(), true);
}

} // namespace

BOOL WINAPI redirectedTextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    if (missing(text, length)) return FALSE;
    if (nothingToDo() || insideRedirection() || !acceptable(text, length, kMaxTextBytes))
        return callTextOutA(dc, x, y, text, length);
    RedirectionScope scope;
    return commonTextHandler(dc, x, y, static_cast<UINT>(GetBkMode(dc)), nullptr, text, length,
                             nullptr, false);
}

BOOL WINAPI redirectedExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text,
                                  UINT length, const INT* dx) {
    if (missing(text, length)) return FALSE;
    // Glyph indices and vertical advances are not byte texts the library can draw or measure.
    if (nothingToDo() || insideRedirection() || (options & (ETO_GLYPH_INDEX | ETO_PDY)) ||
        !acceptable(text, length, kMaxTextBytes))
        return callExtTextOutA(dc, x, y, options, rect, text, length, dx);
    RedirectionScope scope;
    return commonTextHandler(dc, x, y, options, rect, text, static_cast<int>(length), dx, true);
}

BOOL WINAPI redirectedTextOutW(HDC dc, int x, int y, LPCWSTR text, int length) {
    if (missing(text, length)) return FALSE;
    if (nothingToDo() || insideRedirection() || length == 0 ||
        !acceptable(text, length, kMaxTextUnits))
        return callTextOutW(dc, x, y, text, length);
    RedirectionScope scope;
    DoubleByteText converted;
    if (!converted.convert(text, length, nullptr)) return callTextOutW(dc, x, y, text, length);
    return commonTextHandler(dc, x, y, static_cast<UINT>(GetBkMode(dc)), nullptr, converted.bytes(),
                             converted.length(), nullptr, false);
}

// The horizontal advances of an advance array given in x and y pairs (ETO_PDY), as the script
// processor passes them for every run it draws; only a text that stays on its line has them.
class HorizontalAdvances {
  public:
    bool take(const INT* pairs, UINT count) {
        if (count > kStackUnits) return false;
        for (UINT i = 0; i < count; ++i) {
            if (pairs[2 * i + 1] != 0) return false;
            advances_[i] = pairs[2 * i];
        }
        return true;
    }
    const INT* advances() const { return advances_; }

  private:
    INT advances_[kStackUnits];
};

BOOL WINAPI redirectedExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect,
                                  LPCWSTR text, UINT length, const INT* dx) {
    if (missing(text, length)) return FALSE;
    if (nothingToDo() || insideRedirection() || length == 0 ||
        !acceptable(text, length, kMaxTextUnits))
        return callExtTextOutW(dc, x, y, options, rect, text, length, dx);
    HorizontalAdvances horizontal;
    // The script processor draws its runs with x and y advances.
    bool scriptRun = (options & ETO_PDY) != 0;
    if (scriptRun) {
        if (!dx || !horizontal.take(dx, length))
            return callExtTextOutW(dc, x, y, options, rect, text, length, dx);
        options &= ~ETO_PDY;
        dx = horizontal.advances();
    }
    RedirectionScope scope;
    if (options & ETO_GLYPH_INDEX)
        return glyphTextHandler(dc, x, y, options, rect, reinterpret_cast<const WORD*>(text),
                                static_cast<int>(length), dx);
    DoubleByteText converted;
    if (!converted.convert(text, static_cast<int>(length), dx))
        return callExtTextOutW(dc, x, y, options, rect, text, length, dx);
    if (scriptRun && widenedBytes(text, static_cast<int>(length)))
        return scriptRunHandler(dc, x, y, options, rect, converted);
    return commonTextHandler(dc, x, y, options, rect, converted.bytes(), converted.length(),
                             converted.advances(), true);
}

BOOL WINAPI redirectedGetTextExtentPointA(HDC dc, LPCSTR text, int length, LPSIZE size) {
    if (missing(text, length) || !size) return FALSE;
    if (nothingToDo() || insideRedirection() || !acceptable(text, length, kMaxTextBytes))
        return callGetTextExtentPointA(dc, text, length, size);
    RedirectionScope scope;
    return textExtentA(dc, text, length, size);
}

BOOL WINAPI redirectedGetCharWidthA(HDC dc, UINT first, UINT last, LPINT widths) {
    if (!widths) return FALSE;
    if (nothingToDo() || insideRedirection()) return callGetCharWidthA(dc, first, last, widths);
    RedirectionScope scope;
    return charWidthsA(dc, first, last, widths);
}

BOOL WINAPI redirectedBitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX,
                             int sourceY, DWORD rop) {
    if (nothingToDo() || insideRedirection())
        return callBitBlt(dest, x, y, width, height, source, sourceX, sourceY, rop);
    RedirectionScope scope;
    BOOL result = callBitBlt(dest, x, y, width, height, source, sourceX, sourceY, rop);
    reportBlit(dest, x, y, width, height, source, sourceX, sourceY, width, height);
    return result;
}

BOOL WINAPI redirectedStretchBlt(HDC dest, int x, int y, int width, int height, HDC source,
                                 int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                                 DWORD rop) {
    if (nothingToDo() || insideRedirection())
        return callStretchBlt(dest, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                              sourceHeight, rop);
    RedirectionScope scope;
    BOOL result = callStretchBlt(dest, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                                 sourceHeight, rop);
    reportBlit(dest, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight);
    return result;
}

} // namespace lxsys
