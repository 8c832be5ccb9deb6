#include "textconvert.h"

#include <cpconv.h>
#include <lxtran.h>

#include <cstdio>
#include <cstring>

namespace lexora {

namespace {

// A file's language is told from its first bytes.
constexpr std::size_t kDetectionBlockSize = 4096;
// Names are compared over this many bytes when a file would be written over itself.
constexpr std::size_t kComparedNameLength = 199;
constexpr int kLineSize = 256;
// A 255-byte line translated word by word may come back two and a half times as long (each
// one-letter word may become a 4-byte translation), and every word's attempt writes up to 80
// bytes past the end: the engine needs about 720 bytes for the worst line.
constexpr int kTranslationSize = 1024;
constexpr int kSplitIntoWords = 1;

// The GB punctuation marks that take no space before them, each a GB pair: full-width comma,
// ideographic full stop, enumeration comma, semicolon, exclamation mark, question mark, colon,
// right double and single quotes, right double angle bracket, right black lenticular bracket,
// right square bracket, right tortoise-shell bracket, full-width full stop.
constexpr const char* kGbPunctuation[] = {
    "\xA3\xAC", "\xA1\xA3", "\xA1\xA2", "\xA3\xBB", "\xA3\xA1", "\xA3\xBF", "\xA3\xBA",
    "\xA1\xB1", "\xA1\xAF", "\xA1\xB7", "\xA1\xBF", "\xA3\xDD", "\xA1\xBD", "\xA3\xAE",
};

bool isCharacterOf(int page, const char* at) {
    return CPC_DBCSNext(page, at) == at + 2;
}

int conversionFlag(int sourcePage, int destPage) {
    return destPage * 256 + sourcePage;
}

bool hasText(const char* text) {
    return text && text[0] != '\0';
}

// Writes the source to the destination character by character, holding back the last space
// before each Chinese character until the space mode has decided about it.
class ChineseConversion {
  public:
    ChineseConversion(MyFile& source, MyFile& dest, int sourcePage, int destPage, SpaceMode spaces)
        : source_(source), dest_(dest), sourcePage_(sourcePage),
          flag_(conversionFlag(sourcePage, destPage)),
          toGbFlag_(conversionFlag(sourcePage, CPC_PAGE_GB)), spaces_(spaces) {}

    void run();

  private:
    void putSingleByte(int byte);
    // False when the source ended after the lead byte.
    bool putDoubleByte(int lead);
    void putCharacter(const char* pair);
    bool takesSpaceBefore(const char* pair) const;
    void putPendingSpace();
    void putPair(const char* pair);

    MyFile& source_;
    MyFile& dest_;
    int sourcePage_;
    int flag_;
    int toGbFlag_;
    SpaceMode spaces_;
    bool spacePending_ = false;
};

void ChineseConversion::run() {
    for (int byte; (byte = source_.getChar()) >= 0;) {
        if (!CPC_IsLeadByte(sourcePage_, byte))
            putSingleByte(byte);
        else if (!putDoubleByte(byte))
            return;
    }
    if (spaces_ != SpaceMode::remove) putPendingSpace();
}

void ChineseConversion::putSingleByte(int byte) {
    putPendingSpace();
    if (byte == ' ')
        spacePending_ = true;
    else
        dest_.putChar(byte);
}

bool ChineseConversion::putDoubleByte(int lead) {
    int trail = source_.getChar();
    if (trail < 0) {
        putPendingSpace();
        dest_.putChar(lead);
        return false;
    }
    const char pair[3] = {static_cast<char>(lead), static_cast<char>(trail), '\0'};
    if (isCharacterOf(sourcePage_, pair)) {
        putCharacter(pair);
    } else {
        putPendingSpace();
        putPair(pair);
    }
    return true;
}

void ChineseConversion::putCharacter(const char* pair) {
    char converted[2];
    CPC_ConvertDBCSBuffer(flag_, pair, 2, converted, sizeof converted);
    if (spaces_ == SpaceMode::keep) putPendingSpace();
    if (spaces_ == SpaceMode::insert && takesSpaceBefore(pair)) dest_.putChar(' ');
    spacePending_ = false;
    putPair(converted);
}

bool ChineseConversion::takesSpaceBefore(const char* pair) const {
    char gb[2];
    CPC_ConvertDBCSBuffer(toGbFlag_, pair, 2, gb, sizeof gb);
    return !isGbPunctuation(gb);
}

void ChineseConversion::putPendingSpace() {
    if (spacePending_) dest_.putChar(' ');
    spacePending_ = false;
}

void ChineseConversion::putPair(const char* pair) {
    dest_.putChar(static_cast<unsigned char>(pair[0]));
    dest_.putChar(static_cast<unsigned char>(pair[1]));
}

} // namespace

TextLanguage detectLanguage(const char* text, std::size_t length) {
    std::size_t gb = 0;
    std::size_t big5 = 0;
    for (std::size_t at = 0; at < length && text[at] != '\0';) {
        bool gbCharacter = length - at >= 2 && isCharacterOf(CPC_PAGE_GB, text + at);
        bool big5Character = length - at >= 2 && isCharacterOf(CPC_PAGE_BIG5, text + at);
        gb += gbCharacter;
        big5 += big5Character;
        at += gbCharacter || big5Character ? 2 : 1;
    }
    if (gb != 0 && gb >= big5) return TextLanguage::gb;
    if (big5 > gb) return TextLanguage::big5;
    return TextLanguage::english;
}

TextLanguage detectFileLanguage(const char* path, bool& opened) {
    char block[kDetectionBlockSize] = {};
    std::FILE* file = std::fopen(path, "rb");
    opened = file != nullptr;
    if (!file) return TextLanguage::english;
    std::size_t length = std::fread(block, 1, sizeof block - 1, file);
    std::fclose(file);
    return detectLanguage(block, length);
}

bool isGbPunctuation(const char* pair) {
    for (const char* mark : kGbPunctuation)
        if (pair[0] == mark[0] && pair[1] == mark[1]) return true;
    return false;
}

void convertChineseText(MyFile& source, MyFile& dest, int sourcePage, int destPage,
                        SpaceMode spaces) {
    ChineseConversion(source, dest, sourcePage, destPage, spaces).run();
}

// The engine's output is in the current page.
void translateEnglishText(MyFile& source, MyFile& dest, int destPage, bool compare) {
    int flag = conversionFlag(CPC_GetCodePage(), destPage);
    char line[kLineSize];
    char translation[kTranslationSize];
    while (source.getLine(line, sizeof line)) {
        if (compare) dest.putString(line);
        // The engine leaves its output untouched for some texts.
        translation[0] = '\0';
        LXaTransHHStr(line, translation, kSplitIntoWords);
        CPC_ConvertDBCSBuffer(flag, translation, 0, translation, sizeof translation);
        dest.putString(translation);
    }
}

bool convertAllowed(const ConvertChoice& choice) {
    bool hasSource = choice.fromClipboard || hasText(choice.sourceFile);
    bool hasDest = choice.toClipboard || hasText(choice.destFile);
    if (!hasSource || !hasDest || !choice.languageChosen || !choice.pageChosen) return false;
    bool writesOverSource = hasText(choice.sourceFile) && hasText(choice.destFile) &&
                            !choice.toClipboard &&
                            _strnicmp(choice.sourceFile, choice.destFile, kComparedNameLength) == 0;
    return !writesOverSource;
}

} // namespace lexora
