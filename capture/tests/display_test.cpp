// The display switches with their screen refresh, and the glyph files the library needs to load.
#include "testutil.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A top-level window sees each refresh as a font change.
class Display : public testing::Test {
  protected:
    void SetUp() override {
        std::memcpy(&saved_, &record(), sizeof saved_);
        window_.record(WM_FONTCHANGE);
    }
    void TearDown() override {
        LXbActiveHZSYS(saved_.chineseDisplay);
        LXbSetSmallHZ(saved_.smallGlyphs);
        LXbSetDecode(saved_.decodeAutoCodePage, saved_.decodeMime, saved_.decodeHz,
                     saved_.decodeIso2022);
    }
    size_t refreshes() {
        testsupport::pumpFor(20);
        size_t count = window_.count(WM_FONTCHANGE);
        window_.clear();
        return count;
    }

    testsupport::MessageRecorder window_;
    CaptureShared saved_;
};

TEST_F(Display, DrawingSwitchesRefreshOnlyWhenTheyChange) {
    LXbActiveHZSYS(0);
    LXbSetSmallHZ(0);
    refreshes();
    EXPECT_EQ(LXbActiveHZSYS(1), 1);
    EXPECT_EQ(record().chineseDisplay, 1);
    EXPECT_EQ(refreshes(), 1u);
    EXPECT_EQ(LXbActiveHZSYS(1), 1);
    EXPECT_EQ(refreshes(), 0u);
    EXPECT_EQ(LXbSetSmallHZ(1), 1);
    EXPECT_EQ(record().smallGlyphs, 1);
    EXPECT_EQ(refreshes(), 1u);
    EXPECT_EQ(LXbSetTPChkStyle(2), 2);
    EXPECT_EQ(refreshes(), 1u);
}

TEST_F(Display, DecodeSwitchesAreStoredTogether) {
    LXbSetDecode(0, 0, 0, 0);
    refreshes();
    EXPECT_EQ(LXbSetDecode(0, 0, 0, 0), 0);
    EXPECT_EQ(refreshes(), 0u);
    EXPECT_NE(LXbSetDecode(1, 0, 1, 0), 0);
    EXPECT_EQ(refreshes(), 1u);
    int values[4] = {-1, -1, -1, -1};
    EXPECT_NE(LXbGetDecode(&values[0], &values[1], &values[2], &values[3]), 0);
    EXPECT_EQ(values[0], 1);
    EXPECT_EQ(values[1], 0);
    EXPECT_EQ(values[2], 1);
    EXPECT_EQ(values[3], 0);
    EXPECT_NE(LXbGetDecode(nullptr, nullptr, &values[0], nullptr), 0);
}

fs::path libraryPath() {
    char name[MAX_PATH];
    return std::string(name, GetModuleFileNameA(GetModuleHandleA("lxsys.dll"), name, MAX_PATH));
}

// A copy of the library in a directory of its own, with some of the glyph files beside it.
bool loadsWith(const std::vector<std::string>& glyphFiles) {
    fs::path library = libraryPath();
    fs::path directory = fs::temp_directory_path() / "lxsys-copy";
    fs::remove_all(directory);
    fs::create_directories(directory);
    fs::path copy = directory / "copy-lxsys.dll";
    fs::copy_file(library, copy);
    for (const std::string& file : glyphFiles)
        fs::copy_file(library.parent_path() / file, directory / file);
    HMODULE loaded = LoadLibraryA(copy.string().c_str());
    if (loaded) FreeLibrary(loaded);
    fs::remove_all(directory);
    return loaded != nullptr;
}

TEST(GlyphFiles, TheGbFileIsRequiredAndTheBig5FileOptional) {
    EXPECT_FALSE(loadsWith({}));
    EXPECT_TRUE(loadsWith({"DICT_GB.FNT"}));
    if (fs::exists(libraryPath().parent_path() / "DICT_B5.FNT")) {
        EXPECT_TRUE(loadsWith({"DICT_GB.FNT", "DICT_B5.FNT"}));
    }
}

} // namespace
