#include "chinese.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "gb.h"

namespace lexora::mklib {

namespace {

constexpr uint16_t middleDot = 0xA1A4;

uint16_t characterAt(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (gbCharacterLength(lead) == 1 || pos + 1 >= text.size()) return lead;
    return static_cast<uint16_t>(lead << 8 | static_cast<unsigned char>(text[pos + 1]));
}

std::size_t characterLength(uint16_t c) {
    return c > 0xFF ? 2 : 1;
}

bool isOpeningBracket(uint16_t c) {
    static constexpr uint16_t opening[] = {'(',    '[',    '<',    '{',    0xA3A8, 0xA1BE,
                                           0xA1B2, 0xA1B6, 0xA1B4, 0xA3DB, 0xA3FB};
    return std::find(std::begin(opening), std::end(opening), c) != std::end(opening);
}

bool isClosingBracket(uint16_t c) {
    static constexpr uint16_t closing[] = {')',    ']',    '>',    '}',    0xA3A9, 0xA1BF,
                                           0xA1B3, 0xA1B7, 0xA1B5, 0xA3DD, 0xA3FD};
    return std::find(std::begin(closing), std::end(closing), c) != std::end(closing);
}

bool isSpace(uint16_t c) {
    return c == ' ' || c == 0xA1A1;
}

std::vector<uint16_t> charactersOutsideBrackets(std::string_view sense) {
    std::vector<uint16_t> characters;
    int depth = 0;
    for (std::size_t pos = 0; pos < sense.size();) {
        const uint16_t c = characterAt(sense, pos);
        pos += characterLength(c);
        if (isOpeningBracket(c)) {
            ++depth;
        } else if (isClosingBracket(c)) {
            depth = std::max(depth - 1, 0);
        } else if (depth == 0) {
            characters.push_back(c);
        }
    }
    return characters;
}

bool isChineseCharacter(uint16_t c) {
    return c >= 0xB0A1;
}

// Full-width letters and digits, Greek letters (as in α射线) and the middle dot may stand in a
// word; other symbols and all single bytes may not.
bool mayStandInWord(uint16_t c) {
    const unsigned row = c >> 8;
    const unsigned cell = c & 0xFF;
    const bool fullWidthAlphanumeric =
        row == 0xA3 && ((cell >= 0xB0 && cell <= 0xB9) || (cell >= 0xC1 && cell <= 0xDA) ||
                        (cell >= 0xE1 && cell <= 0xFA));
    return isChineseCharacter(c) || fullWidthAlphanumeric || row == 0xA6 || c == middleDot;
}

std::vector<uint16_t> trimSpaces(std::vector<uint16_t> characters) {
    const auto first = std::find_if_not(characters.begin(), characters.end(), isSpace);
    characters.erase(characters.begin(), first);
    while (!characters.empty() && isSpace(characters.back()))
        characters.pop_back();
    return characters;
}

std::vector<uint32_t> orderReferences(std::vector<uint32_t> entries,
                                      const std::vector<Importance>& importance) {
    std::sort(entries.begin(), entries.end(), [&](uint32_t a, uint32_t b) {
        if (moreImportant(importance[a], importance[b])) return true;
        if (moreImportant(importance[b], importance[a])) return false;
        return a < b;
    });
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    if (entries.size() > maxReferences) entries.resize(maxReferences);
    return entries;
}

} // namespace

std::string withoutNotes(std::string_view sense) {
    std::string text;
    for (const uint16_t c : trimSpaces(charactersOutsideBrackets(sense))) {
        if (c > 0xFF) text += static_cast<char>(c >> 8);
        text += static_cast<char>(c & 0xFF);
    }
    return text;
}

std::optional<std::string> chineseWord(std::string_view sense) {
    const std::vector<uint16_t> characters = trimSpaces(charactersOutsideBrackets(sense));
    if (characters.empty() || characters.size() > maxWordCharacters) return std::nullopt;
    if (!std::all_of(characters.begin(), characters.end(), mayStandInWord)) return std::nullopt;
    if (std::none_of(characters.begin(), characters.end(), isChineseCharacter)) {
        return std::nullopt;
    }
    return withoutNotes(sense);
}

std::vector<libwriter::ChineseWord>
buildChineseIndex(const std::vector<std::vector<std::string>>& senses,
                  const std::vector<Importance>& importance) {
    std::unordered_map<std::string, std::vector<uint32_t>> entriesOfWord;
    for (std::size_t entry = 0; entry < senses.size(); ++entry) {
        for (const std::string& sense : senses[entry]) {
            if (std::optional<std::string> word = chineseWord(sense)) {
                entriesOfWord[std::move(*word)].push_back(static_cast<uint32_t>(entry));
            }
        }
    }
    std::vector<libwriter::ChineseWord> words;
    words.reserve(entriesOfWord.size());
    for (auto& [word, entries] : entriesOfWord)
        words.push_back({word, orderReferences(std::move(entries), importance)});
    std::sort(words.begin(), words.end(),
              [](const auto& a, const auto& b) { return a.word < b.word; });
    return words;
}

} // namespace lexora::mklib
