// The meaning of an entry, made from ECDICT's translation: one group of senses per translation
// line, led by its part-of-speech code, in GB2312.
#ifndef LEXORA_MKLIB_MEANING_H
#define LEXORA_MKLIB_MEANING_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gb.h"

namespace lexora::mklib {

struct MeaningLine {
    uint8_t code = 0;                // part-of-speech control byte, 0 for none
    std::string label;               // a leading tag without a control byte, kept as text
    std::vector<std::string> senses; // GB text, none holding ',' or bytes below 0x20
};

// A translation line split after its leading part-of-speech tag, if it has one.
struct TaggedLine {
    uint8_t code = 0;        // the tag's control byte, 0 when the table has no such label
    std::string_view label;  // the tag as written; empty when the line has none
    std::string_view senses; // the rest of the line
};

TaggedLine splitTag(std::string_view line);

// The senses of a line (UTF-8), split at the separators outside brackets: ；，、 and ASCII ','
// and ';'. Inside brackets ASCII ',' and ';' become their full-width forms, as a ',' in a
// meaning always separates senses.
std::vector<std::string> splitSenses(std::string_view text);

// The lines of an ECDICT translation (lines separated by the two characters \n) whose senses
// survive the conversion to GB2312. Lines from the web ("[网络]") are kept only when there is
// nothing else.
std::vector<MeaningLine> parseTranslation(std::string_view translation, const GbEncoder& gb);

// For a row that ECDICT's exchange field marks as an inflected form ("0:cat/1:s3"): a line
// naming the lemma and the form ("cat的复数"), unless the translation already names the lemma's
// form (a lemma followed by 的).
std::optional<MeaningLine> inflectionLine(std::string_view exchange, std::string_view headword,
                                          std::string_view translation, const GbEncoder& gb);

// True when some sense holds a Chinese (double-byte) character.
bool hasChineseSense(const std::vector<MeaningLine>& lines);

struct ComposedMeaning {
    std::string text;                // the meaning field of the entry
    std::vector<std::string> senses; // the senses it holds whole
};

// The meaning text in at most budget bytes. Each line starts with its control byte, which
// itself separates it from the line before; a line without one is joined to the previous line
// with ',', a text label followed by a space. When not all senses fit, the first senses of all
// lines go before the second ones and so on, and a line stops at its first sense that does not
// fit; the senses kept appear in their original order. Only when not even one sense fits is the
// first one cut, at a character boundary.
ComposedMeaning composeMeaning(const std::vector<MeaningLine>& lines, std::size_t budget);

} // namespace lexora::mklib

#endif
