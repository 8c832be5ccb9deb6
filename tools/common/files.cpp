#include "files.h"

#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace lexora::tools {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, std::string_view content) {
    const fs::path temporary = path.string() + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw std::runtime_error("cannot write " + path.string() + ": " + error.message());
    }
}

void makeDirectory(const fs::path& path) {
    std::error_code error;
    fs::create_directories(path, error);
    if (error)
        throw std::runtime_error("cannot create directory " + path.string() + ": " +
                                 error.message());
}

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    writeFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace lexora::tools
