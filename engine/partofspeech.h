// Part-of-speech codes: control bytes in entry text that stand for a label.
#ifndef LEXORA_ENGINE_PARTOFSPEECH_H
#define LEXORA_ENGINE_PARTOFSPEECH_H

#include <array>

namespace lxtran {

constexpr std::array<const char*, 32> kPartOfSpeechLabels = {
    nullptr,  nullptr, nullptr, "a.",   "ad.",   "art.",  "conj.", "int.",
    "n.",     nullptr, nullptr, "num.", "prep.", nullptr, "pron.", "v.",
    "aux.v.", "vi.",   "vt.",   "vbl.", "auxv.", "st.",   "pr.",   "pp.",
    "pl.",    "ing.",  nullptr, "adj.", "adv.",  "pla.",  "pn.",   nullptr,
};

// The label of an entry-text byte, or null when the byte carries none.
constexpr const char* partOfSpeechLabel(char c) {
    auto code = static_cast<unsigned char>(c);
    return code < kPartOfSpeechLabels.size() ? kPartOfSpeechLabels[code] : nullptr;
}

} // namespace lxtran

#endif
