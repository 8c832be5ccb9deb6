// Fuzz target for the HZ, ISO-2022 and MIME decoders: arbitrary bytes without a NUL after them,
// with len equal to, shorter than, or (over a larger buffer) longer than the bytes of interest.
// Each buffer is an allocation of its own, the destination exactly len + 4 bytes, so
// AddressSanitizer reports any byte read past len or written past the destination.
#include "cpconv.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// A heap block of exactly size bytes (at least one, so that empty inputs have an address).
std::unique_ptr<char[]> exactBlock(size_t size) {
    return std::make_unique<char[]>(size ? size : 1);
}

void decodeAll(const char* source, int len) {
    auto dest = exactBlock(static_cast<size_t>(len > 0 ? len : 0) + 4);
    for (int switchOn = 0; switchOn < 2; ++switchOn) {
        CPC_DecodeHZCodeBuffer(source, dest.get(), len, switchOn);
        CPC_DecodeISO2022Buffer(source, dest.get(), len, switchOn);
    }
    CPC_DecodeMIMEBuffer(source, dest.get(), len);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t control = data[0];
    CPC_SetCodePage(control & 1 ? CPC_PAGE_BIG5 : CPC_PAGE_GB);
    ++data;
    --size;
    if (size > 0x10000) return 0;

    // The bytes alone, len = their number.
    auto text = exactBlock(size);
    std::memcpy(text.get(), data, size);
    decodeAll(text.get(), static_cast<int>(size));

    // len shorter than the buffer, down to negative values.
    decodeAll(text.get(), static_cast<int>(size) - (control >> 1) % 8);

    // len larger than the bytes, over a buffer that really holds that many.
    const size_t larger = size + (control >> 4);
    auto padded = exactBlock(larger);
    std::memcpy(padded.get(), data, size);
    std::memset(padded.get() + size, '~', larger - size);
    decodeAll(padded.get(), static_cast<int>(larger));
    return 0;
}
