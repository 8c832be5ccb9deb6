// bench_wordbank: a generated user library of 100,000 records: how long wordbank takes to load it
// and how much memory the store takes, 1,000,000 seeks on present and absent phrases, 10,000
// adds, and the save. Fails when a load takes 0.5 s or more or a seek 2 us or more.
#include "wordbank.h"

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 100'000;
constexpr int kSeeks = 1'000'000;
constexpr int kAdds = 10'000;
constexpr int kRuns = 5;
constexpr double kMaxLoadSeconds = 0.5;
constexpr double kMaxSeekNanoseconds = 2000;

struct Vocabulary {
    std::vector<std::string> present; // phrases of the library
    std::vector<std::string> absent;  // phrases it does not hold
};

class Generator {
  public:
    // An English-looking phrase: one to three words of 2-10 letters.
    std::string phrase() {
        std::string text;
        int words = pick(1, 10) <= 8 ? 1 : pick(2, 3);
        for (int w = 0; w < words; ++w) {
            if (w > 0) text += ' ';
            for (int i = pick(2, 10); i > 0; --i)
                text += static_cast<char>('a' + pick(0, 25));
        }
        return text;
    }

    // A Chinese phrase of two to four GB characters.
    std::string chinesePhrase() { return gbText(pick(2, 4)); }

    std::string soundmark() {
        static const char letters[] = "abdefiklmnoprstuvwzCEGNOQRSVXZ:";
        std::string text;
        for (int i = pick(0, 12); i > 0; --i)
            text += letters[pick(0, sizeof letters - 2)];
        return text;
    }

    // GB characters with a part-of-speech prefix now and then.
    std::string meaning() { return (pick(0, 3) == 0 ? "n." : "") + gbText(pick(2, 12)); }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  private:
    std::string gbText(int characters) {
        std::string text;
        for (int i = 0; i < characters; ++i) {
            text += static_cast<char>(pick(0xB0, 0xD6));
            text += static_cast<char>(pick(0xA1, 0xFE));
        }
        return text;
    }

    std::mt19937 random_{20240501};
};

std::string packed(const std::string& phrase, const std::string& soundmark,
                   const std::string& meaning) {
    return phrase + '\0' + soundmark + '\0' + meaning + '\0';
}

template <class Run> double secondsFor(Run&& run) {
    auto start = std::chrono::steady_clock::now();
    run();
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

template <class Run> double bestSeconds(Run&& run) {
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < kRuns; ++i)
        best = std::min(best, secondsFor(run));
    return best;
}

size_t heapInUse() {
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void openOrThrow(const std::string& file) {
    if (!WBK_Open(file.c_str())) throw std::runtime_error("cannot load " + file);
}

// Creates the library through wordbank itself, so that the file is laid out as it saves one.
Vocabulary generateLibrary(const std::string& file, Generator& generator) {
    Vocabulary vocabulary;
    if (!WBK_Create(file.c_str())) throw std::runtime_error("cannot create " + file);
    while (WBK_GetRecordCount() < kRecords) {
        std::string phrase =
            generator.pick(0, 19) == 0 ? generator.chinesePhrase() : generator.phrase();
        if (WBK_Seek(phrase.c_str())) continue;
        std::string record = packed(phrase, generator.soundmark(), generator.meaning());
        if (!WBK_AddRecord(record.c_str())) throw std::runtime_error("cannot add " + phrase);
        vocabulary.present.push_back(phrase);
    }
    WBK_Close();
    std::sort(vocabulary.present.begin(), vocabulary.present.end());
    while (vocabulary.absent.size() < vocabulary.present.size()) {
        std::string phrase = generator.phrase();
        if (!std::binary_search(vocabulary.present.begin(), vocabulary.present.end(), phrase))
            vocabulary.absent.push_back(phrase);
    }
    return vocabulary;
}

// The same lines in random order, as a file edited by hand might hold them.
std::string writeShuffled(const std::string& file, Generator& generator) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::shuffle(lines.begin() + 20, lines.end(), std::mt19937(generator.pick(0, 1 << 30)));
    std::string shuffled = file + ".shuffled";
    std::ofstream out(shuffled, std::ios::binary);
    for (const std::string& line : lines)
        out << line << '\n';
    return shuffled;
}

struct Figures {
    double loadSeconds = 0;
    double shuffledLoadSeconds = 0;
    size_t storeBytes = 0;
    double seekNanoseconds = 0;
    int seeksFound = 0;
    double addMicroseconds = 0;
    double saveSeconds = 0;
};

double measureLoad(const std::string& file) {
    return bestSeconds([&] {
        openOrThrow(file);
        WBK_Close();
    });
}

size_t measureStore(const std::string& file) {
    size_t before = heapInUse();
    openOrThrow(file);
    size_t after = heapInUse();
    return after - before;
}

// Present and absent phrases in turn; the library is open.
void measureSeeks(const Vocabulary& vocabulary, Figures& figures) {
    std::vector<const char*> probes;
    for (int i = 0; i < kSeeks; ++i) {
        const auto& pool = i % 2 == 0 ? vocabulary.present : vocabulary.absent;
        probes.push_back(pool[(i / 2 * 7919u) % pool.size()].c_str());
    }
    int found = 0;
    double seconds = bestSeconds([&] {
        found = 0;
        for (const char* probe : probes)
            found += WBK_Seek(probe);
    });
    figures.seekNanoseconds = seconds * 1e9 / kSeeks;
    figures.seeksFound = found;
}

void measureAdds(const Vocabulary& vocabulary, Generator& generator, Figures& figures) {
    std::vector<std::string> records;
    for (int i = 0; i < kAdds; ++i)
        records.push_back(packed(vocabulary.absent[i], generator.soundmark(), generator.meaning()));
    double seconds = secondsFor([&] {
        for (const std::string& record : records) {
            if (!WBK_AddRecord(record.c_str())) throw std::runtime_error("an add failed");
        }
    });
    figures.addMicroseconds = seconds * 1e6 / kAdds;
    figures.saveSeconds = secondsFor([] { WBK_Close(); });
}

void printFigures(const Figures& figures, uintmax_t fileBytes) {
    std::printf("library: %d records, %.2f MB file\n", kRecords, fileBytes / 1e6);
    std::printf("load (as saved, best of %d):      %8.1f ms\n", kRuns, figures.loadSeconds * 1e3);
    std::printf("load (lines shuffled, best of %d): %8.1f ms\n", kRuns,
                figures.shuffledLoadSeconds * 1e3);
    std::printf("store memory:                     %8.2f MB (%.0f bytes a record)\n",
                figures.storeBytes / 1e6, static_cast<double>(figures.storeBytes) / kRecords);
    std::printf("seeks: %d, half on absent phrases, %d found\n", kSeeks, figures.seeksFound);
    std::printf("add (new phrases, %d):             %8.2f us each\n", kAdds,
                figures.addMicroseconds);
    std::printf("save (%d records):                %8.1f ms\n", kRecords + kAdds,
                figures.saveSeconds * 1e3);
}

int run() {
    fs::path directory = fs::temp_directory_path() / ("bench-wordbank-" + std::to_string(getpid()));
    fs::create_directories(directory);
    std::string file = (directory / "user.txt").string();
    Generator generator;
    Vocabulary vocabulary = generateLibrary(file, generator);
    std::string shuffled = writeShuffled(file, generator);

    Figures figures;
    figures.loadSeconds = measureLoad(file);
    figures.shuffledLoadSeconds = measureLoad(shuffled);
    figures.storeBytes = measureStore(file);
    measureSeeks(vocabulary, figures);
    measureAdds(vocabulary, generator, figures);
    printFigures(figures, fs::file_size(file));
    fs::remove_all(directory);

    int status = 0;
    if (figures.seeksFound != kSeeks / 2) {
        std::printf("FAILED: %d seeks found their phrase, not %d\n", figures.seeksFound,
                    kSeeks / 2);
        status = 1;
    }
    if (figures.loadSeconds >= kMaxLoadSeconds) {
        std::printf("FAILED: loading takes %.3f s, the target is under %.1f s\n",
                    figures.loadSeconds, kMaxLoadSeconds);
        status = 1;
    }
    if (figures.seekNanoseconds >= kMaxSeekNanoseconds) {
        std::printf("FAILED: a seek takes %.0f ns, the target is under %.0f ns\n",
                    figures.seekNanoseconds, kMaxSeekNanoseconds);
        status = 1;
    }
    std::printf("wordbank seek: %.0f ns\n", figures.seekNanoseconds);
    return status;
}

} // namespace

int main() {
    try {
        return run();
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "bench_wordbank: %s\n", error.what());
        return 1;
    }
}
