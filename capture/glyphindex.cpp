// Glyph indices back to characters, for texts drawn with ExtTextOutW and ETO_GLYPH_INDEX: the
// font's Unicode ranges and their glyph indices give a reverse map, kept for a few fonts.
#include "redirect.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace lxsys {

namespace {

constexpr size_t kCachedFonts = 4;
constexpr size_t kChunk = 256;
constexpr WORD kMissingGlyph = 0xFFFF;

struct GlyphMap {
    HFONT font = nullptr;
    LOGFONTW description{};
    std::vector<WCHAR> characters; // by glyph index; 0 where no character shows the glyph
};

std::array<GlyphMap, kCachedFonts> maps;
size_t nextSlot;
std::mutex mapsLock;

bool sameFont(const GlyphMap& map, HFONT font, const LOGFONTW& description) {
    return map.font == font && std::memcmp(&map.description, &description, sizeof description) == 0;
}

void addRange(HDC dc, const WCRANGE& range, std::vector<WCHAR>& characters) {
    WCHAR chunk[kChunk];
    WORD glyphs[kChunk];
    for (unsigned first = range.wcLow; first < unsigned{range.wcLow} + range.cGlyphs;
         first += kChunk) {
        unsigned count = std::min<unsigned>(kChunk, range.wcLow + range.cGlyphs - first);
        for (unsigned i = 0; i < count; ++i)
            chunk[i] = static_cast<WCHAR>(first + i);
        if (GetGlyphIndicesW(dc, chunk, static_cast<int>(count), glyphs,
                             GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
            continue;
        for (unsigned i = 0; i < count; ++i) {
            if (glyphs[i] == kMissingGlyph) continue;
            if (glyphs[i] >= characters.size()) characters.resize(size_t{glyphs[i]} + 1, 0);
            if (!characters[glyphs[i]]) characters[glyphs[i]] = chunk[i];
        }
    }
}

bool buildMap(HDC dc, GlyphMap& map) {
    DWORD size = GetFontUnicodeRanges(dc, nullptr);
    if (size < sizeof(GLYPHSET)) return false;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[size]);
    auto* set = reinterpret_cast<GLYPHSET*>(buffer.get());
    set->cbThis = size;
    if (GetFontUnicodeRanges(dc, set) == 0) return false;
    // The ranges the system reports fit the buffer it asked for; no more are read.
    DWORD ranges =
        std::min<DWORD>(set->cRanges, (size - offsetof(GLYPHSET, ranges)) / sizeof(WCRANGE));
    map.characters.clear();
    for (DWORD i = 0; i < ranges; ++i)
        addRange(dc, set->ranges[i], map.characters);
    return !map.characters.empty();
}

const GlyphMap* mapFor(HDC dc) {
    auto font = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    LOGFONTW description{};
    if (!font || !GetObjectW(font, sizeof description, &description)) return nullptr;
    for (const GlyphMap& map : maps)
        if (sameFont(map, font, description)) return &map;
    GlyphMap& slot = maps[nextSlot];
    nextSlot = (nextSlot + 1) % kCachedFonts;
    slot = {};
    if (!buildMap(dc, slot)) return nullptr;
    slot.font = font;
    slot.description = description;
    return &slot;
}

} // namespace

bool charactersOfGlyphs(HDC dc, const WORD* glyphs, int count, WCHAR* characters) {
    std::lock_guard<std::mutex> guard(mapsLock);
    try {
        const GlyphMap* map = mapFor(dc);
        if (!map) return false;
        for (int i = 0; i < count; ++i) {
            WCHAR character = glyphs[i] < map->characters.size() ? map->characters[glyphs[i]] : 0;
            if (!character) return false;
            characters[i] = character;
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace lxsys
