// The reader of the dictionary file LEXORA.LIB, internal to lxtran and shared with its tests and
// the checker: the header, the two main indexes, the front-coded index blocks, the compressed
// entry blocks and the Chinese reference records.
//
// The file is untrusted: every size and offset read from it is checked against the buffers it
// fills and the file's length, and a read that would pass them fails instead.
#ifndef LEXORA_ENGINE_LIBRARY_H
#define LEXORA_ENGINE_LIBRARY_H

#include "platform.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace lxtran {

#pragma pack(push, 1)
struct LibHeader {
    char signature[32];
    uint16_t version;
    uint16_t englishMainCount;
    uint16_t englishIndexBlockSize;
    uint16_t entryBlockSize;
    uint16_t entriesPerBlock;
    uint16_t rawBufferSize;
    uint16_t textBufferSize;
    int32_t englishMainOffset;
    int32_t englishIndexOffset;
    int32_t entryDataOffset;
    uint16_t chineseMainCount;
    uint16_t chineseIndexBlockSize;
    int32_t chineseMainOffset;
    int32_t chineseIndexOffset;
    int32_t chineseRefOffset;
    int32_t englishEntryCount;
    int32_t chineseWordCount;
};

struct ChineseRefRecord {
    uint8_t countAndFlag;
    uint8_t firstRef[3];
    uint8_t rest[4];
};
#pragma pack(pop)

static_assert(sizeof(LibHeader) == 82);
static_assert(offsetof(LibHeader, version) == 32);
static_assert(offsetof(LibHeader, englishMainCount) == 34);
static_assert(offsetof(LibHeader, englishIndexBlockSize) == 36);
static_assert(offsetof(LibHeader, entryBlockSize) == 38);
static_assert(offsetof(LibHeader, entriesPerBlock) == 40);
static_assert(offsetof(LibHeader, rawBufferSize) == 42);
static_assert(offsetof(LibHeader, textBufferSize) == 44);
static_assert(offsetof(LibHeader, englishMainOffset) == 46);
static_assert(offsetof(LibHeader, englishIndexOffset) == 50);
static_assert(offsetof(LibHeader, entryDataOffset) == 54);
static_assert(offsetof(LibHeader, chineseMainCount) == 58);
static_assert(offsetof(LibHeader, chineseIndexBlockSize) == 60);
static_assert(offsetof(LibHeader, chineseMainOffset) == 62);
static_assert(offsetof(LibHeader, chineseIndexOffset) == 66);
static_assert(offsetof(LibHeader, chineseRefOffset) == 70);
static_assert(offsetof(LibHeader, englishEntryCount) == 74);
static_assert(offsetof(LibHeader, chineseWordCount) == 78);
static_assert(sizeof(ChineseRefRecord) == 8);
static_assert(offsetof(ChineseRefRecord, firstRef) == 1);
static_assert(offsetof(ChineseRefRecord, rest) == 4);

// The signature: 31 characters and 0x1A; byte 32 (the first of the version) ends it as a string.
extern const char kLibSignature[33];
constexpr uint16_t kLibVersion = 0x0100;
constexpr int kMaxKeyLength = 30;
constexpr int kMaxReferences = 127;

uint32_t read24(const uint8_t* bytes);

// Case-insensitive comparison of keys (a-z fold to A-Z, other bytes unsigned), over at most
// limit bytes and stopping at a NUL; byte order when caseSensitive.
int compareKeys(const char* a, const char* b, size_t limit, bool caseSensitive);

// Entry text against a word: a byte of 0x02 or below ends either; letters compare folded.
int compareHeadword(const char* entry, const char* word);

// Which of two neighbouring entries a word is nearer to: -1 the lower, 1 the upper, 0 neither
// shares more of it (case-sensitive).
int neighbourRule(const char* word, const char* lower, const char* upper);

// The dictionary file: opened by path, reopened by it for each lookup, read under a
// process-wide guard. Reads are refused outside the file's length.
class LibFile {
  public:
    int open(const char* path);
    int reopen();
    void close();
    // Reads count bytes at offset; the number read, or -1 (also when the range is not wholly
    // inside the file).
    int readAt(int64_t offset, void* buffer, int count);
    bool opened() const { return opened_; }
    int64_t length() const { return length_; }

  private:
    bool opened_ = false;
    lx::platform::InputFile handle_;
    std::string path_;
    int64_t length_ = -1;
};

// A main index: every record's key and the 24-bit number that follows it.
class EMainIndex {
  public:
    int load(LibFile& file, int64_t offset, int count, int recordSize, bool caseSensitive);
    int findBlock(const char* key) const;
    int findByNumber(uint32_t number) const;
    uint32_t number(int record) const;
    const char* key(int record, char (&buffer)[16]) const;
    int count() const { return count_; }

  private:
    int count_ = 0;
    std::vector<uint8_t> records_;
    int recordSize_ = 16;
    bool caseSensitive_ = false;
};

// One index block at a time, decoded key by key.
class EIndex {
  public:
    int init(int64_t fileOffset, int blockSize, bool caseSensitive);
    // Position of the query in block a (see status), or -1 on a failed or refused read.
    int find(LibFile& file, int block, const char* query);
    // The key at position j of block a, or null (status 1) past the block's end or on failure.
    const char* nth(LibFile& file, int block, int position);
    // All keys of block a, in order; false when the block cannot be read or decoded.
    bool keys(LibFile& file, int block, std::vector<std::string>& out);
    // 0 after an exact hit, positive otherwise.
    int status() const { return status_; }
    const char* key() const { return key_; }

  private:
    int load(LibFile& file, int block);
    // Decodes the key at pos after previous into key_; the position after it, 0 at the block's
    // end, or -1 for a key the block cannot hold.
    int decodeKey(int pos, const char* previous);

    std::vector<uint8_t> block_;
    int64_t fileOffset_ = 0;
    int blockSize_ = 0;
    int status_ = 0;
    bool caseSensitive_ = false;
    char key_[80] = {};
    int loadedBlock_ = -1;
};

// One expanded entry block at a time.
class EBlock {
  public:
    int init(const LibHeader& header);
    int load(LibFile& file, int block);
    const char* byNumber(LibFile& file, int32_t number);
    const char* find(LibFile& file, int block, const char* word);
    // Entries in the loaded block.
    int entryCount() const { return entryCount_; }
    const char* entry(int index) const {
        return reinterpret_cast<const char*>(text_.data()) + offsets_[index];
    }
    int loadedBlock() const { return loadedBlock_; }
    int current() const { return current_; }
    bool exact() const { return exact_; }

  private:
    bool readRaw(LibFile& file, int block, size_t& rawLength);
    bool expand(size_t rawLength);
    bool recordEntryStarts(size_t produced);

    const LibHeader* header_ = nullptr;
    std::vector<uint8_t> raw_;
    std::vector<uint8_t> text_;
    std::vector<int32_t> offsets_;
    int loadedBlock_ = -1;
    // Entries of the loaded block, counted as it is expanded.
    int entryCount_ = 0;
    int current_ = 0;
    bool exact_ = false;
};

// Everything read from one dictionary file.
class Library {
  public:
    Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Reads the header and both main indexes and reserves the buffers; the file is closed
    // afterwards. False, with a reason, for a file that cannot serve.
    bool open(const char* path, std::string& error);

    const LibHeader& header() const { return header_; }
    LibFile& file() { return file_; }
    EMainIndex& englishMain() { return englishMain_; }
    EMainIndex& chineseMain() { return chineseMain_; }
    EIndex& englishIndex() { return englishIndex_; }
    EIndex& chineseIndex() { return chineseIndex_; }
    EBlock& block() { return block_; }

    // The English entries that translate Chinese word n, in the order of its record; false on a
    // failed or refused read.
    bool references(int32_t word, std::vector<uint32_t>& out);

  private:
    bool checkHeader(std::string& error) const;

    LibHeader header_{};
    LibFile file_;
    EMainIndex englishMain_;
    EMainIndex chineseMain_;
    EIndex englishIndex_;
    EIndex chineseIndex_;
    EBlock block_;
};

} // namespace lxtran

#endif
