// LEXORA's small window framework on plain Win32 (ANSI calls throughout: the program's Chinese
// texts are GB or BIG5 bytes, drawn by lxsys's own glyphs on any Windows). A window object is
// bound to its HWND for the window's whole life; messages reach the object's handleMessage.
// Commands go through static tables from command id (and notification code) to handler.
#ifndef LEXORA_FRAMEWORK_H
#define LEXORA_FRAMEWORK_H

#include <windows.h>

#include <cstddef>

namespace lexora {

// What a command's menu item or tool-bar button shows: asked of the windows that handle the
// command before a menu opens and on the frame's periodic refresh of the tool bar.
struct CommandEnabler {
    UINT id = 0;
    bool handled = false;
    bool enabled = true;
    bool checked = false;

    void enable(bool on) {
        handled = true;
        enabled = on;
    }
    void check(bool on) {
        handled = true;
        checked = on;
    }
};

class TWindow {
  public:
    TWindow() = default;
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND handle() const { return handle_; }
    // The object bound to a window of ours, or nullptr.
    static TWindow* fromHandle(HWND window);

    // Registers a class whose windows are created through create(); the window procedure of the
    // prototype is replaced by the framework's.
    static bool registerClass(WNDCLASSEXA prototype);
    // Creates a window of a class registered above; the object sees every message from
    // WM_NCCREATE on. `menuOrId` is the menu of a top-level window or the id of a child.
    HWND create(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y,
                int width, int height, HWND parent, HMENU menuOrId);
    // Takes over an existing window (a system control, a control of a dialog template) by
    // subclassing it; unhandled messages go to its own procedure.
    bool attach(HWND window);

    // The command handling of this window: true when the command was handled.
    virtual bool onCommand(UINT id, UINT notification, HWND control);
    // Fills in the state of a command this window handles; leaves others untouched.
    virtual void commandState(CommandEnabler& enabler);

  protected:
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The handling the window would get without this object.
    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone; the object may then be deleted by its owner.
    virtual void windowDestroyed() {}

  private:
    friend class TDialog;
    static LRESULT CALLBACK classProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK subclassProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam);
    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void bind(HWND window);
    void unbind();

    HWND handle_ = nullptr;
    WNDPROC original_ = nullptr;
    bool isDialog_ = false;
};

// A dialog on a template of the program's resources, modal or modeless. handleMessage sees the
// dialog's messages; what it does not handle goes to the system's dialog handling.
class TDialog : public TWindow {
  public:
    TDialog(HWND parent, int templateId) : parent_(parent), templateId_(templateId) {}

    // Modal: returns the value given to closeWindow, or -1 when the template cannot be loaded.
    INT_PTR execute();
    // Modeless: the dialog window, or nullptr.
    HWND createModeless();

  protected:
    // WM_INITDIALOG; return FALSE when the focus was set here.
    virtual BOOL setupWindow() { return TRUE; }
    // Ends a modal dialog with a result, destroys a modeless one.
    void closeWindow(INT_PTR result);
    bool onCommand(UINT id, UINT notification, HWND control) override;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The dialog procedure's work for dialogs the system creates from records of their own (a
    // property sheet's pages): binds `created` to the window at WM_INITDIALOG and hands the
    // bound object every message.
    static INT_PTR dispatchDialogMessage(TDialog* created, HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam);

  private:
    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    HWND parent_;
    int templateId_;
    bool modal_ = false;
};

// A command table entry: the handler for a command id, or for a control's notification.
inline constexpr UINT kAnyNotification = 0xFFFFFFFFu;
template <class Owner> struct CommandRoute {
    UINT id;
    UINT notification;
    void (Owner::*handler)();
};

// Runs the handler of the first matching entry; true when one matched.
template <class Owner, std::size_t N>
bool dispatchCommand(Owner& owner, const CommandRoute<Owner> (&table)[N], UINT id,
                     UINT notification) {
    for (const CommandRoute<Owner>& route : table) {
        if (route.id != id) continue;
        if (route.notification != kAnyNotification && route.notification != notification) continue;
        (owner.*route.handler)();
        return true;
    }
    return false;
}

// The instance handle of the program, whose resources the windows load.
HINSTANCE programInstance();

} // namespace lexora

#endif
