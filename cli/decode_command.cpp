// lexora decode: HZ, ISO-2022 and MIME mail and news text to GB, BIG5 or UTF-8 through cpconv's
// decoders, line by line as these forms are written.
#include "commands.h"
#include "encoding.h"

#include "cpconv.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace lexora::cli {
namespace {

const char kUsage[] =
    "usage: lexora decode --hz|--iso2022|--mime [--to gb|big5|utf8] [FILE...]\n"
    "\n"
    "Decodes Chinese mail and news text written in a 7-bit form: HZ (\"~{\" ... \"~}\"),\n"
    "ISO-2022 (escape sequences and shift codes, as ISO-2022-CN) or MIME encoded words\n"
    "(\"=?charset?B?...?=\" or \"?Q?\"). Reads the files in turn, or standard input when none is\n"
    "given, decodes line by line and writes to standard output in GB (the default), BIG5 or\n"
    "UTF-8. The bytes of MIME encoded words are taken to be GB whatever charset they name.\n";

enum class Form { None, Hz, Iso2022, Mime };
enum class Target { Gb, Big5, Utf8 };

struct Options {
    Form form = Form::None;
    Target to = Target::Gb;
    std::vector<std::string> files;
};

// Decoded text is gathered up to this size before it is converted and written.
constexpr size_t kBatchSize = 1 << 16;
// Longer lines are refused: the decoders take an int length and the destination needs room.
constexpr size_t kMaxLine = INT_MAX / 2;

int usageError(const std::string& message) {
    std::cerr << "lexora decode: " << message << "\n"
              << "Try 'lexora decode --help'.\n";
    return 2;
}

std::optional<Form> parseForm(const std::string& arg) {
    if (arg == "--hz") return Form::Hz;
    if (arg == "--iso2022") return Form::Iso2022;
    if (arg == "--mime") return Form::Mime;
    return std::nullopt;
}

std::optional<Target> parseTarget(const std::string& name) {
    if (name == "gb") return Target::Gb;
    if (name == "big5") return Target::Big5;
    if (name == "utf8") return Target::Utf8;
    return std::nullopt;
}

// Parses the arguments into options; returns an exit code when the command should stop.
std::optional<int> parseOptions(int argc, char** argv, Options& options) {
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (std::optional<Form> form = parseForm(arg)) {
            if (options.form != Form::None && options.form != *form)
                return usageError("give only one of --hz, --iso2022 and --mime");
            options.form = *form;
        } else if (arg == "--to") {
            if (i + 1 >= argc) return usageError("option '--to' needs a value");
            std::optional<Target> target = parseTarget(argv[++i]);
            if (!target) return usageError("unknown encoding '" + std::string(argv[i]) + "'");
            options.to = *target;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option '" + arg + "'");
        } else {
            options.files.push_back(arg);
        }
    }
    if (options.form == Form::None) return usageError("say which form: --hz, --iso2022 or --mime");
    return std::nullopt;
}

// Decodes one line (with its line end) into dest, which the decoders need len + 4 bytes long.
void decodeLine(Form form, const std::string& line, std::vector<char>& dest, std::string& out) {
    const int len = static_cast<int>(line.size());
    if (dest.size() < line.size() + 4) dest.resize(line.size() + 4);
    int written = 0;
    if (form == Form::Hz)
        written = CPC_DecodeHZCodeBuffer(line.data(), dest.data(), len, 0);
    else if (form == Form::Iso2022)
        written = CPC_DecodeISO2022Buffer(line.data(), dest.data(), len, 0);
    else
        written = CPC_DecodeMIMEBuffer(line.data(), dest.data(), len);
    out.append(dest.data(), static_cast<size_t>(written));
}

// Converts decoded GB text to the target and writes it; unknown counts characters that UTF-8
// output could not carry.
void write(std::string& gb, Target to, size_t& unknown) {
    if (to == Target::Big5 && !gb.empty())
        CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, gb.data(), static_cast<int>(gb.size()),
                              gb.data(), static_cast<int>(gb.size()));
    if (to == Target::Utf8) {
        std::string utf8 = pageToUtf8(gb, CPC_PAGE_GB, unknown);
        std::cout.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
    } else {
        std::cout.write(gb.data(), static_cast<std::streamsize>(gb.size()));
    }
    gb.clear();
}

// Decodes one input; false when a line is too long to decode.
bool decodeStream(std::istream& in, const Options& options, size_t& unknown) {
    std::vector<char> dest;
    std::string line;
    std::string decoded;
    while (std::getline(in, line)) {
        if (!in.eof()) line += '\n';
        if (line.size() > kMaxLine) return false;
        decodeLine(options.form, line, dest, decoded);
        if (decoded.size() >= kBatchSize) write(decoded, options.to, unknown);
    }
    write(decoded, options.to, unknown);
    return true;
}

int decodeInput(const std::string& file, const Options& options, size_t& unknown) {
    const std::string name = file.empty() ? "standard input" : file;
    std::ifstream opened;
    if (!file.empty()) opened.open(file, std::ios::binary);
    std::istream& in = file.empty() ? std::cin : opened;
    if (!file.empty() && !opened) {
        std::cerr << "lexora decode: cannot read '" << name << "': " << std::strerror(errno)
                  << "\n";
        return 1;
    }
    if (!decodeStream(in, options, unknown)) {
        std::cerr << "lexora decode: '" << name << "' has a line longer than 1 GB\n";
        return 1;
    }
    if (in.bad()) {
        std::cerr << "lexora decode: cannot read '" << name << "'\n";
        return 1;
    }
    return 0;
}

} // namespace

int decodeCommand(int argc, char** argv) {
    Options options;
    if (std::optional<int> exitCode = parseOptions(argc, argv, options)) return *exitCode;
    if (options.files.empty()) options.files.push_back("");
    // The decoders give GB pairs while GB is the current page.
    CPC_SetCodePage(CPC_PAGE_GB);

    size_t unknown = 0;
    for (const std::string& file : options.files)
        if (int status = decodeInput(file, options, unknown)) return status;
    std::cout.flush();
    if (unknown > 0)
        std::cerr << "lexora decode: " << unknown << (unknown == 1 ? " character" : " characters")
                  << " could not be read as GB and became '?'\n";
    return std::cout ? 0 : 1;
}

} // namespace lexora::cli
