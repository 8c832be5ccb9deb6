// Assembles the dictionary file. Its sections, in file order:
//   header (82 bytes)
//   English main index, English index blocks
//   entry blocks (entryDataOffset), then the continuations of the blocks whose streams overflow,
//   then the overflow reference lists; both are addressed relative to entryDataOffset
//   Chinese main index, Chinese index blocks, Chinese reference records
//   checksums (see checksums.cpp)
// Every block is written at its full size and anything not specified is zero.
#include "internal.h"

#include <algorithm>
#include <cstdint>

namespace lexora::libwriter {
namespace {

using namespace detail;

constexpr char kSignature[] = "LEXORA English word library 1.0\x1A";
constexpr size_t kSignatureSize = 32;
constexpr uint16_t kVersion = 0x0100;
constexpr size_t kHeaderSize = 82;
constexpr size_t kReferenceRecordSize = 8;
constexpr size_t kContinuationFieldsSize = 6;
constexpr uint8_t kContinuedFlag = 0x80;
constexpr uint8_t kOverflowFlag = 0x80;
constexpr size_t kMaxInlineReferences = 2;
constexpr size_t kMaxBufferSize = 0xFFFF;

void put16(uint8_t* at, size_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void put24(uint8_t* at, size_t value) {
    put16(at, value);
    at[2] = static_cast<uint8_t>(value >> 16);
}

void put32(uint8_t* at, size_t value) {
    put16(at, value);
    put16(at + 2, value >> 16);
}

void append24(std::vector<uint8_t>& out, size_t value) {
    out.resize(out.size() + 3);
    put24(out.data() + out.size() - 3, value);
}

// The entry blocks as stored, their continuations and the buffer sizes a reader needs.
struct EntryData {
    std::vector<uint8_t> blocks;
    std::vector<uint8_t> continuations;
    size_t rawBufferSize = 0;
    size_t textBufferSize = 0;
};

// Each entry: headword 0x01 [phonetic 0x02] meaning NUL.
std::string blockText(const std::vector<EnglishEntry>& entries, size_t first, size_t count) {
    std::string text;
    for (size_t i = first; i < first + count; ++i) {
        const EnglishEntry& entry = entries[i];
        text += entry.headword;
        text += '\x01';
        if (entry.phonetic) {
            text += *entry.phonetic;
            text += '\x02';
        }
        text += entry.meaning;
        text += '\0';
    }
    return text;
}

[[noreturn]] void rejectBlock(size_t block, const std::string& what, size_t size) {
    throw std::invalid_argument("entry block " + std::to_string(block) + ": " + what + " takes " +
                                std::to_string(size) +
                                " bytes, more than 65535: use fewer entries per block");
}

// Stores one block's stream: whole when it fits, else its head in the block with the rest in
// the continuation area. Returns the stream bytes a reader must hold.
size_t storeStream(EntryData& data, size_t block, const std::vector<uint8_t>& stream,
                   size_t blockSize) {
    uint8_t* stored = data.blocks.data() + block * blockSize;
    if (stream.size() <= blockSize) {
        std::copy(stream.begin(), stream.end(), stored);
        return blockSize;
    }
    const size_t headSize = blockSize - kContinuationFieldsSize;
    const size_t restSize = stream.size() - headSize;
    if (stream.size() > kMaxBufferSize) rejectBlock(block, "the compressed text", stream.size());
    std::copy(stream.begin(), stream.begin() + headSize, stored);
    stored[0] |= kContinuedFlag;
    put32(stored + headSize, data.blocks.size() + data.continuations.size());
    put16(stored + headSize + 4, restSize);
    data.continuations.insert(data.continuations.end(), stream.begin() + headSize, stream.end());
    return headSize + restSize;
}

EntryData compressEntries(const std::vector<EnglishEntry>& entries, const Layout& layout) {
    const size_t perBlock = layout.entriesPerBlock;
    const size_t blockCount = (entries.size() + perBlock - 1) / perBlock;
    EntryData data;
    data.blocks.assign(blockCount * layout.entryBlockSize, 0);
    for (size_t block = 0; block < blockCount; ++block) {
        const size_t first = block * perBlock;
        const std::string text =
            blockText(entries, first, std::min(perBlock, entries.size() - first));
        if (text.size() > kMaxBufferSize) rejectBlock(block, "the expanded text", text.size());
        data.textBufferSize = std::max(data.textBufferSize, text.size());
        const std::vector<uint8_t> stream = compressBlock(text, layout.lazyMatching);
        data.rawBufferSize =
            std::max(data.rawBufferSize, storeStream(data, block, stream, layout.entryBlockSize));
    }
    return data;
}

// The reference records, and the overflow lists they point to (at listBase onwards, relative
// to entryDataOffset).
struct References {
    std::vector<uint8_t> records;
    std::vector<uint8_t> lists;
};

References encodeReferences(const std::vector<ChineseWord>& words, size_t listBase) {
    References out;
    out.records.assign(words.size() * kReferenceRecordSize, 0);
    for (size_t i = 0; i < words.size(); ++i) {
        const std::vector<uint32_t>& refs = words[i].references;
        uint8_t* record = out.records.data() + i * kReferenceRecordSize;
        const bool overflow = refs.size() > kMaxInlineReferences;
        record[0] = static_cast<uint8_t>(refs.size() | (overflow ? kOverflowFlag : 0));
        put24(record + 1, refs[0]);
        if (overflow) {
            put32(record + 4, listBase + out.lists.size());
            for (size_t r = 1; r < refs.size(); ++r)
                append24(out.lists, refs[r]);
        } else if (refs.size() == 2) {
            put24(record + 4, refs[1]);
        }
    }
    return out;
}

// A main index: per index block its first key cut to keyLength bytes and NUL-padded, then the
// 24-bit number of the entry or word it names.
std::vector<uint8_t> encodeMainIndex(const IndexPlan& plan, size_t keyLength,
                                     size_t numbersPerKey) {
    const size_t recordSize = keyLength + 3;
    std::vector<uint8_t> out(plan.blockStarts.size() * recordSize, 0);
    for (size_t i = 0; i < plan.blockStarts.size(); ++i) {
        uint8_t* record = out.data() + i * recordSize;
        const std::string_view key = plan.keys[plan.blockStarts[i]];
        std::copy_n(key.begin(), std::min(key.size(), keyLength), record);
        put24(record + keyLength, plan.blockStarts[i] * numbersPerKey);
    }
    return out;
}

// Appends a section and returns its file offset.
size_t appendSection(std::vector<uint8_t>& file, const std::vector<uint8_t>& section) {
    const size_t offset = file.size();
    file.insert(file.end(), section.begin(), section.end());
    return offset;
}

// Where the sections went, and the figures the header records beside the layout.
struct HeaderFields {
    size_t englishMainCount = 0;
    size_t rawBufferSize = 0;
    size_t textBufferSize = 0;
    size_t englishMainOffset = 0;
    size_t englishIndexOffset = 0;
    size_t entryDataOffset = 0;
    size_t chineseMainCount = 0;
    size_t chineseMainOffset = 0;
    size_t chineseIndexOffset = 0;
    size_t chineseRefOffset = 0;
    size_t englishEntryCount = 0;
    size_t chineseWordCount = 0;
};

void writeHeader(uint8_t* header, const Layout& layout, const HeaderFields& fields) {
    std::copy_n(kSignature, kSignatureSize, header);
    put16(header + 32, kVersion);
    put16(header + 34, fields.englishMainCount);
    put16(header + 36, layout.englishIndexBlockSize);
    put16(header + 38, layout.entryBlockSize);
    put16(header + 40, layout.entriesPerBlock);
    put16(header + 42, fields.rawBufferSize);
    put16(header + 44, fields.textBufferSize);
    put32(header + 46, fields.englishMainOffset);
    put32(header + 50, fields.englishIndexOffset);
    put32(header + 54, fields.entryDataOffset);
    put16(header + 58, fields.chineseMainCount);
    put16(header + 60, layout.chineseIndexBlockSize);
    put32(header + 62, fields.chineseMainOffset);
    put32(header + 66, fields.chineseIndexOffset);
    put32(header + 70, fields.chineseRefOffset);
    put32(header + 74, fields.englishEntryCount);
    put32(header + 78, fields.chineseWordCount);
}

} // namespace

int compareHeadwords(const std::string& a, const std::string& b) {
    return compareKeys(a, b, std::max(a.size(), b.size()), true);
}

std::optional<LayoutProblem> findLayoutProblem(const std::vector<EnglishEntry>& entries,
                                               const std::vector<ChineseWord>& words,
                                               const Layout& layout) {
    validateLayout(layout);
    try {
        planEnglishIndex(entries, layout);
        planChineseIndex(words, layout);
    } catch (const LayoutError& error) {
        return error.problem;
    }
    return std::nullopt;
}

std::vector<uint8_t> writeLibrary(const std::vector<EnglishEntry>& entries,
                                  const std::vector<ChineseWord>& words, const Layout& layout) {
    validateInput(entries, words, layout);
    const IndexPlan english = planEnglishIndex(entries, layout);
    const IndexPlan chinese = planChineseIndex(words, layout);
    const EntryData entryData = compressEntries(entries, layout);
    const References references =
        encodeReferences(words, entryData.blocks.size() + entryData.continuations.size());

    HeaderFields fields;
    fields.englishMainCount = english.blockStarts.size();
    fields.chineseMainCount = chinese.blockStarts.size();
    fields.rawBufferSize = entryData.rawBufferSize;
    fields.textBufferSize = entryData.textBufferSize;
    fields.englishEntryCount = entries.size();
    fields.chineseWordCount = words.size();

    std::vector<uint8_t> file(kHeaderSize, 0);
    fields.englishMainOffset = appendSection(
        file, encodeMainIndex(english, kEnglishMainKeyLength, layout.entriesPerBlock));
    fields.englishIndexOffset =
        appendSection(file, encodeIndexBlocks(english, layout.englishIndexBlockSize));
    fields.entryDataOffset = appendSection(file, entryData.blocks);
    appendSection(file, entryData.continuations);
    appendSection(file, references.lists);
    fields.chineseMainOffset =
        appendSection(file, encodeMainIndex(chinese, kChineseMainKeyLength, 1));
    fields.chineseIndexOffset =
        appendSection(file, encodeIndexBlocks(chinese, layout.chineseIndexBlockSize));
    fields.chineseRefOffset = appendSection(file, references.records);
    if (file.size() > INT32_MAX) throw std::invalid_argument("the library would exceed 2 GB");
    writeHeader(file.data(), layout, fields);
    appendChecksums(file);
    return file;
}

} // namespace lexora::libwriter
