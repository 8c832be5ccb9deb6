#include "propertypage.h"

#include "core/settings.h"
#include "resource_ids.h"

#include <cpconv.h>

namespace lexora {

TNewPropertyPage::TNewPropertyPage(int chineseTemplateId)
    : TDialog(nullptr, chineseTemplateId), chineseTemplateId_(chineseTemplateId) {}

PROPSHEETPAGEA TNewPropertyPage::pageRecord() {
    int templateId = chineseTemplateId_;
    if (settings.faceStyle != 1) templateId += FACE_STRING_OFFSET;
    PROPSHEETPAGEA page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = programInstance();
    page.pszTemplate = MAKEINTRESOURCEA(templateId);
    page.pfnDlgProc = pageProcedure;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

void TNewPropertyPage::convertTexts() {
    CPC_ConvertWindow(handle());
}

void TNewPropertyPage::setChanged() {
    PropSheet_Changed(GetParent(handle()), handle());
}

void TNewPropertyPage::setUnchanged() {
    PropSheet_UnChanged(GetParent(handle()), handle());
}

// The sheet's own handling of Apply/OK: the page accepts, so the sheet may close.
void TNewPropertyPage::apply() {
    SetWindowLongPtrA(handle(), DWLP_MSGRESULT, PSNRET_NOERROR);
}

LRESULT TNewPropertyPage::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == PSN_APPLY) {
        apply();
        return TRUE;
    }
    return TDialog::handleMessage(message, wParam, lParam);
}

// At WM_INITDIALOG the sheet passes its copy of the page's record, which carries the object.
INT_PTR CALLBACK TNewPropertyPage::pageProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    TDialog* created = nullptr;
    if (message == WM_INITDIALOG)
        created = reinterpret_cast<TNewPropertyPage*>(
            reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
    return dispatchDialogMessage(created, window, message, wParam, lParam);
}

} // namespace lexora
