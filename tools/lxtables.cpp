// lxtables: generates the code-set conversion tables of cpconv.
//
// Both character charts come from glibc iconv (charts.h). Each character is paired with its
// counterpart in the other chart through OpenCC single-character conversion, the character itself
// and a hand-kept variants list, in that order. The same input always yields the same bytes.
#include <opencc.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "charts.h"
#include "files.h"

namespace {

using namespace lexora::tools;

namespace fs = std::filesystem;

constexpr uint16_t kBig5Space = 0xA140;
constexpr uint16_t kGbSpace = 0xA1A1;
// ---------------------------------------------------------------------------------------------
// UTF-8 of single characters

std::string toUtf8(char32_t ch) {
    std::string out;
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | ch >> 6);
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        out += static_cast<char>(0xE0 | ch >> 12);
        out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | ch >> 18);
        out += static_cast<char>(0x80 | (ch >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
    return out;
}

// The character that makes up the whole of `text`, or kNoChar when it is not exactly one
// well-formed UTF-8 character.
char32_t singleCharOf(std::string_view text) {
    if (text.empty()) return kNoChar;
    const auto lead = static_cast<uint8_t>(text[0]);
    size_t length = 1;
    char32_t ch = lead;
    if (lead >= 0xF5) {
        return kNoChar;
    } else if (lead >= 0xF0) {
        length = 4;
        ch = lead & 0x07;
    } else if (lead >= 0xE0) {
        length = 3;
        ch = lead & 0x0F;
    } else if (lead >= 0xC2) {
        length = 2;
        ch = lead & 0x1F;
    } else if (lead >= 0x80) {
        return kNoChar;
    }
    if (text.size() != length) return kNoChar;
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<uint8_t>(text[i]);
        if ((next & 0xC0) != 0x80) return kNoChar;
        ch = ch << 6 | (next & 0x3F);
    }
    const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (ch < shortest[length] || !isValidChar(ch)) return kNoChar;
    return ch;
}

// ---------------------------------------------------------------------------------------------
// OpenCC

class Opencc {
  public:
    explicit Opencc(const std::string& config) : handle_(open(config)) {}

    // The single character OpenCC turns `ch` into, or kNoChar.
    char32_t convert(char32_t ch) const {
        const std::string text = toUtf8(ch);
        char* converted = opencc_convert_utf8(handle_.get(), text.data(), text.size());
        if (converted == nullptr) return kNoChar;
        const char32_t result = singleCharOf(converted);
        opencc_convert_utf8_free(converted);
        return result;
    }

  private:
    static opencc_t open(const std::string& config) {
        const opencc_t handle = opencc_open(config.c_str());
        if (handle == reinterpret_cast<opencc_t>(-1))
            throw std::runtime_error("cannot open OpenCC configuration " + config + ": " +
                                     opencc_error());
        return handle;
    }

    struct Closer {
        void operator()(void* handle) const { opencc_close(handle); }
    };
    std::unique_ptr<void, Closer> handle_;
};

std::vector<Opencc> openConverters(const std::vector<std::string>& configs) {
    std::vector<Opencc> converters;
    for (const auto& config : configs)
        converters.emplace_back(config);
    return converters;
}

// ---------------------------------------------------------------------------------------------
// Variants list

// Hand-kept pairs of a BIG5-side character and its GB-side counterpart, in file order.
class Variants {
  public:
    void add(char32_t big5Side, char32_t gbSide) { pairs_.emplace_back(big5Side, gbSide); }

    std::vector<char32_t> big5SideOf(char32_t gbChar) const {
        std::vector<char32_t> found;
        for (const auto& [big5Side, gbSide] : pairs_)
            if (gbSide == gbChar) found.push_back(big5Side);
        return found;
    }
    std::vector<char32_t> gbSideOf(char32_t big5Char) const {
        std::vector<char32_t> found;
        for (const auto& [big5Side, gbSide] : pairs_)
            if (big5Side == big5Char) found.push_back(gbSide);
        return found;
    }

  private:
    std::vector<std::pair<char32_t, char32_t>> pairs_;
};

// A variants field: one UTF-8 character, or U+ and hexadecimal digits.
char32_t parseVariantField(const std::string& field) {
    if (field.size() > 2 && field.starts_with("U+")) {
        const bool hexDigits =
            field.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos;
        if (!hexDigits || field.size() > 8) return kNoChar;
        const unsigned long value = std::stoul(field.substr(2), nullptr, 16);
        return value <= 0x10FFFF && isValidChar(static_cast<char32_t>(value))
                   ? static_cast<char32_t>(value)
                   : kNoChar;
    }
    return singleCharOf(field);
}

// Each line holds a BIG5-side character and its GB-side counterpart, separated by white space;
// '#' starts a comment, blank lines are ignored.
Variants loadVariants(const fs::path& path) {
    std::ifstream file(path);
    if (!file) throw std::runtime_error("cannot read variants file " + path.string());
    Variants variants;
    std::string line;
    for (int lineNumber = 1; std::getline(file, line); ++lineNumber) {
        std::istringstream fields(line.substr(0, line.find('#')));
        std::vector<std::string> words;
        for (std::string word; fields >> word;)
            words.push_back(word);
        if (words.empty()) continue;
        const char32_t big5Side = words.size() == 2 ? parseVariantField(words[0]) : kNoChar;
        const char32_t gbSide = words.size() == 2 ? parseVariantField(words[1]) : kNoChar;
        if (!big5Side || !gbSide)
            throw std::runtime_error(path.string() + ":" + std::to_string(lineNumber) +
                                     ": expected a BIG5-side and a GB-side character");
        variants.add(big5Side, gbSide);
    }
    if (file.bad()) throw std::runtime_error("cannot read variants file " + path.string());
    return variants;
}

// ---------------------------------------------------------------------------------------------
// Pairing

// One way of conversion: OpenCC configurations to try in order and the chart to land in.
struct Direction {
    std::vector<Opencc> converters;
    const Chart& target;
};

// The first candidate present in the target chart: each OpenCC conversion, the character
// itself, then its variants.
std::optional<uint16_t> counterpart(const Direction& direction, char32_t ch,
                                    const std::vector<char32_t>& variants) {
    for (const auto& converter : direction.converters)
        if (const auto found = direction.target.positionOf(converter.convert(ch))) return found;
    if (const auto found = direction.target.positionOf(ch)) return found;
    for (const char32_t variant : variants)
        if (const auto found = direction.target.positionOf(variant)) return found;
    return std::nullopt;
}

using Table = std::vector<uint8_t>;

// A table entry: the high byte, then the low byte.
void appendPair(Table& table, uint16_t pair) {
    table.push_back(static_cast<uint8_t>(pair >> 8));
    table.push_back(static_cast<uint8_t>(pair & 0xFF));
}

// Two bytes per source position, leads A1-FE, each lead's trails in order; positions with no
// counterpart get `fallback`.
template <typename VariantsOf>
Table pairingTable(const Chart& source, const std::vector<uint8_t>& trails,
                   const Direction& direction, VariantsOf variantsOf, uint16_t fallback) {
    Table table;
    for (int lead = kFirstLead; lead <= kLastLead; ++lead) {
        for (const uint8_t trail : trails) {
            const char32_t ch = source.charAt(positionOf(static_cast<uint8_t>(lead), trail));
            const auto found = ch ? counterpart(direction, ch, variantsOf(ch)) : std::nullopt;
            appendPair(table, found.value_or(fallback));
        }
    }
    return table;
}

Table gbToBig5Table(const Chart& gb, const Chart& big5, const Variants& variants) {
    const Direction direction{openConverters({"s2tw.json", "s2t.json", "s2hk.json"}), big5};
    return pairingTable(
        gb, gbTrails(), direction, [&](char32_t ch) { return variants.big5SideOf(ch); },
        kBig5Space);
}

Table big5ToGbTable(const Chart& big5, const Chart& gb, const Variants& variants) {
    const Direction direction{openConverters({"t2s.json", "tw2s.json", "hk2s.json"}), gb};
    return pairingTable(
        big5, big5Trails(), direction, [&](char32_t ch) { return variants.gbSideOf(ch); },
        kGbSpace);
}

// The entry of one UTF-16 code unit. The Windows code page's own encoding comes first where it
// names a character of the chart, so that units such as U+00B7 and U+2014 reach the middle dot
// and the dash as they do on Windows; then the chart's position; '?' and 0 when neither has it.
// Units below 0x100 stand for themselves as a single byte.
uint16_t unitEntry(const Chart& chart, Iconv& windowsEncoder, char32_t unit) {
    if (unit < 0x100) return static_cast<uint16_t>(unit << 8);
    const auto windowsPosition = encodeChar(windowsEncoder, unit);
    if (windowsPosition && chart.charAt(*windowsPosition) != kNoChar) return *windowsPosition;
    return chart.positionOf(unit).value_or(static_cast<uint16_t>('?' << 8));
}

Table unitTable(const Chart& chart, const char* windowsCodePage) {
    Iconv windowsEncoder(windowsCodePage, "UTF-32LE");
    Table table;
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit)
        appendPair(table, unitEntry(chart, windowsEncoder, unit));
    return table;
}

// ---------------------------------------------------------------------------------------------
// Output

size_t countEntries(const Table& table, uint16_t entry) {
    size_t count = 0;
    for (size_t i = 0; i + 1 < table.size(); i += 2)
        if (positionOf(table[i], table[i + 1]) == entry) ++count;
    return count;
}

void appendArray(std::string& out, const char* name, const Table& table) {
    constexpr size_t kPerLine = 16;
    out += "extern const uint8_t " + std::string(name) + "[" + std::to_string(table.size()) +
           "] = {\n";
    for (size_t i = 0; i < table.size(); ++i) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X,", table[i]);
        out += i % kPerLine == 0 ? "    " : " ";
        out += hex;
        if (i % kPerLine == kPerLine - 1 || i + 1 == table.size()) out += '\n';
    }
    out += "};\n";
}

std::string cppSource(const Table& gbToBig5, const Table& big5ToGb) {
    std::string out = "// Generated by lxtables: the GB <-> BIG5 tables of cpconv. Do not edit.\n"
                      "#include <cstdint>\n\n";
    appendArray(out, "cpcGbToBig5Table", gbToBig5);
    out += '\n';
    appendArray(out, "cpcBig5ToGbTable", big5ToGb);
    return out;
}

void writeTable(const fs::path& path, const Table& table) {
    writeFile(path, std::string_view(reinterpret_cast<const char*>(table.data()), table.size()));
}

void reportDefaults(const char* name, const Table& table, uint16_t fallback) {
    std::printf("%s: %zu entries, %zu default (%02X %02X)\n", name, table.size() / 2,
                countEntries(table, fallback), fallback >> 8, fallback & 0xFF);
}

struct Options {
    fs::path variants;
    fs::path out;
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view flag = argv[i];
        if (flag == "--variants") {
            options.variants = argv[i + 1];
        } else if (flag == "--out") {
            options.out = argv[i + 1];
        } else {
            return std::nullopt;
        }
    }
    if (argc % 2 == 0 || options.variants.empty() || options.out.empty()) return std::nullopt;
    return options;
}

void run(const Options& options) {
    const Variants variants = loadVariants(options.variants);
    const Chart gb = loadGbChart();
    const Chart big5 = loadBig5Chart();
    const Table gbToBig5 = gbToBig5Table(gb, big5, variants);
    const Table big5ToGb = big5ToGbTable(big5, gb, variants);

    makeDirectory(options.out);
    writeTable(options.out / "GB2BIG5.TAB", gbToBig5);
    writeTable(options.out / "BIG52GB.TAB", big5ToGb);
    writeTable(options.out / "WC2MBGB.TAB", unitTable(gb, "CP936"));
    writeTable(options.out / "WC2MBB5.TAB", unitTable(big5, "CP950"));
    writeFile(options.out / "convtables.cpp", cppSource(gbToBig5, big5ToGb));

    reportDefaults("GB2BIG5.TAB", gbToBig5, kBig5Space);
    reportDefaults("BIG52GB.TAB", big5ToGb, kGbSpace);
}

} // namespace

int main(int argc, char** argv) {
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: lxtables --variants FILE --out DIR\n";
        return 2;
    }
    try {
        run(*options);
    } catch (const std::exception& error) {
        std::cerr << "lxtables: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
