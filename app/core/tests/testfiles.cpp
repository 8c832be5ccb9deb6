#include "testfiles.h"

#include "core/messages.h"

#include <cstdio>

namespace lexora::test {

namespace {

int fileCounter = 0;

} // namespace

TemporaryFile::TemporaryFile(const char* extension) {
    char folder[MAX_PATH] = "";
    GetTempPathA(sizeof folder, folder);
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%slxcore_%lu_%d.%s", folder, GetCurrentProcessId(),
                  ++fileCounter, extension);
    path_ = name;
    DeleteFileA(path_.c_str());
}

TemporaryFile::~TemporaryFile() {
    DeleteFileA(path_.c_str());
}

bool TemporaryFile::exists() const {
    return GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TemporaryFile::bytes() const {
    std::string content;
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    CloseHandle(file);
    return content;
}

void TemporaryFile::write(const std::string& bytes) const {
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

MessageRecorder::MessageRecorder() {
    setMessageFunction([this](HWND, const char* text, const char* caption, UINT type) {
        shown_.push_back({text, caption, type});
        return IDOK;
    });
}

MessageRecorder::~MessageRecorder() {
    setMessageFunction(nullptr);
}

std::string hostPath(const char* path) {
    std::string windowsPath = "Z:";
    for (const char* at = path; *at != '\0'; ++at)
        windowsPath += *at == '/' ? '\\' : *at;
    return windowsPath;
}

} // namespace lexora::test
