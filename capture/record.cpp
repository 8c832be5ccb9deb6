// Recording what the redirected entry points draw while the capture step repaints the window
// under the pointer: where each word-sized run lands on the screen, reported to the bridge
// window, and the run under the pointer kept as the current word.
#include "internal.h"
#include "redirect.h"
#include "textout.h"
#include "textruns.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lxsys {

namespace {

constexpr int kByteValues = 256;

bool fits32(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() &&
           value <= std::numeric_limits<int32_t>::max();
}

// The geometry of a DC that turns logical extents into device pixels.
struct Origins {
    POINT viewport{};
    POINT window{};
};

Origins originsOf(HDC dc) {
    Origins origins;
    GetViewportOrgEx(dc, &origins.viewport);
    GetWindowOrgEx(dc, &origins.window);
    return origins;
}

// A logical point in screen coordinates: device coordinates plus the DC's origin on the screen.
bool screenPoint(HDC dc, int x, int y, int64_t& screenX, int64_t& screenY) {
    POINT point{x, y};
    POINT origin{};
    if (!LPtoDP(dc, &point, 1)) return false;
    GetDCOrgEx(dc, &origin);
    screenX = int64_t{point.x} + origin.x;
    screenY = int64_t{point.y} + origin.y;
    return true;
}

// A logical extent in device pixels, measured from the window origin.
bool deviceExtent(HDC dc, const Origins& origins, int64_t cx, int64_t cy, int64_t& width,
                  int64_t& height) {
    int64_t x = cx + origins.window.x;
    int64_t y = cy + origins.window.y;
    if (!fits32(x) || !fits32(y)) return false;
    POINT point{static_cast<LONG>(x), static_cast<LONG>(y)};
    if (!LPtoDP(dc, &point, 1)) return false;
    width = int64_t{point.x} - origins.viewport.x;
    height = int64_t{point.y} - origins.viewport.y;
    return true;
}

// Everything the runs of one text share.
struct TextGeometry {
    HDC dc;
    const char* text;
    const INT* dx;
    Origins origins;
    Placement placed;
};

// The logical offset of a byte position from the start of the text.
int64_t offsetOf(const TextGeometry& geometry, int bytes) {
    if (geometry.dx) {
        int64_t sum = 0;
        for (int i = 0; i < bytes; ++i)
            sum += geometry.dx[i];
        return sum;
    }
    SIZE size{};
    textExtentA(geometry.dc, geometry.text, bytes, &size);
    return size.cx;
}

bool runEdge(const TextGeometry& geometry, int64_t offset, int32_t& edge) {
    int64_t width = 0, height = 0;
    if (!deviceExtent(geometry.dc, geometry.origins, offset, 0, width, height)) return false;
    int64_t value = width + geometry.placed.left;
    if (!fits32(value)) return false;
    edge = static_cast<int32_t>(value);
    return true;
}

void sendRun(HWND bridge, const TextRunMessage& message) {
    COPYDATASTRUCT data{SN_KIND_TEXT_RUN, sizeof message, const_cast<TextRunMessage*>(&message)};
    SendMessageA(bridge, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

void reportRun(CaptureShared& record, HWND bridge, const TextGeometry& geometry, int start,
               const TextRun& run) {
    TextRunMessage message{};
    int32_t left = 0, right = 0;
    if (!runEdge(geometry, offsetOf(geometry, start), left) ||
        !runEdge(geometry, offsetOf(geometry, start + run.length), right))
        return;
    message.dc = handleField(geometry.dc);
    message.rect = {left, geometry.placed.top, right, geometry.placed.bottom};
    const char* bytes = geometry.text + start;
    if (run.isDoubleByte) {
        doubleByteRunText(bytes, run.length, record.joinSpacedChinese != 0, message.text,
                          sizeof message.text);
    } else {
        size_t length = std::min<size_t>(static_cast<size_t>(run.length), SN_TEXT_LIMIT);
        std::memcpy(message.text, bytes, length);
    }
    message.isDoubleByte = run.isDoubleByte ? 1 : 0;
    sendRun(bridge, message);
    if (!contains(message.rect, record.cursorX, record.cursorY)) return;
    record.wordDC = message.dc;
    record.wordRect = message.rect;
    record.wordIsDoubleByte = message.isDoubleByte;
    std::memcpy(record.wordText, message.text, sizeof record.wordText);
}

// The logical width and height of the whole text; with an advance array its width is that of
// the advances.
bool textExtent(HDC dc, const char* text, int length, const INT* dx, int64_t& cx, int64_t& cy) {
    SIZE size{};
    if (!textExtentA(dc, text, length, &size)) return false;
    cx = size.cx;
    cy = size.cy;
    if (!dx) return true;
    INT widths[kByteValues] = {};
    charWidthsA(dc, 0, kByteValues - 1, widths);
    for (int i = 0; i < length; ++i)
        cx += int64_t{dx[i]} - widths[static_cast<unsigned char>(text[i])];
    return true;
}

bool placeWholeText(HDC dc, int x, int y, const char* text, int length, const INT* dx,
                    TextGeometry& geometry) {
    int64_t screenX = 0, screenY = 0, cx = 0, cy = 0, width = 0, height = 0;
    if (!screenPoint(dc, x, y, screenX, screenY) || !textExtent(dc, text, length, dx, cx, cy) ||
        !deviceExtent(dc, geometry.origins, cx, cy, width, height))
        return false;
    TEXTMETRICA metrics{};
    UINT alignment = GetTextAlign(dc);
    if ((alignment & TA_BASELINE) == TA_BASELINE) GetTextMetricsA(dc, &metrics);
    return placeText(alignment, screenX, screenY, width, height, metrics.tmAscent,
                     metrics.tmDescent, geometry.placed);
}

// Whether a text placed on the screen meets the DC's clipping box: during the capture step's
// repaint only a strip of the window is drawn, and text outside it never reaches the screen.
bool meetsClip(HDC dc, const Placement& placed) {
    RECT box{};
    int kind = GetClipBox(dc, &box);
    if (kind == ERROR) return true;
    if (kind == NULLREGION) return false;
    POINT corners[2] = {{box.left, box.top}, {box.right, box.bottom}};
    POINT origin{};
    if (!LPtoDP(dc, corners, 2)) return true;
    GetDCOrgEx(dc, &origin);
    int64_t top = int64_t{std::min(corners[0].y, corners[1].y)} + origin.y;
    int64_t bottom = int64_t{std::max(corners[0].y, corners[1].y)} + origin.y;
    int64_t left = int64_t{std::min(corners[0].x, corners[1].x)} + origin.x;
    int64_t right = int64_t{std::max(corners[0].x, corners[1].x)} + origin.x;
    return placed.top < bottom && top < placed.bottom && placed.left < right && left < placed.right;
}

} // namespace

bool recordingWanted() {
    const CaptureShared* record = shared();
    return record && record->captureEnabled && record->collecting && record->targetWindow;
}

void recordText(HDC dc, int x, int y, const char* text, int length, const INT* dx) {
    CaptureShared* record = shared();
    if (!recordingWanted() || !text || length <= 0) return;
    HWND bridge = liveWindow(record->bridgeWindow);
    if (!bridge) return;
    TextGeometry geometry{dc, text, dx, originsOf(dc), {}};
    if (!placeWholeText(dc, x, y, text, length, dx, geometry)) return;
    const Placement& placed = geometry.placed;
    if (placed.left >= placed.right || placed.top >= placed.bottom || !meetsClip(dc, placed))
        return;
    bool joinSpaced = record->joinSpacedChinese != 0;
    for (int start = 0; start < length;) {
        TextRun run = nextRun(text + start, length - start, joinSpaced);
        if (!run.isBreak) reportRun(*record, bridge, geometry, start, run);
        start += run.length;
    }
}

namespace {

// One side of a block transfer: its origin on the screen and its size in device pixels.
bool blitSide(HDC dc, int x, int y, int width, int height, uint32_t& dcField, int32_t& screenX,
              int32_t& screenY, int32_t& deviceWidth, int32_t& deviceHeight) {
    int64_t originX = 0, originY = 0, sizeX = 0, sizeY = 0;
    if (!screenPoint(dc, x, y, originX, originY) ||
        !deviceExtent(dc, originsOf(dc), width, height, sizeX, sizeY))
        return false;
    if (!fits32(originX) || !fits32(originY) || !fits32(sizeX) || !fits32(sizeY)) return false;
    dcField = handleField(dc);
    screenX = static_cast<int32_t>(originX);
    screenY = static_cast<int32_t>(originY);
    deviceWidth = static_cast<int32_t>(sizeX);
    deviceHeight = static_cast<int32_t>(sizeY);
    return true;
}

} // namespace

void reportBlit(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight) {
    if (!recordingWanted() || !dest || !source) return;
    HWND bridge = liveWindow(shared()->bridgeWindow);
    BlitMessage message{};
    if (!bridge ||
        !blitSide(source, sourceX, sourceY, sourceWidth, sourceHeight, message.sourceDC,
                  message.sourceX, message.sourceY, message.sourceWidth, message.sourceHeight) ||
        !blitSide(dest, x, y, width, height, message.destDC, message.destX, message.destY,
                  message.destWidth, message.destHeight))
        return;
    COPYDATASTRUCT data{SN_KIND_BLIT, sizeof message, &message};
    SendMessageA(bridge, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

} // namespace lxsys
