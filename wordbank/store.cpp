// The sorted store: packed records appended to a text heap, and an index of their offsets kept
// in phrase order.
#include "internal.h"

#include "cpconv.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace wordbank {
namespace {

// Offsets into the heap are 32-bit, and sizes cross the interface as int.
constexpr uint64_t kMaxHeapSize = 0x7FFFFFFF;
constexpr int kMaxCapacity = 0x7FFFFFFF / sizeof(uint32_t) - kCapacityStep;

int upperAscii(uint8_t byte) {
    return byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte;
}

// Byte order, for phrases that begin with a double-byte character.
int compareBytes(const uint8_t* a, const uint8_t* b) {
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a - *b;
}

// ASCII letters folded to upper case, for phrases that begin with an ASCII byte. The second
// byte of a double-byte character is not a letter, even where its value is that of one (BIG5
// uses 0x40-0x7E), so it is compared as it is. Both phrases step through double-byte characters
// together: up to the first difference, they hold the same characters.
int compareFolded(const bool* isLeadByte, const uint8_t* a, const uint8_t* b) {
    bool trailByte = false;
    for (;; ++a, ++b) {
        int x = trailByte ? *a : upperAscii(*a);
        int y = trailByte ? *b : upperAscii(*b);
        if (x != y || x == 0) return x - y;
        trailByte = !trailByte && isLeadByte[*a];
    }
}

// The comparison is chosen by the phrase searched for.
int comparePhrases(const Library& library, const char* searched, const char* stored) {
    const auto* a = reinterpret_cast<const uint8_t*>(searched);
    const auto* b = reinterpret_cast<const uint8_t*>(stored);
    return a[0] >= 0x80 ? compareBytes(a, b) : compareFolded(library.isLeadByte, a, b);
}

bool growHeap(Library& library, uint64_t needed) {
    uint64_t size = (needed + 2048) / 256 * 256;
    if (size > kMaxHeapSize) return false;
    void* grown = std::realloc(library.textHeap, size);
    if (!grown) return false;
    library.textHeap = static_cast<char*>(grown);
    library.heapSize = static_cast<uint32_t>(size);
    return true;
}

char* appendText(char* out, const char* text, size_t length) {
    std::memcpy(out, text, length);
    out[length] = '\0';
    return out + length + 1;
}

bool appendRecord(Library& library, const RecordView& record, uint32_t& offset) {
    uint64_t needed = uint64_t{library.used} + record.size();
    if (needed > library.heapSize && !growHeap(library, needed)) return false;
    char* out = library.textHeap + library.used;
    out = appendText(out, record.phrase, record.phraseLength);
    out = appendText(out, record.soundmark, record.soundmarkLength);
    appendText(out, record.meaning, record.meaningLength);
    offset = library.used;
    library.used += static_cast<uint32_t>(record.size());
    return true;
}

bool growIndex(Library& library) {
    if (library.capacity > kMaxCapacity) return false;
    int capacity = library.capacity + kCapacityStep;
    void* grown = std::realloc(library.index, capacity * sizeof(uint32_t));
    if (!grown) return false;
    library.index = static_cast<uint32_t*>(grown);
    library.capacity = capacity;
    return true;
}

bool replaceAtCurrent(Library& library, const RecordView& record) {
    uint32_t offset = 0;
    if (!appendRecord(library, record, offset)) return false;
    library.index[library.current] = offset;
    return true;
}

bool insertAtCurrent(Library& library, const RecordView& record) {
    uint32_t offset = 0;
    if (library.count == library.capacity && !growIndex(library)) return false;
    if (!appendRecord(library, record, offset)) return false;
    int at = library.current < 0 ? 0 : library.current;
    std::memmove(library.index + at + 1, library.index + at,
                 (library.count - at) * sizeof(uint32_t));
    library.index[at] = offset;
    ++library.count;
    library.current = at;
    return true;
}

} // namespace

Library* createLibrary() {
    auto* library = new (std::nothrow) Library{};
    if (!library) return nullptr;
    library->current = -1;
    library->textHeap = static_cast<char*>(std::calloc(kInitialHeapSize, 1));
    library->index = static_cast<uint32_t*>(std::malloc(kInitialCapacity * sizeof(uint32_t)));
    library->unusable = !library->textHeap || !library->index;
    library->heapSize = library->textHeap ? kInitialHeapSize : 0;
    library->capacity = library->index ? kInitialCapacity : 0;
    setCodePage(*library, WBK_PAGE_GB);
    return library;
}

void destroyLibrary(Library* library) {
    std::free(library->fileName);
    std::free(library->textHeap);
    std::free(library->index);
    delete library;
}

void setCodePage(Library& library, int page) {
    library.codePage = page;
    for (int byte = 0; byte < 256; ++byte)
        library.isLeadByte[byte] = CPC_IsLeadByte(page, byte) != 0;
}

const char* recordAt(const Library& library, int position) {
    return library.textHeap + library.index[position];
}

// The first position whose phrase does not sort before phrase; current becomes it.
int seekPhrase(Library& library, const char* phrase) {
    int low = 0;
    int high = library.count;
    while (low < high) {
        int middle = low + (high - low) / 2;
        int order = comparePhrases(library, phrase, recordAt(library, middle));
        if (order == 0) {
            library.current = middle;
            return 1;
        }
        if (order > 0)
            low = middle + 1;
        else
            high = middle;
    }
    library.current = low;
    return 0;
}

bool storeRecord(Library& library, const RecordView& record) {
    if (seekPhrase(library, record.phrase)) return replaceAtCurrent(library, record);
    return insertAtCurrent(library, record);
}

bool deleteCurrent(Library& library) {
    int at = library.current;
    if (at < 0 || at >= library.count) return false;
    std::memmove(library.index + at, library.index + at + 1,
                 (library.count - at - 1) * sizeof(uint32_t));
    --library.count;
    return true;
}

} // namespace wordbank
