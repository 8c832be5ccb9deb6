// The Chinese index: the senses that are Chinese words, each linked to the English entries that
// hold it.
#ifndef LEXORA_MKLIB_CHINESE_H
#define LEXORA_MKLIB_CHINESE_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "importance.h"
#include "libwriter.h"

namespace lexora::mklib {

constexpr std::size_t maxWordCharacters = 15;
constexpr std::size_t maxReferences = 127;

// A GB sense without its bracketed notes ("[计] 工作簿" gives "工作簿") and the spaces around
// what is left.
std::string withoutNotes(std::string_view sense);

// The Chinese word a GB sense stands for: the sense without its bracketed notes, when what is
// left is 1 to 15 GB characters, at least one of them a Chinese character, and none of them
// punctuation (the middle dot of names excepted) or single-byte.
std::optional<std::string> chineseWord(std::string_view sense);

// The words of the senses of every entry (senses[e] for entry e), in byte order, each with its
// entries most important first (ties by entry number), at most maxReferences of them.
std::vector<libwriter::ChineseWord>
buildChineseIndex(const std::vector<std::vector<std::string>>& senses,
                  const std::vector<Importance>& importance);

} // namespace lexora::mklib

#endif
