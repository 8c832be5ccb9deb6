// The command line of lxtarget: which texts it draws, how and where, and what it reports.
#ifndef LEXORA_TESTSUPPORT_TARGET_OPTIONS_H
#define LEXORA_TESTSUPPORT_TARGET_OPTIONS_H

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lxtarget {

// Bounds on everything taken from outside.
inline constexpr std::size_t kMaxTexts = 64;
inline constexpr std::size_t kMaxTextBytes = 512;
inline constexpr std::size_t kMaxMessages = 16;
inline constexpr std::size_t kMaxCopyDataBytes = 4096;
inline constexpr std::size_t kMaxScriptBytes = 64 * 1024;
inline constexpr int kMaxCoordinate = 16384;

enum class Route {
    TextOutA,
    TextOutW,
    ExtTextOutA,
    ExtTextOutADx,
    ExtTextOutW,
    ExtTextOutWDx,
    DrawTextA,
    Static,
    Button,
    BitBlt, // TextOutA into a memory DC, then BitBlt to the window
};

// Where the drawing call's reference point lies on the text (SetTextAlign); the reported
// rectangles stay those of the text drawn from its left edge at X.
enum class Align { Left, Right, Centre };

const char* routeName(Route route);

struct TextItem {
    std::string text;
    bool gb = false; // the bytes are GB (drawn with a GB2312 font), else English
    Route route = Route::TextOutA;
    Align align = Align::Left;
    int x = 0;
    int y = 0;
    // The DC's background colour (else the default white) and whether the background mode is
    // transparent (else opaque).
    std::optional<COLORREF> paper;
    bool transparent = false;
    // Drawn between LXbSetDrawPrompt(1) and (0) of the capture library loaded into the program,
    // as the application draws its own texts.
    bool prompt = false;
};

enum class Delivery { Send, Post, CopyData };

struct OutgoingMessage {
    Delivery delivery = Delivery::Send;
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    ULONG_PTR copyKind = 0;
    std::string copyData;
};

struct Options {
    std::vector<TextItem> texts;
    std::string font = "Tahoma";
    // Pixels. Under Wine, Tahoma at 13, 15 and 16 pixels is drawn narrower than the extents
    // Wine reports; from 17 up drawing and extents agree (with the default quality).
    int fontSize = 18;
    // The size is the fonts' whole height (--cell-height) rather than their character height.
    bool sizeIsCellHeight = false;
    int spacing = 2; // extra advance per character of the -dx routes
    RECT frame{80, 80, 800, 560};
    std::string title = "LEXORA test target";
    std::string menu = "&File"; // the menu bar's one item, with its "&" prefix
    DWORD timeoutMs = 120000;
    std::string reportPath;
    std::vector<OutgoingMessage> messages;
    bool ignoreClose = false; // stands for a hung program: WM_CLOSE does nothing
    // An edit control at this client position that holds the keyboard focus, for text that
    // other programs type into the target.
    std::optional<POINT> edit;
    bool help = false;
};

// Fills options from the arguments (argv[0] excluded); an error message, or empty on success.
std::string parseOptions(const std::vector<std::string>& arguments, Options& options);

extern const char* const kUsage;

} // namespace lxtarget

#endif
