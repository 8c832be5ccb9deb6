// Parts of the lookups that the translation of captured text shares.
#ifndef LEXORA_ENGINE_LOOKUP_H
#define LEXORA_ENGINE_LOOKUP_H

#include "engine.h"

#include <vector>

namespace lxtran {

// Makes Chinese word number word, with the English entries that translate it (the first 80), the
// record of the last Chinese lookup.
void recordTranslations(Engine& engine, int32_t word, const std::vector<uint32_t>& references);

// The user library's record for a GB text: the text is converted to the library's page within
// phraseSize bytes and sought; on a hit the packed record (phrase, soundmark, meaning, each
// ended by NUL) is copied into record and its length returned, with the library's page in page.
// 0 without a library or a hit.
int userRecord(const char* text, int phraseSize, char* record, int recordSize, int& page);

} // namespace lxtran

#endif
