#include "program.h"

#include "gui.h"
#include "process.h"

namespace lexoratest {

namespace {

// What LEXORA.EXE needs beside it: its libraries and their data files.
constexpr const char* kProgramFiles[] = {
    "LEXORA.EXE", "lxtran.dll",  "cpconv.dll",  "wordbank.dll", "lxsys.dll",
    "LEXORA.LIB", "DICT_GB.FNT", "DICT_B5.FNT", "WC2MBGB.TAB",  "WC2MBB5.TAB",
};
// What it writes there besides its settings.
constexpr const char* kWrittenFiles[] = {"History.HIS", "JYWord.HIS"};
constexpr DWORD kStartMs = 30000;

std::string binDirectory() {
    std::string self = testsupport::selfPath();
    return self.substr(0, self.find_last_of("\\/"));
}

// A link is enough and saves copying the dictionary; a copy where links are refused.
bool placeFile(const std::string& from, const std::string& to) {
    DeleteFileA(to.c_str());
    return CreateHardLinkA(to.c_str(), from.c_str(), nullptr) ||
           CopyFileA(from.c_str(), to.c_str(), FALSE);
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectFrames(HWND window, LPARAM value) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, kFrameClass) == 0)
        reinterpret_cast<std::vector<HWND>*>(value)->push_back(window);
    return TRUE;
}

std::vector<HWND> frames() {
    std::vector<HWND> found;
    EnumWindows(collectFrames, reinterpret_cast<LPARAM>(&found));
    return found;
}

BOOL CALLBACK collectProcessWindows(HWND window, LPARAM value) {
    auto* search = reinterpret_cast<WindowSearch*>(value);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

bool isPromptBar(HWND window) {
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, kPromptBarClass) == 0;
}

} // namespace

ProgramDirectory::ProgramDirectory() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + "lexora-gui-" + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(path_.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return;
    std::string bin = binDirectory();
    ready_ = true;
    for (const char* file : kProgramFiles) {
        std::string to = path_ + "\\" + file;
        if (placeFile(bin + "\\" + file, to)) {
            files_.push_back(to);
        } else {
            ready_ = false;
            missing_ += std::string(" ") + file;
        }
    }
}

ProgramDirectory::~ProgramDirectory() {
    removeSettings();
    for (const char* written : kWrittenFiles)
        DeleteFileA((path_ + "\\" + written).c_str());
    for (const std::string& file : files_)
        DeleteFileA(file.c_str());
    RemoveDirectoryA(path_.c_str());
}

void ProgramDirectory::removeSettings() const {
    DeleteFileA(settingsFile().c_str());
}

void ProgramDirectory::writeSetting(const char* section, const char* key, const char* value) const {
    WritePrivateProfileStringA(section, key, value, settingsFile().c_str());
}

std::string ProgramDirectory::readSetting(const char* section, const char* key) const {
    char value[300] = "";
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value,
                             settingsFile().c_str());
    return value;
}

std::string ProgramDirectory::readFile(const char* name) const {
    std::string path = path_ + "\\" + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string content(4096, '\0');
    DWORD read = 0;
    if (!ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr))
        read = 0;
    CloseHandle(file);
    content.resize(read);
    return content;
}

void ProgramDirectory::removeFile(const char* name) const {
    DeleteFileA((path_ + "\\" + name).c_str());
}

Program::~Program() {
    if (!process_) return;
    if (running()) TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kStartMs);
    CloseHandle(process_);
}

bool Program::launch(const ProgramDirectory& directory) {
    if (process_) CloseHandle(process_);
    process_ = nullptr;
    processId_ = 0;
    frame_ = nullptr;
    std::string command = "\"" + directory.path() + "\\LEXORA.EXE\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.path().c_str(), &startup, &started))
        return false;
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    processId_ = started.dwProcessId;
    return true;
}

bool Program::start(const ProgramDirectory& directory) {
    if (!launch(directory)) return false;
    // Up once the frame is there and the start-up dialog has gone again. A locked prompt bar
    // shows from the start.
    return testsupport::waitUntil(
        [this] {
            for (HWND window : frames()) {
                DWORD processId = 0;
                GetWindowThreadProcessId(window, &processId);
                if (processId == processId_) frame_ = window;
            }
            std::vector<HWND> others = otherWindows();
            std::erase_if(others, isPromptBar);
            return frame_ && others.empty();
        },
        kStartMs);
}

std::optional<DWORD> Program::runToEnd(const ProgramDirectory& directory) {
    if (!launch(directory)) return std::nullopt;
    testsupport::waitUntil([this] { return !running(); }, kStartMs);
    return exitCode();
}

bool Program::close() {
    if (!frame_) return false;
    PostMessageA(frame_, WM_CLOSE, 0, 0);
    return testsupport::waitUntil([this] { return !running(); }, kStartMs);
}

bool Program::running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Program::exitCode() const {
    DWORD code = 0;
    if (!process_ || running() || !GetExitCodeProcess(process_, &code)) return std::nullopt;
    return code;
}

DWORD Program::threadId() const {
    return frame_ ? GetWindowThreadProcessId(frame_, nullptr) : 0;
}

std::vector<HWND> Program::otherWindows() const {
    WindowSearch search{processId_, {}};
    EnumWindows(collectProcessWindows, reinterpret_cast<LPARAM>(&search));
    std::erase(search.found, frame_);
    return search.found;
}

HWND Program::focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId(), &info) ? info.hwndFocus : nullptr;
}

HWND Program::promptBar() const {
    for (HWND window = nullptr;
         (window = FindWindowExA(nullptr, window, kPromptBarClass, nullptr)) != nullptr;) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (processId == processId_) return window;
    }
    return nullptr;
}

HWND findFrame() {
    return FindWindowA(kFrameClass, kFrameTitle);
}

int countFrames() {
    return static_cast<int>(frames().size());
}

HWND descendantWithId(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM value) {
            auto* search = reinterpret_cast<Search*>(value);
            if (GetDlgCtrlID(window) != search->id) return TRUE;
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace lexoratest
