#include "framework.h"

namespace lexora {

namespace {

// The object of a window is kept in a property rather than in GWLP_USERDATA, which subclassed
// system controls may use for themselves.
constexpr char kObjectProperty[] = "LexoraWindowObject";

} // namespace

HINSTANCE programInstance() {
    return GetModuleHandleA(nullptr);
}

TWindow::~TWindow() {
    if (!handle_) return;
    HWND window = handle_;
    unbind();
    DestroyWindow(window);
}

TWindow* TWindow::fromHandle(HWND window) {
    return window ? static_cast<TWindow*>(GetPropA(window, kObjectProperty)) : nullptr;
}

bool TWindow::registerClass(WNDCLASSEXA prototype) {
    prototype.cbSize = sizeof prototype;
    prototype.lpfnWndProc = classProcedure;
    if (!prototype.hInstance) prototype.hInstance = programInstance();
    WNDCLASSEXA existing;
    if (GetClassInfoExA(prototype.hInstance, prototype.lpszClassName, &existing)) return true;
    return RegisterClassExA(&prototype) != 0;
}

HWND TWindow::create(const char* className, const char* title, DWORD style, DWORD exStyle, int x,
                     int y, int width, int height, HWND parent, HMENU menuOrId) {
    return CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                           programInstance(), this);
}

bool TWindow::attach(HWND window) {
    if (!window || handle_ || fromHandle(window)) return false;
    bind(window);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProcedure)));
    if (original_) return true;
    unbind();
    return false;
}

void TWindow::bind(HWND window) {
    handle_ = window;
    SetPropA(window, kObjectProperty, this);
}

void TWindow::unbind() {
    if (!handle_) return;
    if (original_) SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropA(handle_, kObjectProperty);
    handle_ = nullptr;
    original_ = nullptr;
}

bool TWindow::onCommand(UINT, UINT, HWND) {
    return false;
}

void TWindow::commandState(CommandEnabler&) {}

LRESULT TWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND &&
        onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
        return 0;
    return defaultHandling(message, wParam, lParam);
}

LRESULT TWindow::defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    if (original_) return CallWindowProcA(original_, handle_, message, wParam, lParam);
    if (isDialog_) return 0;
    return DefWindowProcA(handle_, message, wParam, lParam);
}

// Every message of a bound window passes here; after WM_NCDESTROY the window is forgotten so
// that the object never touches a dead handle.
LRESULT TWindow::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NCDESTROY) return handleMessage(message, wParam, lParam);
    LRESULT result = handleMessage(message, wParam, lParam);
    unbind();
    windowDestroyed();
    return result;
}

LRESULT CALLBACK TWindow::classProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWindow* object = fromHandle(window);
    if (!object && message == WM_NCCREATE) {
        auto* creation = reinterpret_cast<CREATESTRUCTA*>(lParam);
        object = static_cast<TWindow*>(creation->lpCreateParams);
        if (object) object->bind(window);
    }
    if (!object) return DefWindowProcA(window, message, wParam, lParam);
    return object->dispatch(message, wParam, lParam);
}

LRESULT CALLBACK TWindow::subclassProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    TWindow* object = fromHandle(window);
    if (!object) return DefWindowProcA(window, message, wParam, lParam);
    return object->dispatch(message, wParam, lParam);
}

} // namespace lexora
