// Fuzz target for wordbank's file parser: arbitrary bytes as a user library file. The library
// must load, keep only records it can write back, find each at its own position, and read the
// same records again from the file it saves.
#include "wordbank.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Loaded {
    int codePage = 0;
    std::vector<std::string> records; // packed
};

const std::string& scratchFile() {
    static const std::string path = "/tmp/wordbank-fuzz-" + std::to_string(getpid()) + ".txt";
    return path;
}

void check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "wordbank_fuzz: %s\n", what);
    std::abort();
}

void writeFile(const uint8_t* data, size_t size) {
    std::FILE* out = std::fopen(scratchFile().c_str(), "wb");
    check(out && std::fwrite(data, 1, size, out) == size && std::fclose(out) == 0,
          "cannot write the scratch file");
}

// Every record of the open library, each checked to be whole, storable and found where it is.
Loaded readLibrary() {
    Loaded loaded{WBK_GetCodePage(), {}};
    char record[WBK_RECORD_BUFFER];
    for (int position = 0; WBK_GoRECN(position); ++position) {
        int length = WBK_GetRecord(record, sizeof record);
        check(length > 0 && length == WBK_GetRecordLength(record), "record length");
        const char* soundmark = record + std::strlen(record) + 1;
        const char* meaning = soundmark + std::strlen(soundmark) + 1;
        check(record[0] != '\0' && meaning[0] != '\0', "record without phrase or meaning");
        check(WBK_Seek(record) == 1 && WBK_GetRECN() == position, "record not found in place");
        loaded.records.emplace_back(record, length);
    }
    return loaded;
}

// Loads the file, saves it when it holds records, and checks that it loads the same again.
void loadSaveLoad(const char* file) {
    check(WBK_Open(file) == 1, "an existing file did not load");
    Loaded first = readLibrary();
    if (first.records.empty()) {
        WBK_Close();
        return;
    }
    // Adding a record again changes nothing but makes closing save the library.
    check(WBK_AddRecord(first.records[0].c_str()) == 1, "a loaded record was refused");
    WBK_Close();
    check(WBK_Open(file) == 1, "the saved file did not load");
    Loaded second = readLibrary();
    WBK_Close();
    check(second.codePage == first.codePage, "the code page changed on save");
    check(second.records == first.records, "the records changed on save");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeFile(data, size);
    loadSaveLoad(scratchFile().c_str());
    std::remove(scratchFile().c_str());
    return 0;
}
