// The exported functions of wordbank.
#include "internal.h"

#include <cstdlib>
#include <cstring>

namespace wordbank {

Library* openLibrary = nullptr;

namespace {

// The open library when it can be used, else null.
Library* usableLibrary() {
    return openLibrary && !openLibrary->unusable ? openLibrary : nullptr;
}

// Replaces the open library by a new, empty one named fileName; null when the name cannot be
// kept or the store cannot be reserved (the new library is then unusable).
Library* startLibrary(const char* fileName) {
    closeLibrary();
    openLibrary = createLibrary();
    if (!openLibrary) return nullptr;
    size_t length = fileName ? strnlen(fileName, WBK_MAX_NAME + 1) : 0;
    if (!openLibrary->unusable && length > 0 && length <= WBK_MAX_NAME) {
        openLibrary->fileName = static_cast<char*>(std::malloc(length + 1));
        if (openLibrary->fileName) std::memcpy(openLibrary->fileName, fileName, length + 1);
    }
    if (!openLibrary->fileName) openLibrary->unusable = 1;
    return usableLibrary();
}

int failStart(Library& library) {
    std::free(library.fileName);
    library.fileName = nullptr;
    library.unusable = 1;
    return 0;
}

bool hasCurrent(const Library& library) {
    return library.current >= 0 && library.current < library.count;
}

// Each letter of the soundmark alphabet and the phonetic code the dictionary writes for it.
constexpr char kSoundPairs[][2] = {{'C', '0'}, {'E', '/'}, {'G', '2'}, {'N', '8'},
                                   {'O', '4'}, {'Q', '1'}, {'R', '9'}, {'S', '6'},
                                   {'V', '3'}, {'X', '5'}, {'Z', '7'}};

char convertSound(char c, int from, int to) {
    for (const auto& pair : kSoundPairs) {
        if (pair[from] == c) return pair[to];
    }
    return c;
}

} // namespace

void closeLibrary() {
    if (!openLibrary) return;
    if (openLibrary->modified && !openLibrary->unusable) saveLibrary(*openLibrary);
    destroyLibrary(openLibrary);
    openLibrary = nullptr;
}

} // namespace wordbank

using namespace wordbank;

extern "C" {

int WINAPI WBK_Open(const char* fileName) {
    Library* library = startLibrary(fileName);
    if (!library) return 0;
    return loadLibrary(*library) ? 1 : failStart(*library);
}

int WINAPI WBK_Create(const char* fileName) {
    Library* library = startLibrary(fileName);
    if (!library) return 0;
    return saveLibrary(*library) ? 1 : failStart(*library);
}

int WINAPI WBK_Close(void) {
    closeLibrary();
    return 1;
}

int WINAPI WBK_Loaded(void) {
    return usableLibrary() ? 1 : 0;
}

int WINAPI WBK_GetName(char* buffer, int size) {
    const char* name = openLibrary ? openLibrary->fileName : nullptr;
    size_t length = name ? std::strlen(name) : 0;
    if (buffer && size > 0) {
        size_t copied = length < static_cast<size_t>(size) ? length : size - 1;
        if (copied > 0) std::memcpy(buffer, name, copied);
        std::memset(buffer + copied, 0, size - copied);
    }
    return static_cast<int>(length);
}

int WINAPI WBK_GetCodePage(void) {
    return openLibrary ? openLibrary->codePage : WBK_PAGE_GB;
}

int WINAPI WBK_Seek(const char* phrase) {
    Library* library = usableLibrary();
    if (!library || !phrase) return 0;
    return seekPhrase(*library, phrase);
}

int WINAPI WBK_GetRecord(char* buffer, int size) {
    Library* library = usableLibrary();
    if (!library) return -1;
    if (!hasCurrent(*library) || !buffer || size <= 0) return 0;
    RecordView view{};
    viewRecord(recordAt(*library, library->current), view);
    size_t copied = view.size() < static_cast<size_t>(size) ? view.size() : size - 1;
    std::memcpy(buffer, view.phrase, copied);
    buffer[copied] = '\0';
    return static_cast<int>(copied);
}

int WINAPI WBK_AddRecord(const char* record) {
    Library* library = usableLibrary();
    RecordView view{};
    if (!library || !record || !viewRecord(record, view) || !isStorable(view) ||
        !storeRecord(*library, view))
        return 0;
    library->modified = 1;
    return 1;
}

int WINAPI WBK_DeleteRecord(const char* phrase) {
    Library* library = usableLibrary();
    if (!library || !phrase || !seekPhrase(*library, phrase)) return 0;
    deleteCurrent(*library);
    library->modified = 1;
    return 1;
}

int WINAPI WBK_Delete(void) {
    Library* library = usableLibrary();
    if (!library || !deleteCurrent(*library)) return 0;
    library->modified = 1;
    return 1;
}

int WINAPI WBK_GetRECN(void) {
    Library* library = usableLibrary();
    return library ? library->current : -1;
}

int WINAPI WBK_GetRecordCount(void) {
    Library* library = usableLibrary();
    return library ? library->count : 0;
}

int WINAPI WBK_GoRECN(int position) {
    Library* library = usableLibrary();
    if (!library || position < 0 || position >= library->count) return 0;
    library->current = position;
    return 1;
}

int WINAPI WBK_GetRecordLength(const char* record) {
    RecordView view{};
    if (!usableLibrary() || !record || !viewRecord(record, view)) return 0;
    return static_cast<int>(view.size());
}

char* WINAPI WBK_CVTSound(int type, char* text) {
    if (!text || (type != WBK_LETTERS_TO_CODES && type != WBK_CODES_TO_LETTERS)) return text;
    int from = type == WBK_LETTERS_TO_CODES ? 0 : 1;
    for (int i = 0; i < WBK_MAX_LINE && text[i]; ++i)
        text[i] = convertSound(text[i], from, 1 - from);
    return text;
}

} // extern "C"
