// LEXORA.EXE driven as its user drives it: words typed with real key presses into its input box,
// commands posted to its frame as its menus post them, and what it shows read back across the
// process boundary from its controls and from the files it writes.
#include "gui.h"
#include "picture.h"
#include "program_test.h"
#include "resource_ids.h"

#include <cpconv.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace lexoratest {
namespace {

using testsupport::waitUntil;

constexpr char kMemoryWordFile[] = "JYWord.HIS";
constexpr char kHistoryFile[] = "History.HIS";
constexpr char kSettingsFile[] = "LEXORA.INI";

// GB texts: "中国", "书", the count line's "同义词数:" and the Chinese face's input label.
constexpr char kChina[] = "\xd6\xd0\xb9\xfa";
constexpr char kBookChinese[] = "\xca\xe9";
constexpr char kCountPrefix[] = "\xcd\xac\xd2\xe5\xb4\xca\xca\xfd:";
constexpr char kChineseInputLabel[] = "\xca\xe4\xc8\xeb(I)";

// The entry of book in the word files: its meanings "n.书;书籍;帐簿;名册;工作簿" and "v.登记;预订"
// in GB, as the dictionary gives them.
constexpr char kBookMeanings[] =
    "n.\xca\xe9;\xca\xe9\xbc\xae;\xd5\xca\xb2\xbe;\xc3\xfb\xb2\xe1;\xb9\xa4\xd7\xf7\xb2\xbe\r\n"
    "v.\xb5\xc7\xbc\xc7;\xd4\xa4\xb6\xa9";
const std::string kBookEntry =
    std::string("<<< book >>>\r\n\tbook\r\n") + kBookMeanings + "\r\n\r\n";

// What the program writes at its close when it started from a file holding only the decoding
// flags: every other key in the order of its saving, sections in the order first written.
constexpr char kSavedSettings[] = "[Smart Decoding]\r\n"
                                  "Auto Detect Code Page=1\r\n"
                                  "Decode MIME=0\r\n"
                                  "Decode HZ Code=1\r\n"
                                  "Decode ISO2022=0\r\n"
                                  "[Start Up]\r\n"
                                  "Hide Main Window=0\r\n"
                                  "[System]\r\n"
                                  "Use Chinese=1\r\n"
                                  "Chinese Code Page=1\r\n"
                                  "Face Style=1\r\n"
                                  "Dynamic E2C=0\r\n"
                                  "Auto Save History=1\r\n"
                                  "Overwrite History=1\r\n"
                                  "Searth at once=1\r\n"
                                  "Sound Alert=1\r\n"
                                  "History File=JYWord.HIS\r\n"
                                  "Memory Word File=History.HIS\r\n"
                                  "Small HZ Type=0\r\n"
                                  "Hotkey Switch=1\r\n"
                                  "[Catch Word]\r\n"
                                  "Catch Word=1\r\n"
                                  "Lock Prompt=0\r\n"
                                  "Warp Prompt=0\r\n"
                                  "Catch Delay Time=2\r\n"
                                  "Prompt Hide Time=100\r\n"
                                  "Auxiliary Key=NONE\r\n"
                                  "Prompt Bar Position=0,0\r\n"
                                  "[Bar Button]\r\n"
                                  "Button0=1\r\n"
                                  "Button1=1\r\n"
                                  "Button2=1\r\n"
                                  "Button3=1\r\n"
                                  "Button4=1\r\n"
                                  "Button5=1\r\n"
                                  "Button6=1\r\n"
                                  "[Word Break]\r\n"
                                  "HZ Word Break=2\r\n"
                                  "Delete Space Between HZ=1\r\n"
                                  "[User Library]\r\n"
                                  "Use User Library=0\r\n"
                                  "Library Name=\r\n";

// --- Reading the program's controls from this process ------------------------------------------

std::string textOf(HWND window) {
    std::vector<char> text(8192, '\0');
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

// Wine hands LB_GETTEXT and CB_GETLBTEXT across processes in UTF-16 even when asked in ANSI, so
// they are asked in UTF-16 and the text turned back into the bytes the program put there. They
// take no buffer size: the item's length, asked first, bounds it.
std::string itemText(HWND control, UINT lengthMessage, UINT textMessage, int index) {
    std::vector<wchar_t> text(1024, L'\0');
    LRESULT length = SendMessageW(control, lengthMessage, index, 0);
    if (length < 0 || length >= static_cast<LRESULT>(text.size())) return "<unreadable>";
    SendMessageW(control, textMessage, index, reinterpret_cast<LPARAM>(text.data()));
    std::vector<char> bytes(2 * text.size() + 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), -1, bytes.data(), static_cast<int>(bytes.size()),
                        nullptr, nullptr);
    return bytes.data();
}

int rowCount(HWND list) {
    return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
}

int selectedRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
}

std::string rowText(HWND list, int row) {
    return itemText(list, LB_GETTEXTLEN, LB_GETTEXT, row);
}

int historyCount(HWND input) {
    return static_cast<int>(SendMessageA(input, CB_GETCOUNT, 0, 0));
}

std::string historyItem(HWND input, int index) {
    return itemText(input, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

int widthOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

// The count line is the main window's one static text without an id of its own.
HWND countLineOf(HWND mainWindow) {
    for (HWND child = GetWindow(mainWindow, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = "";
        GetClassNameA(child, name, sizeof name);
        int id = GetDlgCtrlID(child);
        if (lstrcmpiA(name, "Static") == 0 && (id == -1 || id == 0xFFFF)) return child;
    }
    return nullptr;
}

// cpconv is loaded only while it converts: the program's directory links the same file, and
// Wine neither replaces nor removes a file that a process holds mapped.
std::string gbToBig5(const std::string& gb) {
    HMODULE library = LoadLibraryA("cpconv.dll");
    if (!library) return "<no cpconv>";
    auto convert = reinterpret_cast<decltype(&CPC_ConvertDBCSBuffer)>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "CPC_ConvertDBCSBuffer")));
    std::vector<char> big5(gb.size() + 1, '\0');
    if (convert)
        convert(CPC_FLAG_GB_TO_BIG5, gb.c_str(), 0, big5.data(), static_cast<int>(big5.size()));
    FreeLibrary(library);
    return big5.data();
}

bool holdsChinese(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
}

// The result pane breaks its lines by the measured width of the text, which differs between
// the code pages.
std::string withoutLineBreaks(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 2);
    return text;
}

// --- The program ------------------------------------------------------------------------------

class ProgramLookupTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (HasFatalFailure()) return;
        directory_.removeFile(kMemoryWordFile);
        directory_.removeFile(kHistoryFile);
    }

    void startProgram() {
        ProgramTest::startProgram();
        if (HasFatalFailure()) return;
        frame_ = program_.frame();
        input_ = control(IDC_INPUT);
        ASSERT_NE(input_, nullptr);
        inputField_ = GetWindow(input_, GW_CHILD);
        ASSERT_NE(inputField_, nullptr);
    }

    HWND control(int id) const { return descendantWithId(frame_, id); }

    // Key presses go to the foreground window's focus: the frame, with its input box's edit
    // field focused. The first hot key brings the frame to the foreground with that focus.
    void focusInput() {
        auto ready = [&] {
            return GetForegroundWindow() == frame_ && program_.focus() == inputField_;
        };
        if (ready()) return;
        if (GetForegroundWindow() == frame_)
            PostMessageA(frame_, WM_COMMAND, CM_FOCUSINPUT, 0);
        else
            PostMessageA(frame_, kHotKeyMessage, 1, 0);
        ASSERT_TRUE(waitUntil(ready)) << "the input box did not get the focus";
    }

    // Letters typed with real key presses, each waited for in the edit field.
    void type(const char* word) {
        std::string typed = textOf(inputField_);
        // Typing replaces the selection; Enter selects the whole word.
        typed.resize(LOWORD(SendMessageA(inputField_, EM_GETSEL, 0, 0)));
        for (const char* letter = word; *letter; ++letter) {
            ASSERT_TRUE(testsupport::pressKeys(
                {static_cast<WORD>(std::toupper(static_cast<unsigned char>(*letter)))}));
            typed += *letter;
            ASSERT_TRUE(waitUntil([&] { return textOf(inputField_) == typed; }))
                << "typed \"" << typed << "\", the input box holds \"" << textOf(inputField_)
                << "\"";
        }
    }

    void pressEnter() { ASSERT_TRUE(testsupport::pressKeys({VK_RETURN})); }

    // Enter on a word not yet in the history: done when the word tops the history list.
    void enterWord(const std::string& word) {
        pressEnter();
        ASSERT_TRUE(waitUntil([&] { return historyItem(input_, 0) == word; }))
            << "history tops with \"" << historyItem(input_, 0) << "\"";
    }

    void putIntoInput(const char* text) {
        SendMessageA(inputField_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }

    void postCommand(int command) { PostMessageA(frame_, WM_COMMAND, command, 0); }

    HWND frame_ = nullptr;
    HWND input_ = nullptr;
    HWND inputField_ = nullptr;
};

TEST_F(ProgramLookupTest, TypedWordsAreLookedUpAndEnterKeepsThemInTheHistory) {
    startProgram();
    focusInput();
    HWND headword = control(IDC_HEADWORD);
    HWND result = control(IDC_RESULT);
    HWND selectList = control(IDC_SELECTLIST);
    HWND equivalents = control(IDC_EQUIVALENTS);
    HWND countLine = countLineOf(GetParent(input_));
    ASSERT_NE(countLine, nullptr);
    // The start-up's lookup of the empty input box left one empty item.
    ASSERT_EQ(historyCount(input_), 1);

    // The instant lookup follows the typing, and adds nothing to the history.
    ASSERT_NO_FATAL_FAILURE(type("book"));
    ASSERT_TRUE(waitUntil([&] { return textOf(headword) == "book"; }))
        << "headword line: " << textOf(headword);
    EXPECT_EQ(textOf(control(IDC_PHONETIC)), "[buk]");
    EXPECT_EQ(textOf(result), kBookMeanings);
    EXPECT_EQ(rowCount(selectList), 20);
    EXPECT_EQ(selectedRow(selectList), 4);
    EXPECT_EQ(rowText(selectList, selectedRow(selectList)), "book");
    EXPECT_EQ(historyCount(input_), 1);

    ASSERT_NO_FATAL_FAILURE(enterWord("book"));
    EXPECT_EQ(historyCount(input_), 2);
    // Again: nothing new. The Tab pressed after it moves the focus once both keys are handled.
    pressEnter();
    ASSERT_TRUE(testsupport::pressKeys({VK_TAB}));
    ASSERT_TRUE(waitUntil([&] { return program_.focus() == selectList; }));
    EXPECT_EQ(historyCount(input_), 2);

    // A Chinese word, put into the edit field as its GB bytes, narrows the result pane for the
    // list of its English equivalents.
    ASSERT_NO_FATAL_FAILURE(focusInput());
    int englishWidth = widthOf(result);
    EXPECT_FALSE(IsWindowVisible(equivalents));
    EXPECT_FALSE(IsWindowVisible(countLine));
    putIntoInput(kChina);
    ASSERT_NO_FATAL_FAILURE(enterWord(kChina));
    EXPECT_TRUE(IsWindowVisible(equivalents));
    EXPECT_TRUE(IsWindowVisible(countLine));
    EXPECT_LT(widthOf(result), englishWidth);
    int equivalentCount = rowCount(equivalents);
    EXPECT_GT(equivalentCount, 0);
    EXPECT_EQ(selectedRow(equivalents), 0);
    EXPECT_EQ(textOf(countLine), kCountPrefix + std::to_string(equivalentCount));

    // The next English word hides them again.
    ASSERT_NO_FATAL_FAILURE(type("desk"));
    ASSERT_NO_FATAL_FAILURE(enterWord("desk"));
    EXPECT_EQ(textOf(headword), "desk");
    EXPECT_FALSE(IsWindowVisible(equivalents));
    EXPECT_FALSE(IsWindowVisible(countLine));
    EXPECT_EQ(widthOf(result), englishWidth);

    // A word the dictionary does not know shows its neighbours, none of them selected.
    ASSERT_NO_FATAL_FAILURE(type("qzxv"));
    ASSERT_NO_FATAL_FAILURE(enterWord("qzxv"));
    EXPECT_EQ(rowCount(selectList), 20);
    EXPECT_EQ(selectedRow(selectList), LB_ERR);
    EXPECT_EQ(historyCount(input_), 5);
    closeProgram();
}

TEST_F(ProgramLookupTest, TheEnglishFaceAndTheBig5CodePageKeepTheWordAndConvertTheResult) {
    startProgram();
    focusInput();
    postCommand(CM_FACE_ENGLISH);
    HWND labelInput = control(IDC_LABEL_INPUT);
    ASSERT_TRUE(waitUntil([&] { return textOf(labelInput) == "Input[I]"; })) << textOf(labelInput);
    EXPECT_EQ(textOf(control(IDC_LABEL_SELECT)), "Select List [S]");
    EXPECT_EQ(textOf(control(IDC_LABEL_RESULT)), "Result [R]");

    ASSERT_NO_FATAL_FAILURE(focusInput());
    ASSERT_NO_FATAL_FAILURE(type("book"));
    ASSERT_NO_FATAL_FAILURE(enterWord("book"));
    putIntoInput(kBookChinese);
    ASSERT_NO_FATAL_FAILURE(enterWord(kBookChinese));
    HWND headword = control(IDC_HEADWORD);
    HWND result = control(IDC_RESULT);
    std::string headwordGb = textOf(headword);
    std::string meaningsGb = textOf(result);
    ASSERT_TRUE(holdsChinese(meaningsGb)) << meaningsGb;
    ASSERT_EQ(historyCount(input_), 3);

    // The switch converts the input box and looks the word up again, in one go.
    postCommand(CM_CODEPAGE_BIG5);
    std::string wordBig5 = gbToBig5(kBookChinese);
    ASSERT_NE(wordBig5, kBookChinese);
    ASSERT_TRUE(waitUntil([&] { return textOf(inputField_) == wordBig5; }))
        << "input box: " << textOf(inputField_);
    EXPECT_EQ(textOf(headword), gbToBig5(headwordGb));
    EXPECT_EQ(withoutLineBreaks(textOf(result)), withoutLineBreaks(gbToBig5(meaningsGb)));
    EXPECT_EQ(historyCount(input_), 1);
    EXPECT_EQ(historyItem(input_, 0), wordBig5);
    EXPECT_EQ(textOf(labelInput), "Input[I]");
    closeProgram();
    EXPECT_EQ(directory_.readSetting("System", "Chinese Code Page"), "2");
    EXPECT_EQ(directory_.readSetting("System", "Face Style"), "0");
}

TEST_F(ProgramLookupTest, WritesEveryKeyOfItsSettingsInOrderAtTheClose) {
    // The decoding flags default to what lxsys holds, which other programs may have changed;
    // the start file fixes them, and so their section stays the first.
    directory_.writeSetting("Smart Decoding", "Auto Detect Code Page", "1");
    directory_.writeSetting("Smart Decoding", "Decode MIME", "0");
    directory_.writeSetting("Smart Decoding", "Decode HZ Code", "1");
    directory_.writeSetting("Smart Decoding", "Decode ISO2022", "0");
    startProgram();
    closeProgram();
    EXPECT_EQ(directory_.readFile(kSettingsFile), kSavedSettings);
}

TEST_F(ProgramLookupTest, StoresTheMemoryWordAndTheHistoryInTheEntryFormat) {
    startProgram();
    focusInput();
    // Each store appends the input box's word and empties the box.
    for (int stored = 1; stored <= 2; ++stored) {
        ASSERT_NO_FATAL_FAILURE(type("book"));
        postCommand(CM_STOREMEMORYWORD);
        ASSERT_TRUE(waitUntil([&] { return textOf(inputField_).empty(); }));
        EXPECT_EQ(directory_.readFile(kMemoryWordFile),
                  stored == 1 ? kBookEntry : kBookEntry + kBookEntry);
    }

    // Each save empties the history list; with "Overwrite History" 1 the file holds the last.
    ASSERT_NO_FATAL_FAILURE(type("book"));
    for (int saved = 1; saved <= 2; ++saved) {
        ASSERT_NO_FATAL_FAILURE(enterWord("book"));
        postCommand(CM_STOREHISTORY);
        ASSERT_TRUE(waitUntil([&] { return historyCount(input_) == 0; }));
        EXPECT_EQ(directory_.readFile(kHistoryFile), kBookEntry);
    }
    closeProgram();
    EXPECT_EQ(directory_.readFile(kHistoryFile), kBookEntry);

    // With 0 each save adds its entries at the end.
    directory_.removeFile(kHistoryFile);
    directory_.writeSetting("System", "Overwrite History", "0");
    startProgram();
    focusInput();
    ASSERT_NO_FATAL_FAILURE(type("book"));
    for (int saved = 1; saved <= 2; ++saved) {
        ASSERT_NO_FATAL_FAILURE(enterWord("book"));
        postCommand(CM_STOREHISTORY);
        ASSERT_TRUE(waitUntil([&] { return historyCount(input_) == 0; }));
    }
    closeProgram();
    EXPECT_EQ(directory_.readFile(kHistoryFile), kBookEntry + kBookEntry);
}

// Pictures of the main window in both faces for the documentation, kept in the artefacts.
TEST_F(ProgramLookupTest, PicturesOfTheMainWindowInBothFaces) {
    startProgram();
    focusInput();
    postCommand(CM_FACE_ENGLISH);
    ASSERT_TRUE(waitUntil([&] { return textOf(control(IDC_LABEL_INPUT)) == "Input[I]"; }));
    ASSERT_NO_FATAL_FAILURE(focusInput());
    ASSERT_NO_FATAL_FAILURE(type("book"));
    ASSERT_NO_FATAL_FAILURE(enterWord("book"));
    // The panes repaint after the lookup; the picture waits for the paint to settle.
    testsupport::pumpFor(1000);
    EXPECT_TRUE(savePictureOf(frame_, "main-english"));

    postCommand(CM_FACE_CHINESE);
    ASSERT_TRUE(waitUntil([&] { return textOf(control(IDC_LABEL_INPUT)) == kChineseInputLabel; }));
    ASSERT_NO_FATAL_FAILURE(focusInput());
    putIntoInput(kChina);
    ASSERT_NO_FATAL_FAILURE(enterWord(kChina));
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(control(IDC_EQUIVALENTS)) != FALSE; }));
    testsupport::pumpFor(1000);
    EXPECT_TRUE(savePictureOf(frame_, "main-chinese"));
    closeProgram();
}

} // namespace
} // namespace lexoratest
