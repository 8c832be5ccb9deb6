// Dictionary files for the engine's tests, made with the writer, and the lookup routes that the
// engine's exported functions take through the reader.
#ifndef LEXORA_ENGINE_TESTFILES_H
#define LEXORA_ENGINE_TESTFILES_H

#include "library.h"
#include "libwriter.h"

#include <filesystem>
#include <string>
#include <vector>

namespace testfiles {

using lexora::libwriter::ChineseWord;
using lexora::libwriter::EnglishEntry;
using lexora::libwriter::Layout;

// A file in a directory of its own that is removed with it.
class TempFile {
  public:
    explicit TempFile(const std::vector<uint8_t>& bytes, const std::string& name = "LEXORA.LIB");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    std::string path() const { return path_.string(); }
    std::filesystem::path directory() const { return path_.parent_path(); }

  private:
    std::filesystem::path path_;
};

// The entry text as the reader gives it back: headword 0x01 [phonetic 0x02] meaning.
std::string entryText(const EnglishEntry& entry);

// Entries with the given headwords (already in order), each with a phonetic and a meaning that
// name it.
std::vector<EnglishEntry> entriesFor(const std::vector<std::string>& headwords);

// The English lookup route: main index, index block, entry block. Null on a read failure.
const char* lookUp(lxtran::Library& library, const char* word, bool& exact);

// The Chinese word with number n through the main index and its index block; null if unreadable.
const char* chineseWord(lxtran::Library& library, int32_t n);

// Bytes of a file, and a value written little-endian into them.
std::vector<uint8_t> readAll(const std::string& path);
void put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value);
void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);
lxtran::LibHeader headerOf(const std::vector<uint8_t>& bytes);

} // namespace testfiles

#endif
