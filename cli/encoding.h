// Text between UTF-8 and the double-byte pages GB and BIG5, for the commands that take and give
// UTF-8 at the shell while the libraries work in GB or BIG5.
#ifndef LEXORA_CLI_ENCODING_H
#define LEXORA_CLI_ENCODING_H

#include <cstddef>
#include <string>

namespace lexora::cli {

// Text in GB from UTF-8: a character goes to GB when GB2312 has it, else through its BIG5 form;
// one that neither page has (and each bad byte) becomes '?' and is counted in unknown.
std::string utf8ToGb(const std::string& text, size_t& unknown);

// Text in UTF-8 from a double-byte page (CPC_PAGE_GB or CPC_PAGE_BIG5), character by character
// as the page steps over it; bytes below 0x80, control bytes and NULs included, pass unchanged.
// A character the page cannot decode becomes '?' and is counted in unknown.
std::string pageToUtf8(const std::string& text, int page, size_t& unknown);

} // namespace lexora::cli

#endif
