// The sorted store through the exported functions: seeking and its miss positions, phrase order,
// adding, replacing, deleting, and reading records back.
#include "testutil.h"

#include "wordbank.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <iterator>

namespace {

using Phrases = std::vector<std::string>;

// Double-byte characters of GB and BIG5, written as bytes.
const std::string kChina = "\xD6\xD0\xB9\xFA"; // GB 中国
const std::string kAh = "\xB0\xA1";            // GB 啊, the first GB character
const std::string kBig5LowerA = "\xA4\x61";    // a BIG5 character whose trail byte is 'a'
const std::string kBig5UpperA = "\xA4\x41";    // and one whose trail byte is 'A'

int add(const Record& record) {
    return WBK_AddRecord(packed(record).c_str());
}

class StoreTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(WBK_Create(dir_.file("user.txt").c_str()), 1); }

    void addAll(const Phrases& phrases) {
        for (const std::string& phrase : phrases)
            ASSERT_EQ(add({phrase, "", "m"}), 1) << phrase;
    }

    Phrases phrases() {
        Phrases result;
        for (const Record& record : allRecords())
            result.push_back(record.phrase);
        return result;
    }

    ScratchDir dir_;
};

TEST_F(StoreTest, SeekPositionsInEmptyAndFullLibrary) {
    EXPECT_EQ(WBK_GetRECN(), -1);
    EXPECT_EQ(WBK_Seek("anything"), 0);
    EXPECT_EQ(WBK_GetRECN(), 0);
    addAll({"cherry", "apple", "banana"});
    const std::pair<const char*, int> misses[] = {
        {"aardvark", 0}, {"b", 1}, {"zebra", 3}, {kChina.c_str(), 3}};
    for (const auto& [phrase, position] : misses) {
        EXPECT_EQ(WBK_Seek(phrase), 0);
        EXPECT_EQ(WBK_GetRECN(), position) << phrase;
    }
    EXPECT_EQ(WBK_Seek("Banana"), 1);
    EXPECT_EQ(WBK_GetRECN(), 1);
    EXPECT_EQ(WBK_Seek(nullptr), 0);
}

// The documented order, written independently of the library: a phrase that begins with ASCII
// is compared with letters folded to upper case, any other by byte value.
int referenceCompare(const std::string& searched, const std::string& stored) {
    bool fold = !searched.empty() && static_cast<uint8_t>(searched[0]) < 0x80;
    auto key = [fold](const std::string& text, size_t i) {
        int byte = i < text.size() ? static_cast<uint8_t>(text[i]) : 0;
        return fold && byte >= 'a' && byte <= 'z' ? byte - 32 : byte;
    };
    for (size_t i = 0;; ++i) {
        int a = key(searched, i);
        int b = key(stored, i);
        if (a != b || a == 0) return a - b;
    }
}

// Phrases of one to four characters drawn from ASCII and GB characters.
Phrases mixedPhrases(int count, uint32_t seed) {
    const std::string units[] = {"a", "B", "c", "C", "_", "~", " ", "0", "z", "[", kAh, kChina};
    Phrases result;
    for (int i = 0; i < count; ++i) {
        std::string phrase;
        seed = seed * 1103515245 + 12345;
        for (uint32_t length = seed >> 16 & 3; length < 4; ++length) {
            seed = seed * 1103515245 + 12345;
            phrase += units[(seed >> 16) % std::size(units)];
        }
        result.push_back(phrase);
    }
    return result;
}

TEST_F(StoreTest, MissPositionCountsRecordsThatSortBefore) {
    addAll(mixedPhrases(300, 7));
    Phrases stored = phrases();
    for (size_t i = 1; i < stored.size(); ++i)
        ASSERT_LT(referenceCompare(stored[i - 1], stored[i]), 0) << i;
    for (const std::string& probe : mixedPhrases(300, 99)) {
        int before = 0;
        bool present = false;
        for (const std::string& phrase : stored) {
            before += referenceCompare(probe, phrase) > 0;
            present = present || referenceCompare(probe, phrase) == 0;
        }
        EXPECT_EQ(WBK_Seek(probe.c_str()), present ? 1 : 0) << probe;
        EXPECT_EQ(WBK_GetRECN(), before) << probe;
    }
}

TEST_F(StoreTest, AsciiPhrasesFoldedThenDoubleBytePhrasesByByte) {
    addAll({kChina, "zoo", "Apple", "_under", kAh, "banana", "[x", "Zebra", "0"});
    EXPECT_EQ(phrases(),
              (Phrases{"0", "Apple", "banana", "Zebra", "zoo", "[x", "_under", kAh, kChina}));
}

TEST_F(StoreTest, ReplacementKeepsCountInsertionMakesCurrent) {
    addAll({"one", "two", "three"});
    ASSERT_EQ(add({"TWO", "tu:", "new meaning"}), 1);
    EXPECT_EQ(WBK_GetRecordCount(), 3);
    EXPECT_EQ(WBK_GetRECN(), 2);
    EXPECT_EQ(currentRecord(), (Record{"TWO", "tu:", "new meaning"}));
    ASSERT_EQ(add({"Apple", "", "first"}), 1);
    ASSERT_EQ(add({"apple", "ApL", "second"}), 1);
    EXPECT_EQ(WBK_GetRecordCount(), 4);
    EXPECT_EQ(WBK_GetRECN(), 0);
    EXPECT_EQ(currentRecord(), (Record{"apple", "ApL", "second"}));
}

TEST_F(StoreTest, ManyRecordsGrowTheStore) {
    const std::string meaning(200, 'm');
    for (int i = 2999; i >= 0; --i)
        ASSERT_EQ(add({"w" + std::to_string(100000 + i), "", meaning + std::to_string(i)}), 1);
    ASSERT_EQ(WBK_GetRecordCount(), 3000);
    for (int i = 0; i < 3000; i += 7) {
        ASSERT_EQ(WBK_Seek(("W" + std::to_string(100000 + i)).c_str()), 1);
        EXPECT_EQ(WBK_GetRECN(), i);
        EXPECT_EQ(currentRecord().meaning, meaning + std::to_string(i));
    }
}

TEST_F(StoreTest, KeepsOnlyRecordsTheFileCanHold) {
    const Record refused[] = {
        {"", "s", "meaning"},
        {"phrase", "s", ""},
        {"two\nlines", "", "m"},
        {"p", "s\r", "m"},
        // A double quote followed by a comma would end the field when the line is read back.
        {"cut\",here", "", "m"},
        {"p", "cut\" \t,here", "m"},
        {"p", "", "yes\", no"}};
    for (const Record& record : refused)
        EXPECT_EQ(add(record), 0) << record;
    EXPECT_EQ(WBK_AddRecord(nullptr), 0);
    EXPECT_EQ(add({"say \"hi\"", "", "greet"}), 1);
    EXPECT_EQ(add({"ends in \"", "\"", "a \"quote\" here"}), 1);
    EXPECT_EQ(WBK_GetRecordCount(), 2);
}

TEST_F(StoreTest, FieldsMayFillALineButNoMore) {
    const std::string phrase(WBK_MAX_FIELDS - 2, 'p');
    EXPECT_EQ(WBK_GetRecordLength(packed({phrase, "s", "m"}).c_str()), WBK_MAX_FIELDS + 3);
    EXPECT_EQ(add({phrase, "s", "m"}), 1);
    EXPECT_EQ(WBK_GetRecordLength(packed({phrase, "ss", "m"}).c_str()), 0);
    EXPECT_EQ(add({phrase, "ss", "m"}), 0);
    EXPECT_EQ(add({"p", "", std::string(WBK_MAX_FIELDS, 'm')}), 0);
    EXPECT_EQ(WBK_GetRecordCount(), 1);
}

// Fields are read within their NULs and their bound: a phrase that never ends, or a record
// without its last NUL, is refused without a byte read past its end (the sanitizer build checks).
TEST_F(StoreTest, UnterminatedRecordsAreReadWithinBounds) {
    std::vector<char> phrase(WBK_MAX_FIELDS + 1, 'p');
    EXPECT_EQ(WBK_AddRecord(phrase.data()), 0);
    EXPECT_EQ(WBK_GetRecordLength(phrase.data()), 0);
    std::string almost = packed({"p", "s", std::string(WBK_MAX_FIELDS - 1, 'm')});
    std::vector<char> unterminated(almost.begin(), almost.end() - 1);
    EXPECT_EQ(WBK_AddRecord(unterminated.data()), 0);
}

TEST_F(StoreTest, DeleteGoRecnAndCurrent) {
    addAll({"a", "b", "c"});
    EXPECT_EQ(WBK_DeleteRecord("B"), 1);
    EXPECT_EQ(WBK_DeleteRecord("b"), 0);
    EXPECT_EQ(WBK_DeleteRecord(nullptr), 0);
    EXPECT_EQ(WBK_GoRECN(2), 0);
    EXPECT_EQ(WBK_GoRECN(-1), 0);
    ASSERT_EQ(WBK_GoRECN(0), 1);
    EXPECT_EQ(WBK_Delete(), 1);
    EXPECT_EQ(phrases(), Phrases{"c"});
    EXPECT_EQ(WBK_Seek("zzz"), 0);
    EXPECT_EQ(WBK_Delete(), 0);
    EXPECT_EQ(WBK_GetRecordCount(), 1);
}

TEST_F(StoreTest, ResultsFitTheCallersBuffer) {
    ASSERT_EQ(add({"word", "wE:d", "meaning"}), 1);
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(WBK_GetRecord(buffer, sizeof buffer), 18);
    EXPECT_EQ(std::string(buffer, 19), packed({"word", "wE:d", "meaning"}) + '\0');
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(WBK_GetRecord(buffer, 7), 6);
    EXPECT_EQ(std::string(buffer, 8), std::string("word\0w\0x", 8));
    EXPECT_EQ(WBK_GetRecord(nullptr, 10), 0);
    EXPECT_EQ(WBK_Seek("zzz"), 0);
    EXPECT_EQ(WBK_GetRecord(buffer, sizeof buffer), 0);

    std::string name = dir_.file("user.txt");
    EXPECT_EQ(WBK_GetName(buffer, 5), static_cast<int>(name.size()));
    EXPECT_EQ(std::string(buffer), name.substr(0, 4));
}

// BIG5 trail bytes 0x40-0x7E look like ASCII, but are no letters to fold.
TEST(Big5Store, TrailBytesAreNotFolded) {
    ScratchDir dir;
    std::string file = dir.file("big5.txt");
    writeBytes(file, "[User Lib Header]\r\nDBCS Code Page = CHN-BIG5\r\n[User Lib Text]\r\n");
    ASSERT_EQ(WBK_Open(file.c_str()), 1);
    ASSERT_EQ(add({"a" + kBig5LowerA, "", "one"}), 1);
    ASSERT_EQ(add({"A" + kBig5UpperA, "", "two"}), 1);
    EXPECT_EQ(WBK_GetRecordCount(), 2);
    EXPECT_EQ(WBK_Seek(("A" + kBig5LowerA).c_str()), 1);
    EXPECT_EQ(currentRecord().meaning, "one");
}

TEST(NoLibrary, EveryFunctionReportsIt) {
    WBK_Close();
    char buffer[16] = "unchanged";
    EXPECT_EQ(WBK_Loaded(), 0);
    EXPECT_EQ(WBK_GetName(buffer, sizeof buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(WBK_GetCodePage(), WBK_PAGE_GB);
    EXPECT_EQ(WBK_Seek("a"), 0);
    EXPECT_EQ(WBK_GetRecord(buffer, sizeof buffer), -1);
    EXPECT_EQ(WBK_AddRecord(packed({"a", "", "m"}).c_str()), 0);
    EXPECT_EQ(WBK_DeleteRecord("a"), 0);
    EXPECT_EQ(WBK_Delete(), 0);
    EXPECT_EQ(WBK_GetRECN(), -1);
    EXPECT_EQ(WBK_GetRecordCount(), 0);
    EXPECT_EQ(WBK_GoRECN(0), 0);
    EXPECT_EQ(WBK_GetRecordLength(packed({"a", "", "m"}).c_str()), 0);
    EXPECT_EQ(WBK_Close(), 1);
}

TEST(CvtSound, LettersAndCodesBothWays) {
    char text[] = "dikSGnGri";
    EXPECT_EQ(WBK_CVTSound(WBK_LETTERS_TO_CODES, text), text);
    EXPECT_STREQ(text, "dik62n2ri");
    WBK_CVTSound(WBK_CODES_TO_LETTERS, text);
    EXPECT_STREQ(text, "dikSGnGri");

    char letters[] = "CEGNOQRSVXZ cegA";
    WBK_CVTSound(WBK_LETTERS_TO_CODES, letters);
    EXPECT_STREQ(letters, "0/284196357 cegA");
    WBK_CVTSound(WBK_CODES_TO_LETTERS, letters);
    EXPECT_STREQ(letters, "CEGNOQRSVXZ cegA");
    WBK_CVTSound(3, letters);
    EXPECT_STREQ(letters, "CEGNOQRSVXZ cegA");
    EXPECT_EQ(WBK_CVTSound(WBK_LETTERS_TO_CODES, nullptr), nullptr);
}

} // namespace
