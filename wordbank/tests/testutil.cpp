#include "testutil.h"

#include "process.h"
#include "wordbank.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// A fresh directory name: test programs run in parallel, and peers beside them.
fs::path uniqueDirectory() {
#ifdef _WIN32
    unsigned long process = GetCurrentProcessId();
#else
    unsigned long process = getpid();
#endif
    static int serial = 0;
    return fs::temp_directory_path() /
           ("wordbank-test-" + std::to_string(process) + "-" + std::to_string(++serial));
}

// Peer: opens FILE, adds the record "peer" and ends the process without closing the library.
int addAndExit(const char* file) {
    if (!WBK_Open(file)) return 10;
    std::string record = packed({"peer", "pi:E", "left open"});
    return WBK_AddRecord(record.c_str()) ? 0 : 11;
}

#ifndef _WIN32
// Peer: opens FILE, adds a record and closes it while files may grow to LIMIT bytes at most, so
// that writing the library fails part of the way.
int saveWithLimit(const char* file, long limit) {
    signal(SIGXFSZ, SIG_IGN);
    if (!WBK_Open(file)) return 10;
    std::string record = packed({"limited", "", "written in part"});
    if (!WBK_AddRecord(record.c_str())) return 11;
    rlimit size{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
    if (setrlimit(RLIMIT_FSIZE, &size) != 0) return 12;
    return WBK_Close() == 1 ? 0 : 13;
}
#endif

} // namespace

ScratchDir::ScratchDir() : directory_(uniqueDirectory()) {
    fs::create_directories(directory_);
}

ScratchDir::~ScratchDir() {
    WBK_Close();
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string testDataFile(const std::string& name) {
    return (fs::path(testsupport::selfPath()).parent_path() / "wordbank_test_data" / name).string();
}

std::ostream& operator<<(std::ostream& out, const Record& record) {
    return out << '{' << record.phrase << " | " << record.soundmark << " | " << record.meaning
               << '}';
}

std::string packed(const Record& record) {
    return record.phrase + '\0' + record.soundmark + '\0' + record.meaning + '\0';
}

Record currentRecord() {
    char buffer[WBK_RECORD_BUFFER];
    if (WBK_GetRecord(buffer, sizeof buffer) <= 0) return {};
    const char* soundmark = buffer + std::strlen(buffer) + 1;
    const char* meaning = soundmark + std::strlen(soundmark) + 1;
    return {buffer, soundmark, meaning};
}

std::vector<Record> allRecords() {
    std::vector<Record> records;
    for (int position = 0; WBK_GoRECN(position); ++position)
        records.push_back(currentRecord());
    return records;
}

int peerMain(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[0], "add-and-exit") == 0) return addAndExit(argv[1]);
#ifndef _WIN32
    if (argc == 3 && std::strcmp(argv[0], "save-with-limit") == 0)
        return saveWithLimit(argv[1], std::atol(argv[2]));
#endif
    return 100;
}
