// lexora detect: whether files hold GB or BIG5 text, judged line by line as the hook library
// judges drawn text.
#include "commands.h"
#include "input.h"

#include "cpconv.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexora::cli {
namespace {

const char kUsage[] =
    "usage: lexora detect [FILE...]\n"
    "\n"
    "Tells for each file (standard input when none is given, or for '-') whether its Chinese\n"
    "text is GB (GB2312) or BIG5, printing 'FILE: GB', 'FILE: BIG5' or, for a file without\n"
    "any byte above A0, 'FILE: no double-byte text'; standard input is named '-'.\n"
    "\n"
    "Each line is judged as a piece of text drawn under the GB page, one drawing context per\n"
    "file and the lines 16 pixels apart, so that short lines lean on the verdicts of the lines\n"
    "before them. Only lines holding a byte above A0 have a say: the file is BIG5 when more of\n"
    "them were judged BIG5 than GB, and GB otherwise.\n"
    "\n"
    "Exit status: 0 when every file was judged, 1 when a file could not be read, 2 for bad\n"
    "usage.\n";

constexpr int kLineHeight = 16;
constexpr int kFirstLineY = 24;

struct Tally {
    size_t gbLines = 0;
    size_t big5Lines = 0;
};

int usageError(const std::string& message) {
    std::cerr << "lexora detect: " << message << "\n"
              << "Try 'lexora detect --help'.\n";
    return 2;
}

// Collects the file names; returns an exit code when the command should stop.
std::optional<int> parseArguments(int argc, char** argv, std::vector<std::string>& files) {
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-') return usageError("unknown option '" + arg + "'");
        files.push_back(arg);
    }
    if (files.empty()) files.emplace_back("-");
    return std::nullopt;
}

bool holdsDoubleByteText(std::string_view line) {
    return std::any_of(line.begin(), line.end(),
                       [](char c) { return static_cast<uint8_t>(c) > 0xA0; });
}

int lineY(size_t lineNumber) {
    const uint64_t y = kFirstLineY + static_cast<uint64_t>(kLineHeight) * lineNumber;
    return y > INT_MAX ? INT_MAX : static_cast<int>(y);
}

Tally judgeLines(std::string_view text, int context) {
    Tally tally;
    size_t lineNumber = 0;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const int y = lineY(lineNumber++);
        if (!holdsDoubleByteText(line)) continue;
        const int length = static_cast<int>(std::min<size_t>(line.size(), INT_MAX));
        const int verdict = CPC_IsCodePage(CPC_PAGE_GB, line.data(), length, 0, y, context, 2);
        ++(verdict == 1 ? tally.gbLines : tally.big5Lines);
    }
    return tally;
}

const char* verdictOf(const Tally& tally) {
    if (tally.gbLines + tally.big5Lines == 0) return "no double-byte text";
    return tally.big5Lines > tally.gbLines ? "BIG5" : "GB";
}

} // namespace

int detectCommand(int argc, char** argv) {
    std::vector<std::string> files;
    if (std::optional<int> exitCode = parseArguments(argc, argv, files)) return *exitCode;

    int status = 0;
    int context = 0;
    for (const std::string& file : files) {
        std::string text;
        if (!readInput(file == "-" ? std::string() : file, text)) {
            std::cerr << "lexora detect: cannot read '" << (file == "-" ? "standard input" : file)
                      << "': " << std::strerror(errno) << "\n";
            status = 1;
            continue;
        }
        std::cout << file << ": " << verdictOf(judgeLines(text, ++context)) << "\n";
    }
    std::cout.flush();
    return std::cout ? status : 1;
}

} // namespace lexora::cli
