#include "csv.h"

#include <algorithm>

namespace lexora::csv {

bool CsvReader::next(std::vector<std::string>& fields) {
    if (pos_ >= text_.size()) return false;
    std::size_t count = 0;
    for (;;) {
        if (count == fields.size()) fields.emplace_back();
        std::string& field = fields[count++];
        field.clear();
        if (text_[pos_] == '"') readQuoted(field);
        readPlain(field);
        if (atRecordEnd()) break;
        ++pos_;
    }
    fields.resize(count);
    if (pos_ < text_.size()) ++pos_;
    return true;
}

void CsvReader::readQuoted(std::string& field) {
    ++pos_;
    while (pos_ < text_.size()) {
        const std::size_t quote = std::min(text_.find('"', pos_), text_.size());
        field.append(text_.substr(pos_, quote - pos_));
        pos_ = std::min(quote + 1, text_.size());
        if (pos_ >= text_.size() || text_[pos_] != '"') return;
        field += '"';
        ++pos_;
    }
}

// Reads up to the next separator; after a quoted part that is normally nothing. The CR of a CRLF
// record end is not part of the field.
void CsvReader::readPlain(std::string& field) {
    const std::size_t end = std::min(text_.find_first_of(",\n", pos_), text_.size());
    std::size_t stop = end;
    if (stop > pos_ && text_[stop - 1] == '\r' && (stop == text_.size() || text_[stop] == '\n')) {
        --stop;
    }
    field.append(text_.substr(pos_, stop - pos_));
    pos_ = end;
}

bool CsvReader::atRecordEnd() const {
    return pos_ >= text_.size() || text_[pos_] == '\n';
}

std::string unescapeLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool escape = text[i] == '\\' && i + 1 < text.size();
        if (escape && text[i + 1] == 'n') {
            result += '\n';
            ++i;
        } else if (escape && text[i + 1] == 'r') {
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

} // namespace lexora::csv
