// HZ, ISO-2022 and MIME decoding: the forms themselves, what the end of the source cuts off, and
// the bounds on source and destination.
#include "cpconv.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

enum class Form { Hz, Iso2022, Mime };

int decodeInto(Form form, bool switchOn, const char* source, char* dest, int len) {
    switch (form) {
    case Form::Hz:
        return CPC_DecodeHZCodeBuffer(source, dest, len, switchOn);
    case Form::Iso2022:
        return CPC_DecodeISO2022Buffer(source, dest, len, switchOn);
    case Form::Mime:
        return CPC_DecodeMIMEBuffer(source, dest, len);
    }
    return -1;
}

// The decoded text, checked to be NUL-terminated within the len + 4 bytes the caller gives.
std::string decode(Form form, const std::string& source, bool switchOn = false) {
    const int len = static_cast<int>(source.size());
    std::string out(source.size() + 4, '\x55');
    int written = decodeInto(form, switchOn, source.data(), out.data(), len);
    EXPECT_GE(written, 0);
    EXPECT_LT(written, len + 4);
    if (written < 0 || written >= len + 4) return {};
    EXPECT_EQ(out[written], '\0');
    out.resize(static_cast<size_t>(written));
    return out;
}

std::string hz(const std::string& source, bool keepEscapes = false) {
    return decode(Form::Hz, source, keepEscapes);
}
std::string iso(const std::string& source, bool markEscapes = false) {
    return decode(Form::Iso2022, source, markEscapes);
}
std::string mime(const std::string& source) {
    return decode(Form::Mime, source);
}

// Every test starts and ends with GB current.
class Decode : public testing::Test {
  protected:
    void SetUp() override { CPC_SetCodePage(CPC_PAGE_GB); }
    void TearDown() override { CPC_SetCodePage(CPC_PAGE_GB); }
};

TEST_F(Decode, HzSectionsBecomeGbPairs) {
    EXPECT_EQ(hz("ab~{0!~}cd"), "ab\xb0\xa1"
                                "cd");
    EXPECT_EQ(hz("ab~{0!~}cd", true), "ab~{\xb0\xa1~}cd");
    // "{~" opens too and is kept as "~{"; "~~" is no escape.
    EXPECT_EQ(hz("{~0!~}", true), "~{\xb0\xa1~}");
    EXPECT_EQ(hz("a~~b"), "a~~b");
    // A lone "}" closes and swallows the byte after it.
    EXPECT_EQ(hz("~{0!}cd"), "\xb0\xa1"
                             "d");
    // Outside a section "}" is plain text.
    EXPECT_EQ(hz("a}b"), "a}b");
}

TEST_F(Decode, HzSoftLineEndFollowsOnlyAClosing) {
    EXPECT_EQ(hz("~{0!~}~\nx"), "\xb0\xa1\nx");
    EXPECT_EQ(hz("~{0!~}~\r\n", true), "~{\xb0\xa1~}~\r\n");
    EXPECT_EQ(hz("a~\nb"), "a~\nb");
    // At the very end of the source there is no line end to see.
    EXPECT_EQ(hz("~{0!~}~"), "\xb0\xa1~");
}

TEST_F(Decode, HzSectionHoldingEightBitGbPassesItsPairs) {
    // The first byte above 0xA0 switches the section to 8-bit: pairs pass, others go singly.
    EXPECT_EQ(hz("~{\xb0\xa1"
                 "ab\xd6\xd0~}"),
              "\xb0\xa1"
              "ab\xd6\xd0");
    // A new section starts 7-bit again.
    EXPECT_EQ(hz("~{\xb0\xa1~}~{0!~}"), "\xb0\xa1\xb0\xa1");
}

TEST_F(Decode, HzStopsAtNulAndLen) {
    const char text[] = "ab\0cd";
    std::string out(16, 'x');
    EXPECT_EQ(CPC_DecodeHZCodeBuffer(text, out.data(), 5, 0), 2);
    EXPECT_STREQ(out.c_str(), "ab");
    // Only len bytes are read: the section's pair lies beyond it and "0" is copied singly.
    EXPECT_EQ(CPC_DecodeHZCodeBuffer("~{0!~}", out.data(), 3, 0), 1);
    EXPECT_STREQ(out.c_str(), "0");
    // A pair whose second byte is the NUL is copied as its one byte.
    const char cut[] = "~{0\0!";
    EXPECT_EQ(CPC_DecodeHZCodeBuffer(cut, out.data(), 6, 0), 1);
    EXPECT_STREQ(out.c_str(), "0");
}

TEST_F(Decode, HzCutEndings) {
    EXPECT_EQ(hz("~{0"), "0");
    EXPECT_EQ(hz("~{0!\xb0"), "\xb0\xa1\xb0");
    EXPECT_EQ(hz("ab~"), "ab~");
    EXPECT_EQ(hz("ab{"), "ab{");
    // A closing "}" at the last byte moves one on, not two.
    EXPECT_EQ(hz("~{0!}", true), "~{\xb0\xa1~}");
}

TEST_F(Decode, Iso2022ShiftOutRuns) {
    const std::string designate = "\x1b$)A";
    EXPECT_EQ(iso(designate + "\x0e"
                              "0!\x0f"),
              "\xb0\xa1");
    EXPECT_EQ(iso(designate + "\x0e"
                              "0!\x0f",
                  true),
              "[]\xb0\xa1");
    // Bytes up to 0x20 pass singly inside the run; text after shift in is plain again.
    EXPECT_EQ(iso("\x0e"
                  "0! 0!\x0f"
                  "ab\r\n"),
              "\xb0\xa1 \xb0\xa1"
              "ab\n");
}

TEST_F(Decode, Iso2022DesignatedRuns) {
    EXPECT_EQ(iso("\x1b$A0!\x1b(Bz"), "\xb0\xa1z");
    EXPECT_EQ(iso("\x1b$A0!\x1b(B", true), "[\xb0\xa1]");
    EXPECT_EQ(iso("\x1b$(A0!\x1b(B"), "\xb0\xa1");
    // ESC "K" pairs end at the next ESC, whose following bytes are plain input.
    EXPECT_EQ(iso("\x1bK0!\x1bxy"), "\xb0\xa1xy");
    // Other escape sequences vanish with their second byte.
    EXPECT_EQ(iso("a\x1b(Bb"), "aBb");
    EXPECT_EQ(iso("a\x1bNb", true), "a[]b");
    // 8-bit text passes in pairs.
    EXPECT_EQ(iso("\xd6\xd0\r\xb9\xfa"), "\xd6\xd0\xb9\xfa");
}

TEST_F(Decode, Iso2022CutEndings) {
    EXPECT_EQ(iso("a\x1b", true), "a[]");
    EXPECT_EQ(iso("a\x1b$"), "a");
    EXPECT_EQ(iso("a\x1b$)"), "a");
    EXPECT_EQ(iso("\x1b$A0!0", true), "[\xb0\xa1"
                                      "0]");
    EXPECT_EQ(iso("\x1b$A0!\x1b("), "\xb0\xa1");
    EXPECT_EQ(iso("\x0e"
                  "0!0"),
              "\xb0\xa1"
              "0");
    EXPECT_EQ(iso("\x1bK0"), "0");
    EXPECT_EQ(iso("a\xb0"), "a\xb0");
}

TEST_F(Decode, GbPairsComeOutInBig5WhenBig5IsCurrent) {
    CPC_SetCodePage(CPC_PAGE_BIG5);
    EXPECT_EQ(hz("ab~{0!~}cd"), "ab\xb0\xda"
                                "cd");
    // A2 B1 has no BIG5 form: the BIG5 space stands for it.
    EXPECT_EQ(hz("~{\"1~}"), "\xa1\x40");
    EXPECT_EQ(hz("~{\xd6\xd0~}"), "\xa4\xa4");
    EXPECT_EQ(iso("\x1b$)A\x0e"
                  "0!\x0f"),
              "\xb0\xda");
    EXPECT_EQ(iso("\x1b$A0!\x1b(B"), "\xb0\xda");
    // ESC "K" runs and 8-bit text outside runs are not converted, nor is MIME output.
    EXPECT_EQ(iso("\x1bK0!\x1b"), "\xb0\xa1");
    EXPECT_EQ(iso("\xb0\xa1"), "\xb0\xa1");
    EXPECT_EQ(mime("=?gb2312?B?xOO6ww==?="), "\xc4\xe3\xba\xc3");
}

TEST_F(Decode, MimeEncodedWords) {
    EXPECT_EQ(mime("=?gb2312?B?xOO6ww==?="), "\xc4\xe3\xba\xc3");
    EXPECT_EQ(mime("=?x?Q?=C4=E3_a?="), "\xc4\xe3_a");
    EXPECT_EQ(mime("Re: =?GB2312?b?xOO6ww==?= ok"), "Re: \xc4\xe3\xba\xc3 ok");
    EXPECT_EQ(mime("=?x?q?=c4=e3?="), "\xc4\xe3");
    // A lone "=" between groups is skipped.
    EXPECT_EQ(mime("=?x?B?xOO6=ww==?="), "\xc4\xe3\xba\xc3");
    // An unknown letter, or a letter not followed by "?", drops the header.
    EXPECT_EQ(mime("=?x?X?abc"), "abc");
    EXPECT_EQ(mime("=?x?Bab"), "ab");
    // In quoted-printable text, "=" before anything but two hex digits ends the word.
    EXPECT_EQ(mime("=?x?Q?a=zb"), "azb");
}

TEST_F(Decode, MimePlainText) {
    EXPECT_EQ(mime("a=b"), "ab");
    EXPECT_EQ(mime("no equals\r\nhere\r\n"), "no equals\nhere\n");
    EXPECT_EQ(mime("\xd6=\xd0"), "\xd6=\xd0");
}

TEST_F(Decode, MimeCutEndings) {
    // A final group short of characters counts as padded.
    EXPECT_EQ(mime("=?x?B?xOO6ww"), "\xc4\xe3\xba\xc3");
    EXPECT_EQ(mime("=?x?B?xOO6w7"), "\xc4\xe3\xba\xc3");
    EXPECT_EQ(mime("=?x?B?xOO6w"), "\xc4\xe3\xba");
    // So does one that "?=" cuts short, and the text after the word stays plain.
    EXPECT_EQ(mime("=?x?B?xOO6ww?= ok"), "\xc4\xe3\xba\xc3 ok");
    EXPECT_EQ(mime("=?x?B?xOO6w?=ok"), "\xc4\xe3\xba"
                                       "ok");
    EXPECT_EQ(mime("=?x?Q?=C4=E"), "\xc4"
                                   "E");
    EXPECT_EQ(mime("a="), "a=");
    EXPECT_EQ(mime("a=?gb2312"), "a");
    EXPECT_EQ(mime("a=?gb2312?"), "a");
    EXPECT_EQ(mime("a=?gb2312?B"), "a");
    EXPECT_EQ(mime("a\xd6"), "a\xd6");
}

TEST_F(Decode, EmptyOrNegativeLengthWritesOnlyTheNul) {
    for (int len : {0, -1, -100}) {
        for (Form form : {Form::Hz, Form::Iso2022, Form::Mime}) {
            char out[4] = {'x', 'x', 'x', 'x'};
            EXPECT_EQ(decodeInto(form, true, "abc", out, len), 0);
            EXPECT_EQ(out[0], '\0');
            EXPECT_EQ(out[1], 'x');
        }
    }
}

// Base64 as a sender writes it, to check the decoder against.
std::string base64(const std::string& bytes) {
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        unsigned group = static_cast<uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 2]);
        out += alphabet[group >> 18];
        out += alphabet[group >> 12 & 63];
        out += i + 1 < bytes.size() ? alphabet[group >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? alphabet[group & 63] : '=';
    }
    return out;
}

TEST_F(Decode, EncodedRandomTextComesBack) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 40, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        EXPECT_EQ(mime("=?gb2312?B?" + base64(bytes) + "?="), bytes);

        // GB characters, 7-bit in an HZ section and in an ISO-2022 shift-out run.
        std::string gb, sevenBit;
        for (int i = random() % 20; i > 0; --i) {
            char lead = static_cast<char>(0xB0 + random() % 0x48);
            char trail = static_cast<char>(0xA1 + random() % 94);
            gb += {lead, trail};
            sevenBit += {static_cast<char>(lead & 0x7F), static_cast<char>(trail & 0x7F)};
        }
        EXPECT_EQ(hz("x~{" + sevenBit + "~}y"), "x" + gb + "y");
        EXPECT_EQ(iso("x\x1b$)A\x0e" + sevenBit + "\x0fy"), "x" + gb + "y");
    }
}

// Text made mostly of the bytes the decoders act on, so that every path is taken.
std::string randomText(std::mt19937& random, size_t length) {
    static const char kSpecial[] = "~{}\x1b$()AK\x0e\x0f=?BQbq_\r\n0!\xb0\xa1";
    std::string text(length, '\0');
    for (char& c : text)
        c = random() % 4 == 0 ? static_cast<char>(random())
                              : kSpecial[random() % (sizeof kSpecial - 1)];
    return text;
}

// Every decoder, switch and page, on random text: the output and its NUL stay within len + 4
// bytes (guard bytes after them stay untouched), and no byte past len is read (what follows the
// source cannot change the result).
TEST_F(Decode, StaysWithinSourceAndDestination) {
    constexpr size_t kGuard = 16;
    std::mt19937 random(11);
    for (int round = 0; round < 4000; ++round) {
        const size_t len = random() % 48;
        std::string source = randomText(random, len + 8);
        std::string otherTail = source.substr(0, len) + randomText(random, 8);
        const Form form = static_cast<Form>(round % 3);
        const bool switchOn = round / 3 % 2 != 0;
        CPC_SetCodePage(round / 6 % 2 ? CPC_PAGE_BIG5 : CPC_PAGE_GB);

        std::vector<char> first(len + 4 + kGuard, '\x5a');
        std::vector<char> second(len + 4 + kGuard, '\x5a');
        int written =
            decodeInto(form, switchOn, source.data(), first.data(), static_cast<int>(len));
        int again =
            decodeInto(form, switchOn, otherTail.data(), second.data(), static_cast<int>(len));
        ASSERT_GE(written, 0);
        ASSERT_LT(written, static_cast<int>(len) + 4);
        ASSERT_EQ(first[static_cast<size_t>(written)], '\0');
        for (size_t i = len + 4; i < first.size(); ++i)
            ASSERT_EQ(first[i], '\x5a')
                << "guard byte " << i - len - 4 << " written, round " << round;
        ASSERT_EQ(again, written) << "round " << round;
        ASSERT_EQ(std::memcmp(first.data(), second.data(), static_cast<size_t>(written)), 0)
            << "round " << round;
    }
}

} // namespace
