// Assembling the captured word from the runs of one capture: the run under the pointer is joined
// with the runs that touch it on its line, a Chinese word is cut at the character under the
// pointer, and the application is told while the word is there.
#include "internal.h"
#include "runs.h"
#include "textruns.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace lxsys {

namespace {

constexpr size_t kNoRun = static_cast<size_t>(-1);
// A Chinese word holds at most 16 characters.
constexpr size_t kChineseWordBytes = 32;

bool sameRect(const CaptureRect& a, const CaptureRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

CaptureRect unite(const CaptureRect& a, const CaptureRect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

std::string wordTextOf(const CaptureShared& record) {
    return std::string(record.wordText, strnlen(record.wordText, SN_TEXT_LIMIT));
}

size_t findWordRun(TTextCollection& runs, const CaptureShared& record, const std::string& text) {
    for (size_t i = 0; i < runs.count(); ++i) {
        const TextInfoStruct& run = runs.at(i);
        if (run.dc == record.wordDC && sameRect(run.rect, record.wordRect) && run.text == text)
            return i;
    }
    return kNoRun;
}

// A neighbour joins the word when the gap between them is 0 or 1 pixel, they overlap
// vertically and it adds to the word's rectangle.
bool joins(int64_t gap, const CaptureRect& word, const CaptureRect& item) {
    return (gap == 0 || gap == 1) && word.top < item.bottom && item.top < word.bottom &&
           !sameRect(unite(word, item), word);
}

bool sameKind(const TextInfoStruct& run, const CaptureShared& record) {
    return run.isDoubleByte == (record.wordIsDoubleByte != 0);
}

// The joined runs from the first to the last, in collection order; a text that would bring the
// word to 768 bytes or more ends it.
void concatenateJoined(TTextCollection& runs, size_t first, size_t last, CaptureShared& record) {
    std::string text;
    for (size_t i = first; i <= last; ++i) {
        const TextInfoStruct& run = runs.at(i);
        if (!run.joined) continue;
        if (text.size() + run.text.size() > SN_TEXT_LIMIT) break;
        text += run.text;
    }
    std::memcpy(record.wordText, text.data(), text.size());
    record.wordText[text.size()] = '\0';
}

// The runs of one DC are ordered by their left edges whatever their lines, so a run of the other
// kind met on the way (Chinese on another line) is passed over rather than ending the walk; on
// the word's own line it cannot touch the word without standing between.
void joinNeighbours(TTextCollection& runs, size_t word, CaptureShared& record) {
    CaptureRect joined = record.wordRect;
    runs.at(word).joined = true;
    size_t first = word;
    size_t last = word;
    for (size_t i = word; i-- > 0;) {
        TextInfoStruct& run = runs.at(i);
        if (run.dc != record.wordDC) break;
        run.joined =
            sameKind(run, record) && joins(int64_t{joined.left} - run.rect.right, joined, run.rect);
        if (!run.joined) continue;
        joined = unite(joined, run.rect);
        first = i;
    }
    for (size_t i = word + 1; i < runs.count(); ++i) {
        TextInfoStruct& run = runs.at(i);
        if (run.dc != record.wordDC) break;
        run.joined =
            sameKind(run, record) && joins(int64_t{run.rect.left} - joined.right, joined, run.rect);
        if (!run.joined) continue;
        joined = unite(joined, run.rect);
        last = i;
    }
    record.wordRect = joined;
    concatenateJoined(runs, first, last, record);
}

// A Chinese word starts at the character under the pointer, its rectangle that one cell.
void cutAtPointer(CaptureShared& record) {
    size_t length = strnlen(record.wordText, SN_TEXT_LIMIT);
    int characters = 0;
    for (size_t p = 0; doubleByteAt(record.wordText + p, static_cast<int>(length - p)); p += 2)
        ++characters;
    if (characters == 0) return;
    CaptureRect& rect = record.wordRect;
    float cell = static_cast<float>(int64_t{rect.right} - rect.left) / characters;
    if (!(cell > 0)) return;
    // A pointer outside the word (it may have moved meanwhile) counts as over its nearest
    // character, so the cut never leaves the text.
    auto under = static_cast<int>((static_cast<float>(record.cursorX) - rect.left) / cell);
    under = std::clamp(under, 0, characters - 1);
    size_t start = 2 * static_cast<size_t>(under);
    size_t kept = std::min(length - start, kChineseWordBytes);
    std::memmove(record.wordText, record.wordText + start, kept);
    record.wordText[kept] = '\0';
    rect.left = static_cast<int32_t>(static_cast<float>(rect.left) + under * cell);
    rect.right = static_cast<int32_t>(static_cast<float>(rect.left) + cell);
}

} // namespace

void assembleWord(TTextCollection& runs) {
    CaptureShared* record = shared();
    if (!record) {
        runs.clear();
        return;
    }
    size_t word = findWordRun(runs, *record, wordTextOf(*record));
    if (word != kNoRun) joinNeighbours(runs, word, *record);
    if (record->wordIsDoubleByte) cutAtPointer(*record);
    HWND notify = liveWindow(record->notifyWindow);
    if (notify && record->wordText[0] != '\0') SendMessageA(notify, SN_NOTIFY, SN_WORD_READY, 0);
    runs.clear();
    record->wordText[0] = '\0';
}

} // namespace lxsys
