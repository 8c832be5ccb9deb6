// Identifiers shared by LEXORA's resources (data/resources) and its windows. Commands, controls
// and the tool bar's bitmaps share numbers where they stand for the same thing; a control's
// notifications are told from commands by the control handle that comes with them.
#ifndef LEXORA_RESOURCE_IDS_H
#define LEXORA_RESOURCE_IDS_H

// Dialog templates. The English face of a dialog is its Chinese id + 4000.
#define IDD_STARTUP 2
#define IDD_WARNING_CHN 10
#define IDD_WARNING_ENG 4010
#define IDD_BRIEF 1010

// The brief description dialog's note tab and its text groups (tab k shows 111 + 10 k onwards).
#define IDC_BRIEF_TABS 101

// Commands of the main window: menus, tool bar, accelerators, hot keys.
#define CM_CATCHWORD 101
#define CM_CHINESESYSTEM 102
#define CM_CODEPAGE_GB 103
#define CM_CODEPAGE_BIG5 104
#define CM_FACE_CHINESE 105
#define CM_FACE_ENGLISH 106
#define CM_DYNAMICE2C 107
#define CM_HOTKEYSWITCH 108
#define CM_TEXTCONVERTER 109
#define CM_AUTODETECT 110
#define CM_LOADMEMORYWORDS 120
#define CM_STOREMEMORYWORD 121
#define CM_LOADHISTORY 122
#define CM_STOREHISTORY 123
#define CM_SETUP 140
#define CM_SETUPBUTTONS 141
#define CM_CHINESEPHRASES 142
#define CM_DECODING 143
#define CM_USERLIBRARY 144
#define CM_HELPFILE 160
#define CM_HTMLHELP 161
#define CM_ABOUTMAKER 162
#define CM_ABOUT 163
#define CM_EXIT 24310
#define CM_ENTER 1
#define CM_BRIEFHELP 1010
#define CM_FOCUSINPUT 1012
#define CM_FOCUSSELECT 1013
#define CM_FOCUSRESULT 1014
#define CM_FOCUSNEXT 1015
#define CM_MINIMIZE 1016

// Controls of the main window.
#define IDC_INPUT 101
#define IDC_RESULT 102
#define IDC_SELECTLIST 104
#define IDC_HEADWORD 105
#define IDC_PHONETIC 106
#define IDC_EQUIVALENTS 107
#define IDC_LABEL_INPUT 201
#define IDC_PICTURE 202
#define IDC_LABEL_SELECT 204
#define IDC_LABEL_RESULT 205
// Notification of the result pane: a meaning was double-clicked.
#define LXN_DOUBLECLICKWORD 300

// Message texts: English face at the id, Chinese face at id + 4000.
#define IDS_ERROR_CAPTION 510
#define IDS_CODEPAGE_CAPTION 511
#define IDS_CODEPAGE_QUESTION 512
#define IDS_NO_MEMORYWORD_FILE 520
#define IDS_NO_HISTORY_FILE 521
#define IDS_NOTEPAD_ERROR 522
#define IDS_FILE_MISSING 523
#define IDS_MEMORYWORD_KIND 524
#define IDS_HISTORY_KIND 525
#define IDS_HTMLHELP_MISSING 531
#define IDS_HELP_CAPTION 532
#define IDS_NO_BROWSER 533
#define IDS_QUIT_QUESTION 540
#define IDS_QUIT_CAPTION 541
#define FACE_STRING_OFFSET 4000

#endif
