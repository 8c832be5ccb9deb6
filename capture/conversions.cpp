// The display conversions of a text before it is drawn: MIME, ISO-2022 and HZ decoding, and
// text written in the other Chinese code page converted to the current one.
#include "drawing.h"
#include "internal.h"
#include "textout.h"

#include "cpconv.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace lxsys {

namespace {

constexpr int kLongestText = kDisplayBufferSize - 1;
// The decoders may finish a step up to three bytes past their limit and add the NUL.
constexpr int kDecoderSlack = 4;

// The text being converted: the caller's, or the buffer once a step has rewritten it.
struct Working {
    const char* text;
    int length;
    bool contains(std::string_view pattern) const {
        return std::string_view(text, static_cast<size_t>(length)).find(pattern) !=
               std::string_view::npos;
    }
};

using Decoder = int(WINAPI*)(const char*, char*, int);

int WINAPI decodeMime(const char* source, char* dest, int length) {
    return CPC_DecodeMIMEBuffer(source, dest, length);
}
int WINAPI decodeIso2022(const char* source, char* dest, int length) {
    return CPC_DecodeISO2022Buffer(source, dest, length, 0);
}
int WINAPI decodeHz(const char* source, char* dest, int length) {
    return CPC_DecodeHZCodeBuffer(source, dest, length, 0);
}

// Decodes through a scratch area with the decoders' slack, then keeps what fits the buffer.
Working decodeInto(Decoder decoder, const Working& from, char (&buffer)[kDisplayBufferSize]) {
    char scratch[kDisplayBufferSize + kDecoderSlack];
    int length = std::clamp(decoder(from.text, scratch, from.length), 0, kLongestText);
    std::memcpy(buffer, scratch, static_cast<size_t>(length));
    buffer[length] = '\0';
    return {buffer, length};
}

bool isChinesePage(int page) {
    return page == CPC_PAGE_GB || page == CPC_PAGE_BIG5;
}

// Text the detection takes for the other Chinese page is converted into the current one.
Working convertOtherPage(HDC dc, int x, int y, const Working& from,
                         char (&buffer)[kDisplayBufferSize]) {
    int page = CPC_GetCodePage();
    if (!isChinesePage(page) ||
        CPC_IsCodePage(page, from.text, from.length, x, y, HandleToLong(dc), 2) != 0)
        return from;
    int flag = page == CPC_PAGE_GB ? CPC_FLAG_BIG5_TO_GB : CPC_FLAG_GB_TO_BIG5;
    if (CPC_ConvertDBCSBuffer(flag, from.text, from.length, buffer, kDisplayBufferSize) == 0)
        return from;
    buffer[from.length] = '\0';
    return {buffer, from.length};
}

} // namespace

DisplayText convertForDisplay(HDC dc, int x, int y, const char* text, int length,
                              char (&buffer)[kDisplayBufferSize]) {
    const CaptureShared* record = shared();
    if (!record || length < 2 || length > kLongestText ||
        !isReadable(text, static_cast<size_t>(length)))
        return {text, length};
    Working working{text, length};
    bool converted = true;
    bool mimeDecoded = false;
    if (record->decodeMime && working.contains("=?") &&
        (working.contains("?Q?") || working.contains("?B?"))) {
        working = decodeInto(decodeMime, working, buffer);
        mimeDecoded = true;
    }
    if (record->decodeIso2022 && working.contains("\x1b")) {
        working = decodeInto(decodeIso2022, working, buffer);
        return {working.text, working.length};
    }
    if (record->decodeHz && isChinesePage(CPC_GetCodePage()) &&
        (working.contains("~{") || working.contains("{~"))) {
        working = decodeInto(decodeHz, working, buffer);
        converted = mimeDecoded;
    }
    if (record->decodeAutoCodePage && converted && working.length >= 2)
        working = convertOtherPage(dc, x, y, working, buffer);
    return {working.text, working.length};
}

} // namespace lxsys
