#include "buttonbox.h"

#include "core/linebreak.h"
#include "core/text.h"

#include <lxsys.h>

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace lexora {

namespace {

// Every gadget is this much larger than its picture or text; painting leaves it free on the
// right and the bottom.
constexpr int kGadgetMargin = 3;
// Where the first gadget starts in a box without a sizing frame, and what the box adds.
constexpr int kBoxInset = 3;
constexpr int kBoxExtra = 5;
// Wrap mode: text gadgets are this wide, and their lines are drawn this far apart.
constexpr int kWrapWidth = 180;
constexpr int kWrapLineStep = 16;
// For placing a box, a last gadget counts up to here.
constexpr int kPlacementLimit = 240;
// The periodic step updates the gadgets' states every this many calls.
constexpr int kUpdateInterval = 5;
// A text gadget keeps at most this many bytes of its text.
constexpr std::size_t kTextCapacity = 4096;
constexpr int kClickCursorId = 1;
constexpr int kGadgetCursorId = 5;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kLightGrey = RGB(192, 192, 192);
constexpr COLORREF kClickableText = RGB(0, 0, 255);
constexpr COLORREF kWrapPaper = RGB(255, 255, 240);
constexpr COLORREF kWrapMarkedText = RGB(0, 128, 0);
constexpr COLORREF kLinePaper = RGB(255, 255, 127);
constexpr COLORREF kLineMarkedText = RGB(255, 0, 0);

void fillRect(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void drawLine(HDC dc, int fromX, int fromY, int toX, int toY) {
    MoveToEx(dc, fromX, fromY, nullptr);
    LineTo(dc, toX, toY);
}

// The box's window frame: black outside, a one-pixel raised edge, light grey within.
void paintBoxFrame(HDC dc, RECT rect) {
    HBRUSH black = CreateSolidBrush(kBlack);
    FrameRect(dc, &rect, black);
    DeleteObject(black);
    InflateRect(&rect, -1, -1);
    HPEN white = CreatePen(PS_SOLID, 1, kWhite);
    HPEN grey = CreatePen(PS_SOLID, 1, kGrey);
    HGDIOBJ old = SelectObject(dc, white);
    drawLine(dc, rect.left, rect.bottom - 1, rect.left, rect.top);
    drawLine(dc, rect.left, rect.top, rect.right - 1, rect.top);
    SelectObject(dc, grey);
    drawLine(dc, rect.right - 1, rect.top, rect.right - 1, rect.bottom - 1);
    drawLine(dc, rect.right - 1, rect.bottom - 1, rect.left, rect.bottom - 1);
    SelectObject(dc, old);
    DeleteObject(white);
    DeleteObject(grey);
    InflateRect(&rect, -1, -1);
    fillRect(dc, rect, kLightGrey);
}

int textWidth(HDC dc, const char* text, int length) {
    SIZE extent{};
    GetTextExtentPointA(dc, text, length, &extent);
    return extent.cx;
}

int drawPlainText(HDC dc, int x, int y, const char* text, int length) {
    if (length <= 0) return 0;
    TextOutA(dc, x, y, text, length);
    return textWidth(dc, text, length);
}

// The offset of the first `wanted` byte standing as a character of its own, or `length`.
int findCharacter(const char* text, int length, char wanted) {
    const char* end = text + length;
    for (const char* at = text; at < end; at += characterBytes(at, end))
        if (*at == wanted) return static_cast<int>(at - text);
    return length;
}

// The lines of a text broken to the wrap width: stored one after another, each ended by a NUL.
struct WrappedLines {
    std::vector<char> bytes;
    int count = 0;
};

WrappedLines wrapText(HDC dc, const std::string& text) {
    WrappedLines lines;
    // Each line adds at most its NUL to the text's bytes.
    lines.bytes.resize(text.size() * 2 + 2);
    lines.count =
        breakLines(text.data(), static_cast<int>(text.size()), kWrapWidth, lines.bytes.data(),
                   static_cast<int>(lines.bytes.size()), [dc](const char* part, int partLength) {
                       return textWidth(dc, part, partLength);
                   });
    return lines;
}

// The gadget's own copy of a text, cut to its capacity at a whole character.
std::string gadgetText(const char* text) {
    std::string copy(kTextCapacity, '\0');
    copy.resize(copyWholeCharacters(text ? text : "", copy.data(), copy.size()));
    return copy;
}

} // namespace

// --- LXBox ---------------------------------------------------------------------------------

struct LXBox::Data {
    Data(int id, Kind kind, int groupType, int state, bool takesClicks)
        : id(id), kind(kind), groupType(groupType), state(state), takesClicks(takesClicks) {}

    int id;
    Kind kind;
    int groupType;
    int state;
    bool takesClicks;
    bool twoState = false;
    bool pressed = false;
    bool marked = false;
    HBITMAP bitmap = nullptr;
    SIZE bitmapSize{};
    std::string text;
    RECT rect{};

    bool down() const { return pressed || state == kDown; }
};

LXBox::LXBox(int bitmapId, int id, int groupType, bool twoState, bool takesClicks, int state, int)
    : data_(new Data(id, Kind::bitmap, groupType, state, takesClicks)) {
    data_->twoState = twoState;
    data_->bitmap = LoadBitmapA(programInstance(), MAKEINTRESOURCEA(bitmapId));
    BITMAP info{};
    if (data_->bitmap && GetObjectA(data_->bitmap, sizeof info, &info))
        data_->bitmapSize = {info.bmWidth, info.bmHeight};
}

LXBox::LXBox(const char* text, int id, int groupType, bool takesClicks, int state, int)
    : data_(new Data(id, Kind::text, groupType, state, takesClicks)) {
    data_->text = gadgetText(text);
}

LXBox::~LXBox() {
    if (data_->bitmap) DeleteObject(data_->bitmap);
}

int LXBox::id() const {
    return data_->id;
}

LXBox::Kind LXBox::kind() const {
    return data_->kind;
}

int LXBox::groupType() const {
    return data_->groupType;
}

int LXBox::state() const {
    return data_->state;
}

bool LXBox::takesClicks() const {
    return data_->takesClicks;
}

bool LXBox::pressed() const {
    return data_->pressed;
}

bool LXBox::marked() const {
    return data_->marked;
}

const char* LXBox::text() const {
    return data_->text.c_str();
}

RECT LXBox::rect() const {
    return data_->rect;
}

// --- LXBoxWindow ---------------------------------------------------------------------------

bool LXBoxWindow::createBox(HWND parent, DWORD style, DWORD exStyle) {
    WNDCLASSEXA prototype{};
    prototype.lpszClassName = kClassName;
    prototype.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    if (!registerClass(prototype)) return false;
    return create(kClassName, "", style, exStyle, 0, 0, 0, 0, parent, nullptr) != nullptr;
}

// --- LXButtonBox ---------------------------------------------------------------------------

struct LXButtonBox::Impl {
    explicit Impl(LXButtonBox& box) : box(box) {}

    LXButtonBox& box;
    std::unique_ptr<LXBox> first;
    int count = 0;
    Orientation orientation = Orientation::horizontal;
    bool wrap = false;
    int hintMode = kHintWhilePressed;
    HWND commandTarget = nullptr;
    TWindow* stateOwner = nullptr;
    HFONT font = nullptr;
    LXBox* hovered = nullptr;
    LXBox* capturing = nullptr;
    bool trackingLeave = false;
    bool dragging = false;
    RECT dragStartRect{};
    POINT dragStartPointer{};
    bool pendingMove = false;
    POINT pendingPosition{};
    DWORD pendingDue = 0;
    int periodicCalls = 0;

    HWND window() const { return box.handle(); }
    bool hasSizingFrame() const { return (GetWindowLongA(window(), GWL_STYLE) & WS_THICKFRAME); }
    POINT origin() const { return hasSizingFrame() ? POINT{0, 0} : POINT{kBoxInset, kBoxInset}; }
    SIZE boxExtra() const {
        if (!hasSizingFrame()) return {kBoxExtra, kBoxExtra};
        return {2 * GetSystemMetrics(SM_CXFRAME) - 2, 2 * GetSystemMetrics(SM_CYFRAME) - 2};
    }

    // --- gadgets ---

    LXBox* before(const LXBox* gadget) const {
        LXBox* previous = nullptr;
        for (LXBox* at = first.get(); at && at != gadget; at = next(at))
            previous = at;
        return previous;
    }
    LXBox* last() const { return before(nullptr); }
    // The link that holds `gadget` (nullptr: the link at the end of the list).
    std::unique_ptr<LXBox>& linkTo(const LXBox* gadget) {
        LXBox* previous = before(gadget);
        return previous ? previous->next_ : first;
    }
    bool holds(const LXBox* gadget) const {
        for (LXBox* at = first.get(); at; at = next(at))
            if (at == gadget) return true;
        return false;
    }
    std::unique_ptr<LXBox>& insertionLink(const LXBox* after) {
        if (!after) return first;
        if (holds(after)) return linkTo(after)->next_;
        return linkTo(nullptr);
    }

    static bool exclusive(const LXBox* gadget) {
        return gadget && gadget->data_->groupType == LXBox::kExclusive;
    }

    // The other members of the run of exclusive-group members around `gadget` go up.
    void releaseGroup(const LXBox& gadget) {
        LXBox* runStart = nullptr;
        for (LXBox* at = first.get(); at && at != &gadget; at = next(at))
            runStart = exclusive(at) ? (runStart ? runStart : at) : nullptr;
        for (LXBox* at = runStart ? runStart : next(&gadget); exclusive(at); at = next(at))
            if (at != &gadget) setState(*at, LXBox::kUp);
    }

    void setState(LXBox& gadget, int state) {
        if (gadget.data_->state == state) return;
        gadget.data_->state = state;
        redraw(gadget);
    }

    void redraw(const LXBox& gadget) const {
        if (window()) InvalidateRect(window(), &gadget.data_->rect, FALSE);
    }

    // --- layout ---

    HFONT selectFont(HDC dc) const {
        return font ? static_cast<HFONT>(SelectObject(dc, font)) : nullptr;
    }

    int lineHeight(HDC dc) const {
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        int border = (GetWindowLongA(window(), GWL_STYLE) & WS_BORDER)
                         ? 2 * GetSystemMetrics(SM_CYBORDER)
                         : 0;
        return metrics.tmHeight + metrics.tmExternalLeading + border;
    }

    SIZE gadgetSize(HDC dc, const LXBox& gadget) const {
        const LXBox::Data& data = *gadget.data_;
        SIZE size{};
        if (data.kind == LXBox::Kind::bitmap) {
            size = data.bitmapSize;
            if (data.twoState) size.cy /= 2;
        } else if (data.text.empty()) {
            GetTextExtentPointA(dc, "  ", 2, &size);
        } else if (wrap) {
            size = {kWrapWidth, std::max(wrapText(dc, data.text).count, 1) * lineHeight(dc)};
        } else {
            GetTextExtentPointA(dc, data.text.data(), static_cast<int>(data.text.size()), &size);
        }
        return {size.cx + kGadgetMargin, size.cy + kGadgetMargin};
    }

    // Places the gadgets left to right; in wrap mode each text gadget starts a row of its own.
    // The gadgets of a row are as high as its highest.
    void layoutRows(HDC dc) {
        POINT start = origin();
        int x = start.x;
        int rowTop = start.y;
        int rowHeight = 0;
        LXBox* rowFirst = first.get();
        LXBox* previous = nullptr;
        for (LXBox* gadget = first.get(); gadget; gadget = next(gadget)) {
            SIZE size = gadgetSize(dc, *gadget);
            if (wrap && gadget->kind() == LXBox::Kind::text && previous) {
                evenRow(rowFirst, gadget, rowHeight);
                rowTop += rowHeight;
                x = start.x;
                rowHeight = 0;
                rowFirst = gadget;
                previous = nullptr;
            }
            if (previous) x += box.spacing(*previous, *gadget);
            gadget->data_->rect = {x, rowTop, x + size.cx, rowTop + size.cy};
            x += size.cx;
            rowHeight = std::max(rowHeight, static_cast<int>(size.cy));
            previous = gadget;
        }
        evenRow(rowFirst, nullptr, rowHeight);
    }

    static void evenRow(LXBox* from, const LXBox* to, int height) {
        for (LXBox* gadget = from; gadget != to; gadget = next(gadget))
            gadget->data_->rect.bottom = gadget->data_->rect.top + height;
    }

    // Stacks the gadgets from the top, each centred across the widest.
    void layoutColumn(HDC dc) {
        std::vector<SIZE> sizes;
        int widest = 0;
        for (LXBox* gadget = first.get(); gadget; gadget = next(gadget)) {
            sizes.push_back(gadgetSize(dc, *gadget));
            widest = std::max(widest, static_cast<int>(sizes.back().cx));
        }
        POINT start = origin();
        int y = start.y;
        std::size_t index = 0;
        LXBox* previous = nullptr;
        for (LXBox* gadget = first.get(); gadget; gadget = next(gadget), ++index) {
            if (previous) y += box.spacing(*previous, *gadget);
            SIZE size = sizes[index];
            int x = start.x + (widest - size.cx) / 2;
            gadget->data_->rect = {x, y, x + size.cx, y + size.cy};
            y += size.cy;
            previous = gadget;
        }
    }

    void layout() {
        HDC dc = GetDC(window());
        HFONT old = selectFont(dc);
        if (orientation == Orientation::horizontal)
            layoutRows(dc);
        else
            layoutColumn(dc);
        if (old) SelectObject(dc, old);
        ReleaseDC(window(), dc);
    }

    // The gadgets' extent from the origin; `lastLimit` caps the last gadget's right edge.
    SIZE contentSize(int lastLimit) const {
        POINT start = origin();
        LONG right = start.x;
        LONG bottom = start.y;
        const LXBox* final = last();
        for (LXBox* gadget = first.get(); gadget; gadget = next(gadget)) {
            const RECT& rect = gadget->data_->rect;
            right = std::max(right,
                             gadget == final ? std::min<LONG>(rect.right, lastLimit) : rect.right);
            bottom = std::max(bottom, rect.bottom);
        }
        return {right - start.x, bottom - start.y};
    }

    SIZE boxSize(int lastLimit) const {
        SIZE content = contentSize(lastLimit);
        SIZE extra = boxExtra();
        return {content.cx + extra.cx, content.cy + extra.cy};
    }

    // --- mouse ---

    // Tells the parent (or the box itself) which gadget the pointer is on, as a menu would.
    void report(WPARAM item) const {
        HWND parent = GetParent(window());
        HWND target = parent ? parent : window();
        SendMessageA(target, WM_MENUSELECT, item, 0);
        SendMessageA(target, WM_ENTERIDLE, 2, 0);
    }

    void press(LXBox& gadget) {
        capturing = &gadget;
        SetCapture(window());
        setPressed(gadget, true);
        if (hintMode == kHintWhilePressed) report(static_cast<WPARAM>(gadget.id()));
    }

    void setPressed(LXBox& gadget, bool pressed) {
        if (gadget.data_->pressed == pressed) return;
        gadget.data_->pressed = pressed;
        redraw(gadget);
    }

    // Where the pointer was when the message being handled arose: the pointer may be elsewhere
    // by the time it is handled.
    static POINT messagePointer() {
        DWORD position = GetMessagePos();
        return {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    }

    void startDrag() {
        dragging = true;
        GetWindowRect(window(), &dragStartRect);
        dragStartPointer = messagePointer();
        SetCapture(window());
    }

    POINT dragPosition() const {
        POINT pointer = messagePointer();
        return {dragStartRect.left + pointer.x - dragStartPointer.x,
                dragStartRect.top + pointer.y - dragStartPointer.y};
    }

    void moveWindow(POINT position) const {
        SetWindowPos(window(), nullptr, position.x, position.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The box stays on the screen where a drag ends.
    void endDrag() {
        dragging = false;
        POINT position = dragPosition();
        RECT rect{};
        GetWindowRect(window(), &rect);
        int width = rect.right - rect.left;
        int height = rect.bottom - rect.top;
        position.x =
            std::max(0L, std::min<LONG>(position.x, GetSystemMetrics(SM_CXSCREEN) - width));
        position.y =
            std::max(0L, std::min<LONG>(position.y, GetSystemMetrics(SM_CYSCREEN) - height));
        moveWindow(position);
        ReleaseCapture();
    }

    void buttonDown(POINT point) {
        LXBox* gadget = capturing ? capturing : box.gadgetAt(point);
        if (gadget && (gadget == capturing || gadget->takesClicks()))
            press(*gadget);
        else
            startDrag();
    }

    void buttonUp() {
        if (dragging) {
            endDrag();
            return;
        }
        if (!capturing) return;
        LXBox& gadget = *capturing;
        capturing = nullptr;
        ReleaseCapture();
        if (gadget.pressed()) activate(gadget);
    }

    void mouseMove(POINT point) {
        if (dragging) {
            moveWindow(dragPosition());
            return;
        }
        if (capturing) {
            setPressed(*capturing, PtInRect(&capturing->data_->rect, point) != FALSE);
            return;
        }
        trackLeave();
        hover(box.gadgetAt(point));
    }

    void trackLeave() {
        if (trackingLeave) return;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window(), 0};
        trackingLeave = TrackMouseEvent(&track) != FALSE;
    }

    void hover(LXBox* gadget) {
        if (gadget == hovered) return;
        if (hovered && hintMode == kHintOnHover) report(kNoItem);
        hovered = gadget;
        if (hovered && hintMode == kHintOnHover) report(static_cast<WPARAM>(hovered->id()));
    }

    // Another window took the mouse: nothing stays pressed or dragged.
    void captureLost() {
        dragging = false;
        if (!capturing) return;
        setPressed(*capturing, false);
        capturing = nullptr;
    }

    HCURSOR cursorAt(POINT point) const {
        const LXBox* gadget = box.gadgetAt(point);
        if (!gadget) return LoadCursorA(nullptr, IDC_SIZEALL);
        int id = gadget->takesClicks() ? kClickCursorId : kGadgetCursorId;
        return LoadCursorA(programInstance(), MAKEINTRESOURCEA(id));
    }

    bool setCursor() const {
        POINT point{};
        GetCursorPos(&point);
        ScreenToClient(window(), &point);
        HCURSOR cursor = cursorAt(point);
        if (!cursor) return false;
        SetCursor(cursor);
        return true;
    }

    void activate(LXBox& gadget) {
        LXBox::Data& data = *gadget.data_;
        if (data.groupType == LXBox::kToggle) {
            setState(gadget, data.state == LXBox::kDown ? LXBox::kUp : LXBox::kDown);
        } else if (data.groupType == LXBox::kExclusive && data.state != LXBox::kDown) {
            releaseGroup(gadget);
            setState(gadget, LXBox::kDown);
        }
        setPressed(gadget, false);
        if (!data.takesClicks) return;
        HWND target = commandTarget ? commandTarget : window();
        PostMessageA(target, WM_COMMAND, MAKEWPARAM(data.id, 0), 0);
    }

    // --- painting ---

    void paintGadget(HDC dc, const LXBox& gadget) const {
        const LXBox::Data& data = *gadget.data_;
        RECT rect = data.rect;
        rect.right -= kGadgetMargin;
        rect.bottom -= kGadgetMargin;
        InflateRect(&rect, -1, -1);
        if (data.takesClicks) {
            RECT frame = rect;
            InflateRect(&frame, 1, 1);
            FillRect(dc, &frame, GetSysColorBrush(COLOR_BTNFACE));
            DrawEdge(dc, &frame, data.down() ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            if (data.down()) InflateRect(&rect, -1, -1);
        }
        if (data.kind == LXBox::Kind::bitmap)
            paintBitmap(dc, data, rect);
        else
            paintText(dc, data, rect);
    }

    static void paintBitmap(HDC dc, const LXBox::Data& data, const RECT& rect) {
        if (data.bitmap) {
            HDC source = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(source, data.bitmap);
            int height = data.twoState ? data.bitmapSize.cy / 2 : data.bitmapSize.cy;
            int top = data.twoState && data.down() ? height : 0;
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       source, 0, top, data.bitmapSize.cx, height, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        }
        if (!data.takesClicks) crossOut(dc, rect);
    }

    static void crossOut(HDC dc, const RECT& rect) {
        HPEN pen = CreatePen(PS_SOLID, 2, kLightGrey);
        HGDIOBJ old = SelectObject(dc, pen);
        drawLine(dc, rect.left, rect.top, rect.right, rect.bottom);
        drawLine(dc, rect.right, rect.top, rect.left, rect.bottom);
        SelectObject(dc, old);
        DeleteObject(pen);
    }

    COLORREF textColour(const LXBox::Data& data) const {
        if (data.takesClicks) return kClickableText;
        if (!data.marked) return kLightGrey;
        return wrap ? kWrapMarkedText : kLineMarkedText;
    }

    void paintText(HDC dc, const LXBox::Data& data, const RECT& rect) const {
        if (!data.takesClicks) fillRect(dc, rect, wrap ? kWrapPaper : kLinePaper);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, textColour(data));
        LXbSetDrawPrompt(1);
        if (wrap) {
            WrappedLines lines = wrapText(dc, data.text);
            const char* line = lines.bytes.data();
            for (int index = 0; index < lines.count; ++index) {
                auto length = static_cast<int>(std::strlen(line));
                drawTextLine(dc, rect.left, rect.top + index * kWrapLineStep, line, length);
                line += length + 1;
            }
        } else {
            drawTextLine(dc, rect.left, rect.top, data.text.data(),
                         static_cast<int>(data.text.size()));
        }
        LXbSetDrawPrompt(0);
    }

    // Text up to a '[' as text, from it to the next ']' as the transcription, the rest as text.
    void drawTextLine(HDC dc, int x, int y, const char* line, int length) const {
        int open = findCharacter(line, length, '[');
        x += drawPlainText(dc, x, y, line, open);
        if (open == length) return;
        int close = open + findCharacter(line + open, length - open, ']');
        x += box.drawPhonetic(dc, x, y, line + open, close - open);
        drawPlainText(dc, x, y, line + close, length - close);
    }

    void paint() const {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window(), &paint);
        HFONT old = selectFont(dc);
        RECT client{};
        GetClientRect(window(), &client);
        if (hasSizingFrame())
            fillRect(dc, client, kLightGrey);
        else
            paintBoxFrame(dc, client);
        for (LXBox* gadget = first.get(); gadget; gadget = next(gadget)) {
            RECT overlap{};
            if (IntersectRect(&overlap, &gadget->data_->rect, &paint.rcPaint))
                paintGadget(dc, *gadget);
        }
        if (old) SelectObject(dc, old);
        EndPaint(window(), &paint);
    }

    // With a sizing frame the box's frame is drawn around the window rectangle.
    void paintSizingFrame() const {
        RECT bounds{};
        GetWindowRect(window(), &bounds);
        POINT clientOrigin{0, 0};
        ClientToScreen(window(), &clientOrigin);
        RECT client{};
        GetClientRect(window(), &client);
        OffsetRect(&client, clientOrigin.x - bounds.left, clientOrigin.y - bounds.top);
        OffsetRect(&bounds, -bounds.left, -bounds.top);
        HDC dc = GetWindowDC(window());
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        paintBoxFrame(dc, bounds);
        ReleaseDC(window(), dc);
    }

    // --- periodic step ---

    // Asks the state owner for every gadget's state; the changed ones repaint.
    void updateStates() {
        TWindow& owner = stateOwner ? *stateOwner : static_cast<TWindow&>(box);
        for (LXBox* gadget = first.get(); gadget; gadget = next(gadget))
            LXButtonBoxEnabler(box, *gadget).ask(owner);
    }

    void movePending() {
        if (!pendingMove || static_cast<LONG>(GetTickCount() - pendingDue) < 0) return;
        pendingMove = false;
        RECT rect{};
        GetWindowRect(window(), &rect);
        if (rect.left != pendingPosition.x || rect.top != pendingPosition.y)
            moveWindow(pendingPosition);
    }
};

LXButtonBox::LXButtonBox() : impl_(new Impl(*this)) {}

LXButtonBox::~LXButtonBox() = default;

LXBox* LXButtonBox::insert(std::unique_ptr<LXBox> gadget, const LXBox* after) {
    if (!gadget) return nullptr;
    std::unique_ptr<LXBox>& link = impl_->insertionLink(after);
    LXBox* inserted = gadget.get();
    gadget->next_ = std::move(link);
    link = std::move(gadget);
    ++impl_->count;
    return inserted;
}

std::unique_ptr<LXBox> LXButtonBox::remove(int id) {
    LXBox* gadget = find(id);
    if (!gadget) return nullptr;
    if (impl_->hovered == gadget) impl_->hovered = nullptr;
    if (impl_->capturing == gadget) {
        impl_->capturing = nullptr;
        ReleaseCapture();
    }
    std::unique_ptr<LXBox>& link = impl_->linkTo(gadget);
    std::unique_ptr<LXBox> removed = std::move(link);
    link = std::move(removed->next_);
    --impl_->count;
    return removed;
}

LXBox* LXButtonBox::find(int id) const {
    for (LXBox* gadget = first(); gadget; gadget = next(gadget))
        if (gadget->id() == id) return gadget;
    return nullptr;
}

LXBox* LXButtonBox::first() const {
    return impl_->first.get();
}

LXBox* LXButtonBox::next(const LXBox* gadget) {
    return gadget ? gadget->next_.get() : nullptr;
}

int LXButtonBox::count() const {
    return impl_->count;
}

LXBox* LXButtonBox::gadgetAt(POINT clientPoint) const {
    for (LXBox* gadget = first(); gadget; gadget = next(gadget))
        if (PtInRect(&gadget->data_->rect, clientPoint)) return gadget;
    return nullptr;
}

void LXButtonBox::setText(int id, const char* text, bool marked) {
    LXBox* gadget = find(id);
    if (!gadget || gadget->kind() != LXBox::Kind::text) return;
    gadget->data_->text = gadgetText(text);
    gadget->data_->marked = marked;
    relayout();
}

void LXButtonBox::setState(int id, int state) {
    LXBox* gadget = find(id);
    if (!gadget) return;
    if (gadget->groupType() == LXBox::kExclusive && state == LXBox::kDown)
        impl_->releaseGroup(*gadget);
    impl_->setState(*gadget, state);
}

void LXButtonBox::setTakesClicks(int id, bool takesClicks) {
    LXBox* gadget = find(id);
    if (!gadget || gadget->data_->takesClicks == takesClicks) return;
    gadget->data_->takesClicks = takesClicks;
    impl_->redraw(*gadget);
}

void LXButtonBox::setOrientation(Orientation orientation) {
    impl_->orientation = orientation;
}

void LXButtonBox::setWrapMode(bool wrap) {
    impl_->wrap = wrap;
}

bool LXButtonBox::wrapMode() const {
    return impl_->wrap;
}

void LXButtonBox::setHintMode(int mode) {
    impl_->hintMode = mode;
}

void LXButtonBox::setCommandTarget(HWND target) {
    impl_->commandTarget = target;
}

void LXButtonBox::setStateOwner(TWindow* owner) {
    impl_->stateOwner = owner;
}

void LXButtonBox::relayout() {
    if (!handle()) return;
    impl_->layout();
    SIZE size = impl_->boxSize(INT_MAX);
    SetWindowPos(handle(), nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(handle(), nullptr, TRUE);
}

SIZE LXButtonBox::placementSize() const {
    return impl_->boxSize(kPlacementLimit);
}

void LXButtonBox::setPendingPosition(POINT screenPosition, DWORD delayMs) {
    impl_->pendingMove = true;
    impl_->pendingPosition = screenPosition;
    impl_->pendingDue = GetTickCount() + delayMs;
}

void LXButtonBox::periodicStep() {
    if (!handle()) return;
    if (++impl_->periodicCalls % kUpdateInterval == 0) impl_->updateStates();
    impl_->movePending();
}

LRESULT LXButtonBox::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_LBUTTONDOWN:
        impl_->buttonDown(point);
        return 0;
    case WM_LBUTTONUP:
        impl_->buttonUp();
        return 0;
    case WM_MOUSEMOVE:
        impl_->mouseMove(point);
        return 0;
    case WM_MOUSELEAVE:
        impl_->trackingLeave = false;
        if (!impl_->capturing && !impl_->dragging) impl_->hover(nullptr);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != handle()) impl_->captureLost();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && impl_->setCursor()) return TRUE;
        break;
    case WM_SETFONT:
        impl_->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) relayout();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(impl_->font);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        impl_->paint();
        return 0;
    case WM_NCPAINT:
        if (!impl_->hasSizingFrame()) break;
        impl_->paintSizingFrame();
        return 0;
    default:
        break;
    }
    return LXBoxWindow::handleMessage(message, wParam, lParam);
}

int LXButtonBox::spacing(const LXBox&, const LXBox&) const {
    return 0;
}

int LXButtonBox::drawPhonetic(HDC dc, int x, int y, const char* text, int length) {
    return drawPlainText(dc, x, y, text, length);
}

// --- LXButtonBoxEnabler --------------------------------------------------------------------

LXButtonBoxEnabler::LXButtonBoxEnabler(LXButtonBox& box, LXBox& gadget)
    : box_(box), gadget_(gadget) {}

void LXButtonBoxEnabler::ask(TWindow& owner) {
    CommandEnabler enabler;
    enabler.id = static_cast<UINT>(gadget_.id());
    owner.commandState(enabler);
    if (!enabler.handled) return;
    enable(enabler.enabled);
    setCheck(enabler.checked ? LXBox::kDown : LXBox::kUp);
}

void LXButtonBoxEnabler::enable(bool on) {
    box_.setTakesClicks(gadget_.id(), on);
}

void LXButtonBoxEnabler::setCheck(int state) {
    box_.setState(gadget_.id(), state);
}

} // namespace lexora
