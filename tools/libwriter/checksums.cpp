// Checksums appended to the dictionary file: one CRC-32 per 4096-byte chunk of everything before
// them, then a 16-byte footer. Readers of the dictionary never look at them; the checker uses
// them to find damage that leaves the structure intact, such as a changed byte of a meaning.
#include "libwriter.h"

#include <array>
#include <cstring>

namespace lexora::libwriter {
namespace {

constexpr char kMagic[8] = {'L', 'X', 'S', 'U', 'M', 'S', '0', '1'};
constexpr size_t kFooterSize = 16;

constexpr std::array<uint32_t, 256> makeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = makeCrcTable();

uint32_t crc32(const uint8_t* bytes, size_t length) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i)
        c = kCrcTable[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t get32(const uint8_t* at) {
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
}

void append32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

size_t chunkCount(size_t length) {
    return (length + kChecksumChunkSize - 1) / kChecksumChunkSize;
}

} // namespace

void appendChecksums(std::vector<uint8_t>& file) {
    const size_t covered = file.size();
    const size_t chunks = chunkCount(covered);
    for (size_t chunk = 0; chunk < chunks; ++chunk) {
        size_t start = chunk * kChecksumChunkSize;
        append32(file, crc32(file.data() + start, std::min(kChecksumChunkSize, covered - start)));
    }
    file.insert(file.end(), kMagic, kMagic + sizeof kMagic);
    append32(file, static_cast<uint32_t>(covered));
    append32(file, static_cast<uint32_t>(chunks));
}

ChecksumResult verifyChecksums(const std::vector<uint8_t>& file) {
    ChecksumResult result;
    if (file.size() < kFooterSize) return result;
    const uint8_t* footer = file.data() + file.size() - kFooterSize;
    if (std::memcmp(footer, kMagic, sizeof kMagic) != 0) return result;
    const size_t covered = get32(footer + 8), chunks = get32(footer + 12);
    result.present = true;
    if (chunks != chunkCount(covered) || covered + 4 * chunks + kFooterSize != file.size()) {
        result.damagedChunk = 0;
        result.footerDamaged = true;
        return result;
    }
    const uint8_t* sums = file.data() + covered;
    for (size_t chunk = 0; chunk < chunks; ++chunk) {
        size_t start = chunk * kChecksumChunkSize;
        if (crc32(file.data() + start, std::min(kChecksumChunkSize, covered - start)) !=
            get32(sums + 4 * chunk)) {
            result.damagedChunk = chunk;
            return result;
        }
    }
    return result;
}

} // namespace lexora::libwriter
