// LEXORA.EXE run as the user runs it, from a directory of its own: its files are copied (or
// linked) there from the build's bin directory, so that each run reads and writes its own
// LEXORA.INI beside the program.
#ifndef LEXORA_APP_TESTS_PROGRAM_H
#define LEXORA_APP_TESTS_PROGRAM_H

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace lexoratest {

inline constexpr char kFrameClass[] = "LEXORACLASS32";
inline constexpr char kFrameTitle[] = "LEXORA for Windows NT V2.0";
inline constexpr char kPromptBarClass[] = "LXPrompt";
inline constexpr UINT kHotKeyMessage = 0x1997;

// A directory holding the program and what it loads; removed with the object.
class ProgramDirectory {
  public:
    ProgramDirectory();
    ~ProgramDirectory();
    ProgramDirectory(const ProgramDirectory&) = delete;
    ProgramDirectory& operator=(const ProgramDirectory&) = delete;

    bool ready() const { return ready_; }
    // The files that could not be placed.
    const std::string& missing() const { return missing_; }
    const std::string& path() const { return path_; }
    std::string settingsFile() const { return path_ + "\\LEXORA.INI"; }

    // LEXORA.INI: removed, or written key by key.
    void removeSettings() const;
    void writeSetting(const char* section, const char* key, const char* value) const;
    std::string readSetting(const char* section, const char* key) const;
    // A file the program wrote beside itself (removed with the directory); "" when missing.
    std::string readFile(const char* name) const;
    void removeFile(const char* name) const;

  private:
    std::string path_;
    std::vector<std::string> files_;
    std::string missing_;
    bool ready_ = false;
};

// One run of LEXORA.EXE.
class Program {
  public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts it and waits until its frame is up and its start-up dialog gone.
    bool start(const ProgramDirectory& directory);
    // Starts it and waits until it ends by itself; its exit code.
    std::optional<DWORD> runToEnd(const ProgramDirectory& directory);
    // Asks the frame to close and waits until the process ends; false when it did not.
    bool close();
    bool running() const;
    std::optional<DWORD> exitCode() const;

    HWND frame() const { return frame_; }
    DWORD processId() const { return processId_; }
    DWORD threadId() const;
    // The visible top-level windows of the process other than the frame.
    std::vector<HWND> otherWindows() const;
    // The window with the keyboard focus in the program's thread, or nullptr.
    HWND focus() const;
    // The prompt bar of the run, shown or hidden; nullptr when there is none.
    HWND promptBar() const;

  private:
    bool launch(const ProgramDirectory& directory);

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND frame_ = nullptr;
};

// The frame of any run, or nullptr.
HWND findFrame();
// The first window below `parent`, at any depth, whose control id is `id`; nullptr when none.
HWND descendantWithId(HWND parent, int id);
int countFrames();

} // namespace lexoratest

#endif
