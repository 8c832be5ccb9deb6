#include "meaning.h"

#include "csv.h"
#include "utf8.h"

#include <algorithm>

namespace lexora::mklib {

namespace {

struct TagCode {
    std::string_view label;
    uint8_t code;
};

// The labels of the part-of-speech table, then ECDICT's other spellings of them.
constexpr TagCode tagCodes[] = {
    {"a.", 3},      {"ad.", 4},     {"art.", 5},   {"conj.", 6},   {"int.", 7},    {"n.", 8},
    {"num.", 11},   {"prep.", 12},  {"pron.", 14}, {"v.", 15},     {"aux.v.", 16}, {"vi.", 17},
    {"vt.", 18},    {"vbl.", 19},   {"auxv.", 20}, {"st.", 21},    {"pr.", 22},    {"pp.", 23},
    {"pl.", 24},    {"ing.", 25},   {"adj.", 27},  {"adv.", 28},   {"pla.", 29},   {"pn.", 30},
    {"interj.", 7}, {"exclam.", 7}, {"aux.", 16},  {"vt.vi.", 15}, {"vi.vt.", 15}};

constexpr std::size_t maxTagLength = 8;

struct FormName {
    char form;
    uint8_t code;
    std::string_view name;
};

// The forms of ECDICT's exchange field, with the part of speech the form belongs to.
constexpr FormName formNames[] = {{'s', 8, "的复数"},          {'p', 15, "的过去式"},
                                  {'d', 15, "的过去分词"},     {'i', 15, "的现在分词"},
                                  {'3', 15, "的第三人称单数"}, {'r', 3, "的比较级"},
                                  {'t', 3, "的最高级"}};

constexpr std::size_t maxLemmaLength = 30;
constexpr std::string_view webPrefix = "[网络]";
constexpr std::string_view ideographicSpace = "\u3000";

bool isLower(char c) {
    return c >= 'a' && c <= 'z';
}

bool isAsciiAlphanumeric(char c) {
    return isLower(c) || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string_view trim(std::string_view text) {
    for (;;) {
        if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
            text.remove_prefix(1);
        } else if (text.starts_with(ideographicSpace)) {
            text.remove_prefix(ideographicSpace.size());
        } else {
            break;
        }
    }
    for (;;) {
        if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
            text.remove_suffix(1);
        } else if (text.ends_with(ideographicSpace)) {
            text.remove_suffix(ideographicSpace.size());
        } else {
            return text;
        }
    }
}

// The length of a leading tag: lower-case words each ended by '.', not followed by a letter or
// digit; 0 when the line has none.
std::size_t tagLength(std::string_view line) {
    std::size_t pos = 0;
    for (;;) {
        std::size_t end = pos;
        while (end < line.size() && isLower(line[end]))
            ++end;
        if (end == pos || end >= line.size() || line[end] != '.') break;
        pos = end + 1;
    }
    if (pos == 0 || pos > maxTagLength) return 0;
    if (pos < line.size() && isAsciiAlphanumeric(line[pos])) return 0;
    return pos;
}

uint8_t codeOfTag(std::string_view label) {
    for (const TagCode& tag : tagCodes) {
        if (tag.label == label) return tag.code;
    }
    return 0;
}

bool isOpeningBracket(char32_t c) {
    return std::u32string_view(U"([{<（【〔《〈［｛").find(c) != std::u32string_view::npos;
}

bool isClosingBracket(char32_t c) {
    return std::u32string_view(U")]}>）】〕》〉］｝").find(c) != std::u32string_view::npos;
}

bool isSenseSeparator(char32_t c) {
    return c == U',' || c == U';' || c == U'；' || c == U'，' || c == U'、';
}

void addSense(std::string_view sense, std::vector<std::string>& senses) {
    sense = trim(sense);
    if (!sense.empty()) senses.emplace_back(sense);
}

std::optional<MeaningLine> convertLine(std::string_view line, const GbEncoder& gb) {
    const TaggedLine tagged = splitTag(line);
    MeaningLine result;
    result.code = tagged.code;
    if (tagged.code == 0) result.label = tagged.label;
    for (const std::string& sense : splitSenses(tagged.senses)) {
        std::optional<std::string> converted = gb.encode(sense);
        if (!converted) continue;
        if (std::find(result.senses.begin(), result.senses.end(), *converted) !=
            result.senses.end()) {
            continue;
        }
        result.senses.push_back(std::move(*converted));
    }
    if (result.senses.empty()) return std::nullopt;
    return result;
}

bool isPrintableAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return isLower(c) ? static_cast<char>(c - 'a' + 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

bool isUsableLemma(std::string_view lemma, std::string_view headword) {
    return !lemma.empty() && lemma.size() <= maxLemmaLength && isPrintableAscii(lemma) &&
           lemma.find_first_of(",;") == std::string_view::npos &&
           !equalsIgnoringCase(lemma, headword);
}

// The value of one key of the exchange field ("0:cat/1:s3").
std::string_view exchangeValue(std::string_view exchange, char key) {
    for (std::size_t start = 0; start < exchange.size();) {
        const std::size_t end = std::min(exchange.find('/', start), exchange.size());
        const std::string_view item = exchange.substr(start, end - start);
        if (item.size() > 2 && item[0] == key && item[1] == ':') return item.substr(2);
        start = end + 1;
    }
    return {};
}

bool namesLemmaForm(std::string_view translation, std::string_view lemma) {
    for (std::size_t pos = translation.find(lemma); pos != std::string_view::npos;
         pos = translation.find(lemma, pos + 1)) {
        const std::string_view after = trim(translation.substr(pos + lemma.size()));
        if (after.starts_with("的")) return true;
    }
    return false;
}

const FormName* findForm(char form) {
    for (const FormName& name : formNames) {
        if (name.form == form) return &name;
    }
    return nullptr;
}

struct Selection {
    std::vector<std::size_t> taken; // senses taken from the start of each line
    std::size_t length = 0;
};

// The bytes that open a line before its first sense.
std::size_t openingLength(const MeaningLine& line, bool afterOtherLines) {
    if (line.code != 0) return 1;
    const std::size_t separator = afterOtherLines ? 1 : 0;
    return separator + (line.label.empty() ? 0 : line.label.size() + 1);
}

Selection selectSenses(const std::vector<MeaningLine>& lines, std::size_t budget) {
    Selection selection{std::vector<std::size_t>(lines.size(), 0), 0};
    std::vector<bool> closed(lines.size(), false);
    std::size_t longest = 0;
    for (const MeaningLine& line : lines)
        longest = std::max(longest, line.senses.size());
    for (std::size_t round = 0; round < longest; ++round) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (closed[i] || round >= lines[i].senses.size()) continue;
            const std::size_t prefix =
                round == 0 ? openingLength(lines[i], selection.length > 0) : 1;
            const std::size_t cost = prefix + lines[i].senses[round].size();
            if (selection.length + cost > budget) {
                closed[i] = true;
                continue;
            }
            selection.length += cost;
            ++selection.taken[i];
        }
    }
    return selection;
}

void appendLineOpening(const MeaningLine& line, std::string& text) {
    const bool afterOtherLines = !text.empty();
    if (line.code != 0) {
        text += static_cast<char>(line.code);
        return;
    }
    if (afterOtherLines) text += ',';
    if (!line.label.empty()) text += line.label + ' ';
}

// The first sense of the first line cut to the budget at a character boundary.
ComposedMeaning cutFirstSense(const MeaningLine& line, std::size_t budget) {
    ComposedMeaning meaning;
    appendLineOpening(line, meaning.text);
    if (meaning.text.size() >= budget) return {};
    const std::string& sense = line.senses.front();
    std::size_t end = 0;
    while (end < sense.size()) {
        const std::size_t next = end + gbCharacterLength(static_cast<unsigned char>(sense[end]));
        if (meaning.text.size() + next > budget) break;
        end = next;
    }
    meaning.text.append(sense, 0, end);
    return meaning;
}

} // namespace

TaggedLine splitTag(std::string_view line) {
    line = trim(line);
    const std::size_t length = tagLength(line);
    if (length == 0) return {0, {}, line};
    const std::string_view label = line.substr(0, length);
    return {codeOfTag(label), label, trim(line.substr(length))};
}

std::vector<std::string> splitSenses(std::string_view text) {
    std::vector<std::string> senses;
    std::string sense;
    int depth = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t c = nextCharacter(text, pos);
        if (isOpeningBracket(c)) {
            ++depth;
        } else if (isClosingBracket(c) && depth > 0) {
            --depth;
        }
        if (depth == 0 && isSenseSeparator(c)) {
            addSense(sense, senses);
            sense.clear();
        } else if (c == U',') {
            sense += "，";
        } else if (c == U';') {
            sense += "；";
        } else {
            sense.append(text.substr(start, pos - start));
        }
    }
    addSense(sense, senses);
    return senses;
}

std::vector<MeaningLine> parseTranslation(std::string_view translation, const GbEncoder& gb) {
    std::vector<MeaningLine> lines;
    std::vector<MeaningLine> webLines;
    const std::string text = csv::unescapeLineBreaks(translation);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = trim(std::string_view(text).substr(start, end - start));
        start = end + 1;
        std::optional<MeaningLine> converted = convertLine(line, gb);
        if (!converted) continue;
        (line.starts_with(webPrefix) ? webLines : lines).push_back(std::move(*converted));
    }
    return lines.empty() ? webLines : lines;
}

std::optional<MeaningLine> inflectionLine(std::string_view exchange, std::string_view headword,
                                          std::string_view translation, const GbEncoder& gb) {
    const std::string_view lemma = exchangeValue(exchange, '0');
    const std::string_view forms = exchangeValue(exchange, '1');
    if (forms.empty() || !isUsableLemma(lemma, headword)) return std::nullopt;
    const FormName* form = findForm(forms.front());
    if (form == nullptr || namesLemmaForm(translation, lemma)) return std::nullopt;
    std::optional<std::string> sense = gb.encode(std::string(lemma) + std::string(form->name));
    if (!sense) return std::nullopt;
    return MeaningLine{form->code, {}, {std::move(*sense)}};
}

bool hasChineseSense(const std::vector<MeaningLine>& lines) {
    return std::any_of(lines.begin(), lines.end(), [](const MeaningLine& line) {
        return std::any_of(line.senses.begin(), line.senses.end(), [](const std::string& sense) {
            return std::any_of(sense.begin(), sense.end(),
                               [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        });
    });
}

ComposedMeaning composeMeaning(const std::vector<MeaningLine>& lines, std::size_t budget) {
    const Selection selection = selectSenses(lines, budget);
    if (selection.length == 0)
        return lines.empty() ? ComposedMeaning{} : cutFirstSense(lines[0], budget);
    ComposedMeaning meaning;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t s = 0; s < selection.taken[i]; ++s) {
            if (s == 0) {
                appendLineOpening(lines[i], meaning.text);
            } else {
                meaning.text += ',';
            }
            meaning.text += lines[i].senses[s];
            meaning.senses.push_back(lines[i].senses[s]);
        }
    }
    return meaning;
}

} // namespace lexora::mklib
