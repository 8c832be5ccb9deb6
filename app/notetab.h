// TNoteTabDlg: the brief description dialog, five tabs of short help texts.
#ifndef LEXORA_NOTETAB_H
#define LEXORA_NOTETAB_H

#include <windows.h>

namespace lexora {

// Opens the dialog modally on tab 0 (about the maker), 1 (input box), 2 (select list) or
// 3 (result pane) or 4 (new features).
void openBriefDialog(HWND parent, int tab);

} // namespace lexora

#endif
