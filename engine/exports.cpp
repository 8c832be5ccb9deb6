// The exported lookups of lxtran, on the engine of the process.
#include "engine.h"
#include "lxtran.h"

#include <cstring>

using lxtran::engine;

extern "C" {

LXA_EXPORT int WINAPI LXaTranslateStr(int mode, const char* input, char* out, int size) {
    return lxtran::translate(engine, mode, input, out, size);
}

LXA_EXPORT int WINAPI LXaGetMeanN(int number, char* out, int size) {
    return lxtran::entryText(engine, number, out, size);
}

LXA_EXPORT int WINAPI LXaGetCurWrdN(void) {
    return lxtran::currentEntryNumber(engine);
}

LXA_EXPORT int WINAPI LXaGetMaxWrdN(void) {
    return engine.library.header().englishEntryCount;
}

LXA_EXPORT int WINAPI LXaTransIsZWStr(void) {
    return engine.dbcsCount > 0 ? 1 : 0;
}

LXA_EXPORT int WINAPI LXaGetIndexStr(char* out) {
    if (out) out[0] = '\0';
    return 1;
}

LXA_EXPORT int WINAPI LXaGetTransStruct(void* area) {
    if (!area) return 0;
    std::memcpy(area, &engine.trans, sizeof engine.trans);
    return 1;
}

LXA_EXPORT int WINAPI LXaGetZWMeanN(int number, char* out, int size) {
    return lxtran::chineseWord(engine, number, out, size);
}

LXA_EXPORT int WINAPI LXaGetMaxZWWrdN(void) {
    return engine.library.header().chineseWordCount;
}

LXA_EXPORT int WINAPI LXaTransStrInPT(int* exact, const char* text, int length, int* rect,
                                      char* out, int size, int mode) {
    return lxtran::translateCaptured(engine, exact, text, length, rect, out, size, mode);
}

LXA_EXPORT int WINAPI LXaTransHHStr(const char* text, char* out, int split) {
    return lxtran::translateShort(engine, text, out, split);
}

} // extern "C"
