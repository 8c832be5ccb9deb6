// lxtran: the dictionary engine of LEXORA. It opens LEXORA.LIB beside itself when a process
// loads it and refuses to load without a usable dictionary.
#ifndef LEXORA_LXTRAN_H
#define LEXORA_LXTRAN_H

#ifdef _WIN32
#include <windows.h>
#else
#ifndef WINAPI
#define WINAPI
#endif
#endif

#if defined(_WIN32)
#define LXA_EXPORT
#elif defined(LXTRAN_BUILD)
#define LXA_EXPORT __attribute__((visibility("default")))
#else
#define LXA_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Modes of LXaTranslateStr: 0 for a lookup as typed, 16 for short translation (misses are
// remembered and answered at once with an empty output).
enum { LXA_MODE_LOOKUP = 0, LXA_MODE_SHORT = 16 };

// Looks a word or short phrase (GB) up: the user library first, then the dictionary (English
// with one stemmed retry, numbers as amounts, domain names by their labels; Chinese through the
// Chinese index). 1 exact, 0 nearest entry (in the output), -1 empty query or read failure, or
// the length of a user-library record. The output receives an entry text: headword 0x01
// phonetic 0x02 meaning.
LXA_EXPORT int WINAPI LXaTranslateStr(int mode, const char* input, char* out, int size);
// The text of English entry number; 1, or 0 when it is out of range or unreadable.
LXA_EXPORT int WINAPI LXaGetMeanN(int number, char* out, int size);
// The number of the English entry last located.
LXA_EXPORT int WINAPI LXaGetCurWrdN(void);
LXA_EXPORT int WINAPI LXaGetMaxWrdN(void);
// 1 when the last query held a double-byte character.
LXA_EXPORT int WINAPI LXaTransIsZWStr(void);
// Writes an empty string; returns 1.
LXA_EXPORT int WINAPI LXaGetIndexStr(char* out);
// Copies the 248-byte record of the last Chinese lookup: word number, reference count, up to 80
// 24-bit English entry numbers.
LXA_EXPORT int WINAPI LXaGetTransStruct(void* area);
// The Chinese word with the given number; 1, or 0 when out of range or unreadable.
LXA_EXPORT int WINAPI LXaGetZWMeanN(int number, char* out, int size);
LXA_EXPORT int WINAPI LXaGetMaxZWWrdN(void);

// How LXaTransStrInPT matches captured Chinese text: the longest word at its start (any other
// value), its first character only, or the shortest word of two or more characters first.
enum { LXA_MATCH_LONGEST = 0, LXA_MATCH_FIRST_CHARACTER = 1, LXA_MATCH_SHORTEST = 2 };

// Answers text captured under the pointer (length bytes in the current page, not necessarily
// NUL-terminated) in one line for the prompt bar, in GB, of at most size - 1 bytes: English text
// with its entry's phonetic in brackets and meaning (or with " => " and the nearest headword),
// Chinese text with the word found at its start and the English headwords that translate it, or
// its first character and "  Not Found". 1 with an answer, 0 with an empty output (no text, a
// non-ASCII byte in English text, no entry, or a read failure); *exact is 1 for a translation of
// the text or word itself. rect receives the rectangle of the shared block.
LXA_EXPORT int WINAPI LXaTransStrInPT(int* exact, const char* text, int length, int* rect,
                                      char* out, int size, int mode);
// Turns a short English text (a caption, menu item or window text) into a short Chinese one in
// the current page: the whole text, or when that has no entry and split is non-zero, word by
// word; final periods are kept. out must hold 120 bytes and, word by word, 80 bytes past its end
// at every word; nothing is written beyond. The output's length, 0 when there is nothing to show
// (and for the text "6", out untouched), -1 when the translation would be too long or the
// dictionary cannot be read.
LXA_EXPORT int WINAPI LXaTransHHStr(const char* text, char* out, int split);

#ifndef _WIN32
// Why the engine could not set itself up when it was loaded (the Windows build refuses to load
// instead): copies the reason into buffer and returns its length, or returns 0 when all is well.
LXA_EXPORT int LXaLoadFailure(char* buffer, int size);
#endif

#ifdef __cplusplus
}
#endif

#endif
