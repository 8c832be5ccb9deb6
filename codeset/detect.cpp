// Code page detection: is a piece of drawn text in the given double-byte page or in the other?
// Byte statistics of the piece decide when they can; short pieces lean on the verdicts given
// earlier in the same drawing context at nearby positions.
#include "internal.h"

#include <cstdint>

namespace cpconv {
namespace {

// What the last calls of this process left behind. Per process and unguarded: one drawing
// thread calls at a time.
struct DetectState {
    int32_t lastContext;
    int32_t lastX;
    int32_t lastY;
    int lastVerdict;
    uint32_t sameCount;  // verdicts 1 given in this context
    uint32_t otherCount; // verdicts 0 given in this context
    // Whether lastContext names a context yet. Without it, a first call with context 0 would
    // continue a context nobody drew in, from (0, 0) and with verdict 0.
    bool contextKnown;
};

DetectState detectState;

constexpr int kUndecided = -1;
constexpr int32_t kNoPosition = -99;
// Distances of a mode-0 call, which records no position: far enough that no nearness holds.
constexpr int64_t kFar = INT64_MAX;

// Modes: 0 only looks at trail bytes, 1 adds the positions and the BIG5 hole rows, 2 (what the
// hook library passes; any other value counts as 2) adds the GB2312 holes and the run rules.
enum class Mode { TrailsOnly, Positions, Full };

Mode modeOf(int mode) {
    if (mode == 0) return Mode::TrailsOnly;
    return mode == 1 ? Mode::Positions : Mode::Full;
}

// Where this piece lies against the previous one of its context.
struct Placement {
    int32_t y;
    int64_t dx;
    int64_t dy;
    int64_t threshold;     // pieces closer than this in either direction count as near
    bool continuesContext; // the same context as the previous call, which may be tallied

    bool isNearby() const { return dx < threshold || dy < threshold; }
    bool moved() const { return dx > 1 || dy > 1; }
};

int64_t distance(int32_t a, int32_t b) {
    int64_t d = static_cast<int64_t>(a) - b;
    return d < 0 ? -d : d;
}

// Records the position and context of this call, starting afresh in a new context.
Placement place(int x, int y, int context, Mode mode) {
    DetectState& s = detectState;
    const bool sameContext = s.contextKnown && context == s.lastContext;
    if (mode == Mode::TrailsOnly) return {y, kFar, kFar, 64, sameContext};
    int32_t previousX = s.lastX;
    int32_t previousY = s.lastY;
    if (!sameContext) {
        previousX = previousY = kNoPosition;
        s.lastContext = context;
        s.contextKnown = true;
        s.lastVerdict = 1;
        s.sameCount = s.otherCount = 0;
    }
    s.lastX = x;
    s.lastY = y;
    return {y, distance(x, previousX), distance(y, previousY), 32, sameContext};
}

// Most earlier verdicts in this context said "the other page", away from the top strip.
bool mostlyOther(const Placement& where) {
    const uint64_t same = detectState.sameCount;
    const uint64_t other = detectState.otherCount;
    return same + other > 2 && where.y > 18 && same + 2 < other;
}

// Counters of one scan.
struct PairStats {
    int pairs = 0;   // n: candidate double-byte pairs
    int run = 0;     // j: pairs continuing a run of repeated A1 symbols or F9 box drawing
    int a2Pairs = 0; // v: A2 pairs following A2 pairs, both with trails AF or above
    int spaces = 0;  // s: A1 A1 pairs (BIG5 test)
    uint8_t lead = 0;
    uint8_t trail = 0;

    void follow(uint8_t nextLead, uint8_t nextTrail) {
        if (nextLead == 0xA2 && lead == 0xA2 && nextTrail >= 0xAF && trail >= 0xAF) ++a2Pairs;
        const bool repeatsSymbol = nextLead == 0xA1 && lead == 0xA1 && nextTrail == trail;
        const bool boxDrawing = nextLead == 0xF9 && nextTrail >= 0xDD;
        run = repeatsSymbol || boxDrawing ? run + 1 : 0;
        lead = nextLead;
        trail = nextTrail;
    }

    // Every pair after the first continued one run of line-drawing symbols.
    bool isRun() const {
        const bool lineTrail = (trail >= 0xB0 && trail <= 0xD0) || trail == 0xDC || trail == 0xDD ||
                               trail == 0xDF || trail == 0xE2 || trail == 0xEA || trail == 0xEB;
        return run > 1 && run == pairs - 1 && lineTrail;
    }

    bool manyA2Symbols() const { return a2Pairs > 2 && pairs > 3; }
};

// Walks the candidate pairs of text (bounded by length and by a NUL), handing each to judge
// until it decides; returns the decision or kUndecided.
template <class Judge> int scanPairs(const uint8_t* text, int length, Judge&& judge) {
    if (text == nullptr) return kUndecided;
    for (int i = 0; i + 1 < length && text[i] != 0;) {
        const uint8_t lead = text[i];
        const uint8_t trail = text[i + 1];
        if (lead <= 0xA0 || trail < 0x40) {
            ++i;
            continue;
        }
        const int decision = judge(lead, trail);
        if (decision != kUndecided) return decision;
        i += 2;
    }
    return kUndecided;
}

bool between(uint8_t byte, uint8_t low, uint8_t high) {
    return byte >= low && byte <= high;
}

// Places where GB2312 has no character; BIG5's most frequent rows A4 and A5 count among them.
bool outsideGb2312(uint8_t lead, uint8_t trail) {
    switch (lead) {
    case 0xA2:
        return trail < 0xB1 || trail > 0xFC || trail == 0xE3 || trail == 0xE4 || trail == 0xEF ||
               trail == 0xF0;
    case 0xA4:
    case 0xA5:
        return true;
    case 0xA6:
        return between(trail, 0xB9, 0xC0) || trail > 0xD8;
    case 0xA7:
        return between(trail, 0xC2, 0xD0) || trail > 0xF1;
    case 0xA8:
        return between(trail, 0xC1, 0xC4) || between(trail, 0xEA, 0xEF) || trail > 0xF8;
    case 0xA9:
        return trail < 0xA4 || trail > 0xEF;
    case 0xD7:
        return trail > 0xF9;
    default:
        return between(lead, 0xAA, 0xAF) || lead > 0xF7;
    }
}

int judgeGb(const uint8_t* text, int length, Mode mode, const Placement& where) {
    PairStats stats;
    const int decision = scanPairs(text, length, [&](uint8_t lead, uint8_t trail) {
        ++stats.pairs;
        if (trail < 0x80) return 0;
        if (mode != Mode::Full) return kUndecided;
        if (outsideGb2312(lead, trail)) return 0;
        stats.follow(lead, trail);
        return kUndecided;
    });
    if (decision != kUndecided) return decision;
    if (mode == Mode::Full && stats.pairs > 1 && (stats.isRun() || stats.manyA2Symbols())) return 0;
    if (stats.pairs <= 1) return 1;
    if (stats.pairs < 4 && where.isNearby()) return detectState.lastVerdict;
    return mostlyOther(where) ? 0 : 1;
}

int judgeBig5(const uint8_t* text, int length, Mode mode, const Placement& where) {
    PairStats stats;
    const int decision = scanPairs(text, length, [&](uint8_t lead, uint8_t trail) {
        if (mode != Mode::TrailsOnly && (lead == 0xC8 || (lead == 0xA3 && trail > 0xC0))) return 0;
        ++stats.pairs;
        if (trail <= 0xA0) return 1;
        if (mode == Mode::TrailsOnly) return kUndecided;
        if (mode == Mode::Full && (lead == 0xA4 || lead == 0xA5)) return 1;
        stats.follow(lead, trail);
        if (lead == 0xA1 && trail == 0xA1) ++stats.spaces;
        return kUndecided;
    });
    if (decision != kUndecided) return decision;
    const int n = stats.pairs;
    if ((n > 1 && stats.spaces == n) || (n > 2 && stats.spaces > 2)) return 0;
    if (n > 8 && stats.run <= 2) return 0;
    if (n == 0 || mode != Mode::Full) return 1;
    if (stats.isRun() || stats.manyA2Symbols()) return 1;
    if (n > 4 || mostlyOther(where)) return 0;
    return where.isNearby() ? detectState.lastVerdict : 1;
}

void tally(const Placement& where, int verdict) {
    if (!where.continuesContext || !where.moved()) return;
    uint32_t& count = verdict == 1 ? detectState.sameCount : detectState.otherCount;
    if (count < UINT32_MAX) ++count;
}

} // namespace
} // namespace cpconv

using namespace cpconv;

extern "C" int WINAPI CPC_IsCodePage(int page, const char* text, int length, int x, int y,
                                     int context, int mode) {
    const Mode scanMode = modeOf(mode);
    const Placement where = place(x, y, context, scanMode);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    int verdict = detectState.lastVerdict;
    switch (static_cast<int16_t>(page & 0xFFFF)) {
    case CPC_PAGE_GB:
        verdict = judgeGb(bytes, length, scanMode, where);
        break;
    case CPC_PAGE_BIG5:
        verdict = judgeBig5(bytes, length, scanMode, where);
        break;
    default:
        break;
    }
    tally(where, verdict);
    detectState.lastVerdict = verdict;
    return verdict;
}
