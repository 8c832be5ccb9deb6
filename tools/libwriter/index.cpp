// The two indexes: which key stands for each entry block or word, where the index blocks begin,
// and the front-coded bytes of the blocks.
//
// A reader finds a key in two steps: a linear scan of the main index, whose records hold each
// index block's first key cut short (13 bytes English, 7 Chinese), then a scan of that block.
// So a block may begin only at a key that front-codes on its own (at most 15 bytes) and whose
// cut form still sorts above the headword or word just before it; otherwise a query for that
// earlier headword or word would stop at the wrong main record.
#include "internal.h"

#include <algorithm>

namespace lexora::libwriter::detail {
namespace {

unsigned char foldLetter(unsigned char c) {
    return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c;
}

size_t codedSize(const std::vector<std::string>& keys, size_t key, size_t blockStart) {
    const size_t kept = key == blockStart ? 0 : keptBytes(keys[key - 1], keys[key]);
    return 1 + keys[key].size() - kept;
}

bool canFollow(std::string_view previous, std::string_view key) {
    return key.size() - keptBytes(previous, key) <= kMaxFrontCodedBytes;
}

// Fills blocks greedily, always leaving room for the head byte 0 that ends a block, so a reader
// never has to tell a block's last key from its end by position. When a key does not fit, the
// next block begins at it or, if it may not begin a block, at the last key before it that may;
// failAt(key) throws when there is none.
template <typename CanBegin, typename FailAt>
std::vector<size_t> splitIntoBlocks(const std::vector<std::string>& keys, size_t blockSize,
                                    CanBegin canBegin, FailAt failAt) {
    std::vector<size_t> starts{0};
    size_t used = 0;
    for (size_t key = 0; key < keys.size();) {
        const size_t size = codedSize(keys, key, starts.back());
        if (used + size < blockSize) {
            used += size;
            ++key;
            continue;
        }
        size_t start = key;
        while (start > starts.back() && !canBegin(start))
            --start;
        if (start == starts.back()) failAt(key);
        starts.push_back(start);
        used = 0;
        key = start;
    }
    return starts;
}

void checkMainCount(const IndexPlan& plan, const char* language) {
    if (plan.blockStarts.size() > kMaxMainRecords)
        throw std::invalid_argument(std::string("the ") + language + " main index would need " +
                                    std::to_string(plan.blockStarts.size()) +
                                    " records, more than 65535: use larger blocks");
}

// The shortest prefix of a headword that sorts above the given headword.
std::string_view shortestPrefixAbove(std::string_view headword, std::string_view below) {
    size_t length = 1;
    while (length < headword.size() &&
           compareKeys(headword.substr(0, length), below, kMaxKeyLength, true) <= 0)
        ++length;
    return headword.substr(0, length);
}

// English keys are compared with queries without regard to the case of letters, so a key may
// take the case of the key before it wherever the two agree but for case, and keep more bytes.
std::string inCaseOf(std::string_view previous, std::string_view key) {
    std::string adapted(key);
    for (size_t i = 0;
         i < std::min(previous.size(), key.size()) && foldLetter(previous[i]) == foldLetter(key[i]);
         ++i)
        adapted[i] = previous[i];
    return adapted;
}

// Each entry block's key: its first headword when that can follow the key before it, perhaps in
// that key's case; otherwise the shortest prefix of it above the previous block's last headword.
// Such a prefix sends every headword to the same block, since keys are only compared with
// queries.
std::string englishKey(const std::vector<EnglishEntry>& entries, size_t first,
                       std::string_view previous) {
    const std::string& headword = entries[first].headword;
    if (canFollow(previous, headword)) return headword;
    std::string key = inCaseOf(previous, headword);
    if (canFollow(previous, key)) return key;
    const std::string_view below =
        first == 0 ? std::string_view() : std::string_view(entries[first - 1].headword);
    key = inCaseOf(previous, shortestPrefixAbove(headword, below));
    if (canFollow(previous, key)) return key;
    throw LayoutError({LayoutProblem::Kind::EnglishEntry, first},
                      entryName(first, entries[first]) +
                          ": no key for its entry block front-codes after the key \"" +
                          std::string(previous) + "\"");
}

std::vector<std::string> chooseEnglishKeys(const std::vector<EnglishEntry>& entries,
                                           size_t perBlock) {
    std::vector<std::string> keys;
    for (size_t first = 0; first < entries.size(); first += perBlock)
        keys.push_back(englishKey(entries, first, keys.empty() ? std::string_view() : keys.back()));
    return keys;
}

} // namespace

int compareKeys(std::string_view a, std::string_view b, size_t limit, bool folded) {
    const size_t common = std::min({a.size(), b.size(), limit});
    for (size_t i = 0; i < common; ++i) {
        unsigned char x = a[i];
        unsigned char y = b[i];
        if (x == y) continue;
        if (folded) {
            x = foldLetter(x);
            y = foldLetter(y);
            if (x == y) continue;
        }
        return x < y ? -1 : 1;
    }
    const size_t lengthA = std::min(a.size(), limit);
    const size_t lengthB = std::min(b.size(), limit);
    return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
}

size_t keptBytes(std::string_view previous, std::string_view key) {
    const size_t limit = std::min({previous.size(), key.size(), kMaxFrontCodedBytes});
    size_t kept = 0;
    while (kept < limit && previous[kept] == key[kept])
        ++kept;
    return kept;
}

IndexPlan planEnglishIndex(const std::vector<EnglishEntry>& entries, const Layout& layout) {
    const size_t perBlock = layout.entriesPerBlock;
    IndexPlan plan;
    plan.keys = chooseEnglishKeys(entries, perBlock);
    const auto canBegin = [&](size_t block) {
        const std::string& key = plan.keys[block];
        return key.size() <= kMaxFrontCodedBytes &&
               compareKeys(key, entries[block * perBlock - 1].headword, kEnglishMainKeyLength,
                           true) > 0;
    };
    const auto failAt = [&](size_t block) {
        const size_t first = block * perBlock;
        throw LayoutError({LayoutProblem::Kind::EnglishEntry, first},
                          entryName(first, entries[first]) +
                              ": no English index block can begin at or shortly before its "
                              "entry block (keys there are longer than 15 bytes or match the "
                              "headword before them in 13 bytes)");
    };
    plan.blockStarts = splitIntoBlocks(plan.keys, layout.englishIndexBlockSize, canBegin, failAt);
    checkMainCount(plan, "English");
    return plan;
}

IndexPlan planChineseIndex(const std::vector<ChineseWord>& words, const Layout& layout) {
    IndexPlan plan;
    for (size_t i = 0; i < words.size(); ++i) {
        if (!canFollow(i == 0 ? std::string_view() : words[i - 1].word, words[i].word))
            throw LayoutError({LayoutProblem::Kind::ChineseWord, i},
                              wordName(i) + ": does not front-code after the word before it");
        plan.keys.push_back(words[i].word);
    }
    if (plan.keys.empty()) return plan;
    const auto canBegin = [&](size_t word) {
        return plan.keys[word].size() <= kMaxFrontCodedBytes &&
               compareKeys(plan.keys[word], plan.keys[word - 1], kChineseMainKeyLength, false) > 0;
    };
    const auto failAt = [](size_t word) {
        throw LayoutError({LayoutProblem::Kind::ChineseWord, word},
                          wordName(word) +
                              ": no Chinese index block can begin at or shortly before it "
                              "(words there are longer than 15 bytes or match the word before "
                              "them in 7 bytes)");
    };
    plan.blockStarts = splitIntoBlocks(plan.keys, layout.chineseIndexBlockSize, canBegin, failAt);
    checkMainCount(plan, "Chinese");
    return plan;
}

std::vector<uint8_t> encodeIndexBlocks(const IndexPlan& plan, size_t blockSize) {
    std::vector<uint8_t> out(plan.blockStarts.size() * blockSize, 0);
    for (size_t block = 0; block < plan.blockStarts.size(); ++block) {
        const size_t start = plan.blockStarts[block];
        const size_t end =
            block + 1 < plan.blockStarts.size() ? plan.blockStarts[block + 1] : plan.keys.size();
        size_t at = block * blockSize;
        for (size_t key = start; key < end; ++key) {
            const size_t kept = key == start ? 0 : keptBytes(plan.keys[key - 1], plan.keys[key]);
            const std::string_view added = std::string_view(plan.keys[key]).substr(kept);
            out[at++] = static_cast<uint8_t>(added.size() << 4 | kept);
            std::copy(added.begin(), added.end(), out.begin() + at);
            at += added.size();
        }
    }
    return out;
}

} // namespace lexora::libwriter::detail
