#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "glyphfiles.h"
#include "unifont.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace lexora::glyphs;
using Bytes = std::vector<uint8_t>;

Unifont fontOf(const std::string& text) {
    std::istringstream in(text);
    return Unifont::read(in, "test.hex");
}

// The message with which reading `text` is refused, or "" when it is accepted.
std::string refusalOf(const std::string& text) {
    try {
        fontOf(text);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

Bytes readBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A character's bitmap as unifont.hex spells it, found by a plain scan of the file.
Bytes unifontBitmap(char32_t ch) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%04X:", static_cast<unsigned>(ch));
    std::ifstream file(UNIFONT_HEX_PATH);
    for (std::string line; std::getline(file, line);) {
        if (!line.starts_with(prefix)) continue;
        Bytes bitmap;
        for (size_t i = std::string(prefix).size(); i + 1 < line.size(); i += 2)
            bitmap.push_back(static_cast<uint8_t>(std::stoi(line.substr(i, 2), nullptr, 16)));
        return bitmap;
    }
    return {};
}

Bytes glyphAt(const Bytes& file, size_t index) {
    const auto start = file.begin() + static_cast<std::ptrdiff_t>(32 * index);
    return Bytes(start, start + 32);
}

size_t gbIndex(uint8_t lead, uint8_t trail) {
    return (lead - 0xA1) * 94 + (trail - 0xA1);
}

size_t big5Index(uint8_t lead, uint8_t trail) {
    const size_t column = trail <= 0x7E ? trail - 0x40 : trail - 0xA1 + 63;
    return (lead - 0xA1) * 157 + column;
}

// Runs lxglyphs with the arguments, its standard error into `errors`; its exit code.
int runGenerator(std::vector<std::string> args, const fs::path& errors) {
    args.insert(args.begin(), LXGLYPHS_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

constexpr char kNarrowA[] = "0041:00000000183C66C3C3FFC3C3C3C30000\n";

TEST(Unifont, ReadsNarrowAndWideGlyphs) {
    const Unifont font =
        fontOf(std::string(kNarrowA) + "\r\n" + "4e00:" + std::string(28, '0') + "fffe" +
               std::string(32, '0') + "\r\n10FFFD:" + std::string(32, 'F'));
    ASSERT_EQ(font.size(), 3u);
    const UnifontGlyph* a = font.find(U'A');
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->wide);
    EXPECT_EQ(a->bytes[4], 0x18);
    const UnifontGlyph* one = font.find(0x4E00);
    ASSERT_NE(one, nullptr);
    EXPECT_TRUE(one->wide);
    EXPECT_EQ(one->bytes[14], 0xFF);
    EXPECT_EQ(one->bytes[15], 0xFE);
    EXPECT_NE(font.find(0x10FFFD), nullptr);
    EXPECT_EQ(font.find(U'B'), nullptr);
}

TEST(Unifont, RefusesMalformedLinesNamingThem) {
    const std::string bits32(32, '0');
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {std::string(kNarrowA) + "0042:0000\n", "test.hex:2: the bitmap has 4 digits"},
        {"0042:" + std::string(48, '0'), "test.hex:1: the bitmap has 48 digits"},
        {"0042:" + std::string(31, '0') + "G", "the bitmap is not hexadecimal"},
        {"0042" + bits32, "expected CODEPOINT:BITMAP"},
        {"042:" + bits32, "the code point is not 4 to 6 hexadecimal digits"},
        {"00000042:" + bits32, "the code point is not 4 to 6"},
        {"110000:" + bits32, "beyond U+10FFFF"},
        {std::string(kNarrowA) + kNarrowA, "test.hex:2: the code point is listed twice"},
        {std::string(100000, '0'), "test.hex:1: the line is longer than 72 characters"},
        {std::string(kNarrowA) + "0042:" + bits32 + std::string(40, '0') + "\n",
         "test.hex:2: the line is longer"},
        {"", "test.hex: no glyphs"},
        {"\n\r\n", "test.hex: no glyphs"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_NE(refusalOf(text).find(message), std::string::npos)
            << "input " << text.substr(0, 80) << " gave: " << refusalOf(text);
}

TEST(CellGlyph, PlacesEachKindOfGlyph) {
    const Unifont font =
        fontOf("0041:" + std::string(30, '0') + "81\n" + "2500:" + std::string(30, '0') + "81\n" +
               "4E00:" + std::string(60, '0') + "1234\n");
    const CellGlyph centred = cellGlyphOf(font, U'A');
    EXPECT_EQ(centred.rows[15][0], 0x08);
    EXPECT_EQ(centred.rows[15][1], 0x10);
    EXPECT_EQ(centred.rows[0][0] | centred.rows[0][1], 0);

    const CellGlyph filled = cellGlyphOf(font, 0x2500);
    EXPECT_EQ(filled.rows[15][0], 0xC0);
    EXPECT_EQ(filled.rows[15][1], 0x03);

    const CellGlyph wide = cellGlyphOf(font, 0x4E00);
    EXPECT_EQ(wide.rows[15][0], 0x12);
    EXPECT_EQ(wide.rows[15][1], 0x34);

    const CellGlyph absent = cellGlyphOf(font, 0x4E01);
    for (const auto& row : absent.rows)
        EXPECT_EQ(row[0] | row[1], 0);
}

TEST(PhoneticTable, RefusesAFontWithoutNarrowPhoneticGlyphs) {
    std::string text;
    for (const char32_t ch : kPhoneticChars) {
        char line[16];
        std::snprintf(line, sizeof line, "%04X:", static_cast<unsigned>(ch));
        const bool wide = ch == 0x0283;
        text += line + std::string(wide ? 64 : 32, '1') + "\n";
    }
    try {
        phoneticTableOf(fontOf(text));
        ADD_FAILURE() << "a wide glyph of U+0283 was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("U+0283"), std::string::npos) << error.what();
    }
    EXPECT_THROW(phoneticTableOf(fontOf(kNarrowA)), std::runtime_error);
}

// The generator run twice on the real Unifont, into two directories.
class Generated : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("lxglyphs-test-" + std::to_string(getpid()));
        fs::create_directories(root_);
        for (const char* run : {"first", "second"})
            exitCodes_.push_back(
                runGenerator({"--unifont", UNIFONT_HEX_PATH, "--out", (root_ / run).string()},
                             root_ / "errors.txt"));
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }

    static Bytes file(const char* name) { return readBytes(root_ / "first" / name); }

    static inline fs::path root_;
    static inline std::vector<int> exitCodes_;
};

TEST_F(Generated, WritesFilesOfTheExactSizesTheSameEachRun) {
    ASSERT_EQ(exitCodes_, (std::vector<int>{0, 0}));
    const struct {
        const char* name;
        size_t size;
    } files[] = {{"DICT_GB.FNT", 282752}, {"DICT_B5.FNT", 472256}, {"PHONETIC.GLY", 176}};
    for (const auto& [name, size] : files) {
        const Bytes first = file(name);
        EXPECT_EQ(first.size(), size) << name;
        EXPECT_TRUE(first == readBytes(root_ / "second" / name)) << name << " differs";
    }
}

TEST_F(Generated, PlacesEachCharacterAtItsOrderNumber) {
    const Bytes gb = file("DICT_GB.FNT");
    const Bytes big5 = file("DICT_B5.FNT");
    ASSERT_EQ(gb.size(), 32 * kGbGlyphs);
    ASSERT_EQ(big5.size(), 32 * kBig5Glyphs);
    EXPECT_EQ(gbIndex(0xB0, 0xA1) * 32, 45120u);
    EXPECT_EQ(glyphAt(gb, gbIndex(0xB0, 0xA1)), unifontBitmap(0x554A));     // 啊
    EXPECT_EQ(glyphAt(gb, gbIndex(0xF7, 0xFE)), unifontBitmap(0x9F44));     // 齄, the last
    EXPECT_EQ(glyphAt(big5, big5Index(0xA4, 0xA4)), unifontBitmap(0x4E2D)); // 中
    EXPECT_EQ(glyphAt(big5, big5Index(0xA4, 0x40)), unifontBitmap(0x4E00)); // 一
    EXPECT_EQ(glyphAt(big5, big5Index(0xF9, 0xD5)), unifontBitmap(0x9F98)); // 龘
}

TEST_F(Generated, LeavesPositionsWithoutACharacterEmpty) {
    const Bytes gb = file("DICT_GB.FNT");
    const Bytes big5 = file("DICT_B5.FNT");
    ASSERT_EQ(gb.size(), 32 * kGbGlyphs);
    ASSERT_EQ(big5.size(), 32 * kBig5Glyphs);
    const Bytes empty(32, 0);
    EXPECT_EQ(glyphAt(gb, gbIndex(0xA2, 0xA1)), empty);     // before ⒈ in row 2
    EXPECT_EQ(glyphAt(gb, gbIndex(0xF8, 0xA1)), empty);     // past the last row
    EXPECT_EQ(glyphAt(big5, big5Index(0xFA, 0x40)), empty); // user-defined rows
    EXPECT_EQ(glyphAt(big5, big5Index(0xFE, 0xFE)), empty);
    EXPECT_NE(glyphAt(gb, gbIndex(0xA6, 0xA1)), empty); // Α, narrow in Unifont
}

TEST_F(Generated, PhoneticTableHoldsUnifontsNarrowGlyphs) {
    Bytes expected;
    for (const char32_t ch : kPhoneticChars) {
        const Bytes bitmap = unifontBitmap(ch);
        ASSERT_EQ(bitmap.size(), 16u) << std::hex << static_cast<unsigned>(ch);
        expected.insert(expected.end(), bitmap.begin(), bitmap.end());
    }
    EXPECT_EQ(file("PHONETIC.GLY"), expected);
}

TEST(Generator, RefusesAMissingOrMalformedFont) {
    const fs::path root =
        fs::temp_directory_path() / ("lxglyphs-refusal-" + std::to_string(getpid()));
    fs::create_directories(root);
    const fs::path errors = root / "errors.txt";
    const auto messageOf = [&] {
        const Bytes text = readBytes(errors);
        return std::string(text.begin(), text.end());
    };

    EXPECT_EQ(runGenerator(
                  {"--unifont", (root / "missing.hex").string(), "--out", (root / "out").string()},
                  errors),
              1);
    EXPECT_NE(messageOf().find("lxglyphs: cannot read"), std::string::npos) << messageOf();

    std::ofstream(root / "odd.hex") << kNarrowA << "0042:" << std::string(33, '0') << "\n";
    EXPECT_EQ(
        runGenerator({"--unifont", (root / "odd.hex").string(), "--out", (root / "out").string()},
                     errors),
        1);
    EXPECT_NE(messageOf().find("odd.hex:2: the bitmap has 33 digits"), std::string::npos)
        << messageOf();

    EXPECT_EQ(runGenerator({"--unifont"}, errors), 2);
    EXPECT_FALSE(fs::exists(root / "out"));
    fs::remove_all(root);
}

} // namespace
