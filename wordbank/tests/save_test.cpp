// Saving replaces the file completely or not at all, and changes survive the end of the process.
#include "safefile.h"
#include "testutil.h"

#include "wordbank.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

const std::string kOldContent = "[User Lib Text]\r\n\"old\",\"\",\"content\"\r\n";

class SaveTest : public testing::Test {
  protected:
    void SetUp() override { writeBytes(file_, kOldContent); }

    ScratchDir dir_;
    std::string file_ = dir_.file("user.txt");
};

TEST_F(SaveTest, CompleteContentReplacesTheFile) {
    EXPECT_TRUE(wordbank::replaceFileContent(
        file_.c_str(), [](std::FILE* out) { return std::fputs("new", out) >= 0; }));
    EXPECT_EQ(readBytes(file_), "new");
    EXPECT_FALSE(fs::exists(file_ + ".tmp"));
}

TEST_F(SaveTest, FailureHalfwayLeavesTheOldFile) {
    EXPECT_FALSE(wordbank::replaceFileContent(file_.c_str(), [](std::FILE* out) {
        std::fputs("half of the new cont", out);
        return false;
    }));
    EXPECT_EQ(readBytes(file_), kOldContent);
    EXPECT_FALSE(fs::exists(file_ + ".tmp"));
}

TEST_F(SaveTest, UnwritableTemporaryFileLeavesTheOldFile) {
    fs::create_directory(file_ + ".tmp");
    ASSERT_EQ(WBK_Open(file_.c_str()), 1);
    ASSERT_EQ(WBK_AddRecord(packed({"new", "", "record"}).c_str()), 1);
    EXPECT_EQ(WBK_Close(), 1);
    EXPECT_EQ(readBytes(file_), kOldContent);
}

#ifndef _WIN32
// The file size limit makes the writes of the temporary file fail after its first bytes.
TEST_F(SaveTest, WriteErrorWhileSavingLeavesTheOldFile) {
    ASSERT_EQ(runPeer({"save-with-limit", file_, "300"}), 0);
    EXPECT_EQ(readBytes(file_), kOldContent);
    EXPECT_FALSE(fs::exists(file_ + ".tmp"));
}
#endif

TEST_F(SaveTest, ChangesAreSavedWhenTheProcessEnds) {
    ASSERT_EQ(runPeer({"add-and-exit", file_}), 0);
    ASSERT_EQ(WBK_Open(file_.c_str()), 1);
    EXPECT_EQ(allRecords(),
              (std::vector<Record>{{"old", "", "content"}, {"peer", "pi:E", "left open"}}));
}

} // namespace
