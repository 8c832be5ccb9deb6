#include "options.h"

#include "core/settings.h"
#include "decodepage.h"
#include "optionpages.h"
#include "userlib.h"

#include <cpconv.h>

#include <commctrl.h>

#include <iterator>
#include <utility>

namespace lexora {

namespace {

constexpr char kSheetCaption[] = "Options";
constexpr int kTabTextSize = 64;

// The tabs take the pages' GB captions; the pages convert their own texts, the sheet its tabs.
void convertTabCaptions(HWND sheet) {
    HWND tabs = PropSheet_GetTabControl(sheet);
    int count = tabs ? static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
    for (int index = 0; index < count; ++index) {
        char gbText[kTabTextSize] = "";
        char text[kTabTextSize] = "";
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = gbText;
        item.cchTextMax = sizeof gbText;
        if (!SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item))) continue;
        gbText[kTabTextSize - 1] = '\0';
        CPC_StrCVTCpy(text, gbText, sizeof text);
        item.pszText = text;
        SendMessageA(tabs, TCM_SETITEMA, index, reinterpret_cast<LPARAM>(&item));
    }
}

// Centred on the screen once the sheet has laid itself out; size and Z order unchanged.
int CALLBACK sheetCallback(HWND sheet, UINT message, LPARAM) {
    if (message != PSCB_INITIALIZED) return 0;
    convertTabCaptions(sheet);
    RECT rect;
    GetWindowRect(sheet, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    SetWindowPos(sheet, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

} // namespace

LXCfgSheet::LXCfgSheet(HWND parent, int startPage, HWND promptBar)
    : parent_(parent), startPage_(startPage), promptBar_(promptBar) {}

INT_PTR LXCfgSheet::execute() {
    TParameterDlg parameterPage;
    TCfgButtonDlg buttonPage(promptBar_);
    TZWTDialog phrasePage;
    TDecodeDialog decodePage;
    TUserLib userLibraryPage;
    PROPSHEETPAGEA pages[] = {parameterPage.pageRecord(), buttonPage.pageRecord(),
                              phrasePage.pageRecord(), decodePage.pageRecord(),
                              userLibraryPage.pageRecord()};
    constexpr int kPageCount = static_cast<int>(std::size(pages));

    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    header.hwndParent = parent_;
    header.hInstance = programInstance();
    header.pszCaption = kSheetCaption;
    header.nPages = kPageCount;
    header.nStartPage = startPage_ >= 0 && startPage_ < kPageCount ? startPage_ : parameters;
    header.ppsp = pages;
    header.pfnCallback = sheetCallback;

    bool wasOpen = std::exchange(modalDialogOpen, true);
    INT_PTR result = PropertySheetA(&header);
    modalDialogOpen = wasOpen;
    return result;
}

} // namespace lexora
