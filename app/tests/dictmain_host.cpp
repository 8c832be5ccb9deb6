#include "dictmain_host.h"

#include "dictmain.h"
#include "frame.h"
#include "notetab.h"

namespace lexora {

namespace hosttest {

Record& record() {
    static Record instance;
    return instance;
}

} // namespace hosttest

struct TMyFrame::Impl {
    explicit Impl(TMyFrame& frame) : client(frame) {}
    TDictMain client;
    HWND promptBar = nullptr;
};

TMyFrame::TMyFrame() : impl_(new Impl(*this)) {}

TMyFrame::~TMyFrame() {
    if (handle()) DestroyWindow(handle());
    delete impl_;
}

bool TMyFrame::create(int showCommand) {
    WNDCLASSEXA prototype{};
    prototype.lpszClassName = "LexoraTestFrame";
    prototype.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    if (!registerClass(prototype)) return false;
    if (!TWindow::create("LexoraTestFrame", "main window test", WS_OVERLAPPEDWINDOW, 0, 0, 0, 500,
                         400, nullptr, nullptr))
        return false;
    if (!impl_->client.create(handle())) return false;
    ShowWindow(handle(), showCommand);
    UpdateWindow(handle());
    return true;
}

TDictMain& TMyFrame::client() {
    return impl_->client;
}

bool TMyFrame::setFaceMenu(int face) {
    if (hosttest::record().refuseMenu) return false;
    hosttest::record().menuFaces.push_back(face);
    return true;
}

void TMyFrame::showHoverText(const char* text) {
    hosttest::record().hoverTexts.emplace_back(text);
}

void TMyFrame::setStatusText(const char* text) {
    hosttest::record().statusTexts.emplace_back(text);
}

void TMyFrame::setPromptBar(HWND promptBar) {
    impl_->promptBar = promptBar;
}

HWND TMyFrame::promptBar() const {
    return impl_->promptBar;
}

void TMyFrame::promptBarCodePageChanged(int, int) {}

bool TMyFrame::onCommand(UINT id, UINT notification, HWND control) {
    return impl_->client.onCommand(id, notification, control);
}

void TMyFrame::commandState(CommandEnabler& enabler) {
    impl_->client.commandState(enabler);
}

LRESULT TMyFrame::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE && impl_->client.handle()) {
        MoveWindow(impl_->client.handle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    if (message == WM_SETFOCUS && impl_->client.handle()) {
        SetFocus(impl_->client.handle());
        return 0;
    }
    return TWindow::handleMessage(message, wParam, lParam);
}

void openBriefDialog(HWND, int tab) {
    hosttest::record().briefTabs.push_back(tab);
}

} // namespace lexora
