#include "csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lexora::csv {
namespace {

using Fields = std::vector<std::string>;

std::vector<Fields> readAll(std::string_view text) {
    CsvReader reader(text);
    std::vector<Fields> records;
    Fields fields;
    while (reader.next(fields))
        records.push_back(fields);
    return records;
}

TEST(CsvReader, SplitsRecordsAndKeepsEmptyFields) {
    const auto records = readAll("a,b,,\nc,d\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (Fields{"a", "b", "", ""}));
    EXPECT_EQ(records[1], (Fields{"c", "d"}));
}

TEST(CsvReader, QuotedFieldsHoldSeparatorsQuotesAndLineBreaks) {
    const auto records = readAll("w,\"x, \"\"y\"\"\nz\",last\nnext,\"\"\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (Fields{"w", "x, \"y\"\nz", "last"}));
    EXPECT_EQ(records[1], (Fields{"next", ""}));
}

TEST(CsvReader, CrlfEndsRecordsButStaysInsideQuotes) {
    const auto records = readAll("a,b\r\n\"c\r\n\",d\r\ne");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], (Fields{"a", "b"}));
    EXPECT_EQ(records[1], (Fields{"c\r\n", "d"}));
    EXPECT_EQ(records[2], (Fields{"e"}));
}

TEST(CsvReader, UnterminatedQuoteTakesTheRest) {
    const auto records = readAll("a,\"b,c\nd");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], (Fields{"a", "b,c\nd"}));
}

TEST(CsvReader, PositionCountsTheBytesRead) {
    CsvReader reader("ab,c\nd\n");
    Fields fields;
    EXPECT_EQ(reader.position(), 0u);
    reader.next(fields);
    EXPECT_EQ(reader.position(), 5u);
    reader.next(fields);
    EXPECT_EQ(reader.position(), 7u);
}

TEST(UnescapeLineBreaks, TurnsEscapesIntoLineFeeds) {
    EXPECT_EQ(unescapeLineBreaks("n. a\\nv. b\\r\\nc"), "n. a\nv. b\nc");
    EXPECT_EQ(unescapeLineBreaks("end\\"), "end\\");
    EXPECT_EQ(unescapeLineBreaks("\\t"), "\\t");
}

} // namespace
} // namespace lexora::csv
