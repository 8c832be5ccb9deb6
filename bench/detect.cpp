// bench_detect ECDICT_CSV: how often CPC_IsCodePage (mode 2) judges short pieces of real Chinese
// text right, against uchardet on the same pieces. The ECDICT translations in GB2312 and the
// same text converted to BIG5 by cpconv are cut into pieces of 1, 2, 4, 8 and 16 characters and
// drawn as a program draws them: the pieces of a line one after another in one context, x
// advancing by 8 pixels a byte; each line in a new context at a new y.
#include "corpus.h"
#include "cpconv.h"

#include <uchardet.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using lexora::bench::GbCorpus;
using lexora::bench::readGbCorpus;
using lexora::bench::requireCpconv;

constexpr int kPieceChars[] = {1, 2, 4, 8, 16};
constexpr int kReportedChars = 8;
constexpr std::size_t kScoredPieces = 20'000;
constexpr std::uint64_t kSeed = 20'240'521;
constexpr int kPixelsPerByte = 8;
constexpr int kLeftMargin = 8;
constexpr int kFirstLineY = 24;
constexpr int kLineHeight = 16;
constexpr int kLinesPerWindow = 40;

// A piece of text where a program would draw it.
struct Piece {
    std::size_t offset;
    int size;
    int x;
    int y;
    bool startsLine;
    bool scored; // holds a double-byte character; pieces of ASCII alone are drawn but not scored
};

struct Line {
    std::size_t offset;
    std::size_t size;
};

// A page the text is in, or the page current while it is judged.
struct Page {
    int id;
    const char* name;
};
constexpr Page kPages[] = {{CPC_PAGE_GB, "GB"}, {CPC_PAGE_BIG5, "BIG5"}};

struct Texts {
    GbCorpus gb;
    std::string big5; // the same text, byte for byte at the same offsets
    std::vector<Line> lines;

    const std::string& in(int page) const { return page == CPC_PAGE_GB ? gb.text : big5; }
};

// Shares judged right for one piece length.
struct Row {
    int chars = 0;
    std::size_t pieces = 0;
    std::size_t lines = 0;
    double ours[2][2] = {}; // [current page][text page]
    double uchardet[2] = {};
    std::string uchardetCommonName[2]; // the name it gives most often
    double oursSeconds = 0;
    double uchardetSeconds = 0;
};

bool isHigh(char c) {
    return static_cast<unsigned char>(c) >= 0xA1;
}

bool holdsDoubleByte(std::string_view text) {
    for (char c : text)
        if (isHigh(c)) return true;
    return false;
}

std::vector<Line> chineseLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (holdsDoubleByte(std::string_view(text).substr(start, end - start)))
            lines.push_back({start, end - start});
        start = end + 1;
    }
    return lines;
}

Texts buildTexts(const char* csvPath) {
    Texts texts{readGbCorpus(csvPath, 1), {}, {}};
    const std::string& gb = texts.gb.text;
    if (gb.empty() || gb.size() > INT32_MAX) throw std::runtime_error("unusable corpus size");
    texts.big5.resize(gb.size());
    const int size = static_cast<int>(gb.size());
    if (CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, gb.data(), size, texts.big5.data(), size) !=
        size)
        throw std::runtime_error("CPC_ConvertDBCSBuffer did not convert the whole corpus");
    texts.lines = chineseLines(gb);
    if (texts.lines.empty()) throw std::runtime_error("no Chinese lines in the corpus");
    return texts;
}

// Bytes of the first `chars` characters of text (GB2312: a pair of high bytes is one).
std::size_t charactersBytes(std::string_view text, int chars) {
    std::size_t at = 0;
    for (int i = 0; i < chars && at < text.size(); ++i)
        at += isHigh(text[at]) && at + 1 < text.size() && isHigh(text[at + 1]) ? 2 : 1;
    return at;
}

// Cuts randomly chosen lines into consecutive pieces until enough pieces can be scored.
std::vector<Piece> cutPieces(const Texts& texts, int chars, std::mt19937_64& random,
                             std::size_t& linesUsed) {
    std::uniform_int_distribution<std::size_t> pick(0, texts.lines.size() - 1);
    std::vector<Piece> pieces;
    std::size_t scored = 0;
    for (linesUsed = 0; scored < kScoredPieces; ++linesUsed) {
        const Line line = texts.lines[pick(random)];
        const std::string_view text =
            std::string_view(texts.gb.text).substr(line.offset, line.size);
        const int y = kFirstLineY + kLineHeight * static_cast<int>(linesUsed % kLinesPerWindow);
        for (std::size_t at = 0; at < text.size() && scored < kScoredPieces;) {
            const std::size_t size = charactersBytes(text.substr(at), chars);
            const bool chinese = holdsDoubleByte(text.substr(at, size));
            pieces.push_back({line.offset + at, static_cast<int>(size),
                              kLeftMargin + kPixelsPerByte * static_cast<int>(at), y, at == 0,
                              chinese});
            scored += chinese;
            at += size;
        }
    }
    return pieces;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Share of the scored pieces that CPC_IsCodePage judges right under the current page.
double judgeOurs(const std::string& text, const std::vector<Piece>& pieces, int current,
                 int expected, int& context) {
    std::size_t right = 0;
    std::size_t scored = 0;
    for (const Piece& piece : pieces) {
        context += piece.startsLine;
        const int verdict = CPC_IsCodePage(current, text.data() + piece.offset, piece.size, piece.x,
                                           piece.y, context, 2);
        if (!piece.scored) continue;
        ++scored;
        right += verdict == expected;
    }
    return 100.0 * right / scored;
}

bool startsWith(std::string_view name, std::string_view prefix) {
    if (name.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != prefix[i]) return false;
    return true;
}

bool namesPage(std::string_view charset, int page) {
    if (page == CPC_PAGE_BIG5) return startsWith(charset, "BIG5");
    return startsWith(charset, "GB") || startsWith(charset, "HZ-GB") ||
           startsWith(charset, "EUC-CN");
}

class Uchardet {
  public:
    Uchardet() : handle_(uchardet_new()) {
        if (handle_ == nullptr) throw std::runtime_error("uchardet_new failed");
    }
    ~Uchardet() { uchardet_delete(handle_); }
    Uchardet(const Uchardet&) = delete;
    Uchardet& operator=(const Uchardet&) = delete;

    std::string_view charsetOf(std::string_view text) {
        uchardet_reset(handle_);
        uchardet_handle_data(handle_, text.data(), text.size());
        uchardet_data_end(handle_);
        return uchardet_get_charset(handle_);
    }

  private:
    uchardet_t handle_;
};

std::string mostFrequent(const std::map<std::string, std::size_t>& counts) {
    auto best = counts.begin();
    for (auto it = counts.begin(); it != counts.end(); ++it)
        if (it->second > best->second) best = it;
    return best == counts.end() || best->first.empty() ? "(none)" : best->first;
}

// Share of the scored pieces that uchardet names by a name of their page, and the name it gives
// most often.
double judgeUchardet(Uchardet& detector, const std::string& text, const std::vector<Piece>& pieces,
                     int page, std::string& commonName) {
    std::size_t right = 0;
    std::size_t scored = 0;
    std::map<std::string, std::size_t> names;
    for (const Piece& piece : pieces) {
        if (!piece.scored) continue;
        ++scored;
        const std::string_view charset =
            detector.charsetOf(std::string_view(text).substr(piece.offset, piece.size));
        right += namesPage(charset, page);
        ++names[std::string(charset)];
    }
    commonName = mostFrequent(names);
    return 100.0 * right / scored;
}

Row measure(const Texts& texts, int chars, std::mt19937_64& random, Uchardet& detector) {
    Row row;
    row.chars = chars;
    const std::vector<Piece> pieces = cutPieces(texts, chars, random, row.lines);
    row.pieces = pieces.size();
    int context = 0;
    auto start = std::chrono::steady_clock::now();
    for (int current = 0; current < 2; ++current)
        for (int inPage = 0; inPage < 2; ++inPage)
            row.ours[current][inPage] = judgeOurs(texts.in(kPages[inPage].id), pieces,
                                                  kPages[current].id, current == inPage, context);
    row.oursSeconds = secondsSince(start);
    start = std::chrono::steady_clock::now();
    for (int inPage = 0; inPage < 2; ++inPage)
        row.uchardet[inPage] = judgeUchardet(detector, texts.in(kPages[inPage].id), pieces,
                                             kPages[inPage].id, row.uchardetCommonName[inPage]);
    row.uchardetSeconds = secondsSince(start);
    return row;
}

double oursAverage(const Row& row) {
    return (row.ours[0][0] + row.ours[0][1] + row.ours[1][0] + row.ours[1][1]) / 4;
}

double uchardetAverage(const Row& row) {
    return (row.uchardet[0] + row.uchardet[1]) / 2;
}

void printOurs(const std::vector<Row>& rows) {
    std::printf("\nCPC_IsCodePage, mode 2: share of pieces judged right (under GB current, GB text "
                "should give 1 and BIG5 text 0; under BIG5 current the reverse)\n");
    std::printf("%5s %10s %12s %12s %12s %9s %9s %11s\n", "chars", "GB:GB", "GB:BIG5", "BIG5:GB",
                "BIG5:BIG5", "average", "drawn", "ns/piece");
    for (const Row& row : rows) {
        std::printf("%5d %9.2f%% %11.2f%% %11.2f%% %11.2f%% %8.2f%% %9zu %11.1f\n", row.chars,
                    row.ours[0][0], row.ours[0][1], row.ours[1][0], row.ours[1][1],
                    oursAverage(row), row.pieces, row.oursSeconds * 1e9 / (4.0 * row.pieces));
    }
    std::printf("(column CURRENT:TEXT is the page current while judging and the page the text "
                "is in)\n");
}

void printUchardet(const std::vector<Row>& rows) {
    std::printf("\nuchardet: share of pieces it names by their page (a GB name for GB text, BIG5 "
                "for BIG5 text; ASCII, unknown and other names count as wrong)\n");
    std::printf("%5s %10s %10s %9s %11s   %s\n", "chars", "GB", "BIG5", "average", "ns/piece",
                "most frequent name for GB / BIG5 text");
    for (const Row& row : rows) {
        std::printf("%5d %9.2f%% %9.2f%% %8.2f%% %11.1f   %s / %s\n", row.chars, row.uchardet[0],
                    row.uchardet[1], uchardetAverage(row),
                    row.uchardetSeconds * 1e9 / (2.0 * kScoredPieces),
                    row.uchardetCommonName[0].c_str(), row.uchardetCommonName[1].c_str());
    }
}

int run(const char* csvPath) {
    requireCpconv();
    const Texts texts = buildTexts(csvPath);
    std::printf("corpus: translation column of %zu records, %.2f MB GB2312 (%zu characters GB2312 "
                "lacks dropped) and its BIG5 conversion by cpconv; %zu lines hold Chinese\n",
                texts.gb.records, texts.gb.text.size() / 1e6, texts.gb.droppedChars,
                texts.lines.size());
    std::printf("pieces: %zu holding Chinese per length and text page, cut from lines chosen with "
                "seed %llu; pieces of ASCII alone are drawn too but not scored\n",
                kScoredPieces, static_cast<unsigned long long>(kSeed));

    std::mt19937_64 random(kSeed);
    Uchardet detector;
    std::vector<Row> rows;
    for (int chars : kPieceChars)
        rows.push_back(measure(texts, chars, random, detector));
    printOurs(rows);
    printUchardet(rows);

    for (const Row& row : rows) {
        if (row.chars != kReportedChars) continue;
        std::printf("\nours: average over GB and BIG5 text under GB and under BIG5 current; "
                    "uchardet: average over GB and BIG5 text\n");
        std::printf("detect accuracy 8-char pieces: %.1f%% vs uchardet %.1f%%\n", oursAverage(row),
                    uchardetAverage(row));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return lexora::bench::benchmarkMain(argc, argv, "bench_detect", run);
}
