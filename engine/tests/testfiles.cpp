#include "testfiles.h"

#include <atomic>
#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace testfiles {

namespace {
std::atomic<int> fileCounter{0};
}

TempFile::TempFile(const std::vector<uint8_t>& bytes, const std::string& name) {
    fs::path directory =
        fs::temp_directory_path() / ("lxtran-test-" + std::to_string(fileCounter++) + "-" +
                                     std::to_string(reinterpret_cast<uintptr_t>(this) & 0xFFFFFF));
    fs::create_directories(directory);
    path_ = directory / name;
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

TempFile::~TempFile() {
    std::error_code ignored;
    fs::remove_all(path_.parent_path(), ignored);
}

std::string entryText(const EnglishEntry& entry) {
    std::string text = entry.headword + '\x01';
    if (entry.phonetic) text += *entry.phonetic + '\x02';
    return text + entry.meaning;
}

std::vector<EnglishEntry> entriesFor(const std::vector<std::string>& headwords) {
    std::vector<EnglishEntry> entries;
    for (const std::string& word : headwords)
        entries.push_back({word, "'" + word, "\x08meaning of " + word});
    return entries;
}

const char* lookUp(lxtran::Library& library, const char* word, bool& exact) {
    int block = library.englishMain().findBlock(word);
    uint32_t base = library.englishMain().number(block);
    int position = library.englishIndex().find(library.file(), block, word);
    if (position < 0) return nullptr;
    int entryBlock = position + static_cast<int>(base / library.header().entriesPerBlock);
    const char* text = library.block().find(library.file(), entryBlock, word);
    exact = library.block().exact();
    return text;
}

const char* chineseWord(lxtran::Library& library, int32_t n) {
    int block = library.chineseMain().findByNumber(static_cast<uint32_t>(n));
    if (block < 0) return nullptr;
    return library.chineseIndex().nth(
        library.file(), block, n - static_cast<int32_t>(library.chineseMain().number(block)));
}

std::vector<uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

void put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
    bytes.at(at) = value & 0xFF;
    bytes.at(at + 1) = value >> 8;
}

void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.at(at + i) = (value >> (8 * i)) & 0xFF;
}

lxtran::LibHeader headerOf(const std::vector<uint8_t>& bytes) {
    lxtran::LibHeader header;
    std::memcpy(&header, bytes.data(), sizeof header);
    return header;
}

} // namespace testfiles
