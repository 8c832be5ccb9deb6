#include "textcvt.h"

#include "core/filedialog.h"
#include "core/messages.h"
#include "core/settings.h"
#include "core/textconvert.h"
#include "core/textfile.h"
#include "resource_ids.h"
#include "textcvt_ids.h"

#include <cpconv.h>

#include <commdlg.h>

#include <cstdio>
#include <memory>
#include <utility>

namespace lexora {

namespace {

constexpr int kListLength = 3;
constexpr int kLabelSize = 128;
constexpr int kFilterSize = 256;
constexpr UINT kSimpleBeep = 0xFFFFFFFF;
// The destination page for each source language: English stays in the current page, Chinese
// goes to the other page.
constexpr int kDestinationFor[kListLength] = {0, 2, 1};
constexpr int kSpaceButtons[] = {IDC_TCV_INSERT_SPACE, IDC_TCV_DELETE_SPACE, IDC_TCV_IGNORE_SPACE};

int languageIndex(TextLanguage language) {
    return static_cast<int>(language);
}

void centreOnScreen(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The common dialogs take their filter as parts separated by NULs.

// The clipboard, open while the object holds it.
class OpenClipboardHold {
  public:
    OpenClipboardHold() = default;
    ~OpenClipboardHold() { close(); }
    OpenClipboardHold(const OpenClipboardHold&) = delete;
    OpenClipboardHold& operator=(const OpenClipboardHold&) = delete;

    bool open(HWND owner) { return open_ = OpenClipboard(owner) != FALSE; }
    void close() {
        if (open_) CloseClipboard();
        open_ = false;
    }

  private:
    bool open_ = false;
};

// The language of the clipboard's text; English when it holds none.
TextLanguage clipboardLanguage(HWND owner) {
    OpenClipboardHold clipboard;
    if (!clipboard.open(owner)) return TextLanguage::english;
    HGLOBAL block = GetClipboardData(CF_TEXT);
    const char* text = block ? static_cast<const char*>(GlobalLock(block)) : nullptr;
    if (!text) return TextLanguage::english;
    TextLanguage language = detectLanguage(text, GlobalSize(block));
    GlobalUnlock(block);
    return language;
}

bool clipboardHasText() {
    return IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

} // namespace

struct LXTextCvt::Impl {
    explicit Impl(LXTextCvt& owner) : dialog(owner) {}
    ~Impl() { releaseModalFlag(); }

    HWND window() const { return dialog.handle(); }
    HWND item(int id) const { return GetDlgItem(window(), id); }
    bool checked(int id) const { return IsDlgButtonChecked(window(), id) == BST_CHECKED; }
    void check(int id, bool on) { CheckDlgButton(window(), id, on ? BST_CHECKED : BST_UNCHECKED); }
    int selection(int list) const {
        return static_cast<int>(SendMessageA(item(list), CB_GETCURSEL, 0, 0));
    }
    void select(int list, int index) { SendMessageA(item(list), CB_SETCURSEL, index, 0); }
    void itemText(int id, char* text, int size) const { GetDlgItemTextA(window(), id, text, size); }

    void holdModalFlag();
    void releaseModalFlag();

    bool dispatch(UINT id, UINT notification);
    void setup();
    void fillList(int list, int firstTextId);
    void showLanguage(TextLanguage language);
    void enableOptionsFor(int language);
    void updateConvertState();

    void browseSource();
    void browseDest();
    bool askFileName(FileDialogKind kind, int titleLabel, char* name, int size);

    void convert();
    std::unique_ptr<MyFile> openClipboardSource(OpenClipboardHold& clipboard);
    std::unique_ptr<MyFile> openFileSource();
    std::unique_ptr<MyFile> openClipboardDest();
    std::unique_ptr<MyFile> openFileDest();
    void runConversion(MyFile& source, MyFile& dest);
    void handToClipboard(ClipbrdFile& dest);
    void showError(int textId, int captionId) {
        showFaceMessage(window(), textId, captionId, MB_OK | MB_ICONERROR);
    }

    LXTextCvt& dialog;
    bool holdsModalFlag = false;
    bool modalFlagBefore = false;
};

void LXTextCvt::Impl::holdModalFlag() {
    if (holdsModalFlag) return;
    modalFlagBefore = std::exchange(modalDialogOpen, true);
    holdsModalFlag = true;
}

void LXTextCvt::Impl::releaseModalFlag() {
    if (!holdsModalFlag) return;
    modalDialogOpen = modalFlagBefore;
    holdsModalFlag = false;
}

// --- Set-up and the state of the controls -----------------------------------------------------

void LXTextCvt::Impl::setup() {
    holdModalFlag();
    centreOnScreen(window());
    EnableWindow(item(IDOK), FALSE);
    check(IDC_TCV_IGNORE_SPACE, true);
    fillList(IDC_TCV_SOURCE_LANGUAGE, IDS_TCV_LANGUAGE_FIRST);
    fillList(IDC_TCV_DEST_PAGE, IDS_TCV_PAGE_FIRST);
    if (clipboardHasText()) {
        check(IDC_TCV_FROM_CLIPBOARD, true);
        check(IDC_TCV_TO_CLIPBOARD, true);
        showLanguage(clipboardLanguage(window()));
        EnableWindow(item(IDOK), TRUE);
    }
    CPC_ConvertWindow(window());
}

void LXTextCvt::Impl::fillList(int list, int firstTextId) {
    for (int index = 0; index < kListLength; ++index) {
        char text[kLabelSize];
        loadPageString(faceTextId(firstTextId + index), text, sizeof text);
        SendMessageA(item(list), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

void LXTextCvt::Impl::showLanguage(TextLanguage language) {
    int index = languageIndex(language);
    select(IDC_TCV_SOURCE_LANGUAGE, index);
    select(IDC_TCV_DEST_PAGE, kDestinationFor[index]);
    enableOptionsFor(index);
}

// The space treatments belong to Chinese text, the comparison to English.
void LXTextCvt::Impl::enableOptionsFor(int language) {
    bool chinese = language != languageIndex(TextLanguage::english);
    for (int button : kSpaceButtons)
        EnableWindow(item(button), chinese);
    EnableWindow(item(IDC_TCV_COMPARE), !chinese);
}

void LXTextCvt::Impl::updateConvertState() {
    char sourceFile[MAX_PATH];
    char destFile[MAX_PATH];
    itemText(IDC_TCV_SOURCE_FILE, sourceFile, sizeof sourceFile);
    itemText(IDC_TCV_DEST_FILE, destFile, sizeof destFile);
    ConvertChoice choice;
    choice.fromClipboard = checked(IDC_TCV_FROM_CLIPBOARD);
    choice.sourceFile = sourceFile;
    choice.toClipboard = checked(IDC_TCV_TO_CLIPBOARD);
    choice.destFile = destFile;
    int language = selection(IDC_TCV_SOURCE_LANGUAGE);
    choice.languageChosen = language != CB_ERR;
    choice.pageChosen = selection(IDC_TCV_DEST_PAGE) != CB_ERR;
    EnableWindow(item(IDOK), convertAllowed(choice));
    if (language != CB_ERR) enableOptionsFor(language);
}

// --- Choosing files ---------------------------------------------------------------------------

void LXTextCvt::Impl::browseSource() {
    char name[MAX_PATH] = "";
    if (!askFileName(FileDialogKind::open, IDC_TCV_SOURCE_LABEL, name, sizeof name)) return;
    bool opened = false;
    showLanguage(detectFileLanguage(name, opened));
    if (!opened) return;
    SetDlgItemTextA(window(), IDC_TCV_SOURCE_FILE, name);
    check(IDC_TCV_FROM_CLIPBOARD, false);
    updateConvertState();
}

void LXTextCvt::Impl::browseDest() {
    char name[MAX_PATH] = "";
    if (!askFileName(FileDialogKind::save, IDC_TCV_DEST_LABEL, name, sizeof name)) return;
    SetDlgItemTextA(window(), IDC_TCV_DEST_FILE, name);
    check(IDC_TCV_TO_CLIPBOARD, false);
    updateConvertState();
}

// The file dialog is titled with the label above the file name it asks for.
bool LXTextCvt::Impl::askFileName(FileDialogKind kind, int titleLabel, char* name, int size) {
    char filter[kFilterSize];
    loadPageString(faceTextId(IDS_TCV_FILTER), filter, sizeof filter);
    DWORD flags = OFN_PATHMUSTEXIST | (kind == FileDialogKind::save ? OFN_HIDEREADONLY : 0);
    return lexora::askFileName(window(), kind, titleLabel, filter, flags, name, size);
}

// --- Converting -------------------------------------------------------------------------------

// Whatever ends the run early closes what it opened: the streams and the clipboard go with their
// owners.
void LXTextCvt::Impl::convert() {
    if (!IsWindowEnabled(item(IDOK))) return;
    MessageBeep(kSimpleBeep);
    OpenClipboardHold sourceClipboard;
    std::unique_ptr<MyFile> source =
        checked(IDC_TCV_FROM_CLIPBOARD) ? openClipboardSource(sourceClipboard) : openFileSource();
    if (!source) return;
    bool toClipboard = checked(IDC_TCV_TO_CLIPBOARD);
    std::unique_ptr<MyFile> dest = toClipboard ? openClipboardDest() : openFileDest();
    if (!dest) return;

    runConversion(*source, *dest);
    sourceClipboard.close();
    source.reset();
    if (toClipboard) handToClipboard(static_cast<ClipbrdFile&>(*dest));
    dest.reset();
    showFaceMessage(window(), IDS_TCV_DONE, IDS_TCV_DONE_CAPTION, MB_OK);
}

// The clipboard stays open while its block is read.
std::unique_ptr<MyFile> LXTextCvt::Impl::openClipboardSource(OpenClipboardHold& clipboard) {
    if (!clipboardHasText() || !clipboard.open(window())) {
        showError(IDS_TCV_NO_CLIPBOARD_TEXT, IDS_TCV_NO_TEXT_CAPTION);
        return nullptr;
    }
    HGLOBAL block = GetClipboardData(CF_TEXT);
    if (!block) {
        clipboard.close();
        showError(IDS_TCV_NO_CLIPBOARD_TEXT, IDS_TCV_NO_TEXT_CAPTION);
        return nullptr;
    }
    auto source = std::make_unique<ClipbrdFile>(block);
    if (source->open()) return source;
    clipboard.close();
    showError(IDS_TCV_CLIPBOARD_ERROR, IDS_TCV_CLIPBOARD_ERROR_CAPTION);
    return nullptr;
}

std::unique_ptr<MyFile> LXTextCvt::Impl::openFileSource() {
    char name[MAX_PATH];
    itemText(IDC_TCV_SOURCE_FILE, name, sizeof name);
    if (name[0] == '\0') return nullptr;
    auto source = std::make_unique<DiskFile>(name, "rb");
    if (source->open()) return source;
    showError(IDS_TCV_NO_SOURCE, IDS_TCV_ERROR_CAPTION);
    return nullptr;
}

std::unique_ptr<MyFile> LXTextCvt::Impl::openClipboardDest() {
    auto dest = std::make_unique<ClipbrdFile>();
    if (!dest->open()) return nullptr;
    return dest;
}

// An existing file is written over only when the user agrees.
std::unique_ptr<MyFile> LXTextCvt::Impl::openFileDest() {
    char name[MAX_PATH];
    itemText(IDC_TCV_DEST_FILE, name, sizeof name);
    if (name[0] == '\0') return nullptr;
    if (std::FILE* existing = std::fopen(name, "r")) {
        std::fclose(existing);
        if (showFaceMessage(window(), IDS_TCV_OVERWRITE, IDS_TCV_OVERWRITE_CAPTION,
                            MB_OKCANCEL | MB_ICONERROR) != IDOK)
            return nullptr;
    }
    auto dest = std::make_unique<DiskFile>(name, "wb");
    if (dest->open()) return dest;
    showError(IDS_TCV_NO_DEST, IDS_TCV_ERROR_CAPTION);
    return nullptr;
}

void LXTextCvt::Impl::runConversion(MyFile& source, MyFile& dest) {
    int language = selection(IDC_TCV_SOURCE_LANGUAGE);
    int page = selection(IDC_TCV_DEST_PAGE);
    if (page <= 0) page = CPC_GetCodePage();
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (language == languageIndex(TextLanguage::gb) ||
        language == languageIndex(TextLanguage::big5)) {
        SpaceMode spaces = checked(IDC_TCV_INSERT_SPACE)   ? SpaceMode::insert
                           : checked(IDC_TCV_DELETE_SPACE) ? SpaceMode::remove
                                                           : SpaceMode::keep;
        convertChineseText(source, dest, language, page, spaces);
    } else {
        translateEnglishText(source, dest, page, checked(IDC_TCV_COMPARE));
    }
    SetCursor(previous);
}

// The clipboard takes the block over; one it refuses is freed here.
void LXTextCvt::Impl::handToClipboard(ClipbrdFile& dest) {
    OpenClipboardHold clipboard;
    if (!clipboard.open(window())) return;
    EmptyClipboard();
    HGLOBAL block = dest.release();
    if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
}

// --- The dialog -------------------------------------------------------------------------------

bool LXTextCvt::Impl::dispatch(UINT id, UINT notification) {
    static constexpr CommandRoute<Impl> kCommands[] = {
        {IDOK, kAnyNotification, &Impl::convert},
        {IDC_TCV_SOURCE_BROWSE, BN_CLICKED, &Impl::browseSource},
        {IDC_TCV_DEST_BROWSE, BN_CLICKED, &Impl::browseDest},
        {IDC_TCV_FROM_CLIPBOARD, BN_CLICKED, &Impl::updateConvertState},
        {IDC_TCV_TO_CLIPBOARD, BN_CLICKED, &Impl::updateConvertState},
        {IDC_TCV_SOURCE_FILE, EN_CHANGE, &Impl::updateConvertState},
        {IDC_TCV_DEST_FILE, EN_CHANGE, &Impl::updateConvertState},
        {IDC_TCV_SOURCE_LANGUAGE, CBN_SELCHANGE, &Impl::updateConvertState},
        {IDC_TCV_DEST_PAGE, CBN_SELCHANGE, &Impl::updateConvertState},
    };
    return dispatchCommand(*this, kCommands, id, notification);
}

namespace {

int templateOfFace() {
    return settings.faceStyle == 0 ? IDD_TEXTCVT + FACE_STRING_OFFSET : IDD_TEXTCVT;
}

} // namespace

LXTextCvt::LXTextCvt(HWND parent)
    : TDialog(parent, templateOfFace()), impl_(std::make_unique<Impl>(*this)) {}

LXTextCvt::~LXTextCvt() = default;

BOOL LXTextCvt::setupWindow() {
    impl_->setup();
    return TRUE;
}

bool LXTextCvt::onCommand(UINT id, UINT notification, HWND control) {
    if (impl_->dispatch(id, notification)) return true;
    if (id == IDCANCEL) impl_->releaseModalFlag();
    return TDialog::onCommand(id, notification, control);
}

} // namespace lexora
