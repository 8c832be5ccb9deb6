// The memory-word and history files, and opening them in the editor.
#include "core/files.h"
#include "core/settings.h"
#include "core/wordfiles.h"
#include "resource_ids.h"
#include "testfiles.h"

#include <cpconv.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace lexora {
namespace {

TEST(FormatWordEntry, FoundWordWithLabelledMeanings) {
    EXPECT_EQ(formatWordEntry("book", true,
                              "book\x01"
                              "buk\x02\x08"
                              "book,volume\x12reserve"),
              "<<< book >>>\r\n\tbook\r\nn.book;volume\r\nvt.reserve\r\n\r\n");
}

TEST(FormatWordEntry, TranslationWithoutPhoneticMark) {
    EXPECT_EQ(formatWordEntry("abc", true, "abc"), "<<< abc >>>\r\n\tabc\r\n\r\n\r\n");
    // Without a meanings mark the meanings start right after the phonetic mark.
    EXPECT_EQ(formatWordEntry("abc", true,
                              "abc\x01"
                              "first,second"),
              "<<< abc >>>\r\n\tabc\r\nfirst;second\r\n\r\n");
}

TEST(FormatWordEntry, UnknownWordIsMarkedAndShowsTheNearestHeadword) {
    EXPECT_EQ(formatWordEntry("bokk", false,
                              "book\x01"
                              "buk\x02\x08"
                              "book"),
              "<<<*bokk*>>>\r\n\tbook\r\nn.book\r\n\r\n");
}

TEST(FormatWordEntry, LabelsInARowAndLongMeaningsTakeLinesOfTheirOwn) {
    std::string meanings = "w\x01\x02\x12\x08" + std::string(120, 'm');
    EXPECT_EQ(formatWordEntry("w", true, meanings.c_str()), "<<< w >>>\r\n\tw\r\nvt.\r\nn." +
                                                                std::string(97, 'm') + "\r\n" +
                                                                std::string(23, 'm') + "\r\n\r\n");
}

// The input box's history list, newest first.
class FakeHistory : public HistorySource {
  public:
    explicit FakeHistory(std::vector<std::string> items) : items_(std::move(items)) {}

    int count() const override { return static_cast<int>(items_.size()); }
    int item(int index, char* text, int size) const override {
        if (index == unfetchable_) return -1;
        const std::string& item = items_.at(static_cast<std::size_t>(index));
        std::size_t length =
            item.size() < static_cast<std::size_t>(size - 1) ? item.size() : size - 1;
        std::memcpy(text, item.data(), length);
        text[length] = '\0';
        return static_cast<int>(length);
    }
    void clear() override { items_.clear(); }
    void failAt(int index) { unfetchable_ = index; }

  private:
    std::vector<std::string> items_;
    int unfetchable_ = -1;
};

class WordFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings = Settings{};
        settings.faceStyle = 0;
        CPC_SetCodePage(CPC_PAGE_GB);
        std::strcpy(settings.memoryWordFile, memoryWords_.path());
        std::strcpy(settings.historyFile, history_.path());
    }
    void TearDown() override { CPC_SetCodePage(CPC_PAGE_GB); }

    static std::string entryOf(const char* word) {
        return "<<< " + std::string(word) + " >>>\r\n\t" + word + "\r\n";
    }
    // How many entries a file holds.
    static int entries(const std::string& bytes) {
        int count = 0;
        for (std::size_t at = bytes.find("<<<"); at != std::string::npos;
             at = bytes.find("<<<", at + 3)) {
            ++count;
        }
        return count;
    }

    test::TemporaryFile memoryWords_{"his"};
    test::TemporaryFile history_{"his"};
    test::MessageRecorder messages_;
};

TEST_F(WordFilesTest, MemoryWordsAreAppended) {
    ASSERT_TRUE(storeMemoryWord(nullptr, "book"));
    ASSERT_TRUE(storeMemoryWord(nullptr, "water"));
    std::string bytes = memoryWords_.bytes();
    EXPECT_EQ(bytes.rfind(entryOf("book"), 0), 0u) << bytes;
    EXPECT_NE(bytes.find(entryOf("water")), std::string::npos) << bytes;
    EXPECT_EQ(entries(bytes), 2);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(WordFilesTest, EmptyWordStoresNothing) {
    EXPECT_FALSE(storeMemoryWord(nullptr, ""));
    EXPECT_FALSE(memoryWords_.exists());
}

TEST_F(WordFilesTest, UnknownWordGetsTheStarredMarkers) {
    ASSERT_TRUE(storeMemoryWord(nullptr, "qzxqzxqzx"));
    std::string bytes = memoryWords_.bytes();
    EXPECT_EQ(bytes.rfind("<<<*qzxqzxqzx*>>>\r\n\t", 0), 0u) << bytes;
    // The nearest entry's headword follows the tab.
    EXPECT_NE(bytes[std::strlen("<<<*qzxqzxqzx*>>>\r\n\t")], '\r');
}

TEST_F(WordFilesTest, BigFiveWordIsLookedUpInGbAndWrittenBack) {
    CPC_SetCodePage(CPC_PAGE_BIG5);
    // "water" in BIG5 is A4F4; the dictionary answers in GB and the file gets BIG5 again.
    ASSERT_TRUE(storeMemoryWord(nullptr, "\xA4\xF4"));
    std::string bytes = memoryWords_.bytes();
    EXPECT_EQ(bytes.find("\xA4\xF4"), 4u) << bytes;
    EXPECT_EQ(bytes.find("\xCB\xAE"), std::string::npos) << bytes;
}

TEST_F(WordFilesTest, MemoryWordFileThatCannotBeCreatedIsReported) {
    std::strcpy(settings.memoryWordFile, "C:\\no such folder\\JYWord.HIS");
    EXPECT_FALSE(storeMemoryWord(nullptr, "book"));
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(messages_.shown()[0].text, "Can't create Memory Word file!");
    EXPECT_EQ(messages_.shown()[0].caption, "ERROR");
}

TEST_F(WordFilesTest, EmptyHistoryTouchesNoFile) {
    FakeHistory history({});
    EXPECT_TRUE(saveHistory(nullptr, history));
    EXPECT_FALSE(history_.exists());
}

TEST_F(WordFilesTest, HistoryOverwritesOrAppends) {
    history_.write("earlier words\r\n");
    FakeHistory first({"book", "water", ""});
    ASSERT_TRUE(saveHistory(nullptr, first));
    EXPECT_EQ(first.count(), 0);
    std::string bytes = history_.bytes();
    EXPECT_EQ(bytes.rfind(entryOf("book"), 0), 0u) << bytes;
    EXPECT_EQ(entries(bytes), 2);

    settings.overwriteHistory = 0;
    FakeHistory second({"pen", ""});
    ASSERT_TRUE(saveHistory(nullptr, second));
    std::string appended = history_.bytes();
    EXPECT_EQ(appended.rfind(bytes, 0), 0u);
    EXPECT_EQ(appended.substr(bytes.size()).rfind(entryOf("pen"), 0), 0u) << appended;
}

TEST_F(WordFilesTest, OnlyTheStartUpItemEmptiesTheFile) {
    history_.write("earlier words\r\n");
    FakeHistory history({""});
    EXPECT_TRUE(saveHistory(nullptr, history));
    EXPECT_TRUE(history_.exists());
    EXPECT_EQ(history_.bytes(), "");
    EXPECT_EQ(history.count(), 0);
}

TEST_F(WordFilesTest, LongItemsAreSkippedAndAnUnfetchableOneEndsTheSave) {
    FakeHistory history({"book", std::string(199, 'x'), "water", "", "pen"});
    ASSERT_TRUE(saveHistory(nullptr, history));
    std::string bytes = history_.bytes();
    EXPECT_EQ(entries(bytes), 2) << bytes;
    EXPECT_EQ(bytes.find("xxx"), std::string::npos);
    EXPECT_EQ(bytes.find("pen"), std::string::npos);
    EXPECT_EQ(history.count(), 0);

    FakeHistory failing({"book", "water", "pen"});
    failing.failAt(1);
    ASSERT_TRUE(saveHistory(nullptr, failing));
    EXPECT_EQ(entries(history_.bytes()), 1);
    EXPECT_EQ(failing.count(), 0);
}

TEST_F(WordFilesTest, HistoryFileThatCannotBeCreatedKeepsTheList) {
    std::strcpy(settings.historyFile, "C:\\no such folder\\History.HIS");
    FakeHistory history({"book", ""});
    EXPECT_FALSE(saveHistory(nullptr, history));
    EXPECT_EQ(history.count(), 2);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "Can't create History Record file!");
}

struct StartedCommand {
    std::string commandLine;
    UINT show = 0;
};
StartedCommand lastStarted;
UINT startResult = 33;

UINT recordStart(const char* commandLine, UINT show) {
    lastStarted = {commandLine, show};
    return startResult;
}

class EditorTest : public WordFilesTest {
  protected:
    void SetUp() override {
        WordFilesTest::SetUp();
        lastStarted = {};
        startResult = 33;
        previous_ = setCommandStarter(recordStart);
    }
    void TearDown() override {
        setCommandStarter(previous_);
        WordFilesTest::TearDown();
    }

    CommandStarter previous_ = nullptr;
};

TEST_F(EditorTest, ExistingFileOpensInTheEditor) {
    memoryWords_.write("x");
    openInEditor(nullptr, memoryWords_.path(), IDS_MEMORYWORD_KIND);
    EXPECT_EQ(lastStarted.commandLine, std::string("NOTEPAD ") + memoryWords_.path());
    EXPECT_EQ(lastStarted.show, static_cast<UINT>(SW_SHOW));
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(EditorTest, BareNameLiesInTheModuleDirectory) {
    std::string name = "lxcore_editor_test.his";
    std::string path = std::string(moduleDirectory()) + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    openInEditor(nullptr, name.c_str(), IDS_HISTORY_KIND);
    DeleteFileA(path.c_str());
    EXPECT_EQ(lastStarted.commandLine, "NOTEPAD " + path);
}

TEST_F(EditorTest, MissingFileIsNamedInTheMessage) {
    openInEditor(nullptr, history_.path(), IDS_HISTORY_KIND);
    EXPECT_TRUE(lastStarted.commandLine.empty());
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_NE(messages_.shown()[0].text.find(history_.path()), std::string::npos);
    EXPECT_EQ(messages_.shown()[0].text,
              std::string("History Record File File:\n") + history_.path() + "\n does't exist!");
}

TEST_F(EditorTest, EditorThatCannotStartIsReportedWithItsError) {
    memoryWords_.write("x");
    startResult = 2;
    openInEditor(nullptr, memoryWords_.path(), IDS_MEMORYWORD_KIND);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_NE(messages_.shown()[0].text.find('2'), std::string::npos);
    EXPECT_EQ(messages_.shown()[0].text, "NOTEPAD Open error, Error No. = 2");
}

} // namespace
} // namespace lexora
