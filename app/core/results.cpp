#include "results.h"

#include "text.h"

#include <partofspeech.h>

#include <cstring>
#include <string>

namespace lexora {

namespace {

constexpr char kPhoneticMark = '\x01';
constexpr char kMeaningsMark = '\x02';
constexpr int kRowsShown = 20;
constexpr int kRowsBefore = 4;

// One translation's meanings laid into lines.
class MeaningLayout {
  public:
    MeaningLayout(const LineFits& fits, const LineWriter& writeLine, LabelLines labels)
        : fits_(fits), writeLine_(writeLine), labels_(labels) {}

    // A full line ends after its character; before a label it is left to the label to end, and
    // the text's last line is written without a break.
    void run(const char* meanings) {
        for (const char* at = meanings; *at != '\0';) {
            if (const char* label = labelAt(at)) {
                addLabel(label);
                ++at;
            } else {
                std::size_t length = startsDoubleByte(at) ? 2 : 1;
                addCharacter(at, length);
                at += length;
            }
            if (full_ && *at != '\0' && !labelAt(at)) endLine(true);
        }
        if (!line_.empty()) endLine(false);
    }

  private:
    static const char* labelAt(const char* at) {
        return partOfSpeechLabel(static_cast<unsigned char>(*at));
    }

    void addLabel(const char* label) {
        std::size_t labelLength = std::strlen(label);
        bool joins = labels_ == LabelLines::Joined && afterLabel_ && !full_ &&
                     line_.size() + labelLength <= kMeaningLineLimit;
        if (!joins && !line_.empty()) endLine(true);
        line_ += label;
        afterLabel_ = true;
        full_ = !fitsNow();
    }

    void addCharacter(const char* character, std::size_t length) {
        if (line_.size() + length > kMeaningLineLimit) endLine(true);
        if (length == 1 && *character == ',')
            line_ += ';';
        else
            line_.append(character, length);
        afterLabel_ = false;
        full_ = !fitsNow();
    }

    bool fitsNow() const {
        return line_.size() < kMeaningLineLimit && (!fits_ || fits_(line_.data(), line_.size()));
    }

    void endLine(bool lineBreak) {
        writeLine_(line_.data(), line_.size(), lineBreak);
        line_.clear();
        full_ = false;
    }

    const LineFits& fits_;
    const LineWriter& writeLine_;
    LabelLines labels_;
    std::string line_;
    bool afterLabel_ = false;
    bool full_ = false;
};

} // namespace

const char* partOfSpeechLabel(unsigned char code) {
    return lxtran::partOfSpeechLabel(static_cast<char>(code));
}

TranslationParts splitTranslation(const char* text) {
    if (!text) text = "";
    TranslationParts parts{text, std::strlen(text), nullptr, 0, nullptr};
    const char* phoneticMark = std::strchr(text, kPhoneticMark);
    if (!phoneticMark) return parts;
    parts.headwordLength = static_cast<std::size_t>(phoneticMark - text);
    const char* meaningsMark = std::strchr(phoneticMark + 1, kMeaningsMark);
    if (!meaningsMark) {
        parts.meanings = phoneticMark + 1;
        return parts;
    }
    parts.phonetic = phoneticMark + 1;
    parts.phoneticLength = static_cast<std::size_t>(meaningsMark - parts.phonetic);
    parts.meanings = meaningsMark + 1;
    return parts;
}

void layoutMeanings(const char* meanings, const LineFits& fits, const LineWriter& writeLine,
                    LabelLines labels) {
    if (!meanings || !writeLine) return;
    MeaningLayout(fits, writeLine, labels).run(meanings);
}

// A list shorter than the window is shown whole, never from a negative row.
RowWindow neighbourRows(int current, int count) {
    long long start = static_cast<long long>(current) - kRowsBefore;
    long long rows = kRowsShown;
    long long lastStart = static_cast<long long>(count) - (kRowsShown - 1);
    if (start < 0) {
        start = 0;
    } else if (start >= lastStart) {
        start = lastStart;
        rows = kRowsShown - 1;
    }
    if (start < 0) start = 0;
    long long available = count > start ? count - start : 0;
    if (rows > available) rows = available;
    return {static_cast<int>(start), static_cast<int>(rows)};
}

} // namespace lexora
