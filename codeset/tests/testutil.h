// Helpers of the cpconv tests: a second process, and a second copy of the library.
#ifndef LEXORA_CPCONV_TESTUTIL_H
#define LEXORA_CPCONV_TESTUTIL_H

#include "process.h"

#include <filesystem>
#include <string>
#include <vector>

using testsupport::runPeer;

// The peer's side: "get" exits with the current page; "set N" sets page N and exits with what
// the library returned.
int peerMain(int argc, char** argv);

// A copy of cpconv in a directory of its own, loaded as a separate library instance.
class LibraryCopy {
  public:
    // Copies the library and the named files from beside it (a file given as "NAME:SIZE" is
    // copied truncated to SIZE bytes).
    explicit LibraryCopy(const std::vector<std::string>& files);
    ~LibraryCopy();
    LibraryCopy(const LibraryCopy&) = delete;
    LibraryCopy& operator=(const LibraryCopy&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    void* symbol(const char* name) const;

  private:
    std::filesystem::path directory_;
    void* handle_ = nullptr;
};

#endif
