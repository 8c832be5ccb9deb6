// Files of the core's tests: fresh paths in the temporary folder, their bytes, and a recorder of
// the message boxes the code under test would show.
#ifndef LEXORA_APP_CORE_TESTFILES_H
#define LEXORA_APP_CORE_TESTFILES_H

#include <windows.h>

#include <string>
#include <vector>

namespace lexora::test {

// A path in the temporary folder (with its drive letter) that no file has yet; removed when the
// object goes.
class TemporaryFile {
  public:
    explicit TemporaryFile(const char* extension);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const char* path() const { return path_.c_str(); }
    bool exists() const;
    std::string bytes() const;
    void write(const std::string& bytes) const;

  private:
    std::string path_;
};

struct ShownMessage {
    std::string text;
    std::string caption;
    UINT type;
};

// Records the message boxes shown while it lives instead of showing them.
class MessageRecorder {
  public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<ShownMessage>& shown() const { return shown_; }

  private:
    std::vector<ShownMessage> shown_;
};

// A Linux path of the build machine as Wine sees it.
std::string hostPath(const char* path);

} // namespace lexora::test

#endif
