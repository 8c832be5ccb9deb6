// Parts of the lookups that the translation of captured text shares.
#ifndef LEXORA_ENGINE_LOOKUP_H
#define LEXORA_ENGINE_LOOKUP_H

#include "engine.h"

#include <vector>

namespace lxtran {

// Makes Chinese word number word, with the English entries that translate it (the first 80), the
// record of the last Chinese lookup.
void recordTranslations(Engine& engine, int32_t word, const std::vector<uint32_t>& references);

} // namespace lxtran

#endif
