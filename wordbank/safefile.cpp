// Replacing a file through a temporary file renamed over it.
#include "safefile.h"

#include "platform.h"

#include <string>

namespace wordbank {

bool replaceFileContent(const char* path, const std::function<bool(std::FILE*)>& write) {
    std::string temporary = std::string(path) + ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    bool written = write(out);
    written = std::fflush(out) == 0 && !std::ferror(out) && written;
    written = std::fclose(out) == 0 && written;
    if (written && lx::platform::replaceFile(temporary.c_str(), path)) return true;
    std::remove(temporary.c_str());
    return false;
}

} // namespace wordbank
