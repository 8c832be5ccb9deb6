// LEXORA.INI read into the settings record and lxsys, and written back.
#include "core/settings.h"
#include "testfiles.h"

#include <lxsys.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace lexora {
namespace {

constexpr int kLxsysDelayMs = 200;

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings = Settings{};
        SendSNMessage(SN_SET_DELAY, kLxsysDelayMs, 0);
        SendSNMessage(SN_SET_AUX_KEY, 0, 0);
        SendSNMessage(SN_SET_WORD_BREAK, 2, 2);
        SendSNMessage(SN_SET_JOIN_SPACED, 1, 0);
        LXbSetDecode(0, 0, 0, 0);
    }

    void load(const std::string& text) {
        file_.write(text);
        loadSettings(file_.path());
    }
    std::string saved(HWND promptBar = nullptr) {
        saveSettings(saved_.path(), promptBar);
        return saved_.bytes();
    }
    std::string savedValue(const char* section, const char* key) const {
        char value[300] = "";
        GetPrivateProfileStringA(section, key, "(missing)", value, sizeof value, saved_.path());
        return value;
    }

    test::TemporaryFile file_{"ini"};
    test::TemporaryFile saved_{"ini"};
};

// The lines of an INI text that hold a section or a key, in file order.
std::vector<std::string> profileLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

TEST_F(SettingsFileTest, MissingFileKeepsDefaultsAndLxsysValues) {
    LXbSetDecode(1, 0, 1, 0);
    loadSettings("C:\\no such folder\\LEXORA.INI");

    Settings defaults;
    EXPECT_EQ(settings.codePage, 1);
    EXPECT_EQ(settings.faceStyle, 1);
    EXPECT_EQ(settings.catchWord, defaults.catchWord);
    EXPECT_EQ(settings.promptHideTime, 100);
    EXPECT_STREQ(settings.memoryWordFile, "JYWord.HIS");
    EXPECT_STREQ(settings.historyFile, "History.HIS");
    EXPECT_STREQ(settings.libraryName, "");
    EXPECT_EQ(SendSNMessage(SN_GET_DELAY, 0, 0), kLxsysDelayMs);
    EXPECT_EQ(SendSNMessage(SN_GET_AUX_KEY, 0, 0), 0);
    EXPECT_EQ(SendSNMessage(SN_GET_WORD_BREAK, 2, 0), 2);
    EXPECT_EQ(SendSNMessage(SN_GET_JOIN_SPACED, 0, 0), 1);
    int flags[4] = {-1, -1, -1, -1};
    LXbGetDecode(&flags[0], &flags[1], &flags[2], &flags[3]);
    EXPECT_EQ(flags[0], 1);
    EXPECT_EQ(flags[1], 0);
    EXPECT_EQ(flags[2], 1);
    EXPECT_EQ(flags[3], 0);
}

TEST_F(SettingsFileTest, OutOfRangeValuesAreReplaced) {
    load("[System]\r\nChinese Code Page=7\r\nFace Style=5\r\nSound Alert=9\r\n"
         "[Word Break]\r\nHZ Word Break=0\r\nDelete Space Between HZ=4\r\n"
         "[Catch Word]\r\nLock Prompt=-3\r\n");
    EXPECT_EQ(settings.codePage, 1);
    EXPECT_EQ(settings.faceStyle, 1);
    EXPECT_EQ(settings.soundAlert, 1);
    EXPECT_EQ(settings.lockPrompt, 1);
    EXPECT_EQ(SendSNMessage(SN_GET_WORD_BREAK, 2, 0), 2);
    EXPECT_EQ(SendSNMessage(SN_GET_JOIN_SPACED, 0, 0), 1);

    load("[System]\r\nChinese Code Page=2\r\nFace Style=0\r\n[Word Break]\r\nHZ Word Break=3\r\n"
         "Delete Space Between HZ=0\r\n");
    EXPECT_EQ(settings.codePage, 2);
    EXPECT_EQ(settings.faceStyle, 0);
    EXPECT_EQ(SendSNMessage(SN_GET_WORD_BREAK, 2, 0), 3);
    EXPECT_EQ(SendSNMessage(SN_GET_JOIN_SPACED, 0, 0), 0);
    saved();
    EXPECT_EQ(savedValue("Word Break", "HZ Word Break"), "3");
    EXPECT_EQ(savedValue("Word Break", "Delete Space Between HZ"), "0");
}

TEST_F(SettingsFileTest, AuxiliaryKeyIsNamedWithoutRegardToCase) {
    load("[Catch Word]\r\nAuxiliary Key=ctrl\r\n");
    EXPECT_EQ(SendSNMessage(SN_GET_AUX_KEY, 0, 0), 17);
    saved();
    EXPECT_EQ(savedValue("Catch Word", "Auxiliary Key"), "CTRL");

    load("[Catch Word]\r\nAuxiliary Key=Shift\r\n");
    EXPECT_EQ(SendSNMessage(SN_GET_AUX_KEY, 0, 0), 16);

    load("[Catch Word]\r\nAuxiliary Key=ALT\r\n");
    EXPECT_EQ(SendSNMessage(SN_GET_AUX_KEY, 0, 0), 0);
    saved();
    EXPECT_EQ(savedValue("Catch Word", "Auxiliary Key"), "NONE");

    // Only 18 characters are read: a longer value names no key.
    load("[Catch Word]\r\nAuxiliary Key=SHIFT             x\r\n");
    EXPECT_EQ(SendSNMessage(SN_GET_AUX_KEY, 0, 0), 0);
}

TEST_F(SettingsFileTest, PromptBarPositionIsParsed) {
    load("[Catch Word]\r\nPrompt Bar Position=120\r\n");
    EXPECT_EQ(settings.promptBarX, 120);
    EXPECT_EQ(settings.promptBarY, 0);

    load("[Catch Word]\r\nPrompt Bar Position=35,-7\r\n");
    EXPECT_EQ(settings.promptBarX, 35);
    EXPECT_EQ(settings.promptBarY, -7);

    load("[Catch Word]\r\nPrompt Bar Position=99999999999999,x\r\n");
    EXPECT_EQ(settings.promptBarX, 2147483647);
    EXPECT_EQ(settings.promptBarY, 0);
    saved();
    EXPECT_EQ(savedValue("Catch Word", "Prompt Bar Position"), "2147483647,0");
}

TEST_F(SettingsFileTest, CatchDelayGoesToLxsysInMilliseconds) {
    load("[Catch Word]\r\nCatch Delay Time=5\r\n");
    EXPECT_EQ(SendSNMessage(SN_GET_DELAY, 0, 0), 500);
    saved();
    EXPECT_EQ(savedValue("Catch Word", "Catch Delay Time"), "5");

    // lxsys ignores a delay too short to use and keeps its own.
    SendSNMessage(SN_SET_DELAY, kLxsysDelayMs, 0);
    load("[Catch Word]\r\nCatch Delay Time=0\r\n");
    EXPECT_EQ(SendSNMessage(SN_GET_DELAY, 0, 0), kLxsysDelayMs);
    saved();
    EXPECT_EQ(savedValue("Catch Word", "Catch Delay Time"), "2");

    load("[Catch Word]\r\nCatch Delay Time=-4\r\n");
    EXPECT_EQ(SendSNMessage(SN_GET_DELAY, 0, 0), kLxsysDelayMs);
    load("[Catch Word]\r\nCatch Delay Time=2147483647\r\n");
    EXPECT_GE(SendSNMessage(SN_GET_DELAY, 0, 0), kLxsysDelayMs);
}

TEST_F(SettingsFileTest, FileNameKeysHoldEachOthersFile) {
    load("[System]\r\nHistory File=Words.MEM\r\nMemory Word File=D:\\Past.HIS\r\n"
         "Dynamic E2C=1\r\n[User Library]\r\nUse User Library=1\r\nLibrary Name=Mine.LIB\r\n");
    EXPECT_STREQ(settings.memoryWordFile, "Words.MEM");
    EXPECT_STREQ(settings.historyFile, "D:\\Past.HIS");
    EXPECT_EQ(settings.dynamicE2CStored, 1);
    EXPECT_EQ(settings.useUserLibrary, 1);
    EXPECT_STREQ(settings.libraryName, "Mine.LIB");

    saved();
    EXPECT_EQ(savedValue("System", "History File"), "Words.MEM");
    EXPECT_EQ(savedValue("System", "Memory Word File"), "D:\\Past.HIS");
    EXPECT_EQ(savedValue("System", "Dynamic E2C"), "1");
    EXPECT_EQ(savedValue("User Library", "Library Name"), "Mine.LIB");
}

TEST_F(SettingsFileTest, DecodeFlagsDefaultToLxsysAndAreSetOnce) {
    LXbSetDecode(1, 1, 0, 0);
    load("[Smart Decoding]\r\nDecode HZ Code=1\r\nDecode MIME=0\r\n");
    int flags[4] = {-1, -1, -1, -1};
    LXbGetDecode(&flags[0], &flags[1], &flags[2], &flags[3]);
    EXPECT_EQ(flags[0], 1);
    EXPECT_EQ(flags[1], 0);
    EXPECT_EQ(flags[2], 1);
    EXPECT_EQ(flags[3], 0);
    saved();
    EXPECT_EQ(savedValue("Smart Decoding", "Auto Detect Code Page"), "1");
    EXPECT_EQ(savedValue("Smart Decoding", "Decode HZ Code"), "1");
    EXPECT_EQ(savedValue("Smart Decoding", "Decode ISO2022"), "0");
}

TEST_F(SettingsFileTest, BarButtonsAreWantedAsReadAndWrittenAsShown) {
    settings.buttons[1].shown = 0;
    load("[Bar Button]\r\nButton2=0\r\nButton6=7\r\n");
    for (int row = 0; row < kPromptButtonCount; ++row) {
        EXPECT_EQ(settings.buttons[row].shown, 1) << row;
        EXPECT_EQ(settings.buttons[row].wanted, row == 2 ? 0 : 1) << row;
    }
    EXPECT_EQ(settings.buttons[kPromptButtonCount].commandId, 0);

    settings.buttons[3].shown = 0;
    saved();
    EXPECT_EQ(savedValue("Bar Button", "Button2"), "1");
    EXPECT_EQ(savedValue("Bar Button", "Button3"), "0");
}

TEST_F(SettingsFileTest, SavingWritesEveryKeyInItsOrder) {
    settings.catchWord = 5;
    settings.promptBarX = 12;
    settings.promptBarY = 34;
    SendSNMessage(SN_SET_AUX_KEY, 16, 0);
    LXbSetDecode(0, 1, 0, 1);
    std::vector<std::string> expected = {"[Start Up]",
                                         "Hide Main Window=0",
                                         "[System]",
                                         "Use Chinese=1",
                                         "Chinese Code Page=1",
                                         "Face Style=1",
                                         "Dynamic E2C=0",
                                         "Auto Save History=1",
                                         "Overwrite History=1",
                                         "Searth at once=1",
                                         "Sound Alert=1",
                                         "History File=JYWord.HIS",
                                         "Memory Word File=History.HIS",
                                         "Small HZ Type=0",
                                         "Hotkey Switch=1",
                                         "[Catch Word]",
                                         "Catch Word=1",
                                         "Lock Prompt=0",
                                         "Warp Prompt=0",
                                         "Catch Delay Time=2",
                                         "Prompt Hide Time=100",
                                         "Auxiliary Key=SHIFT",
                                         "Prompt Bar Position=12,34",
                                         "[Bar Button]",
                                         "Button0=1",
                                         "Button1=1",
                                         "Button2=1",
                                         "Button3=1",
                                         "Button4=1",
                                         "Button5=1",
                                         "Button6=1",
                                         "[Word Break]",
                                         "HZ Word Break=2",
                                         "Delete Space Between HZ=1",
                                         "[Smart Decoding]",
                                         "Auto Detect Code Page=0",
                                         "Decode MIME=1",
                                         "Decode HZ Code=0",
                                         "Decode ISO2022=1",
                                         "[User Library]",
                                         "Use User Library=0",
                                         "Library Name="};
    EXPECT_EQ(profileLines(saved()), expected);
}

TEST_F(SettingsFileTest, PromptBarWindowGivesThePosition) {
    HWND bar = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 57, 68, 40, 20, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(bar, nullptr);
    saved(bar);
    DestroyWindow(bar);
    EXPECT_EQ(settings.promptBarX, 57);
    EXPECT_EQ(settings.promptBarY, 68);
    EXPECT_EQ(savedValue("Catch Word", "Prompt Bar Position"), "57,68");
}

TEST_F(SettingsFileTest, SavedFileLoadsTheSameRecord) {
    load("[Start Up]\r\nHide Main Window=1\r\n[System]\r\nChinese Code Page=2\r\nFace Style=0\r\n"
         "Small HZ Type=1\r\nHotkey Switch=0\r\nOverwrite History=0\r\n[Catch Word]\r\n"
         "Catch Word=0\r\nWarp Prompt=1\r\nPrompt Hide Time=35\r\nPrompt Bar Position=8,9\r\n");
    Settings first = settings;
    saved();
    settings = Settings{};
    loadSettings(saved_.path());
    EXPECT_EQ(settings.hideMainWindow, first.hideMainWindow);
    EXPECT_EQ(settings.codePage, 2);
    EXPECT_EQ(settings.faceStyle, 0);
    EXPECT_EQ(settings.smallHZType, 1);
    EXPECT_EQ(settings.hotkeySwitch, 0);
    EXPECT_EQ(settings.overwriteHistory, 0);
    EXPECT_EQ(settings.catchWord, 0);
    EXPECT_EQ(settings.warpPrompt, 1);
    EXPECT_EQ(settings.promptHideTime, 35);
    EXPECT_EQ(settings.promptBarX, 8);
    EXPECT_EQ(settings.promptBarY, 9);
}

} // namespace
} // namespace lexora
