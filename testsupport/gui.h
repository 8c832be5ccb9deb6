// Support for GoogleTest tests of real Windows programs (under Wine and a virtual X display):
// the target program lxtarget.exe that draws known texts and reports where, pointer and keyboard
// input through SendInput, bounded waits that keep dispatching this thread's messages, a hidden
// window that records the messages it receives, and screenshots of the display on failure.
//
// Every wait is bounded, so a failing test never hangs. Waits pump messages: hook code and other
// processes send messages synchronously to this thread's windows, and those are only delivered
// while the thread dispatches.
#ifndef LEXORA_TESTSUPPORT_GUI_H
#define LEXORA_TESTSUPPORT_GUI_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// The default bound of every wait; generous, since Wine on a loaded machine can be slow.
inline constexpr DWORD kWaitMs = 10000;

// Dispatches this thread's messages until condition() holds or timeoutMs pass; true if it held.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kWaitMs);
// Dispatches this thread's messages for ms milliseconds.
void pumpFor(DWORD ms);

// False when the tests run under Wine without an X display (run them under xvfb-run).
bool displayAvailable();

POINT centreOf(const RECT& rect);

// The first visible top-level window of a thread (a dialog another thread of the test runs), or
// nullptr.
HWND visibleWindowOfThread(DWORD threadId);

// --- Input, through SendInput ---------------------------------------------------------------

// Moves the pointer to a screen position (an absolute move) and waits until it is there.
bool movePointer(POINT screen, DWORD timeoutMs = kWaitMs);
// Moves the pointer there, then keeps dispatching messages for restMs while it rests.
bool restPointer(POINT screen, DWORD restMs);

bool keyDown(WORD virtualKey);
bool keyUp(WORD virtualKey);
// Presses the keys in order and releases them in reverse order: {VK_CONTROL, VK_F12}.
bool pressKeys(std::initializer_list<WORD> virtualKeys);

// Holds a modifier key (VK_SHIFT, VK_CONTROL or VK_MENU) down while it exists, across pointer
// moves. Under Wine a modifier pressed only through SendInput is let go again as soon as the
// pointer moves over a Wine window (Wine then takes the modifiers from the X display), so there
// the key is pressed on the X display itself, with xdotool; other keys go through SendInput.
class HeldKey {
  public:
    explicit HeldKey(WORD virtualKey, DWORD timeoutMs = kWaitMs);
    ~HeldKey();
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;
    // True once the key is down.
    bool held() const { return held_; }

  private:
    WORD virtualKey_;
    bool held_ = false;
};

enum class MouseButton { Left, Right, Middle };
bool buttonDown(MouseButton button);
bool buttonUp(MouseButton button);
bool click(MouseButton button);

// --- Messages -------------------------------------------------------------------------------

struct RecordedMessage {
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0; // GetTickCount() when the message arrived
    // WM_COPYDATA only: the descriptor's dwData and a copy of the payload.
    ULONG_PTR copyKind = 0;
    std::vector<unsigned char> copyData;
};

// A hidden top-level window of this thread that records the messages it receives: WM_COPYDATA
// and every message from WM_USER up, plus those named with record(). Its waits dispatch this
// thread's messages, so it must be used from the thread that created it.
class MessageRecorder {
  public:
    using Handler = std::function<LRESULT(const RecordedMessage&)>;

    explicit MessageRecorder(const char* title = "lxguitest recorder");
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    HWND window() const { return window_; }
    // Records this message number too.
    void record(UINT message);
    // Runs handler inside the window procedure when message arrives (after recording it); its
    // result is the reply to a sent message. Lets a test act before a sender's call returns.
    void onMessage(UINT message, Handler handler);

    const std::vector<RecordedMessage>& messages() const { return messages_; }
    std::size_t count(UINT message) const;
    void clear() { messages_.clear(); }

    // The first recorded message with this number (and wParam), waiting up to timeoutMs for it.
    std::optional<RecordedMessage> waitFor(UINT message, WPARAM wParam, DWORD timeoutMs = kWaitMs);
    std::optional<RecordedMessage> waitForAny(UINT message, DWORD timeoutMs = kWaitMs);
    // Dispatches messages for ms; true when nothing new was recorded meanwhile.
    bool quietFor(DWORD ms);

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool recorded(UINT message) const;
    LRESULT receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    std::vector<RecordedMessage> messages_;
    std::vector<UINT> alsoRecorded_;
    std::map<UINT, Handler> handlers_;
};

// --- The target program -----------------------------------------------------------------------

struct DrawnWord {
    std::string text; // the bytes as given (GB for Chinese)
    RECT rect{};      // screen coordinates
};

struct DrawnText {
    std::string route;            // "textouta", "exttextoutw-dx", "static", "menu", ...
    std::string text;             // the bytes as given
    HWND window{};                // the window it is drawn in (a control for "static" and "button")
    RECT rect{};                  // screen rectangle of the whole text
    std::vector<DrawnWord> words; // each run of non-space bytes; each Chinese character alone
};

// lxtarget.exe, started beside this test program. Its options (lxtarget --help):
//   --text TEXT | --gb HEX   a new text (English bytes, or GB bytes in hex), or
//   --bytes HEX              any bytes in hex, drawn as English text is; then for it
//   --route R --x X --y Y    how and where (client coordinates) it is drawn; routes: textouta,
//                            textoutw, exttextouta, exttextouta-dx, exttextoutw, exttextoutw-dx,
//                            drawtexta, static, button, bitblt (through a memory DC)
//   --align left|right|center the reference point of the last text (its rectangle stays)
//   --paper RRGGBB           the background colour of the last text (else white)
//   --transparent            the last text drawn in transparent background mode
//   --prompt                 the last text drawn between LXbSetDrawPrompt(1) and (0) of lxsys
//   --script FILE            more texts, one a line: "text ROUTE X Y TEXT" or "gb ROUTE X Y HEX"
//   --font NAME --font-size PIXELS --spacing PIXELS (extra advance of the -dx routes)
//   --cell-height PIXELS     the fonts' whole height (ascent + descent) instead of a size
//   --window X Y WIDTH HEIGHT --title TITLE --timeout MS
//   --menu TEXT              the menu bar's one item (default "&File")
//   --ignore-close           WM_CLOSE does nothing, as in a hung program
//   --edit X Y               an ANSI edit control there (client coordinates) holding the focus
//   --send HWND MSG WPARAM LPARAM | --post HWND MSG WPARAM LPARAM | --copydata HWND KIND HEX
//                            messages it sends once its window is ready (KIND: 4 letters)
// start() adds --report itself. The reported rectangles follow the system's text extents (what
// a program measuring the text computes); Wine draws its Tahoma, the default font at 18 pixels,
// exactly there. The menu bar's item is reported too, as route "menu", with its text as shown.
class TargetProgram {
  public:
    TargetProgram() = default;
    ~TargetProgram();
    TargetProgram(const TargetProgram&) = delete;
    TargetProgram& operator=(const TargetProgram&) = delete;

    // Starts the program and waits until its window is drawn, in front and reported.
    bool start(const std::vector<std::string>& arguments, DWORD timeoutMs = 2 * kWaitMs);
    // Closes the window (WM_CLOSE) and waits; terminates the process after timeoutMs. True when
    // the program ended by itself.
    bool stop(DWORD timeoutMs = kWaitMs);
    bool running() const;
    // Exit code once it has ended: 0 after WM_CLOSE, 3 after its own timeout, 2 on bad options,
    // 1 when stop() had to terminate it.
    std::optional<DWORD> exitCode() const;
    // Why start() failed.
    const std::string& error() const { return error_; }

    HWND window() const { return window_; }
    DWORD processId() const { return processId_; }
    const std::string& fontFace() const { return fontFace_; }
    const std::vector<DrawnText>& texts() const { return texts_; }
    // The occurrence-th word with exactly this text, or nullptr.
    const DrawnWord* findWord(std::string_view text, std::size_t occurrence = 0) const;

    // Makes the target the foreground window and waits until it is.
    bool bringToFront(DWORD timeoutMs = kWaitMs) const;
    // The messages the target has received so far: key and mouse-button messages, focus
    // changes, WM_COPYDATA and WM_USER up to 0xBFFF (window, message, wParam, lParam, time).
    std::vector<RecordedMessage> messages() const;
    // Leaves the messages received so far out of messages() and waitForMessage().
    void clearMessages();
    std::optional<RecordedMessage> waitForMessage(UINT message, WPARAM wParam,
                                                  DWORD timeoutMs = kWaitMs) const;

  private:
    bool readReport();
    void ended();

    HANDLE process_ = nullptr;
    std::optional<DWORD> exitCode_;
    DWORD processId_ = 0;
    std::string reportPath_;
    std::string error_;
    HWND window_ = nullptr;
    std::string fontFace_;
    std::vector<DrawnText> texts_;
    std::size_t messagesCleared_ = 0;
};

// --- The display ------------------------------------------------------------------------------

// A copy of part of the display: 0x00RRGGBB per pixel, rows from the top.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// The pixels of a screen rectangle (clipped to the display); nothing when it is empty.
std::optional<ScreenImage> captureScreen(const RECT& screenRect);
// Writes the whole display as a 24-bit BMP file.
bool saveScreenshot(const std::string& path);
// <build tree>/artefacts (beside the bin directory of this test program), created when missing.
std::string artefactsDirectory();
// Registers a GoogleTest listener that writes artefacts/<Suite>.<Test>.bmp at a test's first
// failure. lxguitest_main calls it; a test program with its own main calls it after InitGoogleTest.
void installScreenshotOnFailure();

} // namespace testsupport

#endif
