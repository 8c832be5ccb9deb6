// SendSNMessage, through which the application drives capture.
#include "internal.h"

#include <cstdint>
#include <cstring>

namespace lxsys {

namespace {

constexpr int kMinimumDelayMs = 100;

int setField(int32_t CaptureShared::*field, int32_t value) {
    CaptureShared& record = *shared();
    int previous = record.*field;
    record.*field = value;
    return previous;
}

int setWindowField(uint32_t CaptureShared::*field, WPARAM window) {
    CaptureShared& record = *shared();
    int previous = static_cast<int>(record.*field);
    record.*field = static_cast<uint32_t>(window);
    return previous;
}

int setDelay(WPARAM delay) {
    CaptureShared& record = *shared();
    int previous = record.catchDelay;
    if (delay >= kMinimumDelayMs && delay <= INT32_MAX) record.catchDelay = static_cast<int>(delay);
    return previous;
}

// Both selectors 1 and 2 address the one stored word-break mode.
bool wordBreakSelector(WPARAM selector) {
    return selector == 1 || selector == 2;
}

// The word is copied out of the shared record first: another process may be writing it.
int getWord(LPARAM buffer) {
    auto* info = reinterpret_cast<CapturedWordInfo*>(buffer);
    if (!info || IsBadWritePtr(info, sizeof *info)) return 0;
    const CaptureShared& record = *shared();
    CaptureRect rect = record.wordRect;
    char text[SN_TEXT_LIMIT + 1];
    std::memcpy(text, record.wordText, SN_TEXT_LIMIT);
    size_t length = strnlen(text, SN_TEXT_LIMIT);
    std::memcpy(info->text, text, length);
    info->text[length] = '\0';
    info->wordRect = rect;
    info->length = static_cast<int32_t>(length);
    return static_cast<int>(length);
}

int flagValue(WPARAM value) {
    return static_cast<int>(static_cast<int32_t>(value));
}

} // namespace

} // namespace lxsys

using namespace lxsys;

extern "C" int WINAPI SendSNMessage(UINT op, WPARAM wParam, LPARAM lParam) {
    const CaptureShared& record = *shared();
    switch (op) {
    case SN_START:
        return startCapture(handleFrom<HWND>(static_cast<uint32_t>(wParam)));
    case SN_STOP:
        return stopCapture();
    case SN_SET_ENABLE:
        return setField(&CaptureShared::captureEnabled, flagValue(wParam));
    case SN_GET_ENABLE:
        return record.captureEnabled;
    case SN_SET_NOTIFY_WINDOW:
        return setWindowField(&CaptureShared::notifyWindow, wParam);
    case SN_GET_NOTIFY_WINDOW:
        return static_cast<int>(record.notifyWindow);
    case SN_SET_DELAY:
        return setDelay(wParam);
    case SN_GET_DELAY:
        return record.catchDelay;
    case SN_SET_WORD_BREAK:
        return wordBreakSelector(wParam)
                   ? setField(&CaptureShared::chineseWordBreak, static_cast<int32_t>(lParam))
                   : 0;
    case SN_GET_WORD_BREAK:
        return wordBreakSelector(wParam) ? record.chineseWordBreak : 0;
    case SN_SET_AUX_KEY:
        return setField(&CaptureShared::auxiliaryKey, flagValue(wParam));
    case SN_GET_AUX_KEY:
        return record.auxiliaryKey;
    case SN_SET_JOIN_SPACED:
        return setField(&CaptureShared::joinSpacedChinese, flagValue(wParam));
    case SN_GET_JOIN_SPACED:
        return record.joinSpacedChinese;
    case SN_GET_WORD:
        return getWord(lParam);
    default:
        return 0;
    }
}
