// Parts of the dictionary-file writer shared between its source files: the input rules, key
// comparison and front coding, and the plans of the two indexes.
#ifndef LEXORA_LIBWRITER_INTERNAL_H
#define LEXORA_LIBWRITER_INTERNAL_H

#include "libwriter.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexora::libwriter::detail {

constexpr unsigned char kCopyMarker = 0x1A;
constexpr size_t kMaxKeyLength = 30;
// Either half of a head byte: bytes kept from the previous key, new bytes that follow.
constexpr size_t kMaxFrontCodedBytes = 15;
constexpr size_t kEnglishMainKeyLength = 13;
constexpr size_t kChineseMainKeyLength = 7;
// Entry and word numbers are stored in 24 bits.
constexpr size_t kNumberLimit = size_t{1} << 24;
constexpr size_t kMaxMainRecords = 0xFFFF;

// Throws std::invalid_argument naming the first layout field, entry or word that breaks the rules.
void validateInput(const std::vector<EnglishEntry>& entries, const std::vector<ChineseWord>& words,
                   const Layout& layout);
// Throws std::invalid_argument for a layout the writer cannot use.
void validateLayout(const Layout& layout);

// How error messages name an entry and a word.
std::string entryName(size_t index, const EnglishEntry& entry);
std::string wordName(size_t index);

// Compares over at most limit bytes, a string that ends first being the smaller; folded: a-z
// compare as A-Z. Other bytes compare unsigned.
int compareKeys(std::string_view a, std::string_view b, size_t limit, bool folded);

// Bytes a key keeps from the key before it: their common prefix, at most 15 bytes.
size_t keptBytes(std::string_view previous, std::string_view key);

// An index: the key of every entry block (English) or word (Chinese), and the keys that begin
// the index blocks.
struct IndexPlan {
    std::vector<std::string> keys;
    std::vector<size_t> blockStarts;
};

// Both throw LayoutError for a key that cannot be front-coded where it falls, and
// std::invalid_argument when the main index would need more than 65535 records.
IndexPlan planEnglishIndex(const std::vector<EnglishEntry>& entries, const Layout& layout);
IndexPlan planChineseIndex(const std::vector<ChineseWord>& words, const Layout& layout);

// The index blocks of a plan, each front-coded and zero-padded to blockSize bytes.
std::vector<uint8_t> encodeIndexBlocks(const IndexPlan& plan, size_t blockSize);

} // namespace lexora::libwriter::detail

#endif
