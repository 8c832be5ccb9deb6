#include "splitpairs.h"

#include "cpconv.h"

#include <algorithm>

namespace lxsys {

namespace {

// Runs longer than this are drawn as they come.
constexpr int kMaxJoinedBytes = 512;

struct HeldLeadByte {
    bool held = false;
    DWORD thread = 0;
    HDC dc = nullptr;
    HWND window = nullptr;
    int x = 0;
    int y = 0;
    int advance = 0;
    UINT options = 0;
    RECT rect{};
    bool hasRect = false;
    char byte = 0;
};

// One slot for the process: runs of one line are drawn one after another by one thread.
SRWLOCK heldLock = SRWLOCK_INIT;
HeldLeadByte heldByte;

// Takes the byte this thread holds, if any.
HeldLeadByte takeHeld() {
    AcquireSRWLockExclusive(&heldLock);
    HeldLeadByte taken;
    if (heldByte.held && heldByte.thread == GetCurrentThreadId()) std::swap(taken, heldByte);
    ReleaseSRWLockExclusive(&heldLock);
    return taken;
}

void hold(const HeldLeadByte& byte) {
    AcquireSRWLockExclusive(&heldLock);
    heldByte = byte;
    ReleaseSRWLockExclusive(&heldLock);
}

bool isTrailByte(char byte) {
    return static_cast<unsigned char>(byte) >= 0x40;
}

// Whether the last byte is a lead byte left without its trail byte.
bool endsWithLoneLeadByte(const char* bytes, int length) {
    int page = CPC_GetCodePage();
    int i = 0;
    while (i < length - 1)
        i += CPC_IsLeadByte(page, static_cast<unsigned char>(bytes[i])) && isTrailByte(bytes[i + 1])
                 ? 2
                 : 1;
    return i == length - 1 && CPC_IsLeadByte(page, static_cast<unsigned char>(bytes[i]));
}

// The line's runs follow each other from left to right only with left alignment and without the
// current position.
bool laidOutLeftToRight(HDC dc) {
    UINT alignment = GetTextAlign(dc);
    return !(alignment & TA_UPDATECP) && (alignment & TA_CENTER) == TA_LEFT;
}

// A window's device contexts come from a cache shared by the process's windows: the same handle
// counts as the same surface only while it still belongs to the same window.
bool sameSurface(const HeldLeadByte& held, HDC dc) {
    return held.held && held.dc == dc && held.window == WindowFromDC(dc);
}

bool continues(const HeldLeadByte& held, const ByteRun& run) {
    return sameSurface(held, run.dc) && held.y == run.y && held.x + held.advance == run.x &&
           run.length > 0 && run.advances && isTrailByte(run.bytes[0]);
}

BOOL drawAlone(const HeldLeadByte& held, const DrawByteRun& draw) {
    return draw({held.dc, held.x, held.y, held.options, held.hasRect ? &held.rect : nullptr,
                 &held.byte, 1, &held.advance});
}

} // namespace

bool widenedBytes(const WCHAR* text, int units) {
    return std::all_of(text, text + units, [](WCHAR unit) { return unit < 0x100; });
}

BOOL drawJoiningSplitPairs(const ByteRun& run, const DrawByteRun& draw) {
    HeldLeadByte held = takeHeld();
    if (run.length >= kMaxJoinedBytes || !run.advances) {
        if (sameSurface(held, run.dc)) drawAlone(held, draw);
        return draw(run);
    }
    char bytes[kMaxJoinedBytes];
    INT advances[kMaxJoinedBytes];
    ByteRun joined = run;
    joined.bytes = bytes;
    joined.advances = advances;
    RECT rect{};
    if (continues(held, run)) {
        bytes[0] = held.byte;
        advances[0] = held.advance + run.advances[0];
        advances[1] = 0;
        std::copy(run.bytes, run.bytes + run.length, bytes + 1);
        std::copy(run.advances + 1, run.advances + run.length, advances + 2);
        joined.length = run.length + 1;
        joined.x = held.x;
        // The run's clipping and background reach back over the lead byte's cell.
        if (run.rect) {
            rect = *run.rect;
            rect.left = std::min<LONG>(rect.left, held.x);
            joined.rect = &rect;
        }
    } else {
        if (sameSurface(held, run.dc)) drawAlone(held, draw);
        std::copy(run.bytes, run.bytes + run.length, bytes);
        std::copy(run.advances, run.advances + run.length, advances);
    }
    if (endsWithLoneLeadByte(joined.bytes, joined.length) && laidOutLeftToRight(run.dc)) {
        HeldLeadByte lead;
        lead.held = true;
        lead.thread = GetCurrentThreadId();
        lead.dc = run.dc;
        lead.window = WindowFromDC(run.dc);
        lead.x = joined.x;
        for (int i = 0; i < joined.length - 1; ++i)
            lead.x += advances[i];
        lead.y = run.y;
        lead.advance = advances[joined.length - 1];
        // Drawn alone, the byte must not fill its run's background over the text drawn since.
        lead.options = run.options & ~ETO_OPAQUE;
        lead.hasRect = run.rect != nullptr;
        if (run.rect) lead.rect = *run.rect;
        lead.byte = bytes[joined.length - 1];
        hold(lead);
        if (--joined.length == 0) return TRUE;
    }
    return draw(joined);
}

} // namespace lxsys
