// Identifiers of the options sheet's pages: their dialog templates (Chinese face at the id,
// English face at id + 4000) and their controls. The buttons page's boxes carry the command ids
// of the prompt-bar buttons they stand for.
#ifndef LEXORA_OPTIONS_IDS_H
#define LEXORA_OPTIONS_IDS_H

#define IDD_PARAMETERS 3
#define IDD_BUTTONS 4
#define IDD_PHRASES 5
#define IDD_DECODING 6
#define IDD_PARAMETERS_ENG 4003
#define IDD_BUTTONS_ENG 4004
#define IDD_PHRASES_ENG 4005
#define IDD_DECODING_ENG 4006

// Parameters page. The two sliders are created over static placeholders of the same ids.
#define IDC_PARAM_MEMORYWORD_LABEL 101
#define IDC_PARAM_MEMORYWORD_FILE 102
#define IDC_PARAM_MEMORYWORD_BROWSE 103
#define IDC_PARAM_HISTORY_LABEL 111
#define IDC_PARAM_HISTORY_FILE 112
#define IDC_PARAM_HISTORY_BROWSE 113
#define IDC_PARAM_DELAY_GROUP 121
#define IDC_PARAM_DELAY 122
#define IDC_PARAM_HIDE_GROUP 131
#define IDC_PARAM_HIDE 132
#define IDC_PARAM_AUXKEY_GROUP 141
#define IDC_PARAM_AUXKEY_CTRL 142
#define IDC_PARAM_AUXKEY_SHIFT 143
#define IDC_PARAM_AUXKEY_NONE 144
#define IDC_PARAM_FONT_GROUP 151
#define IDC_PARAM_SMALLHZ 154
#define IDC_PARAM_HISTORYMODE_GROUP 161
#define IDC_PARAM_OVERWRITE 162
#define IDC_PARAM_APPEND 163
#define IDC_PARAM_HIDEMAIN 281
#define IDC_PARAM_AUTOSAVE 282
#define IDC_PARAM_USECHINESE 283
#define IDC_PARAM_SEARCHATONCE 284
#define IDC_PARAM_SOUNDALERT 285

// Buttons page: one box per prompt-bar button, 202 ... 208.
#define IDC_BUTTONS_FIRST 202
#define IDC_BUTTONS_GROUP 301
#define IDC_BUTTONS_COMMENT_GROUP 302
#define IDC_BUTTONS_COMMENT 303

// Chinese phrases page.
#define IDC_PHRASES_GROUP 101
#define IDC_PHRASES_SINGLE 102
#define IDC_PHRASES_SHORTEST 103
#define IDC_PHRASES_LONGEST 104
#define IDC_PHRASES_SPACED 105
#define IDC_PHRASES_COMMENT1 106
#define IDC_PHRASES_COMMENT2 107

// Decoding page.
#define IDC_DECODE_AUTODETECT 101
#define IDC_DECODE_MIME 102
#define IDC_DECODE_HZ 103
#define IDC_DECODE_ISO2022 104
#define IDC_DECODE_GROUP 105
#define IDC_DECODE_COMMENT_GROUP 106

// Posted to the prompt bar when the buttons page applies: it then adds and removes its buttons
// to match the wanted flags.
#define CM_PROMPT_BUTTONS_CHANGED 10000

#endif
