// The memory-word and history files: annotated lists of words with their translations in the
// current code page, written for the user to read in a text editor.
#ifndef LEXORA_APP_WORDFILES_H
#define LEXORA_APP_WORDFILES_H

#include <windows.h>

#include <cstddef>
#include <string>

namespace lexora {

// The bytes of one entry for `word`, given the engine's translation in the current code page.
std::string formatWordEntry(const char* word, bool found, const char* translation);

// The input history as the main window keeps it, newest first.
class HistorySource {
  public:
    virtual ~HistorySource() = default;
    virtual int count() const = 0;
    // The item's text into `text` (NUL-terminated, at most size - 1 bytes; saving asks with room
    // for 255); its length, or less than 1 when it cannot be fetched.
    virtual int item(int index, char* text, int size) const = 0;
    virtual void clear() = 0;
};

// Appends the entry of `word` to the memory-word file; reports failure to the user. An empty
// word stores nothing. False when the file could not be had or written.
bool storeMemoryWord(HWND owner, const char* word);
// Writes the whole history to the history file (rewritten or appended to, as set) and empties
// the list; reports failure to the user. Nothing happens with an empty list. Items of 199 bytes
// or more are left out; an item that cannot be fetched (the empty one too) ends the entries.
// False when the file could not be had or written.
bool saveHistory(HWND owner, HistorySource& history);
// Shows a word file in the system's text editor ("NOTEPAD " and the path); `kindTextId` names
// the file in the message about a missing file.
void openInEditor(HWND owner, const char* fileName, int kindTextId);

// How the editor is started: WinExec unless replaced (the tests record the command line
// instead); nullptr brings WinExec back. Returns the one replaced.
using CommandStarter = UINT (*)(const char* commandLine, UINT show);
CommandStarter setCommandStarter(CommandStarter start);

} // namespace lexora

#endif
