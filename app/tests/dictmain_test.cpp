// The main window's client in a small frame of the test's own, with the real dictionary: the
// lookup flow, the lists, the result pane, the face and code-page switch and the commands.
#include "dictmain_host.h"

#include "core/files.h"
#include "core/messages.h"
#include "core/results.h"
#include "core/settings.h"
#include "dictmain.h"
#include "frame.h"
#include "gui.h"
#include "resource_ids.h"

#include <cpconv.h>
#include <lxtran.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace lexora {
namespace {

constexpr char kShu[] = "\xca\xe9"; // 书 in GB
constexpr char kResultHover[] = "\xbd\xe1\xb9\xfb:\xb5\xa5\xbb\xf7->\xbf\xbd\xc8\xeb\xbc\xf4\xcc"
                                "\xf9\xb0\xe5,\xcb\xab\xbb\xf7->\xc8\xa1\xb5\xc3\xb4\xca\xd2\xe5,"
                                "\xd3\xd2\xbc\xfc->\xbc\xf4\xcc\xf9";
constexpr char kListHover[] = "\xb4\xca\xd0\xf2\xe4\xaf\xc0\xc0:\xbf\xc9\xc9\xcf\xcf\xc2\xb7\xad"
                              "\xbe\xed,\xb5\xa5\xbb\xf7.\xcb\xab\xbb\xf7";
constexpr char kInputLabelGb[] = "\xca\xe4\xc8\xeb(I)";

// Translations of an input rebuild the select list; a row shown on its own does not.
int selectListResets = 0;
WNDPROC selectListProcedure = nullptr;

LRESULT CALLBACK countResets(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LB_RESETCONTENT) ++selectListResets;
    return CallWindowProcA(selectListProcedure, window, message, wParam, lParam);
}

std::string textOf(HWND window) {
    char text[4200] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string toBig5(const std::string& gb) {
    std::string big5(gb.size() + 1, '\0');
    CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, gb.c_str(), 0, big5.data(),
                          static_cast<int>(big5.size()));
    big5.resize(gb.size());
    return big5;
}

// A list row as the window shows it: the entry's headword, at most 41 bytes.
std::string headwordOf(int number) {
    char entry[200] = "";
    if (!LXaGetMeanN(number, entry, sizeof entry)) return "";
    std::string headword(entry);
    headword = headword.substr(0, headword.find('\x01'));
    return headword.substr(0, 41);
}

// The entry number the engine finds for a word; reading entries moves it, so it is asked anew.
int wordNumberOf(const std::string& word) {
    char translation[400] = "";
    LXaTranslateStr(LXA_MODE_LOOKUP, word.c_str(), translation, sizeof translation);
    return LXaGetCurWrdN();
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class MainWindow : public testing::Test {
  protected:
    static void SetUpTestSuite() { loadPhoneticGlyphs(); }

    void SetUp() override {
        if (!testsupport::displayAvailable())
            GTEST_SKIP() << "no X display: run the tests under xvfb-run";
        hosttest::record() = {};
        settings = Settings{};
        CPC_SetCodePage(CPC_PAGE_GB);
        frame = std::make_unique<TMyFrame>();
        ASSERT_TRUE(frame->create(SW_SHOW));
        resizeClient(404, 242);
        selectListResets = 0;
        selectListProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            control(IDC_SELECTLIST), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countResets)));
        // As at start-up: the forced switch, with an empty input box.
        main().switchFaceAndCodePage(1, 1, true);
        SetForegroundWindow(frame->handle());
        testsupport::pumpFor(50);
    }

    void TearDown() override {
        frame.reset();
        CPC_SetCodePage(CPC_PAGE_GB);
    }

    TDictMain& main() { return frame->client(); }
    HWND control(int id) { return GetDlgItem(main().handle(), id); }
    HWND combo() { return control(IDC_INPUT); }
    HWND editField() {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(combo(), &info);
        return info.hwndItem;
    }
    HWND countLine() {
        for (HWND child = GetWindow(main().handle(), GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT))
            if (GetWindowLongPtrA(child, GWLP_ID) == -1) return child;
        return nullptr;
    }

    void resizeClient(int width, int height) {
        RECT outer{0, 0, width, height};
        AdjustWindowRectEx(&outer, GetWindowLongA(frame->handle(), GWL_STYLE), FALSE,
                           GetWindowLongA(frame->handle(), GWL_EXSTYLE));
        SetWindowPos(frame->handle(), nullptr, 0, 0, outer.right - outer.left,
                     outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
        RECT client{};
        GetClientRect(main().handle(), &client);
        ASSERT_EQ(width, client.right);
        ASSERT_EQ(height, client.bottom);
    }

    RECT placeOf(HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, main().handle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    void type(const char* text) {
        for (const char* c = text; *c; ++c)
            SendMessageA(editField(), WM_CHAR, *c, 0);
    }
    void enter(const char* text) {
        SetWindowTextA(combo(), text);
        SendMessageA(editField(), WM_KEYDOWN, VK_RETURN, 0);
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            main().timerTick();
    }

    int historyCount() { return static_cast<int>(SendMessageA(combo(), CB_GETCOUNT, 0, 0)); }
    std::string historyItem(int index) {
        char text[256] = "";
        SendMessageA(combo(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
    int selectRows() {
        return static_cast<int>(SendMessageA(control(IDC_SELECTLIST), LB_GETCOUNT, 0, 0));
    }
    int selectedRow() {
        return static_cast<int>(SendMessageA(control(IDC_SELECTLIST), LB_GETCURSEL, 0, 0));
    }
    std::string selectRow(int row) {
        char text[256] = "";
        SendMessageA(control(IDC_SELECTLIST), LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
        return text;
    }
    COLORREF textColourOf(HWND control) {
        HDC dc = CreateCompatibleDC(nullptr);
        SendMessageA(main().handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(control));
        COLORREF colour = GetTextColor(dc);
        DeleteDC(dc);
        return colour;
    }
    bool enabled(UINT id) {
        CommandEnabler enabler;
        enabler.id = id;
        main().commandState(enabler);
        return enabler.handled && enabler.enabled;
    }
    void command(UINT id) { SendMessageA(main().handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // Selects text in the result pane with a plain click on a character.
    void clickResultAt(int character) {
        HWND pane = control(IDC_RESULT);
        LRESULT at = SendMessageA(pane, EM_POSFROMCHAR, character, 0);
        LPARAM point = MAKELPARAM(LOWORD(at) + 1, HIWORD(at) + 2);
        SendMessageA(pane, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(pane, WM_LBUTTONUP, 0, point);
    }
    std::string resultSelection() {
        HWND pane = control(IDC_RESULT);
        DWORD start = 0, end = 0;
        SendMessageA(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return textOf(pane).substr(start, end - start);
    }

    std::unique_ptr<TMyFrame> frame;
};

TEST_F(MainWindow, ControlsStandInTheLayoutScaledToTheClientArea) {
    auto expect = [&](int id, RECT wanted) {
        RECT place = placeOf(control(id));
        EXPECT_EQ(wanted.left, place.left) << id;
        EXPECT_EQ(wanted.top, place.top) << id;
        EXPECT_EQ(wanted.right, place.right) << id;
        EXPECT_EQ(wanted.bottom, place.bottom) << id;
    };
    expect(IDC_PICTURE, {0, 0, 116, 50});
    expect(IDC_SELECTLIST, {8, 72, 116, 232});
    expect(IDC_RESULT, {136, 108, 396, 230});
    expect(IDC_LABEL_RESULT, {136, 52, 396, 72});
    expect(IDC_PHONETIC, {136, 88, 396, 108});
    EXPECT_FALSE(IsWindowVisible(control(IDC_EQUIVALENTS)));
    EXPECT_FALSE(IsWindowVisible(countLine()));

    // Multiplied first, then divided: 136 * 500 / 404 = 168, not 136 * (500 / 404) = 136.
    resizeClient(500, 300);
    expect(IDC_RESULT, {168, 133, 168 + 321, 133 + 151});
    expect(IDC_HEADWORD, {168, 86, 168 + 321, 86 + 22});

    // Minimising leaves the controls where they are.
    SendMessageA(main().handle(), WM_SIZE, SIZE_MINIMIZED, 0);
    expect(IDC_RESULT, {168, 133, 168 + 321, 133 + 151});

    char controlClass[32] = "";
    GetClassNameA(control(IDC_RESULT), controlClass, sizeof controlClass);
    EXPECT_STREQ("Edit", controlClass);
    LONG style = GetWindowLongA(control(IDC_RESULT), GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_FALSE(style & (ES_AUTOHSCROLL | WS_HSCROLL | WS_BORDER));
    EXPECT_EQ(4096, SendMessageA(control(IDC_RESULT), EM_GETLIMITTEXT, 0, 0));
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongA(control(IDC_PHONETIC), GWL_STYLE) & BS_TYPEMASK);
    testsupport::saveScreenshot(testsupport::artefactsDirectory() + "/main_window.bmp");
}

TEST_F(MainWindow, EnterTranslatesAChangedInputOnceAndKeepsTheHistoryWithoutRepeats) {
    // The start-up switch leaves one empty item.
    ASSERT_EQ(1, historyCount());
    EXPECT_EQ("", historyItem(0));

    enter("book");
    EXPECT_EQ(1, selectListResets);
    EXPECT_EQ("book", textOf(control(IDC_HEADWORD)));
    EXPECT_NE("", textOf(control(IDC_RESULT)));
    ASSERT_EQ(2, historyCount());
    EXPECT_EQ("book", historyItem(0));

    enter("book");
    EXPECT_EQ(1, selectListResets);
    EXPECT_EQ(2, historyCount());

    // Another spelling is another input, but the same history item.
    enter("BOOK");
    EXPECT_EQ(2, selectListResets);
    EXPECT_EQ(2, historyCount());

    // An empty input translates nothing; the empty item is there already.
    enter("");
    EXPECT_EQ(2, selectListResets);
    EXPECT_EQ(2, historyCount());

    enter("table");
    ASSERT_EQ(3, historyCount());
    EXPECT_EQ("table", historyItem(0));
    EXPECT_EQ("book", historyItem(1));
    EXPECT_EQ("", historyItem(2));
}

TEST_F(MainWindow, TheSelectListShowsTheNeighboursOfTheWord) {
    int count = LXaGetMaxWrdN();
    ASSERT_GT(count, 100);

    ASSERT_EQ(0, wordNumberOf(headwordOf(0)));
    enter(headwordOf(0).c_str());
    ASSERT_EQ(20, selectRows());
    for (int row = 0; row < 20; ++row)
        EXPECT_EQ(headwordOf(row), selectRow(row)) << row;
    EXPECT_EQ(0, selectedRow());

    int middle = wordNumberOf(headwordOf(count / 2));
    enter(headwordOf(count / 2).c_str());
    ASSERT_GT(middle, 4);
    ASSERT_EQ(20, selectRows());
    EXPECT_EQ(4, selectedRow());
    for (int row = 0; row < 20; ++row)
        EXPECT_EQ(headwordOf(middle - 4 + row), selectRow(row)) << row;

    int last = wordNumberOf(headwordOf(count - 1));
    enter(headwordOf(count - 1).c_str());
    ASSERT_GE(last, count - 19);
    ASSERT_EQ(19, selectRows());
    EXPECT_EQ(headwordOf(count - 19), selectRow(0));
    EXPECT_EQ(headwordOf(count - 1), selectRow(18));
    EXPECT_EQ(last - (count - 19), selectedRow());
}

TEST_F(MainWindow, AListRowIsShownWithoutRebuildingTheLists) {
    enter("book");
    int resets = selectListResets;
    SendMessageA(control(IDC_SELECTLIST), LB_SETCURSEL, 2, 0);
    std::string row = selectRow(2);
    SendMessageA(main().handle(), WM_COMMAND, MAKEWPARAM(IDC_SELECTLIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control(IDC_SELECTLIST)));
    EXPECT_EQ(row, textOf(control(IDC_HEADWORD)));
    EXPECT_EQ(resets, selectListResets);
    EXPECT_EQ(2, historyCount());

    SendMessageA(main().handle(), WM_COMMAND, MAKEWPARAM(IDC_SELECTLIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(control(IDC_SELECTLIST)));
    EXPECT_EQ(row, textOf(combo()));
    EXPECT_EQ(row, historyItem(0));
    EXPECT_EQ(resets + 1, selectListResets);
}

TEST_F(MainWindow, MeaningsAreLaidOutInLabelledLinesThatFitThePane) {
    main().formatResult("word\x01ph\x02\x03xxx,yyy\x08zzz");
    EXPECT_EQ("word", textOf(control(IDC_HEADWORD)));
    EXPECT_EQ("[ph]", textOf(control(IDC_PHONETIC)));
    EXPECT_EQ("a.xxx;yyy\r\nn.zzz", textOf(control(IDC_RESULT)));

    // No 0x02: no phonetic line, the meanings follow the 0x01.
    main().formatResult("word\x01\x08zzz");
    EXPECT_EQ("", textOf(control(IDC_PHONETIC)));
    EXPECT_EQ("n.zzz", textOf(control(IDC_RESULT)));
    // No 0x01: the headword only.
    main().formatResult("word");
    EXPECT_EQ("word", textOf(control(IDC_HEADWORD)));
    EXPECT_EQ("", textOf(control(IDC_RESULT)));

    std::string meanings = "word\x01\x02\x08";
    for (int i = 0; i < 40; ++i)
        meanings += "meaning,";
    main().formatResult(meanings.c_str());
    std::string text = textOf(control(IDC_RESULT));
    HWND pane = control(IDC_RESULT);
    RECT client{};
    GetClientRect(pane, &client);
    HDC dc = GetDC(pane);
    // A line ends with the character that takes it past the pane's width less 24 pixels.
    int lines = 0;
    for (std::size_t start = 0; start < text.size(); ++lines) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) break;
        SIZE extent{};
        GetTextExtentPointA(dc, text.c_str() + start, static_cast<int>(end - start - 1), &extent);
        EXPECT_LE(extent.cx, client.right - 24) << text.substr(start, end - start);
        GetTextExtentPointA(dc, text.c_str() + start, static_cast<int>(end - start), &extent);
        EXPECT_GT(extent.cx, client.right - 24) << text.substr(start, end - start);
        start = end + 2;
    }
    ReleaseDC(pane, dc);
    EXPECT_GT(lines, 3);
}

TEST_F(MainWindow, AChineseWordNarrowsTheResultAndListsItsEquivalents) {
    enter(kShu);
    EXPECT_EQ(152, placeOf(control(IDC_RESULT)).right - placeOf(control(IDC_RESULT)).left);
    ASSERT_TRUE(IsWindowVisible(control(IDC_EQUIVALENTS)));
    ASSERT_TRUE(IsWindowVisible(countLine()));
    RECT equivalents = placeOf(control(IDC_EQUIVALENTS));
    EXPECT_EQ(288, equivalents.left);
    EXPECT_EQ(108, equivalents.top);
    int rows = static_cast<int>(SendMessageA(control(IDC_EQUIVALENTS), LB_GETCOUNT, 0, 0));
    ASSERT_GT(rows, 0);
    EXPECT_EQ(0, SendMessageA(control(IDC_EQUIVALENTS), LB_GETCURSEL, 0, 0));
    char count[64];
    std::snprintf(count, sizeof count, "\xcd\xac\xd2\xe5\xb4\xca\xca\xfd:%d", rows);
    EXPECT_EQ(count, textOf(countLine()));
    EXPECT_GT(selectRows(), 0);
    EXPECT_GE(selectedRow(), 0);

    enter("book");
    EXPECT_EQ(260, placeOf(control(IDC_RESULT)).right - placeOf(control(IDC_RESULT)).left);
    EXPECT_FALSE(IsWindowVisible(control(IDC_EQUIVALENTS)));
    EXPECT_FALSE(IsWindowVisible(countLine()));
}

TEST_F(MainWindow, AnEnglishRowShownAfterAChineseWordStillRestoresTheLayout) {
    enter(kShu);
    // An English equivalent looked at on its own ...
    SendMessageA(main().handle(), WM_COMMAND, MAKEWPARAM(IDC_EQUIVALENTS, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control(IDC_EQUIVALENTS)));
    // ... and then an English input: the wide pane is back, the equivalents gone.
    enter("table");
    EXPECT_EQ(260, placeOf(control(IDC_RESULT)).right - placeOf(control(IDC_RESULT)).left);
    EXPECT_FALSE(IsWindowVisible(control(IDC_EQUIVALENTS)));
}

TEST_F(MainWindow, SwitchingToBig5KeepsTheWordAndOnlyItInTheHistory) {
    enter("book");
    enter(kShu);
    ASSERT_EQ(3, historyCount());
    std::string resultGb = textOf(control(IDC_RESULT));
    int resets = selectListResets;

    main().switchFaceAndCodePage(CPC_PAGE_BIG5, 1, false);
    EXPECT_EQ(CPC_PAGE_BIG5, CPC_GetCodePage());
    EXPECT_EQ(CPC_PAGE_BIG5, settings.codePage);
    EXPECT_EQ(toBig5(kShu), textOf(combo()));
    ASSERT_EQ(1, historyCount());
    EXPECT_EQ(toBig5(kShu), historyItem(0));
    // The lookup was repeated and its result is shown in BIG5.
    EXPECT_EQ(resets + 1, selectListResets);
    EXPECT_EQ(toBig5(resultGb), textOf(control(IDC_RESULT)));
    EXPECT_EQ(toBig5(kInputLabelGb), textOf(control(IDC_LABEL_INPUT)));
    ASSERT_FALSE(hosttest::record().statusTexts.empty());
    EXPECT_EQ("", hosttest::record().statusTexts.back());

    // The same page and face again changes nothing.
    std::size_t menus = hosttest::record().menuFaces.size();
    main().switchFaceAndCodePage(CPC_PAGE_BIG5, 1, false);
    EXPECT_EQ(menus, hosttest::record().menuFaces.size());
    EXPECT_EQ(1, historyCount());
}

TEST_F(MainWindow, TheFaceSwitchSetsMenuAndLabelsUnlessTheMenuIsMissing) {
    main().switchFaceAndCodePage(CPC_PAGE_GB, 0, false);
    EXPECT_EQ(0, hosttest::record().menuFaces.back());
    EXPECT_EQ(0, settings.faceStyle);
    EXPECT_EQ("Input[I]", textOf(control(IDC_LABEL_INPUT)));
    EXPECT_EQ("Select List [S]", textOf(control(IDC_LABEL_SELECT)));
    EXPECT_EQ("Result [R]", textOf(control(IDC_LABEL_RESULT)));

    hosttest::record().refuseMenu = true;
    main().switchFaceAndCodePage(CPC_PAGE_GB, 1, false);
    EXPECT_EQ(0, settings.faceStyle);
    EXPECT_EQ("Input[I]", textOf(control(IDC_LABEL_INPUT)));
}

TEST_F(MainWindow, InstantLookupRunsOnceSixTicksAfterTheLastKey) {
    settings.searchAtOnce = 1;
    type("w");
    ticks(2);
    type("o");
    ticks(2);
    type("r");
    ticks(5);
    EXPECT_EQ(0, selectListResets);
    ticks(1);
    EXPECT_EQ(1, selectListResets);
    EXPECT_NE("", textOf(control(IDC_HEADWORD)));
    EXPECT_EQ(1, historyCount());
    ticks(20);
    EXPECT_EQ(1, selectListResets);

    // Enter afterwards adds the word without translating it again.
    SendMessageA(editField(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(1, selectListResets);
    EXPECT_EQ(2, historyCount());
    EXPECT_EQ("wor", historyItem(0));

    settings.searchAtOnce = 0;
    type("d");
    ticks(20);
    EXPECT_EQ(1, selectListResets);
}

TEST_F(MainWindow, AHistoryItemChosenIsLookedUp) {
    enter("book");
    enter("table");
    int resets = selectListResets;
    SendMessageA(combo(), CB_SETCURSEL, 1, 0);
    SendMessageA(main().handle(), WM_COMMAND, MAKEWPARAM(IDC_INPUT, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo()));
    EXPECT_EQ("book", textOf(combo()));
    EXPECT_EQ("book", textOf(control(IDC_HEADWORD)));
    EXPECT_EQ(resets + 1, selectListResets);
    EXPECT_EQ(3, historyCount());

    // An item too long for the input path is left alone.
    std::string longItem(120, 'x');
    SendMessageA(combo(), CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(longItem.c_str()));
    SendMessageA(combo(), CB_SETCURSEL, 0, 0);
    SendMessageA(main().handle(), WM_COMMAND, MAKEWPARAM(IDC_INPUT, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo()));
    EXPECT_EQ(resets + 1, selectListResets);
    EXPECT_EQ("book", textOf(control(IDC_HEADWORD)));
}

TEST_F(MainWindow, ThePhoneticLineDrawsPhoneticCharactersFromTheGlyphs) {
    const unsigned char* glyph = phoneticGlyph('0');
    ASSERT_NE(nullptr, glyph);
    enter("zzqxjwv"); // a miss: grey text
    main().formatResult("w\x01"
                        "0\x02");
    ASSERT_EQ("[0]", textOf(control(IDC_PHONETIC)));
    UpdateWindow(frame->handle());
    testsupport::pumpFor(100);

    RECT place{};
    GetWindowRect(control(IDC_PHONETIC), &place);
    HDC dc = GetDC(control(IDC_PHONETIC));
    SIZE bracket{};
    GetTextExtentPointA(dc, "[", 1, &bracket);
    ReleaseDC(control(IDC_PHONETIC), dc);
    int x = place.left + 2 + bracket.cx;
    int y = place.top + (place.bottom - place.top - 16) / 2;
    auto image = testsupport::captureScreen({x, y, x + 7, y + 16});
    ASSERT_TRUE(image);
    for (int row = 0; row < 16; ++row)
        for (int column = 0; column < 7; ++column) {
            bool set = glyph[row] & (0x80 >> column);
            EXPECT_EQ(set ? 0xC0C0C0u : 0xFFFFFFu, image->at(column, row) & 0xFFFFFF)
                << row << "," << column;
        }
}

TEST_F(MainWindow, AMissIsGreyAndSelectsNoRow) {
    int beeps = 0;
    BeepFunction previous = setBeepFunction([&](UINT) { ++beeps; });
    settings.soundAlert = 1;
    enter("zzqxjwv");
    EXPECT_EQ(3, beeps);
    EXPECT_GT(selectRows(), 0);
    EXPECT_EQ(-1, selectedRow());
    EXPECT_EQ(RGB(192, 192, 192), textColourOf(control(IDC_RESULT)));
    EXPECT_EQ(RGB(192, 192, 192), textColourOf(control(IDC_HEADWORD)));

    enter("book");
    EXPECT_GE(selectedRow(), 0);
    EXPECT_EQ(RGB(0, 0, 255), textColourOf(control(IDC_RESULT)));
    EXPECT_EQ(RGB(0, 0, 0), textColourOf(control(IDC_LABEL_INPUT)));

    // Without the sound alert a miss is silent.
    settings.soundAlert = 0;
    enter("zzqxjwv");
    EXPECT_EQ(3, beeps);
    setBeepFunction(previous);
}

TEST_F(MainWindow, AClickPicksTheMeaningAndADoubleClickLooksItUp) {
    main().formatResult("word\x01\x02\x08"
                        "alpha,beta gamma\x03"
                        "delta");
    ASSERT_EQ("n.alpha;beta gamma\r\na.delta", textOf(control(IDC_RESULT)));

    clickResultAt(9); // the 'e' of beta
    EXPECT_EQ("beta", resultSelection());
    clickResultAt(0); // on the label
    EXPECT_EQ("alpha", resultSelection());
    clickResultAt(7); // the ';' after alpha
    EXPECT_EQ("alpha", resultSelection());

    ASSERT_TRUE(OpenClipboard(main().handle()));
    HANDLE data = GetClipboardData(CF_TEXT);
    std::string copied = data ? static_cast<const char*>(GlobalLock(data)) : "";
    if (data) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ("alpha", copied);

    int resets = selectListResets;
    int line = static_cast<int>(SendMessageA(control(IDC_RESULT), EM_LINEINDEX, 1, 0));
    clickResultAt(line + 4);
    LRESULT at = SendMessageA(control(IDC_RESULT), EM_POSFROMCHAR, line + 4, 0);
    SendMessageA(control(IDC_RESULT), WM_LBUTTONDBLCLK, MK_LBUTTON,
                 MAKELPARAM(LOWORD(at) + 1, HIWORD(at) + 2));
    EXPECT_EQ("delta", textOf(combo()));
    EXPECT_EQ("delta", historyItem(0));
    EXPECT_EQ(resets + 1, selectListResets);
}

TEST_F(MainWindow, HoverTextsAreSetOncePerControl) {
    auto& hovers = hosttest::record().hoverTexts;
    SendMessageA(control(IDC_RESULT), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(control(IDC_RESULT), WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
    ASSERT_EQ(1u, hovers.size());
    EXPECT_EQ(kResultHover, hovers.back());
    SendMessageA(control(IDC_SELECTLIST), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(2u, hovers.size());
    EXPECT_EQ(kListHover, hovers.back());
    SendMessageA(control(IDC_RESULT), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(3u, hovers.size());
}

TEST_F(MainWindow, TheBriefDescriptionOpensOnTheTabOfTheFocusedPane) {
    auto& tabs = hosttest::record().briefTabs;
    command(CM_FOCUSSELECT);
    command(CM_BRIEFHELP);
    command(CM_FOCUSRESULT);
    command(CM_BRIEFHELP);
    command(CM_FOCUSINPUT);
    command(CM_BRIEFHELP);
    EXPECT_EQ((std::vector<int>{2, 3, 1}), tabs);

    // Tab goes round input box, select list, result pane.
    command(CM_FOCUSNEXT);
    EXPECT_EQ(control(IDC_SELECTLIST), GetFocus());
    command(CM_FOCUSNEXT);
    EXPECT_EQ(control(IDC_RESULT), GetFocus());
    command(CM_FOCUSNEXT);
    EXPECT_EQ(editField(), GetFocus());

    SetFocus(control(IDC_PICTURE));
    tabs.clear();
    command(CM_BRIEFHELP);
    EXPECT_TRUE(tabs.empty());

    for (int id : {IDC_PICTURE, IDC_LABEL_INPUT, IDC_LABEL_SELECT, IDC_LABEL_RESULT})
        SendMessageA(control(id), BM_CLICK, 0, 0);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), tabs);
}

TEST_F(MainWindow, StoringWordsAndHistoryEmptiesWhatWasStored) {
    char directory[MAX_PATH] = "";
    GetTempPathA(sizeof directory, directory);
    std::string memoryFile = std::string(directory) + "lexora_dictmain_memory.his";
    std::string historyFile = std::string(directory) + "lexora_dictmain_history.his";
    DeleteFileA(memoryFile.c_str());
    DeleteFileA(historyFile.c_str());
    std::snprintf(settings.memoryWordFile, sizeof settings.memoryWordFile, "%s",
                  memoryFile.c_str());
    std::snprintf(settings.historyFile, sizeof settings.historyFile, "%s", historyFile.c_str());

    EXPECT_FALSE(enabled(CM_STOREMEMORYWORD));
    command(CM_STOREMEMORYWORD);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(memoryFile.c_str()));

    enter("book");
    EXPECT_TRUE(enabled(CM_STOREMEMORYWORD));
    command(CM_STOREMEMORYWORD);
    EXPECT_EQ("", textOf(combo()));
    EXPECT_EQ(0u, readFile(memoryFile).find("<<< book >>>\r\n"));

    EXPECT_TRUE(enabled(CM_STOREHISTORY));
    EXPECT_TRUE(main().historyHasItems());
    command(CM_STOREHISTORY);
    EXPECT_EQ(0u, readFile(historyFile).find("<<< book >>>\r\n"));
    EXPECT_EQ(0, historyCount());
    EXPECT_FALSE(enabled(CM_STOREHISTORY));
    DeleteFileA(memoryFile.c_str());
    DeleteFileA(historyFile.c_str());
}

} // namespace
} // namespace lexora
