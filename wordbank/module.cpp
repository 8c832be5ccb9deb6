// Changes survive the end of the process: a library still open when the process unloads
// wordbank, or ends, is closed and so saved when it was changed.
#include "internal.h"

#ifdef _WIN32
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) wordbank::closeLibrary();
    return TRUE;
}
#else
namespace {
__attribute__((destructor)) void unloadLibrary() {
    wordbank::closeLibrary();
}
} // namespace
#endif
