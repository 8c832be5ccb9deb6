// The program's settings: one process-wide record, filled from LEXORA.INI at start, edited by
// the program's windows while it runs, and written back once at shut-down. Values that live in
// lxsys (catch delay, auxiliary key, word-break mode, joining spaced Chinese, decoding) are
// handed to it while loading and read back from it when saving.
#ifndef LEXORA_APP_SETTINGS_H
#define LEXORA_APP_SETTINGS_H

#include <windows.h>

namespace lexora {

constexpr int kFileNameCapacity = 260; // 259 characters and the NUL
constexpr int kPromptButtonCount = 7;  // commands 202 ... 208

// One prompt-bar button: whether it is on the bar now, and whether the user wants it there.
struct PromptButtonRow {
    int commandId;
    int shown;
    int wanted;
};

struct Settings {
    int hideMainWindow = 0;
    int useChinese = 1;
    int fontSelector = 0; // handed to LXbChgJFfnt; not kept in the file
    int codePage = 1;     // 1 GB, 2 BIG5
    int faceStyle = 1;    // 0 English face, 1 Chinese face
    int dynamicE2CStored = 0;
    int catchWord = 1;
    int lockPrompt = 0;
    int warpPrompt = 0;
    int promptHideTime = 100;
    int promptBarX = 0;
    int promptBarY = 0;
    int autoSaveHistory = 1;
    int overwriteHistory = 1;
    int searchAtOnce = 1;
    int soundAlert = 1;
    char memoryWordFile[kFileNameCapacity] = "JYWord.HIS";
    char historyFile[kFileNameCapacity] = "History.HIS";
    int smallHZType = 0;
    int hotkeySwitch = 1;
    int useUserLibrary = 0;
    char libraryName[kFileNameCapacity] = "";
    // Ends with a row whose command id is 0.
    PromptButtonRow buttons[kPromptButtonCount + 1] = {
        {202, 1, 1}, {203, 1, 1}, {204, 1, 1}, {205, 1, 1},
        {206, 1, 1}, {207, 1, 1}, {208, 1, 1}, {0, 0, 0},
    };
};

// The process-wide record.
extern Settings settings;
// Set while a modal dialog of the program is up: the configuration hot key is then ignored.
extern bool modalDialogOpen;

// Reads every key of the settings file into the record (missing keys keep the record's value
// or the key's own default) and hands the lxsys values over at once.
void loadSettings(const char* settingsPath);
// Writes every key back; the prompt bar's window, when there is one, gives its position.
void saveSettings(const char* settingsPath, HWND promptBar);

} // namespace lexora

#endif
