// bench_lookup WORDS_DB: the dictionary lookups on the full LEXORA.LIB beside lxtran against
// SQLite holding the same ECDICT rows (WORDS_DB, made by bench/ecdict-db.sh). Times
// LXaTranslateStr on (a) 200,000 headwords sampled from the dictionary, (b) 200,000 inflected
// forms that only the stemmed second lookup finds, (c) 200,000 misses and (d) 50,000 Chinese
// words, and LXaGetMeanN over the select list's 20 neighbours of 10,000 words; SQLite answers
// (a), (c) and the neighbours with prepared statements on its index. Each time is the best of
// three passes. Fails when hits are slower than SQLite's, neighbours less than twice as fast, or
// the first lookup after loading takes 20 ms or more.
#include "cpconv.h"
#include "entry_format.h"
#include "lxtran.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

// The samples are the same from run to run.
constexpr uint32_t kSeed = 20240611;
constexpr size_t kHeadwordCalls = 200'000;
constexpr size_t kInflectedCalls = 200'000;
constexpr size_t kMissCalls = 200'000;
constexpr size_t kChineseCalls = 50'000;
constexpr size_t kNeighbourWords = 10'000;
// Candidates tried per form wanted before the benchmark gives up on finding enough.
constexpr size_t kAttemptsPerForm = 20;
constexpr int kPasses = 3;
constexpr double kMinHitRatio = 1.0;
constexpr double kMinNeighbourRatio = 2.0;
constexpr double kMaxFirstLookupMs = 20.0;

// The main window's buffers and select list.
constexpr int kTranslationSize = 400;
constexpr int kRowSize = 200;
constexpr size_t kRowLimit = 41;

using Clock = std::chrono::steady_clock;
using lexora::cli::ListWindow;
using lexora::cli::listWindow;
using Words = std::vector<std::string>;

double microsecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// A timed loop: the best time per call over the passes, and what the last pass counted.
struct Timing {
    double micros = std::numeric_limits<double>::infinity();
    size_t counted = 0;
};

template <typename Pass> void timePass(size_t calls, Pass pass, Timing& timing) {
    Clock::time_point start = Clock::now();
    timing.counted = pass();
    timing.micros = std::min(timing.micros, microsecondsSince(start) / calls);
}

template <typename Pass> Timing bestOf(size_t calls, Pass pass) {
    Timing timing;
    for (int i = 0; i < kPasses; ++i)
        timePass(calls, pass, timing);
    return timing;
}

// LEXORA and SQLite in turn, pass by pass, so that both meet the same load on the machine.
template <typename Lexora, typename Sqlite>
void bestOfBoth(size_t calls, Lexora lexora, Sqlite sqlite, Timing& lexoraTiming,
                Timing& sqliteTiming) {
    for (int i = 0; i < kPasses; ++i) {
        timePass(calls, lexora, lexoraTiming);
        timePass(calls, sqlite, sqliteTiming);
    }
}

class Database {
  public:
    explicit Database(const char* path) {
        if (sqlite3_open_v2(path, &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("cannot open ") + path + ": " +
                                     sqlite3_errmsg(db_));
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

class Statement {
  public:
    Statement(const Database& db, const char* sql) {
        if (sqlite3_prepare_v2(db.handle(), sql, -1, &statement_, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("cannot prepare ") + sql + ": " +
                                     sqlite3_errmsg(db.handle()));
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds text to the statement's parameter, ready for stepping.
    void bind(const std::string& text) {
        sqlite3_reset(statement_);
        sqlite3_bind_text(statement_, 1, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    }
    bool step() { return sqlite3_step(statement_) == SQLITE_ROW; }
    const char* column(int i) const {
        return reinterpret_cast<const char*>(sqlite3_column_text(statement_, i));
    }

  private:
    sqlite3_stmt* statement_ = nullptr;
};

// Copies text to out at position and moves position past it, within size.
void append(char* out, size_t size, size_t& position, const char* text) {
    size_t length = text ? std::min(std::strlen(text), size - 1 - position) : 0;
    std::memcpy(out + position, text ? text : "", length);
    position += length;
    out[position] = '\0';
}

// The entry text a SQLite row makes, as LEXORA hands its caller: word 0x01 phonetic 0x02
// translation.
void copyRow(const Statement& select, char (&out)[kTranslationSize]) {
    size_t position = 0;
    append(out, sizeof out, position, select.column(0));
    append(out, sizeof out, position, "\x01");
    append(out, sizeof out, position, select.column(1));
    append(out, sizeof out, position, "\x02");
    append(out, sizeof out, position, select.column(2));
}

// A select-list row: the entry text before its 0x01, at most 41 bytes.
void copyListRow(const char* entry, char (&row)[kRowLimit + 1]) {
    size_t length = 0;
    while (length < kRowLimit && entry[length] != '\0' && entry[length] != '\x01')
        ++length;
    std::memcpy(row, entry, length);
    row[length] = '\0';
}

// The words whose answer is expected.
size_t translateAll(const Words& words, int expected) {
    char out[kTranslationSize];
    size_t matching = 0;
    for (const std::string& word : words)
        matching += LXaTranslateStr(LXA_MODE_LOOKUP, word.c_str(), out, sizeof out) == expected;
    return matching;
}

// The words SQLite finds.
size_t selectAll(Statement& select, const Words& words) {
    char out[kTranslationSize];
    size_t found = 0;
    for (const std::string& word : words) {
        select.bind(word);
        if (!select.step()) continue;
        copyRow(select, out);
        ++found;
    }
    return found;
}

size_t readNeighbours(const std::vector<ListWindow>& windows) {
    char entry[kRowSize];
    char row[kRowLimit + 1];
    size_t rows = 0;
    for (const ListWindow& window : windows) {
        for (int n = window.start; n < window.start + window.rows; ++n) {
            if (LXaGetMeanN(n, entry, sizeof entry) == 0) continue;
            copyListRow(entry, row);
            ++rows;
        }
    }
    return rows;
}

size_t selectNeighbours(Statement& select, const Words& firstRows) {
    char row[kRowLimit + 1];
    size_t rows = 0;
    for (const std::string& first : firstRows) {
        select.bind(first);
        while (select.step()) {
            copyListRow(select.column(0), row);
            ++rows;
        }
    }
    return rows;
}

std::string headwordOf(int number) {
    char entry[kRowSize];
    if (LXaGetMeanN(number, entry, sizeof entry) == 0)
        throw std::runtime_error("cannot read entry " + std::to_string(number));
    return std::string(entry, std::strcspn(entry, "\x01"));
}

std::string chineseWordOf(int number) {
    char word[kRowSize];
    if (LXaGetZWMeanN(number, word, sizeof word) == 0)
        throw std::runtime_error("cannot read Chinese word " + std::to_string(number));
    return word;
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool isLowerCaseWord(const std::string& word) {
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// The dictionary's headwords, and the same folded to lower case for telling forms apart.
struct Headwords {
    Words words;
    std::unordered_set<std::string> folded;

    bool contains(const std::string& word) const { return folded.count(lowerCase(word)) > 0; }
};

Headwords readHeadwords() {
    Headwords headwords;
    int count = LXaGetMaxWrdN();
    headwords.words.reserve(static_cast<size_t>(count));
    for (int n = 0; n < count; ++n) {
        headwords.words.push_back(headwordOf(n));
        headwords.folded.insert(lowerCase(headwords.words.back()));
    }
    return headwords;
}

std::vector<int> sampleNumbers(size_t count, int limit, std::mt19937& random) {
    std::uniform_int_distribution<int> pick(0, limit - 1);
    std::vector<int> numbers(count);
    for (int& number : numbers)
        number = pick(random);
    return numbers;
}

// An inflection of a lower-case word: plural, past tense, -ing (with a doubled consonant), or
// -ies for a final y.
std::string inflect(const std::string& word, int kind) {
    switch (kind) {
    case 0:
        return word + "s";
    case 1:
        return word + "ed";
    case 2:
        return word + "ing";
    case 3:
        return word + word.back() + "ing";
    default:
        return word.back() == 'y' ? word.substr(0, word.size() - 1) + "ies" : word + "es";
    }
}

// A misspelling: one letter after the first replaced by another.
std::string misspell(const std::string& word, std::mt19937& random) {
    std::string misspelt = word;
    size_t at = std::uniform_int_distribution<size_t>(1, word.size() - 1)(random);
    char letter = static_cast<char>('a' + std::uniform_int_distribution<int>(0, 24)(random));
    misspelt[at] = letter >= word[at] ? static_cast<char>(letter + 1) : letter;
    return misspelt;
}

// Words made from sampled lower-case headwords that are no headword themselves and that the
// engine answers with the expected result.
template <typename Make>
Words makeForms(const Headwords& headwords, size_t count, int expected, std::mt19937& random,
                Make make) {
    std::uniform_int_distribution<size_t> pick(0, headwords.words.size() - 1);
    char out[kTranslationSize];
    Words forms;
    for (size_t attempt = 0; forms.size() < count && attempt < count * kAttemptsPerForm;
         ++attempt) {
        const std::string& word = headwords.words[pick(random)];
        if (word.size() < 4 || !isLowerCaseWord(word)) continue;
        std::string form = make(word);
        if (form.size() > 30 || headwords.contains(form) ||
            LXaTranslateStr(LXA_MODE_LOOKUP, form.c_str(), out, sizeof out) != expected)
            continue;
        forms.push_back(std::move(form));
    }
    if (forms.size() < count) throw std::runtime_error("too few forms for the benchmark");
    return forms;
}

std::string dictionaryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LXaTranslateStr), &info) == 0 || !info.dli_fname)
        throw std::runtime_error("cannot tell where lxtran was loaded from");
    std::string library = info.dli_fname;
    return library.substr(0, library.rfind('/') + 1) + "LEXORA.LIB";
}

// Drops the dictionary's pages from the page cache, so that the first lookup reads the disk.
bool evictFromPageCache(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    bool evicted = posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    close(fd);
    return evicted;
}

double firstLookupMilliseconds() {
    char out[kTranslationSize];
    Clock::time_point start = Clock::now();
    LXaTranslateStr(LXA_MODE_LOOKUP, "dictionary", out, sizeof out);
    return microsecondsSince(start) / 1000;
}

struct Samples {
    Words headwords;
    Words inflected;
    Words misses;
    Words chinese;
    std::vector<ListWindow> windows;
    Words windowStarts;
};

Samples makeSamples(const Headwords& headwords) {
    std::mt19937 random(kSeed);
    Samples samples;
    int entries = static_cast<int>(headwords.words.size());
    std::vector<int> numbers = sampleNumbers(kHeadwordCalls, entries, random);
    for (int n : numbers)
        samples.headwords.push_back(headwords.words[n]);
    for (size_t i = 0; i < kNeighbourWords; ++i) {
        samples.windows.push_back(listWindow(numbers[i], entries));
        samples.windowStarts.push_back(headwords.words[samples.windows.back().start]);
    }
    std::uniform_int_distribution<int> kind(0, 4);
    samples.inflected = makeForms(headwords, kInflectedCalls, 1, random,
                                  [&](const std::string& w) { return inflect(w, kind(random)); });
    samples.misses = makeForms(headwords, kMissCalls, 0, random,
                               [&](const std::string& w) { return misspell(w, random); });
    for (int n : sampleNumbers(kChineseCalls, LXaGetMaxZWWrdN(), random))
        samples.chinese.push_back(chineseWordOf(n));
    return samples;
}

struct Results {
    double firstLookupMs = 0;
    bool evicted = false;
    Timing hits, sqliteHits, stemmed, misses, sqliteMisses, chinese, neighbours, sqliteNeighbours;
};

void measure(const Samples& samples, const char* databasePath, Results& r) {
    Database db(databasePath);
    Statement selectWord(db, "SELECT word, phonetic, translation FROM words "
                             "WHERE word = ? COLLATE NOCASE");
    // The index orders words without regard to case, as the dictionary does.
    Statement selectFollowing(db, "SELECT word FROM words WHERE word >= ? COLLATE NOCASE "
                                  "ORDER BY word COLLATE NOCASE LIMIT 20");
    bestOfBoth(
        kHeadwordCalls, [&] { return translateAll(samples.headwords, 1); },
        [&] { return selectAll(selectWord, samples.headwords); }, r.hits, r.sqliteHits);
    r.stemmed = bestOf(kInflectedCalls, [&] { return translateAll(samples.inflected, 1); });
    bestOfBoth(
        kMissCalls, [&] { return translateAll(samples.misses, 0); },
        [&] { return selectAll(selectWord, samples.misses); }, r.misses, r.sqliteMisses);
    r.chinese = bestOf(kChineseCalls, [&] { return translateAll(samples.chinese, 1); });
    bestOfBoth(
        kNeighbourWords, [&] { return readNeighbours(samples.windows); },
        [&] { return selectNeighbours(selectFollowing, samples.windowStarts); }, r.neighbours,
        r.sqliteNeighbours);
}

void printRow(const char* what, size_t calls, double lexora, double sqlite) {
    std::printf("%-30s %7zu %14.2f", what, calls, lexora);
    if (sqlite > 0)
        std::printf(" %14.2f %12.2fx\n", sqlite, sqlite / lexora);
    else
        std::printf(" %14s %13s\n", "-", "-");
}

void report(const Results& r) {
    std::printf("LEXORA.LIB: %d entries, %d Chinese words; best of %d passes\n", LXaGetMaxWrdN(),
                LXaGetMaxZWWrdN(), kPasses);
    std::printf("first lookup after loading: %.2f ms (limit %.0f ms%s)\n", r.firstLookupMs,
                kMaxFirstLookupMs, r.evicted ? ", the dictionary evicted from the page cache" : "");
    std::printf("%-30s %7s %14s %14s %13s\n", "", "calls", "LEXORA us", "SQLite us", "ratio");
    printRow("(a) headwords", kHeadwordCalls, r.hits.micros, r.sqliteHits.micros);
    printRow("(b) inflected forms, stemmed", kInflectedCalls, r.stemmed.micros, 0);
    printRow("(c) misses", kMissCalls, r.misses.micros, r.sqliteMisses.micros);
    printRow("(d) Chinese words", kChineseCalls, r.chinese.micros, 0);
    printRow("neighbours, 20 rows a word", kNeighbourWords, r.neighbours.micros,
             r.sqliteNeighbours.micros);
    printRow("  per LXaGetMeanN call", r.neighbours.counted,
             r.neighbours.micros * kNeighbourWords / static_cast<double>(r.neighbours.counted), 0);
    std::printf("answers: LEXORA (a) %zu exact, (b) %zu exact, (c) %zu nearest, (d) %zu exact, "
                "%zu neighbour rows; SQLite (a) %zu found, (c) %zu found, %zu neighbour rows\n",
                r.hits.counted, r.stemmed.counted, r.misses.counted, r.chinese.counted,
                r.neighbours.counted, r.sqliteHits.counted, r.sqliteMisses.counted,
                r.sqliteNeighbours.counted);
    std::printf("lookup hits vs sqlite: %.2fx\n", r.sqliteHits.micros / r.hits.micros);
}

// Says on standard error what misses its target; true when it meets it.
bool meets(bool met, const char* what, double value, double target) {
    if (!met) std::fprintf(stderr, "lookup: %s %.2f, the target is %.2f\n", what, value, target);
    return met;
}

// 0 when LEXORA meets its targets and answered every sampled word exactly.
int verdict(const Results& r) {
    double hitRatio = r.sqliteHits.micros / r.hits.micros;
    double neighbourRatio = r.sqliteNeighbours.micros / r.neighbours.micros;
    double unanswered = static_cast<double>(kHeadwordCalls - r.hits.counted) +
                        static_cast<double>(kChineseCalls - r.chinese.counted);
    bool ok = meets(hitRatio >= kMinHitRatio, "hits against SQLite, ratio", hitRatio, kMinHitRatio);
    ok = meets(neighbourRatio >= kMinNeighbourRatio, "neighbours against SQLite, ratio",
               neighbourRatio, kMinNeighbourRatio) &&
         ok;
    ok = meets(r.firstLookupMs < kMaxFirstLookupMs, "the first lookup, ms", r.firstLookupMs,
               kMaxFirstLookupMs) &&
         ok;
    ok = meets(unanswered == 0, "sampled words not answered exactly", unanswered, 0) && ok;
    return ok ? 0 : 1;
}

int run(const char* databasePath) {
    CPC_SetCodePage(CPC_PAGE_GB);
    Results results;
    results.evicted = evictFromPageCache(dictionaryPath());
    results.firstLookupMs = firstLookupMilliseconds();
    Samples samples = makeSamples(readHeadwords());
    measure(samples, databasePath, results);
    report(results);
    return verdict(results);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WORDS_DB\n", argv[0]);
        return 2;
    }
    char reason[512];
    if (LXaLoadFailure(reason, sizeof reason) != 0) {
        std::fprintf(stderr, "bench_lookup: the dictionary engine could not start: %s\n", reason);
        return 1;
    }
    try {
        return run(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_lookup: %s\n", error.what());
        return 1;
    }
}
