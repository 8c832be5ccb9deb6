// The system's open and save file dialogs as the program's windows ask for a file name.
#ifndef LEXORA_APP_FILEDIALOG_H
#define LEXORA_APP_FILEDIALOG_H

#include <windows.h>

namespace lexora {

enum class FileDialogKind { open, save };

// Asks for a file name in the dialog of `kind`, titled with the text of the owner's control
// `titleControlId` without its "&", filtered by `barredFilter` ("Name|*.ext|...|", the pieces
// separated by '|'; a double-byte character is never cut there). `path` (`size` bytes) holds the
// name chosen; false when the user chose none.
bool askFileName(HWND owner, FileDialogKind kind, int titleControlId, const char* barredFilter,
                 DWORD flags, char* path, int size);

} // namespace lexora

#endif
