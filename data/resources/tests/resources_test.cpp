// LEXORA's resources as the program reads them: through the A functions of a Windows whose ANSI
// code page is 1252, where every Chinese text must arrive as its GB bytes.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "resource_ids.h"

namespace {

// The GB bytes of a UTF-8 text, converted by the system's own tables (code page 936), which
// have nothing to do with how the resources were built.
std::string gb(const char* utf8) {
    wchar_t wide[512];
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512);
    char bytes[1024];
    if (length <= 0 ||
        WideCharToMultiByte(936, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr) <= 0)
        return "<not convertible>";
    return bytes;
}

std::string loadString(UINT id) {
    char text[512];
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

// One line per item: a popup as "popup text", an item as "id text", a separator as "-";
// submenus indented by two spaces.
void describeMenu(HMENU menu, const std::string& indent, std::vector<std::string>& lines) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &item));
        if (item.fType & MFT_SEPARATOR) {
            lines.push_back(indent + "-");
        } else if (item.hSubMenu) {
            lines.push_back(indent + "popup " + text);
            describeMenu(item.hSubMenu, indent + "  ", lines);
        } else {
            lines.push_back(indent + std::to_string(item.wID) + " " + text);
        }
    }
}

std::vector<std::string> menuLines(const char* name) {
    std::vector<std::string> lines;
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), name);
    if (!menu) return lines;
    describeMenu(menu, "", lines);
    DestroyMenu(menu);
    return lines;
}

std::vector<std::string> gbLines(std::initializer_list<const char*> utf8Lines) {
    std::vector<std::string> lines;
    for (const char* line : utf8Lines)
        lines.push_back(gb(line));
    return lines;
}

TEST(Menus, ChineseFaceHasEveryItemInGb) {
    EXPECT_EQ(menuLines("CHN_MENU"), gbLines({"popup 文件(&F)",
                                              "  popup 系统语种",
                                              "    103 简体中文 (GB)",
                                              "    104 繁体中文 (BIG5)",
                                              "  popup 界面类型 (Face Style)",
                                              "    106 &English face (英文)",
                                              "    105 &Chinese face (中文)",
                                              "  -",
                                              "  101 鼠标抓词翻译\tCtrl+F12",
                                              "  -",
                                              "  102 使用自带汉字\tAlt+F12",
                                              "  107 动态汉化\tAlt+F11",
                                              "  -",
                                              "  108 系统热键功能开关",
                                              "  -",
                                              "  109 多元文本转换器",
                                              "  -",
                                              "  24310 退出 \tAlt+F4",
                                              "popup 历史(&L)",
                                              "  120 打开记忆单词",
                                              "  121 存储记忆单词",
                                              "  -",
                                              "  122 打开历史记录",
                                              "  123 存储历史记录",
                                              "popup 配置(&O)",
                                              "  140 配置词典\tCtrl+Alt+F9",
                                              "  -",
                                              "  141 配置提示条按钮",
                                              "  -",
                                              "  142 中文智能分词",
                                              "  -",
                                              "  143 解码",
                                              "  -",
                                              "  144 用户词库",
                                              "popup 帮助(&H)",
                                              "  160 使用说明",
                                              "  161 超文本使用说明",
                                              "  -",
                                              "  163 关于词海舟...",
                                              "  162 关于晨野坊(定购)..."}));
}

TEST(Menus, EnglishFaceHasTheSameIds) {
    EXPECT_EQ(menuLines("ENG_MENU"), gbLines({"popup &File",
                                              "  popup Select System Code Page",
                                              "    103 &Simplified Chinese (GB)",
                                              "    104 &Traditional Chinese (BIG5)",
                                              "  popup Select Face Style (界面类型)",
                                              "    106 英文 (&English face)",
                                              "    105 中文 (&Chinese face)",
                                              "  -",
                                              "  101 Mouse Catching Words\tCtrl+F12",
                                              "  -",
                                              "  102 Self-supporting Chinese System\tAlt+F12",
                                              "  107 Dynamic English to Chinese\tAlt+F11",
                                              "  -",
                                              "  108 Hot-key Switches",
                                              "  -",
                                              "  109 Multi-Text Converter",
                                              "  -",
                                              "  24310 Quit \tAlt+F4",
                                              "popup &History",
                                              "  120 Load Recorded Words",
                                              "  121 Store Recorded Words",
                                              "  -",
                                              "  122 Load History Words",
                                              "  123 Store History Words",
                                              "popup &Config",
                                              "  140 Setup LEXORA\tCtrl+Alt+F9",
                                              "  -",
                                              "  141 Setup Buttons on Prompting Bar",
                                              "  -",
                                              "  142 Analyzing Chinese Words",
                                              "  -",
                                              "  143 Encoding",
                                              "  -",
                                              "  144 User Library",
                                              "popup &Help",
                                              "  160 On-line Help",
                                              "  161 HTML help",
                                              "  -",
                                              "  163 About LEXORA",
                                              "  162 About Morrow Fields Ltd."}));
}

TEST(Strings, MessagesArriveAsGbBytes) {
    EXPECT_EQ(loadString(IDS_ERROR_CAPTION), "ERROR");
    EXPECT_EQ(loadString(IDS_ERROR_CAPTION + FACE_STRING_OFFSET), "\xB4\xED\xCE\xF3");
    EXPECT_EQ(loadString(IDS_CODEPAGE_QUESTION + FACE_STRING_OFFSET),
              gb("您想阅读的文档为[%s]码，\n如果你想阅读，系统会自动切入该内码。\n"
                 "         阅读么？"));
    EXPECT_EQ(loadString(IDS_FILE_MISSING), "%sFile:\n%s\n does't exist!");
    EXPECT_EQ(loadString(IDS_NOTEPAD_ERROR + FACE_STRING_OFFSET),
              gb("记事本打开错误; 错误号 = %d"));
    EXPECT_EQ(loadString(IDS_HELP_CAPTION + FACE_STRING_OFFSET), gb("帮助提示："));
}

TEST(Strings, EveryMessageHasBothFaces) {
    for (UINT id : {510, 511, 512, 520, 521, 522, 523, 524, 525, 531, 532, 533}) {
        EXPECT_FALSE(loadString(id).empty()) << id;
        EXPECT_FALSE(loadString(id + FACE_STRING_OFFSET).empty()) << id + FACE_STRING_OFFSET;
    }
}

TEST(Strings, ToolBarCommandsHaveAChineseAndAnEnglishHint) {
    EXPECT_EQ(loadString(CM_CATCHWORD), gb("在线跟踪鼠标，实时翻译鼠标所指向的内容"));
    EXPECT_EQ(loadString(CM_CATCHWORD + FACE_STRING_OFFSET), "Switch for mouse catching words");
    for (UINT id : {160, 140, 101, 109, 120, 121, 122, 123, 102, 107, 144, 163}) {
        const std::string chinese = loadString(id);
        ASSERT_FALSE(chinese.empty()) << id;
        EXPECT_GE(static_cast<unsigned char>(chinese[0]), 0xA1) << id << " starts in GB";
        EXPECT_FALSE(loadString(id + FACE_STRING_OFFSET).empty()) << id + FACE_STRING_OFFSET;
    }
}

TEST(Strings, EveryMenuCommandHasAStatusHint) {
    std::vector<std::string> lines = menuLines("CHN_MENU");
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) {
        const size_t start = line.find_first_not_of(' ');
        if (line[start] < '0' || line[start] > '9') continue;
        const UINT id = static_cast<UINT>(std::stoul(line.substr(start)));
        EXPECT_FALSE(loadString(id).empty()) << id;
    }
}

TEST(Strings, PromptBarHintsAndMenuTextsFollowTheFace) {
    EXPECT_EQ(loadString(202), "Quit LEXORA");
    EXPECT_EQ(loadString(202 + FACE_STRING_OFFSET), gb("退出LEXORA"));
    EXPECT_EQ(loadString(1000 + 110), "&Identify DBCS Code intelligently");
    EXPECT_EQ(loadString(1000 + 110 + FACE_STRING_OFFSET), gb("内码智能识别"));
    for (UINT id : {201, 202, 203, 204, 205, 206, 207, 208, 209, 210, 211}) {
        EXPECT_FALSE(loadString(id).empty()) << id;
        EXPECT_FALSE(loadString(id + FACE_STRING_OFFSET).empty()) << id + FACE_STRING_OFFSET;
    }
}

TEST(Accelerators, SixKeysOfTheMainWindow) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), "LXACC");
    ASSERT_NE(table, nullptr);
    ACCEL keys[16];
    const int count = CopyAcceleratorTableA(table, keys, 16);
    ASSERT_EQ(count, 6);
    struct Expected {
        BYTE modifiers;
        WORD key;
        WORD command;
    };
    const Expected expected[] = {
        {FVIRTKEY, VK_F1, CM_BRIEFHELP},        {FVIRTKEY | FALT, 'I', CM_FOCUSINPUT},
        {FVIRTKEY | FALT, 'S', CM_FOCUSSELECT}, {FVIRTKEY | FALT, 'R', CM_FOCUSRESULT},
        {FVIRTKEY, VK_TAB, CM_FOCUSNEXT},       {FVIRTKEY, VK_ESCAPE, CM_MINIMIZE}};
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(keys[i].fVirt & (FVIRTKEY | FALT | FCONTROL | FSHIFT), expected[i].modifiers)
            << i;
        EXPECT_EQ(keys[i].key, expected[i].key) << i;
        EXPECT_EQ(keys[i].cmd, expected[i].command) << i;
    }
    DestroyAcceleratorTable(table);
}

std::string windowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string className(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// A dialog of the program's templates, created hidden and destroyed with the test.
class Dialog : public testing::Test {
  protected:
    static INT_PTR CALLBACK procedure(HWND, UINT message, WPARAM, LPARAM) {
        return message == WM_INITDIALOG;
    }
    void create(int id) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
        dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                     procedure, 0);
    }
    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
    }
    HWND dialog_ = nullptr;
};

TEST_F(Dialog, BriefDescriptionHasItsTabStripAndTextGroups) {
    create(IDD_BRIEF);
    ASSERT_NE(dialog_, nullptr);
    EXPECT_EQ(windowText(dialog_), gb("简要说明"));
    HWND tabs = GetDlgItem(dialog_, IDC_BRIEF_TABS);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(className(tabs), "SysTabControl32");
    EXPECT_TRUE(GetWindowLongA(tabs, GWL_STYLE) & TCS_BOTTOM);
    EXPECT_EQ(windowText(GetDlgItem(dialog_, IDCANCEL)), "&Close");
    RECT tabRect;
    GetWindowRect(tabs, &tabRect);
    for (int id :
         {111, 112, 113, 114, 115, 121, 122, 123, 124, 131, 132, 141, 142, 143, 151, 152, 153}) {
        HWND text = GetDlgItem(dialog_, id);
        ASSERT_NE(text, nullptr) << id;
        EXPECT_EQ(className(text), "Static") << id;
        EXPECT_GE(static_cast<unsigned char>(windowText(text)[0]), 0xA1) << id << " is GB text";
        RECT rect;
        GetWindowRect(text, &rect);
        EXPECT_LT(rect.bottom, tabRect.top) << id << " lies above the tab strip";
    }
    EXPECT_EQ(GetDlgItem(dialog_, 116), nullptr);
}

TEST_F(Dialog, WarningsOfBothFacesDefaultToCancel) {
    for (const auto& [id, caption, quit, cancel] :
         {std::tuple{IDD_WARNING_ENG, std::string("WARNING:System error, quit LEXORA?"),
                     std::string("Quit LEXORA"), std::string("Cancel")},
          std::tuple{IDD_WARNING_CHN, gb("警告：系统有问题，还退出LEXORA吗？"),
                     gb("退出 LEXORA (Quit)"), gb("取消 (Cancel)")}}) {
        create(id);
        ASSERT_NE(dialog_, nullptr) << id;
        EXPECT_EQ(windowText(dialog_), caption);
        EXPECT_EQ(windowText(GetDlgItem(dialog_, IDOK)), quit);
        EXPECT_EQ(windowText(GetDlgItem(dialog_, IDCANCEL)), cancel);
        EXPECT_EQ(LOWORD(SendMessageA(dialog_, DM_GETDEFID, 0, 0)), IDCANCEL);
        EXPECT_EQ(GetNextDlgTabItem(dialog_, nullptr, FALSE), GetDlgItem(dialog_, IDCANCEL))
            << "Enter must not quit";
        DestroyWindow(dialog_);
        dialog_ = nullptr;
    }
}

// The start-up template is an empty 219 x 156 dialog: its window paints the picture itself.
TEST(Templates, StartUpDialogIsEmpty) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_STARTUP), MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(words, nullptr);
    // DLGTEMPLATEEX: version 1, signature 0xFFFF, help id, extended style, style, item count,
    // x, y, cx, cy.
    ASSERT_EQ(words[0], 1);
    ASSERT_EQ(words[1], 0xFFFF);
    EXPECT_EQ(words[8], 0);
    EXPECT_EQ(words[11], 219);
    EXPECT_EQ(words[12], 156);
}

TEST(Templates, PhoneticGlyphsAreTheGeneratedTable) {
    HRSRC found = FindResourceA(nullptr, "LXRES", "Lxres_A");
    ASSERT_NE(found, nullptr);
    ASSERT_EQ(SizeofResource(nullptr, found), 176u);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    std::string path = "Z:" LEXORA_PHONETIC_GLYPHS;
    for (char& c : path)
        if (c == '/') c = '\\';
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr) << path;
    char generated[177];
    const size_t size = std::fread(generated, 1, sizeof generated, file);
    std::fclose(file);
    EXPECT_EQ(std::string(bytes, 176), std::string(generated, size));
}

TEST(Templates, VersionNamesTheProgram) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    ASSERT_NE(found, nullptr);
    const auto* block = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    const DWORD size = SizeofResource(nullptr, found);
    const std::string bytes(block, size);
    const std::wstring wide(reinterpret_cast<const wchar_t*>(block), size / 2);
    EXPECT_NE(wide.find(L"LEXORA.EXE"), std::wstring::npos);
    const DWORD signature = 0xFEEF04BD;
    const size_t at = bytes.find(std::string(reinterpret_cast<const char*>(&signature), 4));
    ASSERT_NE(at, std::string::npos);
    VS_FIXEDFILEINFO info;
    ASSERT_LE(at + sizeof info, bytes.size());
    std::memcpy(&info, block + at, sizeof info);
    EXPECT_EQ(info.dwFileVersionMS, 0x00020000u);
}

// The HTML help lies in HLP beside the program, in GB with its charset declared.
TEST(HtmlHelp, PageBesideTheProgramIsGb) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::string file(path, length);
    file = file.substr(0, file.rfind('\\') + 1) + "HLP\\INDEX.HTM";
    FILE* page = std::fopen(file.c_str(), "rb");
    ASSERT_NE(page, nullptr) << file;
    std::string text(200000, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), page));
    std::fclose(page);
    EXPECT_NE(text.find("charset=gb2312"), std::string::npos);
    EXPECT_NE(text.find(gb("词海舟")), std::string::npos);
    EXPECT_NE(text.find("</html>"), std::string::npos);
}

SIZE bitmapSize(const char* name) {
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), name);
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
    DeleteObject(bitmap);
    return {info.bmWidth, info.bmHeight};
}

TEST(Pictures, ToolBarButtonsShareOneSize) {
    for (int id : {160, 140, 101, 109, 120, 121, 122, 123, 102, 107, 144, 163}) {
        const SIZE size = bitmapSize(MAKEINTRESOURCEA(id));
        EXPECT_EQ(size.cx, 20) << id;
        EXPECT_EQ(size.cy, 20) << id;
    }
}

TEST(Pictures, PromptBarButtonsWithTheirStates) {
    for (int id : {201, 202, 203, 204, 205, 206, 207, 208, 211}) {
        const SIZE size = bitmapSize(MAKEINTRESOURCEA(id));
        const bool twoStates = id == 201 || id == 211;
        EXPECT_EQ(size.cx, 16) << id;
        EXPECT_EQ(size.cy, twoStates ? 32 : 16) << id;
    }
}

TEST(Pictures, AnimationHasTwelveFramesOfOneSize) {
    const SIZE first = bitmapSize("ANI1");
    EXPECT_GE(first.cx, 32);
    for (int frame = 1; frame <= 12; ++frame) {
        const std::string name = "ANI" + std::to_string(frame);
        const SIZE size = bitmapSize(name.c_str());
        EXPECT_EQ(size.cx, first.cx) << name;
        EXPECT_EQ(size.cy, first.cy) << name;
    }
    EXPECT_EQ(bitmapSize("ANI13").cx, 0);
}

TEST(Pictures, BackgroundLogoAndIcon) {
    const SIZE background = bitmapSize("BGFACE");
    EXPECT_EQ(background.cx, 404);
    EXPECT_EQ(background.cy, 242);
    const SIZE logo = bitmapSize("LOGO");
    EXPECT_GE(logo.cx, 200);
    EXPECT_GE(logo.cy, 150);
    const SIZE small = bitmapSize("LOGOSMALL");
    EXPECT_GT(small.cx, 0);
    EXPECT_LT(small.cx, logo.cx);
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    ASSERT_NE(icon, nullptr);
    HICON smallIcon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(smallIcon, nullptr);
}

TEST(Pictures, PromptBarCursorsPointWhereTheyShould) {
    struct Expected {
        int id;
        DWORD hotX;
    };
    for (const Expected& cursor : {Expected{1, 5}, Expected{5, 0}}) {
        HCURSOR loaded = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(cursor.id));
        ASSERT_NE(loaded, nullptr) << cursor.id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(loaded, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, cursor.hotX) << cursor.id;
        EXPECT_EQ(info.yHotspot, 0u) << cursor.id;
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
}

TEST_F(Dialog, BriefDescriptionShowsTheLogoInItsBox) {
    create(IDD_BRIEF);
    ASSERT_NE(dialog_, nullptr);
    HWND logo = nullptr;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) logo = child;
    ASSERT_NE(logo, nullptr);
    EXPECT_NE(SendMessageA(logo, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    RECT rect, text;
    GetWindowRect(logo, &rect);
    GetWindowRect(GetDlgItem(dialog_, 111), &text);
    EXPECT_LE(rect.right, text.left) << "the logo keeps left of the texts";
}

} // namespace
