// lexora lookup: asks the dictionary engine lxtran as the main window does and shows its answer
// in UTF-8. Words go to the engine in GB and its texts come back in GB; iconv converts at the
// edge.
#include "commands.h"
#include "encoding.h"
#include "entry_format.h"

#include "cpconv.h"
#include "lxtran.h"
#include "wordbank.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace lexora::cli {
namespace {

const char kUsage[] =
    "usage: lexora lookup [--neighbours] [--raw] [--userlib FILE] [--] WORD...\n"
    "       lexora lookup [--raw] [--userlib FILE] --capture TEXT [--mode 1|2|3]\n"
    "       lexora lookup [--raw] [--userlib FILE] --short TEXT [--split]\n"
    "       lexora lookup [--neighbours] [--raw] [--userlib FILE] --interactive\n"
    "\n"
    "Looks each WORD up in the dictionary and shows the answer as the main window does: the\n"
    "headword, its transcription in IPA and its meanings, one part of speech per line. An answer\n"
    "that is only the nearest entry is marked so. A Chinese word lists its English equivalents\n"
    "with their first meanings. Numbers are written out as amounts and domain names are named\n"
    "by their labels.\n"
    "\n"
    "options:\n"
    "  --neighbours     also list the 20 neighbouring index words, the word itself marked '>'\n"
    "  --raw            print the engine's texts as they are: GB, with their control bytes\n"
    "  --userlib FILE   consult the user library FILE before the dictionary\n"
    "  --capture TEXT   answer TEXT as captured from the screen, in one line; --mode chooses\n"
    "                   how Chinese text is cut: 1 first character, 2 shortest word,\n"
    "                   3 longest word (the default)\n"
    "  --short TEXT     translate a short English TEXT, such as a menu item, into short Chinese;\n"
    "                   --split translates word by word what does not translate whole\n"
    "  --interactive    read a word a line from standard input and answer each as it comes,\n"
    "                   until the input or an empty line ends\n"
    "\n"
    "Input and output are UTF-8. Exit status: 0 exact answers, 1 when an answer is only the\n"
    "nearest entry (or there is none), 2 on an error or bad usage; --interactive exits 0 unless\n"
    "an error ends it.\n";

enum ExitStatus { kExact = 0, kNearest = 1, kError = 2 };

// The translation buffer of the main window, and its rows' buffer.
constexpr int kTranslationSize = 400;
constexpr int kRowSize = 200;
// The capture prompt bar's output buffer.
constexpr int kCaptureSize = 1024;
// LXaTransHHStr reads at most 299 bytes and may need 120 bytes, then 80 more for each token.
constexpr size_t kShortTextLimit = 299;
constexpr size_t kShortOutputSize = 120 + 80 * kShortTextLimit;
constexpr int kMaxTransRefs = 80;
// A line of --interactive input; the rest of a longer one is skipped.
constexpr size_t kLineLimit = 1024;

enum class Request { Words, Capture, Short, Interactive };

struct Options {
    Request request = Request::Words;
    std::vector<std::string> words;
    std::string text;
    bool neighbours = false;
    bool raw = false;
    bool split = false;
    std::optional<int> mode;
    std::string userLibrary;
};

// The record LXaGetTransStruct copies out: the Chinese word, then its English entries.
struct TransRecord {
    int32_t wordNumber;
    int32_t refCount;
    uint8_t refs[kMaxTransRefs * 3];
};
static_assert(sizeof(TransRecord) == 248);

int usageError(const std::string& message) {
    std::cerr << "lexora lookup: " << message << "\n"
              << "Try 'lexora lookup --help'.\n";
    return kError;
}

int failure(const std::string& message) {
    std::cerr << "lexora lookup: " << message << "\n";
    return kError;
}

// The value of the option at argv[i], or nothing (with a message) when it is missing.
std::optional<std::string> optionValue(int argc, char** argv, int& i) {
    if (i + 1 < argc) return std::string(argv[++i]);
    usageError(std::string("option '") + argv[i] + "' needs a value");
    return std::nullopt;
}

// Takes one option that has a value; an exit code when the value is wrong.
std::optional<int> takeValueOption(const std::string& arg, const std::string& value,
                                   Options& options) {
    if (arg == "--userlib") {
        options.userLibrary = value;
    } else if (arg == "--mode") {
        if (value != "1" && value != "2" && value != "3")
            return usageError("--mode takes 1, 2 or 3, not '" + value + "'");
        options.mode = value[0] - '0';
    } else {
        options.request = arg == "--capture" ? Request::Capture : Request::Short;
        options.text = value;
    }
    return std::nullopt;
}

bool isValueOption(const std::string& arg) {
    return arg == "--userlib" || arg == "--mode" || arg == "--capture" || arg == "--short";
}

// Options that belong to another request than the one given.
std::optional<int> checkCombination(const Options& options, int requests) {
    if (requests > 1) return usageError("give either words, --capture, --short or --interactive");
    if (options.request == Request::Words && options.words.empty())
        return usageError("nothing to look up");
    if (options.mode && options.request != Request::Capture)
        return usageError("--mode goes with --capture");
    if (options.split && options.request != Request::Short)
        return usageError("--split goes with --short");
    if (options.neighbours && options.request != Request::Words &&
        options.request != Request::Interactive)
        return usageError("--neighbours goes with words");
    return std::nullopt;
}

// Sets the option a flag names; false when arg names none.
bool takeFlag(const std::string& arg, Options& options) {
    if (arg == "--neighbours")
        options.neighbours = true;
    else if (arg == "--raw")
        options.raw = true;
    else if (arg == "--split")
        options.split = true;
    else if (arg == "--interactive")
        options.request = Request::Interactive;
    else
        return false;
    return true;
}

// Parses the arguments into options; returns an exit code when the command should stop.
std::optional<int> parseOptions(int argc, char** argv, Options& options) {
    int textRequests = 0;
    bool optionsEnded = false;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            std::cout << kUsage;
            return kExact;
        } else if (isValueOption(arg)) {
            std::optional<std::string> value = optionValue(argc, argv, i);
            if (!value) return kError;
            if (std::optional<int> exitCode = takeValueOption(arg, *value, options))
                return exitCode;
            if (arg == "--capture" || arg == "--short") ++textRequests;
        } else if (!takeFlag(arg, options)) {
            return usageError("unknown option '" + arg + "'");
        }
    }
    int interactive = options.request == Request::Interactive ? 1 : 0;
    return checkCombination(options, textRequests + interactive + (options.words.empty() ? 0 : 1));
}

// Writes the engine's GB texts to standard output, in UTF-8 or as they are.
class Printer {
  public:
    explicit Printer(bool raw) : raw_(raw) {}

    bool raw() const { return raw_; }

    std::string utf8(const std::string& gb) const {
        size_t unknown = 0;
        return raw_ ? gb : pageToUtf8(gb, CPC_PAGE_GB, unknown);
    }

    void line(const std::string& gb) const { std::cout << utf8(gb) << '\n'; }

  private:
    bool raw_;
};

// The GB form of a UTF-8 argument; says so when some of its characters have none.
std::string toGb(const std::string& argument) {
    size_t unknown = 0;
    std::string gb = utf8ToGb(argument, unknown);
    if (unknown > 0)
        std::cerr << "lexora lookup: " << unknown << " character(s) of '" << argument
                  << "' have no GB form and became '?'\n";
    return gb;
}

// What the engine answered for a word, with the state the main window reads right after.
struct Answer {
    int result = -1;
    std::string entry;
    bool chinese = false;
    int currentWord = 0;
    TransRecord trans{};
};

Answer translate(const std::string& gbWord) {
    Answer answer;
    std::vector<char> out(kTranslationSize, '\0');
    answer.result = LXaTranslateStr(LXA_MODE_LOOKUP, gbWord.c_str(), out.data(), kTranslationSize);
    answer.entry = out.data();
    answer.chinese = LXaTransIsZWStr() != 0;
    if (answer.chinese)
        LXaGetTransStruct(&answer.trans);
    else
        answer.currentWord = LXaGetCurWrdN();
    return answer;
}

bool fromUserLibrary(const Answer& answer) {
    return answer.result > 1;
}

int exitStatusOf(int result) {
    if (result < 0) return kError;
    return result == 0 ? kNearest : kExact;
}

std::string markOf(const Answer& answer) {
    if (answer.result == 0) return " (nearest entry)";
    return fromUserLibrary(answer) ? " (user library)" : "";
}

void printEntry(const std::string& utf8Entry, const std::string& mark) {
    EntryFields fields = splitEntry(utf8Entry);
    std::cout << fields.headword << mark << '\n';
    if (fields.hasPhonetic && !fields.phonetic.empty())
        std::cout << '[' << phoneticToIpa(fields.phonetic) << "]\n";
    for (const std::string& line : meaningLines(fields.meaning))
        std::cout << line << '\n';
}

int32_t referenceAt(const TransRecord& trans, int index) {
    const uint8_t* bytes = trans.refs + 3 * index;
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16;
}

std::optional<std::string> englishEntry(int number) {
    std::vector<char> out(kTranslationSize, '\0');
    if (LXaGetMeanN(number, out.data(), kTranslationSize) == 0) return std::nullopt;
    return std::string(out.data());
}

std::optional<std::string> chineseWord(int number) {
    char out[kRowSize] = {};
    if (LXaGetZWMeanN(number, out, kRowSize) == 0) return std::nullopt;
    return std::string(out);
}

// A Chinese word: the word found (or the nearest below it) and its English equivalents, each
// with its first meaning.
void printEquivalents(const Answer& answer, const Printer& printer) {
    int count = std::clamp(answer.trans.refCount, 0, kMaxTransRefs);
    std::string word = chineseWord(answer.trans.wordNumber).value_or("");
    std::cout << printer.utf8(word) << markOf(answer) << '\n'
              << count << (count == 1 ? " English equivalent" : " English equivalents")
              << (count > 0 ? ":" : "") << '\n';
    for (int i = 0; i < count; ++i) {
        std::optional<std::string> entry = englishEntry(referenceAt(answer.trans, i));
        if (!entry) break;
        EntryFields fields = splitEntry(printer.utf8(*entry));
        std::cout << "  " << fields.headword << "  " << firstSense(fields.meaning) << '\n';
    }
}

void printAnswer(const Answer& answer, const Printer& printer) {
    if (printer.raw())
        printer.line(answer.entry);
    else if (answer.chinese && !fromUserLibrary(answer))
        printEquivalents(answer, printer);
    else
        printEntry(printer.utf8(answer.entry), markOf(answer));
}

void printRow(const std::string& row, bool selected, const Printer& printer) {
    std::cout << (selected ? "> " : "  ");
    printer.line(row);
}

// English rows that cannot be read show empty; Chinese rows end at the first that cannot.
void printNeighbours(const Answer& answer, const Printer& printer) {
    bool found = answer.result != 0;
    int current = answer.chinese ? answer.trans.wordNumber : answer.currentWord;
    ListWindow window = listWindow(current, answer.chinese ? LXaGetMaxZWWrdN() : LXaGetMaxWrdN());
    std::cout << "neighbours:\n";
    for (int n = window.start; n < window.start + window.rows; ++n) {
        std::optional<std::string> row = answer.chinese ? chineseWord(n) : englishEntry(n);
        if (!row && answer.chinese) break;
        printRow(listRow(row.value_or("")), found && n == current, printer);
    }
}

// Answers one word; its exit status.
int lookUpWord(const std::string& word, const Options& options) {
    Printer printer(options.raw);
    Answer answer = translate(toGb(word));
    if (answer.result < 0) {
        failure("no answer for '" + word + "': it is blank, or the dictionary cannot be read");
        return kError;
    }
    printAnswer(answer, printer);
    if (options.neighbours) printNeighbours(answer, printer);
    return exitStatusOf(answer.result);
}

int lookUpWords(const Options& options) {
    int status = kExact;
    for (size_t i = 0; i < options.words.size(); ++i) {
        if (i > 0) std::cout << '\n';
        status = std::max(status, lookUpWord(options.words[i], options));
    }
    return status;
}

enum class LineRead { Line, TooLong, End };

// One line of at most kLineLimit bytes, without its end (a CR before the LF goes too).
LineRead readLine(std::istream& in, std::string& line) {
    line.clear();
    for (int c; (c = in.get()) != std::char_traits<char>::eof();) {
        if (c == '\n') break;
        if (line.size() == kLineLimit) {
            in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
            return LineRead::TooLong;
        }
        line.push_back(static_cast<char>(c));
    }
    if (line.empty() && !in) return LineRead::End;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return LineRead::Line;
}

// A word a line from standard input, each answered before the next is read, until the input
// or an empty line ends. A terminal gets a prompt on standard error.
int lookUpInteractively(const Options& options) {
    bool prompted = isatty(STDIN_FILENO) != 0;
    std::string line;
    for (bool first = true;; first = false) {
        // Answers are apart by an empty line, as for words given; on a terminal it goes before
        // the prompt.
        if (prompted) std::cerr << (first ? "> " : "\n> ") << std::flush;
        LineRead read = readLine(std::cin, line);
        if (read == LineRead::End || (read == LineRead::Line && line.empty())) return kExact;
        if (!first && !prompted) std::cout << '\n';
        if (read == LineRead::TooLong)
            failure("a line longer than " + std::to_string(kLineLimit) + " bytes was skipped");
        else
            lookUpWord(line, options);
        std::cout.flush();
        if (!std::cout) return kError;
    }
}

// The one-line answer of the capture prompt bar; exact when the engine flags it so.
int answerCapture(const Options& options) {
    std::string text = toGb(options.text);
    int exact = 0;
    int32_t rectangle[4] = {};
    std::vector<char> out(kCaptureSize, '\0');
    int answered =
        LXaTransStrInPT(&exact, text.data(), static_cast<int>(text.size()), rectangle, out.data(),
                        kCaptureSize - 1, options.mode.value_or(LXA_MATCH_LONGEST));
    if (answered == 0) {
        std::cerr << "lexora lookup: no answer for '" << options.text << "'\n";
        return kNearest;
    }
    Printer(options.raw).line(out.data());
    return exact ? kExact : kNearest;
}

int answerShort(const Options& options) {
    std::string text = toGb(options.text);
    std::vector<char> out(kShortOutputSize, '\0');
    int length = LXaTransHHStr(text.c_str(), out.data(), options.split ? 1 : 0);
    if (length <= 0) {
        std::cerr << "lexora lookup: no short translation of '" << options.text << "'\n";
        return kNearest;
    }
    Printer(options.raw).line(out.data());
    return kExact;
}

bool engineLoaded() {
    char reason[512];
    if (LXaLoadFailure(reason, sizeof reason) == 0) return true;
    failure(std::string("the dictionary engine could not start: ") + reason);
    return false;
}

int answer(const Options& options) {
    if (options.request == Request::Capture) return answerCapture(options);
    if (options.request == Request::Short) return answerShort(options);
    if (options.request == Request::Interactive) return lookUpInteractively(options);
    return lookUpWords(options);
}

} // namespace

int lookupCommand(int argc, char** argv) {
    Options options;
    if (std::optional<int> exitCode = parseOptions(argc, argv, options)) return *exitCode;
    if (!engineLoaded()) return kError;
    CPC_SetCodePage(CPC_PAGE_GB);
    if (!options.userLibrary.empty() && WBK_Open(options.userLibrary.c_str()) == 0)
        return failure("cannot read the user library '" + options.userLibrary + "'");
    int status = answer(options);
    std::cout.flush();
    return std::cout ? status : kError;
}

} // namespace lexora::cli
