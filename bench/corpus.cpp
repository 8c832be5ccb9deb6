#include "corpus.h"

#include "cpconv.h"
#include "csv.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace lexora::bench {

namespace {

constexpr std::size_t translationColumn = 3;

std::size_t utf8SequenceLength(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest.front());
    std::size_t length = 1;
    if (lead >= 0xF0 && lead <= 0xF7) {
        length = 4;
    } else if (lead >= 0xE0) {
        length = lead <= 0xEF ? 3 : 1;
    } else if (lead >= 0xC0) {
        length = 2;
    }
    return std::min(length, rest.size());
}

std::size_t doubleByteLength(std::string_view rest) {
    return std::min<std::size_t>(2, rest.size());
}

std::string translationLines(std::string_view csv, GbCorpus& corpus) {
    csv::CsvReader reader(csv);
    std::vector<std::string> fields;
    reader.next(fields);
    std::string lines;
    while (reader.next(fields)) {
        ++corpus.records;
        if (fields.size() <= translationColumn || fields[translationColumn].empty()) continue;
        lines += csv::unescapeLineBreaks(fields[translationColumn]);
        lines += '\n';
    }
    return lines;
}

} // namespace

Fallback dropUtf8Character() {
    return {"", utf8SequenceLength};
}

Fallback replaceDoubleByte(std::string_view replacement) {
    return {replacement, doubleByteLength};
}

Recoder::Recoder(const char* from, const char* to, Fallback fallback)
    : descriptor_(iconv_open(to, from)), fallback_(fallback) {
    if (descriptor_ == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
}

Recoder::~Recoder() {
    iconv_close(descriptor_);
}

std::size_t Recoder::convert(std::string_view input, char* out, std::size_t outSize) {
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    fallbacks_ = 0;
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* outPos = out;
    std::size_t outLeft = outSize;
    while (inLeft > 0) {
        if (iconv(descriptor_, &in, &inLeft, &outPos, &outLeft) != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG || outLeft < fallback_.replacement.size()) {
            throw std::length_error("iconv output buffer too small");
        }
        const std::size_t skip = fallback_.characterLength({in, inLeft});
        std::memcpy(outPos, fallback_.replacement.data(), fallback_.replacement.size());
        outPos += fallback_.replacement.size();
        outLeft -= fallback_.replacement.size();
        in += skip;
        inLeft -= skip;
        ++fallbacks_;
    }
    return static_cast<std::size_t>(outPos - out);
}

std::string Recoder::convert(std::string_view input) {
    std::string output(2 * input.size() + 16, '\0');
    output.resize(convert(input, output.data(), output.size()));
    return output;
}

GbCorpus buildGbCorpus(std::string_view csv, std::size_t minBytes) {
    GbCorpus corpus;
    Recoder toGb("UTF-8", "GB2312", dropUtf8Character());
    const std::string pass = toGb.convert(translationLines(csv, corpus));
    corpus.droppedChars = toGb.fallbacks();
    corpus.passBytes = pass.size();
    if (pass.empty()) return corpus;
    while (corpus.text.size() < minBytes) {
        corpus.text += pass;
        ++corpus.repeats;
    }
    return corpus;
}

GbCorpus readGbCorpus(const char* csvPath, std::size_t minBytes) {
    std::ifstream file(csvPath, std::ios::binary);
    if (!file) throw std::runtime_error(std::string("cannot read ") + csvPath);
    std::ostringstream content;
    content << file.rdbuf();
    return buildGbCorpus(content.str(), minBytes);
}

void requireCpconv() {
    char reason[512];
    if (CPC_LoadFailure(reason, sizeof reason) > 0)
        throw std::runtime_error(std::string("cpconv could not set itself up: ") + reason);
}

int benchmarkMain(int argc, char** argv, const char* name, int (*run)(const char* csvPath)) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ECDICT_CSV\n", argv[0]);
        return 2;
    }
    try {
        return run(argv[1]);
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s: %s\n", name, error.what());
        return 1;
    }
}

} // namespace lexora::bench
