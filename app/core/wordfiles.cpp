#include "wordfiles.h"

#include "files.h"
#include "messages.h"
#include "resource_ids.h"
#include "results.h"
#include "settings.h"

#include <cpconv.h>
#include <lxtran.h>

#include <utility>

namespace lexora {

namespace {

constexpr int kQuerySize = 100;
constexpr int kTranslationSize = 300;
constexpr int kHistoryItemSize = 256;
constexpr int kLongestSavedItem = 198;
constexpr UINT kLastExecError = 31;
constexpr int kKindTextSize = 128;

UINT startWithWinExec(const char* commandLine, UINT show) {
    return WinExec(commandLine, show);
}

CommandStarter commandStarter = startWithWinExec;

// The wait cursor while a file is written; the arrow afterwards.
class WaitCursor {
  public:
    WaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }
    ~WaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// A word file opened for writing, closed when it goes.
class WordFile {
  public:
    // `fresh` empties an existing file; otherwise it is kept and written at its end.
    WordFile(const char* fileName, bool fresh) {
        char path[kFileNameCapacity];
        resolveFileName(fileName, path, sizeof path);
        handle_ = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              fresh ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~WordFile() {
        if (isOpen()) CloseHandle(handle_);
    }
    WordFile(const WordFile&) = delete;
    WordFile& operator=(const WordFile&) = delete;

    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool moveToEnd() const {
        LARGE_INTEGER none{};
        return SetFilePointerEx(handle_, none, nullptr, FILE_END) != 0;
    }
    bool write(const std::string& bytes) const {
        DWORD written = 0;
        return WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) &&
               written == bytes.size();
    }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The engine works in GB: the word goes there and the translation comes back.
bool writeEntry(const WordFile& file, const char* word) {
    char gbWord[kQuerySize];
    const char* query = word;
    if (CPC_GetCodePage() != CPC_PAGE_GB) {
        toGb(word, gbWord, sizeof gbWord);
        query = gbWord;
    }
    char translation[kTranslationSize] = "";
    bool found = LXaTranslateStr(LXA_MODE_LOOKUP, query, translation, kTranslationSize) > 0;
    translation[kTranslationSize - 1] = '\0';
    char pageTranslation[kTranslationSize];
    toCurrentPage(translation, pageTranslation, sizeof pageTranslation);
    return file.write(formatWordEntry(word, found, pageTranslation));
}

void reportFileFailure(HWND owner, int textId) {
    MessageBeep(0xFFFFFFFF);
    showFaceMessage(owner, textId, IDS_ERROR_CAPTION, MB_OK);
}

bool fileExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

std::string formatWordEntry(const char* word, bool found, const char* translation) {
    std::string entry = found ? "<<< " : "<<<*";
    entry += word ? word : "";
    entry += found ? " >>>\r\n" : "*>>>\r\n";
    TranslationParts parts = splitTranslation(translation);
    entry += '\t';
    entry.append(parts.headword, parts.headwordLength);
    entry += "\r\n";
    layoutMeanings(
        parts.meanings, nullptr,
        [&entry](const char* line, std::size_t length, bool lineBreak) {
            entry.append(line, length);
            if (lineBreak) entry += "\r\n";
        },
        LabelLines::Separate);
    entry += "\r\n\r\n";
    return entry;
}

bool storeMemoryWord(HWND owner, const char* word) {
    if (!word || word[0] == '\0') return false;
    WordFile file(settings.memoryWordFile, false);
    if (!file.isOpen()) {
        reportFileFailure(owner, IDS_NO_MEMORYWORD_FILE);
        return false;
    }
    WaitCursor wait;
    return file.moveToEnd() && writeEntry(file, word);
}

// A failed write keeps the list, so that its words are not lost.
bool saveHistory(HWND owner, HistorySource& history) {
    if (history.count() <= 0) return true;
    bool overwrite = settings.overwriteHistory != 0;
    WordFile file(settings.historyFile, overwrite);
    if (!file.isOpen()) {
        reportFileFailure(owner, IDS_NO_HISTORY_FILE);
        return false;
    }
    WaitCursor wait;
    bool written = overwrite || file.moveToEnd();
    int count = history.count();
    for (int index = 0; index < count && written; ++index) {
        char item[kHistoryItemSize] = "";
        int length = history.item(index, item, sizeof item);
        if (length < 1) break;
        if (length > kLongestSavedItem) continue;
        item[kHistoryItemSize - 1] = '\0';
        written = writeEntry(file, item);
    }
    if (written) history.clear();
    return written;
}

void openInEditor(HWND owner, const char* fileName, int kindTextId) {
    char path[kFileNameCapacity];
    resolveFileName(fileName, path, sizeof path);
    if (!fileExists(path)) {
        char kind[kKindTextSize];
        loadPageString(faceTextId(kindTextId), kind, sizeof kind);
        showFaceMessage(owner, IDS_FILE_MISSING, IDS_ERROR_CAPTION, MB_OK | MB_ICONSTOP,
                        {kind, path});
        return;
    }
    std::string commandLine = std::string("NOTEPAD ") + path;
    UINT result = commandStarter(commandLine.c_str(), SW_SHOW);
    if (result <= kLastExecError) {
        showFaceMessage(owner, IDS_NOTEPAD_ERROR, IDS_ERROR_CAPTION, MB_OK | MB_ICONSTOP,
                        std::to_string(result).c_str());
    }
}

CommandStarter setCommandStarter(CommandStarter start) {
    return std::exchange(commandStarter, start ? start : startWithWinExec);
}

} // namespace lexora
