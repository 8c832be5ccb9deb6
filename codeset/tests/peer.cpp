#include "testutil.h"

#include "cpconv.h"
#include "process.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
std::string modulePath(HMODULE module) {
    char name[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, name, MAX_PATH);
    return std::string(name, length);
}
#endif

std::string libraryPath() {
#ifdef _WIN32
    // By name: the address of an imported function is that of a stub in this program.
    return modulePath(GetModuleHandleA("cpconv.dll"));
#else
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&CPC_GetCodePage), &info);
    return fs::canonical(info.dli_fname).string();
#endif
}

void copyFile(const fs::path& from, const fs::path& to, std::streamsize limit) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    out.write(bytes.data(), std::min<std::streamsize>(limit, bytes.size()));
}

} // namespace

int peerMain(int argc, char** argv) {
    if (argc == 1 && std::strcmp(argv[0], "get") == 0) return CPC_GetCodePage();
    if (argc == 2 && std::strcmp(argv[0], "set") == 0) return CPC_SetCodePage(std::atoi(argv[1]));
    return 100;
}

LibraryCopy::LibraryCopy(const std::vector<std::string>& files) {
    fs::path library = libraryPath();
    directory_ = fs::temp_directory_path() /
                 ("cpconv-copy-" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    fs::create_directories(directory_);
    // Another file name, so that the loader cannot mistake the copy for the library in use.
    fs::path copy = directory_ / ("copy-" + library.filename().string());
    fs::copy_file(library, copy, fs::copy_options::overwrite_existing);
    for (const std::string& file : files) {
        size_t colon = file.find(':');
        std::string name = file.substr(0, colon);
        std::streamsize limit =
            colon == std::string::npos ? (1 << 30) : std::stoll(file.substr(colon + 1));
        copyFile(library.parent_path() / name, directory_ / name, limit);
    }
#ifdef _WIN32
    handle_ = LoadLibraryA(copy.string().c_str());
#else
    handle_ = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

LibraryCopy::~LibraryCopy() {
#ifdef _WIN32
    if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
#else
    if (handle_) dlclose(handle_);
#endif
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
}

void* LibraryCopy::symbol(const char* name) const {
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
}
