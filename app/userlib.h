// TUserLib: the user library page of the options sheet. It shows which user library is open,
// its code page and its number of phrases; opens, creates and closes library files; enters,
// changes and deletes records; and switches the use of the user library on or off.
#ifndef LEXORA_USERLIB_H
#define LEXORA_USERLIB_H

#include "propertypage.h"

#include <memory>

namespace lexora {

class TUserLib : public TNewPropertyPage {
  public:
    TUserLib();
    ~TUserLib() override;

  protected:
    BOOL setupWindow() override;
    bool onCommand(UINT id, UINT notification, HWND control) override;
    void apply() override;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace lexora

#endif
