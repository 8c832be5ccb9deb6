// Helpers of the wordbank tests: scratch files, library contents and a second process.
#ifndef LEXORA_WORDBANK_TESTUTIL_H
#define LEXORA_WORDBANK_TESTUTIL_H

#include <filesystem>
#include <ostream>
#include "process.h"

#include <string>
#include <vector>

namespace fs = std::filesystem;

// A directory of one test's own, removed with its files; the open library is closed first.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string file(const std::string& name) const { return (directory_ / name).string(); }

  private:
    fs::path directory_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

// Where the build puts the hand-made library files of tests/data.
std::string testDataFile(const std::string& name);

struct Record {
    std::string phrase;
    std::string soundmark;
    std::string meaning;

    bool operator==(const Record&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Record& record);

// phrase NUL soundmark NUL meaning NUL.
std::string packed(const Record& record);

// Every record of the open library, in store order.
std::vector<Record> allRecords();

// The current record, or an empty one.
Record currentRecord();

using testsupport::runPeer;

// The peer's side.
int peerMain(int argc, char** argv);

#endif
