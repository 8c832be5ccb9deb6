// State and helpers shared by the sources of cpconv.
#ifndef LEXORA_CPCONV_INTERNAL_H
#define LEXORA_CPCONV_INTERNAL_H

#include "cpconv.h"

#include <cstdint>

namespace cpconv {

constexpr int kGbOrderLimit = 9092;
constexpr int kBig5OrderLimit = 15014;
constexpr int kGbToBig5Entries = 94 * 94;
constexpr int kBig5ToGbEntries = 94 * 157;

// What the library holds for the process that loaded it.
struct ModuleState {
    // Never null: when the shared record cannot be mapped (the native build keeps loading and
    // reports the failure), it points at a record of this process alone.
    CodeSetShared* shared;
    const uint8_t* gbToBig5;
    const uint8_t* big5ToGb;
    char directory[261];
};

extern ModuleState state;

// Sets up the process's state; false (with reason) when the library cannot work.
bool attach(char* reason, int reasonSize);
void detach();

// A page argument with -1 and -2 resolved: only the low 16 bits count, as a signed value.
int resolvePage(int page);

bool isLeadByteOf(int page, uint8_t byte);

// Whether byte may follow a lead byte of page (GB: A1-FE; BIG5: 40-7E and A1-FE).
inline bool isTrailByteOf(int page, uint8_t byte) {
    if (page == CPC_PAGE_GB) return byte >= 0xA1 && byte <= 0xFE;
    if (page == CPC_PAGE_BIG5)
        return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE);
    return false;
}

// Releases the UTF-16 table this process has open, if any.
void closeUnicodeTable();

} // namespace cpconv

#endif
