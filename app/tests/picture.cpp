#include "picture.h"

#include "gui.h"

#include <cstdio>

namespace lexoratest {

std::string unixPathOf(const std::string& windowsPath) {
    using UnixFileName = char*(CDECL*)(const WCHAR*);
    FARPROC exported = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!exported) return "";
    auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(exported));
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* path = unixFileName(wide.c_str());
    if (!path) return "";
    std::string unixPath(path);
    HeapFree(GetProcessHeap(), 0, path);
    return unixPath;
}

std::wstring dosPathOf(const char* unixPath) {
    using DosFileName = WCHAR*(CDECL*)(const char*);
    FARPROC exported = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name");
    if (!exported) return L"";
    auto dosFileName = reinterpret_cast<DosFileName>(reinterpret_cast<void (*)()>(exported));
    WCHAR* path = dosFileName(unixPath);
    if (!path) return L"";
    std::wstring dosPath(path);
    HeapFree(GetProcessHeap(), 0, path);
    return dosPath;
}

namespace {

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

bool savePicture(const RECT& rect, const std::string& name) {
    std::string directory = testsupport::artefactsDirectory();
    std::string screenshot = directory + "\\" + name + ".bmp";
    std::string picture = directory + "\\" + name + ".png";
    DeleteFileA(picture.c_str());
    if (!testsupport::saveScreenshot(screenshot)) return false;
    char geometry[64];
    std::snprintf(geometry, sizeof geometry, "%ldx%ld+%ld+%ld", rect.right - rect.left,
                  rect.bottom - rect.top, rect.left, rect.top);
    std::wstring convert = dosPathOf("/usr/bin/convert");
    std::string arguments = "convert \"" + unixPathOf(screenshot) + "\" -crop " + geometry +
                            " +repage \"" + unixPathOf(picture) + "\"";
    std::wstring command(arguments.begin(), arguments.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (convert.empty() || !CreateProcessW(convert.c_str(), command.data(), nullptr, nullptr, FALSE,
                                           0, nullptr, nullptr, &startup, &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    // The handle of a Unix program does not tell its end; the picture appearing does, once
    // convert has read the screenshot.
    bool saved = testsupport::waitUntil([&] { return fileExists(picture); });
    DeleteFileA(screenshot.c_str());
    return saved;
}

bool savePictureOf(HWND window, const std::string& name) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return savePicture(rect, name);
}

} // namespace lexoratest
