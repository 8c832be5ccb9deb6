// The settings file of the native build: reading and editing a profile (INI) file line by line.
#include "profile_file.h"

#include "platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace cpconv::profile {
namespace {

// A settings file holds a few kilobytes; a larger one is damaged and is not rewritten.
constexpr size_t kFileLimit = 1 << 20;
// The platform reads an integer through a text of at most 29 characters.
constexpr int kIntegerTextSize = 30;

// The bytes the platform trims around names and values (^Z ended old DOS files).
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string_view trimStart(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string_view trim(std::string_view text) {
    text = trimStart(text);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Names and values end at a NUL byte, as the platform's strings do.
std::string_view untilNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

// One line of the text: its bytes [begin, end) without the line ending, and where the next
// line starts.
struct Line {
    size_t begin;
    size_t end;
    size_t next;
};

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    for (size_t begin = 0; begin < text.size();) {
        size_t newline = text.find('\n', begin);
        if (newline == std::string_view::npos) {
            lines.push_back({begin, text.size(), text.size()});
            break;
        }
        size_t end = newline > begin && text[newline - 1] == '\r' ? newline - 1 : newline;
        lines.push_back({begin, end, newline + 1});
        begin = newline + 1;
    }
    return lines;
}

enum class LineKind { Blank, Header, Entry };

// What a line says: a section header with its name, or an entry with its key and, when it has
// an equals sign, its value. Comments and other stray lines are entries without a value.
struct LineContent {
    LineKind kind;
    std::string_view name;
    std::optional<std::string_view> value;
};

LineContent parseLine(std::string_view line) {
    line = trim(line);
    if (line.empty()) return {LineKind::Blank, {}, {}};
    size_t close = line.rfind(']');
    if (line.front() == '[' && close != std::string_view::npos)
        return {LineKind::Header, untilNul(trim(line.substr(1, close - 1))), {}};
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {LineKind::Entry, untilNul(line), {}};
    return {LineKind::Entry, untilNul(trim(line.substr(0, equals))),
            untilNul(trim(line.substr(equals + 1)))};
}

// The text of a profile file with the edits the platform makes to it.
class ProfileText {
  public:
    explicit ProfileText(std::string text) : text_(std::move(text)), lines_(splitLines(text_)) {}

    const std::string& text() const { return text_; }

    // The value of key in the first section of that name, if the key is there with a value.
    std::optional<std::string_view> value(std::string_view section, std::string_view key) const {
        Section found = findSection(trim(section), 0);
        if (!found.exists) return std::nullopt;
        std::optional<size_t> line = findKey(found, trim(key));
        return line ? content(*line).value : std::nullopt;
    }

    // Each of the edits returns whether the text changed.
    bool set(std::string_view section, std::string_view key, std::string_view value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);

  private:
    static constexpr size_t kNoLine = static_cast<size_t>(-1);

    // A section's header line and its body, lines [first, last). The section "" is the lines
    // before the first header, and has no header line.
    struct Section {
        bool exists;
        size_t header;
        size_t first;
        size_t last;
    };

    LineContent content(size_t line) const {
        const Line& l = lines_[line];
        return parseLine(std::string_view(text_).substr(l.begin, l.end - l.begin));
    }

    size_t nextHeader(size_t from) const {
        while (from < lines_.size() && content(from).kind != LineKind::Header)
            ++from;
        return from;
    }

    // The first section named name that starts at line from or later.
    Section findSection(std::string_view name, size_t from) const {
        if (name.empty()) return {from == 0, kNoLine, 0, nextHeader(0)};
        for (size_t line = nextHeader(from); line < lines_.size(); line = nextHeader(line + 1))
            if (sameName(content(line).name, name))
                return {true, line, line + 1, nextHeader(line + 1)};
        return {false, kNoLine, 0, 0};
    }

    std::optional<size_t> findKey(const Section& section, std::string_view key) const {
        for (size_t line = section.first; line < section.last; ++line) {
            LineContent c = content(line);
            if (c.kind == LineKind::Entry && sameName(c.name, key)) return line;
        }
        return std::nullopt;
    }

    // Where the lines of a file end: the ending of its first line, CR LF for a new file.
    const char* lineEnding() const {
        size_t newline = text_.find('\n');
        if (newline == std::string::npos || (newline > 0 && text_[newline - 1] == '\r'))
            return "\r\n";
        return "\n";
    }

    // Puts lines (without their last line ending) at offset, which is the start of a line or the
    // end of the text.
    void insertLines(size_t offset, const std::string& lines) {
        std::string insertion;
        if (offset == text_.size() && !text_.empty() && text_.back() != '\n')
            insertion = lineEnding();
        insertion += lines;
        insertion += lineEnding();
        text_.insert(offset, insertion);
    }

    // A new key goes after the last line of its section that is not blank.
    void addKey(const Section& section, const std::string& entry) {
        size_t offset = section.header == kNoLine ? 0 : lines_[section.header].next;
        for (size_t line = section.first; line < section.last; ++line)
            if (content(line).kind != LineKind::Blank) offset = lines_[line].next;
        insertLines(offset, entry);
    }

    std::string text_;
    std::vector<Line> lines_;
};

std::string entryLine(std::string_view key, std::string_view value) {
    return std::string(key) + "=" + std::string(value);
}

bool ProfileText::set(std::string_view section, std::string_view key, std::string_view value) {
    // Leading spaces of a value are not written; names are created without leading spaces.
    value = trimStart(value);
    Section found = findSection(trim(section), 0);
    if (!found.exists) {
        insertLines(text_.size(), "[" + std::string(trimStart(section)) + "]" + lineEnding() +
                                      entryLine(trimStart(key), value));
        return true;
    }
    std::optional<size_t> line = findKey(found, trim(key));
    if (!line) {
        addKey(found, entryLine(trimStart(key), value));
        return true;
    }
    LineContent old = content(*line);
    if (old.value == value) return false;
    const Line& l = lines_[*line];
    text_.replace(l.begin, l.end - l.begin, entryLine(old.name, value));
    return true;
}

// The key is removed from the first section of that name that has it; there is only one
// section "".
bool ProfileText::removeKey(std::string_view section, std::string_view key) {
    section = trim(section);
    for (size_t from = 0;;) {
        Section found = findSection(section, from);
        if (!found.exists) return false;
        if (std::optional<size_t> line = findKey(found, trim(key))) {
            text_.erase(lines_[*line].begin, lines_[*line].next - lines_[*line].begin);
            return true;
        }
        if (section.empty()) return false;
        from = found.last;
    }
}

// The header goes with every line up to the next header, comments included.
bool ProfileText::removeSection(std::string_view section) {
    Section found = findSection(trim(section), 0);
    if (!found.exists) return false;
    size_t first = found.header == kNoLine ? found.first : found.header;
    size_t begin = first < lines_.size() ? lines_[first].begin : text_.size();
    size_t end = found.last < lines_.size() ? lines_[found.last].begin : text_.size();
    text_.erase(begin, end - begin);
    return begin != end;
}

// The file's bytes (none for a missing file), at most kFileLimit of them; nullopt when it exists
// but cannot be read. tooLarge tells that the file goes on past the limit.
std::optional<std::string> readFile(const char* path, bool& tooLarge) {
    tooLarge = false;
    std::FILE* in = std::fopen(path, "rb");
    if (!in) return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
    std::string bytes;
    char chunk[4096];
    size_t got = 0;
    while (!tooLarge && (got = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        tooLarge = bytes.size() + got > kFileLimit;
        bytes.append(chunk, std::min(got, kFileLimit - bytes.size()));
    }
    bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (failed) return std::nullopt;
    return bytes;
}

// Replaces the file through a temporary file beside it, so that it never holds part of a write.
bool writeFile(const char* path, const std::string& text) {
    std::string temporary = std::string(path) + ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    written = std::fflush(out) == 0 && fsync(fileno(out)) == 0 && written;
    written = std::fclose(out) == 0 && written;
    if (written && lx::platform::replaceFile(temporary.c_str(), path)) return true;
    std::remove(temporary.c_str());
    return false;
}

// A default loses its trailing spaces, as the platform's does.
std::string_view defaultText(const char* defaultValue) {
    std::string_view text = defaultValue ? defaultValue : "";
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Copies a value without its matching quotes, cut to size - 1 bytes.
int copyValue(std::string_view value, char* buffer, int size) {
    value = untilNul(value);
    if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    size_t length = std::min(value.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return -1;
}

// The number base a prefix 0x, 0o or 0b at text selects (10 without one), and the prefix length.
int numberBase(std::string_view text, size_t& at) {
    if (at + 1 >= text.size() || text[at] != '0') return 10;
    const int base = text[at + 1] == 'x'   ? 16
                     : text[at + 1] == 'o' ? 8
                     : text[at + 1] == 'b' ? 2
                                           : 10;
    if (base != 10) at += 2;
    return base;
}

int parseInteger(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ')
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    const int base = numberBase(text, at);
    uint32_t total = 0;
    for (; at < text.size(); ++at) {
        int digit = digitValue(text[at]);
        if (digit < 0 || digit >= base) break;
        total = total * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
    }
    return static_cast<int>(negative ? 0u - total : total);
}

} // namespace

int getString(const char* path, const char* section, const char* key, const char* defaultValue,
              char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    if (!section || !key || !*key) {
        buffer[0] = '\0';
        return 0;
    }
    bool tooLarge = false;
    if (std::optional<std::string> text = readFile(path, tooLarge)) {
        ProfileText profile(std::move(*text));
        if (std::optional<std::string_view> value = profile.value(section, key))
            return copyValue(*value, buffer, size);
    }
    return copyValue(defaultText(defaultValue), buffer, size);
}

int getInt(const char* path, const char* section, const char* key, int defaultValue) {
    char text[kIntegerTextSize];
    int length = getString(path, section, key, "", text, sizeof text);
    return length == 0 ? defaultValue : parseInteger(std::string_view(text, length));
}

int writeString(const char* path, const char* section, const char* key, const char* value) {
    if (!section) return 0;
    bool tooLarge = false;
    std::optional<std::string> text = readFile(path, tooLarge);
    if (!text || tooLarge) return 0;
    ProfileText profile(std::move(*text));
    bool changed = !key     ? profile.removeSection(section)
                   : !value ? profile.removeKey(section, key)
                            : profile.set(section, key, value);
    return !changed || writeFile(path, profile.text()) ? 1 : 0;
}

} // namespace cpconv::profile
