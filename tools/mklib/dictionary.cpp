#include "dictionary.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <stdexcept>
#include <utility>

#include "chinese.h"
#include "csv.h"
#include "phonetic.h"

namespace lexora::mklib {

namespace {

enum Column : std::size_t {
    word = 0,
    phonetic = 1,
    translation = 3,
    collins = 5,
    oxford = 6,
    tag = 7,
    bnc = 8,
    frq = 9,
    exchange = 10,
};

constexpr std::size_t progressInterval = 1 << 16;
constexpr std::size_t maxKeptBytes = 15;
constexpr std::size_t maxNewBytes = 15;

std::string_view field(const std::vector<std::string>& fields, Column column) {
    return column < fields.size() ? std::string_view(fields[column]) : std::string_view();
}

bool isHeadword(std::string_view word) {
    return !word.empty() && word.size() <= maxHeadwordLength && word.front() != ' ' &&
           word.back() != ' ' &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

bool sameHeadword(const Candidate& a, const Candidate& b) {
    return libwriter::compareHeadwords(a.headword, b.headword) == 0;
}

// Leaves out the senses that repeat an earlier sense of the entry, notes aside: under the same
// part of speech, or anywhere when the line has no part-of-speech code (as the [计] lines that
// repeat the general ones). Lines left without senses go.
void dropRepeatedSenses(std::vector<MeaningLine>& lines) {
    std::set<std::pair<uint8_t, std::string>> seen;
    std::set<std::string> seenAnywhere;
    for (MeaningLine& line : lines) {
        std::erase_if(line.senses, [&](const std::string& sense) {
            std::string core = withoutNotes(sense);
            if (core.empty()) core = sense;
            const bool repeated =
                line.code == 0 ? seenAnywhere.contains(core) : seen.contains({line.code, core});
            seen.insert({line.code, core});
            seenAnywhere.insert(std::move(core));
            return repeated;
        });
    }
    std::erase_if(lines, [](const MeaningLine& line) { return line.senses.empty(); });
}

// Joins each line to the line before it when both have the same part-of-speech code, as the
// inflection line "good的比较级" and the adjective line after it.
void joinLinesOfOneCode(std::vector<MeaningLine>& lines) {
    std::vector<MeaningLine> joined;
    for (MeaningLine& line : lines) {
        if (!joined.empty() && line.code != 0 && line.code == joined.back().code) {
            std::move(line.senses.begin(), line.senses.end(),
                      std::back_inserter(joined.back().senses));
        } else {
            joined.push_back(std::move(line));
        }
    }
    lines = std::move(joined);
}

void mergeLines(Candidate& first, Candidate& other) {
    std::move(other.lines.begin(), other.lines.end(), std::back_inserter(first.lines));
    if (first.phonetic.empty()) first.phonetic = std::move(other.phonetic);
}

template <typename T> void keepMarked(std::vector<T>& items, const std::vector<bool>& keep) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!keep[i]) continue;
        if (kept != i) items[kept] = std::move(items[i]);
        ++kept;
    }
    items.resize(kept);
}

void addEntry(Candidate& candidate, Dictionary& dictionary) {
    joinLinesOfOneCode(candidate.lines);
    dropRepeatedSenses(candidate.lines);
    const std::size_t phoneticBytes =
        candidate.phonetic.empty() ? 0 : candidate.phonetic.size() + 1;
    const std::size_t budget = maxEntryLength - candidate.headword.size() - 1 - phoneticBytes;
    ComposedMeaning meaning = composeMeaning(candidate.lines, budget);
    if (meaning.text.empty()) return;
    std::optional<std::string> phonetic;
    if (!candidate.phonetic.empty()) phonetic = std::move(candidate.phonetic);
    dictionary.entries.push_back(
        {std::move(candidate.headword), std::move(phonetic), std::move(meaning.text)});
    dictionary.importance.push_back(candidate.importance);
    dictionary.senses.push_back(std::move(meaning.senses));
}

// Drops the entries whose headwords the layout cannot key. Dropping an entry moves the
// entry-block boundaries after it, so each drop needs a new look; the writer shortens the keys
// of entry blocks where it can, which keeps the drops rare. The layout depends on the headwords
// alone, so the looks go at copies without meanings, which are quick to check.
void dropUnkeyableEntries(Dictionary& dictionary, const libwriter::Layout& layout) {
    std::vector<libwriter::EnglishEntry> headwords;
    std::vector<std::size_t> original; // index in dictionary.entries of each headword
    headwords.reserve(dictionary.entries.size());
    for (const libwriter::EnglishEntry& entry : dictionary.entries) {
        original.push_back(headwords.size());
        headwords.push_back({entry.headword, std::nullopt, {}});
    }
    std::vector<bool> keep(dictionary.entries.size(), true);
    while (const auto problem = libwriter::findLayoutProblem(headwords, {}, layout)) {
        const auto at = static_cast<std::ptrdiff_t>(problem->index);
        keep[original[problem->index]] = false;
        headwords.erase(headwords.begin() + at);
        original.erase(original.begin() + at);
        ++dictionary.droppedEntries;
    }
    keepMarked(dictionary.entries, keep);
    keepMarked(dictionary.importance, keep);
    keepMarked(dictionary.senses, keep);
}

// Every Chinese word is a key of the Chinese index and must front-code after the word before
// it. Dropping those that cannot in one pass leaves findLayoutProblem only the words at which no
// index block can begin.
void dropUnchainableWords(Dictionary& dictionary) {
    std::vector<libwriter::ChineseWord> kept;
    kept.reserve(dictionary.words.size());
    for (libwriter::ChineseWord& word : dictionary.words) {
        const std::string_view previous =
            kept.empty() ? std::string_view() : std::string_view(kept.back().word);
        if (canFrontCode(previous, word.word)) {
            kept.push_back(std::move(word));
        } else {
            ++dictionary.droppedWords;
        }
    }
    dictionary.words = std::move(kept);
}

void dropUnkeyableWords(Dictionary& dictionary, const libwriter::Layout& layout) {
    dropUnchainableWords(dictionary);
    while (const auto problem =
               libwriter::findLayoutProblem(dictionary.entries, dictionary.words, layout)) {
        if (problem->kind != libwriter::LayoutProblem::Kind::ChineseWord) {
            throw std::logic_error("an English entry became unkeyable after the Chinese index");
        }
        dictionary.words.erase(dictionary.words.begin() +
                               static_cast<std::ptrdiff_t>(problem->index));
        ++dictionary.droppedWords;
    }
}

} // namespace

std::optional<Candidate> makeCandidate(const std::vector<std::string>& fields,
                                       const GbEncoder& gb) {
    const std::string_view headword = field(fields, word);
    if (!isHeadword(headword)) return std::nullopt;
    const std::string_view translationText = field(fields, translation);
    Candidate candidate;
    candidate.lines = parseTranslation(translationText, gb);
    if (!hasChineseSense(candidate.lines)) return std::nullopt;
    if (auto inflection = inflectionLine(field(fields, exchange), headword, translationText, gb)) {
        candidate.lines.insert(candidate.lines.begin(), std::move(*inflection));
    }
    candidate.headword = headword;
    candidate.phonetic = limitPhonetic(phoneticCode(field(fields, phonetic)), maxPhoneticLength);
    candidate.importance =
        Importance::fromFields(field(fields, frq), field(fields, bnc), field(fields, collins),
                               field(fields, oxford), field(fields, tag));
    return candidate;
}

std::vector<Candidate> readCandidates(std::string_view csv, const GbEncoder& gb,
                                      Dictionary& dictionary, const ReadProgress& progress) {
    csv::CsvReader reader(csv);
    std::vector<std::string> fields;
    reader.next(fields);
    std::vector<Candidate> candidates;
    while (reader.next(fields)) {
        if (++dictionary.rows % progressInterval == 0) progress(reader.position(), csv.size());
        if (auto candidate = makeCandidate(fields, gb)) candidates.push_back(std::move(*candidate));
    }
    progress(csv.size(), csv.size());
    return candidates;
}

void composeEntries(std::vector<Candidate> candidates, Dictionary& dictionary) {
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) {
                         const int order = libwriter::compareHeadwords(a.headword, b.headword);
                         if (order != 0) return order < 0;
                         return moreImportant(a.importance, b.importance);
                     });
    for (std::size_t first = 0; first < candidates.size();) {
        std::size_t next = first + 1;
        for (; next < candidates.size() && sameHeadword(candidates[first], candidates[next]);
             ++next) {
            mergeLines(candidates[first], candidates[next]);
            ++dictionary.mergedRows;
        }
        addEntry(candidates[first], dictionary);
        first = next;
    }
}

std::string entryText(const libwriter::EnglishEntry& entry) {
    std::string text = entry.headword + '\x01';
    if (entry.phonetic) text += *entry.phonetic + '\x02';
    return text + entry.meaning;
}

void buildIndexes(Dictionary& dictionary, const libwriter::Layout& layout) {
    dropUnkeyableEntries(dictionary, layout);
    dictionary.words = buildChineseIndex(dictionary.senses, dictionary.importance);
    dropUnkeyableWords(dictionary, layout);
}

bool canFrontCode(std::string_view previous, std::string_view key) {
    const auto shared = static_cast<std::size_t>(
        std::mismatch(previous.begin(), previous.end(), key.begin(), key.end()).first -
        previous.begin());
    return key.size() <= std::min(shared, maxKeptBytes) + maxNewBytes;
}

} // namespace lexora::mklib
