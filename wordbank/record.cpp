// Packed records: reading their fields within bounds, and which of them the file can hold.
#include "internal.h"

#include <cstring>

namespace wordbank {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Whether the double quote just before text closes a field when read back: it does when spaces
// or tabs and then a comma follow it.
bool quoteWouldClose(const char* text, const char* end) {
    while (text < end && isBlank(*text))
        ++text;
    return text < end && *text == ',';
}

// A field reads back whole from its line when no line break ends the line early and no double
// quote inside it ends the field early.
bool fieldReadsBack(const char* text, size_t length) {
    const char* end = text + length;
    for (const char* p = text; p < end; ++p) {
        if (*p == '\r' || *p == '\n') return false;
        if (*p == '"' && quoteWouldClose(p + 1, end)) return false;
    }
    return true;
}

} // namespace

bool viewRecord(const char* record, RecordView& view) {
    const char* fields[3];
    size_t lengths[3];
    size_t left = WBK_MAX_FIELDS;
    for (int i = 0; i < 3; ++i) {
        size_t length = strnlen(record, left + 1);
        if (length > left) return false;
        fields[i] = record;
        lengths[i] = length;
        left -= length;
        record += length + 1;
    }
    view = {fields[0], lengths[0], fields[1], lengths[1], fields[2], lengths[2]};
    return true;
}

bool isStorable(const RecordView& view) {
    return view.phraseLength > 0 && view.meaningLength > 0 &&
           fieldReadsBack(view.phrase, view.phraseLength) &&
           fieldReadsBack(view.soundmark, view.soundmarkLength) &&
           fieldReadsBack(view.meaning, view.meaningLength);
}

} // namespace wordbank
