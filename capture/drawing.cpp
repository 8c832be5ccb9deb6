// Drawing redirected text output: double-byte runs as 16 x 16 glyphs from the glyph files when
// the Chinese display is on, single-byte runs through the system or, with dynamic translation,
// as their Chinese equivalent.
#include "drawing.h"
#include "internal.h"
#include "textout.h"

#include "cpconv.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <utility>

namespace lxsys {

namespace {

constexpr int kGlyphSide = 16;
constexpr int kNarrowestCell = 6;
constexpr int kAdvanceEntries = 300;
// Destination kept where the glyph bitmap is white, the brush where it is black.
constexpr DWORD kBrushWhereBlack = 0xB8074A;
constexpr int kFirstOrder = 256;

// Set when the process loads the library: the system's major version above 3 or its minor
// version above 90.
bool isNewerSystem() {
    DWORD version = GetVersion();
    return LOBYTE(LOWORD(version)) > 3 || HIBYTE(LOWORD(version)) > 90;
}
const bool newerSystem = isNewerSystem();

// Set while a translated text is drawn, so that it is not translated again.
std::atomic<bool> translating{false};
// One memory DC kept for the next glyph; a thread that finds none makes its own.
std::atomic<HDC> spareMemoryDC{nullptr};

// What every run of one drawing call shares.
struct Call {
    HDC dc;
    int y;
    UINT options;
    const RECT* rect;
    bool extended;
    UINT align;
    TEXTMETRICA metrics;
    GlyphMetrics glyph;
    int page;
};

struct Cell {
    int x;
    int y;
    int width;
    int height;
};

bool updatesPosition(const Call& call) {
    return (call.align & TA_UPDATECP) != 0;
}

int sum(const INT* values, int count) {
    int total = 0;
    for (int i = 0; i < count; ++i)
        total += values[i];
    return total;
}

int extentOf(HDC dc, const char* text, int length) {
    SIZE size{};
    callGetTextExtentPointA(dc, text, length, &size);
    return size.cx;
}

void drawThroughSystem(const Call& call, int x, const char* text, int length, const INT* dx) {
    if (!call.extended && newerSystem)
        callTextOutA(call.dc, x, call.y, text, length);
    else
        callExtTextOutA(call.dc, x, call.y, call.options, call.rect, text,
                        static_cast<UINT>(length), dx);
}

HDC takeMemoryDC() {
    HDC memory = spareMemoryDC.exchange(nullptr);
    return memory ? memory : CreateCompatibleDC(nullptr);
}

void giveBackMemoryDC(HDC memory) {
    HDC none = nullptr;
    if (!spareMemoryDC.compare_exchange_strong(none, memory)) DeleteDC(memory);
}

// A glyph sized to a cell other than its own is scaled between monochrome bitmaps, where
// BLACKONWHITE keeps every ink bit (0) of the columns and rows it merges; scaled straight into the
// target's colours, the merge would follow the colour values and lose strokes on some colours.
BOOL transfer(HDC dc, const Cell& cell, HDC memory, DWORD operation) {
    if (cell.width == kGlyphSide && cell.height == kGlyphSide)
        return BitBlt(dc, cell.x, cell.y, kGlyphSide, kGlyphSide, memory, 0, 0, operation);
    HBITMAP scaled = CreateBitmap(cell.width, cell.height, 1, 1, nullptr);
    HDC scaledMemory = scaled ? CreateCompatibleDC(nullptr) : nullptr;
    BOOL done = FALSE;
    if (scaledMemory) {
        HGDIOBJ previous = SelectObject(scaledMemory, scaled);
        SetStretchBltMode(scaledMemory, BLACKONWHITE);
        done = StretchBlt(scaledMemory, 0, 0, cell.width, cell.height, memory, 0, 0, kGlyphSide,
                          kGlyphSide, SRCCOPY) &&
               BitBlt(dc, cell.x, cell.y, cell.width, cell.height, scaledMemory, 0, 0, operation);
        SelectObject(scaledMemory, previous);
        DeleteDC(scaledMemory);
    }
    if (scaled) DeleteObject(scaled);
    return done;
}

// Ink in the text colour over the background colour, as the system draws opaque text.
BOOL transferOpaque(HDC dc, const Cell& cell, HDC memory) {
    return transfer(dc, cell, memory, SRCCOPY);
}

// Ink in the text colour, the rest left as it was.
BOOL transferTransparent(HDC dc, const Cell& cell, HDC memory) {
    COLORREF textColour = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF backColour = SetBkColor(dc, RGB(255, 255, 255));
    BOOL done = FALSE;
    if (HBRUSH brush = CreateSolidBrush(textColour)) {
        HGDIOBJ previous = SelectObject(dc, brush);
        done = transfer(dc, cell, memory, kBrushWhereBlack);
        SelectObject(dc, previous);
        DeleteObject(brush);
    }
    SetTextColor(dc, textColour);
    SetBkColor(dc, backColour);
    return done;
}

// The glyph's bits inverted, so that ink is 0 and takes the text colour.
bool paintGlyph(HDC dc, const Cell& cell, const uint8_t (&glyph)[kGlyphBytes]) {
    uint8_t bits[kGlyphBytes];
    for (int i = 0; i < kGlyphBytes; ++i)
        bits[i] = static_cast<uint8_t>(~glyph[i]);
    HBITMAP bitmap = CreateBitmap(kGlyphSide, kGlyphSide, 1, 1, bits);
    if (!bitmap) return false;
    HDC memory = takeMemoryDC();
    bool done = false;
    if (memory) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        SetMapMode(memory, GetMapMode(dc));
        done = GetBkMode(dc) == OPAQUE ? transferOpaque(dc, cell, memory)
                                       : transferTransparent(dc, cell, memory);
        SelectObject(memory, previous);
        giveBackMemoryDC(memory);
    }
    DeleteObject(bitmap);
    return done;
}

void underline(HDC dc, const Cell& cell) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetTextColor(dc));
    if (!pen) return;
    HGDIOBJ previous = SelectObject(dc, pen);
    POINT position{};
    int lineY = cell.y + cell.height - 2;
    MoveToEx(dc, cell.x, lineY, &position);
    LineTo(dc, cell.x + cell.width, lineY);
    MoveToEx(dc, position.x, position.y, nullptr);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

int glyphTop(const Call& call, int y) {
    if ((call.align & TA_BASELINE) == TA_BASELINE) return y - call.metrics.tmAscent;
    if ((call.align & TA_BOTTOM) == TA_BOTTOM) return y - call.metrics.tmHeight;
    return y;
}

// A character beyond the glyphs the file held draws as an empty cell; a glyph that cannot be
// drawn beeps and leaves the cell as it was. With the update-current-position alignment the cell
// is placed from the current position as the alignment places text from it.
void drawGlyph(const Call& call, POINT at, const char* character, int forcedWidth) {
    int width = call.glyph.cellWidth;
    if (forcedWidth != 0) width = std::max(std::min(width, forcedWidth), kNarrowestCell);
    POINT position{};
    if (updatesPosition(call)) {
        GetCurrentPositionEx(call.dc, &position);
        at = {position.x, glyphTop(call, position.y)};
    }
    Cell cell{at.x, at.y, width, call.glyph.height};
    uint8_t glyph[kGlyphBytes];
    int order = CPC_DBCSToOrder(call.page, character);
    bool drawn = copyGlyph(call.page, order - kFirstOrder, glyph) != GlyphFetch::Unreadable &&
                 paintGlyph(call.dc, cell, glyph);
    if (!drawn) MessageBeep(MB_OK);
    if (drawn && call.metrics.tmUnderlined) underline(call.dc, cell);
    if (updatesPosition(call))
        MoveToEx(call.dc, position.x + call.glyph.cellWidth, position.y, nullptr);
}

// The characters of a double-byte run; its advance.
int drawDoubleByteRun(const Call& call, POINT at, int callX, const char* text, int length,
                      const INT* dx, int forcedWidth) {
    if (!chineseDisplayOn()) {
        drawThroughSystem(call, callX, text, length, dx);
        return extentOf(call.dc, text, length);
    }
    for (int i = 0; i + 1 < length; i += 2) {
        drawGlyph(call, at, text + i, forcedWidth);
        at.x += dx ? dx[i] + dx[i + 1] : call.glyph.cellWidth;
    }
    return call.glyph.cellWidth * length / 2;
}

bool hasDoubleByte(const char* text, int length) {
    return std::any_of(text, text + length,
                       [](char byte) { return static_cast<uint8_t>(byte) > 128; });
}

// Draws the Chinese equivalent of a single-byte run in its place; its advance, or nothing when
// there is no translation.
std::optional<int> drawTranslated(const Call& call, int x, const char* text, int length,
                                  const INT* dx) {
    char buffer[kTranslationBufferSize] = {};
    std::memcpy(buffer, text, static_cast<size_t>(length));
    int translated = translateShortText(buffer);
    if (translated <= 0 || translated >= kTranslationBufferSize) return std::nullopt;
    translated = static_cast<int>(strnlen(buffer, static_cast<size_t>(translated)));
    translating = true;
    bool chinese = hasDoubleByte(buffer, translated);
    int width = 0;
    INT advances[kAdvanceEntries];
    // The caller's advances cover the English run only; an array for the translation must hold
    // an entry for each of its bytes.
    const INT* translatedDx = translated <= length ? dx : nullptr;
    if (chinese && call.extended) {
        width = dx ? sum(dx, length) : extentOf(call.dc, text, length);
        translatedDx = nullptr;
        if (translated <= kAdvanceEntries) {
            std::fill_n(advances, translated, width / translated);
            translatedDx = advances;
        }
    }
    drawText(call.dc, x, call.y, call.options, call.rect, buffer, translated, translatedDx,
             call.extended);
    translating = false;
    if (chinese && call.extended) return width;
    SIZE size{};
    textExtentA(call.dc, buffer, translated, &size);
    return size.cx;
}

bool translates(int length) {
    const CaptureShared* record = shared();
    return record && record->dynamicTranslate && !record->drawPrompt && !translating &&
           length > 0 && length < kAdvanceEntries;
}

int drawSingleByteRun(const Call& call, int callX, const char* text, int length, const INT* dx) {
    if (translates(length)) {
        if (std::optional<int> advance = drawTranslated(call, callX, text, length, dx))
            return *advance;
    }
    drawThroughSystem(call, callX, text, length, dx);
    return extentOf(call.dc, text, length);
}

// Centred text: half the width of the whole text, which the first double-byte run moves left.
int centringShift(const Call& call, const char* text, int length) {
    if ((call.align & TA_CENTER) != TA_CENTER) return 0;
    SIZE size{};
    textExtentA(call.dc, text, length, &size);
    return size.cx / 2;
}

// Fills the background of an opaque call once, so that no run paints over another.
UINT fillBackground(HDC dc, int x, int y, UINT options, const RECT* rect) {
    if ((options & ETO_OPAQUE) == 0 && GetBkMode(dc) != OPAQUE) return options;
    callExtTextOutA(dc, x, y, options, rect, nullptr, 0, nullptr);
    return options & ~static_cast<UINT>(ETO_OPAQUE);
}

void drawRuns(const Call& call, int x, const char* text, int length, const INT* dx) {
    int glyphX = x;
    int callX = x;
    int shift = centringShift(call, text, length);
    int glyphY = glyphTop(call, call.y);
    for (int at = 0; at < length;) {
        DrawingRun run = nextDrawingRun(call.page, text + at, length - at);
        const INT* runDx = dx ? dx + at : nullptr;
        bool advanced = call.extended && runDx;
        int total = advanced ? sum(runDx, run.length) : 0;
        POINT before{};
        if (updatesPosition(call)) GetCurrentPositionEx(call.dc, &before);
        int advance = 0;
        if (run.doubleByte) {
            glyphX -= std::exchange(shift, 0);
            int forcedWidth = advanced ? total * 2 / run.length : 0;
            advance = drawDoubleByteRun(call, {glyphX, glyphY}, callX, text + at, run.length, runDx,
                                        forcedWidth);
        } else {
            advance = drawSingleByteRun(call, callX, text + at, run.length, runDx);
        }
        if (advanced) advance = total;
        glyphX += advance;
        callX += advance;
        if (updatesPosition(call)) MoveToEx(call.dc, before.x + advance, before.y, nullptr);
        at += run.length;
    }
}

} // namespace

BOOL drawText(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, int length,
              const INT* dx, bool extended) {
    options = fillBackground(dc, x, y, options, rect);
    if (length <= 0) return TRUE;
    std::size_t count = static_cast<std::size_t>(length);
    // A text or advance array that cannot be read draws nothing, as the system refuses it.
    if (!isReadable(text, count) || (dx && !isReadable(dx, count * sizeof *dx))) return FALSE;
    TEXTMETRICA metrics = textMetricsOf(dc);
    Call call{dc,
              y,
              options,
              rect,
              extended,
              GetTextAlign(dc),
              metrics,
              glyphMetricsOf(metrics),
              CPC_GetCodePage()};
    drawRuns(call, x, text, length, dx);
    return TRUE;
}

void releaseDrawing() {
    if (HDC memory = spareMemoryDC.exchange(nullptr)) DeleteDC(memory);
}

} // namespace lxsys
