// The text converter's work apart from its dialog: telling the language of a text, converting
// Chinese text between the code pages with one of three treatments of the spaces before Chinese
// characters, translating English text line by line, and when a conversion may start.
#ifndef LEXORA_APP_TEXTCONVERT_H
#define LEXORA_APP_TEXTCONVERT_H

#include "textfile.h"

#include <cstddef>

namespace lexora {

// The source languages in the order of the converter's list; a Chinese one's number is its page.
enum class TextLanguage { english = 0, gb = 1, big5 = 2 };

// The language of at most `length` bytes of text (up to a NUL): the double-byte page more of its
// characters belong to, English when none do.
TextLanguage detectLanguage(const char* text, std::size_t length);
// The language of the first 4095 bytes of a file; `opened` tells whether the file could be read
// (one that cannot be read counts as English).
TextLanguage detectFileLanguage(const char* path, bool& opened);

// What happens to the last space before a Chinese character.
enum class SpaceMode { remove = -1, keep = 0, insert = 1 };

// Whether a GB character (two bytes) is one of the punctuation marks that take no space before
// them in the insert mode.
bool isGbPunctuation(const char* pair);

// Copies the source to the destination, its characters converted from one double-byte page to
// the other (the same page copies them), single bytes as they are.
void convertChineseText(MyFile& source, MyFile& dest, int sourcePage, int destPage,
                        SpaceMode spaces);
// Writes the dictionary's Chinese for each line of English (lines of at most 255 bytes), in
// `destPage`; with `compare` each English line goes above its translation.
void translateEnglishText(MyFile& source, MyFile& dest, int destPage, bool compare);

// The converter's choices that decide whether Convert may run.
struct ConvertChoice {
    bool fromClipboard = false;
    const char* sourceFile = "";
    bool toClipboard = false;
    const char* destFile = "";
    bool languageChosen = false;
    bool pageChosen = false;
};

// A source and a destination are there, and a file is not written over itself.
bool convertAllowed(const ConvertChoice& choice);

} // namespace lexora

#endif
