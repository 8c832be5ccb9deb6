// GB <-> BIG5 conversion: flags, buffers, single characters and the tables themselves.
#include "cpconv.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

unsigned pair(const char* bytes) {
    return static_cast<uint8_t>(bytes[0]) | static_cast<uint8_t>(bytes[1]) << 8;
}

std::string convert(int flag, const std::string& text) {
    std::string out(text.size() + 1, 'x');
    int passed =
        CPC_ConvertDBCSBuffer(flag, text.c_str(), 0, out.data(), static_cast<int>(out.size()));
    EXPECT_EQ(passed, static_cast<int>(text.size()));
    EXPECT_EQ(out.back(), '\0');
    out.pop_back();
    return out;
}

TEST(Flags, MadeFromPagePairs) {
    CPC_SetCodePage(CPC_PAGE_GB);
    EXPECT_EQ(CPC_GenConvertFlag(CPC_PAGE_GB, CPC_PAGE_BIG5, 0), 0x0201);
    EXPECT_EQ(CPC_GenConvertFlag(CPC_PAGE_BIG5, CPC_PAGE_GB, 1), 0x8102);
    EXPECT_EQ(CPC_GenConvertFlag(CPC_PAGE_ANSI, CPC_PAGE_GB, 0), 0xFFFF);
    EXPECT_EQ(CPC_GenConvertFlag(CPC_PAGE_CURRENT, CPC_PAGE_CURRENT, 0), 0);
    EXPECT_EQ(CPC_GenConvertFlag(CPC_PAGE_CURRENT, CPC_PAGE_MIDDLE, 0), 0);
    EXPECT_EQ(CPC_GenConvertFlag(CPC_PAGE_BIG5, CPC_PAGE_MIDDLE, 0), 0x0102);
}

// Rows whose conversion a reader can check by eye, in both directions.
struct TellingRow {
    const char* from;
    const char* to;
};
const TellingRow kGbToBig5[] = {
    {"\xa1\xa1", "\xa1\x40"}, {"\xa1\xa2", "\xa1\x42"}, {"\xa3\xc1", "\xa2\xcf"},
    {"\xa3\xb0", "\xa2\xaf"}, {"\xb0\xa1", "\xb0\xda"}, {"\xb9\xfa", "\xb0\xea"},
    {"\xd6\xd0", "\xa4\xa4"}, {"\xa2\xb1", "\xa1\x40"},
};
const TellingRow kBig5ToGb[] = {
    {"\xa1\x40", "\xa1\xa1"}, {"\xa1\x41", "\xa3\xac"}, {"\xa4\x40", "\xd2\xbb"},
    {"\xa4\xa4", "\xd6\xd0"}, {"\xb0\xea", "\xb9\xfa"}, {"\xc6\xa1", "\xa2\xd9"},
    {"\xf9\xd6", "\xc6\xe5"}, {"\xf9\xfe", "\xa1\xa1"},
};

TEST(Tables, TellingRows) {
    for (const TellingRow& row : kGbToBig5)
        EXPECT_EQ(convert(CPC_FLAG_GB_TO_BIG5, row.from), row.to)
            << testing::PrintToString(row.from);
    for (const TellingRow& row : kBig5ToGb)
        EXPECT_EQ(convert(CPC_FLAG_BIG5_TO_GB, row.from), row.to)
            << testing::PrintToString(row.from);
}

// Every entry is a character of the target page, and the share of characters that find a
// counterpart must not fall (the numbers are those the generator reached, with a little room).
TEST(Tables, EntriesAreTargetCharactersAndCoverageHolds) {
    int gbWithout = 0;
    for (unsigned order = 256; order < 9092; ++order) {
        char gb[3] = {};
        CPC_OrderToDBCS(CPC_PAGE_GB, order, gb, sizeof gb);
        std::string big5 = convert(CPC_FLAG_GB_TO_BIG5, gb);
        ASSERT_EQ(big5.size(), 2u);
        uint8_t lead = big5[0];
        ASSERT_TRUE(lead >= 0xA1 && lead <= 0xF9) << order;
        ASSERT_EQ(CPC_DBCSNext(CPC_PAGE_BIG5, big5.c_str()), big5.c_str() + 2) << order;
        if (CPC_ConvertADBCS(CPC_FLAG_GB_TO_BIG5, pair(gb)) == 0) ++gbWithout;
    }
    int big5Without = 0;
    for (unsigned order = 256; order < 15014; ++order) {
        char big5[3] = {};
        CPC_OrderToDBCS(CPC_PAGE_BIG5, order, big5, sizeof big5);
        std::string gb = convert(CPC_FLAG_BIG5_TO_GB, big5);
        ASSERT_EQ(gb.size(), 2u);
        ASSERT_EQ(CPC_DBCSNext(CPC_PAGE_GB, gb.c_str()), gb.c_str() + 2) << order;
        if (CPC_ConvertADBCS(CPC_FLAG_BIG5_TO_GB, pair(big5)) == 0) ++big5Without;
    }
    EXPECT_LE(gbWithout, LEXORA_GB_WITHOUT_COUNTERPART);
    EXPECT_LE(big5Without, LEXORA_BIG5_WITHOUT_COUNTERPART);
}

TEST(Tables, CommonCharactersFindTheirOtherForm) {
    // 国 發/发 后/後 为/為 台/臺 里/裡
    EXPECT_EQ(convert(CPC_FLAG_GB_TO_BIG5, "\xb9\xfa\xb7\xa2\xba\xf3\xce\xaa"),
              "\xb0\xea\xb5\x6f\xab\xe1\xac\xb0");
    EXPECT_EQ(convert(CPC_FLAG_BIG5_TO_GB, "\xb0\xea\xb5\x6f\xab\xe1\xac\xb0"),
              "\xb9\xfa\xb7\xa2\xba\xf3\xce\xaa");
    // Variants of the extension rows: 碁 銹 裏 墻 粧 嫺.
    EXPECT_EQ(convert(CPC_FLAG_BIG5_TO_GB, "\xf9\xd6\xf9\xd7\xf9\xd8\xf9\xd9\xf9\xdb\xf9\xdc"),
              "\xc6\xe5\xd0\xe2\xc0\xef\xc7\xbd\xd7\xb1\xe6\xb5");
}

TEST(Buffers, ConvertInBothDirections) {
    EXPECT_EQ(convert(CPC_FLAG_GB_TO_BIG5, "\xd6\xd0\xb9\xfa"), "\xa4\xa4\xb0\xea");
    EXPECT_EQ(convert(CPC_FLAG_BIG5_TO_GB, "\xa4\xa4\xb0\xea"), "\xd6\xd0\xb9\xfa");
    EXPECT_EQ(convert(CPC_FLAG_GB_TO_BIG5, "Hi \xd6\xd0!\r\n\xb9\xfa."),
              "Hi \xa4\xa4!\r\n\xb0\xea.");
    // A lead byte followed by a byte that cannot be its trail stays, and so does that byte.
    EXPECT_EQ(convert(CPC_FLAG_GB_TO_BIG5, "\xd6"
                                           "A\xd6\xd0"),
              "\xd6"
              "A\xa4\xa4");
    EXPECT_EQ(convert(CPC_FLAG_BIG5_TO_GB, "\xa4\x7f\xa4\xa4"), "\xa4\x7f\xd6\xd0");
}

TEST(Buffers, FlagsThatNameNoConversionCopy) {
    const std::string text = "\xd6\xd0\xb9\xfa";
    for (int flag : {0, 0xFFFF, 0x8201, 0x8102, 0x0101, 0x0301, int{CPC_FLAG_NONE}})
        EXPECT_EQ(convert(flag, text), text) << flag;
    CPC_SetCodePage(CPC_PAGE_GB);
    EXPECT_EQ(convert(CPC_FLAG_TO_CURRENT, text), text);
    CPC_SetCodePage(CPC_PAGE_BIG5);
    EXPECT_EQ(convert(CPC_FLAG_TO_CURRENT, text), "\xa4\xa4\xb0\xea");
    EXPECT_EQ(convert(CPC_FLAG_TO_MIDDLE, "\xa4\xa4\xb0\xea"), text);
    CPC_SetCodePage(CPC_PAGE_GB);
}

TEST(Buffers, CountsSizesAndRefusals) {
    char out[8];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, "", 0, out, sizeof out), 0);
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, "abc", 0, out, sizeof out), 3);
    EXPECT_EQ(std::string(out, 5), std::string("abc\0x", 5));

    // Too small a destination is refused untouched: count bytes, plus the NUL when it ends one.
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, "\xd6\xd0\xb9\xfa", 4, out, 3), 0);
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, "abc", 0, out, 3), 0);
    EXPECT_EQ(std::string(out, 4), "xxxx");
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, "\xd6\xd0\xb9\xfa", 4, out, 4), 4);
    EXPECT_EQ(std::string(out, 5), "\xa4\xa4\xb0\xeax");

    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, nullptr, 0, out, 8), 0);
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, "abc", 0, nullptr, 8), 0);
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, "abc", -1, out, 8), 0);
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, "abc", 0, out, -8), 0);
}

TEST(Buffers, NeverReachesPastTheGivenRange) {
    // A character cut by the end of the range stays as it is: its trail byte is not the caller's.
    char text[] = "\xd6\xd0\xb9\xfa";
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, text, 3, text, 3), 3);
    EXPECT_EQ(std::string(text), "\xa4\xa4\xb9\xfa");

    // In place and overlapping areas.
    char inPlace[] = "\xd6\xd0\xb9\xfa";
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, inPlace, 0, inPlace, 5), 4);
    EXPECT_STREQ(inPlace, "\xa4\xa4\xb0\xea");
    char shifted[8] = "ab\xd6\xd0";
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, shifted, 4, shifted + 2, 6), 4);
    EXPECT_EQ(std::string(shifted, 6), "abab\xa4\xa4");

    // A text without its NUL inside the destination's size is refused without reading on.
    char unterminated[4] = {'a', 'b', 'c', 'd'};
    char out[4];
    EXPECT_EQ(CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, unterminated, 0, out, 4), 0);
}

// The reference: step through the text as the page's character rule says and convert each pair
// on its own.
std::string convertByCharacters(int page, const std::string& text) {
    std::string out;
    for (const char* p = text.c_str(); p < text.c_str() + text.size();) {
        const char* next = CPC_DBCSNext(page, p);
        if (next - p == 2) {
            char pair[2];
            CPC_ConvertDBCSBuffer(page == CPC_PAGE_GB ? CPC_FLAG_GB_TO_BIG5 : CPC_FLAG_BIG5_TO_GB,
                                  p, 2, pair, 2);
            out.append(pair, 2);
        } else {
            out += *p;
            next = p + 1;
        }
        p = next;
    }
    return out;
}

// Long texts are converted by blocks; the result must be what converting character by
// character gives, at every length and alignment, in place or not.
TEST(Buffers, BlocksAgreeWithCharacterByCharacter) {
    std::mt19937 random(11);
    const uint8_t kinds[][2] = {{0xA1, 94}, {0x40, 63}, {0x20, 32}, {0x80, 33}, {0xFF, 1}};
    for (int page : {CPC_PAGE_GB, CPC_PAGE_BIG5}) {
        int flag = page == CPC_PAGE_GB ? CPC_FLAG_GB_TO_BIG5 : CPC_FLAG_BIG5_TO_GB;
        for (int round = 0; round < 400; ++round) {
            std::string text(random() % 300 + 1, ' ');
            for (char& c : text) {
                // Mostly lead-range bytes, so that long runs and odd run lengths are common.
                const uint8_t* kind = kinds[random() % 8 < 5 ? 0 : random() % 5];
                c = static_cast<char>(kind[0] + random() % kind[1]);
            }
            std::string expected = convertByCharacters(page, text);
            std::string copy(text.size(), '\0');
            ASSERT_EQ(CPC_ConvertDBCSBuffer(flag, text.data(), static_cast<int>(text.size()),
                                            copy.data(), static_cast<int>(copy.size())),
                      static_cast<int>(text.size()));
            ASSERT_EQ(copy, expected) << "page " << page << " round " << round;
            std::string inPlace = text;
            CPC_ConvertDBCSBuffer(flag, inPlace.data(), static_cast<int>(inPlace.size()),
                                  inPlace.data(), static_cast<int>(inPlace.size()));
            ASSERT_EQ(inPlace, expected) << "in place, page " << page << " round " << round;
        }
    }
}

TEST(Characters, OneCharacterWithItsCounterpartOrNone) {
    EXPECT_EQ(CPC_ConvertADBCS(CPC_FLAG_GB_TO_BIG5, pair("\xd6\xd0")), pair("\xa4\xa4"));
    EXPECT_EQ(CPC_ConvertADBCS(CPC_FLAG_GB_TO_BIG5, pair("\xa2\xb1")), 0u);
    EXPECT_EQ(CPC_ConvertADBCS(CPC_FLAG_GB_TO_BIG5, pair("\xa1\xa1")), pair("\xa1\x40"));
    EXPECT_EQ(CPC_ConvertADBCS(CPC_FLAG_BIG5_TO_GB, pair("\xf9\xfe")), 0u);
    EXPECT_EQ(CPC_ConvertADBCS(CPC_FLAG_BIG5_TO_GB, pair("\xa1\x40")), pair("\xa1\xa1"));
    EXPECT_EQ(CPC_ConvertADBCS(CPC_FLAG_NONE, pair("\xd6\xd0")), pair("\xd6\xd0"));
    EXPECT_EQ(CPC_ConvertADBCS(0, pair("\xa1\x40")), pair("\xa1\x40"));
    // With the mark the character is not converted, but the check of its direction still holds.
    EXPECT_EQ(CPC_ConvertADBCS(0x8201, pair("\xd6\xd0")), pair("\xd6\xd0"));
    EXPECT_EQ(CPC_ConvertADBCS(0x8201, pair("\xa1\x40")), 0u);
    // Only the two low bytes are the character.
    EXPECT_EQ(CPC_ConvertADBCS(CPC_FLAG_GB_TO_BIG5, 0xFFFF0000u | pair("\xd6\xd0")),
              pair("\xa4\xa4"));
    CPC_SetCodePage(CPC_PAGE_BIG5);
    EXPECT_EQ(CPC_ConvertADBCS(CPC_FLAG_TO_CURRENT, pair("\xd6\xd0")), pair("\xa4\xa4"));
    CPC_SetCodePage(CPC_PAGE_GB);
}

} // namespace
