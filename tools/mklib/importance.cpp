#include "importance.h"

#include <algorithm>
#include <charconv>
#include <tuple>

namespace lexora::mklib {

namespace {

uint32_t parseNumber(std::string_view field) {
    uint32_t value = 0;
    std::from_chars(field.data(), field.data() + field.size(), value);
    return value;
}

// ECDICT writes 0 (or nothing) for a word without a rank.
uint32_t rankOf(std::string_view field) {
    const uint32_t rank = parseNumber(field);
    return rank == 0 ? Importance::unranked : rank;
}

uint8_t countWords(std::string_view text) {
    uint8_t count = 0;
    bool inWord = false;
    for (const char c : text) {
        if (c != ' ' && !inWord) ++count;
        inWord = c != ' ';
    }
    return count;
}

} // namespace

Importance Importance::fromFields(std::string_view frq, std::string_view bnc,
                                  std::string_view collins, std::string_view oxford,
                                  std::string_view tag) {
    Importance importance;
    importance.rank = std::min(rankOf(frq), rankOf(bnc));
    importance.collins = static_cast<uint8_t>(std::min<uint32_t>(parseNumber(collins), 5));
    importance.oxford = parseNumber(oxford) != 0;
    importance.examLists = countWords(tag);
    return importance;
}

bool moreImportant(const Importance& a, const Importance& b) {
    return std::make_tuple(a.rank, -a.collins, !a.oxford, -a.examLists) <
           std::make_tuple(b.rank, -b.collins, !b.oxford, -b.examLists);
}

} // namespace lexora::mklib
