// TDecodeDialog: the options sheet's page of the four decode switches lxsys applies to the text
// other programs draw: GB/BIG5 identification and MIME, HZ and ISO-2022 decoding.
#ifndef LEXORA_DECODEPAGE_H
#define LEXORA_DECODEPAGE_H

#include "propertypage.h"

namespace lexora {

class TDecodeDialog : public TNewPropertyPage {
  public:
    TDecodeDialog();

  protected:
    BOOL setupWindow() override;
    bool onCommand(UINT id, UINT notification, HWND control) override;
    void apply() override;

  private:
    static constexpr int kSwitchCount = 4;
    bool boxesDifferFromSwitches() const;

    // Auto-detect, MIME, HZ, ISO-2022, as last read from or passed to lxsys.
    int switches_[kSwitchCount] = {};
};

} // namespace lexora

#endif
