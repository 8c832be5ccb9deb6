// The collection of reported text runs: insertion and the following of block transfers.
#include "runs.h"

#include "internal.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace lxsys {

namespace {

bool keyLess(const TextInfoStruct& a, const TextInfoStruct& b) {
    if (a.dc != b.dc) return a.dc < b.dc;
    return a.rect.left < b.rect.left;
}

// One edge of a run mapped from the source of a block transfer to its destination. Wide
// arithmetic, so that no reported value can overflow; the result is held to 32 bits.
int32_t mapEdge(int32_t value, int32_t sourceOrigin, int32_t sourceExtent, int32_t destOrigin,
                int32_t destExtent) {
    int64_t mapped =
        int64_t{destOrigin} + (int64_t{value} - sourceOrigin) * destExtent / sourceExtent;
    return static_cast<int32_t>(std::clamp<int64_t>(mapped, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool rectContains(const CaptureRect& outer, const CaptureRect& inner) {
    bool innerEmpty = inner.left >= inner.right || inner.top >= inner.bottom;
    return innerEmpty || (inner.left >= outer.left && inner.right <= outer.right &&
                          inner.top >= outer.top && inner.bottom <= outer.bottom);
}

CaptureRect destinationRect(const BlitMessage& message) {
    auto edge = [](int32_t origin, int32_t extent) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t{origin} + extent,
                                                        std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    };
    return {message.destX, message.destY, edge(message.destX, message.destWidth),
            edge(message.destY, message.destHeight)};
}

void makeCurrentWord(CaptureShared& record, const TextInfoStruct& run) {
    record.wordDC = run.dc;
    record.wordRect = run.rect;
    record.wordIsDoubleByte = run.isDoubleByte;
    size_t length = std::min<size_t>(run.text.size(), SN_TEXT_LIMIT);
    std::memcpy(record.wordText, run.text.data(), length);
    record.wordText[length] = '\0';
}

} // namespace

TTextCollection::TTextCollection() {
    items_.reserve(kInitialCapacity);
}

bool TTextCollection::insert(std::unique_ptr<TextInfoStruct> item) {
    if (items_.size() >= kMaxItems) return false;
    try {
        if (items_.size() == items_.capacity()) items_.reserve(items_.capacity() + kGrowth);
        auto place = std::upper_bound(items_.begin(), items_.end(), item,
                                      [](const auto& a, const auto& b) { return keyLess(*a, *b); });
        items_.insert(place, std::move(item));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void TTextCollection::reorder() {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const auto& a, const auto& b) { return keyLess(*a, *b); });
}

void insertRun(TTextCollection& runs, const TextRunMessage& message) {
    try {
        auto item = std::make_unique<TextInfoStruct>();
        item->dc = message.dc;
        item->rect = message.rect;
        item->text.assign(message.text, strnlen(message.text, SN_TEXT_LIMIT));
        item->isDoubleByte = message.isDoubleByte != 0;
        runs.insert(std::move(item));
    } catch (const std::bad_alloc&) {
        // A run that cannot be copied is not inserted.
    }
}

void applyBlit(TTextCollection& runs, const BlitMessage& message) {
    CaptureShared* record = shared();
    if (!record) return;
    CaptureRect word = record->wordRect;
    if (rectContains(destinationRect(message), word)) record->wordText[0] = '\0';
    bool mappable = message.sourceWidth != 0 && message.sourceHeight != 0;
    bool moved = false;
    for (size_t i = 0; i < runs.count(); ++i) {
        TextInfoStruct& run = runs.at(i);
        if (run.dc != message.sourceDC) continue;
        run.dc = message.destDC;
        moved = true;
        if (!mappable) continue;
        CaptureRect& r = run.rect;
        r.left =
            mapEdge(r.left, message.sourceX, message.sourceWidth, message.destX, message.destWidth);
        r.right = mapEdge(r.right, message.sourceX, message.sourceWidth, message.destX,
                          message.destWidth);
        r.top = mapEdge(r.top, message.sourceY, message.sourceHeight, message.destY,
                        message.destHeight);
        r.bottom = mapEdge(r.bottom, message.sourceY, message.sourceHeight, message.destY,
                           message.destHeight);
        if (contains(r, record->cursorX, record->cursorY)) makeCurrentWord(*record, run);
    }
    if (moved) runs.reorder();
}

} // namespace lxsys
