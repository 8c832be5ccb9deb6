// The report that lxtarget writes for the test that started it, one record a line, fields
// separated by single spaces, numbers in decimal, texts in hex:
//   font FACE                                    the face of the font the texts are drawn in
//   window HWND                                  the target's top-level window
//   text ROUTE HWND LEFT TOP RIGHT BOTTOM TEXT   a drawn text and its screen rectangle
//   word LEFT TOP RIGHT BOTTOM TEXT              a word of the text line above it
//   ready                                        the window is shown, drawn and in front
//   message TIME HWND MESSAGE WPARAM LPARAM      a message the target received
//   timeout                                      the target ends on its own timeout
// Each line is written whole with one write, so a reader may see the file grow at any time but
// never a torn line other than the last, unterminated one.
#ifndef LEXORA_TESTSUPPORT_TARGET_REPORT_H
#define LEXORA_TESTSUPPORT_TARGET_REPORT_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lxtarget {

inline std::string toHex(std::string_view bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

inline int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The bytes of a hex text, or nothing when it is malformed or longer than maxBytes.
inline std::optional<std::string> fromHex(std::string_view hex, std::size_t maxBytes) {
    if (hex.size() % 2 != 0 || hex.size() / 2 > maxBytes) return std::nullopt;
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int high = hexDigit(hex[i]);
        int low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

} // namespace lxtarget

#endif
