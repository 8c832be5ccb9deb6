// The options sheet's own pages: parameters (files, capture timing, auxiliary key, start-up and
// history switches), the prompt bar's buttons, and the grouping of caught Chinese into phrases.
#ifndef LEXORA_OPTIONPAGES_H
#define LEXORA_OPTIONPAGES_H

#include "propertypage.h"

namespace lexora {

class TParameterDlg : public TNewPropertyPage {
  public:
    TParameterDlg();

  protected:
    BOOL setupWindow() override;
    bool onCommand(UINT id, UINT notification, HWND control) override;
    void apply() override;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    static const CommandRoute<TParameterDlg> commands[];

    void showSettings();
    void placeSliders();
    HWND sliderOverPlaceholder(int id, int low, int high, int position);
    void enableFontGroup(bool on);
    void noteChange();
    void useChineseClicked();
    void browseMemoryWordFile();
    void browseHistoryFile();
    void browse(int labelId, int editId);
    void storeSettings();
    void passDisplaySwitches();
    bool checked(int id) const;
    int sliderPosition(int id) const;
    void takeFileName(int editId, char* fileName) const;

    // The display switches as lxsys has them, to tell at Apply what must be passed on.
    int useChinese_ = 0;
    int fontSelector_ = 0;
    int smallHZType_ = 0;
    // Set-up fills the controls, whose notifications are no changes of the user's.
    bool settingUp_ = false;
};

class TCfgButtonDlg : public TNewPropertyPage {
  public:
    // `promptBar` learns of the new choice of buttons at Apply.
    explicit TCfgButtonDlg(HWND promptBar);

  protected:
    BOOL setupWindow() override;
    bool onCommand(UINT id, UINT notification, HWND control) override;
    void apply() override;

  private:
    HWND promptBar_;
};

class TZWTDialog : public TNewPropertyPage {
  public:
    TZWTDialog();

  protected:
    BOOL setupWindow() override;
    bool onCommand(UINT id, UINT notification, HWND control) override;
    void apply() override;

  private:
    int selectedMode() const;
    bool joinSpacedChecked() const;
};

} // namespace lexora

#endif
