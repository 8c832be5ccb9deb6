// The glyph files beside the library, read into per-process tables when a process loads it, and
// the screen refresh that makes a changed display switch show at once.
#include "drawing.h"
#include "internal.h"

#include "cpconv.h"
#include "platform.h"

#include <cstring>
#include <string>

namespace lxsys {

namespace {

// One page's glyphs: 32 bytes each, the glyph of order number 256 + k at byte 32 * k. The
// table is larger than the glyph data; bytes past what the file held stay zero.
struct GlyphTable {
    HGLOBAL memory = nullptr;
    DWORD bytesRead = 0;
};

constexpr DWORD kGbTableSize = 290944;
constexpr DWORD kGbFileBytes = 94 * 94 * 32;
constexpr DWORD kBig5TableSize = 480448;
constexpr DWORD kBig5FileBytes = kBig5TableSize;

GlyphTable gbGlyphs;
GlyphTable big5Glyphs;

// Milliseconds each top-level window gets to take the font change before the refresh goes on
// without it.
constexpr UINT kRefreshWaitMs = 500;

std::string besideLibrary(const char* name) {
    return lx::platform::directoryOf(lx::platform::moduleFileName(&gbGlyphs)) + name;
}

DWORD readUpTo(HANDLE file, uint8_t* buffer, DWORD count) {
    DWORD total = 0;
    DWORD chunk = 0;
    while (total < count && ReadFile(file, buffer + total, count - total, &chunk, nullptr) &&
           chunk > 0)
        total += chunk;
    return total;
}

enum class Load { Missing, Loaded, Failed };

// Reads up to fileBytes of the named file into a new zero-filled table of tableSize bytes.
Load loadTable(const char* name, DWORD tableSize, DWORD fileBytes, GlyphTable& table) {
    HANDLE file = CreateFileA(besideLibrary(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Load::Missing;
    Load result = Load::Failed;
    table.memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, tableSize);
    if (auto* bytes = table.memory ? static_cast<uint8_t*>(GlobalLock(table.memory)) : nullptr) {
        table.bytesRead = readUpTo(file, bytes, fileBytes);
        GlobalUnlock(table.memory);
        result = Load::Loaded;
    }
    CloseHandle(file);
    return result;
}

void freeTable(GlyphTable& table) {
    if (table.memory) GlobalFree(table.memory);
    table = {};
}

} // namespace

bool loadGlyphTables() {
    bool good =
        loadTable("DICT_GB.FNT", kGbTableSize, kGbFileBytes, gbGlyphs) == Load::Loaded &&
        loadTable("DICT_B5.FNT", kBig5TableSize, kBig5FileBytes, big5Glyphs) != Load::Failed;
    if (!good) freeGlyphTables();
    return good;
}

void freeGlyphTables() {
    freeTable(gbGlyphs);
    freeTable(big5Glyphs);
}

// The table stays locked only while the glyph is copied, so that it may move meanwhile.
GlyphFetch copyGlyph(int page, int index, uint8_t (&glyph)[kGlyphBytes]) {
    std::memset(glyph, 0, sizeof glyph);
    const GlyphTable& table = page == CPC_PAGE_GB ? gbGlyphs : big5Glyphs;
    if (!table.memory || index < 0) return GlyphFetch::Absent;
    uint64_t start = static_cast<uint64_t>(index) * kGlyphBytes;
    if (start + kGlyphBytes > table.bytesRead) return GlyphFetch::Absent;
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(table.memory));
    if (!bytes) return GlyphFetch::Unreadable;
    std::memcpy(glyph, bytes + start, kGlyphBytes);
    GlobalUnlock(table.memory);
    return GlyphFetch::Copied;
}

// A hung window is skipped, so that a refresh never stops the caller for good.
void refreshScreen() {
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, kRefreshWaitMs,
                        &ignored);
    InvalidateRect(nullptr, nullptr, TRUE);
    SetCursor(previous);
}

} // namespace lxsys
