// cpconv: the double-byte code-set manager of LEXORA.
//
// Code pages GB (GB2312), BIG5 and ANSI; the current page shared by every process that loads
// the library; stepping over characters and words; order numbers; GB <-> BIG5 conversion through
// two embedded tables; UTF-16 to GB or BIG5. Every buffer is the caller's, every result that is
// text is NUL-terminated within the size the caller gives.
#ifndef LEXORA_CPCONV_H
#define LEXORA_CPCONV_H

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
typedef wchar_t CPC_WCHAR;
#else
#ifndef WINAPI
#define WINAPI
#endif
typedef char16_t CPC_WCHAR;
#endif

#if defined(_WIN32)
#define CPC_EXPORT
#elif defined(CPCONV_BUILD)
#define CPC_EXPORT __attribute__((visibility("default")))
#else
#define CPC_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Page identifiers; as arguments only the low 16 bits count, read as a signed value.
enum {
    CPC_PAGE_ANSI = 0,
    CPC_PAGE_GB = 1,
    CPC_PAGE_BIG5 = 2,
    CPC_PAGE_CURRENT = -1,
    CPC_PAGE_MIDDLE = -2,
};

// Conversion flags: low byte source page, bits 8-14 target page, bit 15 an extra mark.
enum {
    CPC_FLAG_GB_TO_BIG5 = 0x0201,
    CPC_FLAG_BIG5_TO_GB = 0x0102,
    CPC_FLAG_MARK = 0x8000,
    CPC_FLAG_NONE = -1,
    CPC_FLAG_TO_MIDDLE = -2,
    CPC_FLAG_TO_CURRENT = -3,
};

#pragma pack(push, 1)
// Description of one code page, the same layout in the library and at the interface.
typedef struct DBCSPageInfo {
    int16_t pageId;
    char name[16];
    int32_t pageNumber;
    int32_t orderLimit;
    // Non-zero marks a page that is available. A 32-bit field cannot hold an address on 64-bit
    // systems, so it carries a marker; callers only test it for zero.
    uint32_t byteRanges;
} DBCSPageInfo;

// The record every process shares under the name "lxdbcs.sharedata".
typedef struct CodeSetShared {
    int16_t currentPage;
    uint8_t isDelimiter[256];
    uint8_t isLeadByte[256];
    uint16_t middleToCurrentFlag;
    uint16_t currentToMiddleFlag;
} CodeSetShared;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(DBCSPageInfo) == 30, "DBCSPageInfo is 30 bytes");
static_assert(offsetof(DBCSPageInfo, pageId) == 0, "pageId");
static_assert(offsetof(DBCSPageInfo, name) == 2, "name");
static_assert(offsetof(DBCSPageInfo, pageNumber) == 18, "pageNumber");
static_assert(offsetof(DBCSPageInfo, orderLimit) == 22, "orderLimit");
static_assert(offsetof(DBCSPageInfo, byteRanges) == 26, "byteRanges");
static_assert(sizeof(CodeSetShared) == 518, "CodeSetShared is 518 bytes");
static_assert(offsetof(CodeSetShared, currentPage) == 0, "currentPage");
static_assert(offsetof(CodeSetShared, isDelimiter) == 2, "isDelimiter");
static_assert(offsetof(CodeSetShared, isLeadByte) == 258, "isLeadByte");
static_assert(offsetof(CodeSetShared, middleToCurrentFlag) == 514, "middleToCurrentFlag");
static_assert(offsetof(CodeSetShared, currentToMiddleFlag) == 516, "currentToMiddleFlag");
#endif

typedef int(WINAPI* CPC_PageInfoProc)(DBCSPageInfo* info, intptr_t userValue);

// Code pages and characters.
CPC_EXPORT short WINAPI CPC_GetCodePage(void);
CPC_EXPORT short WINAPI CPC_GetMiddlePage(void);
CPC_EXPORT short WINAPI CPC_SetCodePage(int page);
CPC_EXPORT int WINAPI CPC_IsLeadByte(int page, int byteValue);
CPC_EXPORT char* WINAPI CPC_DBCSNext(int page, const char* pos);
CPC_EXPORT char* WINAPI CPC_DBCSPrev(int page, const char* start, const char* pos);
CPC_EXPORT char* WINAPI CPC_WordNext(int page, const char* pos);
CPC_EXPORT char* WINAPI CPC_WordPrev(int page, const char* start, const char* pos);
CPC_EXPORT int WINAPI CPC_DBCSToOrder(int page, const char* pos);
CPC_EXPORT int WINAPI CPC_OrderToDBCS(int page, unsigned order, char* buffer, int size);
CPC_EXPORT int WINAPI CPC_GetDBCSPageInfo(int page, DBCSPageInfo* info, int unused);
CPC_EXPORT int WINAPI CPC_EnumDBCSPageInfo(CPC_PageInfoProc callback, intptr_t userValue);
CPC_EXPORT int WINAPI CPC_EnumDBCSCodePage(int first, short* pageIds, int capacity);
CPC_EXPORT int WINAPI CPC_DBCSAlphaToAnsi(int page, const char* pos);
CPC_EXPORT int WINAPI CPC_AnsiAlphaToDBCS(int page, int ch, char* buffer, int size);

// GB <-> BIG5 and UTF-16 conversion.
CPC_EXPORT unsigned short WINAPI CPC_GenConvertFlag(int sourcePage, int targetPage, int mark);
CPC_EXPORT int WINAPI CPC_ConvertDBCSBuffer(int flag, const char* source, int count, char* dest,
                                            int destSize);
CPC_EXPORT char* WINAPI CPC_StrCVTCpy(char* dest, const char* source, int destSize);
CPC_EXPORT unsigned WINAPI CPC_ConvertADBCS(int flag, unsigned character);
CPC_EXPORT int WINAPI CPC_Unicode2DBCS(int page, const CPC_WCHAR* text, int count, char* output,
                                       int outputSize);

// Detection: 1 when the drawn text (length bytes at most, up to a NUL) is taken to be in page
// (1 GB or 2 BIG5; any other page returns the last verdict), 0 when it is taken to be in the
// other double-byte page. Verdicts on earlier pieces of the same context near (x, y) weigh in;
// the state is per process. Mode 2 is the full test, 1 a lighter one; mode 0 looks at the trail
// bytes only and records no position, so for it every earlier piece counts as far away.
CPC_EXPORT int WINAPI CPC_IsCodePage(int page, const char* text, int length, int x, int y,
                                     int context, int mode);

// Decoding of 7-bit mail and news text: HZ ("~{" ... "~}"), ISO-2022 (shift codes and escape
// sequences) and MIME encoded words ("=?charset?B|Q?text?="). Each reads at most len bytes of
// source (HZ also stops at a NUL) and writes into dest, which must hold len + 4 bytes: output
// goes on while fewer than len bytes are written, a step begun then may finish up to three bytes
// past len, and the NUL always follows. Returns the bytes written before the NUL; a len of 0 or
// less writes the NUL only. GB pairs from HZ and ISO-2022 (not ESC "K" runs) come out in BIG5
// when BIG5 is the current page. What the end of the source cuts off is finished from what is
// there: a pair missing its second byte is copied as its one byte unchanged, a cut escape
// sequence or encoded-word header produces nothing (an ESC still gives "[]" when marked), a
// final "=" is kept, and a Base64 group cut short by the end or by "?=" counts as padded with
// "=" (a lone character, holding no whole byte, is dropped).
// keepEscapes keeps "~{" and "~}" (and a dropped soft line end "~") in the output.
CPC_EXPORT int WINAPI CPC_DecodeHZCodeBuffer(const char* source, char* dest, int len,
                                             int keepEscapes);
// markEscapes writes "[" and "]" around each escape sequence and the run it opens.
CPC_EXPORT int WINAPI CPC_DecodeISO2022Buffer(const char* source, char* dest, int len,
                                              int markEscapes);
CPC_EXPORT int WINAPI CPC_DecodeMIMEBuffer(const char* source, char* dest, int len);

#ifdef _WIN32
// Converts the texts of a window of this process from the middle page to the current page: its
// system menu and menu bar with their submenus, its own text and those of all its descendants,
// except edit controls. 1 when converted, 0 for a null, invalid or foreign window.
CPC_EXPORT int WINAPI CPC_ConvertWindow(HWND window);
// Converts one window's text with the conversion flag in the low 16 bits of value; always TRUE,
// so that it can serve as the callback of EnumChildWindows.
CPC_EXPORT BOOL WINAPI TS_EnumChildProc(HWND window, LPARAM value);
#endif

// The directory cpconv was loaded from, with its final separator, cut to size - 1 bytes and
// NUL-terminated; returns the length copied (0 for a null buffer or a size below 1).
CPC_EXPORT int WINAPI LX_GetDirectory(char* buffer, int size);
// The settings file LEXORA.INI in that directory, read and written as the platform's
// private-profile functions do: GetPrivateProfileStringA (0 for a null buffer or a size below
// 1), WritePrivateProfileStringA (1 or 0; a null value deletes the key, a null key the
// section), GetPrivateProfileIntA. LX_WriteProfileInt writes the value in signed decimal.
CPC_EXPORT int WINAPI LX_GetProfileString(const char* section, const char* key,
                                          const char* defaultValue, char* buffer, int size);
CPC_EXPORT int WINAPI LX_WriteProfileString(const char* section, const char* key,
                                            const char* value);
CPC_EXPORT int WINAPI LX_GetProfileInt(const char* section, const char* key, int defaultValue);
CPC_EXPORT int WINAPI LX_WriteProfileInt(const char* section, const char* key, int value);

#ifndef _WIN32
// Why the library could not set itself up when it was loaded (the Windows build refuses to load
// instead): copies the reason into buffer and returns its length, or returns 0 when all is well.
CPC_EXPORT int CPC_LoadFailure(char* buffer, int size);
#endif

#ifdef __cplusplus
}
#endif

#endif
