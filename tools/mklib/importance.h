// How common and how useful an English word is, from ECDICT's frequency ranks, Collins stars,
// Oxford 3000 mark and exam word lists: orders the English entries that share a Chinese word.
#ifndef LEXORA_MKLIB_IMPORTANCE_H
#define LEXORA_MKLIB_IMPORTANCE_H

#include <cstdint>
#include <limits>
#include <string_view>

namespace lexora::mklib {

struct Importance {
    static constexpr uint32_t unranked = std::numeric_limits<uint32_t>::max();

    uint32_t rank = unranked; // the better of the COCA and BNC frequency ranks, 1 the most common
    uint8_t collins = 0;      // Collins stars, 0 to 5
    bool oxford = false;      // in the Oxford 3000
    uint8_t examLists = 0;    // exam word lists naming the word

    // From the CSV fields frq, bnc, collins, oxford and tag.
    static Importance fromFields(std::string_view frq, std::string_view bnc,
                                 std::string_view collins, std::string_view oxford,
                                 std::string_view tag);
};

// True when a comes before b: the more frequent word first, then more Collins stars, the Oxford
// mark and more exam lists.
bool moreImportant(const Importance& a, const Importance& b);

} // namespace lexora::mklib

#endif
