// The dictionary engine for dynamic translation. It is loaded only when a process first needs a
// translation, so that a hooked program that never translates never opens the dictionary.
#include "drawing.h"

#include "platform.h"

#include <mutex>
#include <string>

namespace lxsys {

namespace {

using TransHHStr = int(WINAPI*)(const char* text, char* out, int split);

// The engine's state is per process and its calls must not overlap.
std::mutex engineLock;
bool engineLoadTried = false;
TransHHStr transHHStr = nullptr;

// A failed load (no engine, or no dictionary beside it) is remembered: no translation then.
void loadEngine() {
    engineLoadTried = true;
    std::string path = lx::platform::directoryOf(lx::platform::moduleFileName(&engineLock));
    HMODULE engine = LoadLibraryA((path + "lxtran.dll").c_str());
    if (!engine) return;
    auto* entry = reinterpret_cast<void*>(GetProcAddress(engine, "LXaTransHHStr"));
    transHHStr = reinterpret_cast<TransHHStr>(entry);
}

} // namespace

int translateShortText(char (&buffer)[kTranslationBufferSize]) {
    std::lock_guard lock(engineLock);
    if (!engineLoadTried) loadEngine();
    return transHHStr ? transHHStr(buffer, buffer, 1) : -1;
}

} // namespace lxsys
