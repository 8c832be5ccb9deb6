// The parts of the platform layer that are the same everywhere.
#include "platform.h"

namespace lx::platform {

void copyTruncated(char* buffer, int size, const std::string& text) {
    if (!buffer || size <= 0) return;
    size_t length = text.size() < static_cast<size_t>(size) ? text.size() : size - 1;
    text.copy(buffer, length);
    buffer[length] = '\0';
}

} // namespace lx::platform
