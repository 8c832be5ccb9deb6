// The dictionary file: header, main indexes, index blocks, entry blocks and references.
#include "library.h"

#include <algorithm>
#include <cstring>
#include <emmintrin.h>
#include <limits>

namespace lxtran {

const char kLibSignature[33] = "LEXORA English word library 1.0\x1A";

namespace {

// Positioning and reading the file are one step for every thread of the process.
std::mutex readGuard;

constexpr unsigned kWindowMask = 0xFFF;
constexpr uint8_t kCopyMarker = 0x1A;
// Spare bytes after the raw and text buffers: expansion loads and stores whole 16-byte chunks
// and may run this far past the bytes it counts.
constexpr size_t kChunk = 16;
constexpr size_t kRawSlack = kChunk;
constexpr size_t kTextSlack = 2 * kChunk;

void copyChunk(uint8_t* to, const uint8_t* from) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
}

// Bytes before the first copy marker among the length bytes at from.
size_t literalRun(const uint8_t* from, size_t length) {
    const __m128i marker = _mm_set1_epi8(static_cast<char>(kCopyMarker));
    for (size_t run = 0; run < length; run += kChunk) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + run));
        unsigned found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, marker)));
        if (found) return std::min(run + __builtin_ctz(found), length);
    }
    return length;
}

// Copies length bytes from distance back; a copy nearer than a chunk repeats the bytes it is
// producing, so it goes byte by byte.
void copyBack(uint8_t* to, size_t distance, size_t length) {
    const uint8_t* from = to - distance;
    if (distance < kChunk) {
        for (size_t n = 0; n < length; ++n)
            to[n] = from[n];
        return;
    }
    for (size_t n = 0; n < length; n += kChunk)
        copyChunk(to + n, from + n);
}

uint8_t fold(uint8_t byte) {
    return byte >= 'a' && byte <= 'z' ? byte - 0x20 : byte;
}

int32_t read32(const uint8_t* bytes) {
    uint32_t value =
        bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return static_cast<int32_t>(value);
}

} // namespace

uint32_t read24(const uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16;
}

int compareKeys(const char* a, const char* b, size_t limit, bool caseSensitive) {
    for (size_t i = 0; i < limit; ++i) {
        uint8_t x = static_cast<uint8_t>(a[i]), y = static_cast<uint8_t>(b[i]);
        if (!caseSensitive) {
            x = fold(x);
            y = fold(y);
        }
        if (x != y) return x - y;
        if (x == 0) return 0;
    }
    return 0;
}

int compareHeadword(const char* entry, const char* word) {
    for (size_t i = 0;; ++i) {
        uint8_t e = static_cast<uint8_t>(entry[i]), w = static_cast<uint8_t>(word[i]);
        if (e <= 0x02) return w <= 0x02 ? 0 : -1;
        if (e == w) continue;
        if (fold(e) != fold(w)) return fold(e) - fold(w);
    }
}

int neighbourRule(const char* word, const char* lower, const char* upper) {
    // An entry's bytes are read up to its own NUL and no further.
    for (; static_cast<uint8_t>(*word) > 0x01; ++word) {
        bool matchesLower = *word == *lower, matchesUpper = *word == *upper;
        if (!matchesLower || !matchesUpper) return matchesLower ? -1 : matchesUpper ? 1 : 0;
        ++lower;
        ++upper;
    }
    return 0;
}

// ----- LibFile -----

int LibFile::open(const char* path) {
    path_ = path;
    opened_ = true;
    if (!lx::platform::openForReading(path, handle_)) return -1;
    length_ = lx::platform::fileLength(handle_);
    return 0;
}

int LibFile::reopen() {
    if (opened_) return handle_.handle == -1 ? -1 : 0;
    if (!lx::platform::openForReading(path_.c_str(), handle_)) return -1;
    // The dictionary is read-only: its length is the one found when it was first opened.
    opened_ = true;
    return 0;
}

void LibFile::close() {
    if (opened_) lx::platform::closeFile(handle_);
    opened_ = false;
}

int LibFile::readAt(int64_t offset, void* buffer, int count) {
    if (reopen() < 0) return -1;
    if (offset < 0 || count < 0 || offset > length_ - count) return -1;
    std::lock_guard<std::mutex> guard(readGuard);
    return lx::platform::readAt(handle_, offset, buffer, count) == count ? count : -1;
}

// ----- EMainIndex -----

int EMainIndex::load(LibFile& file, int64_t offset, int count, int recordSize, bool caseSensitive) {
    count_ = 0;
    recordSize_ = recordSize;
    caseSensitive_ = caseSensitive;
    records_.assign(static_cast<size_t>(count) * recordSize, 0);
    if (count > 0 && file.readAt(offset, records_.data(), count * recordSize) < 0) return -1;
    count_ = count;
    return 0;
}

int EMainIndex::findBlock(const char* key) const {
    char buffer[16];
    for (int i = 0; i < count_; ++i) {
        int order = compareKeys(this->key(i, buffer), key, recordSize_ - 3, caseSensitive_);
        if (order > 0) return i == 0 ? 0 : i - 1;
        if (order == 0) return i;
    }
    return count_ > 0 ? count_ - 1 : 0;
}

int EMainIndex::findByNumber(uint32_t number) const {
    for (int i = 0; i < count_; ++i)
        if (this->number(i) > number) return i - 1;
    return count_ - 1;
}

uint32_t EMainIndex::number(int record) const {
    return read24(&records_[static_cast<size_t>(record) * recordSize_ + recordSize_ - 3]);
}

const char* EMainIndex::key(int record, char (&buffer)[16]) const {
    std::memcpy(buffer, &records_[static_cast<size_t>(record) * recordSize_], recordSize_ - 3);
    buffer[recordSize_ - 3] = '\0';
    return buffer;
}

// ----- EIndex -----

int EIndex::init(int64_t fileOffset, int blockSize, bool caseSensitive) {
    if (blockSize <= 0) return -1;
    fileOffset_ = fileOffset;
    blockSize_ = blockSize;
    caseSensitive_ = caseSensitive;
    block_.assign(blockSize, 0);
    loadedBlock_ = -1;
    return 0;
}

int EIndex::load(LibFile& file, int block) {
    if (block == loadedBlock_) return 0;
    if (block < 0 || blockSize_ <= 0) return -1;
    loadedBlock_ = -1;
    if (file.readAt(fileOffset_ + static_cast<int64_t>(block) * blockSize_, block_.data(),
                    blockSize_) < 0)
        return -1;
    loadedBlock_ = block;
    return 0;
}

int EIndex::decodeKey(int pos, const char* previous) {
    uint8_t head = block_[pos];
    if (head == 0) return 0;
    size_t kept = head & 0x0F, added = head >> 4;
    // A key may keep only what the previous key has and bring only what the block holds.
    if (kept > std::strlen(previous) || pos + 1 + added > static_cast<size_t>(blockSize_))
        return -1;
    std::memmove(key_, previous, kept);
    std::memcpy(key_ + kept, &block_[pos + 1], added);
    key_[kept + added] = '\0';
    return static_cast<int>(pos + 1 + added);
}

int EIndex::find(LibFile& file, int block, const char* query) {
    if (load(file, block) < 0) return -1;
    key_[0] = '\0';
    status_ = 0;
    char previous[sizeof key_] = "";
    int pos = 0, j = 0;
    for (;;) {
        // The end of the block's bytes ends it like a head byte of 0.
        int next = pos < blockSize_ ? decodeKey(pos, previous) : 0;
        if (next < 0) return -1;
        if (next == 0) {
            status_ = 1;
            break;
        }
        status_ = compareKeys(key_, query, std::numeric_limits<size_t>::max(), caseSensitive_);
        if (status_ >= 0) break;
        std::strcpy(previous, key_);
        pos = next;
        ++j;
    }
    if (status_ > 0 && j > 0) {
        std::strcpy(key_, previous);
        --j;
    }
    return j;
}

const char* EIndex::nth(LibFile& file, int block, int position) {
    if (load(file, block) < 0) return nullptr;
    char previous[sizeof key_] = "";
    int pos = 0;
    for (int j = 0; j <= position; ++j) {
        int next = pos < blockSize_ ? decodeKey(pos, previous) : 0;
        if (next <= 0) {
            status_ = 1;
            return nullptr;
        }
        std::strcpy(previous, key_);
        pos = next;
    }
    return key_;
}

bool EIndex::keys(LibFile& file, int block, std::vector<std::string>& out) {
    out.clear();
    if (load(file, block) < 0) return false;
    char previous[sizeof key_] = "";
    for (int pos = 0; pos < blockSize_;) {
        int next = decodeKey(pos, previous);
        if (next < 0) return false;
        if (next == 0) break;
        out.emplace_back(key_);
        std::strcpy(previous, key_);
        pos = next;
    }
    return true;
}

// ----- EBlock -----

int EBlock::init(const LibHeader& header) {
    header_ = &header;
    raw_.assign(header.rawBufferSize + kRawSlack, 0);
    text_.assign(header.textBufferSize + kTextSlack, 0);
    offsets_.assign(header.entriesPerBlock + 2, -1);
    loadedBlock_ = -1;
    return 0;
}

bool EBlock::readRaw(LibFile& file, int block, size_t& rawLength) {
    const LibHeader& h = *header_;
    int64_t at = h.entryDataOffset + static_cast<int64_t>(block) * h.entryBlockSize;
    if (h.entryBlockSize > h.rawBufferSize || file.readAt(at, raw_.data(), h.entryBlockSize) < 0)
        return false;
    rawLength = h.entryBlockSize;
    if ((raw_[0] & 0x80) == 0) return true;
    raw_[0] &= 0x7F;
    size_t kept = h.entryBlockSize - 6;
    int32_t continuationOffset = read32(&raw_[kept]);
    uint16_t continuationLength = raw_[kept + 4] | raw_[kept + 5] << 8;
    if (kept + continuationLength > h.rawBufferSize) return false;
    if (file.readAt(h.entryDataOffset + static_cast<int64_t>(continuationOffset), &raw_[kept],
                    continuationLength) < 0)
        return false;
    rawLength = kept + continuationLength;
    return true;
}

// Expands the stream in raw_ into text_. A copy token names a position of the 4096-byte window,
// whose write index starts at 1 for every block; since a valid stream copies only bytes its own
// block wrote, that position is a distance back into text_ itself, and a token reaching further
// back fails the block.
bool EBlock::expand(size_t rawLength) {
    const uint8_t* raw = raw_.data();
    uint8_t* text = text_.data();
    const size_t limit = header_->textBufferSize;
    size_t produced = 0;
    for (size_t i = 0; i < rawLength;) {
        size_t literals = literalRun(raw + i, rawLength - i);
        if (literals > limit - produced) return false;
        for (size_t n = 0; n < literals; n += kChunk)
            copyChunk(text + produced + n, raw + i + n);
        produced += literals;
        i += literals;
        if (i == rawLength) break;
        if (i + 3 > rawLength) return false;
        unsigned token = raw[i + 1] | raw[i + 2] << 8;
        i += 3;
        unsigned position = token >> 4;
        if (position == 0) break;
        size_t distance = ((1 + produced - position) & kWindowMask);
        if (distance == 0) distance = kWindowMask + 1;
        size_t length = (token & 0x0F) + 4u;
        if (distance > produced || length > limit - produced) return false;
        copyBack(text + produced, distance, length);
        produced += length;
    }
    return recordEntryStarts(produced);
}

// offsets_ receives the start of every entry and -1 after the last; a block with more entries
// than its header allows fails.
bool EBlock::recordEntryStarts(size_t produced) {
    const size_t offsetLimit = offsets_.size() - 1; // e entries leave e + 1 values
    size_t count = 1;
    offsets_[0] = 0;
    for (size_t at = 0; at < produced;) {
        const void* nul = std::memchr(text_.data() + at, 0, produced - at);
        if (!nul) break;
        at = static_cast<const uint8_t*>(nul) - text_.data() + 1;
        if (count >= offsetLimit) return false;
        offsets_[count++] = static_cast<int32_t>(at);
    }
    offsets_[count - 1] = -1;
    entryCount_ = static_cast<int>(count - 1);
    return true;
}

int EBlock::load(LibFile& file, int block) {
    if (block == loadedBlock_) return block;
    if (!header_ || block < 0) return -1;
    loadedBlock_ = -1;
    entryCount_ = 0;
    size_t rawLength = 0;
    if (!readRaw(file, block, rawLength) || !expand(rawLength)) return -1;
    loadedBlock_ = block;
    return block;
}

const char* EBlock::byNumber(LibFile& file, int32_t number) {
    if (!header_ || number < 0 || number >= header_->englishEntryCount) return nullptr;
    int perBlock = header_->entriesPerBlock;
    if (load(file, number / perBlock) < 0) return nullptr;
    int index = number % perBlock;
    if (index >= entryCount()) return nullptr;
    current_ = index;
    return entry(index);
}

const char* EBlock::find(LibFile& file, int block, const char* word) {
    if (load(file, block) < 0) return nullptr;
    current_ = 0;
    exact_ = false;
    int count = entryCount();
    if (count == 0) return nullptr;
    int best = 0;
    for (int i = 0; i < count && i < header_->entriesPerBlock; ++i) {
        int order = compareHeadword(entry(i), word);
        if (order == 0) {
            exact_ = true;
            current_ = i;
            break;
        }
        best = i;
        if (order > 0) {
            if (i > 0 && neighbourRule(word, entry(i - 1), entry(i)) <= 0) best = i - 1;
            break;
        }
    }
    if (!exact_) current_ = best;
    return entry(current_);
}

// ----- Library -----

bool Library::checkHeader(std::string& error) const {
    const LibHeader& h = header_;
    if (std::memcmp(h.signature, kLibSignature, sizeof h.signature) != 0 ||
        h.version != kLibVersion) {
        error = "not a LEXORA dictionary of version 1.0 (signature or version differs)";
        return false;
    }
    bool sizesUsable = h.entryBlockSize > 6 && h.entriesPerBlock > 0 &&
                       h.rawBufferSize >= h.entryBlockSize && h.textBufferSize > 0 &&
                       h.englishIndexBlockSize > 0 && h.chineseIndexBlockSize > 0 &&
                       h.englishMainCount > 0;
    bool countsUsable = h.englishEntryCount > 0 && h.chineseWordCount >= 0 &&
                        (h.chineseWordCount == 0 || h.chineseMainCount > 0);
    bool offsetsUsable = h.englishMainOffset >= 0 && h.englishIndexOffset >= 0 &&
                         h.entryDataOffset >= 0 && h.chineseMainOffset >= 0 &&
                         h.chineseIndexOffset >= 0 && h.chineseRefOffset >= 0;
    if (!sizesUsable || !countsUsable || !offsetsUsable) {
        error = "the dictionary's header holds impossible sizes, counts or offsets";
        return false;
    }
    return true;
}

bool Library::open(const char* path, std::string& error) {
    bool ok = file_.open(path) == 0;
    if (!ok) error = std::string("cannot open ") + path;
    if (ok && file_.readAt(0, &header_, sizeof header_) < 0) {
        error = std::string(path) + " is too short for a dictionary";
        ok = false;
    }
    ok = ok && checkHeader(error);
    if (ok) {
        const LibHeader& h = header_;
        // Every step is tried, as each reports its own failure.
        bool loaded =
            englishMain_.load(file_, h.englishMainOffset, h.englishMainCount, 16, false) == 0;
        loaded &= englishIndex_.init(h.englishIndexOffset, h.englishIndexBlockSize, false) == 0;
        loaded &= block_.init(header_) == 0;
        loaded &= chineseMain_.load(file_, h.chineseMainOffset, h.chineseMainCount, 10, true) == 0;
        loaded &= chineseIndex_.init(h.chineseIndexOffset, h.chineseIndexBlockSize, true) == 0;
        if (!loaded) error = std::string("cannot read the main indexes of ") + path;
        ok = loaded;
    }
    file_.close();
    return ok;
}

bool Library::references(int32_t word, std::vector<uint32_t>& out) {
    out.clear();
    if (word < 0 || word >= header_.chineseWordCount) return false;
    ChineseRefRecord record;
    if (file_.readAt(header_.chineseRefOffset + static_cast<int64_t>(word) * sizeof record, &record,
                     sizeof record) < 0)
        return false;
    int count = record.countAndFlag & 0x7F;
    if (count == 0) return true;
    out.push_back(read24(record.firstRef));
    if ((record.countAndFlag & 0x80) == 0) {
        if (count >= 2) out.push_back(read24(record.rest));
        return true;
    }
    uint8_t listed[(kMaxReferences - 1) * 3];
    int32_t listOffset = read32(record.rest);
    if (file_.readAt(header_.entryDataOffset + static_cast<int64_t>(listOffset), listed,
                     (count - 1) * 3) < 0)
        return false;
    for (int i = 0; i < count - 1; ++i)
        out.push_back(read24(listed + 3 * i));
    return true;
}

} // namespace lxtran
