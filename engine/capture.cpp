// Translating text that did not come from the user's typing: text captured under the pointer,
// answered in one line for the prompt bar, and short English captions drawn by other programs,
// turned into short Chinese as a whole or word by word, with a cache of recent answers.
#include "engine.h"
#include "lookup.h"
#include "lxtran.h"
#include "partofspeech.h"

#include "cpconv.h"
#include "wordbank.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace lxtran {
namespace {

constexpr int kCaptureLimit = 250;
// The capture answer leaves this many bytes of the output unused, the Chinese listing this many
// before each headword.
constexpr int kAnswerReserve = 6;
constexpr int kListReserve = 4;
constexpr int kMaxPrefixCharacters = 10;
constexpr int kUserPhraseSize = 100;
constexpr int kUserRecordSize = 255;

constexpr int kCaptionLimit = 299;
// Room the callers of the short translation promise: for the whole text, and past the end of
// the output at every token in word-by-word mode.
constexpr int kWholeTextRoom = 120;
constexpr int kTokenRoom = 80;
constexpr int kShortResultSize = 200;
constexpr int kMaxMeaningStart = 70;
constexpr int kShortNotFound = -2;
constexpr int kTopScore = 20;

// A caller's buffer filled from its start, never past limit bytes of text and the NUL after them.
class Output {
  public:
    Output(char* buffer, int limit, int length = 0)
        : buffer_(buffer), limit_(std::max(0, limit)), length_(std::min(length, limit_)) {}

    void put(char c) {
        if (length_ < limit_) buffer_[length_++] = c;
    }
    void append(std::string_view text) { appendUpTo(text, limit_); }
    // Appends as much of text as fits before the output holds end bytes.
    void appendUpTo(std::string_view text, int end) {
        for (char c : text) {
            if (length_ >= end) return;
            put(c);
        }
    }
    bool full() const { return length_ >= limit_; }
    int length() const { return length_; }
    char* end() { return buffer_ + length_; }
    // Takes n bytes written at end() by someone else; they must lie within the limit.
    void advance(int n) { length_ = std::min(length_ + std::max(0, n), limit_); }
    void truncate(int length) { length_ = std::clamp(length, 0, length_); }
    void raiseLimit(int limit) { limit_ = std::max(limit_, limit); }
    void setAt(int position, char c) {
        if (position >= 0 && position < length_) buffer_[position] = c;
    }
    int terminate() {
        buffer_[length_] = '\0';
        return length_;
    }

  private:
    char* buffer_;
    int limit_;
    int length_;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isDoubleByte(const char* text) {
    return CPC_DBCSNext(CPC_PAGE_CURRENT, text) - text == 2;
}

// The shared block's rectangle (all -1 for an engine without one).
void copyRectangle(const Engine& engine, int* rect) {
    if (!rect) return;
    if (engine.shared.data)
        std::memcpy(rect, engine.shared.data, 4 * sizeof(int));
    else
        std::fill(rect, rect + 4, -1);
}

// Keeps at most 250 bytes of the captured text, in GB, without a trailing run of three or more
// periods (one or two are part of the text).
void keepCapturedText(Engine& engine, const char* text, int length) {
    size_t kept = strnlen(text, static_cast<size_t>(std::min(length, kCaptureLimit)));
    std::memcpy(engine.captured, text, kept);
    engine.captured[kept] = '\0';
    CPC_ConvertDBCSBuffer(CPC_FLAG_TO_MIDDLE, engine.captured, 0, engine.captured,
                          kCapturedTextSize);
    size_t end = strnlen(engine.captured, kCapturedTextSize - 1);
    size_t periods = 0;
    while (periods < end && engine.captured[end - 1 - periods] == '.')
        ++periods;
    if (periods >= 3) engine.captured[end - periods] = '\0';
}

// An entry field as the prompt bar shows it: line breaks (and in the meaning "#") as spaces,
// part-of-speech codes as their labels after a space.
void appendField(Output& line, std::string_view field, bool meaning) {
    for (char c : field) {
        if (line.full()) return;
        if (const char* label = partOfSpeechLabel(c)) {
            line.put(' ');
            line.append(label);
        } else if (c == '\n' || (meaning && c == '#')) {
            line.put(' ');
        } else {
            line.put(c);
        }
    }
}

// English text: the text and its entry (or " => " and the nearest entry's headword), then the
// phonetic in brackets and the meaning.
int answerEnglish(Engine& engine, int& exact, char* out, int size) {
    const char* text = engine.captured;
    if (std::any_of(text, text + std::strlen(text), [](char c) { return c & 0x80; })) return 0;
    char result[kResultBufferSize];
    int found = translate(engine, LXA_MODE_LOOKUP, text, result, sizeof result);
    if (result[0] == '\0') return 0;

    std::string_view entry(result);
    std::string_view headword = entry.substr(0, entry.find('\x01'));
    Output line(out, size - kAnswerReserve);
    line.append(text);
    int bracket;
    if (found != 0) {
        exact = 1;
        bracket = line.length() + 2;
        line.append("   ");
    } else {
        line.append(" => ");
        line.append(headword);
        bracket = line.length() + 1;
        line.append("  ");
    }
    std::string_view rest = entry.substr(std::min(entry.size(), headword.size() + 1));
    size_t phoneticEnd = rest.find('\x02');
    appendField(line, rest.substr(0, phoneticEnd), false);
    if (phoneticEnd != std::string_view::npos) {
        line.setAt(bracket, '[');
        line.append("] ");
        appendField(line, rest.substr(phoneticEnd + 1), true);
    }
    line.terminate();
    return 1;
}

// Number of double-byte characters at the start of text, at most limit.
int leadingCharacters(const char* text, int limit) {
    int count = 0;
    for (; count < limit && isDoubleByte(text); text += 2)
        ++count;
    return count;
}

// The user library's record for a Chinese text: phrase, two spaces, soundmark in phonetic codes,
// meaning, in GB. False when the library does not hold it.
bool answerFromUserLibrary(const char* text, char* out, int size) {
    char record[kUserRecordSize];
    int page = 0;
    int length = userRecord(text, kUserPhraseSize, record, sizeof record, page);
    if (length == 0) return false;
    // The fields are NUL-separated; a record cut by the buffer lacks its last ones.
    char* end = record + length;
    auto next = [end](char* field) {
        char* stop = field + strnlen(field, static_cast<size_t>(end - field));
        return stop < end ? stop + 1 : end;
    };
    char* soundmark = next(record);
    char* meaning = next(soundmark);
    Output line(out, size - 1);
    line.append(record);
    line.append("  ");
    line.append(WBK_CVTSound(WBK_LETTERS_TO_CODES, soundmark));
    line.append(meaning);
    line.terminate();
    CPC_ConvertDBCSBuffer(CPC_PAGE_GB << 8 | page, out, 0, out, size);
    return true;
}

// Prefix lengths in characters, in the order a match mode tries them.
std::vector<int> candidateLengths(int mode, int characters) {
    std::vector<int> lengths;
    if (mode == LXA_MATCH_FIRST_CHARACTER) {
        lengths.push_back(1);
    } else if (mode == LXA_MATCH_SHORTEST) {
        for (int n = 2; n <= characters; ++n)
            lengths.push_back(n);
        lengths.push_back(1);
    } else {
        for (int n = characters; n >= 1; --n)
            lengths.push_back(n);
    }
    return lengths;
}

enum class Search { Hit, Miss, Failed };

// Looks a word up in the Chinese index; on a hit, number is its word number.
Search findChineseWord(Library& library, const char* word, int32_t& number) {
    if (library.chineseMain().count() == 0) return Search::Miss;
    int block = library.chineseMain().findBlock(word);
    int position = library.chineseIndex().find(library.file(), block, word);
    if (position < 0) return Search::Failed;
    if (library.chineseIndex().status() != 0) return Search::Miss;
    number = static_cast<int32_t>(library.chineseMain().number(block)) + position;
    return Search::Hit;
}

// The word, two spaces and the headwords of its translations, each followed by ", ". A listing
// cut for room keeps its last ", "; otherwise the last two bytes are dropped.
void listTranslations(Engine& engine, std::string_view word, char* out, int size) {
    Library& library = engine.library;
    const int room = size - kListReserve;
    Output line(out, size - 2);
    line.appendUpTo(word, room);
    const int wordEnd = line.length();
    line.appendUpTo("  ", room);
    for (int i = 0; i < engine.trans.refCount; ++i) {
        if (line.length() >= room) {
            line.terminate();
            return;
        }
        const char* entry = library.block().byNumber(
            library.file(), static_cast<int32_t>(read24(engine.trans.refs + 3 * i)));
        if (!entry) break;
        line.appendUpTo(std::string_view(entry, std::strcspn(entry, "\x01")), room);
        line.append(", ");
    }
    line.truncate(std::max(wordEnd, line.length() - 2));
    line.terminate();
}

// A Chinese word found in the index: the record of its translations and their listing. 0 when
// they cannot be read.
int answerWithTranslations(Engine& engine, int32_t word, const char* prefix, char* out, int size) {
    std::vector<uint32_t> references;
    if (!engine.library.references(word, references)) return 0;
    recordTranslations(engine, word, references);
    listTranslations(engine, prefix, out, size);
    return 1;
}

// The Chinese word at the start of the text (by the match mode) and its translations, or the
// first character and "  Not Found".
int answerChinese(Engine& engine, int& exact, char* out, int size, int mode) {
    const char* text = engine.captured;
    int characters = leadingCharacters(text, kMaxPrefixCharacters);
    if (answerFromUserLibrary(text, out, size)) {
        exact = 1;
        return 1;
    }
    Library& library = engine.library;
    char prefix[2 * kMaxPrefixCharacters + 1] = {};
    for (int length : candidateLengths(mode, characters)) {
        std::memcpy(prefix, text, 2 * length);
        prefix[2 * length] = '\0';
        int32_t word = 0;
        Search search = findChineseWord(library, prefix, word);
        if (search == Search::Miss) continue;
        int answered = 0;
        if (search == Search::Hit) {
            exact = 1;
            answered = answerWithTranslations(engine, word, prefix, out, size);
        }
        library.file().close();
        return answered;
    }
    library.file().close();
    Output line(out, size - 1);
    line.append(prefix);
    line.append("  Not Found");
    line.terminate();
    return 1;
}

// The cached translation of text, or null; a hit raises the slot's score.
const ShortSlot* findShort(Engine& engine, const char* text) {
    size_t length = strnlen(text, kShortTextSize);
    if (length == 0 || length >= kShortTextSize) return nullptr;
    for (int i = 0; i < engine.shortCount; ++i) {
        ShortSlot& slot = engine.shorts[i];
        if (slot.length != length || std::memcmp(slot.key, text, length) != 0) continue;
        if (slot.score < kTopScore) slot.score = static_cast<int8_t>(slot.score + 2);
        return &slot;
    }
    return nullptr;
}

// The next unused slot; once all are used, the first from the cursor whose score has aged to 0,
// ageing every slot the scan passes.
ShortSlot& freeShortSlot(Engine& engine) {
    if (engine.shortCount < kShortSlots) return engine.shorts[engine.shortCount++];
    for (;;) {
        ShortSlot& slot = engine.shorts[engine.shortCursor];
        engine.shortCursor = (engine.shortCursor + 1) % kShortSlots;
        if (slot.score <= 0) return slot;
        slot.score = static_cast<int8_t>(slot.score > 4 ? slot.score / 2 : slot.score - 1);
    }
}

void storeShort(Engine& engine, const char* text, const char* value) {
    size_t length = strnlen(text, kShortTextSize);
    size_t valueLength = strnlen(value, kShortTextSize);
    if (length == 0 || length >= kShortTextSize || valueLength >= kShortTextSize) return;
    ShortSlot& slot = freeShortSlot(engine);
    slot.score = 2;
    slot.length = static_cast<uint8_t>(length);
    std::memset(slot.key, 0, kShortTextSize);
    std::memcpy(slot.key, text, length);
    std::memset(slot.value, 0, kShortTextSize);
    std::memcpy(slot.value, value, valueLength);
}

// The meaning part of an entry text as a short translation starts it: after the phonetic, past
// part-of-speech codes, a countability mark and spaces, with its first bracketed note removed.
// Empty when the meaning starts more than 70 bytes in.
std::string meaningOf(const char* entry) {
    const char* start = std::strchr(entry, '\x01');
    if (!start) return {};
    ++start;
    if (const char* phoneticEnd = std::strchr(start, '\x02')) start = phoneticEnd + 1;
    if (start - entry > kMaxMeaningStart) return {};
    while (partOfSpeechLabel(*start))
        ++start;
    if (*start == 'U' || *start == 'C') ++start;
    while (*start == ' ')
        ++start;
    std::string meaning(start);
    size_t open = meaning.find_first_of("[(");
    if (open != std::string::npos) {
        size_t close = meaning.find(meaning[open] == '[' ? ']' : ')', open + 1);
        if (close != std::string::npos) meaning.erase(open, close - open + 1);
    }
    return meaning;
}

// The first meaning: bytes above 0x20 up to a ",", "[", "(" or ";", double-byte characters
// whole; at most size - 2 bytes and a NUL (size is at least 2).
int firstMeaning(const std::string& meaning, char* out, int size) {
    int length = 0;
    for (size_t i = 0; i < meaning.size() && length < size - 2;) {
        auto byte = static_cast<unsigned char>(meaning[i]);
        if (byte <= 0x20 || std::strchr(",[(;", byte)) break;
        if (byte > 0x80) {
            if (i + 1 == meaning.size()) break;
            out[length++] = meaning[i++];
        }
        out[length++] = meaning[i++];
    }
    out[length] = '\0';
    return length;
}

size_t lengthWithoutLeadingBlanks(const char* text) {
    while (isBlank(*text))
        ++text;
    return std::strlen(text);
}

// The short translation of text into out (size bytes, at least 2), in the current page: its
// length, 0 when the entry has nothing usable, -1 when the translation is too long for the text
// (by more than 7 bytes when strict, 3 otherwise) or on a read failure, kShortNotFound without
// an entry.
int shortTranslation(Engine& engine, const char* text, char* out, int size, bool strict) {
    if (const ShortSlot* slot = findShort(engine, text)) {
        Output line(out, size - 1);
        line.append(std::string_view(slot->value, strnlen(slot->value, kShortTextSize)));
        int length = line.terminate();
        CPC_ConvertDBCSBuffer(CPC_FLAG_TO_CURRENT, out, 0, out, size);
        return length;
    }
    out[0] = '\0';
    char entry[kShortResultSize];
    int found = translate(engine, LXA_MODE_SHORT, text, entry, sizeof entry);
    if (found < 0) return -1;
    if (found == 0) return kShortNotFound;
    if (!std::strchr(entry, '\x01')) return 0;
    int length = firstMeaning(meaningOf(entry), out, size);
    size_t allowed = lengthWithoutLeadingBlanks(text) + (strict ? 7 : 3);
    if (static_cast<size_t>(length) > allowed) {
        out[0] = '\0';
        return -1;
    }
    storeShort(engine, text, out);
    CPC_ConvertDBCSBuffer(CPC_FLAG_TO_CURRENT, out, 0, out, size);
    return length;
}

// Length of the token at text: letters and spaces, and after its first byte digits, and
// apostrophes or hyphens between two letters; blanks at its end are not part of it.
size_t tokenLength(const char* text) {
    size_t length = 0;
    for (;; ++length) {
        char c = text[length];
        bool inner = length > 0;
        if (isLetter(c) || c == ' ' || (inner && isDigit(c))) continue;
        if (inner && (c == '\'' || c == '-') && isLetter(text[length - 1]) &&
            isLetter(text[length + 1]))
            continue;
        break;
    }
    while (length > 0 && isBlank(text[length - 1]))
        --length;
    return length;
}

// Where no token starts: the blanks there and the bytes after them that start no word, copied
// as they are. Returns the position after them.
const char* copySeparators(const char* text, Output& line) {
    while (isBlank(*text))
        line.put(*text++);
    while (*text && !isBlank(*text) && !isLetter(*text))
        line.put(*text++);
    return text;
}

// The token without its last word and the blanks before it.
size_t withoutLastWord(const char* token, size_t length) {
    while (length > 0 && !isBlank(token[length - 1]))
        --length;
    while (length > 0 && isBlank(token[length - 1]))
        --length;
    return length;
}

// Translates the longest run of the token's leading words that has a short translation; a token
// with none is copied as it is. Returns the bytes of the token used.
size_t translateToken(Engine& engine, const char* token, size_t length, Output& line) {
    char words[kCaptionLimit + 1];
    for (size_t n = length; n > 0; n = withoutLastWord(token, n)) {
        std::memcpy(words, token, n);
        words[n] = '\0';
        int translated = shortTranslation(engine, words, line.end(), kTokenRoom, false);
        if (translated > 0) {
            line.advance(translated);
            return n;
        }
    }
    line.append(std::string_view(token, length));
    return length;
}

// Translates the text token by token at the end of the output.
void translateWords(Engine& engine, const char* text, Output& line) {
    while (*text) {
        line.raiseLimit(line.length() + kTokenRoom - 1);
        size_t token = tokenLength(text);
        if (token == 0)
            text = copySeparators(text, line);
        else
            text += translateToken(engine, text, token, line);
    }
    line.terminate();
}

} // namespace

int translateCaptured(Engine& engine, int* exact, const char* text, int length, int* rect,
                      char* out, int size, int mode) {
    int ignored = 0;
    int& flag = exact ? *exact : ignored;
    flag = 0;
    if (!out || size <= 0) return 0;
    out[0] = '\0';
    if (!text || length <= 0) return 0;
    copyRectangle(engine, rect);
    keepCapturedText(engine, text, length);
    if (isDoubleByte(engine.captured)) return answerChinese(engine, flag, out, size, mode);
    return answerEnglish(engine, flag, out, size);
}

int translateShort(Engine& engine, const char* text, char* out, int split) {
    if (text && std::strcmp(text, "6") == 0) return 0;
    if (!out) return -1;
    char caption[kCaptionLimit + 1];
    size_t length = text ? strnlen(text, kCaptionLimit) : 0;
    if (length > 0) std::memcpy(caption, text, length);
    caption[length] = '\0';
    out[0] = '\0';
    if (length == 0) return 0;
    int periods = 0;
    for (; length > 0 && caption[length - 1] == '.'; ++periods)
        caption[--length] = '\0';

    int found = shortTranslation(engine, caption, out, kWholeTextRoom, true);
    if (found == -1) return -1;
    Output line(out, kWholeTextRoom - 1, static_cast<int>(std::strlen(out)));
    if (length > 3 && found == kShortNotFound && split) translateWords(engine, caption, line);
    for (; periods > 0; --periods)
        line.put('.');
    return line.terminate();
}

} // namespace lxtran
