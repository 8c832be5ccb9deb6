// Helpers shared by the tests of mklib.
#ifndef LEXORA_MKLIB_TEST_SUPPORT_H
#define LEXORA_MKLIB_TEST_SUPPORT_H

#include <stdexcept>
#include <string>
#include <string_view>

#include "gb.h"

namespace lexora::mklib::testing {

inline const GbEncoder& encoder() {
    static const GbEncoder gb;
    return gb;
}

// The GB2312 form of UTF-8 text that must have one.
inline std::string gb(std::string_view utf8) {
    auto converted = encoder().encode(utf8);
    if (!converted) throw std::invalid_argument("no GB2312 form: " + std::string(utf8));
    return *converted;
}

} // namespace lexora::mklib::testing

#endif
