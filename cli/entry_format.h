// How lexora lookup lays out the engine's entry texts (headword 0x01 phonetic 0x02 meaning) for
// a terminal: the transcription in IPA, the meanings one part of speech per line. The texts are
// taken in UTF-8, already converted from GB; control bytes and separators pass that unchanged.
#ifndef LEXORA_CLI_ENTRY_FORMAT_H
#define LEXORA_CLI_ENTRY_FORMAT_H

#include <string>
#include <string_view>
#include <vector>

namespace lexora::cli {

struct EntryFields {
    std::string headword;
    // Present only when a 0x02 closes it; without one, all after the 0x01 is meaning.
    bool hasPhonetic = false;
    std::string phonetic;
    std::string meaning;
};

EntryFields splitEntry(std::string_view entry);

// The phonetic field with the ASCII codes of the dictionary turned back into IPA symbols.
std::string phoneticToIpa(std::string_view phonetic);

// The label a control byte stands for in a meaning, or an empty view when it stands for none.
std::string_view partOfSpeechLabel(unsigned char code);

// The meaning laid out one part of speech per line: its label (labels next to each other are
// joined, "vt.n."), a space, and its senses separated by "; ". A 0x0A also starts a new line.
std::vector<std::string> meaningLines(std::string_view meaning);

// The first sense of a meaning, without its label.
std::string firstSense(std::string_view meaning);

// The row of a select list for an entry text as the engine gives it (GB): the text before its
// 0x01, at most 41 bytes.
std::string listRow(std::string_view entry);

// The rows the select list shows around the current word: four before it, itself and those
// after it, 20 in all, or the last 19 at the end of the index.
constexpr int kListRows = 20;
constexpr int kRowsBeforeCurrent = 4;

struct ListWindow {
    int start;
    int rows;
};

ListWindow listWindow(int current, int count);

} // namespace lexora::cli

#endif
