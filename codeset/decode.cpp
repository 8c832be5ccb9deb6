// HZ, ISO-2022 and MIME decoding of 7-bit mail and news text into double-byte text.
//
// Every read stays below the caller's len: a pair, escape sequence or encoded group that the
// end of the source cuts off is finished from what is there (see cpconv.h). Output is written
// only while fewer than len bytes are, and what is begun then adds at most three bytes (a Base64
// group; an ISO-2022 pair and the "]" after its run), so the output and its NUL stay within the
// len + 4 bytes the caller provides.
#include "internal.h"

#include <cstdint>
#include <cstring>

namespace cpconv {
namespace {

// What the reader gives for a byte at or beyond the end of the source.
constexpr int kEnd = -1;

constexpr uint8_t kShiftOut = 0x0E;
constexpr uint8_t kShiftIn = 0x0F;
constexpr uint8_t kEscape = 0x1B;

// The caller's source, read forward and never at or past len.
class Reader {
  public:
    Reader(const char* source, int len)
        : bytes_(reinterpret_cast<const uint8_t*>(source)), len_(len) {}

    bool atEnd() const { return pos_ >= len_; }
    bool atStart() const { return pos_ == 0; }
    // The byte ahead bytes on, or kEnd past the source.
    int peek(int ahead = 0) const { return pos_ + ahead < len_ ? bytes_[pos_ + ahead] : kEnd; }
    int previous() const { return bytes_[pos_ - 1]; }
    // The next byte; only while not atEnd().
    uint8_t take() { return bytes_[pos_++]; }
    void skip(int count) { pos_ = count < len_ - pos_ ? pos_ + count : len_; }
    // The next four bytes, when the source holds four more and none of them is stop.
    const uint8_t* nextFourWithout(uint8_t stop) const {
        if (len_ - pos_ < 4) return nullptr;
        const uint8_t* four = bytes_ + pos_;
        bool clear = four[0] != stop && four[1] != stop && four[2] != stop && four[3] != stop;
        return clear ? four : nullptr;
    }

  private:
    const uint8_t* bytes_;
    int len_;
    int pos_ = 0;
};

// The caller's destination. Callers begin each step, and each pair of a run, only while
// !full(); with what that adds and the NUL at most len + 3 bytes are used.
class Writer {
  public:
    Writer(char* dest, int len) : bytes_(reinterpret_cast<uint8_t*>(dest)), len_(len) {}

    bool full() const { return written_ >= len_; }
    void put(uint8_t byte) { bytes_[written_++] = byte; }
    // The first count of the three bytes. All three are stored, in one move: a step has room
    // for them.
    void put(const uint8_t (&three)[3], int count) {
        std::memcpy(bytes_ + written_, three, 3);
        written_ += count;
    }
    void put(const char (&two)[3]) {
        put(static_cast<uint8_t>(two[0]));
        put(static_cast<uint8_t>(two[1]));
    }
    // The two bytes with bit 7 set, unconverted.
    void highPair(uint8_t lead, uint8_t trail) {
        put(lead | 0x80);
        put(trail | 0x80);
    }
    // A GB pair from two bytes with bit 7 set, turned into its BIG5 form in place when BIG5 is
    // the current page.
    void gbPair(uint8_t lead, uint8_t trail) {
        char* pair = reinterpret_cast<char*>(bytes_ + written_);
        highPair(lead, trail);
        if (toBig5_) CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, pair, 2, pair, 2);
    }
    // Terminates the output; returns the bytes written before the NUL.
    int finish() {
        bytes_[written_] = 0;
        return written_;
    }

  private:
    uint8_t* bytes_;
    int len_;
    int written_ = 0;
    bool toBig5_ = CPC_GetCodePage() == CPC_PAGE_BIG5;
};

// Copies the byte after a byte of 0x80 or above, when the source still holds one.
void copyTrail(Reader& in, Writer& out) {
    if (!in.atEnd()) out.put(in.take());
}

// HZ: "~{" (or "{~") ... "~}" around GB characters with bit 7 cleared.
class HzDecoder {
  public:
    HzDecoder(Reader& in, Writer& out, bool keepEscapes)
        : in_(in), out_(out), keepEscapes_(keepEscapes) {}

    void run() {
        while (!in_.atEnd() && !out_.full() && in_.peek() != 0)
            step();
    }

  private:
    void step() {
        if (atSoftLineEnd()) {
            if (keepEscapes_) out_.put('~');
            in_.skip(1);
        } else if (!inGb_ && atOpening()) {
            inGb_ = true;
            highSeen_ = false;
            if (keepEscapes_) out_.put("~{");
            in_.skip(2);
        } else if (inGb_ && atClosing()) {
            inGb_ = false;
            if (keepEscapes_) out_.put("~}");
            in_.skip(2);
        } else if (inGb_) {
            gbStep();
        } else {
            out_.put(in_.take());
        }
    }

    // A "~" after "}" and before a line end (or NUL) continues the line and is dropped.
    bool atSoftLineEnd() const {
        if (in_.atStart() || in_.peek() != '~' || in_.previous() != '}') return false;
        int next = in_.peek(1);
        return next == '\n' || next == '\r' || next == 0;
    }
    bool atOpening() const {
        return (in_.peek() == '~' && in_.peek(1) == '{') ||
               (in_.peek() == '{' && in_.peek(1) == '~');
    }
    // "~}", or a lone "}" which swallows the byte after it.
    bool atClosing() const {
        return in_.peek() == '}' || (in_.peek() == '~' && in_.peek(1) == '}');
    }

    // 7-bit text goes pairwise; once a section shows a byte above 0xA0 (8-bit GB), such bytes
    // lead pairs and the others are copied singly. A pair whose second byte lies past the
    // source or is its NUL is copied as its one byte.
    void gbStep() {
        uint8_t lead = in_.take();
        if (lead > 0xA0) highSeen_ = true;
        int trail = in_.peek();
        if ((highSeen_ && lead <= 0xA0) || trail == kEnd || trail == 0) {
            out_.put(lead);
            return;
        }
        out_.gbPair(lead, in_.take());
    }

    Reader& in_;
    Writer& out_;
    bool keepEscapes_;
    bool inGb_ = false;
    bool highSeen_ = false;
};

// ISO-2022: shift codes and escape sequences around GB characters with bit 7 cleared.
class Iso2022Decoder {
  public:
    Iso2022Decoder(Reader& in, Writer& out, bool markEscapes)
        : in_(in), out_(out), markEscapes_(markEscapes) {}

    void run() {
        while (!in_.atEnd() && !out_.full()) {
            uint8_t c = in_.take();
            if (c == '\r') continue;
            if (c == kShiftOut) {
                shiftedRun();
            } else if (c == kEscape) {
                escapeSequence();
            } else {
                out_.put(c);
                if (c >= 0x80) copyTrail(in_, out_);
            }
        }
    }

  private:
    // Up to shift in: bytes up to 0x20 copied, others taken as pairs.
    void shiftedRun() {
        while (!in_.atEnd() && !out_.full()) {
            uint8_t c = in_.take();
            if (c == kShiftIn) return;
            if (c <= 0x20 || in_.atEnd())
                out_.put(c);
            else
                out_.gbPair(c, in_.take());
        }
    }

    void escapeSequence() {
        if (markEscapes_) out_.put('[');
        int kind = in_.atEnd() ? kEnd : in_.take();
        if (kind == '$')
            designation();
        else if (kind == 'K')
            rawRun();
        if (markEscapes_) out_.put(']');
    }

    // ESC "$" ")" F designates for shift out and gives no text; ESC "$" F and ESC "$" "(" F
    // open a run of GB pairs that ESC "(" F closes.
    void designation() {
        if (in_.atEnd()) return;
        uint8_t next = in_.take();
        if (next == ')') {
            in_.skip(1);
            return;
        }
        if (next == '(') in_.skip(1);
        while (!in_.atEnd() && !out_.full()) {
            uint8_t lead = in_.take();
            if (in_.atEnd()) {
                out_.put(lead);
                return;
            }
            uint8_t trail = in_.take();
            if (lead == kEscape && trail == '(') {
                in_.skip(1);
                return;
            }
            out_.gbPair(lead, trail);
        }
    }

    // ESC "K": pairs given bit 7 and written as they are, up to the next ESC.
    void rawRun() {
        while (!in_.atEnd() && !out_.full()) {
            uint8_t lead = in_.take();
            if (lead == kEscape) return;
            if (in_.atEnd()) {
                out_.put(lead);
                return;
            }
            out_.highPair(lead, in_.take());
        }
    }

    Reader& in_;
    Writer& out_;
    bool markEscapes_;
};

// Index of each byte in "A-Za-z0-9+/=", "=" being 64; a byte outside the alphabet counts as 0.
struct Base64Indexes {
    uint8_t index[256] = {};
    constexpr Base64Indexes() {
        const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
        for (int i = 0; i < 65; ++i)
            index[static_cast<uint8_t>(alphabet[i])] = static_cast<uint8_t>(i);
    }
};
constexpr Base64Indexes kBase64;
constexpr int kPadding = 64;

int hexValue(int byte) {
    if (byte >= '0' && byte <= '9') return byte - '0';
    if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
    if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
    return -1;
}

// MIME: encoded words "=?" charset "?" B|Q "?" text "?=" within plain text.
class MimeDecoder {
  public:
    MimeDecoder(Reader& in, Writer& out) : in_(in), out_(out) {}

    void run() {
        while (!in_.atEnd() && !out_.full()) {
            uint8_t c = in_.take();
            if (c == '\r') continue;
            if (c == '=') {
                equalsSign();
            } else {
                out_.put(c);
                if (c >= 0x80) copyTrail(in_, out_);
            }
        }
    }

  private:
    // "=?" opens an encoded word; "=" before any other byte is dropped, and one that ends the
    // source is kept.
    void equalsSign() {
        int next = in_.peek();
        if (next == kEnd)
            out_.put('=');
        else if (next != '?')
            out_.put(in_.take());
        else {
            in_.skip(1);
            encodedWord();
        }
    }

    // The charset name is skipped, not used: the decoded bytes are written as they are. A
    // header cut off by the end of the source, or whose letter is not followed by "?", is
    // dropped.
    void encodedWord() {
        while (!in_.atEnd() && in_.peek() != '?')
            in_.skip(1);
        in_.skip(1);
        if (in_.atEnd()) return;
        uint8_t encoding = in_.take();
        if (in_.peek() != '?') return;
        in_.skip(1);
        if (encoding == 'B' || encoding == 'b')
            base64Text();
        else if (encoding == 'Q' || encoding == 'q')
            quotedPrintableText();
    }

    bool atWordEnd() const { return in_.peek() == '?' && in_.peek(1) == '='; }

    void base64Text() {
        while (!in_.atEnd() && !out_.full()) {
            if (atWordEnd()) {
                in_.skip(2);
                return;
            }
            if (in_.peek() == '=')
                in_.skip(1);
            else
                base64Group();
        }
    }

    // Four characters give up to three bytes. A group that the end of the source or "?=" cuts
    // short counts as padded with "="; a single character holds no whole byte and is dropped.
    void base64Group() {
        int index[4] = {kPadding, kPadding, kPadding, kPadding};
        int count = 0;
        // Without a "?" among them, four characters in a row cannot meet the word's end.
        if (const uint8_t* four = in_.nextFourWithout('?')) {
            for (; count < 4; ++count)
                index[count] = kBase64.index[four[count]];
            in_.skip(4);
        }
        while (count < 4 && !in_.atEnd() && !atWordEnd())
            index[count++] = kBase64.index[in_.take()];
        if (count < 2) return;
        uint8_t bytes[3] = {};
        int length = 0;
        bytes[length++] = static_cast<uint8_t>(index[0] * 4 + index[1] / 16);
        if (index[2] < kPadding)
            bytes[length++] = static_cast<uint8_t>(index[1] % 16 * 16 + index[2] / 4);
        if (index[3] < kPadding)
            bytes[length++] = static_cast<uint8_t>(index[2] % 4 * 64 + index[3]);
        out_.put(bytes, length);
    }

    // "=" and two hexadecimal digits give one byte; an "=" before anything else ends the word
    // and is left to the main loop.
    void quotedPrintableText() {
        while (!in_.atEnd() && !out_.full()) {
            if (atWordEnd()) {
                in_.skip(2);
                return;
            }
            if (in_.peek() != '=') {
                out_.put(in_.take());
                continue;
            }
            int high = hexValue(in_.peek(1));
            int low = hexValue(in_.peek(2));
            if (high < 0 || low < 0) return;
            out_.put(static_cast<uint8_t>(high * 16 + low));
            in_.skip(3);
        }
    }

    Reader& in_;
    Writer& out_;
};

// Runs decoder Kind over source into dest; a len of 0 or less (or no source) writes the NUL only.
template <class Kind, class... Switch>
int decode(const char* source, char* dest, int len, Switch... switches) {
    if (!dest) return 0;
    if (!source || len < 0) len = 0;
    Reader in(source, len);
    Writer out(dest, len);
    Kind(in, out, switches...).run();
    return out.finish();
}

} // namespace
} // namespace cpconv

using namespace cpconv;

extern "C" {

int WINAPI CPC_DecodeHZCodeBuffer(const char* source, char* dest, int len, int keepEscapes) {
    return decode<HzDecoder>(source, dest, len, keepEscapes != 0);
}

int WINAPI CPC_DecodeISO2022Buffer(const char* source, char* dest, int len, int markEscapes) {
    return decode<Iso2022Decoder>(source, dest, len, markEscapes != 0);
}

int WINAPI CPC_DecodeMIMEBuffer(const char* source, char* dest, int len) {
    return decode<MimeDecoder>(source, dest, len);
}

} // extern "C"
