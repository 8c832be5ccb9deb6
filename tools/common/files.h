// Writing the generators' output files.
#ifndef LEXORA_TOOLS_FILES_H
#define LEXORA_TOOLS_FILES_H

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace lexora::tools {

// Writes beside the target and renames, so a failed run never leaves a partial file; throws
// std::runtime_error naming the file on failure.
void writeFile(const std::filesystem::path& path, std::string_view content);
void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// Creates the directory and its parents when missing; throws std::runtime_error on failure.
void makeDirectory(const std::filesystem::path& path);

} // namespace lexora::tools

#endif
