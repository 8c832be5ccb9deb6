// Code pages, characters, words, order numbers and page information.
#include "cpconv.h"
#include "testutil.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

const char* at(const std::string& text, size_t offset) {
    return text.c_str() + offset;
}

// Runs alone in a process of its own (see CMakeLists.txt): nothing has set a page yet, so the
// record is as created.
TEST(FreshRecord, HasNoPageButDoubleBytePagesKeepTheirRules) {
    EXPECT_EQ(CPC_GetCodePage(), 0);
    EXPECT_EQ(CPC_GetMiddlePage(), 1);
    EXPECT_EQ(CPC_IsLeadByte(CPC_PAGE_CURRENT, 0xB0), 0);
    EXPECT_EQ(CPC_IsLeadByte(CPC_PAGE_GB, 0xB0), 1);
    EXPECT_EQ(CPC_IsLeadByte(CPC_PAGE_MIDDLE, 0xB0), 1);
    // No delimiters yet: a whole phrase is one word.
    std::string text = "hello, world";
    EXPECT_EQ(CPC_WordNext(CPC_PAGE_CURRENT, text.c_str()), at(text, text.size()));
}

TEST(CodePage, SetAcceptsOnlyTheDoubleBytePages) {
    CPC_SetCodePage(CPC_PAGE_GB);
    EXPECT_EQ(CPC_SetCodePage(CPC_PAGE_ANSI), 0);
    EXPECT_EQ(CPC_SetCodePage(CPC_PAGE_MIDDLE), 0);
    EXPECT_EQ(CPC_SetCodePage(3), 0);
    EXPECT_EQ(CPC_GetCodePage(), 1);

    EXPECT_EQ(CPC_SetCodePage(CPC_PAGE_BIG5), 1);
    EXPECT_EQ(CPC_GetCodePage(), 2);
    EXPECT_EQ(CPC_SetCodePage(CPC_PAGE_BIG5), 2);
    EXPECT_EQ(CPC_SetCodePage(CPC_PAGE_CURRENT), 2);
    // Only the low 16 bits of the argument count.
    EXPECT_EQ(CPC_SetCodePage(0x10001), 2);
    EXPECT_EQ(CPC_GetCodePage(), 1);
    EXPECT_EQ(CPC_SetCodePage(0), 0);
    EXPECT_EQ(CPC_GetCodePage(), 1);
}

TEST(CodePage, SettingAPageSetsLeadBytesDelimitersAndFlags) {
    CPC_SetCodePage(CPC_PAGE_BIG5);
    EXPECT_EQ(CPC_IsLeadByte(CPC_PAGE_CURRENT, 0xA1), 1);
    EXPECT_EQ(CPC_IsLeadByte(CPC_PAGE_CURRENT, 0xFE), 1);
    EXPECT_EQ(CPC_IsLeadByte(CPC_PAGE_CURRENT, 0xFF), 0);
    EXPECT_EQ(CPC_IsLeadByte(CPC_PAGE_CURRENT, 0x80), 0);
    EXPECT_EQ(CPC_IsLeadByte(CPC_PAGE_ANSI, 0xB0), 0);
    EXPECT_EQ(CPC_GenConvertFlag(CPC_PAGE_CURRENT, CPC_PAGE_MIDDLE, 0), 0x0102);

    // The shared flags follow the page: GB text shown on a BIG5 page is converted.
    char shown[8];
    CPC_StrCVTCpy(shown, "\xd6\xd0", sizeof shown);
    EXPECT_STREQ(shown, "\xa4\xa4");
    CPC_SetCodePage(CPC_PAGE_GB);
    CPC_StrCVTCpy(shown, "\xd6\xd0", sizeof shown);
    EXPECT_STREQ(shown, "\xd6\xd0");

    std::string text = "hello, world";
    EXPECT_EQ(CPC_WordNext(CPC_PAGE_CURRENT, text.c_str()), at(text, 5));
}

TEST(CodePage, ThePageIsSharedWithOtherProcesses) {
    CPC_SetCodePage(CPC_PAGE_BIG5);
    EXPECT_EQ(runPeer({"get"}), 2);
    EXPECT_EQ(runPeer({"set", "1"}), 2);
    EXPECT_EQ(CPC_GetCodePage(), 1);
    EXPECT_EQ(CPC_IsLeadByte(CPC_PAGE_CURRENT, 0xB0), 1);
    EXPECT_EQ(CPC_GenConvertFlag(CPC_PAGE_CURRENT, CPC_PAGE_MIDDLE, 0), 0);
    // A second copy of the library in this process maps the same record, unchanged.
    LibraryCopy copy({});
    ASSERT_TRUE(copy.loaded());
    auto getPage = reinterpret_cast<short(WINAPI*)(void)>(copy.symbol("CPC_GetCodePage"));
    ASSERT_NE(getPage, nullptr);
    EXPECT_EQ(getPage(), 1);
}

TEST(Characters, NextStepsOverValidPairsOnly) {
    const char gbWithAscii[] = "\xb0\x41";
    EXPECT_EQ(CPC_DBCSNext(CPC_PAGE_GB, gbWithAscii), gbWithAscii + 1);
    EXPECT_EQ(CPC_DBCSNext(CPC_PAGE_BIG5, gbWithAscii), gbWithAscii + 2);
    const char gb[] = "\xd6\xd0";
    EXPECT_EQ(CPC_DBCSNext(CPC_PAGE_GB, gb), gb + 2);
    EXPECT_EQ(CPC_DBCSNext(CPC_PAGE_ANSI, gb), gb + 1);
    const char leadAtEnd[] = "\xd6";
    EXPECT_EQ(CPC_DBCSNext(CPC_PAGE_GB, leadAtEnd), leadAtEnd + 1);
    const char empty[] = "";
    EXPECT_EQ(CPC_DBCSNext(CPC_PAGE_GB, empty), empty);
    EXPECT_EQ(CPC_DBCSNext(CPC_PAGE_GB, nullptr), nullptr);
}

TEST(Characters, PrevFindsTheCharacterBefore) {
    const char text[] = "ab\xd6\xd0\xb9\xfa";
    EXPECT_EQ(CPC_DBCSPrev(CPC_PAGE_GB, text, text + 6), text + 4);
    EXPECT_EQ(CPC_DBCSPrev(CPC_PAGE_GB, text + 2, text + 3), text + 2);
    EXPECT_EQ(CPC_DBCSPrev(CPC_PAGE_GB, text, text + 2), text + 1);
    EXPECT_EQ(CPC_DBCSPrev(CPC_PAGE_GB, text + 2, text + 4), text + 2);
    EXPECT_EQ(CPC_DBCSPrev(CPC_PAGE_GB, text + 3, text + 1), text + 3);
    EXPECT_EQ(CPC_DBCSPrev(CPC_PAGE_GB, nullptr, text), text);
}

// Walking backwards from every character boundary must find the boundaries that walking
// forwards found, whatever mix of single bytes and pairs the text holds.
TEST(Characters, PrevRetracesNextOverMixedText) {
    std::mt19937 random(7);
    for (int page : {CPC_PAGE_GB, CPC_PAGE_BIG5}) {
        for (int round = 0; round < 50; ++round) {
            std::string text;
            for (int i = 0; i < 40; ++i) {
                switch (random() % 3) {
                case 0:
                    text += static_cast<char>('a' + random() % 26);
                    break;
                default:
                    text += static_cast<char>(0xA1 + random() % 94);
                    text += static_cast<char>(page == CPC_PAGE_GB ? 0xA1 + random() % 94
                                                                  : 0x40 + random() % 63);
                }
            }
            std::vector<const char*> starts;
            for (const char* p = text.c_str(); *p; p = CPC_DBCSNext(page, p))
                starts.push_back(p);
            const char* end = text.c_str() + text.size();
            for (size_t i = starts.size(); i-- > 0;) {
                const char* after = i + 1 < starts.size() ? starts[i + 1] : end;
                ASSERT_EQ(CPC_DBCSPrev(page, text.c_str(), after), starts[i])
                    << "page " << page << " text offset " << (after - text.c_str());
            }
        }
    }
}

TEST(Characters, WordsAreDelimiterRunsLetterRunsOrOnePair) {
    CPC_SetCodePage(CPC_PAGE_GB);
    const char text[] = "hello, world";
    EXPECT_EQ(CPC_WordNext(CPC_PAGE_CURRENT, text), text + 5);
    EXPECT_EQ(CPC_WordNext(CPC_PAGE_CURRENT, text + 5), text + 7);
    EXPECT_EQ(CPC_WordNext(CPC_PAGE_CURRENT, text + 11), text + 12);
    EXPECT_EQ(CPC_WordPrev(CPC_PAGE_CURRENT, text, text + 12), text + 7);
    EXPECT_EQ(CPC_WordPrev(CPC_PAGE_CURRENT, text, text + 7), text + 5);
    EXPECT_EQ(CPC_WordPrev(CPC_PAGE_CURRENT, text, text + 5), text);

    const char chinese[] = "ab\xd6\xd0\xb9\xfa cd";
    EXPECT_EQ(CPC_WordNext(CPC_PAGE_CURRENT, chinese), chinese + 2);
    EXPECT_EQ(CPC_WordNext(CPC_PAGE_CURRENT, chinese + 2), chinese + 4);
    EXPECT_EQ(CPC_WordPrev(CPC_PAGE_CURRENT, chinese, chinese + 6), chinese + 4);
    EXPECT_EQ(CPC_WordPrev(CPC_PAGE_CURRENT, chinese, chinese + 4), chinese + 2);
    EXPECT_EQ(CPC_WordPrev(CPC_PAGE_CURRENT, chinese, chinese + 2), chinese);
}

TEST(Orders, FormulasOfBothPages) {
    EXPECT_EQ(CPC_DBCSToOrder(CPC_PAGE_GB, "\xa1\xa1"), 256);
    EXPECT_EQ(CPC_DBCSToOrder(CPC_PAGE_GB, "\xf7\xfe"), 8433);
    EXPECT_EQ(CPC_DBCSToOrder(CPC_PAGE_BIG5, "\xa1\x40"), 256);
    EXPECT_EQ(CPC_DBCSToOrder(CPC_PAGE_BIG5, "\xa1\x7e"), 318);
    EXPECT_EQ(CPC_DBCSToOrder(CPC_PAGE_BIG5, "\xa1\xa1"), 319);
    EXPECT_EQ(CPC_DBCSToOrder(CPC_PAGE_BIG5, "\xfe\xfe"), 15013);
    EXPECT_EQ(CPC_DBCSToOrder(CPC_PAGE_GB, "A"), 'A');
    EXPECT_EQ(CPC_DBCSToOrder(CPC_PAGE_ANSI, "\xd6\xd0"), 0xD6);
}

TEST(Orders, EveryOrderRoundTrips) {
    for (int page : {CPC_PAGE_GB, CPC_PAGE_BIG5}) {
        unsigned limit = page == CPC_PAGE_GB ? 9092 : 15014;
        for (unsigned order = 256; order < limit; ++order) {
            char pair[3] = {};
            ASSERT_EQ(CPC_OrderToDBCS(page, order, pair, sizeof pair), 2);
            ASSERT_EQ(CPC_DBCSNext(page, pair), pair + 2) << "order " << order;
            ASSERT_EQ(CPC_DBCSToOrder(page, pair), static_cast<int>(order));
        }
    }
}

TEST(Orders, OrderToCharacterRefusals) {
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(CPC_OrderToDBCS(CPC_PAGE_BIG5, 318, buffer, 4), 2);
    EXPECT_EQ(std::string(buffer, 3), std::string("\xa1\x7e\0", 3));
    EXPECT_EQ(CPC_OrderToDBCS(CPC_PAGE_BIG5, 319, buffer, 4), 2);
    EXPECT_STREQ(buffer, "\xa1\xa1");
    EXPECT_EQ(CPC_OrderToDBCS(CPC_PAGE_GB, 9092, buffer, 4), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(CPC_OrderToDBCS(CPC_PAGE_GB, 65, buffer, 4), 1);
    EXPECT_STREQ(buffer, "A");

    char exact[2] = {'x', 'x'};
    EXPECT_EQ(CPC_OrderToDBCS(CPC_PAGE_GB, 256, exact, 2), 2);
    EXPECT_EQ(std::string(exact, 2), "\xa1\xa1");
    char one[1] = {'x'};
    EXPECT_EQ(CPC_OrderToDBCS(CPC_PAGE_GB, 256, one, 1), 0);
    EXPECT_EQ(one[0], 'x');
    EXPECT_EQ(CPC_OrderToDBCS(CPC_PAGE_GB, 65, one, 1), 1);
    EXPECT_EQ(one[0], 'A');
    EXPECT_EQ(CPC_OrderToDBCS(CPC_PAGE_GB, 0x10000, buffer, 4), 0);
    EXPECT_EQ(CPC_OrderToDBCS(CPC_PAGE_GB, 65, nullptr, 4), 0);
}

int WINAPI collectNames(DBCSPageInfo* info, intptr_t user) {
    auto* names = reinterpret_cast<std::vector<std::string>*>(user);
    names->push_back(info->name);
    std::strcpy(info->name, "changed");
    return names->size() < 2 ? 1 : 0;
}

TEST(PageInfo, RecordsAndEnumeration) {
    DBCSPageInfo info{};
    ASSERT_EQ(CPC_GetDBCSPageInfo(CPC_PAGE_MIDDLE, &info, 0), 1);
    // Fields of the packed record are read by value (+), never bound to a reference.
    EXPECT_EQ(+info.pageId, 1);
    EXPECT_STREQ(info.name, "GB");
    EXPECT_EQ(+info.orderLimit, 9092);
    EXPECT_NE(+info.byteRanges, 0u);
    ASSERT_EQ(CPC_GetDBCSPageInfo(CPC_PAGE_BIG5, &info, 0), 1);
    EXPECT_EQ(+info.pageNumber, 2);
    EXPECT_EQ(+info.orderLimit, 15014);
    ASSERT_EQ(CPC_GetDBCSPageInfo(CPC_PAGE_ANSI, &info, 0), 1);
    EXPECT_STREQ(info.name, "ANSI");
    EXPECT_EQ(+info.orderLimit, 256);
    EXPECT_EQ(CPC_GetDBCSPageInfo(5, &info, 0), 0);
    EXPECT_EQ(CPC_GetDBCSPageInfo(CPC_PAGE_GB, nullptr, 0), 0);

    // The callback stops the enumeration by returning 0, and cannot change the table.
    std::vector<std::string> names;
    EXPECT_EQ(CPC_EnumDBCSPageInfo(collectNames, reinterpret_cast<intptr_t>(&names)), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"GB", "BIG5"}));
    ASSERT_EQ(CPC_GetDBCSPageInfo(CPC_PAGE_GB, &info, 0), 1);
    EXPECT_STREQ(info.name, "GB");
    EXPECT_EQ(CPC_EnumDBCSPageInfo(nullptr, 0), 3);

    short ids[5] = {};
    EXPECT_EQ(CPC_EnumDBCSCodePage(0, nullptr, 0), 3);
    EXPECT_EQ(CPC_EnumDBCSCodePage(1, ids, 5), 2);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], 0);
    EXPECT_EQ(CPC_EnumDBCSCodePage(0, ids, 2), 2);
    EXPECT_EQ(ids[0], 1);
    EXPECT_EQ(CPC_EnumDBCSCodePage(3, ids, 5), 0);
    EXPECT_EQ(CPC_EnumDBCSCodePage(-1, ids, 5), 0);
    EXPECT_EQ(CPC_EnumDBCSCodePage(0, ids, 0), 0);
}

TEST(FullWidth, LettersBothWaysOnEveryPage) {
    EXPECT_EQ(CPC_DBCSAlphaToAnsi(CPC_PAGE_GB, "\xa3\xc1"), 'A');
    EXPECT_EQ(CPC_DBCSAlphaToAnsi(CPC_PAGE_GB, "\xa1\xa1"), ' ');
    EXPECT_EQ(CPC_DBCSAlphaToAnsi(CPC_PAGE_GB, "\xd6\xd0"), 0);
    EXPECT_EQ(CPC_DBCSAlphaToAnsi(CPC_PAGE_GB, "\xa3"), 0);
    EXPECT_EQ(CPC_DBCSAlphaToAnsi(CPC_PAGE_GB, ""), 0);

    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(CPC_AnsiAlphaToDBCS(CPC_PAGE_GB, 'A', buffer, 3), 2);
    EXPECT_EQ(std::string(buffer, 4), std::string("\xa3\xc1\0x", 4));
    EXPECT_EQ(CPC_AnsiAlphaToDBCS(CPC_PAGE_BIG5, 'A', buffer, 3), 2);
    EXPECT_STREQ(buffer, "\xa2\xcf");
    EXPECT_EQ(CPC_AnsiAlphaToDBCS(CPC_PAGE_GB, 0x1F, buffer, 3), 0);
    EXPECT_EQ(CPC_AnsiAlphaToDBCS(CPC_PAGE_GB, 0x7F, buffer, 3), 0);
    EXPECT_EQ(CPC_AnsiAlphaToDBCS(CPC_PAGE_GB, 'A', buffer, 1), 0);

    // BIG5 has no full-width circumflex or grave accent; they become its space.
    for (int page : {CPC_PAGE_GB, CPC_PAGE_BIG5}) {
        for (int c = 0x20; c <= 0x7E; ++c) {
            if (page == CPC_PAGE_BIG5 && (c == '^' || c == '`')) continue;
            char pair[3];
            ASSERT_EQ(CPC_AnsiAlphaToDBCS(page, c, pair, sizeof pair), 2);
            EXPECT_EQ(CPC_DBCSAlphaToAnsi(page, pair), c) << "page " << page << " char " << c;
        }
    }
}

} // namespace
