// lexora convert: Chinese text between GB and BIG5 through cpconv's tables, with UTF-8 at
// either edge through iconv.
#include "commands.h"

#include "cpconv.h"

#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
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

bool readInput(const std::string& file, std::string& text) {
    if (file.empty()) {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream contents;
    contents << in.rdbuf();
    text = contents.str();
    return !in.bad();
}

// An iconv converter that converts one character at a time.
class CharacterConverter {
  public:
    CharacterConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~CharacterConverter() {
        if (ok()) iconv_close(cd_);
    }
    CharacterConverter(const CharacterConverter&) = delete;
    CharacterConverter& operator=(const CharacterConverter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The converted character, or nothing when the target cannot hold it.
    std::optional<std::string> convert(const char* bytes, size_t length) {
        char out[16];
        char* in = const_cast<char*>(bytes);
        char* outPos = out;
        size_t outLeft = sizeof out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (!ok() || iconv(cd_, &in, &length, &outPos, &outLeft) == static_cast<size_t>(-1) ||
            length != 0)
            return std::nullopt;
        return std::string(out, outPos);
    }

  private:
    iconv_t cd_;
};

// The GB form of a character given in UTF-32: GB2312's own, else that of its BIG5 form.
class GbEncoder {
  public:
    std::optional<std::string> encode(const std::string& utf32) {
        if (std::optional<std::string> gb = toGb_.convert(utf32.data(), utf32.size())) return gb;
        std::optional<std::string> big5 = toBig5_.convert(utf32.data(), utf32.size());
        if (!big5 || big5->size() != 2) return std::nullopt;
        unsigned gb =
            CPC_ConvertADBCS(CPC_FLAG_BIG5_TO_GB, static_cast<uint8_t>((*big5)[0]) |
                                                      static_cast<uint8_t>((*big5)[1]) << 8);
        if (gb == 0) return std::nullopt;
        return std::string{static_cast<char>(gb & 0xFF), static_cast<char>(gb >> 8)};
    }

  private:
    CharacterConverter toGb_{"GB2312", "UTF-32LE"};
    CharacterConverter toBig5_{"CP950", "UTF-32LE"};
};

// Length of the UTF-8 sequence that starts with lead, as the lead byte tells.
size_t utf8SequenceLength(uint8_t lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Text in GB from UTF-8; unknown counts the characters (and bad bytes) that became '?'.
std::string utf8ToGb(const std::string& text, size_t& unknown) {
    CharacterConverter decoder("UTF-32LE", "UTF-8");
    GbEncoder encoder;
    std::string gb;
    size_t pos = 0;
    while (pos < text.size()) {
        uint8_t lead = static_cast<uint8_t>(text[pos]);
        if (lead < 0x80) {
            gb += text[pos++];
            continue;
        }
        size_t length = std::min(utf8SequenceLength(lead), text.size() - pos);
        std::optional<std::string> utf32 = decoder.convert(text.data() + pos, length);
        std::optional<std::string> pair = utf32 ? encoder.encode(*utf32) : std::nullopt;
        pos += utf32 ? length : 1;
        if (!pair) ++unknown;
        gb += pair ? *pair : "?";
    }
    return gb;
}

// UTF-8 of one character of a double-byte page.
class PageDecoder {
  public:
    explicit PageDecoder(int page)
        : page_(page), decoder_("UTF-8", page == CPC_PAGE_GB ? "GB2312" : "CP950") {}

    std::optional<std::string> decode(const char* bytes, size_t length) {
        if (std::optional<std::string> utf8 = decoder_.convert(bytes, length)) return utf8;
        if (page_ == CPC_PAGE_BIG5) return extension_.convert(bytes, length);
        return std::nullopt;
    }

  private:
    int page_;
    CharacterConverter decoder_;
    // The extension characters of BIG5 that CP950 lacks.
    CharacterConverter extension_{"UTF-8", "BIG5-HKSCS"};
};

// Text in UTF-8 from a double-byte page, character by character as the page steps over it.
std::string pageToUtf8(const std::string& text, int page, size_t& unknown) {
    PageDecoder decoder(page);
    std::string utf8;
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end) {
        const char* next = *p == '\0' ? p + 1 : CPC_DBCSNext(page, p);
        std::optional<std::string> character;
        if (static_cast<uint8_t>(*p) < 0x80)
            character = std::string(1, *p);
        else
            character = decoder.decode(p, static_cast<size_t>(next - p));
        if (!character) ++unknown;
        utf8 += character ? *character : "?";
        p = next;
    }
    return utf8;
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
