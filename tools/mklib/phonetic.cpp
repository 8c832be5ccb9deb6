#include "phonetic.h"

#include "utf8.h"

namespace lexora::mklib {

namespace {

struct SymbolCode {
    std::u32string_view symbols;
    std::string_view code;
};

// The symbols of the phonetic code and their stand-ins in the data (ECDICT writes the schwa in
// three alphabets and uses ɵ for it too; epsilon comes in Latin, Greek and Cyrillic forms), the
// marks, and then every other symbol found as its nearest ASCII letter.
constexpr SymbolCode symbolCodes[] = {
    {U"ɛεє", "/"},   {U"ɔɒ", "0"},  {U"ɑ", "1"},  {U"əɜɚɝәɵ", "2"}, {U"ʌ", "3"},   {U"θ", "4"},
    {U"ð", "5"},     {U"ʃ", "6"},   {U"ʒ", "7"},  {U"ŋ", "8"},      {U"æ", "9"},   {U"ˈˊ´ʹ’", "'"},
    {U"ˌ，", ","},   {U"ː", ":"},   {U"；", ";"}, {U"（", "("},     {U"）", ")"},  {U"‑", "-"},
    {U"ɪĭīíй", "i"}, {U"ʊūú", "u"}, {U"ɡ", "g"},  {U"ãáàā", "a"},   {U"éèē", "e"}, {U"óō", "o"},
    {U"ɹɾ", "r"},    {U"ʤ", "d7"},  {U"ʧ", "t6"}};

std::string_view codeForSymbol(char32_t c) {
    if (c == U'\u00A0' || c == U'\u3000') return " ";
    for (const SymbolCode& symbol : symbolCodes) {
        if (symbol.symbols.find(c) != std::u32string_view::npos) return symbol.code;
    }
    return {};
}

// ASCII kept as it is: letters and the marks of stress, length, syllables and variants. Digits
// and '/' would read as symbols; square brackets and '/' delimit the transcription in some rows.
bool keepsAscii(char c) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return letter || std::string_view("',:;()-. ").find(c) != std::string_view::npos;
}

// Garbled rows write ɡ as '^' and ɜ as a run of backslashes.
void appendAscii(char c, char32_t previous, std::string& code) {
    if (keepsAscii(c)) {
        code += c;
    } else if (c == '^') {
        code += 'g';
    } else if (c == '\\' && previous != U'\\') {
        code += '2';
    }
}

std::string trimSpaces(const std::string& code) {
    std::string result;
    for (const char c : code) {
        if (c == ' ' && (result.empty() || result.back() == ' ')) continue;
        result += c;
    }
    if (!result.empty() && result.back() == ' ') result.pop_back();
    return result;
}

} // namespace

std::string phoneticCode(std::string_view ipa) {
    std::string code;
    char32_t previous = 0;
    for (std::size_t pos = 0; pos < ipa.size();) {
        const char32_t c = nextCharacter(ipa, pos);
        if (c < 0x80) {
            appendAscii(static_cast<char>(c), previous, code);
        } else {
            code += codeForSymbol(c);
        }
        previous = c;
    }
    return trimSpaces(code);
}

std::string limitPhonetic(std::string_view code, std::size_t maxBytes) {
    if (code.size() <= maxBytes) return std::string(code);
    const std::size_t cut = code.substr(0, maxBytes + 1).find_last_of("; ");
    if (cut == std::string_view::npos) return {};
    std::string result(code.substr(0, cut));
    while (!result.empty() && (result.back() == ' ' || result.back() == ';'))
        result.pop_back();
    return result;
}

} // namespace lexora::mklib
