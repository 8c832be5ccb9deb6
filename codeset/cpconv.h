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

#ifndef _WIN32
// Why the library could not set itself up when it was loaded (the Windows build refuses to load
// instead): copies the reason into buffer and returns its length, or returns 0 when all is well.
CPC_EXPORT int CPC_LoadFailure(char* buffer, int size);
#endif

#ifdef __cplusplus
}
#endif

#endif
