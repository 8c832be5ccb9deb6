// Stepping over characters and words, order numbers and full-width letters.
#include "internal.h"

#include <cstring>

namespace cpconv {
namespace {

uint8_t byteAt(const char* p) {
    return static_cast<uint8_t>(*p);
}

bool isDelimiter(uint8_t byte) {
    return state.shared->isDelimiter[byte] != 0;
}

char* mutableText(const char* p) {
    return const_cast<char*>(p);
}

// Start of the character before pos; pos lies more than two bytes past start. The byte just
// before pos is not examined: the parity of the run of lead-range bytes that ends two bytes
// before pos tells whether that byte is a trail byte.
const char* previousByParity(int page, const char* start, const char* pos) {
    const char* p = pos - 2;
    size_t run = 0;
    while (isLeadByteOf(page, byteAt(p))) {
        ++run;
        if (p == start) break;
        --p;
    }
    return run % 2 == 1 ? pos - 2 : pos - 1;
}

bool isDoubleByteStart(int page, const char* p) {
    return isLeadByteOf(page, byteAt(p));
}

} // namespace
} // namespace cpconv

using namespace cpconv;

extern "C" {

char* WINAPI CPC_DBCSNext(int page, const char* pos) {
    if (!pos || *pos == '\0') return mutableText(pos);
    page = resolvePage(page);
    if (!isLeadByteOf(page, byteAt(pos)) || pos[1] == '\0') return mutableText(pos + 1);
    return mutableText(pos + (isTrailByteOf(page, byteAt(pos + 1)) ? 2 : 1));
}

char* WINAPI CPC_DBCSPrev(int page, const char* start, const char* pos) {
    if (!start || !pos) return mutableText(start ? start : pos);
    if (pos < start) pos = start;
    if (pos - start <= 1) return mutableText(start);
    page = resolvePage(page);
    if (pos - start == 2) return mutableText(CPC_DBCSNext(page, start) == pos ? start : start + 1);
    return mutableText(previousByParity(page, start, pos));
}

char* WINAPI CPC_WordNext(int page, const char* pos) {
    if (!pos || pos[0] == '\0') return mutableText(pos);
    if (pos[1] == '\0') return mutableText(pos + 1);
    page = resolvePage(page);
    if (isDelimiter(byteAt(pos))) {
        while (*pos != '\0' && isDelimiter(byteAt(pos)))
            ++pos;
        return mutableText(pos);
    }
    if (isLeadByteOf(page, byteAt(pos))) return CPC_DBCSNext(page, pos);
    while (*pos != '\0' && !isDelimiter(byteAt(pos)) && !isLeadByteOf(page, byteAt(pos)))
        ++pos;
    return mutableText(pos);
}

char* WINAPI CPC_WordPrev(int page, const char* start, const char* pos) {
    if (!start || !pos) return mutableText(start ? start : pos);
    if (pos < start) pos = start;
    if (pos - start <= 1) return mutableText(start);
    page = resolvePage(page);
    const char* word = CPC_DBCSPrev(page, start, pos);
    if (isDoubleByteStart(page, word)) return mutableText(word);
    // A run of delimiters, or a run of single-byte characters that are not delimiters.
    bool delimiters = isDelimiter(byteAt(word));
    while (word > start) {
        const char* before = CPC_DBCSPrev(page, start, word);
        bool sameKind = delimiters
                            ? isDelimiter(byteAt(before))
                            : !isDelimiter(byteAt(before)) && !isDoubleByteStart(page, before);
        if (!sameKind) break;
        word = before;
    }
    return mutableText(word);
}

int WINAPI CPC_DBCSToOrder(int page, const char* pos) {
    if (!pos) return 0;
    page = resolvePage(page);
    int lead = byteAt(pos);
    if (!isLeadByteOf(page, static_cast<uint8_t>(lead))) return lead;
    int trail = byteAt(pos + 1);
    if (page == CPC_PAGE_GB) return lead * 94 + trail - 15039;
    if (page == CPC_PAGE_BIG5) return lead * 157 + trail - (trail <= 0xA0 ? 25085 : 25119);
    return 0;
}

int WINAPI CPC_OrderToDBCS(int page, unsigned order, char* buffer, int size) {
    if (!buffer || size < 1 || order >= 0x10000) return 0;
    if (order < 256) {
        buffer[0] = static_cast<char>(order);
        if (size > 1) buffer[1] = '\0';
        return 1;
    }
    if (size < 2) return 0;
    page = resolvePage(page);
    unsigned k = order - 256;
    uint8_t lead, trail;
    if (page == CPC_PAGE_GB && order < kGbOrderLimit) {
        lead = static_cast<uint8_t>(0xA1 + k / 94);
        trail = static_cast<uint8_t>(0xA1 + k % 94);
    } else if (page == CPC_PAGE_BIG5 && order < kBig5OrderLimit) {
        unsigned t = k % 157;
        lead = static_cast<uint8_t>(0xA1 + k / 157);
        trail = static_cast<uint8_t>(t < 63 ? 0x40 + t : 0x62 + t);
    } else {
        buffer[0] = '\0';
        return 0;
    }
    buffer[0] = static_cast<char>(lead);
    buffer[1] = static_cast<char>(trail);
    if (size > 2) buffer[2] = '\0';
    return 2;
}

int WINAPI CPC_DBCSAlphaToAnsi(int page, const char* pos) {
    if (!pos) return 0;
    page = resolvePage(page);
    uint8_t copy[4] = {};
    // Only the bytes up to the text's NUL are examined, never more than four.
    int length = static_cast<int>(strnlen(pos, sizeof copy));
    if (length == 0) return 0;
    CPC_ConvertDBCSBuffer(CPC_GenConvertFlag(page, CPC_PAGE_GB, 0), pos, length,
                          reinterpret_cast<char*>(copy), sizeof copy);
    if (copy[0] == 0xA1 && copy[1] == 0xA1) return 0x20;
    if (copy[0] == 0xA3 && copy[1] >= 0xA1 && copy[1] <= 0xFE) return copy[1] - 0x80;
    return 0;
}

int WINAPI CPC_AnsiAlphaToDBCS(int page, int ch, char* buffer, int size) {
    uint8_t c = static_cast<uint8_t>(ch);
    if (!buffer || size < 2 || c < 0x20 || c > 0x7E) return 0;
    buffer[0] = static_cast<char>(c == ' ' ? 0xA1 : 0xA3);
    buffer[1] = static_cast<char>(c == ' ' ? 0xA1 : c + 0x80);
    if (size != 2) buffer[2] = '\0';
    CPC_ConvertDBCSBuffer(CPC_GenConvertFlag(CPC_PAGE_GB, page, 0), buffer, 2, buffer, 2);
    return 2;
}

} // extern "C"
