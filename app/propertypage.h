// TNewPropertyPage: a page of the options sheet. It takes its dialog template by the face,
// converts its texts to the current code page, tells the sheet when it has changed (which
// enables Apply) and ends Apply/OK with the sheet's own handling.
#ifndef LEXORA_PROPERTYPAGE_H
#define LEXORA_PROPERTYPAGE_H

#include "framework/framework.h"

#include <prsht.h>

namespace lexora {

class TNewPropertyPage : public TDialog {
  public:
    // The page on its Chinese-face template; the English face uses the id + 4000.
    explicit TNewPropertyPage(int chineseTemplateId);

    // The record the sheet creates the page from; the page's window is bound to this object.
    PROPSHEETPAGEA pageRecord();

  protected:
    // Converts the page's window texts to the current code page; pages call it at the end of
    // their setupWindow.
    void convertTexts();
    // Enables or disables the sheet's Apply button for this page.
    void setChanged();
    void setUnchanged();
    // Apply/OK of this page; pages do their own work and then call TNewPropertyPage::apply().
    virtual void apply();
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    static INT_PTR CALLBACK pageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int chineseTemplateId_;
};

} // namespace lexora

#endif
