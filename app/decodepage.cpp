#include "decodepage.h"

#include "options_ids.h"

#include <lxsys.h>

namespace lexora {

namespace {

// The boxes in the order of lxsys's switches.
constexpr int kSwitchBoxes[] = {IDC_DECODE_AUTODETECT, IDC_DECODE_MIME, IDC_DECODE_HZ,
                                IDC_DECODE_ISO2022};

} // namespace

TDecodeDialog::TDecodeDialog() : TNewPropertyPage(IDD_DECODING) {}

BOOL TDecodeDialog::setupWindow() {
    LXbGetDecode(&switches_[0], &switches_[1], &switches_[2], &switches_[3]);
    for (int i = 0; i < kSwitchCount; ++i)
        CheckDlgButton(handle(), kSwitchBoxes[i], switches_[i] ? BST_CHECKED : BST_UNCHECKED);
    convertTexts();
    return TRUE;
}

bool TDecodeDialog::boxesDifferFromSwitches() const {
    for (int i = 0; i < kSwitchCount; ++i) {
        bool checked = IsDlgButtonChecked(handle(), kSwitchBoxes[i]) == BST_CHECKED;
        if (checked != (switches_[i] != 0)) return true;
    }
    return false;
}

// A box set back to its switch leaves Apply as it was: another box may still differ.
bool TDecodeDialog::onCommand(UINT id, UINT notification, HWND) {
    if (id < IDC_DECODE_AUTODETECT || id > IDC_DECODE_ISO2022 || notification != BN_CLICKED)
        return false;
    if (boxesDifferFromSwitches()) setChanged();
    return true;
}

void TDecodeDialog::apply() {
    for (int i = 0; i < kSwitchCount; ++i)
        switches_[i] = IsDlgButtonChecked(handle(), kSwitchBoxes[i]) == BST_CHECKED ? 1 : 0;
    LXbSetDecode(switches_[0], switches_[1], switches_[2], switches_[3]);
    setUnchanged();
    TNewPropertyPage::apply();
}

} // namespace lexora
