#include "filedialog.h"

#include "text.h"

#include <commdlg.h>

#include <algorithm>
#include <string>

namespace lexora {

namespace {

constexpr int kTitleSize = 128;

// The dialog's filter: the pieces separated by NULs instead of bars.
std::string nulSeparated(const char* barredFilter) {
    std::string filter(barredFilter);
    for (std::size_t at = 0; at < filter.size();) {
        if (startsDoubleByte(filter.c_str() + at)) {
            at += 2;
            continue;
        }
        if (filter[at] == '|') filter[at] = '\0';
        ++at;
    }
    return filter;
}

} // namespace

bool askFileName(HWND owner, FileDialogKind kind, int titleControlId, const char* barredFilter,
                 DWORD flags, char* path, int size) {
    if (size <= 0) return false;
    char title[kTitleSize] = "";
    GetDlgItemTextA(owner, titleControlId, title, sizeof title);
    std::string plainTitle(title);
    std::erase(plainTitle, '&');
    std::string filter = nulSeparated(barredFilter);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = static_cast<DWORD>(size);
    dialog.lpstrTitle = plainTitle.c_str();
    dialog.Flags = flags;
    BOOL chosen =
        kind == FileDialogKind::save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    return chosen != FALSE;
}

} // namespace lexora
