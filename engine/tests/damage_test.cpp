// Damaged and hand-made dictionary files: what the reader expands, and what it refuses.
#include "testfiles.h"

#include <gtest/gtest.h>

using namespace testfiles;
using lexora::libwriter::writeLibrary;

namespace {

std::vector<uint8_t> token(unsigned position, unsigned length) {
    unsigned value = position << 4 | (length - 4);
    return {0x1A, static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
}

std::vector<uint8_t> literal(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<uint8_t> kEnd = {0x1A, 0, 0};

// A small valid file whose pieces the tests then replace.
class DamageTest : public testing::Test {
  protected:
    void SetUp() override {
        Layout layout;
        layout.entryBlockSize = 64;
        layout.entriesPerBlock = 4;
        bytes = writeLibrary(entriesFor({"ant", "bee", "cat", "dog", "eel"}),
                             {{"\xb0\xa1", {1, 2, 3}}, {"\xb0\xa2", {4}}}, layout);
        header = headerOf(bytes);
    }

    // Opens the bytes as they are now; false when the reader refuses the file.
    bool open() {
        file = std::make_unique<TempFile>(bytes);
        library = std::make_unique<lxtran::Library>();
        std::string error;
        return library->open(file->path().c_str(), error);
    }

    void replaceEntryBlock(const std::vector<uint8_t>& stream) {
        ASSERT_LE(stream.size(), header.entryBlockSize);
        std::fill_n(bytes.begin() + header.entryDataOffset, header.entryBlockSize, 0);
        std::copy(stream.begin(), stream.end(), bytes.begin() + header.entryDataOffset);
    }

    const char* entry(int32_t n) { return library->block().byNumber(library->file(), n); }

    std::vector<uint8_t> bytes;
    lxtran::LibHeader header{};
    std::unique_ptr<TempFile> file;
    std::unique_ptr<lxtran::Library> library;
};

TEST_F(DamageTest, HeaderMustBeRightAndUsable) {
    ASSERT_TRUE(open());
    std::vector<uint8_t> good = bytes;

    bytes[5] ^= 0x20;
    EXPECT_FALSE(open()) << "signature";
    bytes = good;
    bytes[32] = 0x01; // the signature's terminator, the version's first byte
    EXPECT_FALSE(open()) << "version";
    bytes = good;
    bytes.resize(60);
    EXPECT_FALSE(open()) << "truncated header";
    bytes = good;
    bytes.resize(header.englishIndexOffset);
    EXPECT_FALSE(open()) << "truncated main index";
    bytes = good;
    put16(bytes, offsetof(lxtran::LibHeader, entryBlockSize), 4);
    EXPECT_FALSE(open()) << "entry blocks too small for a continuation";
    bytes = good;
    put16(bytes, offsetof(lxtran::LibHeader, entriesPerBlock), 0);
    EXPECT_FALSE(open()) << "no entries per block";
    bytes = good;
    put32(bytes, offsetof(lxtran::LibHeader, englishMainOffset), 0x7FFFFFF0);
    EXPECT_FALSE(open()) << "main index beyond the file";
}

TEST_F(DamageTest, CopiesMayRepeatTheBytesTheyProduce) {
    // 'a' lies at window position 1; a copy of 7 from there repeats it.
    replaceEntryBlock(
        concat({literal("a"), token(1, 7), literal("\x01x"), {0}, literal("b\x01y"), {0}, kEnd}));
    ASSERT_TRUE(open());
    EXPECT_STREQ(entry(0), "aaaaaaaa\x01x");
    EXPECT_STREQ(entry(1), "b\x01y");
    // Entries 2 and 3 should be in this block, which holds only two: they are not there.
    EXPECT_EQ(entry(2), nullptr);
    EXPECT_EQ(library->block().entryCount(), 2);
}

TEST_F(DamageTest, ContinuationJoinsTheBlockAndItsRest) {
    std::vector<uint8_t> stream = concat({literal("ant\x01"),
                                          literal(std::string(40, 'x')),
                                          {0},
                                          literal("bee\x01"),
                                          literal(std::string(30, 'y')),
                                          {0},
                                          kEnd});
    size_t kept = header.entryBlockSize - 6;
    std::vector<uint8_t> block(stream.begin(), stream.begin() + kept);
    block[0] |= 0x80;
    std::vector<uint8_t> rest(stream.begin() + kept, stream.end());
    uint32_t restOffset = static_cast<uint32_t>(bytes.size() - header.entryDataOffset);
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    block.resize(header.entryBlockSize);
    put32(block, kept, restOffset);
    put16(block, kept + 4, static_cast<uint16_t>(rest.size()));
    replaceEntryBlock(block);
    put16(bytes, offsetof(lxtran::LibHeader, rawBufferSize), 200);
    put16(bytes, offsetof(lxtran::LibHeader, textBufferSize), 200);
    ASSERT_TRUE(open());
    EXPECT_EQ(std::string(entry(0)), "ant\x01" + std::string(40, 'x'));
    EXPECT_EQ(std::string(entry(1)), "bee\x01" + std::string(30, 'y'));

    // A continuation longer than the raw buffer's room, or outside the file, is refused.
    put16(bytes, offsetof(lxtran::LibHeader, rawBufferSize),
          static_cast<uint16_t>(kept + rest.size() - 1));
    ASSERT_TRUE(open());
    EXPECT_EQ(entry(0), nullptr);
    put16(bytes, offsetof(lxtran::LibHeader, rawBufferSize), 200);
    put32(bytes, header.entryDataOffset + kept, restOffset + 1000);
    ASSERT_TRUE(open());
    EXPECT_EQ(entry(0), nullptr);
}

TEST_F(DamageTest, ExpansionStaysWithinItsBuffersAndItsBlock) {
    // A copy from before the block's own bytes.
    replaceEntryBlock(concat({literal("ab"), token(0x800, 4), kEnd}));
    ASSERT_TRUE(open());
    EXPECT_EQ(entry(0), nullptr);
    // More entries than a block holds.
    replaceEntryBlock(concat({literal("a\x01"
                                      "1"),
                              {0},
                              literal("b\x01"
                                      "2"),
                              {0},
                              literal("c\x01"
                                      "3"),
                              {0},
                              literal("d\x01"
                                      "4"),
                              {0},
                              literal("e\x01"
                                      "5"),
                              {0},
                              kEnd}));
    ASSERT_TRUE(open());
    EXPECT_EQ(entry(0), nullptr);
    // Text beyond the expansion buffer.
    replaceEntryBlock(concat({literal("a"), token(1, 19), token(1, 19), token(1, 19), {0}, kEnd}));
    put16(bytes, offsetof(lxtran::LibHeader, textBufferSize), 40);
    ASSERT_TRUE(open());
    EXPECT_EQ(entry(0), nullptr);
    // A copy marker without its two bytes at the very end of the stream.
    std::vector<uint8_t> cut(header.entryBlockSize, 'z');
    cut[0] = 'a';
    cut[1] = 0x01;
    cut.back() = 0x1A;
    replaceEntryBlock(cut);
    put16(bytes, offsetof(lxtran::LibHeader, textBufferSize), header.textBufferSize);
    ASSERT_TRUE(open());
    EXPECT_EQ(entry(0), nullptr);
}

TEST_F(DamageTest, IndexKeysAreDecodedWithinTheirBlock) {
    size_t at = header.englishIndexOffset;
    std::vector<uint8_t> keys = concat({{0x50}, literal("ABCDE"), {0x53}, literal("XYZZY"), {0}});
    std::fill_n(bytes.begin() + at, header.englishIndexBlockSize, 0);
    std::copy(keys.begin(), keys.end(), bytes.begin() + at);
    ASSERT_TRUE(open());
    EXPECT_STREQ(library->englishIndex().nth(library->file(), 0, 1), "ABCXYZZY");

    // A key that keeps more than the previous key has.
    bytes[at + 6] = 0x56;
    ASSERT_TRUE(open());
    EXPECT_EQ(library->englishIndex().nth(library->file(), 0, 1), nullptr);
    EXPECT_EQ(library->englishIndex().find(library->file(), 0, "ZZZ"), -1);
    // A key whose bytes run past the block: 0x30 AAA, then keys of 15 more bytes each until the
    // last one finds fewer than 15 bytes left.
    std::vector<uint8_t> block = concat({{0x30}, literal("AAA")});
    while (block.size() < header.englishIndexBlockSize)
        block.push_back(block.size() % 16 == 4 ? 0xF3 : 'A');
    ASSERT_NE((header.englishIndexBlockSize - 4) % 16, 0);
    std::copy(block.begin(), block.end(), bytes.begin() + at);
    ASSERT_TRUE(open());
    EXPECT_EQ(library->englishIndex().find(library->file(), 0, "ZZZZ"), -1);
}

TEST_F(DamageTest, ReferenceListsMustLieInTheFile) {
    ASSERT_TRUE(open());
    std::vector<uint32_t> references;
    ASSERT_TRUE(library->references(0, references));
    EXPECT_EQ(references, (std::vector<uint32_t>{1, 2, 3}));
    put32(bytes, header.chineseRefOffset + 4, 0x7FFFFF00);
    ASSERT_TRUE(open());
    EXPECT_FALSE(library->references(0, references));
    put32(bytes, header.chineseRefOffset + 4, static_cast<uint32_t>(-header.entryDataOffset - 8));
    ASSERT_TRUE(open());
    EXPECT_FALSE(library->references(0, references));
    // A record beyond a truncated file.
    bytes.resize(header.chineseRefOffset + 12);
    ASSERT_TRUE(open());
    EXPECT_FALSE(library->references(1, references));
}

} // namespace
