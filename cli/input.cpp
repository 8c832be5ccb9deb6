#include "input.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace lexora::cli {

bool readInput(const std::string& path, std::string& text) {
    if (path.empty()) {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream contents;
    contents << in.rdbuf();
    text = std::move(contents).str();
    return !in.bad();
}

} // namespace lexora::cli
