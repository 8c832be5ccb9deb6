// The amount and domain-name renderings.
#include "render.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

const std::string kRefused = "(refused)";

// GB2312 text spelt in ASCII: a digit is its capital numeral (壹 to 玖), Y 元, W 万, E 亿, S 拾,
// B 佰, Q 仟, J 角, F 分, L 零, Z 整.
std::string capitals(const std::string& spelling) {
    static const char* const digits[] = {"",         "\xd2\xbc", "\xb7\xa1", "\xc8\xfe",
                                         "\xcb\xc1", "\xce\xe9", "\xc2\xbd", "\xc6\xe2",
                                         "\xb0\xc6", "\xbe\xc1"};
    static const std::string units = "YWESBQJFLZ";
    static const char* const unitText[] = {"\xd4\xaa", "\xcd\xf2", "\xd2\xda", "\xca\xb0",
                                           "\xb0\xdb", "\xc7\xaa", "\xbd\xc7", "\xb7\xd6",
                                           "\xc1\xe3", "\xd5\xfb"};
    std::string text;
    for (char c : spelling)
        text += c >= '1' && c <= '9' ? digits[c - '0'] : unitText[units.find(c)];
    return text;
}

const std::string kAmountLabel = "\xbd\xf0\xb6\xee";      // 金额
const std::string kRmbLabel = "\xc8\xcb\xc3\xf1\xb1\xd2"; // 人民币
const std::string kDomainLabel = "\xd3\xf2\xc3\xfb";      // 域名
const std::string kWww = "\xcd\xf2\xce\xac\xcd\xf8";      // 万维网
const std::string kCom = "\xb9\xab\xcb\xbe";              // 公司
const std::string kCn = "\xd6\xd0\xb9\xfa";               // 中国
const std::string kBbs = "\xb9\xab\xb8\xe6\xb0\xe5";      // 公告板

std::string entry(const std::string& input, const std::string& label,
                  const std::string& rendering) {
    return input + "\x01" + label + "\x02" + rendering;
}

std::string amount(const std::string& query) {
    char out[256];
    return lxtran::renderAmount(query.c_str(), out, sizeof out) ? out : kRefused;
}

// The rendering alone, after the label.
std::string afterLabel(const std::string& text) {
    size_t separator = text.find('\x02');
    return separator == std::string::npos ? text : text.substr(separator + 1);
}

std::string capitalsOf(const std::string& query) {
    return afterLabel(amount(query));
}

std::string domain(const std::string& query) {
    char out[256];
    return lxtran::renderDomainName(query.c_str(), out, sizeof out) ? out : kRefused;
}

std::string domainRendering(const std::string& query) {
    return afterLabel(domain(query));
}

bool isGb2312(const char* text) {
    for (const auto* byte = reinterpret_cast<const unsigned char*>(text); *byte != 0; ++byte) {
        if (*byte < 0x80) continue;
        if (*byte < 0xA1 || *byte > 0xF7 || byte[1] < 0xA1 || byte[1] > 0xFE) return false;
        ++byte;
    }
    return true;
}

TEST(RenderAmount, WritesCapitalNumerals) {
    EXPECT_EQ(capitalsOf("1234.5"), capitals("1Q2B3S4Y5J"));
    EXPECT_EQ(capitalsOf("1001"), capitals("1QL1YZ"));
    EXPECT_EQ(capitalsOf("100"), capitals("1BYZ"));
    EXPECT_EQ(capitalsOf("10"), capitals("1SYZ"));
    EXPECT_EQ(capitalsOf("10000"), capitals("1WYZ"));
    EXPECT_EQ(capitalsOf("10.01"), capitals("1SYL1F"));
    EXPECT_EQ(capitalsOf("1.05"), capitals("1YL5F"));
    EXPECT_EQ(capitalsOf("0.05"), capitals("5F"));
    EXPECT_EQ(capitalsOf("0.5"), capitals("5J"));
    EXPECT_EQ(capitalsOf(".5"), capitals("5J"));
    EXPECT_EQ(capitalsOf("1.239"), capitals("1Y2J3F"));
    EXPECT_EQ(capitalsOf("1.001"), capitals("1YZ"));
}

TEST(RenderAmount, ZeroValueReadsZeroYuanWhole) {
    for (const char* zero : {"0", "000", "0.", "0.00", "RMB0"})
        EXPECT_EQ(capitalsOf(zero), capitals("LYZ")) << zero;
    // Not zero, but below one fen: only the whole mark is left.
    EXPECT_EQ(capitalsOf("0.001"), capitals("Z"));
}

TEST(RenderAmount, GroupOfFourZerosTakesNoUnit) {
    EXPECT_EQ(capitalsOf("100000000"), capitals("1EYZ"));
    EXPECT_EQ(capitalsOf("100010000"), capitals("1EL1WYZ"));
    EXPECT_EQ(capitalsOf("1000000000000"), capitals("1WEYZ"));
    EXPECT_EQ(capitalsOf("1000100000000"), capitals("1WL1EYZ"));
    EXPECT_EQ(capitalsOf("1000000010000"), capitals("1WEL1WYZ"));
    EXPECT_EQ(capitalsOf("00012"), capitals("1S2YZ"));
    EXPECT_EQ(capitalsOf("100000000.5"), capitals("1EY5J"));
    // The pending zero is cleared at the empty group's head.
    EXPECT_EQ(capitalsOf("100001000"), capitals("1E1QYZ"));
}

TEST(RenderAmount, WritesNumberLabelAndRendering) {
    EXPECT_EQ(amount("RMB1,000"), entry("1000", kRmbLabel, capitals("1QYZ")));
    EXPECT_EQ(amount("rmb5"), entry("5", kRmbLabel, capitals("5YZ")));
    EXPECT_EQ(amount("RmB5"), entry("5", kRmbLabel, capitals("5YZ")));
    EXPECT_EQ(amount("1,234.5"), entry("1234.5", kAmountLabel, capitals("1Q2B3S4Y5J")));
    EXPECT_EQ(amount("1.239"), entry("1.239", kAmountLabel, capitals("1Y2J3F")));
}

TEST(RenderAmount, NumberEndsAtFirstOtherByte) {
    EXPECT_EQ(amount("3d"), entry("3", kAmountLabel, capitals("3YZ")));
    EXPECT_EQ(amount("5.x"), entry("5.", kAmountLabel, capitals("5YZ")));
    EXPECT_EQ(amount("12 ab"), entry("12", kAmountLabel, capitals("1S2YZ")));
    EXPECT_EQ(amount("x5"), kRefused);
    EXPECT_EQ(amount("-5"), kRefused);
    EXPECT_EQ(amount("RMB 5"), kRefused);
}

TEST(RenderAmount, PeriodsMustSitByDigits) {
    EXPECT_EQ(amount("1.2.3"), kRefused);
    EXPECT_EQ(amount(".x"), kRefused);
    EXPECT_EQ(amount("."), kRefused);
    EXPECT_EQ(amount("x.5"), kRefused);
    EXPECT_EQ(amount("3d.5"), kRefused);
    EXPECT_EQ(amount("RMB.5"), kRefused);
    EXPECT_EQ(amount(".5"), entry(".5", kAmountLabel, capitals("5J")));
    EXPECT_EQ(amount("5."), entry("5.", kAmountLabel, capitals("5YZ")));
}

TEST(RenderAmount, NumberTextOfOneToFortyBytes) {
    EXPECT_EQ(amount(""), kRefused);
    EXPECT_EQ(amount("RMB"), kRefused);
    EXPECT_EQ(amount(",,"), kRefused);
    EXPECT_EQ(amount("7"), entry("7", kAmountLabel, capitals("7YZ")));
    // Bytes after the cut count towards the length; commas do not.
    EXPECT_EQ(amount("7" + std::string(39, 'x')), entry("7", kAmountLabel, capitals("7YZ")));
    EXPECT_EQ(amount("7" + std::string(40, 'x')), kRefused);
    EXPECT_EQ(amount("RMB7" + std::string(39, 'x')), entry("7", kRmbLabel, capitals("7YZ")));
    EXPECT_EQ(amount("7" + std::string(39, ',')), entry("7", kAmountLabel, capitals("7YZ")));
    std::string forty(40, '9');
    EXPECT_EQ(amount(forty).substr(0, 41), forty + "\x01");
    EXPECT_EQ(amount(forty + "9"), kRefused);
}

TEST(RenderAmount, OutputBoundedAndUntouchedWhenRefused) {
    char out[8];
    std::memset(out, '#', sizeof out);
    EXPECT_FALSE(lxtran::renderAmount("x", out, sizeof out));
    EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, '#'));
    ASSERT_TRUE(lxtran::renderAmount("1234", out, sizeof out));
    EXPECT_EQ(std::string(out), entry("1234", kAmountLabel, "").substr(0, 7));
    ASSERT_TRUE(lxtran::renderAmount("1234", out, 1));
    EXPECT_EQ(out[0], '\0');
    EXPECT_TRUE(lxtran::renderAmount("1234", out, 0));
}

TEST(RenderDomainName, NamesKnownLabels) {
    EXPECT_EQ(domain("www.xyz.com"), entry("www.xyz.com", kDomainLabel, kWww + ".xyz." + kCom));
    EXPECT_EQ(domainRendering("WWW.Xyz.CoM"), kWww + ".Xyz." + kCom);
    EXPECT_EQ(domainRendering("ftp.bbs.cn"),
              "\xce\xc4\xbc\xfe\xb4\xab\xca\xe4." + kBbs + "." + kCn);
    EXPECT_EQ(domainRendering("a.b.cn"), "a.b." + kCn);
}

TEST(RenderDomainName, RefusesWhatIsNoName) {
    EXPECT_EQ(domain(""), kRefused);
    EXPECT_EQ(domain("xyz.com"), kRefused);
    EXPECT_EQ(domain("www.x1z.com"), kRefused);
    EXPECT_EQ(domain("www.xyz.c-m"), kRefused);
    EXPECT_EQ(domain("www.xyz com.cn"), kRefused);
    EXPECT_EQ(domain("w1w.xyz.com"), kRefused);
    // The first byte is not tested.
    EXPECT_EQ(domainRendering("1ww.xyz.com"), "1ww.xyz." + kCom);
}

TEST(RenderDomainName, QueryOfAtMostSixtyThreeBytes) {
    std::string name = "www." + std::string(55, 'a') + ".com";
    ASSERT_EQ(name.size(), 63u);
    EXPECT_EQ(domainRendering(name), kWww + "." + std::string(55, 'a') + "." + kCom);
    EXPECT_EQ(domain("www." + std::string(56, 'a') + ".com"), kRefused);
}

TEST(RenderDomainName, LooksUpOnlyTheFourRightmostLabels) {
    EXPECT_EQ(domainRendering("www.ftp.bbs.xyz.cn.com"),
              "www.ftp." + kBbs + ".xyz." + kCn + "." + kCom);
}

TEST(RenderDomainName, KeepsAtMostEightLabels) {
    EXPECT_EQ(domainRendering("a.b.c.d.e.f.g.h"), "a.b.c.d.e.f.g.h");
    EXPECT_EQ(domainRendering("a.b.c.d.e.f.g.h.i"), "b.c.d.e.f.g.h.i");
    // Bytes left of the eighth label are neither tested nor kept.
    EXPECT_EQ(domainRendering("a1.cn.b.c.d.e.com.g.cn"), "cn.b.c.d.e." + kCom + ".g." + kCn);
}

TEST(RenderDomainName, EmptyAndLeadingLabels) {
    EXPECT_EQ(domainRendering("www.com."), kWww + "." + kCom);
    EXPECT_EQ(domainRendering("a..com"), "a.." + kCom);
    // A leading period drops the leftmost label.
    EXPECT_EQ(domainRendering(".www.xyz.com"), "xyz." + kCom);
}

TEST(RenderDomainName, OutputBoundedAndUntouchedWhenRefused) {
    char out[6];
    std::memset(out, '#', sizeof out);
    EXPECT_FALSE(lxtran::renderDomainName("a.b", out, sizeof out));
    EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, '#'));
    ASSERT_TRUE(lxtran::renderDomainName("a.b.c", out, sizeof out));
    EXPECT_STREQ(out, "a.b.c");
}

TEST(RenderDomainTable, LooksUpWholeLabelsIgnoringCase) {
    EXPECT_STREQ(lxtran::domainLabelName("Com", 3), kCom.c_str());
    EXPECT_STREQ(lxtran::domainLabelName("comx", 2),
                 "\xb8\xe7\xc2\xd7\xb1\xc8\xd1\xc7"); // 哥伦比亚
    EXPECT_STREQ(lxtran::domainLabelName("zw", 2), "\xbd\xf2\xb0\xcd\xb2\xbc\xce\xa4"); // 津巴布韦
    EXPECT_STREQ(lxtran::domainLabelName("STORE", 5),
                 "\xcf\xfa\xca\xdb\xc6\xf3\xd2\xb5"); // 销售企业
    EXPECT_EQ(lxtran::domainLabelName("comx", 4), nullptr);
    EXPECT_EQ(lxtran::domainLabelName("stores", 6), nullptr);
    EXPECT_EQ(lxtran::domainLabelName("", 0), nullptr);
}

TEST(RenderDomainTable, RowsAreDistinctLowerCaseKeysWithGbNames) {
    std::set<std::string> keys;
    for (const lxtran::DomainRow& row : lxtran::kDomainTable) {
        std::string key(row.key, strnlen(row.key, sizeof row.key));
        ASSERT_LT(key.size(), sizeof row.key);
        EXPECT_TRUE(!key.empty() &&
                    key.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos)
            << key;
        EXPECT_TRUE(keys.insert(key).second) << key;
        ASSERT_NE(std::memchr(row.name, '\0', sizeof row.name), nullptr) << key;
        EXPECT_TRUE(row.name[0] != '\0' && isGb2312(row.name)) << key;
    }
    EXPECT_EQ(keys.size(), lxtran::kDomainRowCount);
}

} // namespace
