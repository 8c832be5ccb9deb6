#include "notetab.h"

#include "core/settings.h"
#include "framework/notetabctl.h"
#include "resource_ids.h"

#include <cpconv.h>

#include <commctrl.h>

#include <iterator>
#include <utility>

namespace lexora {

namespace {

// The tab labels in GB: 关于晨野坊, 输入区, 相邻区, 结果区, 新特性.
constexpr const char* kTabLabels[] = {
    "\xB9\xD8\xD3\xDA\xB3\xBF\xD2\xB0\xB7\xBB",
    "\xCA\xE4\xC8\xEB\xC7\xF8",
    "\xCF\xE0\xC1\xDA\xC7\xF8",
    "\xBD\xE1\xB9\xFB\xC7\xF8",
    "\xD0\xC2\xCC\xD8\xD0\xD4",
};
// Tab k shows the texts from 111 + 10 k on, this many of them.
constexpr int kGroupSizes[] = {5, 4, 2, 3, 3};
static_assert(std::size(kTabLabels) == std::size(kGroupSizes));
constexpr int kTabCount = static_cast<int>(std::size(kGroupSizes));
constexpr int kLabelSize = 256;

int firstTextOf(int tab) {
    return 111 + 10 * tab;
}

class TNoteTabDlg : public TDialog {
  public:
    TNoteTabDlg(HWND parent, int tab) : TDialog(parent, IDD_BRIEF), initialTab_(tab) {}

  protected:
    BOOL setupWindow() override;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void addTabs();
    void centreOnScreen();
    void showGroup(int tab);

    TNoteTab tabs_;
    int initialTab_;
};

BOOL TNoteTabDlg::setupWindow() {
    tabs_.attachControl(GetDlgItem(handle(), IDC_BRIEF_TABS));
    addTabs();
    tabs_.select(initialTab_);
    centreOnScreen();
    showGroup(initialTab_);
    CPC_ConvertWindow(handle());
    return TRUE;
}

void TNoteTabDlg::addTabs() {
    for (const char* label : kTabLabels) {
        char shown[kLabelSize];
        if (CPC_ConvertDBCSBuffer(CPC_FLAG_TO_CURRENT, label, 0, shown, sizeof shown) <= 0)
            lstrcpynA(shown, label, sizeof shown);
        tabs_.add(shown);
    }
}

void TNoteTabDlg::centreOnScreen() {
    RECT rect;
    GetWindowRect(handle(), &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    SetWindowPos(handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TNoteTabDlg::showGroup(int tab) {
    for (int group = 0; group < kTabCount; ++group) {
        bool shown = group == tab;
        for (int i = 0; i < kGroupSizes[group]; ++i) {
            HWND text = GetDlgItem(handle(), firstTextOf(group) + i);
            if (!text) continue;
            ShowWindow(text, shown ? SW_SHOW : SW_HIDE);
            EnableWindow(text, shown);
        }
    }
}

LRESULT TNoteTabDlg::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_BRIEF_TABS && header->code == TCN_SELCHANGE)
            showGroup(tabs_.selected());
        return 0;
    }
    case WM_LBUTTONDOWN:
        closeWindow(IDCANCEL);
        return TRUE;
    default:
        return TDialog::handleMessage(message, wParam, lParam);
    }
}

} // namespace

void openBriefDialog(HWND parent, int tab) {
    if (tab < 0 || tab >= kTabCount) tab = 0;
    bool wasOpen = std::exchange(modalDialogOpen, true);
    TNoteTabDlg dialog(parent, tab);
    dialog.execute();
    modalDialogOpen = wasOpen;
}

} // namespace lexora
