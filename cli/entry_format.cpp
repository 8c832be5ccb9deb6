#include "entry_format.h"

#include "partofspeech.h"

#include <algorithm>

namespace lexora::cli {
namespace {

constexpr char kHeadwordEnd = '\x01';
constexpr char kPhoneticEnd = '\x02';
constexpr char kLineBreak = '\x0A';
constexpr char kSenseSeparator = ',';
constexpr size_t kListRowLimit = 41;

// The ASCII codes of the phonetic field and the IPA symbols they stand for.
struct PhoneticSymbol {
    char code;
    std::string_view ipa;
};

constexpr PhoneticSymbol kPhoneticSymbols[] = {
    {'/', "ɛ"}, {'0', "ɔ"}, {'1', "ɑ"}, {'2', "ə"}, {'3', "ʌ"},  {'4', "θ"}, {'5', "ð"},
    {'6', "ʃ"}, {'7', "ʒ"}, {'8', "ŋ"}, {'9', "æ"}, {'\'', "ˈ"}, {',', "ˌ"}, {':', "ː"}};

std::string_view ipaFor(char code) {
    for (const PhoneticSymbol& symbol : kPhoneticSymbols)
        if (symbol.code == code) return symbol.ipa;
    return {};
}

bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20;
}

bool isLabel(char c) {
    return isControl(c) && !partOfSpeechLabel(static_cast<unsigned char>(c)).empty();
}

std::string trimmed(std::string_view text) {
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(' ');
    return std::string(text.substr(begin, end - begin + 1));
}

// Builds the lines of a meaning: labels open a line, senses fill it.
class MeaningLayout {
  public:
    void label(std::string_view text) {
        if (hasSense_) closeLine();
        line_ += text;
        afterLabel_ = true;
    }

    void lineBreak() { closeLine(); }

    void sense(char c) {
        if (afterLabel_) {
            if (c == ' ') return;
            line_ += ' ';
            afterLabel_ = false;
        }
        line_ += c == kSenseSeparator ? std::string_view("; ") : std::string_view(&c, 1);
        hasSense_ = true;
    }

    std::vector<std::string> finish() {
        closeLine();
        return std::move(lines_);
    }

  private:
    void closeLine() {
        std::string line = trimmed(line_);
        if (!line.empty()) lines_.push_back(std::move(line));
        line_.clear();
        hasSense_ = false;
        afterLabel_ = false;
    }

    std::vector<std::string> lines_;
    std::string line_;
    bool hasSense_ = false;
    bool afterLabel_ = false;
};

} // namespace

EntryFields splitEntry(std::string_view entry) {
    EntryFields fields;
    size_t headwordEnd = entry.find(kHeadwordEnd);
    fields.headword = entry.substr(0, headwordEnd);
    if (headwordEnd == std::string_view::npos) return fields;
    std::string_view rest = entry.substr(headwordEnd + 1);
    size_t phoneticEnd = rest.find(kPhoneticEnd);
    fields.hasPhonetic = phoneticEnd != std::string_view::npos;
    if (fields.hasPhonetic) {
        fields.phonetic = rest.substr(0, phoneticEnd);
        rest.remove_prefix(phoneticEnd + 1);
    }
    fields.meaning = rest;
    return fields;
}

std::string phoneticToIpa(std::string_view phonetic) {
    std::string ipa;
    for (char c : phonetic) {
        std::string_view symbol = ipaFor(c);
        if (symbol.empty())
            ipa += c;
        else
            ipa += symbol;
    }
    return ipa;
}

std::string_view partOfSpeechLabel(unsigned char code) {
    const char* label = lxtran::partOfSpeechLabel(static_cast<char>(code));
    return label ? std::string_view(label) : std::string_view();
}

std::vector<std::string> meaningLines(std::string_view meaning) {
    MeaningLayout layout;
    for (char c : meaning) {
        if (isLabel(c))
            layout.label(partOfSpeechLabel(static_cast<unsigned char>(c)));
        else if (c == kLineBreak)
            layout.lineBreak();
        else
            layout.sense(isControl(c) ? ' ' : c);
    }
    return layout.finish();
}

std::string firstSense(std::string_view meaning) {
    size_t begin = 0;
    while (begin < meaning.size() && (isControl(meaning[begin]) || meaning[begin] == ' '))
        ++begin;
    size_t end = begin;
    while (end < meaning.size() && !isControl(meaning[end]) && meaning[end] != kSenseSeparator)
        ++end;
    return trimmed(meaning.substr(begin, end - begin));
}

std::string listRow(std::string_view entry) {
    return std::string(entry.substr(0, std::min(entry.find(kHeadwordEnd), kListRowLimit)));
}

ListWindow listWindow(int current, int count) {
    int start = current - kRowsBeforeCurrent;
    if (start < 0) return {0, kListRows};
    if (start >= count - (kListRows - 1)) return {count - (kListRows - 1), kListRows - 1};
    return {start, kListRows};
}

} // namespace lexora::cli
