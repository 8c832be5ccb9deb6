#include "linebreak.h"

#include "results.h"

#include <cpconv.h>

#include <cstring>

namespace lexora {

namespace {

bool isLowerLetter(char c) {
    return c >= 'a' && c <= 'z';
}

// Whether a part-of-speech label starts at `text`, `available` bytes from the text's end.
bool labelStartsAt(const char* text, int available) {
    for (unsigned char code = 1; code < 32; ++code) {
        const char* label = partOfSpeechLabel(code);
        if (!label) continue;
        auto length = static_cast<int>(std::strlen(label));
        if (length <= available && std::memcmp(text, label, static_cast<std::size_t>(length)) == 0)
            return true;
    }
    return false;
}

// Stores the lines one after another, each ended by a NUL, within `size` bytes.
class LineStore {
  public:
    LineStore(char* lines, int size) : lines_(lines), size_(size) {}

    // False when the line does not fit: the breaking ends there.
    bool add(const char* line, int length) {
        if (stored_ >= size_ || length + 1 > size_ - stored_) return false;
        std::memcpy(lines_ + stored_, line, static_cast<std::size_t>(length));
        lines_[stored_ + length] = '\0';
        stored_ += length + 1;
        ++count_;
        return true;
    }
    int count() const { return count_; }

  private:
    char* lines_;
    int size_;
    int stored_ = 0;
    int count_ = 0;
};

} // namespace

// CPC_DBCSNext reads the byte after `at`, so the text's last byte is never handed to it.
int characterBytes(const char* at, const char* end) {
    if (end - at < 2) return 1;
    return CPC_DBCSNext(CPC_PAGE_CURRENT, at) == at + 2 ? 2 : 1;
}

int breakLines(const char* text, int length, int widthLimit, char* lines, int linesSize,
               const MeasureText& measure) {
    if (!text || !lines || linesSize <= 0 || length <= 0) return 0;
    while (length > 0 && *text == ' ') {
        ++text;
        --length;
    }
    const char* end = text + length;
    LineStore store(lines, linesSize);
    int lineStart = 0;
    int lastSpace = 0;
    for (int i = 0; i < length; ++i) {
        if (text[i] == ' ') lastSpace = i;
        bool doubleByte = characterBytes(text + i, end) == 2;
        if (doubleByte) ++i;
        bool last = i == length - 1;
        int width = measure(text + lineStart, i - lineStart + 1);
        // A label starts a line of its own.
        bool labelBreak = i > 1 && !last && isLowerLetter(text[i + 1]) &&
                          labelStartsAt(text + i + 1, length - i - 1);
        if (width < widthLimit && !last && !labelBreak) continue;
        // An English line ends at its last space, which stays at the line's end.
        if (!last && lineStart < lastSpace && lineStart + 2 < i && !doubleByte) {
            i = lastSpace;
            doubleByte = false;
        }
        int lineLength = i - lineStart + 1;
        // The Chinese character that passed the limit begins the next line.
        if (!last && lineLength > 2 && doubleByte) {
            i -= 2;
            lineLength -= 2;
        }
        if (!store.add(text + lineStart, lineLength)) break;
        lineStart = i + 1;
        lastSpace = lineStart;
    }
    return store.count();
}

} // namespace lexora
