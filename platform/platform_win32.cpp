// Win32 side of the platform layer.
#include "platform.h"

#include <windows.h>

namespace lx::platform {
namespace {

std::string describe(const char* what, const char* name) {
    return std::string(what) + " \"" + name + "\": error " + std::to_string(GetLastError());
}

} // namespace

bool openSharedBlock(const char* name, size_t size, SharedBlock& block, std::string& error,
                     bool* created) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
    bool fresh = false;
    // A new mapping backed by the paging file starts zero-filled.
    if (!mapping) {
        mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE | SEC_COMMIT, 0,
                                     static_cast<DWORD>(size), name);
        fresh = mapping && GetLastError() != ERROR_ALREADY_EXISTS;
    }
    if (!mapping) {
        error = describe("cannot create the shared record", name);
        return false;
    }
    void* data = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size);
    if (!data) {
        error = describe("cannot map the shared record", name);
        CloseHandle(mapping);
        return false;
    }
    block = {data, size, reinterpret_cast<intptr_t>(mapping)};
    if (created) *created = fresh;
    return true;
}

void closeSharedBlock(SharedBlock& block) {
    if (block.data) UnmapViewOfFile(block.data);
    if (block.handle != -1) CloseHandle(reinterpret_cast<HANDLE>(block.handle));
    block = {};
}

namespace {

HANDLE openFileMapping(const char* sharedName, const char* path, size_t expectedSize) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, sharedName);
    if (mapping) return mapping;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER fileSize{};
    if (GetFileSizeEx(file, &fileSize) && static_cast<uint64_t>(fileSize.QuadPart) == expectedSize)
        mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, sharedName);
    CloseHandle(file);
    return mapping;
}

// Size of the view, so that a mapping published by another process under the same name is
// refused when it is shorter than expected.
size_t viewSize(const void* view) {
    MEMORY_BASIC_INFORMATION info{};
    return VirtualQuery(view, &info, sizeof info) ? info.RegionSize : 0;
}

} // namespace

bool mapSharedFile(const char* sharedName, const char* path, size_t expectedSize,
                   MappedFile& file) {
    HANDLE mapping = openFileMapping(sharedName, path, expectedSize);
    if (!mapping) return false;
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (!view || viewSize(view) < expectedSize) {
        if (view) UnmapViewOfFile(view);
        CloseHandle(mapping);
        return false;
    }
    file = {static_cast<const uint8_t*>(view), expectedSize, reinterpret_cast<intptr_t>(mapping)};
    return true;
}

void unmapSharedFile(MappedFile& file) {
    if (file.data) UnmapViewOfFile(file.data);
    if (file.mapping != -1) CloseHandle(reinterpret_cast<HANDLE>(file.mapping));
    file = {};
}

bool openForReading(const char* path, InputFile& file) {
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    file.handle = handle == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<intptr_t>(handle);
    return file.handle != -1;
}

void closeFile(InputFile& file) {
    if (file.handle != -1) CloseHandle(reinterpret_cast<HANDLE>(file.handle));
    file.handle = -1;
}

int64_t fileLength(const InputFile& file) {
    LARGE_INTEGER size{};
    if (file.handle == -1 || !GetFileSizeEx(reinterpret_cast<HANDLE>(file.handle), &size))
        return -1;
    return size.QuadPart;
}

int readAt(const InputFile& file, int64_t offset, void* buffer, int count) {
    if (file.handle == -1 || count < 0) return -1;
    HANDLE handle = reinterpret_cast<HANDLE>(file.handle);
    LARGE_INTEGER position{};
    position.QuadPart = offset;
    // Positioning is tried a few times before the read is given up.
    bool positioned = false;
    for (int attempt = 0; attempt < 11 && !positioned; ++attempt)
        positioned = SetFilePointerEx(handle, position, nullptr, FILE_BEGIN);
    DWORD done = 0;
    if (!positioned || !::ReadFile(handle, buffer, static_cast<DWORD>(count), &done, nullptr))
        return -1;
    return static_cast<int>(done);
}

bool replaceFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::string moduleFileName(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module))
        return {};
    char name[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(module, name, MAX_PATH);
    return std::string(name, length <= MAX_PATH ? length : 0);
}

std::string directoryOf(const std::string& fileName) {
    size_t slash = fileName.find_last_of('\\');
    return slash == std::string::npos ? fileName : fileName.substr(0, slash + 1);
}

int encodeUnit(unsigned codePage, char16_t unit, char out[2]) {
    wchar_t wide = static_cast<wchar_t>(unit);
    int length = WideCharToMultiByte(codePage, 0, &wide, 1, out, 2, nullptr, nullptr);
    if (length > 0) return length;
    out[0] = '?';
    return 1;
}

void closeConverters() {}

} // namespace lx::platform
