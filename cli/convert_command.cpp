// lexora convert: Chinese text between GB and BIG5 through cpconv's tables, with UTF-8 at
// either edge through iconv.
#include "commands.h"
#include "input.h"
#include "encoding.h"

#include "cpconv.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace lexora::cli {
namespace {

const char kUsage[] =
    "usage: lexora convert [--from gb|big5|utf8] [--to gb|big5|utf8] [FILE...]\n"
    "\n"
    "Converts text between the Chinese code pages GB (GB2312) and BIG5, and from or to UTF-8.\n"
    "Reads the files in turn, or standard input when none is given, and writes to standard\n"
    "output. The defaults are --from gb --to big5.\n"
    "\n"
    "From UTF-8, a character goes to GB when GB2312 has it, else to its BIG5 form and through\n"
    "the BIG5 to GB table; one that neither page has becomes '?', and how many did is said on\n"
    "standard error.\n";

enum class Encoding { Gb, Big5, Utf8 };

struct Options {
    Encoding from = Encoding::Gb;
    Encoding to = Encoding::Big5;
    std::vector<std::string> files;
};

std::optional<Encoding> parseEncoding(const std::string& name) {
    if (name == "gb") return Encoding::Gb;
    if (name == "big5") return Encoding::Big5;
    if (name == "utf8") return Encoding::Utf8;
    return std::nullopt;
}

int usageError(const std::string& message) {
    std::cerr << "lexora convert: " << message << "\n"
              << "Try 'lexora convert --help'.\n";
    return 2;
}

// Parses the arguments into options; returns an exit code when the command should stop.
std::optional<int> parseOptions(int argc, char** argv, Options& options) {
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--from" || arg == "--to") {
            if (i + 1 >= argc) return usageError("option '" + arg + "' needs a value");
            std::optional<Encoding> encoding = parseEncoding(argv[++i]);
            if (!encoding) return usageError("unknown encoding '" + std::string(argv[i]) + "'");
            (arg == "--from" ? options.from : options.to) = *encoding;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option '" + arg + "'");
        } else {
            options.files.push_back(arg);
        }
    }
    return std::nullopt;
}

int pageOf(Encoding encoding) {
    return encoding == Encoding::Gb ? CPC_PAGE_GB : CPC_PAGE_BIG5;
}

std::string convertText(const std::string& text, const Options& options, size_t& unknown) {
    if (options.from == options.to) return text;
    if (options.to == Encoding::Utf8) return pageToUtf8(text, pageOf(options.from), unknown);
    std::string converted = options.from == Encoding::Utf8 ? utf8ToGb(text, unknown) : text;
    int from = options.from == Encoding::Utf8 ? CPC_PAGE_GB : pageOf(options.from);
    if (!converted.empty())
        CPC_ConvertDBCSBuffer(CPC_GenConvertFlag(from, pageOf(options.to), 0), converted.data(),
                              static_cast<int>(converted.size()), converted.data(),
                              static_cast<int>(converted.size()));
    return converted;
}

} // namespace

int convertCommand(int argc, char** argv) {
    Options options;
    if (std::optional<int> exitCode = parseOptions(argc, argv, options)) return *exitCode;
    if (options.files.empty()) options.files.push_back("");

    size_t unknown = 0;
    for (const std::string& file : options.files) {
        std::string text;
        if (!readInput(file, text)) {
            std::cerr << "lexora convert: cannot read '" << (file.empty() ? "standard input" : file)
                      << "': " << std::strerror(errno) << "\n";
            return 1;
        }
        if (text.size() > INT_MAX) {
            std::cerr << "lexora convert: '" << file << "' is larger than 2 GB\n";
            return 1;
        }
        std::string converted = convertText(text, options, unknown);
        std::cout.write(converted.data(), static_cast<std::streamsize>(converted.size()));
    }
    std::cout.flush();
    if (unknown > 0)
        std::cerr << "lexora convert: " << unknown << (unknown == 1 ? " character" : " characters")
                  << " had no GB or BIG5 form and became '?'\n";
    return std::cout ? 0 : 1;
}

} // namespace lexora::cli
