// Redirection of the graphics library's text-output entry points in this process: the first 5
// bytes of each entry point become a relative jump (E9 rel32) to a trampoline allocated within
// 2 GiB of it, which jumps on to the replacement wherever that lies. The whole instructions those
// bytes held are moved behind the trampoline, followed by a jump to the rest of the routine: a
// call through runs them there, while the entry point keeps its jump for every other thread.
// Where they cannot be moved, a call through lifts the jump for the call and puts it back after.
#include "instructions.h"
#include "internal.h"
#include "redirect.h"
#include "textout.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <new>
#include <optional>

namespace lxsys {

namespace {

constexpr uint32_t kPatchMagic = 0x48525A51; // "QZRH" in memory order
constexpr size_t kJumpSize = 5;
constexpr unsigned char kJumpOpcode = 0xE9;

// A binary semaphore that costs no system call when it is free: a count of holders and waiters,
// and a system semaphore (initially 0) that only waiters sleep on. Any thread may release it, as
// the thread that puts a jump back is not always the one that lifted it.
class PatchLock {
  public:
    bool create() {
        waiters_ = CreateSemaphoreA(nullptr, 0, LONG_MAX, nullptr);
        return waiters_ != nullptr;
    }
    void destroy() {
        if (waiters_) CloseHandle(waiters_);
        waiters_ = nullptr;
    }
    void take() {
        if (InterlockedIncrement(&count_) > 1) WaitForSingleObject(waiters_, INFINITE);
    }
    void release() {
        if (InterlockedDecrement(&count_) > 0) ReleaseSemaphore(waiters_, 1, nullptr);
    }

  private:
    volatile LONG count_ = 0;
    HANDLE waiters_ = nullptr;
};

// One redirected entry point.
struct CodePatch {
    uint32_t magic = kPatchMagic;
    volatile LONG patched = 0;
    PatchLock lock;
    void* regionBase = nullptr;
    SIZE_T regionSize = 0;
    unsigned char* entry = nullptr;
    unsigned char saved[kJumpSize] = {};
    unsigned char jump[kJumpSize] = {};
    DWORD previousProtection = 0;
    const void* replacement = nullptr;
    // The routine as it was: its first instructions moved into the trampoline block, then a jump
    // to the rest. Null when they could not be moved.
    unsigned char* original = nullptr;
    // Calls through in progress, which unloading the library must not cut short.
    volatile LONG callsInProgress = 0;
};

struct EntrySpec {
    const char* name;
    const void* replacement;
};

// In the order of Entry. GetTextExtentPoint32A shares the routine of GetTextExtentPointA.
const EntrySpec kEntries[kEntryCount] = {
    {"TextOutA", reinterpret_cast<const void*>(redirectedTextOutA)},
    {"TextOutW", reinterpret_cast<const void*>(redirectedTextOutW)},
    {"ExtTextOutA", reinterpret_cast<const void*>(redirectedExtTextOutA)},
    {"ExtTextOutW", reinterpret_cast<const void*>(redirectedExtTextOutW)},
    {"GetTextExtentPointA", reinterpret_cast<const void*>(redirectedGetTextExtentPointA)},
    {"GetTextExtentPoint32A", reinterpret_cast<const void*>(redirectedGetTextExtentPointA)},
    {"GetCharWidthA", reinterpret_cast<const void*>(redirectedGetCharWidthA)},
    {"BitBlt", reinterpret_cast<const void*>(redirectedBitBlt)},
    {"StretchBlt", reinterpret_cast<const void*>(redirectedStretchBlt)},
};

CodePatch* patches[kEntryCount];
DWORD nestingSlot = TLS_OUT_OF_INDEXES;

// --- Trampolines ------------------------------------------------------------------------------

// A trampoline is jmp [rip+0] followed by the 8-byte address of the replacement, then the entry
// point's first instructions moved there.
constexpr unsigned char kAbsoluteJump[] = {0xFF, 0x25, 0x00, 0x00, 0x00, 0x00};
constexpr size_t kTrampolineJumpSize = 16;
constexpr size_t kTrampolineSize = 64;
// The most an entry point's first instructions can span: the last one the jump overwrites may
// start at its last byte.
constexpr size_t kMovedSpan = kJumpSize - 1 + kLongestInstruction;
constexpr size_t kTrampolineBlockSize = 4096;
// How far from an entry point a trampoline may lie: a rel32 reaches +-2 GiB from the end of the
// jump; the margin keeps a whole block in reach.
constexpr int64_t kReach = 0x7FF00000;

struct TrampolineBlock {
    unsigned char* base = nullptr;
    size_t used = 0;
};
TrampolineBlock blocks[kEntryCount];

bool inReach(const unsigned char* entry, const unsigned char* target) {
    int64_t distance = reinterpret_cast<intptr_t>(target) -
                       (reinterpret_cast<intptr_t>(entry) + static_cast<intptr_t>(kJumpSize));
    return distance > -kReach && distance < kReach;
}

// A block of executable memory in a free region within reach of entry, searched outwards from
// it one allocation granule at a time.
unsigned char* allocateNear(const unsigned char* entry) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    auto granule = static_cast<intptr_t>(system.dwAllocationGranularity);
    auto lowest = reinterpret_cast<intptr_t>(system.lpMinimumApplicationAddress);
    auto highest = reinterpret_cast<intptr_t>(system.lpMaximumApplicationAddress);
    intptr_t origin = reinterpret_cast<intptr_t>(entry) / granule * granule;
    for (intptr_t offset = granule; offset < kReach; offset += granule) {
        for (intptr_t candidate : {origin + offset, origin - offset}) {
            if (candidate < lowest || candidate + granule > highest) continue;
            MEMORY_BASIC_INFORMATION region;
            auto* address = reinterpret_cast<void*>(candidate);
            if (VirtualQuery(address, &region, sizeof region) != sizeof region ||
                region.State != MEM_FREE)
                continue;
            void* block = VirtualAlloc(address, kTrampolineBlockSize, MEM_RESERVE | MEM_COMMIT,
                                       PAGE_EXECUTE_READWRITE);
            if (block) return static_cast<unsigned char*>(block);
        }
    }
    return nullptr;
}

// A trampoline to replacement within reach of entry, from a block already made when one is
// near enough.
unsigned char* makeTrampoline(const unsigned char* entry, const void* replacement) {
    TrampolineBlock* chosen = nullptr;
    for (TrampolineBlock& block : blocks) {
        if (block.base && block.used + kTrampolineSize <= kTrampolineBlockSize &&
            inReach(entry, block.base + block.used)) {
            chosen = &block;
            break;
        }
        if (!block.base) {
            block.base = allocateNear(entry);
            if (!block.base) return nullptr;
            chosen = &block;
            break;
        }
    }
    if (!chosen) return nullptr;
    unsigned char* trampoline = chosen->base + chosen->used;
    chosen->used += kTrampolineSize;
    auto target = reinterpret_cast<uintptr_t>(replacement);
    std::memcpy(trampoline, kAbsoluteJump, sizeof kAbsoluteJump);
    std::memcpy(trampoline + sizeof kAbsoluteJump, &target, sizeof target);
    FlushInstructionCache(GetCurrentProcess(), trampoline, kTrampolineJumpSize);
    return trampoline;
}

// The entry point's first instructions, as many whole ones as the jump overwrites, moved behind
// the trampoline's jump; null when they cannot be moved. The instructions are read within the
// entry point's region only.
unsigned char* moveFirstInstructions(const CodePatch& patch, unsigned char* trampoline) {
    auto* regionEnd = static_cast<unsigned char*>(patch.regionBase) + patch.regionSize;
    size_t available = std::min(kMovedSpan, static_cast<size_t>(regionEnd - patch.entry));
    unsigned char* moved = trampoline + kTrampolineJumpSize;
    std::optional<RelocatedCode> relocated = relocateInstructions(
        patch.entry, available, reinterpret_cast<uintptr_t>(patch.entry), kJumpSize, moved,
        kTrampolineSize - kTrampolineJumpSize, reinterpret_cast<uintptr_t>(moved));
    if (!relocated) return nullptr;
    FlushInstructionCache(GetCurrentProcess(), moved, relocated->length);
    return moved;
}

// --- Patches ----------------------------------------------------------------------------------

bool valid(const CodePatch* patch) {
    return patch && patch->magic == kPatchMagic;
}

// The 5 bytes go in with one store when they lie within one aligned 8-byte word, as they do at
// the usual 16-byte aligned entry point: a thread running into the entry point meanwhile finds
// either the old instructions or the whole jump, never a mix.
void writeEntry(CodePatch& patch, const unsigned char (&bytes)[kJumpSize]) {
    auto address = reinterpret_cast<uintptr_t>(patch.entry);
    uintptr_t word = address & ~uintptr_t{7};
    if (address + kJumpSize <= word + 8) {
        auto* target = reinterpret_cast<volatile LONG64*>(word);
        LONG64 before = 0;
        LONG64 after = 0;
        do {
            before = *target;
            after = before;
            std::memcpy(reinterpret_cast<unsigned char*>(&after) + (address - word), bytes,
                        kJumpSize);
        } while (InterlockedCompareExchange64(target, after, before) != before);
    } else {
        std::memcpy(patch.entry, bytes, kJumpSize);
    }
    FlushInstructionCache(GetCurrentProcess(), patch.entry, kJumpSize);
}

// Lifts the jump. A patch found already lifted is being called through by another thread of
// this process: the caller goes on without the lock and calls the entry point directly.
void unpatch(CodePatch* patch) {
    if (!valid(patch) || patch->patched == 0) return;
    patch->lock.take();
    writeEntry(*patch, patch->saved);
    patch->patched = 0;
}

// Puts the jump back and releases the lock, whichever call-through took it. Of two threads
// ending their calls at once only the one that marks the patch carries the jump writes it and
// releases, so the lock is released once for each time it was taken.
void repatch(CodePatch* patch) {
    if (!valid(patch) || InterlockedCompareExchange(&patch->patched, 1, 0) != 0) return;
    writeEntry(*patch, patch->jump);
    patch->lock.release();
}

bool executable(DWORD protection) {
    return (protection & (PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) !=
           0;
}

// Makes the region writable for this process only. Write-copy keeps the change private; where
// the system refuses it (Wine does for memory that is not a file mapping), read-write gives the
// same, since the pages of a loaded library are private copies once written.
bool makeWritable(CodePatch& patch) {
    return VirtualProtect(patch.regionBase, patch.regionSize, PAGE_EXECUTE_WRITECOPY,
                          &patch.previousProtection) ||
           VirtualProtect(patch.regionBase, patch.regionSize, PAGE_EXECUTE_READWRITE,
                          &patch.previousProtection);
}

HMODULE graphicsLibrary() {
    HMODULE library = GetModuleHandleA("GDI32.DLL");
    return library ? library : LoadLibraryA("GDI32.DLL");
}

CodePatch* patchAt(const unsigned char* entry) {
    for (CodePatch* patch : patches)
        if (valid(patch) && patch->entry == entry) return patch;
    return nullptr;
}

CodePatch* installPatch(const EntrySpec& spec) {
    HMODULE library = graphicsLibrary();
    auto* entry =
        library ? reinterpret_cast<unsigned char*>(GetProcAddress(library, spec.name)) : nullptr;
    if (!entry) return nullptr;
    // Two names of one routine share its patch.
    if (CodePatch* existing = patchAt(entry)) return existing;
    MEMORY_BASIC_INFORMATION region;
    if (VirtualQuery(entry, &region, sizeof region) != sizeof region ||
        region.State != MEM_COMMIT || !executable(region.Protect))
        return nullptr;
    auto* patch = new (std::nothrow) CodePatch;
    if (!patch) return nullptr;
    patch->entry = entry;
    patch->replacement = spec.replacement;
    patch->regionBase = region.BaseAddress;
    patch->regionSize = region.RegionSize;
    unsigned char* trampoline = makeTrampoline(entry, spec.replacement);
    if (!trampoline || !patch->lock.create() || !makeWritable(*patch)) {
        patch->lock.destroy();
        delete patch;
        return nullptr;
    }
    VirtualLock(patch->regionBase, patch->regionSize);
    patch->original = moveFirstInstructions(*patch, trampoline);
    std::memcpy(patch->saved, entry, kJumpSize);
    auto displacement = static_cast<int32_t>(reinterpret_cast<intptr_t>(trampoline) -
                                             reinterpret_cast<intptr_t>(entry + kJumpSize));
    patch->jump[0] = kJumpOpcode;
    std::memcpy(patch->jump + 1, &displacement, sizeof displacement);
    patch->lock.take();
    repatch(patch);
    return patch;
}

void removePatch(CodePatch* patch) {
    if (!valid(patch)) return;
    unpatch(patch);
    patch->lock.release();
    patch->lock.destroy();
    VirtualUnlock(patch->regionBase, patch->regionSize);
    patch->magic = 0;
    delete patch;
}

class CallInProgress {
  public:
    explicit CallInProgress(CodePatch& patch) : patch_(patch) {
        InterlockedIncrement(&patch_.callsInProgress);
    }
    ~CallInProgress() { InterlockedDecrement(&patch_.callsInProgress); }
    CallInProgress(const CallInProgress&) = delete;
    CallInProgress& operator=(const CallInProgress&) = delete;

  private:
    CodePatch& patch_;
};

// Calls the routine of a redirected entry point: its moved first instructions when there are
// any, else the entry point with its jump lifted for the call. An entry point without a patch
// is reached through this library's import of it, which is then the unredirected routine
// itself.
template <typename Function, typename... Arguments>
BOOL callThrough(Entry id, Function imported, Arguments... arguments) {
    CodePatch* patch = patches[static_cast<int>(id)];
    if (!valid(patch)) return imported(arguments...);
    CallInProgress counted(*patch);
    if (patch->original) return reinterpret_cast<Function>(patch->original)(arguments...);
    unpatch(patch);
    BOOL result = reinterpret_cast<Function>(patch->entry)(arguments...);
    repatch(patch);
    return result;
}

} // namespace

bool insideRedirection() {
    return nestingSlot != TLS_OUT_OF_INDEXES && TlsGetValue(nestingSlot) != nullptr;
}

RedirectionScope::RedirectionScope() {
    if (nestingSlot != TLS_OUT_OF_INDEXES) TlsSetValue(nestingSlot, this);
}
RedirectionScope::~RedirectionScope() {
    if (nestingSlot != TLS_OUT_OF_INDEXES) TlsSetValue(nestingSlot, nullptr);
}

void installCodePatches() {
    if (nestingSlot == TLS_OUT_OF_INDEXES) nestingSlot = TlsAlloc();
    // Without the nesting guard a call through could come back into itself.
    if (nestingSlot == TLS_OUT_OF_INDEXES) return;
    for (int i = 0; i < kEntryCount; ++i)
        if (!patches[i]) patches[i] = installPatch(kEntries[i]);
}

void removeCodePatches() {
    for (int i = 0; i < kEntryCount; ++i) {
        CodePatch* patch = patches[i];
        for (CodePatch*& other : patches)
            if (other == patch) other = nullptr;
        removePatch(patch);
    }
    // The trampoline blocks stay for the life of the process: a thread may still be inside the
    // moved first instructions of an entry point, on its way back to the rest of the routine.
    if (nestingSlot != TLS_OUT_OF_INDEXES) TlsFree(nestingSlot);
    nestingSlot = TLS_OUT_OF_INDEXES;
}

// GetTextExtentPointA is called through GetTextExtentPoint32A's patch: one graphics library
// implements the first by calling the second, which would otherwise come back redirected.
bool textPatchesCarryJumps() {
    for (Entry id : {Entry::ExtTextOutA, Entry::ExtTextOutW, Entry::GetTextExtentPointA,
                     Entry::GetTextExtentPoint32A, Entry::GetCharWidthA}) {
        const CodePatch* patch = patches[static_cast<int>(id)];
        if (!valid(patch) || patch->patched != 1 || patch->callsInProgress != 0) return false;
    }
    return true;
}

BOOL callTextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    return callThrough(Entry::TextOutA, ::TextOutA, dc, x, y, text, length);
}

BOOL callTextOutW(HDC dc, int x, int y, LPCWSTR text, int length) {
    return callThrough(Entry::TextOutW, ::TextOutW, dc, x, y, text, length);
}

BOOL callExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                     const INT* dx) {
    return callThrough(Entry::ExtTextOutA, ::ExtTextOutA, dc, x, y, options, rect, text, length,
                       dx);
}

BOOL callExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text,
                     UINT length, const INT* dx) {
    return callThrough(Entry::ExtTextOutW, ::ExtTextOutW, dc, x, y, options, rect, text, length,
                       dx);
}

BOOL callGetTextExtentPointA(HDC dc, LPCSTR text, int length, LPSIZE size) {
    return callThrough(Entry::GetTextExtentPoint32A, ::GetTextExtentPoint32A, dc, text, length,
                       size);
}

BOOL callGetCharWidthA(HDC dc, UINT first, UINT last, LPINT widths) {
    return callThrough(Entry::GetCharWidthA, ::GetCharWidthA, dc, first, last, widths);
}

BOOL callBitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                DWORD rop) {
    return callThrough(Entry::BitBlt, ::BitBlt, dest, x, y, width, height, source, sourceX, sourceY,
                       rop);
}

BOOL callStretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX,
                    int sourceY, int sourceWidth, int sourceHeight, DWORD rop) {
    return callThrough(Entry::StretchBlt, ::StretchBlt, dest, x, y, width, height, source, sourceX,
                       sourceY, sourceWidth, sourceHeight, rop);
}

} // namespace lxsys
