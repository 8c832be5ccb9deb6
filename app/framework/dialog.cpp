#include "framework.h"

namespace lexora {

INT_PTR TDialog::execute() {
    modal_ = true;
    return DialogBoxParamA(programInstance(), MAKEINTRESOURCEA(templateId_), parent_,
                           dialogProcedure, reinterpret_cast<LPARAM>(this));
}

HWND TDialog::createModeless() {
    modal_ = false;
    return CreateDialogParamA(programInstance(), MAKEINTRESOURCEA(templateId_), parent_,
                              dialogProcedure, reinterpret_cast<LPARAM>(this));
}

void TDialog::closeWindow(INT_PTR result) {
    if (!handle()) return;
    if (modal_)
        EndDialog(handle(), result);
    else
        DestroyWindow(handle());
}

bool TDialog::onCommand(UINT id, UINT, HWND) {
    if (id != IDOK && id != IDCANCEL) return false;
    closeWindow(id);
    return true;
}

LRESULT TDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return setupWindow();
    return TWindow::handleMessage(message, wParam, lParam);
}

// A dialog's messages reach its object from WM_INITDIALOG on; a zero result leaves the message
// to the system's dialog handling.
INT_PTR CALLBACK TDialog::dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TDialog* created = message == WM_INITDIALOG ? reinterpret_cast<TDialog*>(lParam) : nullptr;
    return dispatchDialogMessage(created, window, message, wParam, lParam);
}

INT_PTR TDialog::dispatchDialogMessage(TDialog* created, HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
    TWindow* object = fromHandle(window);
    if (!object && message == WM_INITDIALOG && created) {
        object = created;
        created->isDialog_ = true;
        created->bind(window);
    }
    if (!object) return FALSE;
    return object->dispatch(message, wParam, lParam);
}

} // namespace lexora
