// Queries that lxtran answers without the dictionary file: numbers, written out as amounts in
// Chinese capital numerals, and Internet domain names, whose well-known labels are named in
// Chinese. Each rendering has the shape of an entry text: the input, 0x01, a label, 0x02, the
// rendering. All Chinese text is GB2312.
#ifndef LEXORA_ENGINE_RENDER_H
#define LEXORA_ENGINE_RENDER_H

#include <cstddef>

namespace lxtran {

// One well-known domain label: a lower-case ASCII key and its GB2312 name, both NUL-padded.
struct DomainRow {
    char key[6];
    char name[20];
};

constexpr size_t kDomainRowCount = 249;

// Searched in order; the first row whose key equals a label (ignoring case) names it.
extern const DomainRow kDomainTable[kDomainRowCount];

// The GB2312 name of a domain label of length bytes, or null when no row names it.
const char* domainLabelName(const char* label, size_t length);

// A query that begins with a number (after an optional "RMB") becomes its amount in capital
// numerals. True with the rendering in out (cut to outSize - 1 bytes, NUL-terminated); false,
// with out untouched, when the query is no amount.
bool renderAmount(const char* query, char* out, size_t outSize);

// A query of letters and periods with at least two periods becomes its labels named in Chinese.
// True with the rendering in out (cut to outSize - 1 bytes, NUL-terminated); false, with out
// untouched, when the query is no domain name.
bool renderDomainName(const char* query, char* out, size_t outSize);

} // namespace lxtran

#endif
