#include "settings.h"

#include <lxsys.h>

#include <climits>
#include <cstdio>
#include <cstring>

namespace lexora {

Settings settings;
bool modalDialogOpen = false;

namespace {

constexpr int kShortValueSize = 19; // 18 characters and the NUL
constexpr int kMillisecondsPerDelayUnit = 100;
constexpr int kShiftKey = 16;
constexpr int kControlKey = 17;
constexpr int kDefaultWordBreak = 2;
// lxsys keeps one word-break mode; the selector names it.
constexpr WPARAM kWordBreakSelector = 2;

const char kStartUp[] = "Start Up";
const char kSystem[] = "System";
const char kCatchWord[] = "Catch Word";
const char kBarButton[] = "Bar Button";
const char kWordBreak[] = "Word Break";
const char kSmartDecoding[] = "Smart Decoding";
const char kUserLibrary[] = "User Library";

int flag(int value) {
    return value != 0 ? 1 : 0;
}

// Reading and writing one settings file, key by key.
class SettingsFile {
  public:
    explicit SettingsFile(const char* path) : path_(path) {}

    int readInt(const char* section, const char* key, int missing) const {
        return static_cast<int>(GetPrivateProfileIntA(section, key, missing, path_));
    }
    int readFlag(const char* section, const char* key, int missing) const {
        return flag(readInt(section, key, missing));
    }
    void readText(const char* section, const char* key, const char* missing, char* text,
                  DWORD size) const {
        GetPrivateProfileStringA(section, key, missing, text, size, path_);
    }

    void writeText(const char* section, const char* key, const char* text) const {
        WritePrivateProfileStringA(section, key, text, path_);
    }
    void writeInt(const char* section, const char* key, int value) const {
        char text[16];
        std::snprintf(text, sizeof text, "%d", value);
        writeText(section, key, text);
    }
    void writeFlag(const char* section, const char* key, int value) const {
        writeInt(section, key, flag(value));
    }

  private:
    const char* path_;
};

bool equalIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        char lowerA = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
        char lowerB = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (lowerA != lowerB) return false;
    }
    return *a == *b;
}

int auxiliaryKeyCode(const char* name) {
    if (equalIgnoringCase(name, "SHIFT")) return kShiftKey;
    if (equalIgnoringCase(name, "CTRL")) return kControlKey;
    return 0;
}

const char* auxiliaryKeyName(int code) {
    if (code == kShiftKey) return "SHIFT";
    if (code == kControlKey) return "CTRL";
    return "NONE";
}

// The decimal number at the start of `text` (leading blanks and a sign allowed), held within the
// range of int; 0 when there is none.
int leadingNumber(const char* text) {
    while (*text == ' ' || *text == '\t')
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value < INT_MIN ? INT_MIN : value);
}

void readPromptBarPosition(const SettingsFile& file) {
    char position[kShortValueSize];
    file.readText(kCatchWord, "Prompt Bar Position", "0,0", position, sizeof position);
    settings.promptBarX = leadingNumber(position);
    const char* comma = std::strchr(position, ',');
    settings.promptBarY = comma ? leadingNumber(comma + 1) : 0;
}

// The delay is kept in tenths of a second; lxsys takes milliseconds and ignores what is too short.
void sendCatchDelay(int tenths) {
    long long milliseconds =
        static_cast<long long>(tenths < 0 ? 0 : tenths) * kMillisecondsPerDelayUnit;
    if (milliseconds > INT_MAX) milliseconds = INT_MAX;
    SendSNMessage(SN_SET_DELAY, static_cast<WPARAM>(milliseconds), 0);
}

int normalisedWordBreak(int mode) {
    return mode == 1 || mode == 3 ? mode : kDefaultWordBreak;
}

void readStartUpAndSystem(const SettingsFile& file) {
    settings.hideMainWindow = file.readFlag(kStartUp, "Hide Main Window", settings.hideMainWindow);
    settings.useChinese = file.readFlag(kSystem, "Use Chinese", settings.useChinese);
    int codePage = file.readInt(kSystem, "Chinese Code Page", settings.codePage);
    settings.codePage = codePage == 1 || codePage == 2 ? codePage : 1;
    int face = file.readInt(kSystem, "Face Style", 1);
    settings.faceStyle = face == 0 || face == 1 ? face : 1;
    settings.dynamicE2CStored = file.readFlag(kSystem, "Dynamic E2C", settings.dynamicE2CStored);
}

void readCatchWord(const SettingsFile& file) {
    settings.catchWord = file.readFlag(kCatchWord, "Catch Word", settings.catchWord);
    settings.lockPrompt = file.readFlag(kCatchWord, "Lock Prompt", settings.lockPrompt);
    settings.warpPrompt = file.readFlag(kCatchWord, "Warp Prompt", settings.warpPrompt);
    sendCatchDelay(file.readInt(kCatchWord, "Catch Delay Time", 2));
    settings.promptHideTime = file.readInt(kCatchWord, "Prompt Hide Time", settings.promptHideTime);
    char auxiliaryKey[kShortValueSize];
    file.readText(kCatchWord, "Auxiliary Key", "NONE", auxiliaryKey, sizeof auxiliaryKey);
    SendSNMessage(SN_SET_AUX_KEY, static_cast<WPARAM>(auxiliaryKeyCode(auxiliaryKey)), 0);
    readPromptBarPosition(file);
}

// The two file-name keys hold each other's file: "History File" names the memory-word file.
void readHistoryOptions(const SettingsFile& file) {
    settings.autoSaveHistory =
        file.readFlag(kSystem, "Auto Save History", settings.autoSaveHistory);
    settings.overwriteHistory =
        file.readFlag(kSystem, "Overwrite History", settings.overwriteHistory);
    settings.searchAtOnce = file.readFlag(kSystem, "Searth at once", settings.searchAtOnce);
    settings.soundAlert = file.readFlag(kSystem, "Sound Alert", settings.soundAlert);
    file.readText(kSystem, "History File", "JYWord.HIS", settings.memoryWordFile,
                  sizeof settings.memoryWordFile);
    file.readText(kSystem, "Memory Word File", "History.HIS", settings.historyFile,
                  sizeof settings.historyFile);
}

void readBarButtons(const SettingsFile& file) {
    for (int row = 0; row < kPromptButtonCount; ++row) {
        char key[16];
        std::snprintf(key, sizeof key, "Button%d", row);
        settings.buttons[row].wanted = file.readFlag(kBarButton, key, 1);
        settings.buttons[row].shown = 1;
    }
}

void readWordBreak(const SettingsFile& file) {
    int mode = normalisedWordBreak(file.readInt(kWordBreak, "HZ Word Break", kDefaultWordBreak));
    SendSNMessage(SN_SET_WORD_BREAK, kWordBreakSelector, mode);
    int joinSpaced = file.readFlag(kWordBreak, "Delete Space Between HZ", 1);
    SendSNMessage(SN_SET_JOIN_SPACED, static_cast<WPARAM>(joinSpaced), 0);
}

void readDecoding(const SettingsFile& file) {
    int autoDetect = 0;
    int mime = 0;
    int hz = 0;
    int iso2022 = 0;
    LXbGetDecode(&autoDetect, &mime, &hz, &iso2022);
    autoDetect = file.readFlag(kSmartDecoding, "Auto Detect Code Page", autoDetect);
    mime = file.readFlag(kSmartDecoding, "Decode MIME", mime);
    hz = file.readFlag(kSmartDecoding, "Decode HZ Code", hz);
    iso2022 = file.readFlag(kSmartDecoding, "Decode ISO2022", iso2022);
    LXbSetDecode(autoDetect, mime, hz, iso2022);
}

void readUserLibrary(const SettingsFile& file) {
    settings.useUserLibrary = file.readFlag(kUserLibrary, "Use User Library", 0);
    file.readText(kUserLibrary, "Library Name", "", settings.libraryName,
                  sizeof settings.libraryName);
}

void writeStartUpAndSystem(const SettingsFile& file) {
    file.writeFlag(kStartUp, "Hide Main Window", settings.hideMainWindow);
    file.writeFlag(kSystem, "Use Chinese", settings.useChinese);
    file.writeInt(kSystem, "Chinese Code Page", settings.codePage);
    file.writeInt(kSystem, "Face Style", settings.faceStyle);
    file.writeFlag(kSystem, "Dynamic E2C", settings.dynamicE2CStored);
}

void writeCatchWord(const SettingsFile& file, HWND promptBar) {
    file.writeFlag(kCatchWord, "Catch Word", settings.catchWord);
    file.writeFlag(kCatchWord, "Lock Prompt", settings.lockPrompt);
    file.writeFlag(kCatchWord, "Warp Prompt", settings.warpPrompt);
    file.writeInt(kCatchWord, "Catch Delay Time",
                  SendSNMessage(SN_GET_DELAY, 0, 0) / kMillisecondsPerDelayUnit);
    file.writeInt(kCatchWord, "Prompt Hide Time", settings.promptHideTime);
    file.writeText(kCatchWord, "Auxiliary Key",
                   auxiliaryKeyName(SendSNMessage(SN_GET_AUX_KEY, 0, 0)));
    RECT bar;
    if (promptBar && IsWindow(promptBar) && GetWindowRect(promptBar, &bar)) {
        settings.promptBarX = bar.left;
        settings.promptBarY = bar.top;
    }
    char position[32];
    std::snprintf(position, sizeof position, "%d,%d", settings.promptBarX, settings.promptBarY);
    file.writeText(kCatchWord, "Prompt Bar Position", position);
}

void writeHistoryOptions(const SettingsFile& file) {
    file.writeFlag(kSystem, "Auto Save History", settings.autoSaveHistory);
    file.writeFlag(kSystem, "Overwrite History", settings.overwriteHistory);
    file.writeFlag(kSystem, "Searth at once", settings.searchAtOnce);
    file.writeFlag(kSystem, "Sound Alert", settings.soundAlert);
    file.writeText(kSystem, "History File", settings.memoryWordFile);
    file.writeText(kSystem, "Memory Word File", settings.historyFile);
}

void writeBarButtons(const SettingsFile& file) {
    for (int row = 0; row < kPromptButtonCount; ++row) {
        char key[16];
        std::snprintf(key, sizeof key, "Button%d", row);
        file.writeFlag(kBarButton, key, settings.buttons[row].shown);
    }
}

void writeWordBreak(const SettingsFile& file) {
    file.writeInt(kWordBreak, "HZ Word Break",
                  SendSNMessage(SN_GET_WORD_BREAK, kWordBreakSelector, 0));
    file.writeFlag(kWordBreak, "Delete Space Between HZ", SendSNMessage(SN_GET_JOIN_SPACED, 0, 0));
}

void writeDisplayOptions(const SettingsFile& file) {
    file.writeFlag(kSystem, "Small HZ Type", settings.smallHZType);
    file.writeFlag(kSystem, "Hotkey Switch", settings.hotkeySwitch);
}

void writeDecoding(const SettingsFile& file) {
    int autoDetect = 0;
    int mime = 0;
    int hz = 0;
    int iso2022 = 0;
    LXbGetDecode(&autoDetect, &mime, &hz, &iso2022);
    file.writeFlag(kSmartDecoding, "Auto Detect Code Page", autoDetect);
    file.writeFlag(kSmartDecoding, "Decode MIME", mime);
    file.writeFlag(kSmartDecoding, "Decode HZ Code", hz);
    file.writeFlag(kSmartDecoding, "Decode ISO2022", iso2022);
}

void writeUserLibrary(const SettingsFile& file) {
    file.writeFlag(kUserLibrary, "Use User Library", settings.useUserLibrary);
    file.writeText(kUserLibrary, "Library Name", settings.libraryName);
}

} // namespace

void loadSettings(const char* settingsPath) {
    SettingsFile file(settingsPath);
    readStartUpAndSystem(file);
    readCatchWord(file);
    readHistoryOptions(file);
    readBarButtons(file);
    readWordBreak(file);
    settings.smallHZType = file.readFlag(kSystem, "Small HZ Type", settings.smallHZType);
    settings.hotkeySwitch = file.readFlag(kSystem, "Hotkey Switch", settings.hotkeySwitch);
    readDecoding(file);
    readUserLibrary(file);
}

void saveSettings(const char* settingsPath, HWND promptBar) {
    SettingsFile file(settingsPath);
    writeStartUpAndSystem(file);
    writeCatchWord(file, promptBar);
    writeHistoryOptions(file);
    writeBarButtons(file);
    writeWordBreak(file);
    writeDisplayOptions(file);
    writeDecoding(file);
    writeUserLibrary(file);
}

} // namespace lexora
