// Reading dictionary files that the writer made: round trips and the rules of the lookups.
#include "testfiles.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <set>

using namespace testfiles;
using lexora::libwriter::compareHeadwords;
using lexora::libwriter::writeLibrary;

namespace {

struct Opened {
    explicit Opened(const std::vector<uint8_t>& bytes) : file(bytes) {
        std::string error;
        ok = library.open(file.path().c_str(), error);
        EXPECT_TRUE(ok) << error;
    }
    TempFile file;
    lxtran::Library library;
    bool ok = false;
};

std::string randomWord(std::mt19937& random, const std::string& alphabet, size_t maxLength) {
    std::string word(1 + random() % maxLength, ' ');
    for (char& c : word)
        c = alphabet[random() % alphabet.size()];
    return word;
}

// Headwords in the writer's order, none equal to another under it.
std::vector<std::string> randomHeadwords(std::mt19937& random, size_t count) {
    auto before = [](const std::string& a, const std::string& b) {
        return compareHeadwords(a, b) < 0;
    };
    std::set<std::string, decltype(before)> words(before);
    while (words.size() < count) {
        std::string word = randomWord(random, "abcdefghijklmnopqrstuvwxyzABC -'.", 12);
        if (word[0] != ' ') words.insert(word);
    }
    return {words.begin(), words.end()};
}

std::vector<ChineseWord> randomChineseWords(std::mt19937& random, size_t count, uint32_t entries) {
    std::set<std::string> words;
    std::string gb;
    for (uint8_t lead = 0xB0; lead < 0xB4; ++lead)
        for (uint8_t trail = 0xA1; trail < 0xA9; ++trail)
            gb += {char(lead), char(trail)};
    while (words.size() < count) {
        std::string word;
        for (size_t n = 1 + random() % 7; n > 0; --n)
            word += gb.substr(2 * (random() % (gb.size() / 2)), 2);
        words.insert(word);
    }
    std::vector<ChineseWord> result;
    for (const std::string& word : words) {
        ChineseWord chinese{word, {}};
        for (size_t n = 1 + random() % (random() % 4 == 0 ? 127 : 3); n > 0; --n)
            chinese.references.push_back(random() % entries);
        result.push_back(chinese);
    }
    return result;
}

// Every entry is found by number and by its headword, every Chinese word by number with its
// references, whatever the block sizes make of the layout (continuations, tiny index blocks).
TEST(RoundTrip, RandomDictionariesReadBackWhole) {
    std::mt19937 random(3);
    const Layout layouts[] = {
        {1024, 2048, 16, 512, true},
        {64, 128, 8, 48, false}, // blocks too small for their text: continuations everywhere
        {40, 4096, 31, 40, true},
    };
    for (const Layout& layout : layouts) {
        std::vector<EnglishEntry> entries = entriesFor(randomHeadwords(random, 600));
        std::vector<ChineseWord> words =
            randomChineseWords(random, 200, static_cast<uint32_t>(entries.size()));
        Opened opened(writeLibrary(entries, words, layout));
        ASSERT_TRUE(opened.ok);
        lxtran::Library& library = opened.library;
        ASSERT_EQ(+library.header().englishEntryCount, static_cast<int32_t>(entries.size()));

        for (size_t n = 0; n < entries.size(); ++n) {
            const char* text = library.block().byNumber(library.file(), static_cast<int32_t>(n));
            ASSERT_NE(text, nullptr) << n;
            ASSERT_EQ(text, entryText(entries[n])) << n;
        }
        for (const EnglishEntry& entry : entries) {
            bool exact = false;
            const char* text = lookUp(library, entry.headword.c_str(), exact);
            ASSERT_NE(text, nullptr) << entry.headword;
            ASSERT_TRUE(exact) << entry.headword;
            ASSERT_EQ(text, entryText(entry));
        }
        for (size_t n = 0; n < words.size(); ++n) {
            const char* word = chineseWord(library, static_cast<int32_t>(n));
            ASSERT_NE(word, nullptr) << n;
            ASSERT_EQ(word, words[n].word);
            std::vector<uint32_t> references;
            ASSERT_TRUE(library.references(static_cast<int32_t>(n), references));
            ASSERT_EQ(references, words[n].references);
        }
        EXPECT_EQ(chineseWord(library, static_cast<int32_t>(words.size())), nullptr);
        library.file().close();
    }
}

// Text that repeats itself at every distance makes copies that overlap what they produce (nearer
// than 16 bytes) and copies that reach back just past that; each must expand exactly.
TEST(RoundTrip, RepetitiveTextExpandsExactly) {
    std::mt19937 random(5);
    std::vector<EnglishEntry> entries = entriesFor(randomHeadwords(random, 300));
    for (size_t n = 0; n < entries.size(); ++n) {
        std::string unit = randomWord(random, "xyz", 1 + n % 34);
        std::string meaning = "\x08";
        while (meaning.size() < 20 + n % 90)
            meaning += unit;
        entries[n].meaning = meaning;
    }
    Opened opened(writeLibrary(entries, {}, {1024, 2048, 16, 512, true}));
    ASSERT_TRUE(opened.ok);
    lxtran::Library& library = opened.library;
    for (size_t n = 0; n < entries.size(); ++n) {
        const char* text = library.block().byNumber(library.file(), static_cast<int32_t>(n));
        ASSERT_NE(text, nullptr) << n;
        ASSERT_EQ(text, entryText(entries[n])) << n;
    }
    library.file().close();
}

// A word between two entries gives the neighbour that shares more of it, the lower on a tie;
// the headword comparison ignores case, the neighbour rule does not.
TEST(Lookup, NearestEntriesAndCase) {
    Opened opened(writeLibrary(entriesFor({"car", "cat", "catch", "cater", "dog"}), {}, {}));
    ASSERT_TRUE(opened.ok);
    bool exact = false;
    std::string text = lookUp(opened.library, "cas", exact);
    EXPECT_FALSE(exact);
    EXPECT_EQ(text.substr(0, 4), "car\x01");
    text = lookUp(opened.library, "cate", exact);
    EXPECT_EQ(text.substr(0, 6), "cater\x01");
    text = lookUp(opened.library, "CAT", exact);
    EXPECT_TRUE(exact);
    EXPECT_EQ(text.substr(0, 4), "cat\x01");
    text = lookUp(opened.library, "aardvark", exact);
    EXPECT_FALSE(exact);
    EXPECT_EQ(text.substr(0, 4), "car\x01");
    text = lookUp(opened.library, "zebra", exact);
    EXPECT_EQ(text.substr(0, 4), "dog\x01");

    // The neighbour rule minds case: "cas" shares its "c" with "cat" but not with "Car".
    Opened capital(writeLibrary(entriesFor({"Car", "cat"}), {}, {}));
    text = lookUp(capital.library, "cas", exact);
    EXPECT_EQ(text.substr(0, 4), "cat\x01");
}

TEST(Lookup, NeighbourRuleAndHeadwordComparison) {
    EXPECT_EQ(lxtran::neighbourRule("cas", "car\x01", "cat\x01"), 0);
    EXPECT_EQ(lxtran::neighbourRule("cate", "catch\x01", "cater\x01"), 1);
    EXPECT_EQ(lxtran::neighbourRule("catc", "catch\x01", "cater\x01"), -1);
    EXPECT_EQ(lxtran::neighbourRule("CAT", "cat\x01", "cot\x01"), 0);
    EXPECT_EQ(lxtran::compareHeadword("cat\x01k\x02m", "CAT"), 0);
    EXPECT_LT(lxtran::compareHeadword("cat\x01", "cats"), 0);
    EXPECT_GT(lxtran::compareHeadword("cats\x01", "cat"), 0);
    EXPECT_GT(lxtran::compareHeadword("b\x01", "a"), 0);
    // An entry shorter than the word is read no further than its NUL.
    const char shortEntry[] = "ca";
    EXPECT_EQ(lxtran::neighbourRule("cabbage", shortEntry, "cab\x01"), 1);
}

// Index block keys: below the first key gives position 0, above the last the last position,
// both with a positive status; the main index sends a query below everything to record 0.
TEST(Index, PositionsAndStatusAtTheEdges) {
    Layout layout;
    layout.entriesPerBlock = 1;
    Opened opened(writeLibrary(entriesFor({"bat", "bee", "bit", "bog"}), {}, layout));
    ASSERT_TRUE(opened.ok);
    lxtran::Library& library = opened.library;
    lxtran::EIndex& index = library.englishIndex();
    EXPECT_EQ(library.englishMain().findBlock("aaa"), 0);
    EXPECT_EQ(index.find(library.file(), 0, "aaa"), 0);
    EXPECT_GT(index.status(), 0);
    EXPECT_EQ(index.find(library.file(), 0, "zzz"), 3);
    EXPECT_GT(index.status(), 0);
    EXPECT_STREQ(index.key(), "bog");
    EXPECT_EQ(index.find(library.file(), 0, "BIT"), 2);
    EXPECT_EQ(index.status(), 0);
    EXPECT_EQ(index.find(library.file(), 0, "bin"), 1);
    EXPECT_GT(index.status(), 0);
    EXPECT_STREQ(index.key(), "bee");
    EXPECT_STREQ(index.nth(library.file(), 0, 3), "bog");
    EXPECT_EQ(index.nth(library.file(), 0, 4), nullptr);
    EXPECT_EQ(library.englishMain().findByNumber(0), 0);
}

// Chinese references: two inline, more in an overflow list, up to 127.
TEST(References, InlineAndOverflowLists) {
    std::mt19937 random(5);
    std::vector<EnglishEntry> entries = entriesFor(randomHeadwords(random, 300));
    std::vector<ChineseWord> words = {
        {"\xb0\xa1", {7}}, {"\xb0\xa2", {3, 9}}, {"\xb0\xa3", {1, 2, 3, 4}}, {"\xb0\xa4", {}}};
    for (uint32_t n = 0; n < 127; ++n)
        words[3].references.push_back(n * 2);
    Opened opened(writeLibrary(entries, words, {}));
    ASSERT_TRUE(opened.ok);
    for (size_t n = 0; n < words.size(); ++n) {
        std::vector<uint32_t> references;
        ASSERT_TRUE(opened.library.references(static_cast<int32_t>(n), references));
        EXPECT_EQ(references, words[n].references);
    }
    std::vector<uint32_t> references;
    EXPECT_FALSE(opened.library.references(4, references));
    EXPECT_FALSE(opened.library.references(-1, references));
}

} // namespace
