// Setting lxtran up when a process loads it, and releasing it when the process unloads it.
#include "engine.h"
#include "lxtran.h"

#include <cstring>
#include <string>

namespace lxtran {

Engine engine;

namespace {

// The rectangle and the two words after it start at -1 in a new block.
void initialiseSharedBlock(void* data) {
    int32_t minusOne[6];
    std::memset(minusOne, 0xFF, sizeof minusOne);
    std::memcpy(data, minusOne, sizeof minusOne);
}

std::string dictionaryPath() {
    return lx::platform::directoryOf(lx::platform::moduleFileName(&engine)) + "LEXORA.LIB";
}

} // namespace

bool attach(char* reason, int reasonSize) {
    std::string error;
    bool created = false;
    if (!lx::platform::openSharedBlock("lxtran.sharedata", kSharedBlockSize, engine.shared, error,
                                       &created)) {
        lx::platform::copyTruncated(reason, reasonSize, error);
        return false;
    }
    if (created) initialiseSharedBlock(engine.shared.data);
    if (!engine.library.open(dictionaryPath().c_str(), error)) {
        lx::platform::closeSharedBlock(engine.shared);
        lx::platform::copyTruncated(reason, reasonSize, error);
        return false;
    }
    return true;
}

void detach() {
    engine.library.file().close();
    lx::platform::closeSharedBlock(engine.shared);
}

} // namespace lxtran

#ifdef _WIN32
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) return lxtran::attach(nullptr, 0) ? TRUE : FALSE;
    if (reason == DLL_PROCESS_DETACH) lxtran::detach();
    return TRUE;
}
#else
namespace {
char loadFailure[512];

// Defined after the engine in this file, so the engine is initialised before it is set up and
// destroyed only after it is released.
struct Loader {
    Loader() { lxtran::attach(loadFailure, sizeof loadFailure); }
    ~Loader() { lxtran::detach(); }
} loader;
} // namespace

extern "C" LXA_EXPORT int LXaLoadFailure(char* buffer, int size) {
    lx::platform::copyTruncated(buffer, size, loadFailure);
    return static_cast<int>(strnlen(loadFailure, sizeof loadFailure));
}
#endif
