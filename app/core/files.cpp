#include "files.h"

#include "settings.h"

#include <wordbank.h>

#include <cstring>

namespace lexora {

namespace {

constexpr int kGlyphCount = 11;
constexpr int kGlyphRows = 16;
constexpr std::size_t kGlyphTableSize = kGlyphCount * kGlyphRows;

char moduleDirectoryText[kFileNameCapacity] = "";
char settingsPath[kFileNameCapacity] = "";
unsigned char glyphTable[kGlyphTableSize] = {};

} // namespace

void setModuleDirectory() {
    char path[kFileNameCapacity] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, kFileNameCapacity - 1);
    path[length < kFileNameCapacity ? length : kFileNameCapacity - 1] = '\0';
    char* lastBackslash = std::strrchr(path, '\\');
    if (lastBackslash)
        lastBackslash[1] = '\0';
    else
        path[0] = '\0';
    std::memcpy(moduleDirectoryText, path, sizeof path);
}

const char* moduleDirectory() {
    if (moduleDirectoryText[0] == '\0') setModuleDirectory();
    return moduleDirectoryText;
}

void resolveFileName(const char* name, char* path, std::size_t size) {
    if (!path || size == 0) return;
    if (!name) name = "";
    const char* directory = std::strchr(name, ':') ? "" : moduleDirectory();
    std::size_t directoryLength = std::strlen(directory);
    std::size_t nameLength = std::strlen(name);
    std::size_t kept = directoryLength < size - 1 ? directoryLength : size - 1;
    std::memcpy(path, directory, kept);
    std::size_t nameKept = nameLength < size - 1 - kept ? nameLength : size - 1 - kept;
    std::memcpy(path + kept, name, nameKept);
    path[kept + nameKept] = '\0';
}

const char* settingsFilePath() {
    resolveFileName("LEXORA.INI", settingsPath, sizeof settingsPath);
    return settingsPath;
}

bool openUserLibrary() {
    if (!settings.useUserLibrary || settings.libraryName[0] == '\0') return false;
    char path[kFileNameCapacity];
    resolveFileName(settings.libraryName, path, sizeof path);
    WBK_Open(path);
    return true;
}

void loadPhoneticGlyphs() {
    loadPhoneticGlyphs(GetModuleHandleA(nullptr));
}

void loadPhoneticGlyphs(HMODULE module) {
    std::memset(glyphTable, 0, sizeof glyphTable);
    HRSRC resource = FindResourceA(module, "LXRES", "Lxres_A");
    if (!resource || SizeofResource(module, resource) != kGlyphTableSize) return;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes) std::memcpy(glyphTable, bytes, sizeof glyphTable);
}

const unsigned char* phoneticGlyph(char character) {
    if (character == '/') return glyphTable;
    if (character >= '0' && character <= '9')
        return glyphTable + (character - '0' + 1) * kGlyphRows;
    return nullptr;
}

} // namespace lexora
