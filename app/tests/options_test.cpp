// The options sheet inside the test program, run modally on a thread of its own as the program
// runs it, while the test works its pages through messages and reads back what reached the
// settings record and lxsys's shared switches.
#include "core/settings.h"
#include "gui.h"
#include "options.h"
#include "options_ids.h"
#include "picture.h"

#include <cpconv.h>
#include <lxsys.h>

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace lexora {
namespace {

using testsupport::waitUntil;

// The sheet's own Apply button.
constexpr int kApplyButton = 0x3021;
constexpr int kPromptButtonsChanged = 10000;

const std::vector<std::string> kEnglishCaptions = {"Parameters", "Buttons", "Chinese Phrases",
                                                   "Decoding", "User Library"};
const std::vector<std::string> kPictureNames = {"parameters", "buttons", "phrases", "decoding",
                                                "userlibrary"};

class OptionsSheet {
  public:
    OptionsSheet(int page, HWND promptBar)
        : thread_([this, page, promptBar] {
              threadId_ = GetCurrentThreadId();
              result_ = LXCfgSheet(nullptr, page, promptBar).execute();
              done_ = true;
          }) {
        waitUntil([this] { return (sheet_ = find()) != nullptr; });
    }
    ~OptionsSheet() {
        if (!done_ && sheet_) PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        thread_.join();
    }
    OptionsSheet(const OptionsSheet&) = delete;
    OptionsSheet& operator=(const OptionsSheet&) = delete;

    HWND window() const { return sheet_; }
    bool done() const { return done_; }
    HWND page() const {
        return reinterpret_cast<HWND>(SendMessageA(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    HWND control(int id) const { return GetDlgItem(page(), id); }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    bool checked(int id) const {
        return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void click(int id) const { SendMessageA(control(id), BM_CLICK, 0, 0); }
    void setText(int id, const char* text) const { SetWindowTextA(control(id), text); }
    std::string text(int id) const {
        char text[256] = "";
        GetWindowTextA(control(id), text, sizeof text);
        return text;
    }
    int sliderPosition(int id) const {
        return static_cast<int>(SendMessageA(control(id), TBM_GETPOS, 0, 0));
    }
    // As a drag of the thumb ends: the slider at its place, then its notification.
    void moveSlider(int id, int position) const {
        SendMessageA(control(id), TBM_SETPOS, TRUE, position);
        SendMessageA(page(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                     reinterpret_cast<LPARAM>(control(id)));
    }
    bool applyEnabled() const { return IsWindowEnabled(GetDlgItem(sheet_, kApplyButton)) != FALSE; }
    void apply() const { SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0); }
    bool pressOk() const {
        PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_OK, 0);
        return waitUntil([this] { return done_.load(); });
    }
    // A window of the sheet's thread with this title, such as a dialog the page opened.
    HWND findWindow(const char* title) const {
        HWND found = nullptr;
        waitUntil([&] {
            found = FindWindowA(nullptr, title);
            return found && GetWindowThreadProcessId(found, nullptr) == threadId_;
        });
        return found;
    }
    HWND tabs() const {
        return reinterpret_cast<HWND>(SendMessageA(sheet_, PSM_GETTABCONTROL, 0, 0));
    }
    std::string tabText(int index) const {
        char label[64] = "";
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = label;
        item.cchTextMax = sizeof label;
        SendMessageA(tabs(), TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
        return label;
    }

  private:
    HWND find() const { return testsupport::visibleWindowOfThread(threadId_); }

    std::atomic<DWORD> threadId_ = 0;
    std::atomic<bool> done_ = false;
    INT_PTR result_ = 0;
    HWND sheet_ = nullptr;
    std::thread thread_;
};

struct DecodeSwitches {
    int autoDetect = 0, mime = 0, hz = 0, iso2022 = 0;
};

DecodeSwitches decodeSwitches() {
    DecodeSwitches switches;
    LXbGetDecode(&switches.autoDetect, &switches.mime, &switches.hz, &switches.iso2022);
    return switches;
}

class OptionsTest : public testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        CPC_SetCodePage(CPC_PAGE_GB);
        settings = Settings{};
        settings.faceStyle = 0;
        decode_ = decodeSwitches();
        SendSNMessage(SN_SET_DELAY, 200, 0);
        SendSNMessage(SN_SET_AUX_KEY, 0, 0);
        SendSNMessage(SN_SET_WORD_BREAK, 2, 2);
        SendSNMessage(SN_SET_JOIN_SPACED, 1, 0);
    }
    void TearDown() override {
        LXbSetDecode(decode_.autoDetect, decode_.mime, decode_.hz, decode_.iso2022);
        CPC_SetCodePage(CPC_PAGE_GB);
        settings = Settings{};
    }

    DecodeSwitches decode_;
};

TEST_F(OptionsTest, OpensCentredOnTheAskedPage) {
    const int last = static_cast<int>(kEnglishCaptions.size()) - 1;
    OptionsSheet sheet(last, nullptr);
    ASSERT_NE(sheet.window(), nullptr);
    EXPECT_TRUE(modalDialogOpen);
    char caption[64] = "";
    GetWindowTextA(sheet.window(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Options");
    ASSERT_EQ(SendMessageA(sheet.tabs(), TCM_GETITEMCOUNT, 0, 0),
              static_cast<LRESULT>(kEnglishCaptions.size()));
    for (int i = 0; i <= last; ++i)
        EXPECT_EQ(sheet.tabText(i), kEnglishCaptions[static_cast<std::size_t>(i)]);
    EXPECT_EQ(SendMessageA(sheet.tabs(), TCM_GETCURSEL, 0, 0), last);
    EXPECT_TRUE(IsWindowVisible(sheet.page()));

    RECT rect;
    GetWindowRect(sheet.window(), &rect);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2);
    EXPECT_TRUE(sheet.pressOk());
    EXPECT_FALSE(modalDialogOpen);
}

TEST_F(OptionsTest, AnUnknownStartPageOpensTheParameters) {
    OptionsSheet sheet(9, nullptr);
    ASSERT_NE(sheet.window(), nullptr);
    EXPECT_EQ(SendMessageA(sheet.tabs(), TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(OptionsTest, TheFontGroupFollowsTheChineseSystemBox) {
    settings.useChinese = 0;
    OptionsSheet sheet(LXCfgSheet::parameters, nullptr);
    ASSERT_NE(sheet.window(), nullptr);
    EXPECT_FALSE(sheet.enabled(IDC_PARAM_FONT_GROUP));
    EXPECT_FALSE(sheet.enabled(IDC_PARAM_SMALLHZ));
    EXPECT_FALSE(sheet.applyEnabled());
    sheet.click(IDC_PARAM_USECHINESE);
    EXPECT_TRUE(sheet.enabled(IDC_PARAM_FONT_GROUP));
    EXPECT_TRUE(sheet.enabled(IDC_PARAM_SMALLHZ));
    EXPECT_TRUE(sheet.applyEnabled());
    sheet.click(IDC_PARAM_USECHINESE);
    EXPECT_FALSE(sheet.enabled(IDC_PARAM_SMALLHZ));
}

// The sliders count tenths of a second and seconds; what is saved at shut-down is what OK left.
TEST_F(OptionsTest, SlidersShowAndSetTheCatchDelayAndTheHidingTime) {
    {
        OptionsSheet sheet(LXCfgSheet::parameters, nullptr);
        ASSERT_NE(sheet.window(), nullptr);
        EXPECT_EQ(sheet.sliderPosition(IDC_PARAM_DELAY), 2);
        EXPECT_EQ(sheet.sliderPosition(IDC_PARAM_HIDE), 10);
        EXPECT_FALSE(sheet.applyEnabled());
        sheet.moveSlider(IDC_PARAM_DELAY, 15);
        EXPECT_TRUE(sheet.applyEnabled());
        ASSERT_TRUE(sheet.pressOk());
    }
    EXPECT_EQ(SendSNMessage(SN_GET_DELAY, 0, 0), 1500);
    EXPECT_EQ(settings.promptHideTime, 100);

    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    std::string path = std::string(directory) + "lexora_options_test.ini";
    DeleteFileA(path.c_str());
    saveSettings(path.c_str(), nullptr);
    EXPECT_EQ(GetPrivateProfileIntA("Catch Word", "Catch Delay Time", -1, path.c_str()), 15);
    EXPECT_EQ(GetPrivateProfileIntA("Catch Word", "Prompt Hide Time", -1, path.c_str()), 100);
    DeleteFileA(path.c_str());
}

// Apply waits for both file names; a name longer than the page takes is cut.
TEST_F(OptionsTest, FileNamesAndSwitchesReachTheSettings) {
    const std::string longName(150, 'x');
    {
        OptionsSheet sheet(LXCfgSheet::parameters, nullptr);
        ASSERT_NE(sheet.window(), nullptr);
        EXPECT_EQ(sheet.text(IDC_PARAM_MEMORYWORD_FILE), "JYWord.HIS");
        EXPECT_EQ(sheet.text(IDC_PARAM_HISTORY_FILE), "History.HIS");
        EXPECT_TRUE(sheet.checked(IDC_PARAM_AUXKEY_NONE));
        EXPECT_TRUE(sheet.checked(IDC_PARAM_OVERWRITE));
        sheet.setText(IDC_PARAM_HISTORY_FILE, "");
        sheet.click(IDC_PARAM_SEARCHATONCE);
        sheet.click(IDC_PARAM_AUXKEY_SHIFT);
        sheet.click(IDC_PARAM_APPEND);
        EXPECT_FALSE(sheet.applyEnabled());
        sheet.setText(IDC_PARAM_MEMORYWORD_FILE, longName.c_str());
        EXPECT_FALSE(sheet.applyEnabled());
        sheet.setText(IDC_PARAM_HISTORY_FILE, "C:\\words\\today.his");
        EXPECT_TRUE(sheet.applyEnabled());
        ASSERT_TRUE(sheet.pressOk());
    }
    EXPECT_EQ(std::string(settings.memoryWordFile), longName.substr(0, 98));
    EXPECT_STREQ(settings.historyFile, "C:\\words\\today.his");
    EXPECT_EQ(settings.searchAtOnce, 0);
    EXPECT_EQ(settings.overwriteHistory, 0);
    EXPECT_EQ(settings.hideMainWindow, 0);
    EXPECT_EQ(SendSNMessage(SN_GET_AUX_KEY, 0, 0), 16);
}

// The open-file dialog is titled by the edit's label without its "&" and fills that edit.
TEST_F(OptionsTest, BrowseFillsTheFileNameEdit) {
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    const std::string chosen = std::string(directory) + "chosen.his";
    OptionsSheet sheet(LXCfgSheet::parameters, nullptr);
    ASSERT_NE(sheet.window(), nullptr);
    PostMessageA(sheet.control(IDC_PARAM_HISTORY_BROWSE), BM_CLICK, 0, 0);
    HWND dialog = sheet.findWindow("History Record filename:");
    ASSERT_NE(dialog, nullptr);
    // The name box of the dialog: a combo box's edit or, in older forms, an edit.
    HWND name = GetDlgItem(dialog, cmb13);
    if (!name) name = GetDlgItem(dialog, edt1);
    ASSERT_NE(name, nullptr);
    SetWindowTextA(name, chosen.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return sheet.text(IDC_PARAM_HISTORY_FILE) == chosen; }));
    EXPECT_TRUE(sheet.applyEnabled());
}

TEST_F(OptionsTest, AnUncheckedButtonIsNoLongerWantedAndThePromptBarIsTold) {
    testsupport::MessageRecorder promptBar;
    promptBar.record(WM_COMMAND);
    {
        OptionsSheet sheet(LXCfgSheet::buttons, promptBar.window());
        ASSERT_NE(sheet.window(), nullptr);
        for (int id = 202; id <= 208; ++id)
            EXPECT_TRUE(sheet.checked(id)) << id;
        sheet.click(203);
        EXPECT_TRUE(sheet.applyEnabled());
        ASSERT_TRUE(sheet.pressOk());
    }
    for (const PromptButtonRow& row : settings.buttons) {
        if (row.commandId == 0) continue;
        EXPECT_EQ(row.wanted, row.commandId == 203 ? 0 : 1) << row.commandId;
    }
    EXPECT_TRUE(promptBar.waitFor(WM_COMMAND, kPromptButtonsChanged).has_value());
}

TEST_F(OptionsTest, LongestMatchingSetsWordBreakModeThree) {
    {
        OptionsSheet sheet(LXCfgSheet::chinesePhrases, nullptr);
        ASSERT_NE(sheet.window(), nullptr);
        EXPECT_TRUE(sheet.checked(IDC_PHRASES_SHORTEST));
        EXPECT_TRUE(sheet.checked(IDC_PHRASES_SPACED));
        sheet.click(IDC_PHRASES_SHORTEST);
        EXPECT_FALSE(sheet.applyEnabled());
        sheet.click(IDC_PHRASES_LONGEST);
        EXPECT_TRUE(sheet.applyEnabled());
        ASSERT_TRUE(sheet.pressOk());
    }
    EXPECT_EQ(SendSNMessage(SN_GET_WORD_BREAK, 2, 0), 3);
    EXPECT_EQ(SendSNMessage(SN_GET_JOIN_SPACED, 0, 0), 1);
}

// Setting a box back does not take Apply away: the sheet keeps the page changed until it applies.
TEST_F(OptionsTest, ApplyPassesTheDecodeSwitches) {
    LXbSetDecode(1, 1, 1, 1);
    OptionsSheet sheet(LXCfgSheet::decoding, nullptr);
    ASSERT_NE(sheet.window(), nullptr);
    for (int id = IDC_DECODE_AUTODETECT; id <= IDC_DECODE_ISO2022; ++id)
        EXPECT_TRUE(sheet.checked(id)) << id;
    EXPECT_FALSE(sheet.applyEnabled());
    sheet.click(IDC_DECODE_MIME);
    EXPECT_TRUE(sheet.applyEnabled());
    sheet.click(IDC_DECODE_MIME);
    EXPECT_TRUE(sheet.applyEnabled());

    sheet.click(IDC_DECODE_AUTODETECT);
    sheet.click(IDC_DECODE_MIME);
    sheet.click(IDC_DECODE_ISO2022);
    sheet.apply();
    DecodeSwitches switches = decodeSwitches();
    EXPECT_EQ(switches.autoDetect, 0);
    EXPECT_EQ(switches.mime, 0);
    EXPECT_EQ(switches.hz, 1);
    EXPECT_EQ(switches.iso2022, 0);
    EXPECT_FALSE(sheet.applyEnabled());
}

// The pages' GB texts and the tabs' captions read in BIG5 when that is the current page.
TEST_F(OptionsTest, PageTextsFollowTheCurrentCodePage) {
    settings.faceStyle = 1;
    std::string gbGroup;
    std::string gbTab;
    {
        OptionsSheet sheet(LXCfgSheet::decoding, nullptr);
        ASSERT_NE(sheet.window(), nullptr);
        gbGroup = sheet.text(IDC_DECODE_GROUP);
        gbTab = sheet.tabText(LXCfgSheet::decoding);
    }
    auto toBig5 = [](const std::string& gb) {
        char big5[64] = "";
        CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, gb.c_str(), 0, big5, sizeof big5);
        return std::string(big5);
    };
    EXPECT_NE(gbGroup, toBig5(gbGroup));
    EXPECT_NE(gbTab, toBig5(gbTab));
    CPC_SetCodePage(CPC_PAGE_BIG5);
    OptionsSheet sheet(LXCfgSheet::decoding, nullptr);
    ASSERT_NE(sheet.window(), nullptr);
    EXPECT_EQ(sheet.text(IDC_DECODE_GROUP), toBig5(gbGroup));
    EXPECT_EQ(sheet.tabText(LXCfgSheet::decoding), toBig5(gbTab));
}

// Pictures of every page in both faces for the documentation, the Chinese one drawn by lxsys.
TEST_F(OptionsTest, PicturesOfEveryPage) {
    ASSERT_NE(LXbToChinese(), 0);
    LXbActiveHZSYS(1);
    LXbSetDecode(1, 1, 1, 0);
    for (int face = 0; face <= 1; ++face) {
        settings.faceStyle = face;
        for (std::size_t page = 0; page < kEnglishCaptions.size(); ++page) {
            OptionsSheet sheet(static_cast<int>(page), nullptr);
            ASSERT_NE(sheet.window(), nullptr);
            RedrawWindow(sheet.window(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            testsupport::pumpFor(500);
            std::string name = "options-" + kPictureNames[page] + (face ? "-chinese" : "-english");
            EXPECT_TRUE(lexoratest::savePictureOf(sheet.window(), name)) << name;
        }
    }
    LXbActiveHZSYS(0);
    LXbToEnglish();
}

} // namespace
} // namespace lexora
