// Test text for the benchmarks: glibc iconv conversion that goes on over characters the target
// code set lacks, and the GB2312 corpus made from the ECDICT translations.
#ifndef LEXORA_BENCH_CORPUS_H
#define LEXORA_BENCH_CORPUS_H

#include <iconv.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace lexora::bench {

// What to do with a character the target code set lacks (or invalid input): write the
// replacement and skip the character, whose length characterLength tells.
struct Fallback {
    std::string_view replacement;
    std::size_t (*characterLength)(std::string_view rest);
};

// Drops characters that do not convert; the input is UTF-8.
Fallback dropUtf8Character();
// Writes replacement (two bytes) for each double-byte character that does not convert.
Fallback replaceDoubleByte(std::string_view replacement);

// A glibc iconv descriptor from one code set to another that converts all of its input.
class Recoder {
  public:
    Recoder(const char* from, const char* to, Fallback fallback);
    ~Recoder();
    Recoder(const Recoder&) = delete;
    Recoder& operator=(const Recoder&) = delete;

    // Converts input into out, which holds outSize bytes; returns the bytes written.
    // Throws when out is too small.
    std::size_t convert(std::string_view input, char* out, std::size_t outSize);
    // Converts input into a new string, for conversions that at most double the size.
    std::string convert(std::string_view input);
    // Characters dropped or replaced by the last conversion.
    std::size_t fallbacks() const { return fallbacks_; }

  private:
    iconv_t descriptor_;
    Fallback fallback_;
    std::size_t fallbacks_ = 0;
};

struct GbCorpus {
    std::string text;             // GB2312, one translation a line, repeated
    std::size_t records = 0;      // CSV records read
    std::size_t droppedChars = 0; // characters GB2312 lacks, per pass over the column
    std::size_t passBytes = 0;    // GB2312 bytes of one pass over the column
    int repeats = 0;              // passes in text
};

// Builds at least minBytes of GB2312 text from the translation column (the 4th) of ECDICT's CSV:
// non-empty translations one a line, repeated whole until the size is reached.
GbCorpus buildGbCorpus(std::string_view csv, std::size_t minBytes);
// The same from the CSV file at csvPath; throws when it cannot be read.
GbCorpus readGbCorpus(const char* csvPath, std::size_t minBytes);

// Throws when cpconv could not set itself up when it was loaded, with its reason.
void requireCpconv();

// The main of a benchmark over ECDICT's CSV, its one argument: runs run on it; bad usage gives
// 2, an exception 1 with its message after the benchmark's name.
int benchmarkMain(int argc, char** argv, const char* name, int (*run)(const char* csvPath));

} // namespace lexora::bench

#endif
