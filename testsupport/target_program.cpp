// Starting, reading and stopping the target program lxtarget.exe.
#include "gui.h"
#include "process.h"
#include "target/report.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <sstream>

namespace testsupport {
namespace {

// The report never grows near this; a bound keeps a runaway file from being read whole.
constexpr DWORD kMaxReportBytes = 4 << 20;
constexpr std::size_t kMaxReportText = 4096;

std::string targetPath() {
    std::string self = selfPath();
    return self.substr(0, self.find_last_of("\\/") + 1) + "lxtarget.exe";
}

std::string newReportPath() {
    static unsigned counter = 0;
    char directory[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, directory);
    std::string path(directory, length > 0 && length < MAX_PATH ? length : 0);
    return path + "lxtarget-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter) + ".txt";
}

// One argument quoted as the C runtime splits command lines: backslashes double only before a
// quote, and quotes are escaped.
std::string quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + '"';
}

// The complete lines of the report; a last line still being written is left out.
std::vector<std::string> reportLines(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    std::string content(
        static_cast<std::size_t>(std::clamp<LONGLONG>(size.QuadPart, 0, kMaxReportBytes)), '\0');
    DWORD read = 0;
    if (!ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr))
        read = 0;
    CloseHandle(file);
    content.resize(read);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(content.substr(start, end - start));
    return lines;
}

// Splits a report line into its fields.
std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream stream(line);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

template <typename Number> bool parse(const std::string& text, Number& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool parseWindow(const std::string& text, HWND& window) {
    std::uint64_t value = 0;
    if (!parse(text, value)) return false;
    window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
    return true;
}

bool parseRect(const std::vector<std::string>& words, std::size_t first, RECT& rect) {
    return words.size() >= first + 4 && parse(words[first], rect.left) &&
           parse(words[first + 1], rect.top) && parse(words[first + 2], rect.right) &&
           parse(words[first + 3], rect.bottom);
}

bool parseText(const std::string& hex, std::string& text) {
    std::optional<std::string> bytes = lxtarget::fromHex(hex, kMaxReportText);
    if (bytes) text = std::move(*bytes);
    return bytes.has_value();
}

// "text ROUTE HWND LEFT TOP RIGHT BOTTOM TEXT"
bool parseTextLine(const std::vector<std::string>& words, DrawnText& drawn) {
    if (words.size() != 8) return false;
    drawn.route = words[1];
    return parseWindow(words[2], drawn.window) && parseRect(words, 3, drawn.rect) &&
           parseText(words[7], drawn.text);
}

// "word LEFT TOP RIGHT BOTTOM TEXT"
bool parseWordLine(const std::vector<std::string>& words, DrawnWord& word) {
    return words.size() == 6 && parseRect(words, 1, word.rect) && parseText(words[5], word.text);
}

// "message TIME HWND MESSAGE WPARAM LPARAM"
bool parseMessageLine(const std::vector<std::string>& words, RecordedMessage& message) {
    return words.size() == 6 && parse(words[1], message.time) &&
           parseWindow(words[2], message.window) && parse(words[3], message.message) &&
           parse(words[4], message.wParam) && parse(words[5], message.lParam);
}

bool hasLine(const std::vector<std::string>& lines, const char* wanted) {
    for (const std::string& line : lines)
        if (line == wanted) return true;
    return false;
}

} // namespace

TargetProgram::~TargetProgram() {
    stop();
}

bool TargetProgram::start(const std::vector<std::string>& arguments, DWORD timeoutMs) {
    if (process_) {
        error_ = "the target is already running";
        return false;
    }
    error_.clear();
    exitCode_.reset();
    messagesCleared_ = 0;
    reportPath_ = newReportPath();
    // The report comes first, so that an option missing its value at the end stays missing.
    std::string command = quoted(targetPath()) + " --report " + quoted(reportPath_);
    for (const std::string& argument : arguments)
        command += " " + quoted(argument);
    AllowSetForegroundWindow(ASFW_ANY);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &created)) {
        error_ = "cannot start " + targetPath();
        return false;
    }
    CloseHandle(created.hThread);
    process_ = created.hProcess;
    processId_ = created.dwProcessId;
    bool ready = waitUntil([&] { return !running() || hasLine(reportLines(reportPath_), "ready"); },
                           timeoutMs);
    if (!ready || !hasLine(reportLines(reportPath_), "ready")) {
        error_ =
            running()
                ? "lxtarget reported no ready window within " + std::to_string(timeoutMs) + " ms"
                : "lxtarget ended with exit code " + std::to_string(exitCode().value_or(0));
        stop(0);
        return false;
    }
    if (!readReport()) {
        error_ = "lxtarget wrote a malformed report";
        stop(0);
        return false;
    }
    if (!bringToFront()) {
        error_ = "the target window did not come to the front";
        return false;
    }
    return true;
}

bool TargetProgram::readReport() {
    texts_.clear();
    for (const std::string& line : reportLines(reportPath_)) {
        std::vector<std::string> words = fields(line);
        if (words.empty()) continue;
        bool valid = true;
        if (words[0] == "font" && words.size() == 2) {
            valid = parseText(words[1], fontFace_);
        } else if (words[0] == "window" && words.size() == 2) {
            valid = parseWindow(words[1], window_);
        } else if (words[0] == "text") {
            texts_.emplace_back();
            valid = parseTextLine(words, texts_.back());
        } else if (words[0] == "word") {
            DrawnWord word;
            valid = !texts_.empty() && parseWordLine(words, word);
            if (valid) texts_.back().words.push_back(std::move(word));
        }
        if (!valid) return false;
    }
    return window_ != nullptr;
}

bool TargetProgram::stop(DWORD timeoutMs) {
    if (!process_) return true;
    if (running() && window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    bool closed = waitUntil([&] { return !running(); }, window_ ? timeoutMs : 0);
    if (!closed) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, kWaitMs);
    }
    ended();
    return closed;
}

void TargetProgram::ended() {
    DWORD code = 0;
    if (GetExitCodeProcess(process_, &code) && code != STILL_ACTIVE) exitCode_ = code;
    CloseHandle(process_);
    process_ = nullptr;
    window_ = nullptr;
    DeleteFileA(reportPath_.c_str());
}

bool TargetProgram::running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> TargetProgram::exitCode() const {
    DWORD code = 0;
    if (process_ && GetExitCodeProcess(process_, &code) && code != STILL_ACTIVE) return code;
    return exitCode_;
}

const DrawnWord* TargetProgram::findWord(std::string_view text, std::size_t occurrence) const {
    for (const DrawnText& drawn : texts_)
        for (const DrawnWord& word : drawn.words)
            if (word.text == text && occurrence-- == 0) return &word;
    return nullptr;
}

bool TargetProgram::bringToFront(DWORD timeoutMs) const {
    if (!window_) return false;
    if (GetForegroundWindow() != window_) SetForegroundWindow(window_);
    return waitUntil([&] { return GetForegroundWindow() == window_; }, timeoutMs);
}

std::vector<RecordedMessage> TargetProgram::messages() const {
    std::vector<RecordedMessage> received;
    std::size_t skipped = 0;
    for (const std::string& line : reportLines(reportPath_)) {
        std::vector<std::string> words = fields(line);
        RecordedMessage message;
        if (words.empty() || words[0] != "message" || !parseMessageLine(words, message)) continue;
        if (skipped < messagesCleared_)
            ++skipped;
        else
            received.push_back(message);
    }
    return received;
}

void TargetProgram::clearMessages() {
    messagesCleared_ += messages().size();
}

std::optional<RecordedMessage> TargetProgram::waitForMessage(UINT message, WPARAM wParam,
                                                             DWORD timeoutMs) const {
    std::optional<RecordedMessage> found;
    waitUntil(
        [&] {
            for (const RecordedMessage& received : messages())
                if (received.message == message && received.wParam == wParam) {
                    found = received;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return found;
}

} // namespace testsupport
