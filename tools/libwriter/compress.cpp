// The entry-block compressor. A stream is literal bytes and copy tokens 0x1A v (v 16-bit): the
// expander writes every byte it emits to a 4096-byte window at index w, which starts at 1 for
// each block, so text byte s of the block lands at window position (1 + s) & 0xFFF. A token
// copies (v & 0x0F) + 4 bytes from window position v >> 4; position 0 is the end token.
//
// Matches are found through hash chains over the last 4095 bytes: 4-byte hashes lead to the
// most recent position with that hash, and a ring of links leads on to older ones.
#include "internal.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace lexora::libwriter {
namespace {

using detail::kCopyMarker;

constexpr size_t kWindowSize = 4096;
constexpr size_t kWindowMask = kWindowSize - 1;
constexpr size_t kMaxDistance = kWindowSize - 1;
constexpr size_t kMinCopy = 4;
constexpr size_t kMaxCopy = 19;
constexpr unsigned kHashBits = 12;
// Candidates tried per position; longer chains gain little on dictionary text.
constexpr int kMaxCandidates = 24;
constexpr int32_t kNone = -1;
// Positions are kept as 32-bit numbers.
constexpr size_t kMaxTextSize = INT32_MAX;

struct Match {
    size_t length = 0;
    size_t source = 0;
};

class MatchFinder {
  public:
    explicit MatchFinder(std::string_view text)
        : data_(reinterpret_cast<const unsigned char*>(text.data())), size_(text.size()) {
        head_.fill(kNone);
    }

    // Makes every position before end that starts four bytes a candidate.
    void insertBefore(size_t end) {
        const size_t last = size_ >= kMinCopy ? std::min(end, size_ - kMinCopy + 1) : 0;
        for (; inserted_ < last; ++inserted_) {
            int32_t& head = head_[hashAt(inserted_)];
            links_[inserted_ & kWindowMask] = head;
            head = static_cast<int32_t>(inserted_);
        }
    }

    // The longest earlier match for the text at position, among the inserted candidates.
    Match longest(size_t position) const {
        const size_t limit = std::min(kMaxCopy, size_ - position);
        Match best;
        if (limit < kMinCopy) return best;
        const size_t oldest = position > kMaxDistance ? position - kMaxDistance : 0;
        int32_t candidate = head_[hashAt(position)];
        for (int tries = kMaxCandidates; candidate != kNone && tries > 0; --tries) {
            const auto source = static_cast<size_t>(candidate);
            if (source < oldest) break;
            candidate = links_[source & kWindowMask];
            if (!reachable(source) || data_[source + best.length] != data_[position + best.length])
                continue;
            const size_t length = matchLength(source, position, limit);
            if (length > best.length) {
                best = {length, source};
                if (length == limit) break;
            }
        }
        return best;
    }

  private:
    uint32_t hashAt(size_t position) const {
        uint32_t word;
        std::memcpy(&word, data_ + position, sizeof word);
        return (word * 2654435761u) >> (32 - kHashBits);
    }

    // Window position 0 cannot be named: a token there is the end token.
    static bool reachable(size_t source) { return ((1 + source) & kWindowMask) != 0; }

    size_t matchLength(size_t source, size_t position, size_t limit) const {
        size_t length = 0;
        while (length < limit && data_[source + length] == data_[position + length])
            ++length;
        return length;
    }

    const unsigned char* data_;
    size_t size_;
    size_t inserted_ = 0;
    std::array<int32_t, size_t{1} << kHashBits> head_;
    std::array<int32_t, kWindowSize> links_;
};

void emitCopy(std::vector<uint8_t>& out, const Match& match) {
    const auto value =
        static_cast<uint16_t>(((1 + match.source) & kWindowMask) << 4 | (match.length - kMinCopy));
    out.push_back(kCopyMarker);
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void emitEnd(std::vector<uint8_t>& out) {
    out.insert(out.end(), {kCopyMarker, 0, 0});
}

} // namespace

std::vector<uint8_t> compressBlock(const std::string& text, bool lazyMatching) {
    if (text.find(static_cast<char>(kCopyMarker)) != std::string::npos)
        throw std::invalid_argument("block text holds the reserved byte 0x1A");
    if (text.size() > kMaxTextSize) throw std::invalid_argument("block text longer than 2 GB");
    std::vector<uint8_t> out;
    out.reserve(text.size() + 3);
    MatchFinder finder(text);
    std::optional<Match> deferred;
    for (size_t position = 0; position < text.size();) {
        finder.insertBefore(position);
        const Match match = deferred ? *deferred : finder.longest(position);
        deferred.reset();
        if (lazyMatching && match.length >= kMinCopy && match.length < kMaxCopy) {
            // A longer match one byte on is worth a literal now.
            finder.insertBefore(position + 1);
            const Match next = finder.longest(position + 1);
            if (next.length > match.length) deferred = next;
        }
        if (match.length >= kMinCopy && !deferred) {
            emitCopy(out, match);
            position += match.length;
        } else {
            out.push_back(static_cast<uint8_t>(text[position]));
            ++position;
        }
    }
    emitEnd(out);
    return out;
}

} // namespace lexora::libwriter
