#include "unifont.h"

#include "files.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace lexora::glyphs {

namespace {

constexpr size_t kMinCodeDigits = 4;
constexpr size_t kMaxCodeDigits = 6;
constexpr size_t kNarrowDigits = 2 * kGlyphRows;
constexpr size_t kWideDigits = 4 * kGlyphRows;
// The longest well-formed line, a carriage return included.
constexpr size_t kMaxLineLength = kMaxCodeDigits + 1 + kWideDigits + 1;
constexpr char32_t kLastCodePoint = 0x10FFFF;

std::optional<uint8_t> hexDigit(char digit) {
    if (digit >= '0' && digit <= '9') return static_cast<uint8_t>(digit - '0');
    if (digit >= 'A' && digit <= 'F') return static_cast<uint8_t>(digit - 'A' + 10);
    if (digit >= 'a' && digit <= 'f') return static_cast<uint8_t>(digit - 'a' + 10);
    return std::nullopt;
}

bool allHexDigits(std::string_view text) {
    for (const char digit : text)
        if (!hexDigit(digit)) return false;
    return true;
}

class LineError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

char32_t parseCodePoint(std::string_view field) {
    if (field.size() < kMinCodeDigits || field.size() > kMaxCodeDigits || !allHexDigits(field))
        throw LineError("the code point is not 4 to 6 hexadecimal digits");
    char32_t ch = 0;
    for (const char digit : field)
        ch = ch << 4 | *hexDigit(digit);
    if (ch > kLastCodePoint) throw LineError("the code point lies beyond U+10FFFF");
    return ch;
}

UnifontGlyph parseBitmap(std::string_view field) {
    if (field.size() != kNarrowDigits && field.size() != kWideDigits)
        throw LineError("the bitmap has " + std::to_string(field.size()) + " digits, not 32 or 64");
    if (!allHexDigits(field)) throw LineError("the bitmap is not hexadecimal");
    UnifontGlyph glyph;
    glyph.wide = field.size() == kWideDigits;
    for (size_t i = 0; i < field.size(); i += 2)
        glyph.bytes[i / 2] =
            static_cast<uint8_t>(*hexDigit(field[i]) << 4 | *hexDigit(field[i + 1]));
    return glyph;
}

// Reads one line of at most kMaxLineLength characters into `line`; false at the end of the text.
bool readLine(std::istream& in, std::string& line) {
    std::array<char, kMaxLineLength + 2> buffer{};
    in.getline(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    if (in.bad()) throw std::runtime_error("read error");
    const auto count = static_cast<size_t>(in.gcount());
    if (in.fail()) {
        if (in.eof() && count == 0) return false;
        throw LineError("the line is longer than " + std::to_string(kMaxLineLength) +
                        " characters");
    }
    const size_t length = in.eof() ? count : count - 1;
    line.assign(buffer.data(), length);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

} // namespace

Unifont Unifont::read(std::istream& in, const std::string& name) {
    Unifont font;
    std::string line;
    size_t lineNumber = 1;
    try {
        for (; readLine(in, line); ++lineNumber) {
            if (line.empty()) continue;
            const size_t colon = line.find(':');
            if (colon == std::string::npos) throw LineError("expected CODEPOINT:BITMAP");
            const std::string_view text = line;
            const char32_t ch = parseCodePoint(text.substr(0, colon));
            if (!font.glyphs_.emplace(ch, parseBitmap(text.substr(colon + 1))).second)
                throw LineError("the code point is listed twice");
        }
    } catch (const LineError& error) {
        throw std::runtime_error(name + ":" + std::to_string(lineNumber) + ": " + error.what());
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(name + ": " + error.what());
    }
    if (font.glyphs_.empty()) throw std::runtime_error(name + ": no glyphs");
    return font;
}

Unifont Unifont::load(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path.string());
    return read(file, path.string());
}

const UnifontGlyph* Unifont::find(char32_t ch) const {
    const auto found = glyphs_.find(ch);
    return found == glyphs_.end() ? nullptr : &found->second;
}

namespace {

struct ToolOptions {
    std::filesystem::path unifont;
    std::filesystem::path out;
};

std::optional<ToolOptions> parseToolOptions(int argc, char** argv) {
    ToolOptions options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view flag = argv[i];
        if (flag == "--unifont") {
            options.unifont = argv[i + 1];
        } else if (flag == "--out") {
            options.out = argv[i + 1];
        } else {
            return std::nullopt;
        }
    }
    if (argc % 2 == 0 || options.unifont.empty() || options.out.empty()) return std::nullopt;
    return options;
}

} // namespace

int runUnifontTool(int argc, char** argv, const char* name, const UnifontToolRun& run) {
    const auto options = parseToolOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: " << name << " --unifont FILE --out DIR\n";
        return 2;
    }
    try {
        const Unifont font = Unifont::load(options->unifont);
        tools::makeDirectory(options->out);
        run(font, options->out);
    } catch (const std::exception& error) {
        std::cerr << name << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace lexora::glyphs
