// The engine's state in the process that loaded lxtran.
#ifndef LEXORA_ENGINE_ENGINE_H
#define LEXORA_ENGINE_ENGINE_H

#include "library.h"
#include "platform.h"

namespace lxtran {

constexpr size_t kSharedBlockSize = 4124;
constexpr size_t kResultBufferSize = 256;
constexpr int kMaxTransRefs = 80;
constexpr int kMissSlots = 700;
constexpr size_t kCapturedTextSize = 256;
constexpr int kShortSlots = 400;
constexpr size_t kShortTextSize = 13;

#pragma pack(push, 1)
// The record of the last Chinese lookup, handed to callers as it is.
struct TransStruct {
    int32_t zwWordNumber;
    int32_t refCount;
    uint8_t refs[kMaxTransRefs * 3];
};

// A text that missed in short-translation mode.
struct MissSlot {
    uint16_t hash;
    char prefix[14];
};

// A short translation kept for texts that are drawn again and again.
struct ShortSlot {
    int8_t score;
    uint8_t length;
    char key[kShortTextSize];
    char value[kShortTextSize];
};
#pragma pack(pop)

static_assert(sizeof(TransStruct) == 248);
static_assert(offsetof(TransStruct, refCount) == 4);
static_assert(offsetof(TransStruct, refs) == 8);
static_assert(sizeof(MissSlot) == 16);
static_assert(offsetof(MissSlot, prefix) == 2);
static_assert(sizeof(ShortSlot) == 28);
static_assert(offsetof(ShortSlot, length) == 1);
static_assert(offsetof(ShortSlot, key) == 2);
static_assert(offsetof(ShortSlot, value) == 15);

struct Engine {
    Library library;
    lx::platform::SharedBlock shared;
    // The text of the last result a lookup produced.
    char resultBuffer[kResultBufferSize] = {};
    // Double-byte characters in the last normalised query.
    int dbcsCount = 0;
    TransStruct trans{};
    MissSlot misses[kMissSlots] = {};
    int missCount = 0;
    ShortSlot shorts[kShortSlots] = {};
    int shortCount = 0;
    int shortCursor = 0;
    // The text last captured under the pointer, in GB.
    char captured[kCapturedTextSize] = {};
};

extern Engine engine;

// The lookups behind the exported functions, on the engine they are given.
int translate(Engine& engine, int mode, const char* input, char* out, int size);
int entryText(Engine& engine, int32_t number, char* out, int size);
int currentEntryNumber(Engine& engine);
int chineseWord(Engine& engine, int32_t number, char* out, int size);
int translateCaptured(Engine& engine, int* exact, const char* text, int length, int* rect,
                      char* out, int size, int mode);
int translateShort(Engine& engine, const char* text, char* out, int split);

// Opens the shared block and the dictionary beside the library; false, with a reason, when the
// engine cannot serve.
bool attach(char* reason, int reasonSize);
void detach();

} // namespace lxtran

#endif
