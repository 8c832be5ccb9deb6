// Tests of the dictionary-file writer. The compressor is checked against an expander written
// from the stream format; files are decoded here byte by byte and searched the way a reader does.
#include "libwriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <set>

namespace lexora::libwriter {
namespace {

using Bytes = std::vector<uint8_t>;
using Window = std::array<uint8_t, 4096>;
constexpr uint8_t kMarker = 0x1A;

size_t get16(const Bytes& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}
size_t get24(const Bytes& b, size_t at) {
    return get16(b, at) | b.at(at + 2) << 16;
}
size_t get32(const Bytes& b, size_t at) {
    return get16(b, at) | get16(b, at + 2) << 16;
}

// Expands a stream: window write index from 1, copies read byte by byte as they are written.
std::string expand(const Bytes& stream, Window& window) {
    std::string text;
    size_t w = 1;
    const auto emit = [&](uint8_t byte) {
        text += static_cast<char>(byte);
        window[w] = byte;
        w = (w + 1) & 0xFFF;
    };
    for (size_t i = 0; i < stream.size();) {
        const uint8_t byte = stream[i++];
        if (byte != kMarker) {
            emit(byte);
            continue;
        }
        const size_t v = get16(stream, i);
        i += 2;
        if (v >> 4 == 0) return text;
        for (size_t k = 0; k < (v & 0x0F) + 4; ++k)
            emit(window[((v >> 4) + k) & 0xFFF]);
    }
    ADD_FAILURE() << "stream without an end token";
    return text;
}

// Every copy names a window position other than 0 holding a byte of this block, and the end
// token is the stream's last three bytes.
void expectWellFormed(const Bytes& stream) {
    size_t produced = 0;
    for (size_t i = 0; i < stream.size();) {
        if (stream[i++] != kMarker) {
            ++produced;
            continue;
        }
        const size_t v = get16(stream, i);
        i += 2;
        if (v == 0) {
            EXPECT_EQ(i, stream.size()) << "end token before the stream's end";
            return;
        }
        const size_t distance = (1 + produced - (v >> 4)) & 0xFFF;
        ASSERT_NE(v >> 4, 0u) << "copy from window position 0";
        ASSERT_TRUE(distance >= 1 && distance <= produced) << "copy from outside the block";
        produced += (v & 0x0F) + 4;
    }
    ADD_FAILURE() << "no end token";
}

std::string randomText(std::mt19937& random, size_t size, std::string_view alphabet) {
    std::string text;
    while (text.size() < size)
        text += alphabet[random() % alphabet.size()];
    return text;
}

std::string allBytesButMarker() {
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        if (b != kMarker) bytes += static_cast<char>(b);
    return bytes;
}

TEST(Compressor, RoundTripsRandomRepetitiveAndLongTexts) {
    std::mt19937 random(7);
    const std::string phrases[] = {"n. ", "vt. ", "the ", "abandon", "\xb7\xc5\xc6\xfa", "\n"};
    std::string dictionaryLike;
    while (dictionaryLike.size() < 12000)
        dictionaryLike +=
            phrases[random() % 6] + (random() % 3 ? "" : randomText(random, 3, "xyz"));
    const std::vector<std::string> texts = {"", "a", randomText(random, 3000, allBytesButMarker()),
                                            randomText(random, 9000, "ab"), dictionaryLike};
    for (const bool lazy : {false, true}) {
        for (const std::string& text : texts) {
            const Bytes stream = compressBlock(text, lazy);
            expectWellFormed(stream);
            Window window;
            for (uint8_t& byte : window)
                byte = static_cast<uint8_t>(random());
            EXPECT_EQ(expand(stream, window), text) << "size " << text.size() << " lazy " << lazy;
        }
        EXPECT_LT(compressBlock(dictionaryLike, lazy).size(), dictionaryLike.size() / 2);
    }
}

TEST(Compressor, RepeatsTheLastByteWithAnOverlappingCopy) {
    const Bytes stream = compressBlock(std::string(20, 'a'), false);
    // 'a', then 19 bytes from window position 1 (distance 1), then the end token.
    EXPECT_EQ(stream, (Bytes{'a', kMarker, 0x1F, 0x00, kMarker, 0, 0}));
}

TEST(Compressor, NeverNamesWindowPositionZero) {
    // The only earlier copy of the tail starts at text byte 4095, which sits at window position 0.
    std::mt19937 random(3);
    std::string text = randomText(random, 4095, "0123456789");
    const std::string pattern = "QRSTUVWXYZqrstuvwxy";
    text += pattern + pattern;
    const Bytes stream = compressBlock(text, true);
    expectWellFormed(stream);
    Window window{};
    EXPECT_EQ(expand(stream, window), text);
}

TEST(Compressor, RejectsTheMarkerByte) {
    EXPECT_THROW(compressBlock("ab\x1A", true), std::invalid_argument);
}

TEST(Headwords, FoldOnlyAsciiLetters) {
    EXPECT_EQ(compareHeadwords("CAT", "cat"), 0);
    EXPECT_LT(compareHeadwords("cat", "catch"), 0);
    EXPECT_LT(compareHeadwords("zebra", "["), 0); // 'Z' < '['
    EXPECT_GT(compareHeadwords("a\xe1", "a\xc1"), 0);
}

// A written file, decoded as a reader decodes it.
struct Library {
    Bytes bytes;
    size_t field16(size_t at) const { return get16(bytes, at); }
    size_t field32(size_t at) const { return get32(bytes, at); }

    // An entry block's stream, its continuation appended.
    Bytes entryStream(size_t block) const {
        const size_t size = field16(38);
        const size_t at = field32(54) + block * size;
        Bytes raw(bytes.begin() + at, bytes.begin() + at + size);
        if (raw[0] & 0x80) {
            raw[0] &= 0x7F;
            raw.resize(size - 6);
            const size_t rest = field32(54) + field32(at + size - 6);
            raw.insert(raw.end(), bytes.begin() + rest,
                       bytes.begin() + rest + field16(at + size - 2));
        }
        return raw;
    }

    std::vector<std::string> indexKeys(size_t offset, size_t blockSize, size_t block) const {
        std::vector<std::string> keys;
        std::string key;
        for (size_t at = offset + block * blockSize, end = at + blockSize; at < end;) {
            const uint8_t head = bytes[at++];
            if (head == 0) break;
            key = key.substr(0, head & 0x0F) + std::string(&bytes[at], &bytes[at] + (head >> 4));
            at += head >> 4;
            keys.push_back(key);
        }
        return keys;
    }
    std::vector<std::string> englishKeys(size_t block) const {
        return indexKeys(field32(50), field16(36), block);
    }
};

int compareText(const std::string& a, const std::string& b, size_t limit, bool folded) {
    const auto fold = [folded](uint8_t c) { return folded && c >= 'a' && c <= 'z' ? c - 32 : c; };
    for (size_t i = 0; i < limit; ++i) {
        const int x = fold(i < a.size() ? a[i] : 0), y = fold(i < b.size() ? b[i] : 0);
        if (x != y || x == 0) return x - y;
    }
    return 0;
}

// Where a reader's search for a key ends: the main index scan, then the index block scan.
struct Found {
    size_t number;   // of the index block's main record
    size_t position; // of the last key not above the query, or 0
    bool exact;
};

Found findKey(const Library& lib, size_t mainAt, size_t count, size_t keyLength, size_t indexAt,
              size_t blockSize, const std::string& query, bool folded) {
    const size_t recordSize = keyLength + 3;
    size_t block = count - 1;
    for (size_t i = 0; i < count; ++i) {
        const auto at = lib.bytes.begin() + mainAt + i * recordSize;
        std::string key(at, at + keyLength);
        const int order = compareText(key.substr(0, key.find('\0')), query, keyLength, folded);
        if (order >= 0) {
            block = order > 0 && i > 0 ? i - 1 : i;
            break;
        }
    }
    const std::vector<std::string> keys = lib.indexKeys(indexAt, blockSize, block);
    size_t j = 0;
    bool exact = false;
    for (; j < keys.size(); ++j) {
        const int order = compareText(keys[j], query, SIZE_MAX, folded);
        if (order >= 0) {
            exact = order == 0;
            break;
        }
    }
    if (!exact && j > 0) --j;
    return {get24(lib.bytes, mainAt + block * recordSize + keyLength), j, exact};
}

EnglishEntry entry(const std::string& headword) {
    return {headword, std::nullopt, "m"};
}

Library write(const std::vector<EnglishEntry>& entries, const std::vector<ChineseWord>& words,
              const Layout& layout = {}) {
    return {writeLibrary(entries, words, layout)};
}

TEST(Writer, HeaderDescribesTheSections) {
    const Layout layout{64, 32, 2, 32, true};
    const Library lib = write({entry("a"), entry("b"), entry("c")}, {{"x", {2}}}, layout);
    const Bytes& b = lib.bytes;
    EXPECT_EQ(std::string(b.begin(), b.begin() + 32), "LEXORA English word library 1.0\x1A");
    EXPECT_EQ(lib.field16(32), 0x0100u);
    EXPECT_EQ((Bytes{b.begin() + 34, b.begin() + 42}), (Bytes{1, 0, 64, 0, 32, 0, 2, 0}));
    EXPECT_EQ(lib.field16(42), 32u);
    EXPECT_EQ(lib.field16(44), 8u); // "a\1m\0b\1m\0"
    EXPECT_EQ(lib.field32(46), 82u);
    EXPECT_EQ(lib.field32(50), 82u + 16);
    EXPECT_EQ(lib.field32(54), 82u + 16 + 64);
    EXPECT_EQ((Bytes{b.begin() + 58, b.begin() + 62}), (Bytes{1, 0, 32, 0}));
    EXPECT_EQ(lib.field32(62), lib.field32(54) + 2 * 32);
    EXPECT_EQ(lib.field32(66), lib.field32(62) + 10);
    EXPECT_EQ(lib.field32(70), lib.field32(66) + 32);
    EXPECT_EQ(lib.field32(74), 3u);
    EXPECT_EQ(lib.field32(78), 1u);
    // One reference record, then a checksum for the file's single chunk and the 16-byte footer.
    EXPECT_EQ(b.size(), lib.field32(70) + 8 + 4 + 16);
}

TEST(Writer, ChecksumsFindAChangedByte) {
    Library lib = write({entry("a"), entry("b")}, {}, {});
    EXPECT_TRUE(verifyChecksums(lib.bytes).present);
    EXPECT_FALSE(verifyChecksums(lib.bytes).damagedChunk);
    lib.bytes[lib.field32(54) + 3] ^= 1;
    EXPECT_EQ(verifyChecksums(lib.bytes).damagedChunk, 0u);
    lib.bytes.resize(lib.bytes.size() - 1);
    EXPECT_FALSE(verifyChecksums(lib.bytes).present);
}

TEST(Writer, FrontCodesKeysAgainstThePreviousKey) {
    const Library lib = write({entry("ABCDE"), entry("ABCXYZZY")}, {}, {32, 64, 1, 32, true});
    const auto at = lib.bytes.begin() + lib.field32(50);
    EXPECT_EQ(Bytes(at, at + 13),
              (Bytes{0x50, 'A', 'B', 'C', 'D', 'E', 0x53, 'X', 'Y', 'Z', 'Z', 'Y', 0}));
}

TEST(Writer, ShortensAKeyThatCannotFollowThePreviousOne) {
    const std::string longWord = "c" + std::string(20, 'x');
    const Library lib = write({entry("a"), entry("b"), entry(longWord)}, {}, {64, 64, 2, 32, true});
    EXPECT_EQ(lib.englishKeys(0), (std::vector<std::string>{"a", "c"}));
}

TEST(Writer, TakesTheCaseOfThePreviousKeyWhereThatLetsAKeyFollowIt) {
    const Library lib =
        write({entry("acanthopanax"), entry("Acanthoscelides"), entry("Acanthoscelides obtectus")},
              {}, {64, 64, 2, 32, true});
    EXPECT_EQ(lib.englishKeys(0), (std::vector<std::string>{"acanthopanax", "acanthoscelides "}));
}

TEST(Writer, MovesABlockBoundaryBackToAKeyThatMayBeginIt) {
    // Too long to begin a block: the 22-byte keys.
    const std::vector<EnglishEntry> longKeys = {entry("abc"), entry("abcdefgh"),
                                                entry("abcdefghijklmnopqrstuv"),
                                                entry("abcdefghijklmnopqrstuw")};
    Library lib = write(longKeys, {}, {33, 64, 1, 32, true});
    EXPECT_EQ(lib.englishKeys(0), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(lib.englishKeys(1).front(), "abcdefgh");
    // Equal in their first 13 bytes to the headword before them: the 14-byte keys.
    lib = write(
        {entry("inter"), entry("international"), entry("internationale"), entry("internationals")},
        {}, {19, 64, 1, 32, true});
    EXPECT_EQ(lib.field16(34), 2u);
    EXPECT_EQ(lib.englishKeys(1).front(), "international");
}

// The problem findLayoutProblem reports, checked to be the LayoutError writeLibrary throws.
std::optional<LayoutProblem> sameProblem(const std::vector<EnglishEntry>& entries,
                                         const std::vector<ChineseWord>& words,
                                         const Layout& layout) {
    const auto problem = findLayoutProblem(entries, words, layout);
    try {
        writeLibrary(entries, words, layout);
        EXPECT_FALSE(problem) << "no LayoutError";
    } catch (const LayoutError& error) {
        EXPECT_TRUE(problem && problem->kind == error.problem.kind &&
                    problem->index == error.problem.index)
            << error.what();
    }
    return problem;
}

TEST(Writer, ReportsKeysThatCannotBePlaced) {
    using Kind = LayoutProblem::Kind;
    const std::string stem(23, 'x');
    auto problem =
        sameProblem({entry("a"), entry(stem + "1"), entry(stem + "2")}, {}, {64, 64, 2, 32});
    EXPECT_TRUE(problem && problem->kind == Kind::EnglishEntry && problem->index == 2);
    problem = sameProblem({entry("a")}, {{"a", {0}}, {std::string(20, 'b'), {0}}}, {});
    EXPECT_TRUE(problem && problem->kind == Kind::ChineseWord && problem->index == 1);
    // Only the 18-byte key could begin the second block.
    problem = sameProblem({entry("abc"), entry("abcdefghijklmnopqr")}, {}, {17, 64, 1, 32});
    EXPECT_TRUE(problem && problem->kind == Kind::EnglishEntry && problem->index == 1);
    EXPECT_FALSE(sameProblem({entry("a")}, {}, {}));
}

TEST(Writer, StoresReferencesInlineOrInAnOverflowList) {
    std::vector<uint32_t> many(127);
    for (uint32_t i = 0; i < many.size(); ++i)
        many[i] = 126 - i;
    std::vector<EnglishEntry> entries;
    for (char c = 'A'; entries.size() < 127; ++c)
        for (char d = 'a'; d <= 'z' && entries.size() < 127; ++d)
            entries.push_back(entry({c, d}));
    const std::vector<ChineseWord> words = {
        {"a", {5}}, {"b", {6, 0x41}}, {"c", {1, 2, 3}}, {"d", many}};
    const Library lib = write(entries, words);
    const size_t records = lib.field32(70);
    const auto record = [&](size_t n) {
        return Bytes(lib.bytes.begin() + records + 8 * n, lib.bytes.begin() + records + 8 * n + 8);
    };
    EXPECT_EQ(record(0), (Bytes{1, 5, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(record(1), (Bytes{2, 6, 0, 0, 0x41, 0, 0, 0}));
    for (size_t n : {2, 3}) {
        const Bytes r = record(n);
        EXPECT_EQ(r[0], 0x80 | words[n].references.size());
        std::vector<uint32_t> refs = {static_cast<uint32_t>(get24(r, 1))};
        const size_t list = lib.field32(54) + get32(r, 4);
        while (refs.size() < words[n].references.size())
            refs.push_back(get24(lib.bytes, list + 3 * (refs.size() - 1)));
        EXPECT_EQ(refs, words[n].references);
    }
}

TEST(Writer, RejectsInputThatBreaksTheRules) {
    using Change = std::function<void(std::vector<EnglishEntry>&, std::vector<ChineseWord>&)>;
    struct Case {
        Change change;
        std::string named;
    };
    const std::vector<Case> cases = {
        {[](auto& e, auto&) { e.clear(); }, "at least one"},
        {[](auto& e, auto&) { e[0].headword = ""; }, "entry 0"},
        {[](auto& e, auto&) { e[1].headword = "b" + std::string(30, 'x'); }, "entry 1"},
        {[](auto& e, auto&) { e[1].headword = "b\x02"; }, "entry 1"},
        {[](auto& e, auto&) { e[1].headword = "\x80"; }, "entry 1"},
        {[](auto& e, auto&) { e[1].headword = "A"; }, "entry 1"},
        {[](auto& e, auto&) { e[0].headword = "c"; }, "entry 1"},
        {[](auto& e, auto&) { e[1].headword = "b\x1A"; }, "entry 1"},
        {[](auto& e, auto&) { e[0].phonetic = "x\x02"; }, "entry 0"},
        {[](auto& e, auto&) { e[0].meaning = std::string("x\0y", 3); }, "entry 0"},
        {[](auto& e, auto&) { e[1].meaning = "x\x1A"; }, "entry 1"},
        {[](auto&, auto& w) { w[0].word = std::string(31, 'a'); }, "word 0"},
        {[](auto&, auto& w) { w[1].word = "a"; }, "word 1"},
        {[](auto&, auto& w) { w[0].references.clear(); }, "word 0"},
        {[](auto&, auto& w) { w[0].references.assign(128, 0); }, "word 0"},
        {[](auto&, auto& w) { w[1].references = {2}; }, "word 1"},
    };
    for (const Case& c : cases) {
        std::vector<EnglishEntry> entries = {entry("a"), entry("b")};
        std::vector<ChineseWord> words = {{"a", {0}}, {"b", {1}}};
        c.change(entries, words);
        try {
            writeLibrary(entries, words, {});
            ADD_FAILURE() << "accepted input meant to break: " << c.named;
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what()).find(c.named), std::string::npos) << error.what();
        }
    }
    for (const Layout& layout : {Layout{16, 64, 1, 32, true}, Layout{64, 64, 0, 32, true}}) {
        EXPECT_THROW(writeLibrary({entry("a")}, {}, layout), std::invalid_argument);
        EXPECT_THROW(findLayoutProblem({entry("a")}, {}, layout), std::invalid_argument);
    }
}

TEST(Writer, RejectsBlocksBeyondTheReaderBuffers) {
    std::mt19937 random(5);
    std::vector<EnglishEntry> entries;
    for (char c = 'a'; c <= 'z'; ++c)
        entries.push_back({{c}, std::nullopt, randomText(random, 3000, allBytesButMarker())});
    try {
        writeLibrary(entries, {}, {1024, 2048, 26, 512, true});
        ADD_FAILURE() << "a 78 KB block was accepted";
    } catch (const std::invalid_argument& error) {
        EXPECT_NE(std::string(error.what()).find("fewer entries per block"), std::string::npos);
    }
}

std::string entryText(const EnglishEntry& e) {
    return e.headword + '\x01' + (e.phonetic ? *e.phonetic + '\x02' : "") + e.meaning + '\0';
}

TEST(Writer, EveryHeadwordAndWordIsFoundWhereItWasWritten) {
    std::mt19937 random(11);
    const std::string syllables[] = {"inter", "nation", "al", "IZE", "s", "-", "ab", "\xe9"};
    const auto before = [](const std::string& a, const std::string& b) {
        return compareHeadwords(a, b) < 0;
    };
    std::set<std::string, decltype(before)> headwords(before);
    while (headwords.size() < 600) {
        std::string headword;
        const size_t size = 1 + random() % 30;
        while (headword.size() < size)
            headword += syllables[random() % 8];
        headword.resize(size);
        if (static_cast<unsigned char>(headword[0]) < 0x80) headwords.insert(headword);
    }
    std::vector<EnglishEntry> entries;
    for (const std::string& headword : headwords)
        entries.push_back({headword,
                           random() % 2 ? std::optional<std::string>("'f\x01n") : std::nullopt,
                           randomText(random, random() % 80, "\x08\x0a #abc\xb5\xc4\x01\x02")});
    std::vector<ChineseWord> words;
    const Layout layout{48, 64, 3, 40, true};
    const auto dropUnplaceable = [&] {
        while (const auto problem = sameProblem(entries, words, layout)) {
            if (problem->kind == LayoutProblem::Kind::EnglishEntry)
                entries.erase(entries.begin() + problem->index);
            else
                words.erase(words.begin() + problem->index);
        }
    };
    dropUnplaceable();
    std::set<std::string> wordSet;
    while (wordSet.size() < 400)
        wordSet.insert(randomText(random, 2 * (1 + random() % 10), "\xb0\xa1\xd6"));
    for (const std::string& word : wordSet) {
        std::vector<uint32_t> refs(1 + random() % 4);
        for (uint32_t& ref : refs)
            ref = random() % entries.size();
        words.push_back({word, refs});
    }
    dropUnplaceable();
    ASSERT_GT(entries.size(), 500u);
    ASSERT_GT(words.size(), 300u);

    const Library lib = write(entries, words, layout);
    EXPECT_EQ(lib.bytes, writeLibrary(entries, words, layout));
    size_t longestText = 0, continued = 0;
    for (size_t block = 0; block * 3 < entries.size(); ++block) {
        const Bytes stream = lib.entryStream(block);
        EXPECT_LE(stream.size(), lib.field16(42));
        continued += stream.size() > 64;
        Window window{};
        const std::string text = expand(stream, window);
        longestText = std::max(longestText, text.size());
        std::string expected;
        for (size_t i = block * 3; i < std::min(entries.size(), block * 3 + 3); ++i)
            expected += entryText(entries[i]);
        EXPECT_EQ(text, expected) << "entry block " << block;
    }
    EXPECT_GT(continued, 0u);
    EXPECT_EQ(longestText, lib.field16(44));
    for (size_t i = 0; i < entries.size(); ++i) {
        const Found found = findKey(lib, lib.field32(46), lib.field16(34), 13, lib.field32(50), 48,
                                    entries[i].headword, true);
        EXPECT_EQ(found.number / 3 + found.position, i / 3) << entries[i].headword;
    }
    for (size_t i = 0; i < words.size(); ++i) {
        const Found found = findKey(lib, lib.field32(62), lib.field16(58), 7, lib.field32(66), 40,
                                    words[i].word, false);
        EXPECT_TRUE(found.exact);
        EXPECT_EQ(found.number + found.position, i);
    }
}

} // namespace
} // namespace lexora::libwriter
