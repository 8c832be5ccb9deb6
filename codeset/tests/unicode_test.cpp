// UTF-16 text into GB and BIG5, with the table files and without them.
#include "cpconv.h"
#include "testutil.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

using Unicode2DBCS = int(WINAPI*)(int, const CPC_WCHAR*, int, char*, int);

std::string toPage(Unicode2DBCS function, int page, const CPC_WCHAR* text, int count = -1) {
    char out[64];
    std::memset(out, 'x', sizeof out);
    int written = function(page, text, count, out, sizeof out);
    EXPECT_EQ(out[written], '\0');
    return std::string(out, written);
}

const CPC_WCHAR kZhongGuo[] = {0x4E2D, 0x56FD, 0};     // 中国
const CPC_WCHAR kZhongGuoTrad[] = {0x4E2D, 0x570B, 0}; // 中國
const CPC_WCHAR kMixed[] = {'a', 0x4E2D, ' ', 0x00E9, 0x20AC, 0xFF21, 0};

TEST(Unicode, TablesGiveThePagesBytes) {
    EXPECT_EQ(toPage(CPC_Unicode2DBCS, CPC_PAGE_GB, kZhongGuo), "\xd6\xd0\xb9\xfa");
    EXPECT_EQ(toPage(CPC_Unicode2DBCS, CPC_PAGE_BIG5, kZhongGuoTrad), "\xa4\xa4\xb0\xea");
    // 国 is not a BIG5 character.
    EXPECT_EQ(toPage(CPC_Unicode2DBCS, CPC_PAGE_BIG5, kZhongGuo), "\xa4\xa4?");
    // Units below 0x100 stay single bytes; the count limits what is read.
    EXPECT_EQ(toPage(CPC_Unicode2DBCS, CPC_PAGE_GB, kMixed, 3), "a\xd6\xd0 ");
    EXPECT_EQ(toPage(CPC_Unicode2DBCS, CPC_PAGE_GB, kMixed), "a\xd6\xd0 \xe9?\xa3\xc1");
}

TEST(Unicode, OutputNeverPassesItsSize) {
    char out[8];
    std::memset(out, 'x', sizeof out);
    // Room for one pair and the NUL: the second pair is left out whole.
    EXPECT_EQ(CPC_Unicode2DBCS(CPC_PAGE_GB, kZhongGuo, -1, out, 4), 2);
    EXPECT_EQ(std::string(out, 5), std::string("\xd6\xd0\0xx", 5));
    EXPECT_EQ(CPC_Unicode2DBCS(CPC_PAGE_GB, kZhongGuo, -1, out, 1), 0);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(CPC_Unicode2DBCS(CPC_PAGE_GB, kZhongGuo, -1, out, 0), 0);
    EXPECT_EQ(CPC_Unicode2DBCS(CPC_PAGE_GB, nullptr, -1, out, 8), 0);
    EXPECT_EQ(CPC_Unicode2DBCS(CPC_PAGE_GB, kZhongGuo, -1, nullptr, 8), 0);
}

// A copy of the library beside a damaged GB table and without a BIG5 table falls back to the
// platform's converter, whose results for these texts are the same as the tables'.
TEST(Unicode, MissingOrTruncatedTablesFallBackToThePlatform) {
    LibraryCopy copy({"WC2MBGB.TAB:1000"});
    ASSERT_TRUE(copy.loaded());
    auto convert = reinterpret_cast<Unicode2DBCS>(copy.symbol("CPC_Unicode2DBCS"));
    ASSERT_NE(convert, nullptr);
    EXPECT_EQ(toPage(convert, CPC_PAGE_GB, kZhongGuo), "\xd6\xd0\xb9\xfa");
    EXPECT_EQ(toPage(convert, CPC_PAGE_BIG5, kZhongGuoTrad), "\xa4\xa4\xb0\xea");
    EXPECT_EQ(toPage(convert, CPC_PAGE_ANSI, kMixed, 5), "a? \xe9\x80");

    // Where a table and the platform both encode a character as a pair of the page, the pairs
    // are the same.
    for (int page : {CPC_PAGE_GB, CPC_PAGE_BIG5}) {
        int compared = 0;
        for (unsigned unit = 0x100; unit < 0x10000; ++unit) {
            if (unit >= 0xD800 && unit < 0xE000) continue;
            const CPC_WCHAR text[2] = {static_cast<CPC_WCHAR>(unit), 0};
            std::string table = toPage(CPC_Unicode2DBCS, page, text);
            if (table.size() != 2) continue;
            std::string platform = toPage(convert, page, text);
            // The platform's page may be wider than the table's (CP936 holds all of GBK).
            if (platform.size() != 2 ||
                CPC_DBCSNext(page, platform.c_str()) != platform.c_str() + 2)
                continue;
            ++compared;
            ASSERT_EQ(platform, table) << "page " << page << " unit " << std::hex << unit;
        }
        EXPECT_GT(compared, 7000) << "page " << page;
    }
}

} // namespace
