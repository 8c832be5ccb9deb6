#include "text.h"

namespace lexora {

std::size_t copyWholeCharacters(const char* source, char* dest, std::size_t size) {
    if (size == 0) return 0;
    std::size_t length = 0;
    while (source && source[length] != '\0') {
        std::size_t step = startsDoubleByte(source + length) ? 2 : 1;
        if (length + step > size - 1) break;
        length += step;
    }
    for (std::size_t i = 0; i < length; ++i)
        dest[i] = source[i];
    dest[length] = '\0';
    return length;
}

} // namespace lexora
