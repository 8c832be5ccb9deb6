// Benchmark of LEXORA.EXE as the user meets it (Windows, under Wine and a virtual display): (a) the
// time from starting the program to its frame shown with the start-up dialog gone, against the
// time Wine takes to start a trivial program to its window (lxtarget); (b) the time from the
// Enter key in the input box to the result pane holding the translation, median of 10 words.
// Each word is typed as WM_CHAR messages sent to the input box's edit field; Enter is posted to
// it as WM_KEYDOWN, so that it passes the program's message loop as a key press does. Fails when
// the lookup takes 50 ms or more, or the program's own start-up (less Wine's) 2 s or more.
//
// bench_app --prompt (part of bench/run.sh capture): the time from the pointer coming to rest on
// a word that lxtarget draws to LEXORA's prompt bar shown with that word, less the configured
// catch delay, median of 20 rests on different words, each coming from a blank spot with the bar
// hidden. A rest misses when the bar does not show its word within 3 s. Fails when the median
// reaches 80 ms or any rest misses.
#include "gui.h"
#include "process.h"
#include "program.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace gui = testsupport;
using Clock = std::chrono::steady_clock;
using lexoratest::descendantWithId;
using lexoratest::Program;
using lexoratest::ProgramDirectory;

constexpr int kStarts = 5;
constexpr int kRoundTrips = 10;
constexpr double kStartTargetMs = 2000;
constexpr double kLookupTargetMs = 50;
constexpr DWORD kWaitMs = 30000;
constexpr int kInputBox = 101;
constexpr int kResultPane = 102;
constexpr int kHeadword = 105;
constexpr const char* kWords[] = {"book",   "water", "house",  "computer", "language",
                                  "garden", "river", "friend", "mountain", "music"};
constexpr const char* kRestWords[] = {
    "book window paper light", "table school flower letter", "summer winter doctor water",
    "house computer language garden", "river friend mountain music"};
constexpr std::size_t kRests = 20;
constexpr int kCatchDelayTenths = 2;
constexpr double kCatchDelayMs = kCatchDelayTenths * 100;
constexpr double kPromptTargetMs = 80;
constexpr int kMissesAllowed = 0;
constexpr DWORD kShowMs = 3000;
constexpr POINT kBlankSpot{600, 340}; // in the target's window, below its texts

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct VisibleSearch {
    DWORD processId;
    bool found;
};

bool hasVisibleWindow(DWORD processId) {
    VisibleSearch search{processId, false};
    EnumWindows(
        [](HWND window, LPARAM value) {
            auto* search = reinterpret_cast<VisibleSearch*>(value);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
            search->found = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Milliseconds from starting lxtarget to its window shown: what Wine itself takes to start a
// program with a window.
std::optional<double> trivialStart() {
    std::string self = gui::selfPath();
    std::string command = "\"" + self.substr(0, self.find_last_of("\\/")) +
                          "\\lxtarget.exe\" --text x --timeout " + std::to_string(kWaitMs);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    auto start = Clock::now();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return std::nullopt;
    bool shown = gui::waitUntil([&] { return hasVisibleWindow(started.dwProcessId); }, kWaitMs);
    double elapsed = millisecondsSince(start);
    TerminateProcess(started.hProcess, 0);
    WaitForSingleObject(started.hProcess, kWaitMs);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return shown ? std::optional<double>(elapsed) : std::nullopt;
}

// Milliseconds from starting LEXORA.EXE to its frame up and the start-up dialog gone.
std::optional<double> programStart(const ProgramDirectory& directory) {
    Program program;
    auto start = Clock::now();
    if (!program.start(directory)) return std::nullopt;
    double elapsed = millisecondsSince(start);
    return program.close() ? std::optional<double>(elapsed) : std::nullopt;
}

struct StartTimes {
    double trivialMs;
    double programMs;
};

// Medians of several starts, the two programs taking turns.
std::optional<StartTimes> measureStarts(const ProgramDirectory& directory) {
    std::vector<double> trivial;
    std::vector<double> program;
    for (int run = 0; run < kStarts; ++run) {
        std::optional<double> trivialMs = trivialStart();
        std::optional<double> programMs = programStart(directory);
        if (!trivialMs || !programMs) return std::nullopt;
        trivial.push_back(*trivialMs);
        program.push_back(*programMs);
    }
    return StartTimes{median(trivial), median(program)};
}

// GetWindowText would not ask a window of another process, and an edit control keeps its text
// to itself.
std::string textOf(HWND window) {
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// Replaces the input box's text by the word, a character at a time.
void typeWord(HWND edit, const char* word) {
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char* c = word; *c; ++c)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

// Milliseconds from Enter to the result pane holding the word's translation, or nothing when
// the pane did not change or shows another word.
std::optional<double> lookupTime(HWND frame, const char* word) {
    HWND edit = GetWindow(descendantWithId(frame, kInputBox), GW_CHILD);
    HWND pane = descendantWithId(frame, kResultPane);
    if (!edit || !pane) return std::nullopt;
    typeWord(edit, word);
    if (textOf(edit) != word) {
        std::fprintf(stderr, "bench_app: the input box holds '%s', not '%s'\n",
                     textOf(edit).c_str(), word);
        return std::nullopt;
    }
    std::string before = textOf(pane);
    const LPARAM enterScanCode = 0x1C << 16;
    auto enter = Clock::now();
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, enterScanCode | 1);
    PostMessageA(edit, WM_KEYUP, VK_RETURN, enterScanCode | 0xC0000001);
    // Each read is a message the program answers once its handling of the key is done.
    std::string after;
    while ((after = textOf(pane)) == before || after.empty()) {
        if (millisecondsSince(enter) > kWaitMs) {
            std::fprintf(stderr, "bench_app: the result pane kept '%s'\n", before.c_str());
            return std::nullopt;
        }
    }
    double elapsed = millisecondsSince(enter);
    std::string headword = textOf(descendantWithId(frame, kHeadword));
    if (headword == word) return elapsed;
    std::fprintf(stderr, "bench_app: the headword is '%s'\n", headword.c_str());
    return std::nullopt;
}

// Milliseconds an empty message takes to the idle program and back: what each read of the
// result pane costs at least.
double roundTrip(HWND frame) {
    std::vector<double> times;
    for (int trip = 0; trip < kRoundTrips; ++trip) {
        auto start = Clock::now();
        SendMessageA(frame, WM_NULL, 0, 0);
        times.push_back(millisecondsSince(start));
        gui::pumpFor(20);
    }
    return median(times);
}

// The lookup times of the words, in one run of the program; nothing when one failed.
std::optional<std::vector<double>> measureLookups(const ProgramDirectory& directory) {
    Program program;
    if (!program.start(directory)) return std::nullopt;
    std::printf("an empty message to the program and back: %.1f ms\n", roundTrip(program.frame()));
    std::vector<double> times;
    for (const char* word : kWords) {
        std::optional<double> time = lookupTime(program.frame(), word);
        if (!time) {
            std::fprintf(stderr, "bench_app: no translation of '%s' appeared\n", word);
            return std::nullopt;
        }
        times.push_back(*time);
        gui::pumpFor(50);
    }
    program.close();
    return times;
}

// Waits for the condition, looking at it every millisecond.
bool pollUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    auto start = Clock::now();
    while (!gui::waitUntil(condition, 0)) {
        if (millisecondsSince(start) > timeoutMs) return false;
        Sleep(1);
    }
    return true;
}

// The target's lines, 60 pixels apart, so that the bar shown below a word leaves the next one.
std::vector<std::string> restTargetArguments() {
    std::vector<std::string> arguments = {"--window", "40", "40", "760", "400"};
    int y = 16;
    for (const char* line : kRestWords) {
        arguments.insert(arguments.end(), {"--text", line, "--x", "20", "--y", std::to_string(y)});
        y += 60;
    }
    return arguments;
}

struct PromptTimes {
    std::vector<double> beyondDelayMs;
    int misses = 0;
};

// One rest: from a blank spot with the bar hidden onto the word; the milliseconds to the bar
// shown with it, or nothing when it did not show or showed another word.
std::optional<double> promptTime(HWND bar, const gui::DrawnWord& word, POINT blank) {
    gui::movePointer(blank);
    if (!gui::waitUntil([&] { return !IsWindowVisible(bar); }, kShowMs)) return std::nullopt;
    gui::pumpFor(100);
    auto rest = Clock::now();
    if (!gui::movePointer(gui::centreOf(word.rect))) return std::nullopt;
    if (!pollUntil([&] { return IsWindowVisible(bar) != FALSE; }, kShowMs)) return std::nullopt;
    double elapsed = millisecondsSince(rest);
    if (!textOf(bar).starts_with(word.text + " ")) return std::nullopt;
    return elapsed - kCatchDelayMs;
}

std::optional<PromptTimes> measurePrompt(const ProgramDirectory& directory) {
    directory.writeSetting("Catch Word", "Catch Word", "1");
    directory.writeSetting("Catch Word", "Lock Prompt", "0");
    directory.writeSetting("Catch Word", "Catch Delay Time",
                           std::to_string(kCatchDelayTenths).c_str());
    directory.writeSetting("Catch Word", "Prompt Hide Time", "100");
    // LEXORA first, so that its hooks are there when the target starts in front of it.
    Program program;
    gui::TargetProgram target;
    if (!program.start(directory) || !program.promptBar() || !target.start(restTargetArguments()))
        return std::nullopt;
    RECT window{};
    GetWindowRect(target.window(), &window);
    POINT blank{window.left + kBlankSpot.x, window.top + kBlankSpot.y};
    PromptTimes times;
    std::vector<const gui::DrawnWord*> words;
    for (const gui::DrawnText& text : target.texts())
        for (const gui::DrawnWord& word : text.words)
            words.push_back(&word);
    // A word the target did not draw counts as missed.
    for (std::size_t rest = 0; rest < kRests; ++rest) {
        std::optional<double> time = rest < words.size()
                                         ? promptTime(program.promptBar(), *words[rest], blank)
                                         : std::nullopt;
        if (time)
            times.beyondDelayMs.push_back(*time);
        else
            ++times.misses;
    }
    target.stop();
    program.close();
    if (times.beyondDelayMs.empty()) return std::nullopt;
    return times;
}

int runPrompt(const ProgramDirectory& directory) {
    std::optional<PromptTimes> times = measurePrompt(directory);
    if (!times) {
        std::fprintf(stderr, "bench_app: the prompt bar never showed a word\n");
        return 1;
    }
    const std::vector<double>& beyond = times->beyondDelayMs;
    double medianMs = median(beyond);
    std::printf("pointer at rest on a word of another program to the prompt bar shown with it, "
                "catch delay %.0f ms: beyond the delay fastest %.1f ms, slowest %.1f ms; %d of "
                "%d rests missed their word\n",
                kCatchDelayMs, *std::min_element(beyond.begin(), beyond.end()),
                *std::max_element(beyond.begin(), beyond.end()), times->misses,
                static_cast<int>(kRests));
    std::printf("prompt latency beyond delay: %.0f ms\n", medianMs);
    return medianMs < kPromptTargetMs && times->misses <= kMissesAllowed ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (!gui::displayAvailable()) {
        std::fprintf(stderr, "bench_app: no display (run it under xvfb-run)\n");
        return 1;
    }
    ProgramDirectory directory;
    if (!directory.ready()) {
        std::fprintf(stderr, "bench_app: cannot place%s in %s\n", directory.missing().c_str(),
                     directory.path().c_str());
        return 1;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--prompt") return runPrompt(directory);
    std::optional<StartTimes> starts = measureStarts(directory);
    if (!starts) {
        std::fprintf(stderr, "bench_app: a program did not start or end\n");
        return 1;
    }
    double ownStartMs = std::max(0.0, starts->programMs - starts->trivialMs);
    std::printf("start to a shown window (median of %d): LEXORA.EXE %.0f ms, lxtarget.exe (Wine's "
                "own start) %.0f ms, LEXORA's own start-up %.0f ms\n",
                kStarts, starts->programMs, starts->trivialMs, ownStartMs);
    std::optional<std::vector<double>> lookups = measureLookups(directory);
    if (!lookups) return 1;
    std::printf("Enter to the translation in the result pane: fastest %.1f ms, slowest %.1f ms\n",
                *std::min_element(lookups->begin(), lookups->end()),
                *std::max_element(lookups->begin(), lookups->end()));
    double lookupMs = median(*lookups);
    std::printf("app lookup latency: %.1f ms\n", lookupMs);
    return ownStartMs < kStartTargetMs && lookupMs < kLookupTargetMs ? 0 : 1;
}
