// POSIX side of the platform layer.
#include "platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <climits>
#include <iconv.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lx::platform {
namespace {

std::string posixName(const char* name) {
    return std::string("/") + name;
}

std::string describe(const char* what, const char* name) {
    return std::string(what) + " \"" + name + "\": " + std::strerror(errno);
}

// Locks of the open file description, so that a second opening in the same process (a library
// loaded twice) counts as another holder.
bool lockWhole(int fd, short type, bool wait) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) == 0;
}

// Every holder keeps a shared lock on the block for as long as it has it open. One that can
// take the exclusive lock is therefore alone: whatever the object holds is left over from
// processes that have ended, and it starts the record afresh, as a new named mapping would start.
bool claimBlock(int fd, size_t size, bool& created) {
    created = lockWhole(fd, F_WRLCK, false);
    if (created) {
        if (ftruncate(fd, 0) != 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) return false;
        return lockWhole(fd, F_RDLCK, false);
    }
    if (!lockWhole(fd, F_RDLCK, true)) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0) return false;
    return static_cast<size_t>(st.st_size) >= size || ftruncate(fd, static_cast<off_t>(size)) == 0;
}

} // namespace

bool openSharedBlock(const char* name, size_t size, SharedBlock& block, std::string& error,
                     bool* created) {
    int fd = shm_open(posixName(name).c_str(), O_RDWR | O_CREAT, 0600);
    if (fd < 0) {
        error = describe("cannot open the shared record", name);
        return false;
    }
    bool fresh = false;
    if (!claimBlock(fd, size, fresh)) {
        error = describe("cannot set up the shared record", name);
        close(fd);
        return false;
    }
    void* data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED) {
        error = describe("cannot map the shared record", name);
        close(fd);
        return false;
    }
    block = {data, size, fd};
    if (created) *created = fresh;
    return true;
}

void closeSharedBlock(SharedBlock& block) {
    if (block.data) munmap(block.data, block.size);
    if (block.handle >= 0) close(static_cast<int>(block.handle));
    block = {};
}

// Mapping the same file from several processes shares its pages already, so the shared name is
// not needed here.
bool mapSharedFile(const char*, const char* path, size_t expectedSize, MappedFile& file) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    void* data = MAP_FAILED;
    if (fstat(fd, &st) == 0 && static_cast<size_t>(st.st_size) == expectedSize)
        data = mmap(nullptr, expectedSize, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    if (data == MAP_FAILED) return false;
    file = {static_cast<const uint8_t*>(data), expectedSize, 0};
    return true;
}

void unmapSharedFile(MappedFile& file) {
    if (file.data) munmap(const_cast<uint8_t*>(file.data), file.size);
    file = {};
}

bool openForReading(const char* path, InputFile& file) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    file.handle = fd;
    return fd >= 0;
}

void closeFile(InputFile& file) {
    if (file.handle >= 0) close(static_cast<int>(file.handle));
    file.handle = -1;
}

int64_t fileLength(const InputFile& file) {
    struct stat st {};
    if (file.handle < 0 || fstat(static_cast<int>(file.handle), &st) != 0) return -1;
    return st.st_size;
}

int readAt(const InputFile& file, int64_t offset, void* buffer, int count) {
    if (file.handle < 0 || count < 0) return -1;
    ssize_t done = pread(static_cast<int>(file.handle), buffer, static_cast<size_t>(count), offset);
    return done < 0 ? -1 : static_cast<int>(done);
}

bool replaceFile(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}

std::string moduleFileName(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname) return {};
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved)) return resolved;
    return info.dli_fname;
}

std::string directoryOf(const std::string& fileName) {
    size_t slash = fileName.find_last_of('/');
    return slash == std::string::npos ? fileName : fileName.substr(0, slash + 1);
}

namespace {

struct Converter {
    unsigned codePage;
    const char* iconvName;
    iconv_t handle;
};

Converter converters[] = {
    {936, "CP936", reinterpret_cast<iconv_t>(-1)},
    {950, "CP950", reinterpret_cast<iconv_t>(-1)},
    {1252, "CP1252", reinterpret_cast<iconv_t>(-1)},
};

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

iconv_t converterFor(unsigned codePage) {
    for (Converter& c : converters) {
        if (c.codePage != codePage) continue;
        if (c.handle == kNoConverter) c.handle = iconv_open(c.iconvName, "UTF-16LE");
        return c.handle;
    }
    return kNoConverter;
}

} // namespace

int encodeUnit(unsigned codePage, char16_t unit, char out[2]) {
    iconv_t cd = converterFor(codePage);
    if (cd != kNoConverter) {
        char input[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        char* in = input;
        size_t inLeft = 2;
        char* outPos = out;
        size_t outLeft = 2;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &outPos, &outLeft) != static_cast<size_t>(-1) && outLeft < 2)
            return static_cast<int>(2 - outLeft);
    }
    out[0] = '?';
    return 1;
}

void closeConverters() {
    for (Converter& c : converters) {
        if (c.handle != kNoConverter) iconv_close(c.handle);
        c.handle = kNoConverter;
    }
}

} // namespace lx::platform
