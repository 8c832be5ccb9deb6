// UTF-8 to and from GB and BIG5 through iconv, one character at a time so that a character the
// target lacks costs only itself; cpconv's tables carry what iconv's GB2312 lacks.
#include "encoding.h"

#include "cpconv.h"

#include <algorithm>
#include <cstdint>
#include <iconv.h>
#include <optional>

namespace lexora::cli {
namespace {

// An iconv converter that converts one character at a time.
class CharacterConverter {
  public:
    CharacterConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~CharacterConverter() {
        if (ok()) iconv_close(cd_);
    }
    CharacterConverter(const CharacterConverter&) = delete;
    CharacterConverter& operator=(const CharacterConverter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The converted character, or nothing when the target cannot hold it.
    std::optional<std::string> convert(const char* bytes, size_t length) {
        char out[16];
        char* in = const_cast<char*>(bytes);
        char* outPos = out;
        size_t outLeft = sizeof out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (!ok() || iconv(cd_, &in, &length, &outPos, &outLeft) == static_cast<size_t>(-1) ||
            length != 0)
            return std::nullopt;
        return std::string(out, outPos);
    }

  private:
    iconv_t cd_;
};

// The GB form of a character given in UTF-32: GB2312's own, else that of its BIG5 form.
class GbEncoder {
  public:
    std::optional<std::string> encode(const std::string& utf32) {
        if (std::optional<std::string> gb = toGb_.convert(utf32.data(), utf32.size())) return gb;
        std::optional<std::string> big5 = toBig5_.convert(utf32.data(), utf32.size());
        if (!big5 || big5->size() != 2) return std::nullopt;
        unsigned gb =
            CPC_ConvertADBCS(CPC_FLAG_BIG5_TO_GB, static_cast<uint8_t>((*big5)[0]) |
                                                      static_cast<uint8_t>((*big5)[1]) << 8);
        if (gb == 0) return std::nullopt;
        return std::string{static_cast<char>(gb & 0xFF), static_cast<char>(gb >> 8)};
    }

  private:
    CharacterConverter toGb_{"GB2312", "UTF-32LE"};
    CharacterConverter toBig5_{"CP950", "UTF-32LE"};
};

// Length of the UTF-8 sequence that starts with lead, as the lead byte tells.
size_t utf8SequenceLength(uint8_t lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// UTF-8 of one character of a double-byte page.
class PageDecoder {
  public:
    explicit PageDecoder(int page)
        : page_(page), decoder_("UTF-8", page == CPC_PAGE_GB ? "GB2312" : "CP950") {}

    std::optional<std::string> decode(const char* bytes, size_t length) {
        if (std::optional<std::string> utf8 = decoder_.convert(bytes, length)) return utf8;
        if (page_ == CPC_PAGE_BIG5) return extension_.convert(bytes, length);
        return std::nullopt;
    }

  private:
    int page_;
    CharacterConverter decoder_;
    // The extension characters of BIG5 that CP950 lacks.
    CharacterConverter extension_{"UTF-8", "BIG5-HKSCS"};
};

} // namespace

std::string utf8ToGb(const std::string& text, size_t& unknown) {
    CharacterConverter decoder("UTF-32LE", "UTF-8");
    GbEncoder encoder;
    std::string gb;
    size_t pos = 0;
    while (pos < text.size()) {
        uint8_t lead = static_cast<uint8_t>(text[pos]);
        if (lead < 0x80) {
            gb += text[pos++];
            continue;
        }
        size_t length = std::min(utf8SequenceLength(lead), text.size() - pos);
        std::optional<std::string> utf32 = decoder.convert(text.data() + pos, length);
        std::optional<std::string> pair = utf32 ? encoder.encode(*utf32) : std::nullopt;
        pos += utf32 ? length : 1;
        if (!pair) ++unknown;
        gb += pair ? *pair : "?";
    }
    return gb;
}

std::string pageToUtf8(const std::string& text, int page, size_t& unknown) {
    PageDecoder decoder(page);
    std::string utf8;
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end) {
        const char* next = *p == '\0' ? p + 1 : CPC_DBCSNext(page, p);
        std::optional<std::string> character;
        if (static_cast<uint8_t>(*p) < 0x80)
            character = std::string(1, *p);
        else
            character = decoder.decode(p, static_cast<size_t>(next - p));
        if (!character) ++unknown;
        utf8 += character ? *character : "?";
        p = next;
    }
    return utf8;
}

} // namespace lexora::cli
