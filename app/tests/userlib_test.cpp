// The user library page in a small property sheet of the test's own, with the real user library,
// dictionary and lxsys and the program's resources: the page worked through its controls, and
// what it did read back from the library, its file and the engine's lookup.
#include "core/files.h"
#include "core/messages.h"
#include "core/settings.h"
#include "gui.h"
#include "picture.h"
#include "userlib.h"
#include "userlib_ids.h"

#include <cpconv.h>
#include <lxsys.h>
#include <lxtran.h>
#include <wordbank.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace lexora {
namespace {

using testsupport::waitUntil;

constexpr int kApplyButton = 0x3021;
// The file name field of the system's file dialog: a combo box, or an edit in the older style.
constexpr int kFileNameBox = 0x47C;
constexpr int kFileNameEdit = 0x480;

// "n.苹果" and "词典" in GB.
constexpr char kAppleMeaning[] = "n.\xc6\xbb\xb9\xfb";
constexpr char kDictionaryMeaning[] = "\xb4\xca\xb5\xe4";

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string packed(const std::string& phrase, const std::string& soundmark,
                   const std::string& meaning) {
    return phrase + '\0' + soundmark + '\0' + meaning + '\0';
}

// The record the open library holds for a phrase: soundmark and meaning, or "" when none.
std::string recordOf(const char* phrase) {
    char record[WBK_RECORD_BUFFER] = "";
    if (!WBK_Seek(phrase) || WBK_GetRecord(record, sizeof record) <= 0) return "";
    const char* soundmark = record + std::strlen(record) + 1;
    return std::string(soundmark) + "|" + (soundmark + std::strlen(soundmark) + 1);
}

std::string libraryName() {
    char name[kFileNameCapacity] = "";
    WBK_GetName(name, sizeof name);
    return name;
}

// The page alone in a modeless sheet of this thread.
class PageHost {
  public:
    PageHost() {
        PROPSHEETPAGEA record = page_.pageRecord();
        PROPSHEETHEADERA header{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS;
        header.pszCaption = "Options";
        header.nPages = 1;
        header.ppsp = &record;
        sheet_ = reinterpret_cast<HWND>(PropertySheetA(&header));
        pageWindow_ = sheet_ ? PropSheet_GetCurrentPageHwnd(sheet_) : nullptr;
        if (sheet_) testsupport::pumpFor(100);
    }
    ~PageHost() {
        if (sheet_) DestroyWindow(sheet_);
    }
    PageHost(const PageHost&) = delete;
    PageHost& operator=(const PageHost&) = delete;

    HWND sheet() const { return sheet_; }
    HWND page() const { return pageWindow_; }
    HWND control(int id) const { return GetDlgItem(pageWindow_, id); }
    std::string text(int id) const {
        char text[512] = "";
        GetWindowTextA(control(id), text, sizeof text);
        return text;
    }
    void setText(int id, const char* text) const { SetWindowTextA(control(id), text); }
    // Letters typed into an edit one by one, as the user types them.
    void type(int id, const char* letters) const {
        for (const char* letter = letters; *letter != '\0'; ++letter)
            SendMessageA(control(id), WM_CHAR, static_cast<unsigned char>(*letter), 1);
    }
    void click(int id) const { SendMessageA(control(id), BM_CLICK, 0, 0); }
    // A click whose handling runs a modal dialog: posted, so that the test goes on meanwhile.
    void postClick(int id) const {
        PostMessageA(pageWindow_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control(id)));
    }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    bool shown(int id) const { return IsWindowVisible(control(id)) != FALSE; }
    // The status texts now shown.
    std::vector<std::string> statuses() const {
        std::vector<std::string> shownTexts;
        for (int id = IDC_UL_APPENDED; id <= IDC_UL_CREATED; ++id)
            if (shown(id)) shownTexts.push_back(text(id));
        return shownTexts;
    }
    bool applyEnabled() const { return IsWindowEnabled(GetDlgItem(sheet_, kApplyButton)) != FALSE; }
    void apply() const { SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0); }

  private:
    TUserLib page_;
    HWND sheet_ = nullptr;
    HWND pageWindow_ = nullptr;
};

// Answers the next file dialog of a thread with a path, from a thread of its own, while the
// dialog's thread runs it modally. A dialog that does not take the path is cancelled, so that a
// failing test never hangs in it.
class FileDialogAnswer {
  public:
    FileDialogAnswer(DWORD dialogThread, HWND sheet, std::string path)
        : thread_([this, dialogThread, sheet, path] { answer(dialogThread, sheet, path); }) {}
    ~FileDialogAnswer() { thread_.join(); }
    FileDialogAnswer(const FileDialogAnswer&) = delete;
    FileDialogAnswer& operator=(const FileDialogAnswer&) = delete;

    bool done() const { return done_; }
    bool answered() const { return answered_; }
    const std::string& title() const { return title_; }

  private:
    struct Search {
        HWND skipped;
        HWND found;
    };

    static HWND findDialog(DWORD thread, HWND skipped) {
        Search search{skipped, nullptr};
        EnumThreadWindows(
            thread,
            [](HWND window, LPARAM value) {
                auto* search = reinterpret_cast<Search*>(value);
                char name[16] = "";
                GetClassNameA(window, name, sizeof name);
                if (window == search->skipped || !IsWindowVisible(window) ||
                    std::string(name) != "#32770")
                    return TRUE;
                search->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    void answer(DWORD dialogThread, HWND sheet, const std::string& path) {
        HWND dialog = nullptr;
        for (int tries = 0; tries < 200 && !(dialog = findDialog(dialogThread, sheet)); ++tries)
            Sleep(50);
        if (dialog) {
            char title[128] = "";
            GetWindowTextA(dialog, title, sizeof title);
            title_ = title;
            for (int box : {kFileNameBox, kFileNameEdit})
                if (HWND name = GetDlgItem(dialog, box))
                    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            for (int tries = 0; tries < 100 && IsWindow(dialog); ++tries)
                Sleep(50);
            answered_ = !IsWindow(dialog);
            if (!answered_) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        done_ = true;
    }

    std::atomic<bool> done_ = false;
    std::atomic<bool> answered_ = false;
    std::string title_;
    std::thread thread_;
};

struct ShownMessage {
    std::string text;
    std::string caption;
    UINT type = 0;
};

class UserLibTest : public testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        CPC_SetCodePage(CPC_PAGE_GB);
        loadPhoneticGlyphs();
        settings = Settings{};
        settings.faceStyle = 0;
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        directory_ = std::string(temp) + "lxuserlib" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(directory_.c_str(), nullptr);
        library_ = directory_ + "\\Mine.txt";
        ASSERT_TRUE(WBK_Create(library_.c_str()));
        ASSERT_TRUE(WBK_AddRecord(packed("apple", "Rpl", kAppleMeaning).c_str()));
        ASSERT_TRUE(WBK_AddRecord(packed("dictionary", "dikSGnGri", kDictionaryMeaning).c_str()));
        settings.useUserLibrary = 1;
        std::snprintf(settings.libraryName, sizeof settings.libraryName, "%s", library_.c_str());
        setMessageFunction([this](HWND, const char* text, const char* caption, UINT type) {
            messages_.push_back({text, caption, type});
            return answer_;
        });
    }
    void TearDown() override {
        setMessageFunction({});
        WBK_Close();
        for (const char* name : {"\\Mine.txt", "\\Other.txt"})
            DeleteFileA((directory_ + name).c_str());
        RemoveDirectoryA(directory_.c_str());
        settings = Settings{};
    }

    // Clicks New or Open and answers the file dialog with `path`.
    void chooseFile(PageHost& host, int button, const std::string& path) {
        FileDialogAnswer answer(GetCurrentThreadId(), host.sheet(), path);
        host.postClick(button);
        ASSERT_TRUE(waitUntil([&] { return answer.done(); }));
        ASSERT_TRUE(answer.answered()) << "the file dialog did not take " << path;
        testsupport::pumpFor(200);
        EXPECT_EQ(answer.title(), button == IDC_UL_NEW ? "New Library" : "Open User Library");
    }

    std::string directory_;
    std::string library_;
    std::vector<ShownMessage> messages_;
    int answer_ = IDCANCEL;
};

// As soon as the typed letters make a phrase of the library, its record fills the edits.
TEST_F(UserLibTest, TypingAnExistingPhraseFillsSoundmarkAndMeaning) {
    PageHost host;
    host.type(IDC_UL_PHRASE, "appl");
    EXPECT_EQ(host.text(IDC_UL_MEANING), "");
    EXPECT_TRUE(host.statuses().empty());
    host.type(IDC_UL_PHRASE, "e");
    EXPECT_EQ(host.text(IDC_UL_SOUNDMARK), "Rpl");
    EXPECT_EQ(host.text(IDC_UL_MEANING), kAppleMeaning);
    EXPECT_EQ(host.statuses(), std::vector<std::string>{"Already exist."});
    // A phrase the library lacks takes the status away; spaces around a phrase do not count.
    host.type(IDC_UL_PHRASE, "s");
    EXPECT_TRUE(host.statuses().empty());
    host.setText(IDC_UL_PHRASE, "  DICTIONARY\t");
    EXPECT_EQ(host.text(IDC_UL_MEANING), kDictionaryMeaning);
}

TEST_F(UserLibTest, AppendReplacesAnExistingPhraseAndJoinsTheMeaningsLines) {
    PageHost host;
    host.setText(IDC_UL_PHRASE, "apple ");
    host.setText(IDC_UL_SOUNDMARK, "Rpl");
    host.setText(IDC_UL_MEANING, " n.fruit;\r\nv.to apple\r\n");
    host.click(IDC_UL_APPEND);
    EXPECT_EQ(host.statuses(), std::vector<std::string>{"Append successful!"});
    EXPECT_EQ(recordOf("apple"), "Rpl|n.fruit;v.to apple");
    EXPECT_EQ(host.text(IDC_UL_COUNT), "2");
    EXPECT_EQ(host.text(IDC_UL_PHRASE), "");

    host.setText(IDC_UL_PHRASE, "book");
    host.setText(IDC_UL_MEANING, "");
    host.click(IDC_UL_MODIFY);
    EXPECT_EQ(host.statuses(), std::vector<std::string>{"Modify fail"});
    host.setText(IDC_UL_MEANING, "my book");
    host.click(IDC_UL_MODIFY);
    EXPECT_EQ(host.statuses(), std::vector<std::string>{"Modify successful!"});
    EXPECT_EQ(host.text(IDC_UL_COUNT), "3");

    host.setText(IDC_UL_PHRASE, "pear");
    host.click(IDC_UL_DELETE);
    EXPECT_EQ(host.statuses(), std::vector<std::string>{"No this phrase!"});
    host.setText(IDC_UL_PHRASE, "book");
    host.click(IDC_UL_DELETE);
    EXPECT_EQ(host.statuses(), std::vector<std::string>{"Delete successful!"});
    EXPECT_EQ(host.text(IDC_UL_COUNT), "2");
}

// The engine asks the user library before its dictionary.
TEST_F(UserLibTest, APhraseAddedHereAnswersTheEnginesLookup) {
    PageHost host;
    host.setText(IDC_UL_PHRASE, "book");
    host.setText(IDC_UL_SOUNDMARK, "bUk");
    host.setText(IDC_UL_MEANING, "my own book");
    host.click(IDC_UL_APPEND);
    char entry[1024] = "";
    EXPECT_GT(LXaTranslateStr(LXA_MODE_LOOKUP, "book", entry, sizeof entry), 1);
    EXPECT_NE(std::string(entry).find("my own book"), std::string::npos) << entry;
}

TEST_F(UserLibTest, WithoutALibraryOnlyTheUseBoxOpenAndNewWork) {
    WBK_Close();
    PageHost host;
    EXPECT_EQ(host.text(IDC_UL_NAME), "No User Library");
    EXPECT_EQ(host.text(IDC_UL_CODEPAGE), "");
    EXPECT_EQ(host.text(IDC_UL_COUNT), "");
    for (int id : {IDC_UL_INPUTGROUP, IDC_UL_PHRASE, IDC_UL_SOUNDMARK, IDC_UL_MEANING,
                   IDC_UL_APPEND, IDC_UL_MODIFY, IDC_UL_DELETE, IDC_UL_CLOSE})
        EXPECT_FALSE(host.enabled(id)) << id;
    for (int id : {IDC_UL_USE, IDC_UL_OPEN, IDC_UL_NEW})
        EXPECT_TRUE(host.enabled(id)) << id;

    chooseFile(host, IDC_UL_OPEN, library_);
    EXPECT_EQ(host.statuses(), std::vector<std::string>{"Open User Library."});
    EXPECT_EQ(host.text(IDC_UL_NAME), "Mine.txt");
    EXPECT_EQ(host.text(IDC_UL_CODEPAGE), "CHN-GB");
    EXPECT_EQ(host.text(IDC_UL_COUNT), "2");
    EXPECT_STREQ(settings.libraryName, library_.c_str());
    EXPECT_TRUE(host.enabled(IDC_UL_APPEND));
}

TEST_F(UserLibTest, CreatingOverAnExistingFileAsksFirst) {
    WBK_Close();
    const std::string before = readFile(library_);
    ASSERT_NE(before.find("\"apple\""), std::string::npos);
    const std::string other = directory_ + "\\Other.txt";
    ASSERT_TRUE(WBK_Create(other.c_str()));
    PageHost host;

    chooseFile(host, IDC_UL_NEW, library_);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "File " + library_ + " \nalready exist, Owerwrite it?");
    EXPECT_EQ(messages_[0].caption, "Create User Library Error");
    EXPECT_EQ(messages_[0].type & (MB_TYPEMASK | MB_DEFMASK), UINT{MB_OKCANCEL | MB_DEFBUTTON2});
    EXPECT_EQ(readFile(library_), before);
    EXPECT_EQ(libraryName(), other);
    EXPECT_EQ(host.text(IDC_UL_NAME), "Other.txt");

    // Confirmed, the file is emptied and becomes the open library; the settings keep their name.
    answer_ = IDOK;
    chooseFile(host, IDC_UL_NEW, library_);
    EXPECT_EQ(host.statuses(), std::vector<std::string>{"Create User Library."});
    EXPECT_EQ(libraryName(), library_);
    EXPECT_EQ(host.text(IDC_UL_COUNT), "0");
    EXPECT_EQ(readFile(library_).find("\"apple\""), std::string::npos);
    EXPECT_STREQ(settings.libraryName, library_.c_str());
}

TEST_F(UserLibTest, UncheckingUseAndApplyingClosesAndSavesTheLibrary) {
    WBK_Close();
    ASSERT_TRUE(WBK_Open(library_.c_str()));
    PageHost host;
    host.setText(IDC_UL_PHRASE, "pear");
    host.setText(IDC_UL_MEANING, "n.pear");
    host.click(IDC_UL_APPEND);
    EXPECT_EQ(readFile(library_).find("\"pear\""), std::string::npos);

    EXPECT_FALSE(host.applyEnabled());
    host.click(IDC_UL_USE);
    EXPECT_TRUE(host.applyEnabled());
    host.apply();
    EXPECT_EQ(settings.useUserLibrary, 0);
    EXPECT_EQ(WBK_Loaded(), 0);
    EXPECT_NE(readFile(library_).find("\"pear\",\"\",\"n.pear\""), std::string::npos);
    EXPECT_FALSE(host.applyEnabled());
    EXPECT_EQ(host.text(IDC_UL_NAME), "No User Library");

    // Checked again, Apply opens the library the settings name.
    host.click(IDC_UL_USE);
    host.apply();
    EXPECT_EQ(settings.useUserLibrary, 1);
    EXPECT_EQ(libraryName(), library_);
    EXPECT_EQ(host.text(IDC_UL_COUNT), "3");
}

// Whether the preview control holds pixels of another colour than its background.
bool previewHasInk(HWND preview) {
    RECT rect{};
    GetWindowRect(preview, &rect);
    std::optional<testsupport::ScreenImage> image = testsupport::captureScreen(rect);
    if (!image) return false;
    const std::uint32_t background = image->at(0, 0);
    for (std::uint32_t pixel : image->pixels)
        if (pixel != background) return true;
    return false;
}

TEST_F(UserLibTest, TheSoundmarkIsPreviewedInPhoneticSymbols) {
    PageHost host;
    HWND preview = host.control(IDC_UL_PREVIEW);
    EXPECT_FALSE(previewHasInk(preview));
    host.type(IDC_UL_SOUNDMARK, "dikSGnGri");
    UpdateWindow(preview);
    testsupport::pumpFor(100);
    EXPECT_TRUE(previewHasInk(preview));
    host.setText(IDC_UL_SOUNDMARK, "");
    UpdateWindow(preview);
    testsupport::pumpFor(100);
    EXPECT_FALSE(previewHasInk(preview));
}

// Pictures of the page in both faces for the documentation, the Chinese one drawn by lxsys.
TEST_F(UserLibTest, PicturesOfThePageInBothFaces) {
    ASSERT_NE(LXbToChinese(), 0);
    LXbActiveHZSYS(1);
    for (int face = 0; face <= 1; ++face) {
        settings.faceStyle = face;
        PageHost host;
        ASSERT_NE(host.page(), nullptr);
        host.setText(IDC_UL_PHRASE, "dictionary");
        testsupport::pumpFor(300);
        const std::string name = face ? "options-userlib-chinese" : "options-userlib-english";
        EXPECT_TRUE(lexoratest::savePictureOf(host.sheet(), name)) << name;
    }
    LXbActiveHZSYS(0);
    LXbToEnglish();
}

} // namespace
} // namespace lexora
