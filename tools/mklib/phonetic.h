// ECDICT's IPA transcriptions in the dictionary's phonetic code: ASCII letters and marks, with
// '/' and the digits standing for the symbols ASCII lacks.
#ifndef LEXORA_MKLIB_PHONETIC_H
#define LEXORA_MKLIB_PHONETIC_H

#include <cstddef>
#include <string>
#include <string_view>

namespace lexora::mklib {

// The phonetic code of an IPA transcription; empty when nothing of it is left.
std::string phoneticCode(std::string_view ipa);

// The code cut to at most maxBytes at the end of a variant (before a ';' or a space); empty when
// even the first variant is longer.
std::string limitPhonetic(std::string_view code, std::size_t maxBytes);

} // namespace lexora::mklib

#endif
