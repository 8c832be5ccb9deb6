// Code pages: the current page shared by all processes, page information and lead bytes.
#include "internal.h"

#include <cstring>

namespace cpconv {
namespace {

constexpr uint32_t kAvailable = 1;

const DBCSPageInfo kPageInfo[] = {
    {CPC_PAGE_GB, "GB", 1, kGbOrderLimit, kAvailable},
    {CPC_PAGE_BIG5, "BIG5", 2, kBig5OrderLimit, kAvailable},
    {CPC_PAGE_ANSI, "ANSI", 0, 256, kAvailable},
};
constexpr int kPageInfoCount = 3;

// The pages that can become current and take part in conversion, with their full-width spaces
// (first byte in the low-order byte).
struct DoubleBytePage {
    int16_t pageId;
    uint32_t ideographicSpace;
};
const DoubleBytePage kDoubleBytePages[] = {{CPC_PAGE_GB, 0xA1A1}, {CPC_PAGE_BIG5, 0x40A1}};

const uint8_t kDelimiters[] = {' ', '!', '"', '\'', ',', '.', '?'};

const DBCSPageInfo* findPageInfo(int page) {
    for (const DBCSPageInfo& info : kPageInfo)
        if (info.pageId == page) return &info;
    return nullptr;
}

bool isDoubleBytePage(int page) {
    for (const DoubleBytePage& p : kDoubleBytePages)
        if (p.pageId == page) return true;
    return false;
}

bool inLeadRange(int page, uint8_t byte) {
    return (page == CPC_PAGE_GB || page == CPC_PAGE_BIG5) && byte >= 0xA1 && byte <= 0xFE;
}

} // namespace

int resolvePage(int page) {
    int16_t id = static_cast<int16_t>(page & 0xFFFF);
    if (id == CPC_PAGE_CURRENT) return state.shared->currentPage;
    if (id == CPC_PAGE_MIDDLE) return CPC_PAGE_GB;
    return id;
}

bool isLeadByteOf(int page, uint8_t byte) {
    if (page == state.shared->currentPage) return state.shared->isLeadByte[byte] != 0;
    return inLeadRange(page, byte);
}

} // namespace cpconv

using namespace cpconv;

extern "C" {

short WINAPI CPC_GetCodePage(void) {
    return state.shared->currentPage;
}

short WINAPI CPC_GetMiddlePage(void) {
    return CPC_PAGE_GB;
}

short WINAPI CPC_SetCodePage(int page) {
    CodeSetShared& shared = *state.shared;
    int16_t id = static_cast<int16_t>(page & 0xFFFF);
    if (id == shared.currentPage || id == CPC_PAGE_CURRENT) return shared.currentPage;
    const DBCSPageInfo* info = findPageInfo(id);
    if (!info || !info->byteRanges || !isDoubleBytePage(id)) return 0;

    // Other processes read this record without a lock: the page changes only after its tables.
    for (int b = 0; b < 256; ++b)
        shared.isLeadByte[b] = inLeadRange(id, static_cast<uint8_t>(b));
    for (uint8_t d : kDelimiters)
        shared.isDelimiter[d] = 1;
    int16_t previous = shared.currentPage;
    shared.currentPage = id;
    shared.middleToCurrentFlag = CPC_GenConvertFlag(CPC_PAGE_MIDDLE, id, 0);
    shared.currentToMiddleFlag = CPC_GenConvertFlag(id, CPC_PAGE_MIDDLE, 0);
    return previous;
}

int WINAPI CPC_IsLeadByte(int page, int byteValue) {
    return isLeadByteOf(resolvePage(page), static_cast<uint8_t>(byteValue)) ? 1 : 0;
}

int WINAPI CPC_GetDBCSPageInfo(int page, DBCSPageInfo* info, int) {
    const DBCSPageInfo* found = findPageInfo(resolvePage(page));
    if (!found || !info) return 0;
    std::memcpy(info, found, sizeof *info);
    return 1;
}

int WINAPI CPC_EnumDBCSPageInfo(CPC_PageInfoProc callback, intptr_t userValue) {
    if (!callback) return 3;
    int result = 1;
    for (int i = 0; i < kPageInfoCount && result != 0; ++i) {
        if (!kPageInfo[i].byteRanges) continue;
        // The callback gets a copy, so it cannot change the table.
        DBCSPageInfo copy = kPageInfo[i];
        result = callback(&copy, userValue);
    }
    return result;
}

int WINAPI CPC_EnumDBCSCodePage(int first, short* pageIds, int capacity) {
    if (first < 0 || first >= kPageInfoCount) return 0;
    if (!pageIds) return kPageInfoCount - first;
    if (capacity <= 0) return 0;
    int written = 0;
    for (int i = first; i < kPageInfoCount && i - first < capacity; ++i)
        if (kPageInfo[i].byteRanges) pageIds[written++] = kPageInfo[i].pageId;
    return written;
}

} // extern "C"
