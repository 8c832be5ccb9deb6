#include "userlib.h"

#include "controls.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/filedialog.h"
#include "core/settings.h"
#include "userlib_ids.h"

#include <lxsys.h>
#include <wordbank.h>

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace lexora {

namespace {

// What the page reads of its edits, with room for the NUL.
constexpr int kPhraseCapacity = 200;
constexpr int kSoundmarkCapacity = 30;
constexpr int kMeaningCapacity = 500;
constexpr int kPreviewSoundmarkCapacity = 39;
// A record packed from the three edits always fits the page's record buffer.
static_assert(kPhraseCapacity + kSoundmarkCapacity + kMeaningCapacity <= WBK_RECORD_BUFFER);

constexpr char kNoLibrary[] = "No User Library";
constexpr char kLibraryFilter[] = "User Library Files (*.txt)|*.txt|All Files (*.*)|*.*|";

// The controls that work on an open library; the others stay usable without one.
constexpr int kLibraryControls[] = {IDC_UL_INPUTGROUP, IDC_UL_PHRASE, IDC_UL_SOUNDMARK,
                                    IDC_UL_MEANING,    IDC_UL_APPEND, IDC_UL_MODIFY,
                                    IDC_UL_DELETE,     IDC_UL_CLOSE};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Removes spaces and tabs at both ends, in place. No trail byte of a double-byte character is a
// space or a tab, so the cut never splits one.
void trimBlanks(char* text) {
    std::size_t length = std::strlen(text);
    while (length > 0 && isBlank(text[length - 1]))
        --length;
    std::size_t start = 0;
    while (start < length && isBlank(text[start]))
        ++start;
    std::memmove(text, text + start, length - start);
    text[length - start] = '\0';
}

// The lines of a meaning typed on several lines, joined into one.
void removeLineBreaks(char* text) {
    char* kept = text;
    for (const char* at = text; *at != '\0'; ++at)
        if (*at != '\r' && *at != '\n') *kept++ = *at;
    *kept = '\0';
}

// Field `index` of a packed record of `length` bytes; "" when the record is cut before it.
const char* recordField(const char* record, int length, int index) {
    int at = 0;
    for (int field = 0; field < index; ++field) {
        while (at < length && record[at] != '\0')
            ++at;
        if (at >= length) return "";
        ++at;
    }
    return record + at;
}

void beep() {
    MessageBeep(0xFFFFFFFF);
}

} // namespace

struct TUserLib::Impl {
    explicit Impl(TUserLib& owner) : page(owner) {}

    HWND window() const { return page.handle(); }
    HWND control(int id) const { return GetDlgItem(window(), id); }

    // Reads an edit's text, cut to `size` - 1 bytes, without spaces and tabs at its ends.
    void readTrimmed(int id, char* text, int size) const {
        GetDlgItemTextA(window(), id, text, size);
        trimBlanks(text);
    }

    void setUp() {
        CheckDlgButton(window(), IDC_UL_USE, settings.useUserLibrary ? BST_CHECKED : BST_UNCHECKED);
        SendMessageA(control(IDC_UL_PHRASE), EM_LIMITTEXT, UL_PHRASE_LIMIT, 0);
        SendMessageA(control(IDC_UL_SOUNDMARK), EM_LIMITTEXT, UL_SOUNDMARK_LIMIT, 0);
        SendMessageA(control(IDC_UL_MEANING), EM_LIMITTEXT, UL_MEANING_LIMIT, 0);
        refresh();
    }

    void showStatus(int id) {
        hideStatus();
        shownStatus = control(id);
        ShowWindow(shownStatus, SW_SHOW);
    }

    void hideStatus() {
        if (shownStatus) ShowWindow(shownStatus, SW_HIDE);
        shownStatus = nullptr;
    }

    // Shows the open library's file name (without its directory), code page and size, empties
    // the edits and lets them be used only while a library is open.
    void refresh() {
        char name[kFileNameCapacity] = "";
        const char* shownName = kNoLibrary;
        const char* codePage = "";
        char count[16] = "";
        const bool loaded = WBK_Loaded() != 0;
        if (loaded) {
            WBK_GetName(name, sizeof name);
            const char* lastBackslash = std::strrchr(name, '\\');
            shownName = lastBackslash ? lastBackslash + 1 : name;
            codePage = WBK_GetCodePage() == WBK_PAGE_GB ? "CHN-GB" : "CHN-BIG5";
            std::snprintf(count, sizeof count, "%d", WBK_GetRecordCount());
            SetFocus(control(IDC_UL_PHRASE));
        }
        SetDlgItemTextA(window(), IDC_UL_NAME, shownName);
        SetDlgItemTextA(window(), IDC_UL_CODEPAGE, codePage);
        SetDlgItemTextA(window(), IDC_UL_COUNT, count);
        for (int id : {IDC_UL_PHRASE, IDC_UL_SOUNDMARK, IDC_UL_MEANING})
            SetDlgItemTextA(window(), id, "");
        for (int id : kLibraryControls)
            EnableWindow(control(id), loaded);
    }

    // Packs the edits into the record buffer; false when the phrase or the meaning is empty.
    bool buildRecord() {
        if (GetWindowTextLengthA(control(IDC_UL_PHRASE)) == 0 ||
            GetWindowTextLengthA(control(IDC_UL_MEANING)) == 0)
            return false;
        char phrase[kPhraseCapacity];
        char soundmark[kSoundmarkCapacity];
        char meaning[kMeaningCapacity];
        readTrimmed(IDC_UL_PHRASE, phrase, sizeof phrase);
        readTrimmed(IDC_UL_SOUNDMARK, soundmark, sizeof soundmark);
        GetDlgItemTextA(window(), IDC_UL_MEANING, meaning, sizeof meaning);
        removeLineBreaks(meaning);
        trimBlanks(meaning);
        char* at = record;
        for (const char* field : {phrase, soundmark, meaning}) {
            const std::size_t length = std::strlen(field) + 1;
            std::memcpy(at, field, length);
            at += length;
        }
        return true;
    }

    // Append and Modify: both replace a record whose phrase exists.
    void storeRecord(int successStatus, int failureStatus) {
        if (buildRecord() && WBK_AddRecord(record)) {
            refresh();
            showStatus(successStatus);
            return;
        }
        showStatus(failureStatus);
        beep();
        beep();
    }

    void append() { storeRecord(IDC_UL_APPENDED, IDC_UL_APPEND_FAILED); }
    void modify() { storeRecord(IDC_UL_MODIFIED, IDC_UL_MODIFY_FAILED); }

    void deletePhrase() {
        char phrase[kPhraseCapacity];
        readTrimmed(IDC_UL_PHRASE, phrase, sizeof phrase);
        if (phrase[0] != '\0' && WBK_DeleteRecord(phrase)) {
            refresh();
            showStatus(IDC_UL_DELETED);
            return;
        }
        showStatus(IDC_UL_NO_PHRASE);
        beep();
    }

    void closeLibrary() {
        WBK_Close();
        refresh();
        showStatus(IDC_UL_CLOSED);
        beep();
    }

    // A failed open or create has closed the library open before, so the page shows that too.
    void openLibrary() {
        const bool wasOpen = std::exchange(modalDialogOpen, true);
        char path[kFileNameCapacity] = "";
        if (askFileName(window(), FileDialogKind::open, IDC_UL_OPEN, kLibraryFilter,
                        OFN_PATHMUSTEXIST, path, sizeof path)) {
            const bool opened = WBK_Open(path) != 0;
            if (opened) {
                std::snprintf(settings.libraryName, sizeof settings.libraryName, "%s", path);
            }
            refresh();
            if (opened) {
                showStatus(IDC_UL_OPENED);
                beep();
            }
        }
        modalDialogOpen = wasOpen;
    }

    // An existing file is emptied only when the user says so.
    bool mayReplace(const char* path) const {
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return true;
        return showFaceMessage(window(), IDS_UL_OVERWRITE, IDS_UL_CREATE_ERROR,
                               MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONEXCLAMATION, path) == IDOK;
    }

    // The new library is not made the one the settings name.
    void createLibrary() {
        const bool wasOpen = std::exchange(modalDialogOpen, true);
        char path[kFileNameCapacity] = "";
        if (askFileName(window(), FileDialogKind::open, IDC_UL_NEW, kLibraryFilter,
                        OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, path, sizeof path) &&
            mayReplace(path)) {
            const bool created = WBK_Create(path) != 0;
            refresh();
            if (created) {
                showStatus(IDC_UL_CREATED);
                beep();
            }
        }
        modalDialogOpen = wasOpen;
    }

    // A phrase the library holds brings its soundmark and meaning into the edits.
    void phraseTyped() {
        char phrase[kPhraseCapacity];
        readTrimmed(IDC_UL_PHRASE, phrase, sizeof phrase);
        if (phrase[0] == '\0') return;
        if (!WBK_Seek(phrase)) {
            hideStatus();
            return;
        }
        const int length = WBK_GetRecord(record, sizeof record);
        if (length <= 0) return;
        SetDlgItemTextA(window(), IDC_UL_SOUNDMARK, recordField(record, length, 1));
        SetDlgItemTextA(window(), IDC_UL_MEANING, recordField(record, length, 2));
        showStatus(IDC_UL_EXISTS);
        beep();
    }

    // The soundmark is typed in letter form and previewed in phonetic symbols.
    void soundmarkTyped() {
        char soundmark[kPreviewSoundmarkCapacity] = "";
        GetDlgItemTextA(window(), IDC_UL_SOUNDMARK, soundmark, sizeof soundmark);
        preview.clear();
        if (soundmark[0] != '\0')
            preview = std::string("[") + WBK_CVTSound(WBK_LETTERS_TO_CODES, soundmark) + "]";
        InvalidateRect(control(IDC_UL_PREVIEW), nullptr, TRUE);
    }

    // Drawn with capture's dynamic translation held off: the symbols are the program's own text.
    void drawPreview(const DRAWITEMSTRUCT& item) const {
        // The background the page gives its static texts, which a theme may make other than grey.
        auto background = reinterpret_cast<HBRUSH>(
            SendMessageA(window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(item.hDC),
                         reinterpret_cast<LPARAM>(item.hwndItem)));
        FillRect(item.hDC, &item.rcItem, background ? background : GetSysColorBrush(COLOR_BTNFACE));
        if (preview.empty()) return;
        auto font = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
        HGDIOBJ oldFont = font ? SelectObject(item.hDC, font) : nullptr;
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
        constexpr int kGlyphHeight = 16;
        const int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - kGlyphHeight) / 2;
        LXbSetDrawPrompt(1);
        drawPhoneticText(item.hDC, item.rcItem.left, y, preview.c_str());
        LXbSetDrawPrompt(0);
        if (oldFont) SelectObject(item.hDC, oldFont);
    }

    bool useChecked() const { return IsDlgButtonChecked(window(), IDC_UL_USE) == BST_CHECKED; }

    void useClicked() {
        if (useChecked() != (settings.useUserLibrary != 0)) page.setChanged();
    }

    // Only the use of the library waits for Apply: switching it on opens the library the
    // settings name, switching it off closes (and so saves) the open one.
    void applyUse() {
        const bool use = useChecked();
        if (use == (settings.useUserLibrary != 0)) return;
        settings.useUserLibrary = use ? 1 : 0;
        if (!openUserLibrary()) WBK_Close();
        refresh();
    }

    TUserLib& page;
    char record[WBK_RECORD_BUFFER] = {};
    HWND shownStatus = nullptr;
    // The soundmark in phonetic codes within "[" and "]", as the preview shows it.
    std::string preview;
};

TUserLib::TUserLib() : TNewPropertyPage(IDD_USERLIB), impl_(std::make_unique<Impl>(*this)) {}

TUserLib::~TUserLib() = default;

BOOL TUserLib::setupWindow() {
    impl_->setUp();
    convertTexts();
    // With a library open the focus is on the phrase already.
    return WBK_Loaded() ? FALSE : TRUE;
}

bool TUserLib::onCommand(UINT id, UINT notification, HWND) {
    static const CommandRoute<Impl> kRoutes[] = {
        {IDC_UL_APPEND, BN_CLICKED, &Impl::append},
        {IDC_UL_MODIFY, BN_CLICKED, &Impl::modify},
        {IDC_UL_DELETE, BN_CLICKED, &Impl::deletePhrase},
        {IDC_UL_CLOSE, BN_CLICKED, &Impl::closeLibrary},
        {IDC_UL_OPEN, BN_CLICKED, &Impl::openLibrary},
        {IDC_UL_NEW, BN_CLICKED, &Impl::createLibrary},
        {IDC_UL_USE, BN_CLICKED, &Impl::useClicked},
        {IDC_UL_PHRASE, EN_CHANGE, &Impl::phraseTyped},
        {IDC_UL_SOUNDMARK, EN_CHANGE, &Impl::soundmarkTyped},
    };
    return dispatchCommand(*impl_, kRoutes, id, notification);
}

void TUserLib::apply() {
    impl_->applyUse();
    setUnchanged();
    TNewPropertyPage::apply();
}

LRESULT TUserLib::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM && wParam == IDC_UL_PREVIEW) {
        impl_->drawPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return TNewPropertyPage::handleMessage(message, wParam, lParam);
}

} // namespace lexora
