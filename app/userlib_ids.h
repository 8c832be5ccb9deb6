// Identifiers of the user library page of the options sheet: its template, controls, status
// texts and message texts.
#ifndef LEXORA_USERLIB_IDS_H
#define LEXORA_USERLIB_IDS_H

// The page's template in the Chinese face; the English face's is at + 4000.
#define IDD_USERLIB 7

#define IDC_UL_INPUTGROUP 100
#define IDC_UL_PHRASE 101
#define IDC_UL_SOUNDMARK 102
// The soundmark drawn in phonetic symbols as it is typed.
#define IDC_UL_PREVIEW 103
#define IDC_UL_MEANING 104
#define IDC_UL_APPEND 120
#define IDC_UL_MODIFY 121
#define IDC_UL_DELETE 122
#define IDC_UL_NAME 130
#define IDC_UL_CODEPAGE 131
#define IDC_UL_COUNT 132
#define IDC_UL_USE 140
#define IDC_UL_CLOSE 150
#define IDC_UL_OPEN 151
#define IDC_UL_NEW 152

// The status texts: hidden statics on top of each other, one shown at a time.
#define IDC_UL_APPENDED 200
#define IDC_UL_APPEND_FAILED 201
#define IDC_UL_MODIFIED 202
#define IDC_UL_MODIFY_FAILED 203
#define IDC_UL_DELETED 204
#define IDC_UL_NO_PHRASE 205
#define IDC_UL_EXISTS 206
#define IDC_UL_CLOSED 207
#define IDC_UL_OPENED 208
#define IDC_UL_CREATED 209

// Limits of the edits, in characters.
#define UL_PHRASE_LIMIT 197
#define UL_SOUNDMARK_LIMIT 27
#define UL_MEANING_LIMIT 497

// Message texts: English at the id, Chinese at id + 4000.
#define IDS_UL_OVERWRITE 800
#define IDS_UL_CREATE_ERROR 801

#endif
