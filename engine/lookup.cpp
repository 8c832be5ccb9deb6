// Looking words up: the user library first, then the dictionary (English with one stemmed retry,
// Chinese through its index), with amounts and domain names rendered by rule.
#include "engine.h"
#include "lookup.h"
#include "lxtran.h"
#include "render.h"

#include "cpconv.h"
#include "wordbank.h"

#include <algorithm>
#include <cstring>

namespace lxtran {
namespace {

constexpr int kMaxQuery = 40;
constexpr int kShortMode = LXA_MODE_SHORT;
constexpr int kNearest = 129;
constexpr int kMissPrefix = 14;
constexpr int kMissAppendLimit = 350;

// Copies text to out, at most limit bytes of it and a NUL, within size.
void copyOut(char* out, int size, const char* text, int limit) {
    if (!out || size <= 0) return;
    size_t length = strnlen(text, static_cast<size_t>(std::max(0, std::min(limit, size - 1))));
    std::memcpy(out, text, length);
    out[length] = '\0';
}

void copyToResult(Engine& engine, const char* text) {
    copyOut(engine.resultBuffer, kResultBufferSize, text, kResultBufferSize - 1);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The query as the lookups see it: leading blanks skipped, runs of blanks cut to their last,
// trailing blanks dropped, at most kMaxQuery - 1 bytes copied and whole double-byte characters.
int normalise(Engine& engine, const char* input, char (&query)[kMaxQuery + 1]) {
    engine.dbcsCount = 0;
    while (isBlank(*input))
        ++input;
    int length = 0;
    for (const char* p = input; *p && length < kMaxQuery - 1;) {
        if (isBlank(*p)) {
            if (isBlank(p[1])) {
                ++p;
                continue;
            }
            if (p[1] == '\0') break;
        }
        const char* next = CPC_DBCSNext(CPC_PAGE_CURRENT, p);
        if (next - p == 2) {
            query[length++] = p[0];
            query[length++] = p[1];
            ++engine.dbcsCount;
        } else {
            query[length++] = *p;
            next = p + 1;
        }
        p = next;
    }
    query[length] = '\0';
    return length;
}

// Stems the query in place: plural, past-tense and -ing endings.
void stem(char* query) {
    size_t length = std::strlen(query);
    for (size_t i = 0; i < length; ++i)
        query[i] = static_cast<char>(query[i] | 0x20);
    if (length <= 3) return;
    auto endsWith = [&](const char* ending) {
        size_t n = std::strlen(ending);
        return length >= n && std::memcmp(query + length - n, ending, n) == 0;
    };
    if (query[length - 1] == 's') {
        if (endsWith("ies"))
            std::strcpy(query + length - 3, "y");
        else if (!endsWith("ss") && !endsWith("us"))
            query[length - 1] = '\0';
    } else if (endsWith("ed")) {
        if (endsWith("ied"))
            std::strcpy(query + length - 3, "y");
        else
            query[length - 2] = '\0';
    } else if (length > 5 && endsWith("ing")) {
        length -= 3;
        if (query[length - 1] == query[length - 2]) --length;
        query[length] = '\0';
    }
}

// 0 for an exact hit, kNearest for the nearest entry, -1 on a read failure; the entry's text
// goes to the result buffer.
int lookUpEnglish(Engine& engine, const char* query) {
    Library& library = engine.library;
    int block = library.englishMain().findBlock(query);
    uint32_t base = library.englishMain().number(block);
    int position = library.englishIndex().find(library.file(), block, query);
    if (position < 0) return -1;
    int entryBlock = position + static_cast<int>(base / library.header().entriesPerBlock);
    const char* text = library.block().find(library.file(), entryBlock, query);
    if (!text) return -1;
    copyToResult(engine, text);
    return library.block().exact() ? 0 : kNearest;
}

void store24(uint8_t* at, uint32_t value) {
    at[0] = value & 0xFF;
    at[1] = (value >> 8) & 0xFF;
    at[2] = (value >> 16) & 0xFF;
}

// 0 for an exact hit, positive for the nearest lower word, -1 on a read failure. Fills the
// translation record and leaves the first translating entry in the result buffer.
int lookUpChinese(Engine& engine, const char* query) {
    Library& library = engine.library;
    if (library.chineseMain().count() == 0) return -1;
    int block = library.chineseMain().findBlock(query);
    uint32_t base = library.chineseMain().number(block);
    int position = library.chineseIndex().find(library.file(), block, query);
    if (position < 0) return -1;
    int status = library.chineseIndex().status();
    int32_t word = static_cast<int32_t>(base) + position;
    std::vector<uint32_t> references;
    if (!library.references(word, references)) return -1;
    recordTranslations(engine, word, references);
    const char* text =
        references.empty()
            ? nullptr
            : library.block().byNumber(library.file(), static_cast<int32_t>(references[0]));
    copyToResult(engine, text ? text : "");
    return status;
}

// The user library's record for the query, as an entry text in GB; its length, or 0.
int lookUpUserLibrary(const char* query, char* out, int size) {
    if (!out || size <= 0) return 0;
    int page = 0;
    int length = userRecord(query, 200, out, size, page);
    if (length == 0) return 0;
    // The separators go only where the record's fields really end: a record cut short by the
    // buffer keeps what it has.
    size_t phraseEnd = strnlen(out, static_cast<size_t>(length));
    if (phraseEnd < static_cast<size_t>(length)) {
        out[phraseEnd] = '\x01';
        char* soundmark = out + phraseEnd + 1;
        size_t soundmarkEnd = strnlen(soundmark, static_cast<size_t>(length) - phraseEnd - 1);
        WBK_CVTSound(WBK_LETTERS_TO_CODES, soundmark);
        if (phraseEnd + 1 + soundmarkEnd < static_cast<size_t>(length))
            soundmark[soundmarkEnd] = '\x02';
    }
    CPC_ConvertDBCSBuffer(CPC_PAGE_GB << 8 | page, out, 0, out, size);
    return length;
}

} // namespace

int userRecord(const char* text, int phraseSize, char* record, int recordSize, int& page) {
    if (!WBK_Loaded()) return 0;
    page = WBK_GetCodePage();
    std::vector<char> phrase(static_cast<size_t>(phraseSize));
    if (CPC_ConvertDBCSBuffer(page << 8 | CPC_PAGE_GB, text, 0, phrase.data(), phraseSize) == 0 ||
        WBK_Seek(phrase.data()) != 1)
        return 0;
    return std::max(0, WBK_GetRecord(record, recordSize));
}

namespace {

uint16_t missHash(const char* text) {
    unsigned hash = 0;
    for (int i = 0; i < 41 && static_cast<uint8_t>(text[i]) > 0x01; ++i)
        hash = ((hash << 1) ^ (static_cast<uint8_t>(text[i]) | 0x20)) & 0xFFFF;
    return static_cast<uint16_t>(hash);
}

// A hit moves its slot to the front.
bool findMiss(Engine& engine, const char* text) {
    uint16_t hash = missHash(text);
    size_t length = strnlen(text, kMissPrefix);
    for (int i = 0; i < engine.missCount; ++i) {
        if (engine.misses[i].hash != hash ||
            std::memcmp(engine.misses[i].prefix, text, length) != 0)
            continue;
        MissSlot found = engine.misses[i];
        std::memmove(engine.misses + 1, engine.misses, i * sizeof(MissSlot));
        engine.misses[0] = found;
        return true;
    }
    return false;
}

// The first misses are appended; later ones enter at the front and the oldest falls off.
void addMiss(Engine& engine, const char* text) {
    MissSlot* slot = engine.misses + engine.missCount;
    if (engine.missCount >= kMissAppendLimit) {
        std::memmove(engine.misses + 1, engine.misses, (kMissSlots - 1) * sizeof(MissSlot));
        slot = engine.misses;
    }
    slot->hash = missHash(text);
    std::memset(slot->prefix, 0, kMissPrefix);
    std::memcpy(slot->prefix, text, strnlen(text, kMissPrefix));
    if (engine.missCount < kMissSlots) ++engine.missCount;
}

// The dictionary's answer for an English query: 1 exact (or rendered by rule), 0 nearest,
// -1 on a read failure of the first lookup.
int translateEnglish(Engine& engine, int mode, char* query) {
    if (mode != kShortMode && renderAmount(query, engine.resultBuffer, kResultBufferSize)) return 1;
    int found = lookUpEnglish(engine, query);
    if (found < 0) return -1;
    if (found == 0) return 1;
    stem(query);
    if (lookUpEnglish(engine, query) == 0) return 1;
    return renderDomainName(query, engine.resultBuffer, kResultBufferSize) ? 1 : 0;
}

} // namespace

void recordTranslations(Engine& engine, int32_t word, const std::vector<uint32_t>& references) {
    engine.trans.zwWordNumber = word;
    engine.trans.refCount =
        std::min<int32_t>(static_cast<int32_t>(references.size()), kMaxTransRefs);
    for (int i = 0; i < engine.trans.refCount; ++i)
        store24(engine.trans.refs + 3 * i, references[i]);
}

int translate(Engine& engine, int mode, const char* input, char* out, int size) {
    if (!input) input = "";
    if (mode == kShortMode && findMiss(engine, input)) {
        copyOut(out, size, "", 0);
        return 0;
    }
    copyOut(out, size, "", 0);
    char query[kMaxQuery + 1];
    if (normalise(engine, input, query) == 0) return -1;
    if (int length = lookUpUserLibrary(query, out, size)) return length;

    Library& library = engine.library;
    if (library.file().reopen() < 0) return -1;
    int result = engine.dbcsCount == 0 ? translateEnglish(engine, mode, query)
                                       : (lookUpChinese(engine, query) == 0 ? 1 : 0);
    library.file().close();
    if (result < 0) return -1;
    if (mode == kShortMode && result == 0) {
        addMiss(engine, input);
        return 0;
    }
    copyOut(out, size, engine.resultBuffer, size - 2);
    return result;
}

int entryText(Engine& engine, int32_t number, char* out, int size) {
    Library& library = engine.library;
    const char* text = library.block().byNumber(library.file(), number);
    library.file().close();
    if (!text) {
        copyOut(out, size, "", 0);
        return 0;
    }
    copyOut(out, size, text, size - 2);
    return 1;
}

int currentEntryNumber(Engine& engine) {
    const EBlock& block = engine.library.block();
    return block.loadedBlock() * engine.library.header().entriesPerBlock + block.current();
}

int chineseWord(Engine& engine, int32_t number, char* out, int size) {
    Library& library = engine.library;
    if (number < 0 || number >= library.header().chineseWordCount) return 0;
    int block = library.chineseMain().findByNumber(static_cast<uint32_t>(number));
    const char* key = nullptr;
    if (block >= 0)
        key = library.chineseIndex().nth(
            library.file(), block,
            number - static_cast<int32_t>(library.chineseMain().number(block)));
    library.file().close();
    if (!key) return 0;
    copyOut(out, size, key, size - 2);
    return 1;
}

} // namespace lxtran
