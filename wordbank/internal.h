// The open library and the operations the sources of wordbank share.
#ifndef LEXORA_WORDBANK_INTERNAL_H
#define LEXORA_WORDBANK_INTERNAL_H

#include "wordbank.h"

#include <cstddef>
#include <cstdint>

namespace wordbank {

constexpr uint32_t kInitialHeapSize = 2048;
constexpr int kInitialCapacity = 256;
constexpr int kCapacityStep = 100;

// The open library. Plain data, released by closeLibrary, so that nothing of it depends on the
// order in which a process tears down its static objects.
struct Library {
    int modified;
    char* fileName; // owned; null after a failed open
    int unusable;   // the store could not be reserved or the file could not be read
    int codePage;
    int capacity; // slots in index
    int count;
    int current; // -1 for none
    uint32_t used;
    uint32_t heapSize;
    char* textHeap;  // owned: packed records, appended
    uint32_t* index; // owned: offsets into textHeap, in phrase order
    bool isLeadByte[256];
};

// The library of this process, or null.
extern Library* openLibrary;

// A packed record's three fields, read no further than a line of the file could reach.
struct RecordView {
    const char* phrase;
    size_t phraseLength;
    const char* soundmark;
    size_t soundmarkLength;
    const char* meaning;
    size_t meaningLength;

    size_t size() const { return phraseLength + soundmarkLength + meaningLength + 3; }
};

// False when the fields together are longer than WBK_MAX_FIELDS.
bool viewRecord(const char* record, RecordView& view);

// Whether the record can be written as a line and read back as the same record.
bool isStorable(const RecordView& view);

// store.cpp: the sorted store.
Library* createLibrary();
void destroyLibrary(Library* library);
void setCodePage(Library& library, int page);
const char* recordAt(const Library& library, int position);
int seekPhrase(Library& library, const char* phrase);
// Replaces the record with the same phrase or inserts it at its sorted position; sets current
// to it. False when the store cannot grow.
bool storeRecord(Library& library, const RecordView& record);
bool deleteCurrent(Library& library);

// userfile.cpp: reading and writing the library file.
bool loadLibrary(Library& library);
bool saveLibrary(const Library& library);

// exports.cpp: closes the open library, saving it when changed.
void closeLibrary();

} // namespace wordbank

#endif
