// The display switches: shared by every process, so that a setting made by the application
// shows at once in every program.
#include "internal.h"

namespace lxsys {

namespace {

// The check style the application sets; nothing in the library depends on it.
int checkStyle;

using Switch = int32_t CaptureShared::*;

// Stores a drawing switch and refreshes the screen when it changed; the value now stored.
int switchDrawing(Switch field, int flag) {
    CaptureShared& record = *shared();
    if (record.*field != flag) {
        record.*field = flag;
        refreshScreen();
    }
    return record.*field;
}

} // namespace

} // namespace lxsys

using namespace lxsys;

extern "C" {

int WINAPI LXbActiveHZSYS(int flag) {
    return switchDrawing(&CaptureShared::chineseDisplay, flag);
}

int WINAPI LXbSetSmallHZ(int flag) {
    return switchDrawing(&CaptureShared::smallGlyphs, flag);
}

int WINAPI LXbChgJFfnt(int) {
    return 1;
}

int WINAPI LXbSetDynamicHH(int flag) {
    shared()->dynamicTranslate = flag;
    return 1;
}

int WINAPI LXbSetDrawPrompt(int flag) {
    shared()->drawPrompt = flag;
    return flag;
}

int WINAPI LXbSetTPChkStyle(int style) {
    checkStyle = style;
    refreshScreen();
    return style;
}

int WINAPI LXbSetDecode(int autoCodePage, int mime, int hz, int iso2022) {
    CaptureShared& record = *shared();
    bool changed = record.decodeAutoCodePage != autoCodePage || record.decodeMime != mime ||
                   record.decodeHz != hz || record.decodeIso2022 != iso2022;
    record.decodeAutoCodePage = autoCodePage;
    record.decodeMime = mime;
    record.decodeHz = hz;
    record.decodeIso2022 = iso2022;
    if (changed) refreshScreen();
    return changed ? 1 : 0;
}

int WINAPI LXbGetDecode(int* autoCodePage, int* mime, int* hz, int* iso2022) {
    const CaptureShared& record = *shared();
    if (autoCodePage) *autoCodePage = record.decodeAutoCodePage;
    if (mime) *mime = record.decodeMime;
    if (hz) *hz = record.decodeHz;
    if (iso2022) *iso2022 = record.decodeIso2022;
    return 1;
}

} // extern "C"
