// Fuzz target for code page detection: a sequence of calls with arbitrary bytes, pages, modes,
// contexts and positions, and lengths that disagree with the bytes. Each call gets a copy of
// exactly the bytes it may read: AddressSanitizer reports a read past the length (or past the
// NUL, when the length claims more bytes than there are).
#include "cpconv.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

const int kPages[] = {CPC_PAGE_GB, CPC_PAGE_BIG5, CPC_PAGE_ANSI, CPC_PAGE_CURRENT, 7, 0x10001};
const int kModes[] = {0, 1, 2, 3, -1, INT_MIN};
constexpr size_t kHeaderSize = 6;

// How a call's length relates to its bytes.
enum class LengthKind { Exact, Shorter, LongerUpToNul, Negative };

struct Position {
    int x = 0;
    int y = 0;

    // Small steps keep pieces near each other; 0x80 jumps to an edge of the 32-bit range.
    void move(uint8_t stepX, uint8_t stepY) {
        x = stepX == 0x80 ? (x < 0 ? INT_MAX : INT_MIN) : x / 2 + static_cast<int8_t>(stepX);
        y = stepY == 0x80 ? (y < 0 ? INT_MAX : INT_MIN) : y / 2 + static_cast<int8_t>(stepY);
    }
};

void judge(const uint8_t* header, const uint8_t* bytes, size_t size, Position& where) {
    const int page = kPages[header[0] % 6];
    const int mode = kModes[header[1] % 6];
    const int context = header[2] % 3;
    const auto kind = static_cast<LengthKind>(header[2] / 3 % 4);
    where.move(header[4], header[5]);

    std::vector<char> text(bytes, bytes + size);
    int length = static_cast<int>(size);
    switch (kind) {
    case LengthKind::Exact:
        break;
    case LengthKind::Shorter:
        length = size == 0 ? 0 : static_cast<int>(header[3] % size);
        text.resize(static_cast<size_t>(length));
        break;
    case LengthKind::LongerUpToNul:
        text.push_back('\0');
        length = header[3] & 1 ? INT_MAX : static_cast<int>(size) + 1 + header[3];
        break;
    case LengthKind::Negative:
        length = header[3] & 1 ? INT_MIN : -static_cast<int>(header[3]);
        break;
    }
    const char* data = text.empty() ? nullptr : text.data();
    const int verdict = CPC_IsCodePage(page, data, length, where.x, where.y, context, mode);
    if (verdict != 0 && verdict != 1) std::abort();
}

} // namespace

// Each call takes a header (page, mode, context and length kind, length, x step, y step) and up
// to 63 bytes of text, or all the bytes left when the length byte is FF.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Position where;
    while (size >= kHeaderSize) {
        const uint8_t* header = data;
        data += kHeaderSize;
        size -= kHeaderSize;
        const size_t wanted = header[3] == 0xFF ? size : header[3] % 64u;
        const size_t textSize = wanted < size ? wanted : size;
        judge(header, data, textSize, where);
        data += textSize;
        size -= textSize;
    }
    return 0;
}
