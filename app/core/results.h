// The dictionary's answers as the main window and the word files show them. A translation is
// the headword, optionally byte 0x01 and the phonetic transcription, optionally byte 0x02 and
// the meanings, where bytes 1 to 31 with a label stand for parts of speech and ',' separates
// meanings.
#ifndef LEXORA_APP_RESULTS_H
#define LEXORA_APP_RESULTS_H

#include <cstddef>
#include <functional>

namespace lexora {

// The label of a part-of-speech byte, or nullptr when the byte carries none.
const char* partOfSpeechLabel(unsigned char code);

// The pieces of a translation text (pointers into it; lengths in bytes).
struct TranslationParts {
    const char* headword;
    std::size_t headwordLength;
    const char* phonetic; // nullptr when there is none
    std::size_t phoneticLength;
    const char* meanings; // nullptr when there are none; runs to the text's NUL
};
TranslationParts splitTranslation(const char* text);

// Lays meanings out in lines for the result pane: ',' becomes ';', labels start lines, and a
// line ends once `fits` says it no longer fits (or at 99 bytes; an empty `fits` measures
// nothing else). `writeLine` gets each line and whether it ends with a line break (the last one
// does not). A double-byte character stays whole on one line. Labels that follow each other
// directly share a line ("vt.n.") in the result pane; in the word files each starts its own.
enum class LabelLines { Joined, Separate };
using LineFits = std::function<bool(const char* line, std::size_t length)>;
using LineWriter = std::function<void(const char* line, std::size_t length, bool lineBreak)>;
void layoutMeanings(const char* meanings, const LineFits& fits, const LineWriter& writeLine,
                    LabelLines labels = LabelLines::Joined);
// The longest line of the layout, in bytes.
constexpr std::size_t kMeaningLineLimit = 99;

// The rows of the select list around word `current` of `count` index words: 20 rows from 4
// before it, clamped to the start, or the last 19 words near the end.
struct RowWindow {
    int start;
    int rows;
};
RowWindow neighbourRows(int current, int count);

} // namespace lexora

#endif
