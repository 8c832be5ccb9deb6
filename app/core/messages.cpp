#include "messages.h"

#include "resource_ids.h"
#include "settings.h"
#include "text.h"

#include <cpconv.h>

#include <utility>

namespace lexora {

namespace {

constexpr int kMessageTextSize = 512;
constexpr int kCaptionSize = 128;
// The code of a conversion from the current page to GB, and back, as 16-bit flags.
constexpr int kCurrentToGb = 0xFFFE;
constexpr int kGbToCurrent = 0xFFFD;

int showWithMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxExA(owner, text, caption, type, 0);
}

MessageFunction& messageFunction() {
    static MessageFunction show = showWithMessageBox;
    return show;
}

void beepWithMessageBeep(UINT type) {
    MessageBeep(type);
}

BeepFunction& beepFunction() {
    static BeepFunction beep = beepWithMessageBeep;
    return beep;
}

bool pageIsGb() {
    return CPC_GetCodePage() == CPC_PAGE_GB;
}

// Copies whole characters and converts them in place: cpconv leaves its output untouched when
// the whole text does not fit, so the cut comes first.
void convertCopy(int flag, const char* source, char* dest, std::size_t size) {
    if (!dest || size == 0) return;
    copyWholeCharacters(source, dest, size);
    if (!pageIsGb() && dest[0] != '\0') {
        CPC_ConvertDBCSBuffer(flag, dest, 0, dest, static_cast<int>(size));
    }
}

bool isConversionFlag(char c) {
    return c == '-' || c == '+' || c == ' ' || c == '#' || c == '.' || (c >= '0' && c <= '9') ||
           c == 'l' || c == 'h';
}

} // namespace

void toCurrentPage(const char* gb, char* text, std::size_t size) {
    convertCopy(kGbToCurrent, gb, text, size);
}

void toGb(const char* text, char* gb, std::size_t size) {
    convertCopy(kCurrentToGb, text, gb, size);
}

void loadPageString(int id, char* text, std::size_t size) {
    if (!text || size == 0) return;
    char gb[kMessageTextSize] = "";
    if (LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), gb, sizeof gb) <= 0) {
        gb[0] = '\0';
    }
    toCurrentPage(gb, text, size);
}

int faceTextId(int englishId) {
    return settings.faceStyle == 0 ? englishId : englishId + FACE_STRING_OFFSET;
}

std::string fillMessageText(const char* text, std::initializer_list<const char*> arguments) {
    std::string filled;
    const char* const* argument = arguments.begin();
    for (const char* at = text ? text : ""; *at != '\0';) {
        if (startsDoubleByte(at)) {
            filled.append(at, 2);
            at += 2;
            continue;
        }
        if (at[0] != '%') {
            filled += *at++;
            continue;
        }
        if (at[1] == '%') {
            filled += '%';
            at += 2;
            continue;
        }
        ++at;
        while (isConversionFlag(*at))
            ++at;
        if (*at == '\0') break;
        ++at;
        if (argument != arguments.end()) {
            if (*argument) filled += *argument;
            ++argument;
        }
    }
    return filled;
}

int showMessageText(HWND owner, const char* text, int captionId, UINT type) {
    char caption[kCaptionSize];
    loadPageString(faceTextId(captionId), caption, sizeof caption);
    return messageFunction()(owner, text ? text : "", caption, type);
}

int showFaceMessage(HWND owner, int textId, int captionId, UINT type, const char* argument) {
    return showFaceMessage(owner, textId, captionId, type,
                           std::initializer_list<const char*>{argument});
}

int showFaceMessage(HWND owner, int textId, int captionId, UINT type,
                    std::initializer_list<const char*> arguments) {
    char text[kMessageTextSize];
    loadPageString(faceTextId(textId), text, sizeof text);
    return showMessageText(owner, fillMessageText(text, arguments).c_str(), captionId, type);
}

MessageFunction setMessageFunction(MessageFunction show) {
    return std::exchange(messageFunction(), show ? std::move(show) : showWithMessageBox);
}

void alertBeep(UINT type) {
    beepFunction()(type);
}

BeepFunction setBeepFunction(BeepFunction beep) {
    return std::exchange(beepFunction(), beep ? std::move(beep) : beepWithMessageBeep);
}

} // namespace lexora
