// UTF-16 text into GB or BIG5, through the table file of the page when there is one and the
// platform's converter otherwise.
#include "internal.h"

#include "platform.h"

#include <string>

namespace cpconv {
namespace {

constexpr size_t kUnicodeTableSize = 65536 * 2;

// The one table this process has open, with its page (0 when none is open).
struct UnicodeTable {
    lx::platform::MappedFile file;
    int page = 0;
};
UnicodeTable openTable;

const char* tableFileName(int page) {
    return page == CPC_PAGE_GB ? "WC2MBGB.TAB" : "WC2MBB5.TAB";
}

unsigned windowsCodePage(int page) {
    if (page == CPC_PAGE_GB) return 936;
    if (page == CPC_PAGE_BIG5) return 950;
    return 1252;
}

// The table of page, opened on first use and replaced when another page is asked for. Null
// for pages without a table and when the file is missing or damaged.
const uint8_t* unicodeTableFor(int page) {
    if (openTable.page == page && openTable.file.data) return openTable.file.data;
    if (page != CPC_PAGE_GB && page != CPC_PAGE_BIG5) return nullptr;
    closeUnicodeTable();
    const char* name = tableFileName(page);
    std::string path = std::string(state.directory) + name;
    if (!lx::platform::mapSharedFile(name, path.c_str(), kUnicodeTableSize, openTable.file))
        return nullptr;
    openTable.page = page;
    return openTable.file.data;
}

// Encodes one code unit into out; returns its length in bytes (1 or 2).
int encodeUnit(const uint8_t* table, unsigned codePage, char16_t unit, char out[2]) {
    if (!table) return lx::platform::encodeUnit(codePage, unit, out);
    if (unit < 0x100) {
        out[0] = static_cast<char>(unit);
        return 1;
    }
    const uint8_t* entry = table + 2 * static_cast<size_t>(unit);
    out[0] = static_cast<char>(entry[0]);
    out[1] = static_cast<char>(entry[1]);
    return entry[1] ? 2 : 1;
}

} // namespace

void closeUnicodeTable() {
    lx::platform::unmapSharedFile(openTable.file);
    openTable.page = 0;
}

} // namespace cpconv

using namespace cpconv;

extern "C" {

int WINAPI CPC_Unicode2DBCS(int page, const CPC_WCHAR* text, int count, char* output,
                            int outputSize) {
    if (!text || !output || outputSize <= 0) return 0;
    page = resolvePage(page);
    const uint8_t* table = unicodeTableFor(page);
    unsigned codePage = windowsCodePage(page);
    int written = 0;
    for (int i = 0; count < 0 ? text[i] != 0 : i < count; ++i) {
        char bytes[2];
        int length = encodeUnit(table, codePage, static_cast<char16_t>(text[i]), bytes);
        // A character is written whole or not at all, and the NUL always fits.
        if (written + length >= outputSize) break;
        for (int b = 0; b < length; ++b)
            output[written++] = bytes[b];
    }
    output[written] = '\0';
    return written;
}

} // extern "C"
