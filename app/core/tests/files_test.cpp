// The module directory, the file-name rule and the phonetic glyph table.
#include "core/files.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace lexora {
namespace {

TEST(Files, ModuleDirectoryIsThatOfTheRunningProgram) {
    setModuleDirectory();
    std::string directory = moduleDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '\\');
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    EXPECT_EQ(std::string(program).rfind(directory, 0), 0u);
    EXPECT_EQ(std::strchr(program + directory.size(), '\\'), nullptr);
}

TEST(Files, NamesWithAColonAreUsedAsTheyAre) {
    char path[260];
    resolveFileName("History.HIS", path, sizeof path);
    EXPECT_EQ(std::string(path), std::string(moduleDirectory()) + "History.HIS");
    resolveFileName("D:\\words\\History.HIS", path, sizeof path);
    EXPECT_STREQ(path, "D:\\words\\History.HIS");
    resolveFileName("E:relative.HIS", path, sizeof path);
    EXPECT_STREQ(path, "E:relative.HIS");
    EXPECT_EQ(std::string(settingsFilePath()), std::string(moduleDirectory()) + "LEXORA.INI");
}

TEST(Files, ResolvedNameIsCutToFit) {
    char path[8];
    resolveFileName("C:\\a\\very\\long\\name", path, sizeof path);
    EXPECT_STREQ(path, "C:\\a\\ve");
    char tiny[1] = {'x'};
    resolveFileName("name", tiny, sizeof tiny);
    EXPECT_EQ(tiny[0], '\0');
}

bool glyphsAreBlank() {
    for (char c : std::string("/0123456789")) {
        const unsigned char* rows = phoneticGlyph(c);
        for (int row = 0; row < 16; ++row) {
            if (rows[row] != 0) return false;
        }
    }
    return true;
}

TEST(PhoneticGlyphs, OnlyPhoneticCharactersHaveGlyphs) {
    EXPECT_NE(phoneticGlyph('/'), nullptr);
    EXPECT_NE(phoneticGlyph('9'), nullptr);
    EXPECT_EQ(phoneticGlyph('.'), nullptr);
    EXPECT_EQ(phoneticGlyph(':'), nullptr);
    EXPECT_EQ(phoneticGlyph('a'), nullptr);
    EXPECT_EQ(phoneticGlyph('\xB0'), nullptr);
}

TEST(PhoneticGlyphs, ResourceOfAnotherSizeOrNoneLeavesThemBlank) {
    HMODULE wrongSize =
        LoadLibraryExA("appcore_test_glyphs.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(wrongSize, nullptr);
    loadPhoneticGlyphs(wrongSize);
    FreeLibrary(wrongSize);
    EXPECT_TRUE(glyphsAreBlank());

    loadPhoneticGlyphs(GetModuleHandleA("cpconv.dll"));
    EXPECT_TRUE(glyphsAreBlank());
}

TEST(PhoneticGlyphs, ProgramResourceFillsTheTable) {
    HANDLE file = CreateFileA(test::hostPath(LEXORA_PHONETIC_GLYPHS_FILE).c_str(), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    unsigned char expected[176];
    DWORD read = 0;
    ReadFile(file, expected, sizeof expected, &read, nullptr);
    CloseHandle(file);
    ASSERT_EQ(read, sizeof expected);

    loadPhoneticGlyphs();
    EXPECT_EQ(std::memcmp(phoneticGlyph('/'), expected, 16), 0);
    EXPECT_EQ(std::memcmp(phoneticGlyph('0'), expected + 16, 16), 0);
    EXPECT_EQ(std::memcmp(phoneticGlyph('9'), expected + 160, 16), 0);
    EXPECT_FALSE(glyphsAreBlank());
}

} // namespace
} // namespace lexora
