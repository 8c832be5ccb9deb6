// cpconv's directory and the helpers that read and write LEXORA.INI in it.
#include "internal.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "profile_file.h"
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string settingsFile() {
    return std::string(cpconv::state.directory) + "LEXORA.INI";
}

} // namespace

extern "C" {

CPC_EXPORT int WINAPI LX_GetDirectory(char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const char* directory = cpconv::state.directory;
    size_t length =
        std::min(strnlen(directory, sizeof cpconv::state.directory), static_cast<size_t>(size - 1));
    std::memcpy(buffer, directory, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

// The size goes to the platform unsigned, so a size below 1 is refused before it gets there.
CPC_EXPORT int WINAPI LX_GetProfileString(const char* section, const char* key,
                                          const char* defaultValue, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
#ifdef _WIN32
    return static_cast<int>(GetPrivateProfileStringA(
        section, key, defaultValue, buffer, static_cast<DWORD>(size), settingsFile().c_str()));
#else
    return cpconv::profile::getString(settingsFile().c_str(), section, key, defaultValue, buffer,
                                      size);
#endif
}

CPC_EXPORT int WINAPI LX_WriteProfileString(const char* section, const char* key,
                                            const char* value) {
#ifdef _WIN32
    return WritePrivateProfileStringA(section, key, value, settingsFile().c_str()) ? 1 : 0;
#else
    return cpconv::profile::writeString(settingsFile().c_str(), section, key, value);
#endif
}

CPC_EXPORT int WINAPI LX_GetProfileInt(const char* section, const char* key, int defaultValue) {
#ifdef _WIN32
    return static_cast<int>(
        GetPrivateProfileIntA(section, key, defaultValue, settingsFile().c_str()));
#else
    return cpconv::profile::getInt(settingsFile().c_str(), section, key, defaultValue);
#endif
}

CPC_EXPORT int WINAPI LX_WriteProfileInt(const char* section, const char* key, int value) {
    char text[12];
    std::snprintf(text, sizeof text, "%d", value);
    return LX_WriteProfileString(section, key, text);
}

} // extern "C"
