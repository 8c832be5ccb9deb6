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

// Opens or creates the block; on failure returns false and says why in error. created tells
// whether this call made it (and so may set its first values).
bool openSharedBlock(const char* name, size_t size, SharedBlock& block, std::string& error,
                     bool* created = nullptr);
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

// A file opened for reading, positioned and read in separate steps.
struct InputFile {
    intptr_t handle = -1;
};

bool openForReading(const char* path, InputFile& file);
void closeFile(InputFile& file);
// The file's length in bytes, or -1.
int64_t fileLength(const InputFile& file);
// Reads up to count bytes at offset; the number read, or -1. Positioning and reading are one
// step: callers that share the file between threads hold their guard across it.
int readAt(const InputFile& file, int64_t offset, void* buffer, int count);

// Copies text into buffer, cut to size - 1 bytes and NUL-terminated; nothing for a null buffer
// or a size below 1.
void copyTruncated(char* buffer, int size, const std::string& text);

// Renames the file from over the file to, replacing it when it exists; false when it could not.
bool replaceFile(const char* from, const char* to);

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
