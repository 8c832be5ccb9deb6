// bench_decode ECDICT_CSV: measures cpconv's HZ, ISO-2022 and MIME decoders on the ECDICT
// translations in GB2312, written as HZ lines, ISO-2022-CN lines (by glibc iconv) and one Base64
// encoded word a line, against glibc iconv ISO-2022-CN -> GB2312 and a plain table-driven Base64
// decoder in the same run. Every output must equal the GB2312 text and the peer's output.
#include "corpus.h"
#include "cpconv.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using lexora::bench::GbCorpus;
using lexora::bench::readGbCorpus;
using lexora::bench::Recoder;
using lexora::bench::replaceDoubleByte;
using lexora::bench::requireCpconv;

constexpr std::size_t gbCorpusBytes = 20'000'000;
constexpr int runs = 3;
constexpr std::string_view mimeHeader = "=?gb2312?B?";

using Decoder = int (*)(const char* source, char* dest, int len);

int decodeHz(const char* source, char* dest, int len) {
    return CPC_DecodeHZCodeBuffer(source, dest, len, 0);
}
int decodeIso2022(const char* source, char* dest, int len) {
    return CPC_DecodeISO2022Buffer(source, dest, len, 0);
}

// The lines of text, each with its line feed.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return lines;
}

// Lines HZ cannot carry unambiguously are left out: "~~" is not unescaped, and a "{" before a
// section would open it as "{~".
std::string withoutHzEscapeLines(std::string_view text, std::size_t& dropped) {
    std::string kept;
    kept.reserve(text.size());
    for (std::string_view line : splitLines(text)) {
        if (line.find_first_of("~{") != std::string_view::npos)
            ++dropped;
        else
            kept += line;
    }
    return kept;
}

// Where the line that holds byte at ends (just after its line feed), or the text's size.
std::size_t endOfLine(std::string_view text, std::size_t at) {
    std::size_t feed = text.find('\n', std::min(at, text.size()));
    return feed == std::string_view::npos ? text.size() : feed + 1;
}

// GB characters between "~{" and "~}" with bit 7 cleared; each line closes its section.
std::string encodeHz(std::string_view gb) {
    std::string hz;
    hz.reserve(gb.size() + gb.size() / 4);
    bool inGb = false;
    for (std::size_t i = 0; i < gb.size(); ++i) {
        const char c = gb[i];
        const bool pair = (c & 0x80) != 0 && i + 1 < gb.size();
        if (pair != inGb) hz += pair ? "~{" : "~}";
        inGb = pair;
        if (pair) {
            hz += static_cast<char>(c & 0x7F);
            hz += static_cast<char>(gb[++i] & 0x7F);
        } else {
            hz += c;
        }
    }
    if (inGb) hz += "~}";
    return hz;
}

const char base64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void appendBase64(std::string_view bytes, std::string& out) {
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
        out += base64Alphabet[group >> 18];
        out += base64Alphabet[group >> 12 & 63];
        out += i + 1 < bytes.size() ? base64Alphabet[group >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? base64Alphabet[group & 63] : '=';
    }
}

// One encoded word "=?gb2312?B?...?=" a line.
std::string encodeMime(const std::string& gb) {
    std::string mime;
    mime.reserve(gb.size() * 3 / 2);
    for (std::string_view line : splitLines(gb)) {
        const bool feed = line.back() == '\n';
        mime += mimeHeader;
        appendBase64(line.substr(0, line.size() - (feed ? 1 : 0)), mime);
        mime += "?=";
        if (feed) mime += '\n';
    }
    return mime;
}

// The reference for Base64: plain text copied, an encoded word "=?charset?B?...?=" decoded
// through a 256-entry table four characters at a time, as `base64 -d` decodes, stopping at the
// first padding.
class ReferenceBase64 {
  public:
    ReferenceBase64() {
        std::fill(std::begin(value_), std::end(value_), -1);
        for (int i = 0; i < 64; ++i)
            value_[static_cast<unsigned char>(base64Alphabet[i])] = static_cast<signed char>(i);
    }

    std::size_t decode(std::string_view text, char* out) const {
        char* start = out;
        std::size_t i = 0;
        while (i < text.size()) {
            std::size_t word = text.find("=?", i);
            if (word == std::string_view::npos) word = text.size();
            std::memcpy(out, text.data() + i, word - i);
            out += word - i;
            if (word == text.size()) break;
            const std::size_t payload = text.find("?B?", word + 2);
            const std::size_t end =
                payload == std::string_view::npos ? payload : text.find("?=", payload + 3);
            if (end == std::string_view::npos)
                throw std::runtime_error("the reference decoder met an unfinished encoded word");
            out = decodePayload(text.substr(payload + 3, end - payload - 3), out);
            i = end + 2;
        }
        return static_cast<std::size_t>(out - start);
    }

  private:
    char* decodePayload(std::string_view payload, char* out) const {
        for (std::size_t i = 0; i + 4 <= payload.size(); i += 4) {
            const int a = value(payload[i]), b = value(payload[i + 1]);
            const int c = value(payload[i + 2]), d = value(payload[i + 3]);
            *out++ = static_cast<char>(a << 2 | b >> 4);
            if (c < 0) break;
            *out++ = static_cast<char>((b & 15) << 4 | c >> 2);
            if (d < 0) break;
            *out++ = static_cast<char>((c & 3) << 6 | d);
        }
        return out;
    }
    int value(char c) const { return value_[static_cast<unsigned char>(c)]; }

    signed char value_[256];
};

template <class Run> double bestSeconds(Run&& run) {
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

double megabytesPerSecond(std::size_t bytes, double seconds) {
    return bytes / 1e6 / seconds;
}

// One form of the text: its encoded bytes and lines, the speeds and outputs of our decoder.
struct Form {
    const char* name;
    Decoder decoder;
    std::string encoded;
    std::vector<std::string_view> lines;
    double byLines = 0;
    double wholeBuffer = 0;
    std::string output;
};

// Decodes the text one line a call, as the hook library decodes what a program draws. The
// output never outgrows the input read, so each line's output may start where the last ended
// and still has len + 4 bytes before the buffer's end.
std::size_t decodeLines(Decoder decoder, const std::vector<std::string_view>& lines, char* out) {
    std::size_t written = 0;
    for (std::string_view line : lines)
        written += static_cast<std::size_t>(
            decoder(line.data(), out + written, static_cast<int>(line.size())));
    return written;
}

void measure(Form& form) {
    const std::size_t size = form.encoded.size();
    std::string buffer(size + 4, '\0');
    std::size_t written = 0;
    form.byLines = megabytesPerSecond(
        size, bestSeconds([&] { written = decodeLines(form.decoder, form.lines, buffer.data()); }));
    form.output.assign(buffer.data(), written);
    std::size_t whole = 0;
    form.wholeBuffer =
        megabytesPerSecond(size, bestSeconds([&] {
                               whole = static_cast<std::size_t>(form.decoder(
                                   form.encoded.data(), buffer.data(), static_cast<int>(size)));
                           }));
    if (std::string_view(buffer.data(), whole) != form.output)
        throw std::runtime_error(std::string(form.name) + ": whole-buffer output differs");
}

struct Peer {
    const char* name;
    double speed = 0;
    std::string output;
};

Peer measureIconv(const std::string& iso2022) {
    Recoder toGb("ISO-2022-CN", "GB2312", replaceDoubleByte("\xA3\xBF"));
    Peer peer{"iconv ISO-2022-CN->GB2312", 0, std::string(iso2022.size(), '\0')};
    std::size_t written = 0;
    peer.speed = megabytesPerSecond(iso2022.size(), bestSeconds([&] {
                                        written = toGb.convert(iso2022, peer.output.data(),
                                                               peer.output.size());
                                    }));
    peer.output.resize(written);
    return peer;
}

Peer measureReferenceBase64(const std::string& mime) {
    const ReferenceBase64 reference;
    Peer peer{"table-driven Base64 reference", 0, std::string(mime.size(), '\0')};
    std::size_t written = 0;
    peer.speed = megabytesPerSecond(
        mime.size(), bestSeconds([&] { written = reference.decode(mime, peer.output.data()); }));
    peer.output.resize(written);
    return peer;
}

bool checkEqual(const char* what, std::string_view ours, std::string_view expected) {
    const bool equal = ours == expected;
    std::printf("check: %-44s %s\n", what, equal ? "equal" : "DIFFERENT");
    return equal;
}

void printSpeed(const Form& form, const Peer* peer) {
    std::printf("%-8s line by line %8.1f MB/s, whole buffer %8.1f MB/s", form.name, form.byLines,
                form.wholeBuffer);
    if (peer)
        std::printf("; %s %.1f MB/s: %.2fx (line by line), %.2fx (whole buffer)", peer->name,
                    peer->speed, form.byLines / peer->speed, form.wholeBuffer / peer->speed);
    std::printf("\n");
}

Form makeForm(const char* name, Decoder decoder, std::string encoded) {
    if (encoded.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw std::runtime_error(std::string(name) + " text is too large for one call");
    Form form{name, decoder, std::move(encoded), {}, 0, 0, {}};
    form.lines = splitLines(form.encoded);
    return form;
}

int run(const char* csvPath) {
    requireCpconv();
    CPC_SetCodePage(CPC_PAGE_GB);
    const GbCorpus corpus = readGbCorpus(csvPath, gbCorpusBytes);
    if (corpus.text.empty()) throw std::runtime_error("no translations in the CSV file");
    std::size_t escapeLines = 0;
    const std::string gb = withoutHzEscapeLines(
        std::string_view(corpus.text).substr(0, endOfLine(corpus.text, gbCorpusBytes)),
        escapeLines);

    Form hz = makeForm("hz", decodeHz, encodeHz(gb));
    Recoder toIso2022("GB2312", "ISO-2022-CN", replaceDoubleByte(""));
    Form iso2022 = makeForm("iso2022", decodeIso2022, toIso2022.convert(gb));
    Form mime = makeForm("mime", CPC_DecodeMIMEBuffer, encodeMime(gb));
    std::printf("corpus: ECDICT translations (%zu records), the first %.2f MB GB2312 less %zu "
                "lines holding '~' or '{': %.2f MB in %zu lines; as HZ %.2f MB, ISO-2022-CN (glibc "
                "iconv) %.2f MB, MIME Base64 words %.2f MB\n",
                corpus.records, gbCorpusBytes / 1e6, escapeLines, gb.size() / 1e6, hz.lines.size(),
                hz.encoded.size() / 1e6, iso2022.encoded.size() / 1e6, mime.encoded.size() / 1e6);

    for (Form* form : {&hz, &iso2022, &mime})
        measure(*form);
    const Peer iconv = measureIconv(iso2022.encoded);
    const Peer base64 = measureReferenceBase64(mime.encoded);

    std::printf("MB = 10^6 bytes of encoded input; best of %d passes; line by line: one call a "
                "line with a destination of len + 4; whole buffer: one call; peers decode the "
                "whole buffer; HZ has no peer in glibc iconv\n",
                runs);
    printSpeed(hz, nullptr);
    printSpeed(iso2022, &iconv);
    printSpeed(mime, &base64);

    bool ok = checkEqual("hz = the GB2312 text", hz.output, gb);
    ok &= checkEqual("iso2022 = the GB2312 text", iso2022.output, gb);
    ok &= checkEqual("iso2022 = iconv ISO-2022-CN->GB2312", iso2022.output, iconv.output);
    ok &= checkEqual("mime = the GB2312 text", mime.output, gb);
    ok &= checkEqual("mime = the reference Base64 decoder", mime.output, base64.output);
    std::printf("decode MB/s: hz %.1f iso2022 %.1f mime %.1f\n", hz.byLines, iso2022.byLines,
                mime.byLines);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return lexora::bench::benchmarkMain(argc, argv, "bench_decode", run);
}
