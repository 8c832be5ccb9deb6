// Fuzz target for the dictionary reader: a small valid file made by the writer, damaged by the
// input (bytes overwritten at chosen places, the end cut off), is opened and read in every way
// the engine reads it. AddressSanitizer reports any access outside the reader's buffers.
#include "library.h"
#include "libwriter.h"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> baseFile() {
    using namespace lexora::libwriter;
    std::vector<EnglishEntry> entries;
    for (const char* word : {"able", "about", "above", "act", "Act", "action", "bee", "being",
                             "cat", "catch", "cater", "dog", "zebra"})
        if (entries.empty() || compareHeadwords(entries.back().headword, word) < 0)
            entries.push_back(
                {word, std::string("'") + word, std::string("\x08meaning ") + word + word});
    std::vector<ChineseWord> words = {
        {"\xb0\xa1", {1}}, {"\xb0\xa1\xb0\xa2", {2, 3}}, {"\xb1\xa1", {0, 1, 2, 3, 4, 5}}};
    Layout layout;
    layout.englishIndexBlockSize = 24;
    layout.entryBlockSize = 48;
    layout.entriesPerBlock = 3;
    layout.chineseIndexBlockSize = 20;
    return writeLibrary(entries, words, layout);
}

const std::vector<uint8_t> kBase = baseFile();

std::string scratchPath() {
    return "/tmp/lxtran-fuzz-" + std::to_string(getpid()) + ".lib";
}

void readEverything(lxtran::Library& library) {
    const lxtran::LibHeader& header = library.header();
    std::vector<std::string> keys;
    for (int block = 0; block < library.englishMain().count(); ++block)
        library.englishIndex().keys(library.file(), block, keys);
    for (int block = 0; block < library.chineseMain().count(); ++block)
        library.chineseIndex().keys(library.file(), block, keys);
    for (int32_t n = -1; n <= header.englishEntryCount && n < 64; ++n)
        library.block().byNumber(library.file(), n);
    for (const char* word : {"", "a", "act", "cate", "zzz", "ACTION"}) {
        int block = library.englishMain().findBlock(word);
        int position = library.englishIndex().find(library.file(), block, word);
        int entryBlock = position + static_cast<int>(library.englishMain().number(block) /
                                                     header.entriesPerBlock);
        if (position >= 0) library.block().find(library.file(), entryBlock, word);
    }
    std::vector<uint32_t> references;
    for (int32_t n = -1; n <= header.chineseWordCount && n < 64; ++n)
        library.references(n, references);
    library.chineseIndex().find(library.file(), 0, "\xb0\xa1");
    library.chineseIndex().nth(library.file(), 0, 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    std::vector<uint8_t> file = kBase;
    file.resize(file.size() - data[0] % 8 * (data[0] & 0x80 ? 16 : 0));
    for (size_t i = 1; i + 2 < size; i += 3)
        file[(data[i] | data[i + 1] << 8) % file.size()] = data[i + 2];
    std::string path = scratchPath();
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
    }
    lxtran::Library library;
    std::string error;
    if (library.open(path.c_str(), error)) readEverything(library);
    library.file().close();
    return 0;
}
