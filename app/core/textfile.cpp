#include "textfile.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace lexora {

namespace {

constexpr SIZE_T kFirstBlockSize = 256;
// Room added beyond what a write needs, so that short writes do not grow the block each time.
constexpr SIZE_T kGrowthSlack = 1024;
constexpr UINT kBlockFlags = GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT;
constexpr std::size_t kModeCapacity = 4;

} // namespace

// --- DiskFile ---------------------------------------------------------------------------------

DiskFile::DiskFile(const char* name, const char* mode) {
    lstrcpynA(name_, name ? name : "", sizeof name_);
    lstrcpynA(mode_, mode ? mode : "", kModeCapacity);
}

DiskFile::~DiskFile() {
    close();
}

int DiskFile::open() {
    close();
    file_ = std::fopen(name_, mode_);
    return file_ != nullptr;
}

void DiskFile::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

int DiskFile::getChar() {
    if (!file_) return -1;
    int byte = std::fgetc(file_);
    return byte == EOF ? -1 : byte;
}

char* DiskFile::getLine(char* buffer, int size) {
    if (!file_ || !buffer || size <= 1) return nullptr;
    return std::fgets(buffer, size, file_);
}

int DiskFile::putChar(int byte) {
    if (!file_) return -1;
    int written = std::fputc(byte, file_);
    return written == EOF ? -1 : written;
}

int DiskFile::putString(const char* text) {
    if (!file_ || !text) return -1;
    if (std::fputs(text, file_) == EOF) return -1;
    return static_cast<int>(std::strlen(text));
}

// --- ClipbrdFile ------------------------------------------------------------------------------

ClipbrdFile::ClipbrdFile(HGLOBAL block) : block_(block) {}

ClipbrdFile::~ClipbrdFile() {
    close();
}

int ClipbrdFile::open() {
    if (!block_) {
        block_ = GlobalAlloc(kBlockFlags, kFirstBlockSize);
        if (!block_) return 0;
        owned_ = true;
    }
    size_ = GlobalSize(block_);
    position_ = 0;
    return 1;
}

void ClipbrdFile::close() {
    if (block_ && owned_) GlobalFree(block_);
    block_ = nullptr;
    owned_ = false;
    size_ = 0;
    position_ = 0;
}

HGLOBAL ClipbrdFile::release() {
    owned_ = false;
    return std::exchange(block_, nullptr);
}

int ClipbrdFile::getChar() {
    if (!block_ || position_ >= size_) return -1;
    locked_ = static_cast<char*>(GlobalLock(block_));
    if (!locked_) return -1;
    auto byte = static_cast<unsigned char>(locked_[position_]);
    GlobalUnlock(block_);
    locked_ = nullptr;
    if (byte == 0) return -1;
    ++position_;
    return byte;
}

char* ClipbrdFile::getLine(char* buffer, int size) {
    if (!buffer || size <= 1) return nullptr;
    int length = 0;
    while (length < size - 1) {
        int byte = getChar();
        if (byte < 0) break;
        buffer[length++] = static_cast<char>(byte);
        if (byte == '\n') break;
    }
    buffer[length] = '\0';
    return length > 0 ? buffer : nullptr;
}

int ClipbrdFile::putChar(int byte) {
    const char text[2] = {static_cast<char>(byte), '\0'};
    return putString(text) == 1 ? static_cast<unsigned char>(byte) : -1;
}

// The block grows by half at least, so that a long text is not copied again at every write.
bool ClipbrdFile::growFor(SIZE_T length) {
    SIZE_T wanted = std::max(position_ + length + kGrowthSlack, size_ + size_ / 2);
    HGLOBAL grown = GlobalReAlloc(block_, wanted, kBlockFlags);
    if (!grown) return false;
    block_ = grown;
    size_ = GlobalSize(block_);
    return true;
}

int ClipbrdFile::putString(const char* text) {
    if (!block_ || !text) return -1;
    SIZE_T length = std::strlen(text);
    if (position_ + length >= size_ && !growFor(length)) return 0;
    locked_ = static_cast<char*>(GlobalLock(block_));
    if (!locked_) return -1;
    std::memcpy(locked_ + position_, text, length + 1);
    GlobalUnlock(block_);
    locked_ = nullptr;
    position_ += length;
    return static_cast<int>(length);
}

} // namespace lexora
