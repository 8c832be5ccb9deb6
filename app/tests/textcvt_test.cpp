// The text converter inside the test program, with the program's resources, the real dictionary
// and the clipboard: what it chooses for the clipboard's text, when Convert may run, the files
// and clipboard texts it writes and the messages it shows, and a large file converted as the
// native lexora convert converts it.
#include "core/messages.h"
#include "core/settings.h"
#include "gui.h"
#include "picture.h"
#include "textcvt.h"
#include "textcvt_ids.h"

#include <cpconv.h>
#include <lxsys.h>
#include <lxtran.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace lexora {
namespace {

using testsupport::waitUntil;

// GB: 中 国 and the full-width comma; BIG5: 這 是 中 文 (這 and 是 have trail bytes GB lacks),
// 中 國 and the full-width comma.
constexpr char kGbText[] = "\xD6\xD0\xB9\xFA\xA3\xAC";
constexpr char kBig5Text[] = "\xB3\x6F\xAC\x4F\xA4\xA4\xA4\xE5";
constexpr char kBig5Spaced[] = " \xA4\xA4 \xB0\xEA\xA1\x41";

struct ShownMessage {
    std::string text;
    std::string caption;
    UINT type;
};

// The clipboard takes data only from an owner window.
void putClipboardText(HWND owner, const std::string& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

void emptyClipboard(HWND owner) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    CloseClipboard();
}

std::string clipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

std::string temporaryPath(const char* name) {
    char folder[MAX_PATH] = "";
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "lxtextcvt_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::string readFile(const std::string& path) {
    std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char buffer[65536];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, read);
    std::fclose(file);
    return bytes;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class TextCvtTest : public testing::Test {
  protected:
    void SetUp() override {
        CPC_SetCodePage(CPC_PAGE_GB);
        settings.faceStyle = 0;
        setMessageFunction([this](HWND, const char* text, const char* caption, UINT type) {
            shown_.push_back({text, caption, type});
            return answer_;
        });
        source_ = temporaryPath("source.txt");
        dest_ = temporaryPath("dest.txt");
    }
    void TearDown() override {
        dialog_.reset();
        setMessageFunction(nullptr);
        settings.faceStyle = 1;
        DeleteFileA(source_.c_str());
        DeleteFileA(dest_.c_str());
    }

    void open() {
        dialog_ = std::make_unique<LXTextCvt>(nullptr);
        window_ = dialog_->createModeless();
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOW);
    }

    HWND item(int id) const { return GetDlgItem(window_, id); }
    bool enabled(int id) const { return IsWindowEnabled(item(id)) != FALSE; }
    bool checked(int id) const { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }
    int selection(int list) const {
        return static_cast<int>(SendMessageA(item(list), CB_GETCURSEL, 0, 0));
    }
    std::string selectedText(int list) const {
        char text[64] = "";
        SendMessageA(item(list), CB_GETLBTEXT, selection(list), reinterpret_cast<LPARAM>(text));
        return text;
    }
    void click(int id) { SendMessageA(item(id), BM_CLICK, 0, 0); }
    void choose(int list, int index) {
        SendMessageA(item(list), CB_SETCURSEL, index, 0);
        SendMessageA(window_, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(item(list)));
    }
    void setText(int id, const std::string& text) { SetDlgItemTextA(window_, id, text.c_str()); }
    void convert() { SendMessageA(window_, WM_COMMAND, IDOK, 0); }

    // File to file, Chinese GB to the given page with a space treatment.
    void chooseFiles(int language, int page, int spaceButton) {
        open();
        if (checked(IDC_TCV_FROM_CLIPBOARD)) click(IDC_TCV_FROM_CLIPBOARD);
        if (checked(IDC_TCV_TO_CLIPBOARD)) click(IDC_TCV_TO_CLIPBOARD);
        setText(IDC_TCV_SOURCE_FILE, source_);
        setText(IDC_TCV_DEST_FILE, dest_);
        choose(IDC_TCV_SOURCE_LANGUAGE, language);
        choose(IDC_TCV_DEST_PAGE, page);
        click(spaceButton);
    }
    std::string convertFile(const std::string& bytes, int spaceButton) {
        writeFile(source_, bytes);
        chooseFiles(1, 2, spaceButton);
        convert();
        return readFile(dest_);
    }
    bool finishedOk() const {
        return !shown_.empty() && shown_.back().text == "Convert ok," &&
               shown_.back().caption == "ok" && shown_.back().type == MB_OK;
    }

    testsupport::MessageRecorder owner_{"textcvt clipboard owner"};
    std::unique_ptr<LXTextCvt> dialog_;
    HWND window_ = nullptr;
    std::vector<ShownMessage> shown_;
    int answer_ = IDOK;
    std::string source_;
    std::string dest_;
};

TEST_F(TextCvtTest, Big5InTheClipboardIsConvertedToGb) {
    putClipboardText(owner_.window(), kBig5Text);
    open();
    EXPECT_TRUE(checked(IDC_TCV_FROM_CLIPBOARD));
    EXPECT_TRUE(checked(IDC_TCV_TO_CLIPBOARD));
    EXPECT_TRUE(checked(IDC_TCV_IGNORE_SPACE));
    EXPECT_EQ(selectedText(IDC_TCV_SOURCE_LANGUAGE), "Chinese BIG5");
    EXPECT_EQ(selectedText(IDC_TCV_DEST_PAGE), "Chinese GB");
    EXPECT_TRUE(enabled(IDOK));
    EXPECT_TRUE(enabled(IDC_TCV_INSERT_SPACE));
    EXPECT_TRUE(enabled(IDC_TCV_DELETE_SPACE));
    EXPECT_FALSE(enabled(IDC_TCV_COMPARE));

    convert();
    char gb[16] = "";
    CPC_ConvertDBCSBuffer(CPC_FLAG_BIG5_TO_GB, kBig5Text, 0, gb, sizeof gb);
    EXPECT_EQ(clipboardText(), gb);
    EXPECT_TRUE(finishedOk());
    EXPECT_EQ(shown_.size(), 1u);
}

TEST_F(TextCvtTest, EnglishInTheClipboardIsTranslatedWithItsLines) {
    putClipboardText(owner_.window(), "book\r\n");
    open();
    EXPECT_EQ(selectedText(IDC_TCV_SOURCE_LANGUAGE), "English");
    EXPECT_EQ(selectedText(IDC_TCV_DEST_PAGE), "Current Code Page");
    EXPECT_TRUE(enabled(IDOK));
    EXPECT_TRUE(enabled(IDC_TCV_COMPARE));
    EXPECT_FALSE(enabled(IDC_TCV_INSERT_SPACE));
    EXPECT_FALSE(enabled(IDC_TCV_DELETE_SPACE));
    EXPECT_FALSE(enabled(IDC_TCV_IGNORE_SPACE));

    click(IDC_TCV_COMPARE);
    convert();
    char translation[320] = "";
    LXaTransHHStr("book\r\n", translation, 1);
    ASSERT_STRNE(translation, "");
    EXPECT_EQ(clipboardText(), std::string("book\r\n") + translation);
    EXPECT_TRUE(finishedOk());
}

TEST_F(TextCvtTest, ConvertWaitsForASourceADestinationAndDistinctFiles) {
    emptyClipboard(owner_.window());
    open();
    EXPECT_FALSE(checked(IDC_TCV_FROM_CLIPBOARD));
    EXPECT_EQ(selection(IDC_TCV_SOURCE_LANGUAGE), CB_ERR);
    EXPECT_FALSE(enabled(IDOK));
    setText(IDC_TCV_SOURCE_FILE, "C:\\Texts\\Story.TXT");
    setText(IDC_TCV_DEST_FILE, "c:\\texts\\story.txt");
    choose(IDC_TCV_SOURCE_LANGUAGE, 1);
    choose(IDC_TCV_DEST_PAGE, 2);
    EXPECT_FALSE(enabled(IDOK));
    setText(IDC_TCV_DEST_FILE, "c:\\texts\\story-big5.txt");
    EXPECT_TRUE(enabled(IDOK));
    // To the clipboard the names do not matter.
    setText(IDC_TCV_DEST_FILE, "c:\\texts\\story.txt");
    click(IDC_TCV_TO_CLIPBOARD);
    EXPECT_TRUE(enabled(IDOK));
}

TEST_F(TextCvtTest, AnExistingDestinationIsOverwrittenOnlyWhenTheUserAgrees) {
    writeFile(dest_, "keep me");
    answer_ = IDCANCEL;
    convertFile(kGbText, IDC_TCV_IGNORE_SPACE);
    EXPECT_EQ(readFile(dest_), "keep me");
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, "The Output File already exist, overwrite?");
    EXPECT_EQ(shown_[0].caption, "Error!");
    EXPECT_EQ(shown_[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONERROR));

    answer_ = IDOK;
    convert();
    EXPECT_EQ(readFile(dest_), "\xA4\xA4\xB0\xEA\xA1\x41");
    EXPECT_TRUE(finishedOk());
}

TEST_F(TextCvtTest, SpaceModesEndsAndEmptyFiles) {
    EXPECT_EQ(convertFile(kGbText, IDC_TCV_INSERT_SPACE), kBig5Spaced);
    DeleteFileA(dest_.c_str());
    EXPECT_EQ(convertFile("a  \xD6\xD0 \xB9\xFA", IDC_TCV_DELETE_SPACE), "a \xA4\xA4\xB0\xEA");
    DeleteFileA(dest_.c_str());
    EXPECT_EQ(convertFile("ab\xD6\xD0\xD6", IDC_TCV_IGNORE_SPACE), "ab\xA4\xA4\xD6");
    DeleteFileA(dest_.c_str());
    shown_.clear();
    EXPECT_EQ(convertFile("", IDC_TCV_IGNORE_SPACE), "");
    EXPECT_TRUE(fileExists(dest_));
    EXPECT_TRUE(finishedOk());
}

TEST_F(TextCvtTest, AMissingSourceOrClipboardTextIsReported) {
    chooseFiles(1, 2, IDC_TCV_IGNORE_SPACE);
    convert();
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, "Can not open source text file");
    EXPECT_EQ(shown_[0].caption, "Error");
    EXPECT_FALSE(fileExists(dest_));

    emptyClipboard(owner_.window());
    click(IDC_TCV_FROM_CLIPBOARD);
    convert();
    ASSERT_EQ(shown_.size(), 2u);
    EXPECT_EQ(shown_[1].text, "There is no text in clipboard");
    EXPECT_EQ(shown_[1].caption, "No Text");
}

// Every GB place in turn, with ASCII words, spaces and line ends between them.
std::string largeGbText(std::size_t size) {
    std::string text;
    text.reserve(size + 64);
    int place = 0;
    while (text.size() < size) {
        for (int i = 0; i < 30; ++i, ++place) {
            text += static_cast<char>(0xA1 + place / 94 % 87);
            text += static_cast<char>(0xA1 + place % 94);
            if (i % 7 == 6) text += " word ";
        }
        text += "\r\n";
    }
    text.resize(size);
    return text;
}

// The native tool converts the same file in a Unix shell; the picture of its output appearing
// under its final name tells that it has finished.
std::string convertWithNativeTool(const std::string& source, const std::string& dest) {
    std::string output = lexoratest::unixPathOf(dest);
    std::string command = "sh -c \"'" LEXORA_NATIVE_TOOL "' convert --from gb --to big5 '" +
                          lexoratest::unixPathOf(source) + "' > '" + output + ".part' && mv '" +
                          output + ".part' '" + output + "'\"";
    std::wstring shell = lexoratest::dosPathOf("/bin/sh");
    std::wstring wideCommand(command.begin(), command.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (shell.empty() || !CreateProcessW(shell.c_str(), wideCommand.data(), nullptr, nullptr, FALSE,
                                         0, nullptr, nullptr, &startup, &started))
        return "";
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    waitUntil([&] { return fileExists(dest); }, 60000);
    return readFile(dest);
}

TEST_F(TextCvtTest, ALargeFileConvertsAsTheNativeToolConvertsIt) {
    constexpr std::size_t kSize = 10 * 1024 * 1024;
    std::string gb = largeGbText(kSize);
    std::string big5 = convertFile(gb, IDC_TCV_IGNORE_SPACE);
    ASSERT_EQ(big5.size(), kSize);
    EXPECT_TRUE(finishedOk());

    std::string whole(kSize + 1, '\0');
    CPC_ConvertDBCSBuffer(CPC_FLAG_GB_TO_BIG5, gb.data(), static_cast<int>(kSize), whole.data(),
                          static_cast<int>(whole.size()));
    whole.resize(kSize);
    EXPECT_TRUE(big5 == whole);

    std::string native = temporaryPath("native.txt");
    DeleteFileA(native.c_str());
    std::string nativeOutput = convertWithNativeTool(source_, native);
    DeleteFileA(native.c_str());
    EXPECT_EQ(nativeOutput.size(), kSize);
    EXPECT_TRUE(big5 == nativeOutput);
}

// Pictures of both faces for the documentation, the Chinese one drawn by lxsys.
TEST_F(TextCvtTest, PicturesOfBothFaces) {
    ASSERT_NE(LXbToChinese(), 0);
    LXbActiveHZSYS(1);
    putClipboardText(owner_.window(), kBig5Text);
    for (int face = 0; face <= 1; ++face) {
        settings.faceStyle = face;
        open();
        testsupport::pumpFor(300);
        std::string name = face ? "text-converter-chinese" : "text-converter-english";
        EXPECT_TRUE(lexoratest::savePictureOf(window_, name)) << name;
        dialog_.reset();
    }
    LXbActiveHZSYS(0);
    LXbToEnglish();
}

// The dialog marks a modal dialog as open while it runs, and closes with Exit.
TEST_F(TextCvtTest, RunsModallyAndMarksTheModalDialog) {
    emptyClipboard(owner_.window());
    std::atomic<HWND> window = nullptr;
    std::atomic<bool> done = false;
    bool wasOpen = modalDialogOpen;
    std::thread runner([&] {
        LXTextCvt dialog(nullptr);
        dialog.execute();
        done = true;
    });
    EXPECT_TRUE(waitUntil([&] {
        window = FindWindowA(nullptr, "LEXORA Text Converter Version 1.0");
        return window.load() != nullptr && IsWindowVisible(window);
    }));
    EXPECT_TRUE(modalDialogOpen);
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(waitUntil([&] { return done.load(); }));
    runner.join();
    EXPECT_EQ(modalDialogOpen, wasOpen);
}

} // namespace
} // namespace lexora
