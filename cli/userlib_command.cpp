// lexora userlib: a user vocabulary library managed from the shell through wordbank. Arguments
// and output are UTF-8; the library's own page (GB or BIG5) is converted at the edge.
#include "commands.h"
#include "encoding.h"

#include "wordbank.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace lexora::cli {
namespace {

const char kUsage[] =
    "usage: lexora userlib FILE ACTION [ARGS...]\n"
    "\n"
    "Manages a user vocabulary library: a text file of phrases, each with a soundmark and a\n"
    "meaning, which the dictionary consults before its own words.\n"
    "\n"
    "actions:\n"
    "  list                          print every record, in the library's order\n"
    "  find PHRASE                   print the record of PHRASE (letter case does not count)\n"
    "  add PHRASE SOUNDMARK MEANING  add a record, or replace the one with the same phrase;\n"
    "                                SOUNDMARK may be ''\n"
    "  delete PHRASE                 remove the record of PHRASE\n"
    "  create                        start FILE afresh as an empty GB library\n"
    "\n"
    "Records are printed one a line as PHRASE, SOUNDMARK and MEANING separated by tabs, in\n"
    "UTF-8. Arguments are UTF-8 and are converted to the library's page, GB or BIG5.\n";

int failure(const std::string& message) {
    std::cerr << "lexora userlib: " << message << "\n";
    return 1;
}

int usageError(const std::string& message) {
    std::cerr << "lexora userlib: " << message << "\n"
              << "Try 'lexora userlib --help'.\n";
    return 2;
}

const char* pageName(int page) {
    return page == WBK_PAGE_BIG5 ? "BIG5" : "GB2312";
}

// One iconv conversion, made whole or not at all.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::optional<std::string> convert(const char* text, size_t length) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
        std::string out(length * 4 + 4, '\0');
        char* in = const_cast<char*>(text);
        char* outPos = out.data();
        size_t outLeft = out.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &in, &length, &outPos, &outLeft) == static_cast<size_t>(-1) || length != 0)
            return std::nullopt;
        out.resize(out.size() - outLeft);
        return out;
    }

  private:
    iconv_t cd_;
};

// An argument in the library's page, or nothing (with a message) when the page lacks one of
// its characters.
std::optional<std::string> toPage(const char* argument, int page) {
    Converter encoder(page == WBK_PAGE_BIG5 ? "CP950" : "GB2312", "UTF-8");
    std::optional<std::string> text = encoder.convert(argument, std::strlen(argument));
    if (!text)
        failure(std::string("'") + argument + "' is not UTF-8 text that " + pageName(page) +
                " can hold");
    return text;
}

std::vector<std::string> splitRecord(const char* record) {
    const char* soundmark = record + std::strlen(record) + 1;
    const char* meaning = soundmark + std::strlen(soundmark) + 1;
    return {record, soundmark, meaning};
}

// Prints the current record in UTF-8; a character the page cannot decode becomes '?'.
void printCurrent() {
    char record[WBK_RECORD_BUFFER];
    if (WBK_GetRecord(record, sizeof record) <= 0) return;
    int page = WBK_GetCodePage();
    size_t unknown = 0;
    std::vector<std::string> fields = splitRecord(record);
    std::cout << pageToUtf8(fields[0], page, unknown) << '\t'
              << pageToUtf8(fields[1], page, unknown) << '\t'
              << pageToUtf8(fields[2], page, unknown) << '\n';
}

struct Request {
    std::string file;
    std::vector<const char*> args;
};

int listRecords(const Request&) {
    for (int position = 0; WBK_GoRECN(position); ++position)
        printCurrent();
    return std::cout.flush() ? 0 : 1;
}

int findRecord(const Request& request) {
    std::optional<std::string> phrase = toPage(request.args[0], WBK_GetCodePage());
    if (!phrase) return 1;
    if (!WBK_Seek(phrase->c_str()))
        return failure(std::string("'") + request.args[0] + "' is not in " + request.file);
    printCurrent();
    return std::cout.flush() ? 0 : 1;
}

// Whether the open library holds record (packed) under phrase.
bool holds(const std::string& phrase, const std::string& record) {
    char stored[WBK_RECORD_BUFFER];
    return WBK_Seek(phrase.c_str()) &&
           WBK_GetRecord(stored, sizeof stored) == static_cast<int>(record.size()) &&
           std::memcmp(stored, record.data(), record.size()) == 0;
}

// Closes the library, which writes it, and checks by reading it again that the file holds the
// change (the record, or no record of phrase): wordbank saves without reporting failures.
int closeAndCheck(const Request& request, const std::string& phrase, const std::string* record) {
    WBK_Close();
    bool saved = WBK_Open(request.file.c_str()) &&
                 (record ? holds(phrase, *record) : !WBK_Seek(phrase.c_str()));
    WBK_Close();
    return saved ? 0 : failure("could not write " + request.file);
}

int addRecord(const Request& request) {
    int page = WBK_GetCodePage();
    std::string record;
    for (const char* argument : request.args) {
        std::optional<std::string> field = toPage(argument, page);
        if (!field) return 1;
        record += *field + '\0';
    }
    if (record.size() > WBK_MAX_FIELDS + 3)
        return failure("the record is too long: phrase, soundmark and meaning may hold " +
                       std::to_string(WBK_MAX_FIELDS) + " bytes together");
    if (!WBK_AddRecord(record.c_str()))
        return failure("the library cannot hold this record: phrase and meaning must not be "
                       "empty, and no field may hold a line break or a double quote followed "
                       "by a comma");
    return closeAndCheck(request, record.c_str(), &record);
}

int deleteRecord(const Request& request) {
    std::optional<std::string> phrase = toPage(request.args[0], WBK_GetCodePage());
    if (!phrase) return 1;
    if (!WBK_DeleteRecord(phrase->c_str()))
        return failure(std::string("'") + request.args[0] + "' is not in " + request.file);
    return closeAndCheck(request, *phrase, nullptr);
}

int createLibrary(const Request& request) {
    if (!WBK_Create(request.file.c_str())) return failure("cannot create '" + request.file + "'");
    return 0;
}

// Opens the library, saying why when the file cannot be read.
bool openLibrary(const Request& request) {
    std::FILE* probe = std::fopen(request.file.c_str(), "rb");
    if (!probe) {
        failure("cannot read '" + request.file + "': " + std::strerror(errno));
        return false;
    }
    std::fclose(probe);
    if (WBK_Open(request.file.c_str())) return true;
    failure("cannot read '" + request.file + "'");
    return false;
}

struct Action {
    const char* name;
    size_t argumentCount;
    bool readsLibrary;
    int (*run)(const Request& request);
};

const Action kActions[] = {{"list", 0, true, listRecords},
                           {"find", 1, true, findRecord},
                           {"add", 3, true, addRecord},
                           {"delete", 1, true, deleteRecord},
                           {"create", 0, false, createLibrary}};

const Action* findAction(const char* name) {
    for (const Action& action : kActions) {
        if (std::strcmp(action.name, name) == 0) return &action;
    }
    return nullptr;
}

} // namespace

int userlibCommand(int argc, char** argv) {
    if (argc >= 1 && std::strcmp(argv[0], "--help") == 0) {
        std::cout << kUsage;
        return 0;
    }
    if (argc < 2) return usageError("a file and an action are needed");
    const Action* action = findAction(argv[1]);
    if (!action) return usageError(std::string("unknown action '") + argv[1] + "'");
    Request request{argv[0], std::vector<const char*>(argv + 2, argv + argc)};
    if (request.args.size() != action->argumentCount)
        return usageError(std::string("'") + action->name + "' takes " +
                          std::to_string(action->argumentCount) + " argument(s)");
    if (request.file.size() > WBK_MAX_NAME)
        return failure("the file name is longer than " + std::to_string(WBK_MAX_NAME) + " bytes");
    if (action->readsLibrary && !openLibrary(request)) return 1;
    int status = action->run(request);
    WBK_Close();
    return status;
}

} // namespace lexora::cli
