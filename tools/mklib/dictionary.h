// The dictionary compiled from ECDICT's CSV: English entries in headword order, their Chinese
// index, and the rows and keys left out on the way.
#ifndef LEXORA_MKLIB_DICTIONARY_H
#define LEXORA_MKLIB_DICTIONARY_H

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gb.h"
#include "importance.h"
#include "libwriter.h"
#include "meaning.h"

namespace lexora::mklib {

constexpr std::size_t maxHeadwordLength = 30;
constexpr std::size_t maxEntryLength = 255;
constexpr std::size_t maxPhoneticLength = 40;

// One ECDICT row reduced to what an entry needs.
struct Candidate {
    std::string headword;
    std::string phonetic; // in phonetic code; empty for none
    std::vector<MeaningLine> lines;
    Importance importance;
};

// The candidate of a CSV record (fields in ECDICT's column order), or nothing when the headword
// is not printable ASCII of at most 30 bytes or no Chinese sense survives the conversion.
std::optional<Candidate> makeCandidate(const std::vector<std::string>& fields, const GbEncoder& gb);

struct Dictionary {
    std::vector<libwriter::EnglishEntry> entries;
    std::vector<Importance> importance;           // of each entry
    std::vector<std::vector<std::string>> senses; // the whole senses of each entry's meaning
    std::vector<libwriter::ChineseWord> words;
    std::size_t rows = 0;           // CSV records read, header excluded
    std::size_t mergedRows = 0;     // rows merged into an entry of another row
    std::size_t droppedEntries = 0; // entries whose headword could not be keyed
    std::size_t droppedWords = 0;   // Chinese words that could not be keyed
};

// Reports the progress of reading: bytes of the CSV read so far and in all.
using ReadProgress = std::function<void(std::size_t done, std::size_t total)>;

// The candidates of every record after the header.
std::vector<Candidate> readCandidates(std::string_view csv, const GbEncoder& gb,
                                      Dictionary& dictionary, const ReadProgress& progress);

// The entries of the candidates in headword order. Candidates whose headwords are equal under
// that order become one entry, the more important first: its headword and phonetic code (or the
// first one present), then the lines of the others. A sense that repeats an earlier one of the
// entry, notes aside, under the same part of speech, or at all in a line without a part-of-speech
// code, is left out.
void composeEntries(std::vector<Candidate> candidates, Dictionary& dictionary);

// The entry text: headword, 0x01, phonetic code and 0x02 when there is one, meaning.
std::string entryText(const libwriter::EnglishEntry& entry);

// Drops the entries, then builds the Chinese index and drops the words, whose index keys the
// layout cannot front-code; counts both in the dictionary.
void buildIndexes(Dictionary& dictionary, const libwriter::Layout& layout);

// Whether an index key can follow the key before it in an index block: a key keeps at most 15
// bytes of the previous one and adds at most 15 new bytes.
bool canFrontCode(std::string_view previous, std::string_view key);

} // namespace lexora::mklib

#endif
