// The rules the writer's input must follow, checked before anything is laid out. Each check
// returns what is wrong, or null, so that names for messages are made only on failure.
#include "internal.h"

#include <algorithm>
#include <string>

namespace lexora::libwriter::detail {
namespace {

constexpr size_t kMaxReferences = 127;
// An entry block is at least its first byte and the 6 bytes that locate a continuation.
constexpr uint16_t kMinEntryBlockSize = 7;
// Room for the longest key that may begin an index block, its head byte and the end byte.
constexpr uint16_t kMinIndexBlockSize = 1 + kMaxFrontCodedBytes + 1;
// How much of a headword an error message quotes.
constexpr size_t kQuotedBytes = 40;
constexpr char kMarker = static_cast<char>(kCopyMarker);

[[noreturn]] void reject(const std::string& what) {
    throw std::invalid_argument(what);
}

bool holds(std::string_view text, char byte) {
    return text.find(byte) != std::string_view::npos;
}

bool allAbove(std::string_view text, unsigned char floor) {
    return std::all_of(text.begin(), text.end(),
                       [floor](char c) { return static_cast<unsigned char>(c) > floor; });
}

const char* headwordFault(const std::string& headword) {
    if (headword.empty() || headword.size() > kMaxKeyLength)
        return "the headword must be 1 to 30 bytes";
    if (!allAbove(headword, 0x02)) return "the headword holds a byte of 0x02 or below";
    if (static_cast<unsigned char>(headword[0]) >= 0x80)
        return "the headword's first byte must be below 0x80";
    if (holds(headword, kMarker)) return "the headword holds the reserved byte 0x1A";
    return nullptr;
}

const char* headwordOrderFault(const std::string& previous, const std::string& headword) {
    const int order = compareHeadwords(previous, headword);
    if (order == 0) return "equals the headword before it in headword order";
    return order > 0 ? "sorts before the headword before it" : nullptr;
}

void checkHeadwords(const std::vector<EnglishEntry>& entries) {
    if (entries.empty()) reject("a library needs at least one English entry");
    if (entries.size() > kNumberLimit) reject("too many English entries for 24-bit numbers");
    for (size_t i = 0; i < entries.size(); ++i) {
        const char* fault = headwordFault(entries[i].headword);
        if (!fault && i > 0)
            fault = headwordOrderFault(entries[i - 1].headword, entries[i].headword);
        if (fault) reject(entryName(i, entries[i]) + ": " + fault);
    }
}

const char* entryTextFault(const EnglishEntry& entry) {
    if (entry.phonetic && (holds(*entry.phonetic, '\0') || holds(*entry.phonetic, '\x02')))
        return "the phonetic holds 0x00 or 0x02";
    if (holds(entry.meaning, '\0')) return "the meaning holds 0x00";
    if ((entry.phonetic && holds(*entry.phonetic, kMarker)) || holds(entry.meaning, kMarker))
        return "the text holds the reserved byte 0x1A";
    return nullptr;
}

const char* wordFault(const std::string& word) {
    if (word.empty() || word.size() > kMaxKeyLength) return "the word must be 1 to 30 bytes";
    if (holds(word, '\0') || holds(word, kMarker))
        return "the word holds 0x00 or the reserved byte 0x1A";
    return nullptr;
}

void checkWords(const std::vector<ChineseWord>& words) {
    if (words.size() > kNumberLimit) reject("too many Chinese words for 24-bit numbers");
    for (size_t i = 0; i < words.size(); ++i) {
        const char* fault = wordFault(words[i].word);
        if (!fault && i > 0 &&
            compareKeys(words[i - 1].word, words[i].word, kMaxKeyLength, false) >= 0)
            fault = "not above the word before it in byte order";
        if (fault) reject(wordName(i) + ": " + fault);
    }
}

void checkReferences(size_t index, const ChineseWord& word, size_t entryCount) {
    if (word.references.empty() || word.references.size() > kMaxReferences)
        reject(wordName(index) + ": a word needs 1 to 127 references");
    for (uint32_t reference : word.references)
        if (reference >= entryCount)
            reject(wordName(index) + ": reference " + std::to_string(reference) +
                   " names no entry");
}

} // namespace

std::string entryName(size_t index, const EnglishEntry& entry) {
    return "entry " + std::to_string(index) + " (\"" + entry.headword.substr(0, kQuotedBytes) +
           "\")";
}

std::string wordName(size_t index) {
    return "Chinese word " + std::to_string(index);
}

void validateLayout(const Layout& layout) {
    if (layout.entriesPerBlock == 0) reject("layout: entriesPerBlock must be at least 1");
    if (layout.entryBlockSize < kMinEntryBlockSize)
        reject("layout: entryBlockSize must be at least " + std::to_string(kMinEntryBlockSize));
    if (layout.englishIndexBlockSize < kMinIndexBlockSize ||
        layout.chineseIndexBlockSize < kMinIndexBlockSize)
        reject("layout: index blocks must be at least " + std::to_string(kMinIndexBlockSize) +
               " bytes");
}

void validateInput(const std::vector<EnglishEntry>& entries, const std::vector<ChineseWord>& words,
                   const Layout& layout) {
    validateLayout(layout);
    checkHeadwords(entries);
    checkWords(words);
    for (size_t i = 0; i < entries.size(); ++i)
        if (const char* fault = entryTextFault(entries[i]))
            reject(entryName(i, entries[i]) + ": " + fault);
    for (size_t i = 0; i < words.size(); ++i)
        checkReferences(i, words[i], entries.size());
}

} // namespace lexora::libwriter::detail
