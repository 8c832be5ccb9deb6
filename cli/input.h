// Reading a command's input whole.
#ifndef LEXORA_CLI_INPUT_H
#define LEXORA_CLI_INPUT_H

#include <string>

namespace lexora::cli {

// The bytes of the file at path, or of standard input when path is empty; false when it cannot
// be read (errno tells why).
bool readInput(const std::string& path, std::string& text);

} // namespace lexora::cli

#endif
