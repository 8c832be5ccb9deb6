#include "dictmain.h"

#include "controls.h"
#include "core/messages.h"
#include "core/results.h"
#include "core/settings.h"
#include "core/text.h"
#include "core/wordfiles.h"
#include "frame.h"
#include "notetab.h"
#include "resource_ids.h"

#include <cpconv.h>
#include <lxsys.h>
#include <lxtran.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

namespace lexora {

namespace {

constexpr char kClassName[] = "LexoraDictMain";

// The record of the last Chinese lookup as lxtran hands it over.
#pragma pack(push, 1)
struct TransStruct {
    std::int32_t zwWordNumber;
    std::int32_t refCount;
    std::uint8_t refs[240]; // 80 English entry numbers of 3 bytes, least significant first
};
#pragma pack(pop)
static_assert(sizeof(TransStruct) == 248);
static_assert(offsetof(TransStruct, zwWordNumber) == 0);
static_assert(offsetof(TransStruct, refCount) == 4);
static_assert(offsetof(TransStruct, refs) == 8);
constexpr int kMaxReferences = 80;

constexpr int kInputCapacity = 200;       // 199 characters
constexpr int kEngineInputCapacity = 100; // the GB form handed to the engine
constexpr int kTranslationCapacity = 400;
constexpr int kMeaningCapacity = 200;
constexpr int kRowCapacity = 100;         // list rows of at most 99 bytes
constexpr std::size_t kListHeadword = 41; // bytes of a headword in a list
constexpr int kSwitchTextCapacity = 100;  // the input kept across a code-page switch
constexpr int kStoredWordCapacity = 128;  // the input stored as a memory word
constexpr int kTextLineCapacity = 256;
constexpr int kInstantLookupTicks = 6;
constexpr int kResultMargin = 24;
constexpr int kPhoneticMargin = 2;
constexpr int kGlyphHeight = 16;
constexpr int kAnimationFrames = 12;

constexpr COLORREF kFoundColour = RGB(0, 0, 255);
constexpr COLORREF kMissColour = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The layout in reference units of a 404 x 242 client area.
constexpr int kReferenceWidth = 404;
constexpr int kReferenceHeight = 242;
struct LayoutRect {
    int x, y, width, height;
};
constexpr LayoutRect kPictureRect{0, 0, 116, 50};
constexpr LayoutRect kAnimationRect{6, 4, 39, 42};
constexpr LayoutRect kInputRect{182, 10, 212, 150};
constexpr LayoutRect kSelectRect{8, 72, 108, 160};
constexpr LayoutRect kResultEnglishRect{136, 108, 260, 122};
constexpr LayoutRect kResultChineseRect{136, 108, 152, 122};
constexpr LayoutRect kEquivalentsRect{288, 108, 108, 116};
constexpr LayoutRect kCountRect{298, 224, 98, 20};
// The input label reaches to the input box (42 wide in the table), since "输入(I)" drawn with the
// program's glyphs is 43 pixels wide.
constexpr LayoutRect kLabelInputRect{136, 12, 46, 20};
constexpr LayoutRect kLabelSelectRect{6, 52, 112, 20};
constexpr LayoutRect kLabelResultRect{136, 52, 260, 20};
constexpr LayoutRect kHeadwordRect{136, 70, 260, 18};
constexpr LayoutRect kPhoneticRect{136, 88, 260, 20};

// GB texts of the window.
constexpr char kInputHover[] = "\xca\xe4\xc8\xeb\xb4\xb0:\xbf\xc9\xd2\xd4\xbc\xfc\xc5\xcc\xca\xe4"
                               "\xc8\xeb\xb2\xa2\xbf\xc9\xd2\xd4\xb4\xd3\xca\xe4\xc8\xeb\xc0\xfa"
                               "\xca\xb7\xd6\xd0\xd1\xa1\xd4\xf1";
constexpr char kListHover[] = "\xb4\xca\xd0\xf2\xe4\xaf\xc0\xc0:\xbf\xc9\xc9\xcf\xcf\xc2\xb7\xad"
                              "\xbe\xed,\xb5\xa5\xbb\xf7.\xcb\xab\xbb\xf7";
constexpr char kResultHover[] = "\xbd\xe1\xb9\xfb:\xb5\xa5\xbb\xf7->\xbf\xbd\xc8\xeb\xbc\xf4\xcc"
                                "\xf9\xb0\xe5,\xcb\xab\xbb\xf7->\xc8\xa1\xb5\xc3\xb4\xca\xd2\xe5,"
                                "\xd3\xd2\xbc\xfc->\xbc\xf4\xcc\xf9";
// "LEXORA 英汉-汉英词典", over the window's background.
constexpr char kBackgroundHover[] = "LEXORA \xd3\xa2\xba\xba-\xba\xba\xd3\xa2\xb4\xca\xb5\xe4";
constexpr char kCountFormat[] = "\xcd\xac\xd2\xe5\xb4\xca\xca\xfd:%d";
constexpr char kCountBlank[] = "                ";

struct LabelTexts {
    const char* input;
    const char* select;
    const char* result;
};
constexpr LabelTexts kEnglishLabels{"Input[I]", "Select List [S]", "Result [R]"};
constexpr LabelTexts kChineseLabels{"\xca\xe4\xc8\xeb(I)",
                                    "\xcf\xe0\xc1\xda\xb4\xca\xd1\xa1\xd4\xf1(S)",
                                    "\xb7\xad\xd2\xeb\xbd\xe1\xb9\xfb\xe4\xaf\xc0\xc0\xc7\xf8(R)"};

RECT scaled(const LayoutRect& rect, int clientWidth, int clientHeight) {
    int left = rect.x * clientWidth / kReferenceWidth;
    int top = rect.y * clientHeight / kReferenceHeight;
    return {left, top, left + rect.width * clientWidth / kReferenceWidth,
            top + rect.height * clientHeight / kReferenceHeight};
}

// A list row: the entry's headword, cut at its first 0x01 and after at most 41 bytes, in the
// current page.
void listHeadword(const char* entry, char* row, std::size_t size) {
    char headword[kListHeadword + 1] = "";
    std::size_t length = 0;
    while (entry[length] != '\0' && entry[length] != '\x01')
        ++length;
    std::string cut(entry, length);
    copyWholeCharacters(cut.c_str(), headword, sizeof headword);
    toCurrentPage(headword, row, size);
}

void putText(HWND window, const char* text, std::size_t length) {
    SetWindowTextA(window, std::string(text, length).c_str());
}

HWND createChild(HWND parent, const char* className, DWORD style, int id) {
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), programInstance(),
                           nullptr);
}

void moveTo(HWND window, const RECT& rect) {
    if (window)
        MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   FALSE);
}

// The input history as the word files see it.
class ComboHistory : public HistorySource {
  public:
    explicit ComboHistory(TMyComboBox& box) : box_(box) {}
    int count() const override { return box_.historyCount(); }
    int item(int index, char* text, int size) const override {
        return box_.historyItem(index, text, size);
    }
    void clear() override { box_.clearHistory(); }

  private:
    TMyComboBox& box_;
};

} // namespace

struct TDictMain::Impl : HoverSink {
    Impl(TDictMain& owner, TMyFrame& frame)
        : owner(owner), frame(frame), input(*this, kInputHover),
          selectList(*this, kListHover, true), equivalents(*this, kListHover, false),
          result(*this, kResultHover) {}
    ~Impl() override {
        if (background) DeleteObject(background);
        for (HBITMAP picture : animation)
            if (picture) DeleteObject(picture);
        if (whiteBrush) DeleteObject(whiteBrush);
    }

    // --- creation and layout ---
    bool createControls(HWND window);
    void loadPictures();
    void setLabelTexts(int face);
    void layout();
    RECT slot(const LayoutRect& rect) const;
    void placeModeControls();

    // --- the lookup flow ---
    void lookup(bool addToHistory, bool focusInput);
    void translateCurrentInput();
    int translate(const char* input);
    void readModeAfterTranslation();
    void fillSelectList();
    void fillEquivalents();
    void formatResult(const char* gbText);
    void layoutMeaningsIntoPane(const char* meanings);
    void showOnly(const char* word);
    void lookUpText(const char* text);

    // --- triggers ---
    void onEnter();
    void onHistorySelectionChanged();
    void takeHistoryChoice();
    void onInputEdited();
    void onListSelectionChanged(TMyListBox& list);
    void onListDoubleClicked(TMyListBox& list);
    void onResultWordChosen();
    bool onControlNotification(HWND control, UINT notification);
    void timerTick();

    // --- commands ---
    void openBriefForFocus();
    void focusInput();
    void focusSelectList();
    void focusResult();
    void focusNext();
    void storeInputWord();
    void saveHistory();
    void openBriefAbout() { openBriefDialog(owner.handle(), 0); }
    void openBriefInput() { openBriefDialog(owner.handle(), 1); }
    void openBriefSelect() { openBriefDialog(owner.handle(), 2); }
    void openBriefResult() { openBriefDialog(owner.handle(), 3); }

    // --- face and code page ---
    void switchFaceAndCodePage(int codePage, int face, bool force);
    void keepInputAcrossPageChange(int codePage);

    // --- painting ---
    void paint();
    void paintBackground(HDC dc, const RECT& part, POINT origin);
    void drawAnimationFrame(int index);
    void drawAnimationInto(HDC dc, POINT origin);
    LRESULT drawItem(const DRAWITEMSTRUCT& item);
    void drawPhoneticLine(const DRAWITEMSTRUCT& item);
    void drawLabel(const DRAWITEMSTRUCT& item);
    void drawPicture(const DRAWITEMSTRUCT& item);
    LRESULT controlColours(UINT message, HDC dc, HWND control, bool& handled);

    void pointerOver(HWND control, const char* gbText) override;

    TDictMain& owner;
    TMyFrame& frame;
    TMyComboBox input;
    TMyListBox selectList;
    TMyListBox equivalents;
    TLXEdit result;
    HWND countLine = nullptr;
    HWND headword = nullptr;
    HWND phonetic = nullptr;
    HWND labelInput = nullptr;
    HWND labelSelect = nullptr;
    HWND labelResult = nullptr;
    HWND picture = nullptr;

    HBITMAP background = nullptr;
    HBITMAP animation[kAnimationFrames] = {};
    int animationFrame = -1;
    HBRUSH whiteBrush = nullptr;
    HWND hoveredControl = nullptr;

    // The lookup state.
    char previousInput[kInputCapacity] = "";
    char currentInput[kInputCapacity] = "";
    bool found = false;
    bool chineseMode = false;
    int currentWordNumber = 0;
    TransStruct transStruct{};
    char translation[kTranslationCapacity] = "";
    char meaning[kMeaningCapacity] = "";
    // The controls stand as the last translation of an input left them; a list row shown on
    // its own changes the mode flag but not the controls.
    bool chineseLayout = false;
    bool instantPending = false;
    int instantTicks = 0;
    bool inTick = false;
    bool historyChoicePending = false;
};

// ---------------------------------------------------------------------------------------------
// Creation and layout

bool TDictMain::Impl::createControls(HWND window) {
    whiteBrush = CreateSolidBrush(kWhite);
    picture = createChild(window, "BUTTON", BS_OWNERDRAW, IDC_PICTURE);
    labelInput = createChild(window, "BUTTON", BS_OWNERDRAW, IDC_LABEL_INPUT);
    if (!input.create(window, IDC_INPUT)) return false;
    labelSelect = createChild(window, "BUTTON", BS_OWNERDRAW, IDC_LABEL_SELECT);
    labelResult = createChild(window, "BUTTON", BS_OWNERDRAW, IDC_LABEL_RESULT);
    headword = createChild(window, "STATIC", SS_LEFT | SS_NOPREFIX, IDC_HEADWORD);
    phonetic = createChild(window, "BUTTON", BS_OWNERDRAW, IDC_PHONETIC);
    if (!selectList.create(window, IDC_SELECTLIST) || !result.create(window, IDC_RESULT) ||
        !equivalents.create(window, IDC_EQUIVALENTS))
        return false;
    countLine = createChild(window, "STATIC", SS_LEFT | SS_NOPREFIX, -1);
    ShowWindow(equivalents.handle(), SW_HIDE);
    ShowWindow(countLine, SW_HIDE);
    return picture && labelInput && labelSelect && labelResult && headword && phonetic && countLine;
}

void TDictMain::Impl::loadPictures() {
    background = LoadBitmapA(programInstance(), "BGFACE");
    for (int i = 0; i < kAnimationFrames; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "ANI%d", i + 1);
        animation[i] = LoadBitmapA(programInstance(), name);
    }
}

void TDictMain::Impl::setLabelTexts(int face) {
    const LabelTexts& texts = face == 1 ? kChineseLabels : kEnglishLabels;
    SetWindowTextA(labelInput, texts.input);
    SetWindowTextA(labelSelect, texts.select);
    SetWindowTextA(labelResult, texts.result);
}

RECT TDictMain::Impl::slot(const LayoutRect& rect) const {
    RECT client{};
    GetClientRect(owner.handle(), &client);
    return scaled(rect, client.right, client.bottom);
}

void TDictMain::Impl::placeModeControls() {
    moveTo(result.handle(), slot(chineseLayout ? kResultChineseRect : kResultEnglishRect));
    if (chineseLayout) {
        moveTo(equivalents.handle(), slot(kEquivalentsRect));
        moveTo(countLine, slot(kCountRect));
    }
    int show = chineseLayout ? SW_SHOW : SW_HIDE;
    ShowWindow(equivalents.handle(), show);
    ShowWindow(countLine, show);
}

void TDictMain::Impl::layout() {
    if (!countLine) return; // WM_SIZE of the window's creation, before its controls
    moveTo(picture, slot(kPictureRect));
    moveTo(input.handle(), slot(kInputRect));
    moveTo(selectList.handle(), slot(kSelectRect));
    moveTo(labelInput, slot(kLabelInputRect));
    moveTo(labelSelect, slot(kLabelSelectRect));
    moveTo(labelResult, slot(kLabelResultRect));
    moveTo(headword, slot(kHeadwordRect));
    moveTo(phonetic, slot(kPhoneticRect));
    placeModeControls();
    InvalidateRect(owner.handle(), nullptr, TRUE);
}

// ---------------------------------------------------------------------------------------------
// The lookup flow

void TDictMain::Impl::lookup(bool addToHistory, bool focus) {
    if (focus && GetFocus() != input.editField()) SetFocus(input.editField());
    if (addToHistory) input.selectAllText();
    std::memcpy(previousInput, currentInput, sizeof previousInput);
    input.text(currentInput, sizeof currentInput);
    if (currentInput[0] != '\0' && std::strcmp(currentInput, previousInput) != 0)
        translateCurrentInput();
    if (addToHistory && !input.historyHolds(currentInput)) input.insertHistoryTop(currentInput);
}

// The engine's answer to a word in the current page; the translation buffer receives the
// entry text in GB. Only a positive result is an exact hit: -1 reports an empty query or a
// dictionary that cannot be read.
int TDictMain::Impl::translate(const char* word) {
    char gb[kEngineInputCapacity] = "";
    toGb(word, gb, sizeof gb);
    translation[0] = '\0';
    int answer = LXaTranslateStr(LXA_MODE_LOOKUP, gb, translation, sizeof translation);
    translation[sizeof translation - 1] = '\0';
    found = answer > 0;
    return answer;
}

void TDictMain::Impl::readModeAfterTranslation() {
    chineseMode = LXaTransIsZWStr() != 0;
    if (chineseMode) {
        LXaGetTransStruct(&transStruct);
        transStruct.refCount = std::clamp(transStruct.refCount, 0, kMaxReferences);
    } else {
        currentWordNumber = LXaGetCurWrdN();
    }
}

void TDictMain::Impl::translateCurrentInput() {
    RedrawPause listPause(selectList.handle());
    RedrawPause resultPause(result.handle());
    translate(currentInput);
    readModeAfterTranslation();
    selectList.clear();
    if (chineseMode != chineseLayout) {
        chineseLayout = chineseMode;
        placeModeControls();
        InvalidateRect(owner.handle(), nullptr, TRUE);
    }
    formatResult(translation);
    fillSelectList();
    if (chineseMode) fillEquivalents();
}

void TDictMain::Impl::fillSelectList() {
    int current = chineseMode ? transStruct.zwWordNumber : currentWordNumber;
    int count = chineseMode ? LXaGetMaxZWWrdN() : LXaGetMaxWrdN();
    RowWindow window = neighbourRows(current, count);
    int selected = -1;
    for (int row = 0; row < window.rows; ++row) {
        int number = window.start + row;
        char text[kRowCapacity] = "";
        bool exists = chineseMode ? LXaGetZWMeanN(number, meaning, sizeof meaning) != 0
                                  : LXaGetMeanN(number, meaning, sizeof meaning) != 0;
        meaning[sizeof meaning - 1] = '\0';
        if (exists) listHeadword(meaning, text, sizeof text);
        if (chineseMode && !exists) break;
        if (!selectList.addRow(text) && chineseMode) break;
        if (number == current) selected = row;
    }
    selectList.selectRow(found ? selected : -1);
}

void TDictMain::Impl::fillEquivalents() {
    equivalents.clear();
    for (int i = 0; i < transStruct.refCount; ++i) {
        const std::uint8_t* ref = transStruct.refs + 3 * i;
        int number = ref[0] | ref[1] << 8 | ref[2] << 16;
        char text[kRowCapacity] = "";
        if (LXaGetMeanN(number, meaning, sizeof meaning)) {
            meaning[sizeof meaning - 1] = '\0';
            listHeadword(meaning, text, sizeof text);
        }
        if (!equivalents.addRow(text)) break;
    }
    equivalents.selectRow(0);
    SetWindowTextA(countLine, kCountBlank);
    char gb[sizeof kCountFormat + 16];
    std::snprintf(gb, sizeof gb, kCountFormat, transStruct.refCount);
    char text[sizeof gb];
    toCurrentPage(gb, text, sizeof text);
    SetWindowTextA(countLine, text);
}

void TDictMain::Impl::formatResult(const char* gbText) {
    SetWindowTextA(phonetic, "");
    char text[kTranslationCapacity] = "";
    toCurrentPage(gbText, text, sizeof text);
    result.clear();

    TranslationParts parts = splitTranslation(text);
    putText(headword, parts.headword, parts.headwordLength);
    if (parts.phonetic)
        SetWindowTextA(phonetic,
                       ("[" + std::string(parts.phonetic, parts.phoneticLength) + "]").c_str());
    InvalidateRect(phonetic, nullptr, TRUE);
    InvalidateRect(headword, nullptr, TRUE);
    if (parts.meanings) layoutMeaningsIntoPane(parts.meanings);
    result.showTop();
    InvalidateRect(result.handle(), nullptr, TRUE);
}

// Lines are measured as the pane shows them: in the pane's own device context with no font
// selected into it.
void TDictMain::Impl::layoutMeaningsIntoPane(const char* meanings) {
    RECT client{};
    GetClientRect(result.handle(), &client);
    int limit = client.right - kResultMargin;
    HDC dc = GetDC(result.handle());
    layoutMeanings(
        meanings,
        [dc, limit](const char* line, std::size_t length) {
            SIZE extent{};
            GetTextExtentPointA(dc, line, static_cast<int>(length), &extent);
            return extent.cx <= limit;
        },
        [this](const char* line, std::size_t length, bool lineBreak) {
            result.appendLine(line, length, lineBreak);
        });
    ReleaseDC(result.handle(), dc);
}

void TDictMain::Impl::showOnly(const char* word) {
    if (!word || word[0] == '\0') return;
    translate(word);
    readModeAfterTranslation();
    formatResult(translation);
}

void TDictMain::Impl::lookUpText(const char* text) {
    input.setText(text);
    lookup(true, true);
}

// ---------------------------------------------------------------------------------------------
// Triggers

void TDictMain::Impl::onEnter() {
    instantPending = false;
    lookup(true, true);
    if (settings.soundAlert && !found)
        for (int beep = 0; beep < 3; ++beep)
            alertBeep(0xFFFFFFFF);
}

// The history list's choice counts once its drop-down is closed; the notifications of a closing
// drop-down come in either order.
void TDictMain::Impl::onHistorySelectionChanged() {
    if (input.droppedDown()) {
        historyChoicePending = true;
        return;
    }
    takeHistoryChoice();
}

void TDictMain::Impl::takeHistoryChoice() {
    historyChoicePending = false;
    int index = static_cast<int>(SendMessageA(input.handle(), CB_GETCURSEL, 0, 0));
    if (index < 0) return;
    char item[kRowCapacity];
    int length = input.historyItem(index, item, sizeof item);
    if (length < 1 || length >= kRowCapacity) return;
    lookUpText(item);
}

void TDictMain::Impl::onInputEdited() {
    instantPending = true;
    instantTicks = 0;
}

void TDictMain::Impl::onListSelectionChanged(TMyListBox& list) {
    char row[kRowCapacity];
    list.rowText(list.selectedRow(), row, sizeof row);
    showOnly(row);
}

void TDictMain::Impl::onListDoubleClicked(TMyListBox& list) {
    char row[kRowCapacity];
    list.rowText(list.selectedRow(), row, sizeof row);
    lookUpText(row);
}

void TDictMain::Impl::onResultWordChosen() {
    char word[TLXEdit::kWordCapacity];
    std::memcpy(word, result.currentWord(), sizeof word);
    word[sizeof word - 1] = '\0';
    lookUpText(word);
}

bool TDictMain::Impl::onControlNotification(HWND control, UINT notification) {
    if (control == input.handle()) {
        if (notification == CBN_SELCHANGE) onHistorySelectionChanged();
        if (notification == CBN_CLOSEUP && historyChoicePending) takeHistoryChoice();
        if (notification == CBN_EDITCHANGE) input.closeDropDown();
        if (notification == CBN_EDITUPDATE) onInputEdited();
        return true;
    }
    for (TMyListBox* list : {&selectList, &equivalents}) {
        if (control != list->handle()) continue;
        if (notification == LBN_SELCHANGE) onListSelectionChanged(*list);
        if (notification == LBN_DBLCLK) onListDoubleClicked(*list);
        return true;
    }
    if (control == result.handle()) {
        if (notification == LXN_DOUBLECLICKWORD) onResultWordChosen();
        return true;
    }
    return false;
}

void TDictMain::Impl::timerTick() {
    if (inTick) return;
    inTick = true;
    if (settings.searchAtOnce && instantPending && ++instantTicks >= kInstantLookupTicks) {
        instantPending = false;
        lookup(false, true);
    }
    inTick = false;
}

// ---------------------------------------------------------------------------------------------
// Commands

void TDictMain::Impl::openBriefForFocus() {
    HWND focus = GetFocus();
    if (!focus) return;
    if (focus == input.editField())
        openBriefDialog(owner.handle(), 1);
    else if (focus == selectList.handle())
        openBriefDialog(owner.handle(), 2);
    else if (focus == result.handle())
        openBriefDialog(owner.handle(), 3);
}

void TDictMain::Impl::focusInput() {
    SetFocus(input.editField());
}

void TDictMain::Impl::focusSelectList() {
    SetFocus(selectList.handle());
}

void TDictMain::Impl::focusResult() {
    SetFocus(result.handle());
}

void TDictMain::Impl::focusNext() {
    HWND focus = GetFocus();
    if (input.hasFocus())
        focusSelectList();
    else if (focus == selectList.handle())
        focusResult();
    else
        focusInput();
}

void TDictMain::Impl::storeInputWord() {
    char word[kStoredWordCapacity] = "";
    input.text(word, sizeof word);
    if (word[0] == '\0') return;
    if (storeMemoryWord(owner.handle(), word)) input.setText("");
}

void TDictMain::Impl::saveHistory() {
    ComboHistory history(input);
    lexora::saveHistory(owner.handle(), history);
}

// ---------------------------------------------------------------------------------------------
// Face and code page

void TDictMain::Impl::switchFaceAndCodePage(int codePage, int face, bool force) {
    int oldPage = CPC_GetCodePage();
    if (!force && codePage == oldPage && face == settings.faceStyle) return;
    if (!frame.setFaceMenu(face)) return;
    setLabelTexts(face);
    keepInputAcrossPageChange(codePage);
    previousInput[0] = '\0';
    lookup(true, false);
    frame.promptBarCodePageChanged(oldPage, codePage);
    InvalidateRect(nullptr, nullptr, TRUE);
    settings.codePage = codePage;
    settings.faceStyle = face;
    frame.setStatusText("");
}

void TDictMain::Impl::keepInputAcrossPageChange(int codePage) {
    char typed[kSwitchTextCapacity] = "";
    char gb[kSwitchTextCapacity] = "";
    input.text(typed, sizeof typed);
    toGb(typed, gb, sizeof gb);
    CPC_SetCodePage(codePage);
    CPC_ConvertWindow(frame.handle());
    toCurrentPage(gb, typed, sizeof typed);
    input.reset();
    input.setText(typed);
}

// ---------------------------------------------------------------------------------------------
// Painting

void TDictMain::Impl::paintBackground(HDC dc, const RECT& part, POINT origin) {
    RECT client{};
    GetClientRect(owner.handle(), &client);
    RECT target{part.left - origin.x, part.top - origin.y, part.right - origin.x,
                part.bottom - origin.y};
    BITMAP info{};
    if (!background || !GetObjectA(background, sizeof info, &info) || client.right <= 0 ||
        client.bottom <= 0) {
        FillRect(dc, &target, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, background);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
               memory, part.left * info.bmWidth / client.right,
               part.top * info.bmHeight / client.bottom,
               (part.right - part.left) * info.bmWidth / client.right,
               (part.bottom - part.top) * info.bmHeight / client.bottom, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void TDictMain::Impl::paint() {
    input.closeDropDown();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(owner.handle(), &ps);
    RECT client{};
    GetClientRect(owner.handle(), &client);
    paintBackground(dc, client, {0, 0});
    EndPaint(owner.handle(), &ps);
}

void TDictMain::Impl::drawAnimationInto(HDC dc, POINT origin) {
    if (animationFrame < 0 || !animation[animationFrame]) return;
    BITMAP info{};
    if (!GetObjectA(animation[animationFrame], sizeof info, &info)) return;
    RECT place = slot(kAnimationRect);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, animation[animationFrame]);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, place.left - origin.x, place.top - origin.y, place.right - place.left,
               place.bottom - place.top, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

// The animation lies on the picture button: the window's own device context, without the
// clipping of its children, reaches it.
void TDictMain::Impl::drawAnimationFrame(int index) {
    if (index < 0 || index >= kAnimationFrames || !owner.handle()) return;
    animationFrame = index;
    HDC dc = GetDCEx(owner.handle(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (!dc) return;
    drawAnimationInto(dc, {0, 0});
    ReleaseDC(owner.handle(), dc);
}

void TDictMain::Impl::drawPhoneticLine(const DRAWITEMSTRUCT& item) {
    char text[kTextLineCapacity] = "";
    GetWindowTextA(item.hwndItem, text, sizeof text);
    FillRect(item.hDC, &item.rcItem, whiteBrush);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, found ? kFoundColour : kMissColour);
    int height = item.rcItem.bottom - item.rcItem.top;
    drawPhoneticText(item.hDC, item.rcItem.left + kPhoneticMargin,
                     item.rcItem.top + (height - kGlyphHeight) / 2, text);
}

void TDictMain::Impl::drawLabel(const DRAWITEMSTRUCT& item) {
    RECT place{};
    GetWindowRect(item.hwndItem, &place);
    MapWindowPoints(nullptr, owner.handle(), reinterpret_cast<POINT*>(&place), 2);
    paintBackground(item.hDC, place, {place.left, place.top});
    char text[kTextLineCapacity] = "";
    int length = GetWindowTextA(item.hwndItem, text, sizeof text);
    SIZE extent{};
    GetTextExtentPointA(item.hDC, text, length, &extent);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, kBlack);
    int height = item.rcItem.bottom - item.rcItem.top;
    TextOutA(item.hDC, item.rcItem.left, item.rcItem.top + (height - extent.cy) / 2, text, length);
}

void TDictMain::Impl::drawPicture(const DRAWITEMSTRUCT& item) {
    RECT place{};
    GetWindowRect(item.hwndItem, &place);
    MapWindowPoints(nullptr, owner.handle(), reinterpret_cast<POINT*>(&place), 2);
    paintBackground(item.hDC, place, {place.left, place.top});
    drawAnimationInto(item.hDC, {place.left, place.top});
}

LRESULT TDictMain::Impl::drawItem(const DRAWITEMSTRUCT& item) {
    // The phonetic line and the labels are the program's own texts: lxsys must not translate
    // them.
    LXbSetDrawPrompt(1);
    switch (item.CtlID) {
    case IDC_PHONETIC:
        drawPhoneticLine(item);
        break;
    case IDC_LABEL_INPUT:
    case IDC_LABEL_SELECT:
    case IDC_LABEL_RESULT:
        drawLabel(item);
        break;
    case IDC_PICTURE:
        drawPicture(item);
        break;
    default:
        break;
    }
    LXbSetDrawPrompt(0);
    return TRUE;
}

LRESULT TDictMain::Impl::controlColours(UINT message, HDC dc, HWND control, bool& handled) {
    handled = true;
    bool resultText = control == result.handle() || control == headword || control == countLine ||
                      control == phonetic;
    if (resultText) {
        SetTextColor(dc, found ? kFoundColour : kMissColour);
        SetBkColor(dc, kWhite);
        SetBkMode(dc, OPAQUE);
        return reinterpret_cast<LRESULT>(whiteBrush);
    }
    if (control == equivalents.handle()) {
        SetTextColor(dc, kFoundColour);
        SetBkColor(dc, kWhite);
        return reinterpret_cast<LRESULT>(whiteBrush);
    }
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
        SetTextColor(dc, kBlack);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    handled = false;
    return 0;
}

void TDictMain::Impl::pointerOver(HWND control, const char* gbText) {
    if (control == hoveredControl) return;
    hoveredControl = control;
    char text[kTextLineCapacity];
    toCurrentPage(gbText, text, sizeof text);
    frame.showHoverText(text);
}

// ---------------------------------------------------------------------------------------------
// TDictMain

TDictMain::TDictMain(TMyFrame& frame) : impl_(new Impl(*this, frame)), frame_(frame) {}

TDictMain::~TDictMain() {
    // The controls' objects go before the window that owns their windows.
    if (handle()) DestroyWindow(handle());
    delete impl_;
}

bool TDictMain::create(HWND frame) {
    WNDCLASSEXA prototype{};
    prototype.lpszClassName = kClassName;
    prototype.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    if (!registerClass(prototype)) return false;
    RECT client{};
    GetClientRect(frame, &client);
    if (!TWindow::create(kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0,
                         client.right, client.bottom, frame, nullptr))
        return false;
    impl_->loadPictures();
    if (!impl_->createControls(handle())) return false;
    impl_->setLabelTexts(settings.faceStyle);
    impl_->layout();
    return true;
}

void TDictMain::lookup(bool addToHistory, bool focusInput) {
    impl_->lookup(addToHistory, focusInput);
}

void TDictMain::showOnly(const char* word) {
    impl_->showOnly(word);
}

void TDictMain::formatResult(const char* text) {
    impl_->formatResult(text);
}

void TDictMain::switchFaceAndCodePage(int codePage, int face, bool force) {
    impl_->switchFaceAndCodePage(codePage, face, force);
}

void TDictMain::timerTick() {
    impl_->timerTick();
}

void TDictMain::drawAnimationFrame(int index) {
    impl_->drawAnimationFrame(index);
}

void TDictMain::saveHistory() {
    impl_->saveHistory();
}

bool TDictMain::historyHasItems() const {
    return impl_->input.historyCount() > 0;
}

bool TDictMain::onCommand(UINT id, UINT notification, HWND control) {
    using Route = CommandRoute<Impl>;
    // Commands without a control: Enter, the focus keys, the history menu items.
    static constexpr Route kCommands[] = {
        {CM_ENTER, kAnyNotification, &Impl::onEnter},
        {CM_BRIEFHELP, kAnyNotification, &Impl::openBriefForFocus},
        {CM_FOCUSINPUT, kAnyNotification, &Impl::focusInput},
        {CM_FOCUSSELECT, kAnyNotification, &Impl::focusSelectList},
        {CM_FOCUSRESULT, kAnyNotification, &Impl::focusResult},
        {CM_FOCUSNEXT, kAnyNotification, &Impl::focusNext},
        {CM_STOREMEMORYWORD, kAnyNotification, &Impl::storeInputWord},
        {CM_STOREHISTORY, kAnyNotification, &Impl::saveHistory},
    };
    // Clicks of the picture button and the pane labels open the brief description on their tab.
    static constexpr Route kButtonClicks[] = {
        {IDC_PICTURE, BN_CLICKED, &Impl::openBriefAbout},
        {IDC_LABEL_INPUT, BN_CLICKED, &Impl::openBriefInput},
        {IDC_LABEL_SELECT, BN_CLICKED, &Impl::openBriefSelect},
        {IDC_LABEL_RESULT, BN_CLICKED, &Impl::openBriefResult},
    };
    if (!control) return dispatchCommand(*impl_, kCommands, id, notification);
    if (impl_->onControlNotification(control, notification)) return true;
    return dispatchCommand(*impl_, kButtonClicks, id, notification);
}

void TDictMain::commandState(CommandEnabler& enabler) {
    if (enabler.id == CM_STOREMEMORYWORD) enabler.enable(impl_->input.hasText());
    if (enabler.id == CM_STOREHISTORY) enabler.enable(historyHasItems());
}

LRESULT TDictMain::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        // A child hears of its frame's minimising only as a size of its own.
        if (wParam != SIZE_MINIMIZED && !IsIconic(GetParent(handle()))) impl_->layout();
        return 0;
    case WM_PAINT:
        impl_->paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the painting covers the whole client area
    case WM_SETFOCUS:
        impl_->focusInput();
        return 0;
    case WM_MOUSEMOVE:
        impl_->pointerOver(handle(), kBackgroundHover);
        return 0;
    case WM_DRAWITEM:
        return impl_->drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
        bool handled = false;
        LRESULT brush = impl_->controlColours(message, reinterpret_cast<HDC>(wParam),
                                              reinterpret_cast<HWND>(lParam), handled);
        if (handled) return brush;
        break;
    }
    default:
        break;
    }
    return TWindow::handleMessage(message, wParam, lParam);
}

} // namespace lexora
