// Setting cpconv up when a process loads it, and releasing it when the process unloads it.
#include "internal.h"

#include "platform.h"

#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
// Compiled in from the generated tables.
extern const uint8_t cpcGbToBig5Table[cpconv::kGbToBig5Entries * 2];
extern const uint8_t cpcBig5ToGbTable[cpconv::kBig5ToGbEntries * 2];
#endif

namespace cpconv {

namespace {

// Stands in for the shared record until it is mapped, and for good when it cannot be.
CodeSetShared processRecord;

lx::platform::SharedBlock sharedBlock;

#ifdef _WIN32
HMODULE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&processRecord), &module);
    return module;
}

// A conversion table among the library's resources (type 100), refused unless it has exactly
// the size its layout needs.
const uint8_t* loadTable(int id, size_t size) {
    HMODULE module = thisModule();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(100));
    if (!resource || SizeofResource(module, resource) != size) return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    return loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
}

bool loadTables(std::string& error) {
    state.gbToBig5 = loadTable(101, kGbToBig5Entries * 2);
    state.big5ToGb = loadTable(102, kBig5ToGbEntries * 2);
    if (state.gbToBig5 && state.big5ToGb) return true;
    error = "a conversion table is missing from the library";
    return false;
}
#else
bool loadTables(std::string&) {
    state.gbToBig5 = cpcGbToBig5Table;
    state.big5ToGb = cpcBig5ToGbTable;
    return true;
}
#endif

void findDirectory() {
    std::string directory = lx::platform::directoryOf(lx::platform::moduleFileName(&processRecord));
    lx::platform::copyTruncated(state.directory, sizeof state.directory, directory);
}

} // namespace

ModuleState state = {&processRecord, nullptr, nullptr, {}};

bool attach(char* reason, int reasonSize) {
    std::string error;
    findDirectory();
    if (!lx::platform::openSharedBlock("lxdbcs.sharedata", sizeof(CodeSetShared), sharedBlock,
                                       error) ||
        !loadTables(error)) {
        lx::platform::copyTruncated(reason, reasonSize, error);
        return false;
    }
    state.shared = static_cast<CodeSetShared*>(sharedBlock.data);
    return true;
}

void detach() {
    closeUnicodeTable();
    lx::platform::closeConverters();
    state.shared = &processRecord;
    state.gbToBig5 = nullptr;
    state.big5ToGb = nullptr;
    lx::platform::closeSharedBlock(sharedBlock);
}

} // namespace cpconv

#ifdef _WIN32
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) return cpconv::attach(nullptr, 0) ? TRUE : FALSE;
    if (reason == DLL_PROCESS_DETACH) cpconv::detach();
    return TRUE;
}
#else
namespace {
char loadFailure[256];

// Defined after the state in this file, so the state is initialised before it is set up and
// destroyed only after it is released.
struct Loader {
    Loader() { cpconv::attach(loadFailure, sizeof loadFailure); }
    ~Loader() { cpconv::detach(); }
} loader;
} // namespace

extern "C" CPC_EXPORT int CPC_LoadFailure(char* buffer, int size) {
    lx::platform::copyTruncated(buffer, size, loadFailure);
    return static_cast<int>(strnlen(loadFailure, sizeof loadFailure));
}
#endif
