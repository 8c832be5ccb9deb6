// wordbank: the user vocabulary library of LEXORA.
//
// The user's own phrases, each with a soundmark (phonetic transcription in letter form) and a
// meaning, kept in a plain text file the user may also edit by hand. The library reads the file
// whole into a sorted store, answers exact-phrase queries, adds and deletes records, and writes
// the file back when a changed library is closed (or the process ends). One library is open at a
// time in a process.
//
// A packed record is phrase, NUL, soundmark, NUL, meaning, NUL, in the library's code page
// (GB or BIG5). Every buffer is the caller's, and text results are NUL-terminated within the
// size the caller gives.
#ifndef LEXORA_WORDBANK_H
#define LEXORA_WORDBANK_H

#ifdef _WIN32
#include <windows.h>
#else
#ifndef WINAPI
#define WINAPI
#endif
#endif

#if !defined(_WIN32) && defined(WORDBANK_BUILD)
#define WBK_EXPORT __attribute__((visibility("default")))
#else
#define WBK_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
    // The longest line of a library file; longer lines are skipped.
    WBK_MAX_LINE = 1023,
    // The most text a record's three fields may hold together, so that its line
    // "phrase","soundmark","meaning" fits in WBK_MAX_LINE characters.
    WBK_MAX_FIELDS = WBK_MAX_LINE - 8,
    // A buffer of this size holds any packed record and the NUL WBK_GetRecord adds.
    WBK_RECORD_BUFFER = 1024,
    // The longest file name a library may have.
    WBK_MAX_NAME = 255,
};

// Library code pages, as cpconv numbers them.
enum { WBK_PAGE_GB = 1, WBK_PAGE_BIG5 = 2 };

// WBK_CVTSound directions.
enum { WBK_LETTERS_TO_CODES = 1, WBK_CODES_TO_LETTERS = 2 };

// Closes any open library, then opens and loads fileName. 1, or 0 when the file cannot be read
// (the library then exists but is unusable until it is closed or replaced).
WBK_EXPORT int WINAPI WBK_Open(const char* fileName);
// Closes any open library, then creates or empties fileName and writes the header into it.
// 1, or 0 on failure.
WBK_EXPORT int WINAPI WBK_Create(const char* fileName);
// Writes a changed library back to its file and releases it. Always 1.
WBK_EXPORT int WINAPI WBK_Close(void);
// 1 when a usable library is open.
WBK_EXPORT int WINAPI WBK_Loaded(void);
// Copies the library's file name into buffer (at most size - 1 bytes, the rest NULs) and
// returns the name's full length; 0 without a library or name.
WBK_EXPORT int WINAPI WBK_GetName(char* buffer, int size);
// WBK_PAGE_GB or WBK_PAGE_BIG5; WBK_PAGE_GB without a library.
WBK_EXPORT int WINAPI WBK_GetCodePage(void);
// 1 when phrase is present, and it becomes the current record; 0 when not, and the current
// position becomes the number of records that sort before it.
WBK_EXPORT int WINAPI WBK_Seek(const char* phrase);
// Copies the current packed record (with its three NULs) into buffer, at most size - 1 bytes,
// then a NUL; returns the bytes copied before that NUL. 0 with no current record, -1 without a
// library.
WBK_EXPORT int WINAPI WBK_GetRecord(char* buffer, int size);
// Replaces the record with the same phrase, or inserts record at its sorted place. 1, or 0 when
// there is no library or the record cannot be kept: phrase or meaning empty, fields together
// longer than WBK_MAX_FIELDS, a line break in a field, or a double quote followed (after spaces
// or tabs) by a comma, which the file cannot hold.
WBK_EXPORT int WINAPI WBK_AddRecord(const char* record);
// Removes the record with that phrase. 1, or 0 when it is not present.
WBK_EXPORT int WINAPI WBK_DeleteRecord(const char* phrase);
// Removes the current record. 1, or 0 with no current record.
WBK_EXPORT int WINAPI WBK_Delete(void);
// The current position, -1 for none or without a library.
WBK_EXPORT int WINAPI WBK_GetRECN(void);
// The number of records; 0 without a library.
WBK_EXPORT int WINAPI WBK_GetRecordCount(void);
// Makes the record at position current: 1, or 0 when there is none there.
WBK_EXPORT int WINAPI WBK_GoRECN(int position);
// The packed record's length with its three NULs; 0 without a library, or when its fields are
// longer together than WBK_MAX_FIELDS.
WBK_EXPORT int WINAPI WBK_GetRecordLength(const char* record);
// Converts a soundmark in place (at most WBK_MAX_LINE bytes) and returns text:
// WBK_LETTERS_TO_CODES turns C E G N O Q R S V X Z into 0 / 2 8 4 1 9 6 3 5 7,
// WBK_CODES_TO_LETTERS the other way; any other type changes nothing.
WBK_EXPORT char* WINAPI WBK_CVTSound(int type, char* text);

#ifdef __cplusplus
}
#endif

#endif
