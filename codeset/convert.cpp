// GB <-> BIG5 conversion through the two embedded tables.
#include "internal.h"

#include <cstring>
#include <emmintrin.h>

namespace cpconv {
namespace {

// Position of a BIG5 trail byte within its row of 157 places; 0xFF for a byte that cannot
// follow a lead byte.
struct Big5TrailPlaces {
    uint8_t place[256];
    constexpr Big5TrailPlaces() : place() {
        for (int b = 0; b < 256; ++b)
            place[b] = 0xFF;
        for (int b = 0x40; b <= 0x7E; ++b)
            place[b] = static_cast<uint8_t>(b - 0x40);
        for (int b = 0xA1; b <= 0xFE; ++b)
            place[b] = static_cast<uint8_t>(b - 0xA1 + 63);
    }
};
constexpr Big5TrailPlaces kBig5Trail;

// The flag argument with -1, -2 and -3 resolved; only its low 16 bits count.
uint16_t resolveFlag(int flag) {
    switch (static_cast<int16_t>(flag & 0xFFFF)) {
    case CPC_FLAG_NONE:
        return 0;
    case CPC_FLAG_TO_MIDDLE:
        return state.shared->currentToMiddleFlag;
    case CPC_FLAG_TO_CURRENT:
        return state.shared->middleToCurrentFlag;
    default:
        return static_cast<uint16_t>(flag & 0xFFFF);
    }
}

// Bit i set where byte i of the 64 bytes at text lies in [low, low + span).
uint64_t rangeMask64(const uint8_t* text, uint8_t low, uint8_t span) {
    const __m128i base = _mm_set1_epi8(static_cast<char>(low));
    const __m128i last = _mm_set1_epi8(static_cast<char>(span - 1));
    uint64_t mask = 0;
    for (int part = 0; part < 4; ++part) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * part));
        __m128i offset = _mm_sub_epi8(bytes, base);
        __m128i inside = _mm_cmpeq_epi8(_mm_min_epu8(offset, last), offset);
        mask |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(inside)))
                << (16 * part);
    }
    return mask;
}

bool inRange(uint8_t byte, uint8_t low, uint8_t span) {
    return static_cast<uint8_t>(byte - low) < span;
}

// GB: lead and trail bytes are both A1-FE.
struct GbPairs {
    static bool isLead(uint8_t byte) { return inRange(byte, 0xA1, 94); }
    static bool isTrail(uint8_t byte) { return inRange(byte, 0xA1, 94); }
    static unsigned index(uint8_t lead, uint8_t trail) {
        return (lead - 0xA1u) * 94 + (trail - 0xA1u);
    }
    static void masks(const uint8_t* text, uint64_t& leads, uint64_t& trails) {
        leads = trails = rangeMask64(text, 0xA1, 94);
    }
};

// BIG5: lead bytes A1-FE, trail bytes 40-7E and A1-FE.
struct Big5Pairs {
    static bool isLead(uint8_t byte) { return inRange(byte, 0xA1, 94); }
    static bool isTrail(uint8_t byte) { return kBig5Trail.place[byte] != 0xFF; }
    static unsigned index(uint8_t lead, uint8_t trail) {
        return (lead - 0xA1u) * 157 + kBig5Trail.place[trail];
    }
    static void masks(const uint8_t* text, uint64_t& leads, uint64_t& trails) {
        leads = rangeMask64(text, 0xA1, 94);
        trails = leads | rangeMask64(text, 0x40, 63);
    }
};

// The lead bytes that begin a character: a run of lead bytes pairs up from its first byte (each
// is a valid trail for the one before), so every other one from the run's start does. Adding the
// run starts at even positions to the mask carries through exactly those runs.
uint64_t characterStarts(uint64_t leads) {
    constexpr uint64_t even = 0x5555555555555555ull;
    uint64_t runStarts = leads & ~(leads << 1);
    uint64_t evenRuns = ((leads + (runStarts & even)) ^ leads) & leads;
    uint64_t oddRuns = leads & ~evenRuns;
    return (evenRuns & even) | (oddRuns & ~even);
}

template <class Pairs>
void convertPair(const uint8_t* source, uint8_t* dest, size_t at, const uint8_t* table) {
    std::memcpy(dest + at, table + 2 * Pairs::index(source[at], source[at + 1]), 2);
}

// Converts source to dest 64 bytes at a time while a byte beyond the block remains (the trail of
// a character that begins on the block's last byte lies there); returns where it stopped. The
// characters of a block are found from its masks at once, so text that mixes pairs and single
// bytes costs no branch per character.
template <class Pairs>
size_t convertBlocks(const uint8_t* source, uint8_t* dest, size_t count, const uint8_t* table) {
    size_t i = 0;
    bool straddling = false; // a character begins on the byte before i
    for (; i + 64 < count; i += 64) {
        uint64_t leads, trails;
        Pairs::masks(source + i, leads, trails);
        if (straddling) leads &= ~1ull;
        uint64_t nextIsTrail = Pairs::isTrail(source[i + 64]) ? 1 : 0;
        uint64_t starts = characterStarts(leads) & ((trails >> 1) | (nextIsTrail << 63));
        if (dest != source) std::memcpy(dest + i, source + i, 64);
        if (straddling) convertPair<Pairs>(source, dest, i - 1, table);
        straddling = starts >> 63;
        for (starts &= ~(1ull << 63); starts; starts &= starts - 1)
            convertPair<Pairs>(source, dest, i + __builtin_ctzll(starts), table);
    }
    if (straddling) {
        convertPair<Pairs>(source, dest, i - 1, table);
        ++i;
    }
    return i;
}

// Copies source[0, count) to dest converting every complete character of the page through the
// table; dest may be source. A lead byte whose trail byte would lie past the range stays as it is.
template <class Pairs>
void convertText(const uint8_t* source, uint8_t* dest, size_t count, const uint8_t* table) {
    size_t i = convertBlocks<Pairs>(source, dest, count, table);
    while (i < count) {
        if (i + 1 < count && Pairs::isLead(source[i]) && Pairs::isTrail(source[i + 1])) {
            convertPair<Pairs>(source, dest, i, table);
            i += 2;
        } else {
            dest[i] = source[i];
            ++i;
        }
    }
}

bool overlapsAhead(const char* source, const char* dest, size_t count) {
    return dest != source && dest < source + count && source < dest + count;
}

} // namespace
} // namespace cpconv

using namespace cpconv;

extern "C" {

unsigned short WINAPI CPC_GenConvertFlag(int sourcePage, int targetPage, int mark) {
    int source = resolvePage(sourcePage);
    int target = resolvePage(targetPage);
    if (source == target) return 0;
    auto convertible = [](int page) { return page == CPC_PAGE_GB || page == CPC_PAGE_BIG5; };
    if (!convertible(source) || !convertible(target)) return 0xFFFF;
    return static_cast<unsigned short>(target * 256 + source + (mark ? CPC_FLAG_MARK : 0));
}

int WINAPI CPC_ConvertDBCSBuffer(int flag, const char* source, int count, char* dest,
                                 int destSize) {
    if (!source || !dest || count < 0 || destSize <= 0) return 0;
    bool terminate = count == 0;
    if (terminate) {
        // The text and its NUL must fit the destination, so no more of the source is read.
        size_t length = strnlen(source, static_cast<size_t>(destSize));
        if (length == static_cast<size_t>(destSize)) return 0;
        count = static_cast<int>(length);
    }
    if (count == 0 || destSize < count + (terminate ? 1 : 0)) return 0;

    uint16_t resolved = resolveFlag(flag);
    const uint8_t* table = resolved == CPC_FLAG_GB_TO_BIG5   ? state.gbToBig5
                           : resolved == CPC_FLAG_BIG5_TO_GB ? state.big5ToGb
                                                             : nullptr;
    size_t length = static_cast<size_t>(count);
    // Overlapping areas are moved first and converted in place.
    if (!table || overlapsAhead(source, dest, length)) {
        std::memmove(dest, source, length);
        source = dest;
    }
    if (table) {
        auto* to = reinterpret_cast<uint8_t*>(dest);
        auto* from = reinterpret_cast<const uint8_t*>(source);
        if (resolved == CPC_FLAG_GB_TO_BIG5)
            convertText<GbPairs>(from, to, length, table);
        else
            convertText<Big5Pairs>(from, to, length, table);
    }
    if (terminate) dest[count] = '\0';
    return count;
}

char* WINAPI CPC_StrCVTCpy(char* dest, const char* source, int destSize) {
    if (dest && source) CPC_ConvertDBCSBuffer(CPC_FLAG_TO_CURRENT, source, 0, dest, destSize);
    return dest;
}

unsigned WINAPI CPC_ConvertADBCS(int flag, unsigned character) {
    uint16_t resolved = resolveFlag(flag);
    const char input[2] = {static_cast<char>(character & 0xFF),
                           static_cast<char>((character >> 8) & 0xFF)};
    char output[4] = {};
    CPC_ConvertDBCSBuffer(resolved, input, 2, output, 2);
    unsigned result = static_cast<uint8_t>(output[0]) | static_cast<uint8_t>(output[1]) << 8;
    unsigned original = character & 0xFFFF;

    // A character without counterpart comes back as the target page's space.
    uint16_t direction = resolved & ~CPC_FLAG_MARK;
    if (direction == CPC_FLAG_GB_TO_BIG5 && result == 0x40A1 && original != 0xA1A1) return 0;
    if (direction == CPC_FLAG_BIG5_TO_GB && result == 0xA1A1 && original != 0x40A1) return 0;
    return result;
}

} // extern "C"
