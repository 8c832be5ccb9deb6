// SendSNMessage's settings, the record every process shares, and SN_GET_WORD.
#include "testutil.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string toString(int value) {
    return std::to_string(value);
}

TEST(SharedRecord, ASettingMadeInOneProcessIsSeenInAnother) {
    int delay = SendSNMessage(SN_GET_DELAY, 0, 0);
    SendSNMessage(SN_SET_DELAY, 350, 0);
    EXPECT_EQ(runPeerPumping({"get-delay"}), 350);
    SendSNMessage(SN_SET_DELAY, delay, 0);

    int key = SendSNMessage(SN_SET_AUX_KEY, 16, 0);
    EXPECT_EQ(runPeerPumping({"set-aux", toString(VK_CONTROL)}), 16);
    EXPECT_EQ(SendSNMessage(SN_GET_AUX_KEY, 0, 0), VK_CONTROL);
    SendSNMessage(SN_SET_AUX_KEY, key, 0);
}

TEST(Settings, DelayBelowOneHundredMillisecondsIsRefused) {
    int delay = SendSNMessage(SN_SET_DELAY, 250, 0);
    EXPECT_EQ(SendSNMessage(SN_SET_DELAY, 99, 0), 250);
    EXPECT_EQ(SendSNMessage(SN_SET_DELAY, static_cast<WPARAM>(-1), 0), 250);
    EXPECT_EQ(SendSNMessage(SN_GET_DELAY, 0, 0), 250);
    EXPECT_EQ(SendSNMessage(SN_SET_DELAY, 100, 0), 250);
    EXPECT_EQ(SendSNMessage(SN_GET_DELAY, 0, 0), 100);
    SendSNMessage(SN_SET_DELAY, delay, 0);
}

TEST(Settings, SelectorsAndOperationsOutsideTheirTablesAnswerZero) {
    int mode = SendSNMessage(SN_SET_WORD_BREAK, 2, 3);
    EXPECT_EQ(SendSNMessage(SN_SET_WORD_BREAK, 1, 2), 3);
    EXPECT_EQ(SendSNMessage(SN_SET_WORD_BREAK, 3, 1), 0);
    EXPECT_EQ(SendSNMessage(SN_GET_WORD_BREAK, 1, 0), 2);
    EXPECT_EQ(SendSNMessage(SN_GET_WORD_BREAK, 2, 0), 2);
    EXPECT_EQ(SendSNMessage(SN_GET_WORD_BREAK, 3, 0), 0);
    SendSNMessage(SN_SET_WORD_BREAK, 2, mode);
    EXPECT_EQ(SendSNMessage(1, 5, 5), 0);
    EXPECT_EQ(SendSNMessage(99, 5, 5), 0);
}

class GetWord : public testing::Test {
  protected:
    void SetUp() override { std::memcpy(&saved_, &record(), sizeof saved_); }
    void TearDown() override { std::memcpy(&record(), &saved_, sizeof saved_); }

  private:
    CaptureShared saved_;
};

TEST_F(GetWord, CopiesRectLengthAndTextAndLeavesTheFirstWordAlone) {
    record().wordRect = {10, 20, 30, 40};
    std::strcpy(record().wordText, "hello");
    CapturedWordInfo info;
    std::memset(&info, 0x5A, sizeof info);
    EXPECT_EQ(SendSNMessage(SN_GET_WORD, 0, reinterpret_cast<LPARAM>(&info)), 5);
    EXPECT_EQ(info.untouched, 0x5A5A5A5Au);
    EXPECT_EQ(info.wordRect.left, 10);
    EXPECT_EQ(info.wordRect.bottom, 40);
    EXPECT_EQ(info.length, 5);
    EXPECT_STREQ(info.text, "hello");

    // Another process may have left the word without its NUL.
    std::memset(record().wordText, 'a', sizeof record().wordText);
    EXPECT_EQ(SendSNMessage(SN_GET_WORD, 0, reinterpret_cast<LPARAM>(&info)), SN_TEXT_LIMIT);
    EXPECT_EQ(info.text[SN_TEXT_LIMIT], '\0');
}

TEST_F(GetWord, AnUnwritableBufferGetsNothing) {
    std::strcpy(record().wordText, "hello");
    EXPECT_EQ(SendSNMessage(SN_GET_WORD, 0, 0), 0);
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    auto* pages = static_cast<char*>(
        VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD previous;
    VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_READONLY, &previous);
    // Read-only, and writable only in its first part.
    EXPECT_EQ(SendSNMessage(SN_GET_WORD, 0, reinterpret_cast<LPARAM>(pages + system.dwPageSize)),
              0);
    char* straddling = pages + system.dwPageSize - 100;
    std::memset(straddling, 0x5A, 100);
    EXPECT_EQ(SendSNMessage(SN_GET_WORD, 0, reinterpret_cast<LPARAM>(straddling)), 0);
    EXPECT_EQ(std::string(straddling, 100), std::string(100, 0x5A));
    VirtualFree(pages, 0, MEM_RELEASE);
}

} // namespace
