// Texts in the two faces and the two code pages, and the message boxes made of them.
#include "core/messages.h"
#include "core/settings.h"
#include "resource_ids.h"
#include "testfiles.h"

#include <cpconv.h>

#include <gtest/gtest.h>

#include <string>

namespace lexora {
namespace {

// "中文" in GB and in BIG5.
const char kGbWords[] = "\xD6\xD0\xCE\xC4";
const char kBig5Words[] = "\xA4\xA4\xA4\xE5";

class PageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings = Settings{};
        CPC_SetCodePage(CPC_PAGE_GB);
    }
    void TearDown() override { CPC_SetCodePage(CPC_PAGE_GB); }
};

TEST(FillMessageText, ConversionsAreFilledInOrder) {
    EXPECT_EQ(fillMessageText("%sFile:\n%s\n does't exist!", {"Kind ", "C:\\a.his"}),
              "Kind File:\nC:\\a.his\n does't exist!");
    EXPECT_EQ(fillMessageText("Error No. = %d", {"31"}), "Error No. = 31");
    EXPECT_EQ(fillMessageText("100%% %-4ld%s", {"x"}), "100% x");
    EXPECT_EQ(fillMessageText("no conversion", {"unused"}), "no conversion");
    EXPECT_EQ(fillMessageText("cut %", {"x"}), "cut ");
    EXPECT_EQ(fillMessageText(nullptr, {}), "");
    EXPECT_EQ(fillMessageText("\xD6\xD0%s", {nullptr}), "\xD6\xD0");
}

TEST_F(PageTest, FaceChoosesTheTextId) {
    settings.faceStyle = 0;
    EXPECT_EQ(faceTextId(IDS_NO_HISTORY_FILE), 521);
    settings.faceStyle = 1;
    EXPECT_EQ(faceTextId(IDS_NO_HISTORY_FILE), 4521);
}

TEST_F(PageTest, TextsAreConvertedOnlyOutsideGb) {
    char text[16];
    toCurrentPage(kGbWords, text, sizeof text);
    EXPECT_STREQ(text, kGbWords);
    toGb(kGbWords, text, sizeof text);
    EXPECT_STREQ(text, kGbWords);

    CPC_SetCodePage(CPC_PAGE_BIG5);
    toCurrentPage(kGbWords, text, sizeof text);
    EXPECT_STREQ(text, kBig5Words);
    toGb(kBig5Words, text, sizeof text);
    EXPECT_STREQ(text, kGbWords);
}

TEST_F(PageTest, CutTextKeepsWholeCharacters) {
    char text[4];
    toCurrentPage(kGbWords, text, sizeof text);
    EXPECT_STREQ(text, "\xD6\xD0");
    CPC_SetCodePage(CPC_PAGE_BIG5);
    toCurrentPage(kGbWords, text, sizeof text);
    EXPECT_STREQ(text, "\xA4\xA4");
    char one[1];
    toGb("abc", one, sizeof one);
    EXPECT_STREQ(one, "");
}

TEST_F(PageTest, MessageBoxTakesFaceTextsAndArguments) {
    test::MessageRecorder recorder;
    settings.faceStyle = 0;
    showFaceMessage(nullptr, IDS_NOTEPAD_ERROR, IDS_ERROR_CAPTION, MB_OK | MB_ICONSTOP, "7");
    showMessageText(nullptr, "made already", IDS_ERROR_CAPTION, MB_OK);
    ASSERT_EQ(recorder.shown().size(), 2u);
    EXPECT_EQ(recorder.shown()[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(recorder.shown()[1].text, "made already");
    EXPECT_EQ(recorder.shown()[0].text, "NOTEPAD Open error, Error No. = 7");
    EXPECT_EQ(recorder.shown()[0].caption, "ERROR");
}

TEST_F(PageTest, ResourceStringsComeInTheCurrentPage) {
    char text[64];
    loadPageString(IDS_ERROR_CAPTION, text, sizeof text);
    EXPECT_STREQ(text, "ERROR");
    // "错误" in GB, and in BIG5 once that is the page.
    loadPageString(IDS_ERROR_CAPTION + FACE_STRING_OFFSET, text, sizeof text);
    EXPECT_STREQ(text, "\xB4\xED\xCE\xF3");
    CPC_SetCodePage(CPC_PAGE_BIG5);
    loadPageString(IDS_ERROR_CAPTION + FACE_STRING_OFFSET, text, sizeof text);
    EXPECT_STREQ(text, "\xBF\xF9\xBB\x7E");
    loadPageString(9999, text, sizeof text);
    EXPECT_STREQ(text, "");

    test::MessageRecorder recorder;
    settings.faceStyle = 1;
    showFaceMessage(nullptr, IDS_FILE_MISSING, IDS_ERROR_CAPTION, MB_OK, {"K", "P"});
    ASSERT_EQ(recorder.shown().size(), 1u);
    EXPECT_EQ(recorder.shown()[0].caption, "\xBF\xF9\xBB\x7E");
}

} // namespace
} // namespace lexora
