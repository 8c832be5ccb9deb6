// The small layer through which the portable libraries reach the operating system: memory
// shared by name between processes, read-only file mappings, the directory of a loaded library
// and the platform's UTF-16 converter. Win32 in the Windows build, POSIX in the native one.
#ifndef LEXORA_PLATFORM_H
#define LEXORA_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace lx::platform {

// A record shared by name: every process that opens the same name sees the same bytes. The
// first process creates it zero-filled; the others open it unchanged. It lives as long as some
// process keeps it open.
struct SharedBlock {
    void* data = nullptr;
    size_t size = 0;
    intptr_t handle = -1;
};

// Opens or creates the block; on failure returns false and says why in error.
bool openSharedBlock(const char* name, size_t size, SharedBlock& block, std::string& error);
void closeSharedBlock(SharedBlock& block);

// A whole file mapped read-only and shared between processes under a name.
struct MappedFile {
    const uint8_t* data = nullptr;
    size_t size = 0;
    intptr_t mapping = -1;
};

// Maps the file read-only: first an existing mapping published under sharedName, else the file
// at path, published under sharedName for the next process. Refuses a file whose size is not
// exactly expectedSize, so a truncated or damaged file is never read past its end.
bool mapSharedFile(const char* sharedName, const char* path, size_t expectedSize, MappedFile& file);
void unmapSharedFile(MappedFile& file);

// Full file name of the loaded module that contains address, or empty when it cannot be told.
std::string moduleFileName(const void* address);

// Directory part of a module file name, with its final separator kept; the whole name when it
// has no separator.
std::string directoryOf(const std::string& fileName);

// Encodes one UTF-16 code unit with the platform's converter for a Windows code page (936, 950
// or 1252) into out (room for 2 bytes). Returns the number of bytes, at least 1: a unit the page
// cannot encode becomes '?'.
int encodeUnit(unsigned codePage, char16_t unit, char out[2]);

// Releases what encodeUnit keeps open; called when the library unloads.
void closeConverters();

} // namespace lx::platform

#endif
