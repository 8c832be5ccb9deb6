// Identifiers of the text converter: its dialog template (Chinese face at the id, English face at
// id + 4000), its controls and its texts (English at the id, Chinese at id + 4000).
#ifndef LEXORA_TEXTCVT_IDS_H
#define LEXORA_TEXTCVT_IDS_H

#define IDD_TEXTCVT 1030

// Controls.
#define IDC_TCV_SOURCE_LABEL 1000
#define IDC_TCV_SOURCE_BROWSE 1001
#define IDC_TCV_DEST_FILE 1002
#define IDC_TCV_DEST_BROWSE 1003
#define IDC_TCV_DEST_PAGE 1010
#define IDC_TCV_SOURCE_LANGUAGE 1011
#define IDC_TCV_TO_CLIPBOARD 1012
#define IDC_TCV_SOURCE_FILE 1013
#define IDC_TCV_DEST_LABEL 1014
#define IDC_TCV_FROM_CLIPBOARD 1016
#define IDC_TCV_DELETE_SPACE 1018
#define IDC_TCV_INSERT_SPACE 1019
#define IDC_TCV_IGNORE_SPACE 1020
#define IDC_TCV_COMPARE 1021

// Messages and their captions.
#define IDS_TCV_NO_CLIPBOARD_TEXT 600
#define IDS_TCV_NO_TEXT_CAPTION 601
#define IDS_TCV_CLIPBOARD_ERROR 602
#define IDS_TCV_CLIPBOARD_ERROR_CAPTION 603
#define IDS_TCV_NO_SOURCE 604
#define IDS_TCV_ERROR_CAPTION 605
#define IDS_TCV_OVERWRITE 606
#define IDS_TCV_OVERWRITE_CAPTION 607
#define IDS_TCV_NO_DEST 608
#define IDS_TCV_DONE 609
#define IDS_TCV_DONE_CAPTION 610
// The file dialogs' filter, its parts separated by '|'.
#define IDS_TCV_FILTER 611
// The lists' items in their order: source languages, destination pages.
#define IDS_TCV_LANGUAGE_FIRST 620
#define IDS_TCV_PAGE_FIRST 630

#endif
