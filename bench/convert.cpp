// bench_convert ECDICT_CSV: measures GB <-> BIG5 conversion by cpconv against OpenCC (simplified
// to traditional), glibc iconv and memcpy on the ECDICT translations, and checks that gb2big5
// reaches its targets. Every speed is counted on the GB2312 (or BIG5, the same size) input.
#include "corpus.h"
#include "cpconv.h"

#include <opencc.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
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

constexpr std::size_t minCorpusBytes = 20'000'000;
constexpr int runs = 7;
constexpr double minVsOpencc = 100.0;
constexpr double minVsIconv = 1.5;
constexpr double minShareOfMemcpy = 0.05;
// Full-width question marks stand for characters the target set lacks.
constexpr std::string_view big5Unknown = "\xA1\x48";
constexpr std::string_view gbUnknown = "\xA3\xBF";

// Every output is folded in here and printed, so no conversion can be optimised away.
std::uint64_t outputChecksum = 0;

void absorb(std::string_view output) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : output) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    outputChecksum ^= hash + output.size();
}

struct Texts {
    GbCorpus gb;
    std::string utf8;
    std::string big5;
};

struct Speeds {
    double gb2big5 = 0;
    double gb2big5InPlace = 0;
    double big5togb = 0;
    double opencc = 0;
    double iconvGb2big5 = 0;
    double iconvBig5togb = 0;
    double memcpy = 0;
    std::size_t iconvBig5Replaced = 0; // characters BIG5 lacks
    std::size_t iconvGbReplaced = 0;   // characters GB2312 lacks
};

struct Outputs {
    std::string cpconvBig5;
    std::string cpconvGb;
    std::string iconvBig5;
};

void cpconvConvert(int flag, const std::string& input, char* output) {
    const int size = static_cast<int>(input.size());
    const int done = CPC_ConvertDBCSBuffer(flag, input.data(), size, output, size);
    if (done != size) {
        throw std::runtime_error("CPC_ConvertDBCSBuffer(" + std::to_string(flag) + ") processed " +
                                 std::to_string(done) + " of " + std::to_string(size) + " bytes");
    }
}

Texts buildTexts(const char* csvPath) {
    Texts texts{readGbCorpus(csvPath, minCorpusBytes), {}, {}};
    if (texts.gb.text.empty()) throw std::runtime_error("no translations in the CSV file");
    if (texts.gb.text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw std::runtime_error("the corpus is too large for one CPC_ConvertDBCSBuffer call");
    }
    texts.utf8 = Recoder("GB2312", "UTF-8", replaceDoubleByte("")).convert(texts.gb.text);
    texts.big5.resize(texts.gb.text.size());
    cpconvConvert(CPC_FLAG_GB_TO_BIG5, texts.gb.text, texts.big5.data());
    return texts;
}

template <class Run> double secondsFor(Run&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

// Best of several timings of run; prepare, untimed, goes before each.
template <class Prepare, class Run> double bestSeconds(Prepare&& prepare, Run&& run) {
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < runs; ++i) {
        prepare();
        best = std::min(best, secondsFor(run));
    }
    return best;
}

template <class Run> double bestSeconds(Run&& run) {
    return bestSeconds([] {}, run);
}

double megabytesPerSecond(std::size_t bytes, double seconds) {
    return bytes / 1e6 / seconds;
}

double timeCpconv(int flag, const std::string& input, std::string& output) {
    output.assign(input.size(), '\0');
    const double seconds = bestSeconds([&] { cpconvConvert(flag, input, output.data()); });
    absorb(output);
    return megabytesPerSecond(input.size(), seconds);
}

double timeCpconvInPlace(int flag, const std::string& input) {
    std::string buffer;
    const double seconds =
        bestSeconds([&] { buffer = input; }, [&] { cpconvConvert(flag, buffer, buffer.data()); });
    absorb(buffer);
    return megabytesPerSecond(input.size(), seconds);
}

class Opencc {
  public:
    explicit Opencc(const char* config) : handle_(opencc_open(config)) {
        if (handle_ == reinterpret_cast<opencc_t>(-1)) {
            throw std::runtime_error(std::string("OpenCC cannot open ") + config + ": " +
                                     opencc_error());
        }
    }
    ~Opencc() { opencc_close(handle_); }
    Opencc(const Opencc&) = delete;
    Opencc& operator=(const Opencc&) = delete;

    opencc_t handle() const { return handle_; }

  private:
    opencc_t handle_;
};

// One run over the whole corpus: OpenCC takes seconds for it, so a best-of adds nothing.
double timeOpencc(const std::string& utf8, std::size_t gbBytes) {
    const Opencc s2t(OPENCC_DEFAULT_CONFIG_SIMP_TO_TRAD);
    char* output = nullptr;
    const double seconds =
        secondsFor([&] { output = opencc_convert_utf8(s2t.handle(), utf8.data(), utf8.size()); });
    if (output == nullptr) throw std::runtime_error(std::string("OpenCC: ") + opencc_error());
    absorb(output);
    opencc_convert_utf8_free(output);
    return megabytesPerSecond(gbBytes, seconds);
}

double timeIconv(Recoder& recoder, const std::string& input, std::string& output) {
    output.assign(input.size(), '\0');
    std::size_t written = 0;
    const double seconds =
        bestSeconds([&] { written = recoder.convert(input, output.data(), output.size()); });
    output.resize(written);
    absorb(output);
    return megabytesPerSecond(input.size(), seconds);
}

// Makes the compiler assume the memory at p is read, so stores into it cannot be dropped.
void escape(const void* p) {
    __asm__ volatile("" : : "g"(p) : "memory");
}

double timeMemcpy(const std::string& input) {
    std::string output(input.size(), '\0');
    const double seconds = bestSeconds([&] {
        std::memcpy(output.data(), input.data(), input.size());
        escape(output.data());
    });
    absorb(output);
    return megabytesPerSecond(input.size(), seconds);
}

std::size_t nonAsciiBytes(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; }));
}

std::size_t equalBytes(std::string_view a, std::string_view b) {
    const std::size_t size = std::min(a.size(), b.size());
    std::size_t equal = 0;
    for (std::size_t i = 0; i < size; ++i)
        equal += a[i] == b[i];
    return equal;
}

double percent(std::size_t part, std::size_t whole) {
    return 100.0 * part / whole;
}

void printCorpus(const Texts& texts) {
    const GbCorpus& gb = texts.gb;
    std::printf("corpus: translation column of %zu records, %.2f MB GB2312 a pass (%zu characters "
                "GB2312 lacks dropped), %d passes: %.2f MB GB2312 = %.2f MB UTF-8\n",
                gb.records, gb.passBytes / 1e6, gb.droppedChars, gb.repeats, gb.text.size() / 1e6,
                texts.utf8.size() / 1e6);
}

Speeds measure(const Texts& texts, Outputs& outputs) {
    Recoder iconvGb2big5("GB2312", "BIG5", replaceDoubleByte(big5Unknown));
    Recoder iconvBig5togb("BIG5", "GB2312", replaceDoubleByte(gbUnknown));
    std::string iconvGb;
    Speeds speeds;
    speeds.gb2big5 = timeCpconv(CPC_FLAG_GB_TO_BIG5, texts.gb.text, outputs.cpconvBig5);
    speeds.gb2big5InPlace = timeCpconvInPlace(CPC_FLAG_GB_TO_BIG5, texts.gb.text);
    speeds.big5togb = timeCpconv(CPC_FLAG_BIG5_TO_GB, texts.big5, outputs.cpconvGb);
    speeds.iconvGb2big5 = timeIconv(iconvGb2big5, texts.gb.text, outputs.iconvBig5);
    speeds.iconvBig5Replaced = iconvGb2big5.fallbacks();
    speeds.iconvBig5togb = timeIconv(iconvBig5togb, texts.big5, iconvGb);
    speeds.iconvGbReplaced = iconvBig5togb.fallbacks();
    speeds.memcpy = timeMemcpy(texts.gb.text);
    speeds.opencc = timeOpencc(texts.utf8, texts.gb.text.size());
    return speeds;
}

void printSpeeds(const Speeds& speeds) {
    std::printf("MB = 10^6 bytes of GB2312 or BIG5 input; OpenCC's figure too is counted on the "
                "GB2312 size of the text it converts; best of %d runs, OpenCC one run over the "
                "whole corpus\n",
                runs);
    std::printf("cpconv gb2big5:            %10.1f MB/s\n", speeds.gb2big5);
    std::printf("cpconv gb2big5 in place:   %10.1f MB/s\n", speeds.gb2big5InPlace);
    std::printf("cpconv big5togb:           %10.1f MB/s\n", speeds.big5togb);
    std::printf("opencc s2t:                %10.1f MB/s\n", speeds.opencc);
    std::printf("iconv GB2312->BIG5:        %10.1f MB/s (%zu characters BIG5 lacks replaced)\n",
                speeds.iconvGb2big5, speeds.iconvBig5Replaced);
    std::printf("iconv BIG5->GB2312:        %10.1f MB/s (%zu characters GB2312 lacks replaced)\n",
                speeds.iconvBig5togb, speeds.iconvGbReplaced);
    std::printf("memcpy:                    %10.1f MB/s\n", speeds.memcpy);
    std::printf("gb2big5 vs iconv: %.2fx, %.2f%% of memcpy\n", speeds.gb2big5 / speeds.iconvGb2big5,
                100.0 * speeds.gb2big5 / speeds.memcpy);
    std::printf("big5togb vs iconv: %.2fx, %.2f%% of memcpy\n",
                speeds.big5togb / speeds.iconvBig5togb, 100.0 * speeds.big5togb / speeds.memcpy);
}

// The conversion must have done real work: a Chinese character rarely has the same bytes in both
// sets, so at least half of the double-byte text has to change.
bool checkOutputs(const Texts& texts, const Outputs& outputs) {
    const std::string& gb = texts.gb.text;
    const std::size_t changed = gb.size() - equalBytes(gb, outputs.cpconvBig5);
    const std::size_t doubleByte = nonAsciiBytes(gb);
    std::printf(
        "check: gb2big5 changed %zu of %zu double-byte text bytes (%.1f%%); agrees with "
        "iconv on %.1f%% of all bytes; big5togb restores %.1f%% of the GB2312 bytes; output "
        "checksum %016llx\n",
        changed, doubleByte, percent(changed, doubleByte),
        percent(equalBytes(outputs.cpconvBig5, outputs.iconvBig5), gb.size()),
        percent(equalBytes(gb, outputs.cpconvGb), gb.size()),
        static_cast<unsigned long long>(outputChecksum));
    return changed * 2 >= doubleByte;
}

std::vector<std::string> missedTargets(const Speeds& speeds) {
    std::vector<std::string> missed;
    if (speeds.gb2big5 < minVsOpencc * speeds.opencc) missed.emplace_back("100x OpenCC");
    if (speeds.gb2big5 < minVsIconv * speeds.iconvGb2big5) {
        missed.emplace_back("1.5x iconv GB2312->BIG5");
    }
    if (speeds.gb2big5 < minShareOfMemcpy * speeds.memcpy) missed.emplace_back("5% of memcpy");
    return missed;
}

int run(const char* csvPath) {
    requireCpconv();
    const Texts texts = buildTexts(csvPath);
    printCorpus(texts);
    Outputs outputs;
    const Speeds speeds = measure(texts, outputs);
    printSpeeds(speeds);
    int status = 0;
    if (!checkOutputs(texts, outputs)) {
        std::printf("FAILED: gb2big5 left most of the text unchanged\n");
        status = 1;
    }
    for (const std::string& target : missedTargets(speeds)) {
        std::printf("FAILED: gb2big5 misses its target of %s\n", target.c_str());
        status = 1;
    }
    std::printf("convert gb2big5 vs opencc: %.2fx\n", speeds.gb2big5 / speeds.opencc);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    return lexora::bench::benchmarkMain(argc, argv, "bench_convert", run);
}
