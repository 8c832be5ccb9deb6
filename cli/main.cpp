// lexora: the command-line side of LEXORA on Linux, a subcommand per library.
#include "commands.h"

#include "cpconv.h"

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] = "usage: lexora COMMAND [ARGS...]\n"
                      "\n"
                      "commands:\n"
                      "  convert   convert Chinese text between GB, BIG5 and UTF-8\n"
                      "  check     verify a dictionary file (LEXORA.LIB)\n"
                      "  userlib   list, find, add and delete the records of a user library\n"
                      "  lookup    look words up in the dictionary, as the main window does\n"
                      "  detect    tell whether files hold GB or BIG5 text\n"
                      "  decode    decode HZ, ISO-2022 and MIME mail and news text\n"
                      "\n"
                      "'lexora COMMAND --help' tells more about a command.\n";

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
};

const Command kCommands[] = {
    {"convert", lexora::cli::convertCommand}, {"check", lexora::cli::checkCommand},
    {"userlib", lexora::cli::userlibCommand}, {"lookup", lexora::cli::lookupCommand},
    {"detect", lexora::cli::detectCommand},   {"decode", lexora::cli::decodeCommand}};

// The libraries set themselves up when they load; say so when that failed.
bool librariesLoaded() {
    char reason[256];
    if (CPC_LoadFailure(reason, sizeof reason) == 0) return true;
    std::fprintf(stderr, "lexora: the code-set library could not start: %s\n", reason);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) != 0) continue;
        if (!librariesLoaded()) return 1;
        return command.run(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "lexora: unknown command '%s'\n\n%s", argv[1], kUsage);
    return 2;
}
