// Replacing a file's content completely or not at all.
#ifndef LEXORA_WORDBANK_SAFEFILE_H
#define LEXORA_WORDBANK_SAFEFILE_H

#include <cstdio>
#include <functional>

namespace wordbank {

// write puts the new content into a temporary file beside path (path with ".tmp" added), which
// replaces path only once write has succeeded and every byte has reached the file. Otherwise
// path keeps its old content and the temporary file is removed. write returns false on failure.
bool replaceFileContent(const char* path, const std::function<bool(std::FILE*)>& write);

} // namespace wordbank

#endif
