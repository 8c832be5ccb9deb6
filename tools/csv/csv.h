// CSV reading for the tools and benchmarks that take ECDICT's dictionary data as input.
#ifndef LEXORA_CSV_H
#define LEXORA_CSV_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lexora::csv {

// Reads RFC 4180 style CSV: fields separated by commas, quoted fields may hold commas, line
// breaks and "" for a quote; records end with LF or CRLF.
class CsvReader {
  public:
    explicit CsvReader(std::string_view text) : text_(text) {}

    // Reads the next record into fields; false when the text is exhausted.
    bool next(std::vector<std::string>& fields);
    // Bytes of the text read so far.
    std::size_t position() const { return pos_; }

  private:
    void readQuoted(std::string& field);
    void readPlain(std::string& field);
    bool atRecordEnd() const;

    std::string_view text_;
    std::size_t pos_ = 0;
};

// Turns the two-character escapes of ECDICT text into line breaks: \n becomes LF, \r is dropped.
std::string unescapeLineBreaks(std::string_view text);

} // namespace lexora::csv

#endif
