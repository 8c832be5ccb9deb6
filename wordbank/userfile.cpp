// The library file: its header and record lines read into the store, and written back.
#include "internal.h"
#include "safefile.h"

#include <cstdio>
#include <cstring>

namespace wordbank {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

const char* skipBlanks(const char* p) {
    while (isBlank(*p))
        ++p;
    return p;
}

// A line as read: text holds its first bytes, length counts them all. Only a usable line may be
// read: one that is too long or holds a NUL is never used, not even in part.
struct Line {
    char text[WBK_MAX_LINE + 2]; // the longest usable line, its CR and a NUL
    size_t length = 0;
    bool hasNul = false;
    char lastByte = '\0';
    bool usable = false;

    void clear() {
        length = 0;
        hasNul = false;
        lastByte = '\0';
        usable = false;
    }

    void append(const char* bytes, size_t count) {
        if (count == 0) return;
        if (std::memchr(bytes, '\0', count)) hasNul = true;
        size_t room = length < sizeof text - 1 ? sizeof text - 1 - length : 0;
        std::memcpy(text + length, bytes, count < room ? count : room);
        length += count;
        lastByte = bytes[count - 1];
    }

    // Drops the CR before the line's end and terminates the text of a usable line.
    void finish() {
        if (lastByte == '\r') --length;
        usable = !hasNul && length <= WBK_MAX_LINE;
        if (usable) text[length] = '\0';
    }
};

// Reads a file line by line; a line ends at LF or at the end of the file.
class LineReader {
  public:
    explicit LineReader(std::FILE* file) : file_(file) {}

    // The next line whole, or false at the end of the file.
    bool next(Line& line) {
        line.clear();
        bool any = false;
        while (position_ < end_ || refill()) {
            any = true;
            const char* start = buffer_ + position_;
            const auto* lineEnd =
                static_cast<const char*>(std::memchr(start, '\n', end_ - position_));
            size_t count = (lineEnd ? lineEnd : buffer_ + end_) - start;
            line.append(start, count);
            position_ += count + (lineEnd ? 1 : 0);
            if (lineEnd) break;
        }
        line.finish();
        return any;
    }

    bool failed() const { return std::ferror(file_) != 0; }

  private:
    bool refill() {
        position_ = 0;
        end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
        return end_ > 0;
    }

    std::FILE* file_;
    char buffer_[16384];
    size_t position_ = 0;
    size_t end_ = 0;
};

// A remark: ';' as the first character after spaces and tabs, or nothing but them.
bool isRemark(const char* line) {
    const char* first = skipBlanks(line);
    return *first == ';' || *first == '\0';
}

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

// Whether text contains upperWord (given in upper case) without regard to case.
bool containsWord(const char* text, const char* upperWord) {
    size_t wordLength = std::strlen(upperWord);
    for (; *text; ++text) {
        size_t i = 0;
        while (i < wordLength && upperAscii(text[i]) == upperWord[i])
            ++i;
        if (i == wordLength) return true;
    }
    return false;
}

// Reads up to the first "[User Lib Text]" line; a "DBCS Code Page" line that names CHN-BIG5 in
// the header section makes the library BIG5.
void readHeader(LineReader& reader, Library& library) {
    Line line;
    bool inHeader = false;
    while (reader.next(line)) {
        if (!line.usable || isRemark(line.text)) continue;
        if (containsWord(line.text, "[USER LIB HEADER]")) {
            inHeader = true;
        } else if (containsWord(line.text, "[USER LIB TEXT]")) {
            return;
        } else if (inHeader && containsWord(line.text, "DBCS CODE PAGE") &&
                   containsWord(line.text, "CHN-BIG5")) {
            setCodePage(library, WBK_PAGE_BIG5);
        }
    }
}

struct Field {
    const char* text = "";
    size_t length = 0;
};

// Parses the field at p: after spaces and tabs a double quote opens it, and the first double
// quote followed (after spaces and tabs) by a comma or the line's end closes it; without one it
// runs to the line's end. Returns where the next field begins, or null when this field is
// missing, and so are those after it.
const char* parseField(const char* p, Field& field) {
    p = skipBlanks(p);
    if (*p != '"') return nullptr;
    const char* start = ++p;
    for (; *p; ++p) {
        if (*p != '"') continue;
        const char* after = skipBlanks(p + 1);
        if (*after == ',' || *after == '\0') {
            field = {start, static_cast<size_t>(p - start)};
            return *after == ',' ? after + 1 : after;
        }
    }
    field = {start, static_cast<size_t>(p - start)};
    return p;
}

// Packs the fields of a record line into record (WBK_RECORD_BUFFER bytes); false when the line
// is not a record that the store can keep.
bool parseRecordLine(char* line, char* record, RecordView& view) {
    line[std::strcspn(line, "\r\n")] = '\0';
    Field fields[3];
    const char* p = line;
    for (Field& field : fields) {
        if (p) p = parseField(p, field);
    }
    char* out = record;
    for (const Field& field : fields) {
        std::memcpy(out, field.text, field.length);
        out[field.length] = '\0';
        out += field.length + 1;
    }
    return viewRecord(record, view) && isStorable(view);
}

bool readRecords(LineReader& reader, Library& library) {
    Line line;
    char record[WBK_RECORD_BUFFER];
    RecordView view{};
    while (reader.next(line)) {
        if (!line.usable || isRemark(line.text)) continue;
        if (parseRecordLine(line.text, record, view) && !storeRecord(library, view)) return false;
    }
    return true;
}

// The sample meanings are GB2312 whatever the library's page: 帮助,帮忙 / 词典;n.字典 / 好人.
const char* const kHeaderLines[] = {
    "; LEXORA User Library",
    "; This library is a text file, which can be added records to by user",
    "; using any text editor or LEXORA.",
    ";",
    "; Any line beginning with [;] will be treated as remark by LEXORA.",
    ";",
    "; The format of User Library:",
    "; Phrase-String\t\tPhrase-Soundmark\tPhrase-Meanning",
    "; \"help\",\t\t\"help\",\t\t\t\"\xB0\xEF\xD6\xFA,\xB0\xEF\xC3\xA6\"",
    "; \"dictionary\",\t\t\"dikSGnGri\",\t\t\t\"\xB4\xCA\xB5\xE4;n.\xD7\xD6\xB5\xE4\"",
    "; \"a good egg\",\t\t\"\",\t\t\t\"\xBA\xC3\xC8\xCB\"",
    ";",
    "[User Lib Header]",
    "; The parameter 'DBCS Code Page' is useful for LEXORA",
    "; to determine the codepage of this User Library,",
    "; which can be either CHN-GB or CHN-BIG5.",
    ";",
    nullptr, // the code page line
    ";",
    "[User Lib Text]",
};

bool writeLine(std::FILE* out, const char* text) {
    return std::fputs(text, out) >= 0 && std::fputs("\r\n", out) >= 0;
}

bool writeHeader(std::FILE* out, int codePage) {
    const char* pageLine =
        codePage == WBK_PAGE_GB ? "DBCS Code Page = CHN-GB" : "DBCS Code Page = CHN-BIG5";
    for (const char* line : kHeaderLines) {
        if (!writeLine(out, line ? line : pageLine)) return false;
    }
    return true;
}

// "phrase","soundmark","meaning" and the line end.
bool writeRecord(std::FILE* out, const char* record) {
    char line[WBK_MAX_LINE + 3];
    RecordView view{};
    viewRecord(record, view);
    int length = std::snprintf(line, sizeof line, "\"%s\",\"%s\",\"%s\"\r\n", view.phrase,
                               view.soundmark, view.meaning);
    return length > 0 && static_cast<size_t>(length) < sizeof line &&
           std::fwrite(line, 1, length, out) == static_cast<size_t>(length);
}

bool writeLibrary(std::FILE* out, const Library& library) {
    if (!writeHeader(out, library.codePage)) return false;
    for (int position = 0; position < library.count; ++position) {
        if (!writeRecord(out, recordAt(library, position))) return false;
    }
    return true;
}

} // namespace

bool loadLibrary(Library& library) {
    std::FILE* in = std::fopen(library.fileName, "rb");
    if (!in) return false;
    LineReader reader(in);
    readHeader(reader, library);
    bool loaded = readRecords(reader, library) && !reader.failed();
    std::fclose(in);
    return loaded;
}

bool saveLibrary(const Library& library) {
    if (!library.fileName) return false;
    return replaceFileContent(library.fileName,
                              [&library](std::FILE* out) { return writeLibrary(out, library); });
}

} // namespace wordbank
