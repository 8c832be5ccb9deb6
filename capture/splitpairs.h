// Double-byte pairs that the system's script processor cut over two runs. It lays a text out in
// runs by script and draws each run with a call of its own; a double-byte text that the system
// widened through its single-byte page (every unit below 0x100) is cut wherever a byte reads as a
// digit or a punctuation mark, which may fall inside a pair. The lead byte that ends such a run
// is held back, and the pair is drawn whole when the next run on the same line begins with a
// trail byte where the lead byte ends.
#ifndef LEXORA_LXSYS_SPLITPAIRS_H
#define LEXORA_LXSYS_SPLITPAIRS_H

#include <windows.h>

#include <functional>

namespace lxsys {

// A run of bytes to draw, with one advance per byte (a character's advance on its first byte).
struct ByteRun {
    HDC dc;
    int x;
    int y;
    UINT options;
    const RECT* rect;
    const char* bytes;
    int length;
    const INT* advances;
};

using DrawByteRun = std::function<BOOL(const ByteRun& run)>;

// Draws `run` through `draw`, joined with a lead byte held from the previous run of this thread
// when it continues that pair, and holding back a lead byte that ends it. A held byte that the
// next run on its device context (still that of the same window) does not continue is drawn
// alone first; one whose device context draws nothing more is dropped, being half a character.
BOOL drawJoiningSplitPairs(const ByteRun& run, const DrawByteRun& draw);

// Whether every unit of a UTF-16 text is below 0x100: bytes widened by a single-byte page.
bool widenedBytes(const WCHAR* text, int units);

} // namespace lxsys

#endif
