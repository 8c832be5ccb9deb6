// Writes dictionary files (LEXORA.LIB): English entries with their compressed entry blocks and
// front-coded index, Chinese words with their reference records. Used by the dictionary compiler
// and by the tests, which make small files with exactly the cases they need.
#ifndef LEXORA_LIBWRITER_H
#define LEXORA_LIBWRITER_H

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lexora::libwriter {

struct EnglishEntry {
    std::string headword;                // 1-30 bytes, each above 0x02; the first below 0x80
    std::optional<std::string> phonetic; // no 0x00 or 0x02; absent: the entry has no 0x02
    std::string meaning;                 // no 0x00
};

struct ChineseWord {
    std::string word;                 // GB text, 1-30 bytes, no 0x00
    std::vector<uint32_t> references; // English entry numbers, 1 to 127 of them
};

struct Layout {
    uint16_t englishIndexBlockSize = 1024;
    uint16_t entryBlockSize = 2048;
    uint16_t entriesPerBlock = 16;
    uint16_t chineseIndexBlockSize = 512;
    bool lazyMatching = true;
};

// An English entry or Chinese word whose index key cannot be front-coded where the layout puts it.
struct LayoutProblem {
    enum class Kind { EnglishEntry, ChineseWord } kind;
    size_t index;
};

class LayoutError : public std::runtime_error {
  public:
    LayoutError(const LayoutProblem& problem, const std::string& what)
        : std::runtime_error(what), problem(problem) {}
    LayoutProblem problem;
};

// Case-insensitive headword order: a-z fold to A-Z, other bytes compare unsigned.
int compareHeadwords(const std::string& a, const std::string& b);

// The first entry or word that cannot be keyed, found without compressing anything: for input
// that writeLibrary accepts, exactly the problem it would throw as a LayoutError. Only the layout
// is checked here (std::invalid_argument), so that a compiler can call this after every entry or
// word it drops; other input gives some answer and is refused by writeLibrary.
std::optional<LayoutProblem> findLayoutProblem(const std::vector<EnglishEntry>& entries,
                                               const std::vector<ChineseWord>& words,
                                               const Layout& layout);

// The whole file. Entries must be in headword order with no two equal under it, words in byte
// order and unique, and no text may hold 0x1A. Throws std::invalid_argument for input that
// breaks these rules, LayoutError for a key that cannot be front-coded.
std::vector<uint8_t> writeLibrary(const std::vector<EnglishEntry>& entries,
                                  const std::vector<ChineseWord>& words, const Layout& layout);

// Checksums over the file, appended by writeLibrary after everything else: a CRC-32 for each
// chunk of kChecksumChunkSize bytes, then a footer. Readers of the dictionary ignore them.
constexpr size_t kChecksumChunkSize = 4096;

void appendChecksums(std::vector<uint8_t>& file);

struct ChecksumResult {
    bool present = false;               // the file ends with the footer
    bool footerDamaged = false;         // the footer contradicts the file's length
    std::optional<size_t> damagedChunk; // the first chunk whose bytes differ from its checksum
};

ChecksumResult verifyChecksums(const std::vector<uint8_t>& file);

// One block's compressed stream, ended by the end token: literals and 0x1A copy tokens over
// the 4096-byte window whose write index starts at 1.
std::vector<uint8_t> compressBlock(const std::string& text, bool lazyMatching);

} // namespace lexora::libwriter

#endif
