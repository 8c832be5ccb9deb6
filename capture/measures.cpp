// Glyph cells, the runs a text is drawn in, and the redirected width and extent queries, which
// give programs the widths the Chinese display draws.
#include "drawing.h"
#include "internal.h"
#include "textout.h"

#include "cpconv.h"

#include <algorithm>
#include <climits>

namespace lxsys {

namespace {

// Below this the width query is left to the system; above the last single-byte value only.
constexpr UINT kLastSystemWidth = 128;
constexpr UINT kFirstChangedLast = 161;
// The widest character range the redirected width query fills itself.
constexpr UINT kLastCharacter = 0xFFFF;
constexpr int kFullGlyph = 16;

bool isDoubleByteAt(int page, const char* text, int remaining) {
    return remaining >= 2 && CPC_DBCSNext(page, text) == text + 2;
}

} // namespace

bool chineseDisplayOn() {
    const CaptureShared* record = shared();
    return record && record->chineseDisplay;
}

GlyphMetrics glyphMetricsOf(const TEXTMETRICA& metrics) {
    const CaptureShared* record = shared();
    return glyphMetrics(metrics, record && record->smallGlyphs);
}

TEXTMETRICA textMetricsOf(HDC dc) {
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    return metrics;
}

GlyphMetrics glyphMetrics(const TEXTMETRICA& metrics, bool smallGlyphs) {
    int height = metrics.tmHeight;
    int leading = metrics.tmInternalLeading;
    int glyphHeight =
        smallGlyphs || 2 * metrics.tmAveCharWidth + leading < height ? height - leading : height;
    int cellWidth = 2 * metrics.tmAveCharWidth;
    if (glyphHeight >= kFullGlyph && cellWidth < kFullGlyph) cellWidth = kFullGlyph;
    return {glyphHeight, std::max(cellWidth, glyphHeight)};
}

DrawingRun nextDrawingRun(int page, const char* text, int remaining) {
    bool doubleByte = isDoubleByteAt(page, text, remaining);
    int length = 0;
    while (length < remaining &&
           isDoubleByteAt(page, text + length, remaining - length) == doubleByte)
        length += doubleByte ? 2 : 1;
    return {length, doubleByte};
}

bool isReadable(const void* text, std::size_t length) {
    if (length == 0) return true;
    if (!text) return false;
    auto at = reinterpret_cast<uintptr_t>(text);
    if (length > UINTPTR_MAX - at) return false;
    uintptr_t end = at + length;
    constexpr DWORD kUnreadable = PAGE_NOACCESS | PAGE_GUARD;
    while (at < end) {
        MEMORY_BASIC_INFORMATION region{};
        if (!VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) ||
            region.State != MEM_COMMIT || (region.Protect & kUnreadable) != 0)
            return false;
        at = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

BOOL charWidthsA(HDC dc, UINT first, UINT last, LPINT widths) {
    if (!widths) return FALSE;
    if (!chineseDisplayOn() || first > kLastSystemWidth || last < kFirstChangedLast ||
        last > kLastCharacter)
        return callGetCharWidthA(dc, first, last, widths);
    if (!callGetCharWidthA(dc, first, kLastSystemWidth, widths)) return FALSE;
    int halfCell = (glyphMetricsOf(textMetricsOf(dc)).cellWidth + 1) / 2;
    for (UINT character = kLastSystemWidth + 1; character <= last; ++character)
        widths[character - first] = halfCell;
    return TRUE;
}

BOOL textExtentA(HDC dc, LPCSTR text, int length, LPSIZE size) {
    if (!size || length < 0 || !isReadable(text, static_cast<std::size_t>(length))) return FALSE;
    if (!chineseDisplayOn()) return callGetTextExtentPointA(dc, text, length, size);
    TEXTMETRICA metrics = textMetricsOf(dc);
    int cellWidth = glyphMetricsOf(metrics).cellWidth;
    int page = CPC_GetCodePage();
    long long width = 0;
    LONG height = metrics.tmHeight;
    for (int at = 0; at < length;) {
        DrawingRun run = nextDrawingRun(page, text + at, length - at);
        if (run.doubleByte) {
            width += static_cast<long long>(run.length) * cellWidth / 2;
        } else {
            SIZE runSize{};
            callGetTextExtentPointA(dc, text + at, run.length, &runSize);
            width += runSize.cx;
            height = std::max(height, runSize.cy);
        }
        at += run.length;
    }
    *size = {static_cast<LONG>(std::clamp<long long>(width, 0, LONG_MAX)), height};
    return TRUE;
}

} // namespace lxsys
