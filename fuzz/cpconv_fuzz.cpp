// Fuzz target for cpconv: arbitrary bytes as text, page, flag and sizes. Every call must stay
// within the buffers it is given; AddressSanitizer reports any byte read or written outside.
#include "cpconv.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const int kPages[] = {CPC_PAGE_GB,      CPC_PAGE_BIG5,   CPC_PAGE_ANSI,
                      CPC_PAGE_CURRENT, CPC_PAGE_MIDDLE, 7};
const int kFlags[] = {CPC_FLAG_GB_TO_BIG5,
                      CPC_FLAG_BIG5_TO_GB,
                      CPC_FLAG_NONE,
                      CPC_FLAG_TO_MIDDLE,
                      CPC_FLAG_TO_CURRENT,
                      0x8201,
                      0};

void stepThrough(int page, const std::vector<char>& text) {
    const char* start = text.data();
    const char* end = start + std::strlen(start);
    for (const char* p = start; p < end; p = CPC_DBCSNext(page, p)) {
        CPC_DBCSToOrder(page, p);
        CPC_DBCSAlphaToAnsi(page, p);
    }
    for (const char* p = start; p < end; p = CPC_WordNext(page, p)) {
    }
    for (const char* p = end; p > start; p = CPC_DBCSPrev(page, start, p)) {
    }
    for (const char* p = end; p > start; p = CPC_WordPrev(page, start, p)) {
    }
}

void convert(int flag, const uint8_t* data, size_t size, size_t destSize) {
    std::vector<char> dest(destSize ? destSize : 1);
    // A count of 0 means a NUL-terminated source, which the raw bytes are not.
    if (size > 0)
        CPC_ConvertDBCSBuffer(flag, reinterpret_cast<const char*>(data), static_cast<int>(size),
                              dest.data(), static_cast<int>(destSize));
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    CPC_ConvertDBCSBuffer(flag, text.data(), 0, dest.data(), static_cast<int>(destSize));
    CPC_ConvertDBCSBuffer(flag, text.data(), static_cast<int>(size), text.data(),
                          static_cast<int>(size));
}

void fromUtf16(int page, const uint8_t* data, size_t size, size_t outputSize) {
    std::vector<CPC_WCHAR> units(size / 2 + 1, 0);
    std::memcpy(units.data(), data, size / 2 * 2);
    std::vector<char> output(outputSize ? outputSize : 1);
    CPC_Unicode2DBCS(page, units.data(), static_cast<int>(size / 2), output.data(),
                     static_cast<int>(outputSize));
    CPC_Unicode2DBCS(page, units.data(), -1, output.data(), static_cast<int>(outputSize));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    int page = kPages[data[0] % 6];
    int flag = kFlags[data[0] / 6 % 7];
    size_t destSize = data[1] % 64 + (data[1] & 0x80 ? size : 0);
    data += 2;
    size -= 2;
    if (data[-2] & 0x80) CPC_SetCodePage(page);

    std::vector<char> text(data, data + size);
    text.push_back('\0');
    stepThrough(page, text);
    convert(flag, data, size, destSize);
    fromUtf16(page, data, size, destSize);
    char pair[3];
    CPC_OrderToDBCS(page, size > 0 ? data[0] * 256u + (size > 1 ? data[1] : 0) : 0, pair,
                    static_cast<int>(destSize % 4));
    CPC_AnsiAlphaToDBCS(page, size > 0 ? data[0] : 0, pair, static_cast<int>(destSize % 4));
    return 0;
}
