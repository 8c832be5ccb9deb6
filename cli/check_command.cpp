// lexora check: walks a dictionary file through the engine's reader and verifies its invariants.
#include "commands.h"

#include "library.h"
#include "libwriter.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace lexora::cli {
namespace {

const char kUsage[] =
    "usage: lexora check [LEXORA.LIB]\n"
    "\n"
    "Reads every index block, entry block and Chinese reference record of the dictionary\n"
    "(by default the one beside the libraries) and checks that keys are in order, that every\n"
    "entry and reference can be reached, and that the index keys lead to their blocks. Prints a\n"
    "summary, or the first fault found and exits 1.\n";

std::string defaultDictionary() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (self.parent_path().parent_path() / "lib" / "LEXORA.LIB").string();
}

std::string headwordOf(const char* entry) {
    size_t length = 0;
    while (static_cast<uint8_t>(entry[length]) > 0x02)
        ++length;
    return std::string(entry, length);
}

// What lies at a file offset, for naming the place of damage.
std::string regionAt(const lxtran::LibHeader& h, int64_t offset) {
    auto numbered = [](const char* what, int64_t from, int64_t size, int64_t at) {
        return std::string(what) + " " + std::to_string((at - from) / size);
    };
    int64_t entryBlocksEnd =
        h.entryDataOffset +
        static_cast<int64_t>(h.entryBlockSize) *
            ((h.englishEntryCount + h.entriesPerBlock - 1) / std::max<int>(h.entriesPerBlock, 1));
    if (offset < static_cast<int64_t>(sizeof h)) return "the header";
    if (offset >= h.chineseRefOffset)
        return numbered("the reference record of Chinese word", h.chineseRefOffset, 8, offset);
    if (offset >= h.chineseIndexOffset)
        return numbered("Chinese index block", h.chineseIndexOffset, h.chineseIndexBlockSize,
                        offset);
    if (offset >= h.chineseMainOffset) return "the Chinese main index";
    if (offset >= entryBlocksEnd) return "the continuations of entry blocks or the reference lists";
    if (offset >= h.entryDataOffset)
        return numbered("entry block", h.entryDataOffset, h.entryBlockSize, offset);
    if (offset >= h.englishIndexOffset)
        return numbered("English index block", h.englishIndexOffset, h.englishIndexBlockSize,
                        offset);
    return "the English main index";
}

// The checksums the compiler appended find damage that leaves the structure readable. Empty
// when they agree (or the file has none), else the fault.
std::string checksumFault(const std::string& path, const lxtran::LibHeader& header, bool& present) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    lexora::libwriter::ChecksumResult result = lexora::libwriter::verifyChecksums(bytes);
    present = result.present;
    if (result.footerDamaged) return "the checksums at the end of the file are damaged";
    if (!result.damagedChunk) return "";
    int64_t start =
        static_cast<int64_t>(*result.damagedChunk * lexora::libwriter::kChecksumChunkSize);
    int64_t end = start + static_cast<int64_t>(lexora::libwriter::kChecksumChunkSize) - 1;
    std::string first = regionAt(header, start), last = regionAt(header, end);
    std::string where = first == last ? first : first + " to " + last;
    return "bytes " + std::to_string(start) + " to " + std::to_string(end) + " (" + where +
           ") differ from the checksum the file was written with";
}

class Checker {
  public:
    explicit Checker(lxtran::Library& library) : library_(library), header_(library.header()) {}

    // False at the first fault, which fault() then names.
    bool run() { return checkEnglishIndex() && checkEntryBlocks() && checkChinese(); }
    const std::string& fault() const { return fault_; }
    void printSummary(const std::string& path, std::ostream& out) const;

  private:
    bool fail(const std::string& fault) {
        fault_ = fault;
        return false;
    }
    bool checkEnglishIndex();
    bool checkEntryBlocks();
    bool checkEntryBlock(int block, std::string& lastHeadword);
    bool checkChinese();
    bool checkReferences(int32_t word);

    lxtran::Library& library_;
    const lxtran::LibHeader& header_;
    std::string fault_;
    std::vector<std::string> englishKeys_;
    int separatorKeys_ = 0;
    int64_t references_ = 0;
};

bool Checker::checkEnglishIndex() {
    lxtran::EMainIndex& main = library_.englishMain();
    std::vector<std::string> keys;
    for (int record = 0; record < main.count(); ++record) {
        std::string where = "English index block " + std::to_string(record);
        if (!library_.englishIndex().keys(library_.file(), record, keys))
            return fail(where + " cannot be read or decoded");
        if (keys.empty()) return fail(where + " holds no key");
        uint32_t first = main.number(record);
        if (first % header_.entriesPerBlock != 0 ||
            first / header_.entriesPerBlock != englishKeys_.size())
            return fail(where + " does not start at the entry block that follows the one before");
        char mainKey[16];
        if (lxtran::compareKeys(main.key(record, mainKey), keys[0].c_str(), 13, true) != 0)
            return fail(where + ": its main index key is not its first key");
        for (const std::string& key : keys) {
            if (!englishKeys_.empty() &&
                lxtran::compareKeys(englishKeys_.back().c_str(), key.c_str(), SIZE_MAX, false) >= 0)
                return fail(where + ": key '" + key + "' is not above the key before it");
            englishKeys_.push_back(key);
        }
    }
    size_t blocks =
        (header_.englishEntryCount + header_.entriesPerBlock - 1) / header_.entriesPerBlock;
    if (englishKeys_.size() != blocks)
        return fail("the English index has " + std::to_string(englishKeys_.size()) + " keys for " +
                    std::to_string(blocks) + " entry blocks");
    return true;
}

bool Checker::checkEntryBlocks() {
    std::string lastHeadword;
    for (size_t block = 0; block < englishKeys_.size(); ++block)
        if (!checkEntryBlock(static_cast<int>(block), lastHeadword)) return false;
    return true;
}

// The block's entries are all there and in order, and its index key leads to it: no higher
// than its first headword, above the last headword of the block before.
bool Checker::checkEntryBlock(int block, std::string& lastHeadword) {
    std::string where = "entry block " + std::to_string(block);
    lxtran::EBlock& entries = library_.block();
    if (entries.load(library_.file(), block) < 0)
        return fail(where + " cannot be read or expanded");
    int64_t remaining =
        header_.englishEntryCount - static_cast<int64_t>(block) * header_.entriesPerBlock;
    int expected = static_cast<int>(std::min<int64_t>(remaining, header_.entriesPerBlock));
    if (entries.entryCount() != expected)
        return fail(where + " holds " + std::to_string(entries.entryCount()) + " entries, not " +
                    std::to_string(expected));
    const std::string& key = englishKeys_[block];
    for (int i = 0; i < expected; ++i) {
        const char* text = entries.entry(i);
        std::string headword = headwordOf(text);
        if (headword.empty() || text[headword.size()] != '\x01')
            return fail(where + ", entry " + std::to_string(i) + ": no headword ended by 0x01");
        if (i == 0) {
            if (lxtran::compareHeadword(text, key.c_str()) < 0 ||
                (block > 0 &&
                 lxtran::compareKeys(key.c_str(), lastHeadword.c_str(), SIZE_MAX, false) <= 0))
                return fail(where + ": its index key '" + key + "' does not lead to it");
            if (key != headword) ++separatorKeys_;
        }
        if (!lastHeadword.empty() && lxtran::compareHeadword(text, lastHeadword.c_str()) <= 0)
            return fail(where + ": headword '" + headword + "' is not above '" + lastHeadword +
                        "'");
        lastHeadword = headword;
    }
    return true;
}

bool Checker::checkChinese() {
    lxtran::EMainIndex& main = library_.chineseMain();
    std::vector<std::string> keys;
    std::string previous;
    int64_t words = 0;
    for (int record = 0; record < main.count(); ++record) {
        std::string where = "Chinese index block " + std::to_string(record);
        if (!library_.chineseIndex().keys(library_.file(), record, keys))
            return fail(where + " cannot be read or decoded");
        if (keys.empty() || main.number(record) != words)
            return fail(where + " does not start with the word after the block before");
        char mainKey[16];
        if (lxtran::compareKeys(main.key(record, mainKey), keys[0].c_str(), 7, true) != 0)
            return fail(where + ": its main index key is not its first key");
        for (const std::string& key : keys) {
            if (words > 0 &&
                lxtran::compareKeys(previous.c_str(), key.c_str(), SIZE_MAX, true) >= 0)
                return fail(where + ": Chinese word " + std::to_string(words) + " is out of order");
            if (!checkReferences(static_cast<int32_t>(words))) return false;
            previous = key;
            ++words;
        }
    }
    if (words != header_.chineseWordCount)
        return fail("the Chinese index has " + std::to_string(words) + " words, the header says " +
                    std::to_string(header_.chineseWordCount));
    return true;
}

bool Checker::checkReferences(int32_t word) {
    std::vector<uint32_t> references;
    std::string where = "Chinese word " + std::to_string(word);
    if (!library_.references(word, references)) return fail(where + ": references cannot be read");
    if (references.empty()) return fail(where + " has no reference");
    for (uint32_t reference : references)
        if (reference >= static_cast<uint32_t>(header_.englishEntryCount))
            return fail(where + " refers to entry " + std::to_string(reference) +
                        ", beyond the last entry");
    references_ += static_cast<int64_t>(references.size());
    return true;
}

void Checker::printSummary(const std::string& path, std::ostream& out) const {
    out << path << ": " << header_.englishEntryCount << " English entries in "
        << englishKeys_.size() << " blocks (" << header_.englishMainCount << " index blocks, "
        << separatorKeys_ << " keys differ from the first headword of their block), "
        << header_.chineseWordCount << " Chinese words with " << references_ << " references, "
        << library_.file().length() << " bytes. No fault found.\n";
}

} // namespace

int checkCommand(int argc, char** argv) {
    if (argc >= 1 && std::strcmp(argv[0], "--help") == 0) {
        std::cout << kUsage;
        return 0;
    }
    if (argc > 1 || (argc == 1 && argv[0][0] == '-')) {
        std::cerr << "lexora check: expected at most one file name\nTry 'lexora check --help'.\n";
        return 2;
    }
    std::string path = argc == 1 ? argv[0] : defaultDictionary();
    lxtran::Library library;
    std::string error;
    if (!library.open(path.c_str(), error)) {
        std::cerr << "lexora check: " << error << "\n";
        return 1;
    }
    bool checksummed = false;
    std::string fault = checksumFault(path, library.header(), checksummed);
    if (!fault.empty()) {
        std::cerr << "lexora check: " << path << ": the file is damaged: " << fault << "\n";
        return 1;
    }
    Checker checker(library);
    bool sound = checker.run();
    library.file().close();
    if (!sound) {
        std::cerr << "lexora check: " << path << ": " << checker.fault() << "\n";
        return 1;
    }
    checker.printSummary(path, std::cout);
    if (!checksummed)
        std::cout << "(The file carries no checksums, so damage inside texts cannot be seen.)\n";
    return 0;
}

} // namespace lexora::cli
