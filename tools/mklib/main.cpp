// mklib: compiles ECDICT's CSV into the dictionary file LEXORA.LIB.
//   mklib --ecdict ecdict.csv [--out LEXORA.LIB] [--show WORD]
// --show writes the entry text of WORD to standard output, as it goes into the file.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numeric>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "dictionary.h"
#include "gb.h"
#include "libwriter.h"

namespace {

using lexora::mklib::Dictionary;
namespace libwriter = lexora::libwriter;

// Entry texts average 40 bytes, and ECDICT's Chinese text compresses to about two thirds, so 64
// entries make about 1.6 KB. A block smaller than nearly all of them wastes no space on padding:
// the rest of each goes to its continuation, which a lookup reads right after the block. Larger
// groups also compress better and give the English index fewer keys, which fail less often.
constexpr libwriter::Layout layout{
    .englishIndexBlockSize = 1024,
    .entryBlockSize = 1024,
    .entriesPerBlock = 64,
    .chineseIndexBlockSize = 1024,
    .lazyMatching = true,
};

struct Options {
    std::string ecdict;
    std::optional<std::string> out;
    std::optional<std::string> show;
};

class UsageError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) throw UsageError(option + " needs a value");
        const std::string value = argv[++i];
        if (option == "--ecdict") {
            options.ecdict = value;
        } else if (option == "--out") {
            options.out = value;
        } else if (option == "--show") {
            options.show = value;
        } else {
            throw UsageError("unknown option " + option);
        }
    }
    if (options.ecdict.empty()) throw UsageError("--ecdict is required");
    if (!options.out && !options.show) throw UsageError("give --out, --show or both");
    return options;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    if (!(file && content << file.rdbuf())) throw std::runtime_error("cannot read " + path);
    return std::move(content).str();
}

// Writes under a temporary name and renames, so that the file is whole or absent.
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = path + ".tmp";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    std::error_code error;
    if (file) std::filesystem::rename(temporary, path, error);
    if (!file || error) {
        std::filesystem::remove(temporary, error);
        throw std::runtime_error("cannot write " + path);
    }
}

// One line on standard error that follows the work: rewritten in place on a terminal, one line
// per stage in a log.
class Progress {
  public:
    Progress() : terminal_(isatty(STDERR_FILENO) != 0) {}

    void stage(const std::string& name) {
        stage_ = name;
        show(terminal_ ? "" : "\n");
    }

    void fraction(std::size_t done, std::size_t total) {
        if (!terminal_ || total == 0) return;
        show(" " + std::to_string(done * 100 / total) + "%");
    }

    void finish() {
        if (terminal_) std::cerr << "\r\033[K";
    }

  private:
    void show(const std::string& tail) {
        std::cerr << (terminal_ ? "\r\033[K" : "") << "mklib: " << stage_ << tail << std::flush;
    }

    bool terminal_;
    std::string stage_;
};

void showEntry(const Dictionary& dictionary, const std::string& word) {
    for (const auto& entry : dictionary.entries) {
        if (libwriter::compareHeadwords(entry.headword, word) == 0) {
            std::cout << lexora::mklib::entryText(entry) << std::flush;
            return;
        }
    }
    throw std::runtime_error("no entry for " + word);
}

std::size_t countReferences(const Dictionary& dictionary) {
    return std::accumulate(dictionary.words.begin(), dictionary.words.end(), std::size_t{0},
                           [](std::size_t sum, const libwriter::ChineseWord& word) {
                               return sum + word.references.size();
                           });
}

void printSummary(const Dictionary& dictionary, std::size_t fileSize, double seconds) {
    char line[512];
    std::snprintf(line, sizeof line,
                  "mklib: %zu entries, %zu Chinese words, %zu references, %zu bytes, %.1f s "
                  "(%zu rows read, %zu merged; not indexable: %zu entries, %zu words)\n",
                  dictionary.entries.size(), dictionary.words.size(), countReferences(dictionary),
                  fileSize, seconds, dictionary.rows, dictionary.mergedRows,
                  dictionary.droppedEntries, dictionary.droppedWords);
    std::cerr << line;
}

void compile(const Options& options, Progress& progress) {
    const auto start = std::chrono::steady_clock::now();
    Dictionary dictionary;
    {
        progress.stage("reading " + options.ecdict);
        const std::string csv = readFile(options.ecdict);
        const lexora::mklib::GbEncoder gb;
        auto candidates = lexora::mklib::readCandidates(
            csv, gb, dictionary,
            [&](std::size_t done, std::size_t total) { progress.fraction(done, total); });
        progress.stage("sorting and merging entries");
        lexora::mklib::composeEntries(std::move(candidates), dictionary);
    }
    progress.stage("building the indexes");
    lexora::mklib::buildIndexes(dictionary, layout);
    std::size_t fileSize = 0;
    if (options.out) {
        progress.stage("compressing and writing " + *options.out);
        const std::vector<uint8_t> bytes =
            libwriter::writeLibrary(dictionary.entries, dictionary.words, layout);
        writeFile(*options.out, bytes);
        fileSize = bytes.size();
    }
    progress.finish();
    if (options.show) showEntry(dictionary, *options.show);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    printSummary(dictionary, fileSize, elapsed.count());
}

} // namespace

int main(int argc, char** argv) {
    Progress progress;
    try {
        compile(parseOptions(argc, argv), progress);
        return 0;
    } catch (const UsageError& error) {
        std::cerr << "mklib: " << error.what() << "\n"
                  << "usage: mklib --ecdict ecdict.csv [--out LEXORA.LIB] [--show WORD]\n";
        return 2;
    } catch (const std::exception& error) {
        progress.finish();
        std::cerr << "mklib: " << error.what() << "\n";
        return 1;
    }
}
