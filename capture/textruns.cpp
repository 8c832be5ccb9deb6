// Splitting a drawn text into runs, the reported text of double-byte runs, and placement.
#include "textruns.h"

#include "cpconv.h"

#include <cstring>
#include <initializer_list>
#include <limits>

namespace lxsys {

const unsigned char lookupBreakSet[42] = {
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x20,
    0x22, 0x27, 0x3B, 0x3C, 0x3E, 0x5B, 0x5D, 0x7B, 0x7D, 0x28, 0x29, 0x5F, 0x3D, 0x26,
    0x21, 0x40, 0x24, 0x25, 0x5E, 0x7E, 0x60, 0x7C, 0x2B, 0x5C, 0x3A, 0x2A, 0x2D, 0x3F,
};

namespace {

bool isLetter(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}
bool isDigit(unsigned char byte) {
    return byte >= '0' && byte <= '9';
}

// Which of '.', ',' and '/' stay inside words of this text.
struct JoinFlags {
    bool dot = false;
    bool comma = false;
    bool slash = false;
};

JoinFlags joinFlags(const unsigned char* text, int remaining) {
    JoinFlags flags;
    int letterDots = 0;
    for (int q = 0; q < remaining; ++q) {
        unsigned char byte = text[q];
        if (byte != '.' && !isLetter(byte) && letterDots < 2) letterDots = 0;
        bool inside = q > 0 && q + 1 < remaining;
        if (byte == ',' || byte == '/') {
            if (inside && isDigit(text[q - 1]) && isDigit(text[q + 1]))
                (byte == ',' ? flags.comma : flags.slash) = true;
        } else if (byte == '.') {
            if (q == 0) {
                if (remaining > 1 && isDigit(text[1])) flags.dot = true;
            } else if (inside && isLetter(text[q - 1]) && isLetter(text[q + 1])) {
                ++letterDots;
            } else if (inside && isDigit(text[q - 1]) && isDigit(text[q + 1])) {
                flags.dot = true;
            }
        }
    }
    if (letterDots >= 2) flags.dot = true;
    return flags;
}

bool isBreak(unsigned char byte, const JoinFlags& flags) {
    if (byte == 0 || std::memchr(lookupBreakSet, byte, sizeof lookupBreakSet)) return true;
    return (byte == '.' && !flags.dot) || (byte == ',' && !flags.comma) ||
           (byte == '/' && !flags.slash);
}

// A single space between two double-byte characters that belongs to the run.
bool joinedSpaceAt(const char* text, int remaining, bool joinSpaced) {
    return joinSpaced && remaining >= 5 && text[2] == ' ' && doubleByteAt(text + 3, remaining - 3);
}

} // namespace

bool doubleByteAt(const char* text, int remaining) {
    return remaining >= 2 && text[0] != '\0' && CPC_DBCSNext(CPC_PAGE_CURRENT, text) == text + 2;
}

TextRun nextRun(const char* text, int remaining, bool joinSpaced) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    JoinFlags flags = joinFlags(bytes, remaining);
    TextRun run;
    if (isBreak(bytes[0], flags)) {
        run.isBreak = true;
        while (run.length < remaining && isBreak(bytes[run.length], flags))
            ++run.length;
        return run;
    }
    if (remaining == 1) {
        run.length = 1;
        return run;
    }
    run.isDoubleByte = doubleByteAt(text, remaining);
    while (run.length < remaining) {
        const char* here = text + run.length;
        int left = remaining - run.length;
        if (doubleByteAt(here, left)) {
            if (!run.isDoubleByte) break;
            run.length += joinedSpaceAt(here, left, joinSpaced) ? 3 : 2;
        } else {
            if (run.isDoubleByte || isBreak(bytes[run.length], flags)) break;
            ++run.length;
        }
    }
    return run;
}

int doubleByteRunText(const char* run, int length, bool joinSpaced, char* out, int capacity) {
    int written = 0;
    int p = 0;
    while (p < length && doubleByteAt(run + p, length - p) && written + 2 < capacity) {
        out[written++] = run[p];
        out[written++] = run[p + 1];
        p += joinedSpaceAt(run + p, length - p, joinSpaced) ? 3 : 2;
    }
    if (capacity > 0) out[written] = '\0';
    return written;
}

bool placeText(unsigned alignment, int64_t x, int64_t y, int64_t width, int64_t height,
               int64_t ascent, int64_t descent, Placement& placed) {
    int64_t top = y, bottom = y + height;
    if ((alignment & kAlignBaseline) == kAlignBaseline) {
        top = y - ascent;
        bottom = y + descent;
    } else if (alignment & kAlignBottom) {
        top = y - height;
        bottom = y;
    }
    int64_t left = x, right = x + width;
    if ((alignment & kAlignCentre) == kAlignCentre) {
        left = x - width / 2;
        right = x + width / 2;
    } else if (alignment & kAlignRight) {
        left = x - width;
        right = x;
    }
    constexpr int64_t low = std::numeric_limits<int32_t>::min();
    constexpr int64_t high = std::numeric_limits<int32_t>::max();
    for (int64_t edge : {left, top, right, bottom})
        if (edge < low || edge > high) return false;
    placed = {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
              static_cast<int32_t>(bottom)};
    return true;
}

} // namespace lxsys
