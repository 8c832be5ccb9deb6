#include "testutil.h"

#include "process.h"

#include <atomic>
#include <thread>

CaptureShared& record() {
    static CaptureShared* view = [] {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "lxsystem.sharedata");
        return static_cast<CaptureShared*>(
            MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(CaptureShared)));
    }();
    return *view;
}

WPARAM handleValue(HWND window) {
    return static_cast<WPARAM>(HandleToLong(window));
}

int runPeerPumping(const std::vector<std::string>& args) {
    std::atomic<bool> done = false;
    int code = -1;
    std::thread peer([&] {
        code = testsupport::runPeer(args);
        done = true;
    });
    testsupport::waitUntil([&] { return done.load(); }, 60000);
    peer.join();
    return code;
}

std::vector<Painting>& paintings() {
    static std::vector<Painting> painted;
    return painted;
}

testsupport::MessageRecorder& visibleWindow() {
    static testsupport::MessageRecorder* window = [] {
        auto* recorder = new testsupport::MessageRecorder("lxsys test window");
        recorder->record(WM_NCPAINT);
        recorder->onMessage(WM_PAINT, [](const testsupport::RecordedMessage& message) {
            PAINTSTRUCT paint;
            BeginPaint(message.window, &paint);
            paintings().push_back({paint.rcPaint, record().collecting != 0});
            EndPaint(message.window, &paint);
            return LRESULT{0};
        });
        recorder->record(WM_PAINT);
        SetWindowLongPtrA(recorder->window(), GWL_STYLE, WS_POPUP | WS_BORDER);
        SetWindowPos(recorder->window(), HWND_TOP, 100, 100, 300, 200,
                     SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        UpdateWindow(recorder->window());
        testsupport::pumpFor(50);
        return recorder;
    }();
    return *window;
}
