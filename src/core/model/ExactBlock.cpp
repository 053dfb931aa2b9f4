#include "model/ExactBlock.h"

#include <bit>
#include <string>
#include <utility>

#include "base/LittleEndian.h"
#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"

namespace velmora {
namespace {

constexpr std::int32_t kActive = -1;
constexpr std::size_t kFieldCount = 6;
constexpr std::size_t kRecordOverhead = 4 + kFieldCount * 4;

template <typename Location>
auto& field(Location& e, std::size_t i) {
    switch (i) {
        case 0:
            return e.left;
        case 1:
            return e.top;
        case 2:
            return e.right;
        case 3:
            return e.bottom;
        case 4:
            return e.cReal;
        default:
            return e.cImag;
    }
}

void putRecord(std::vector<std::uint8_t>& out, std::int32_t which, const ExactLocation& e) {
    le::putI32(out, which);
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const std::string& s = field(e, i);
        le::putU32(out, static_cast<std::uint32_t>(s.size()));
        le::putBytes(out, reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    }
}

bool readText(le::Reader& in, std::string& s) {
    std::int32_t length = 0;
    if (!in.I32(length) || length <= 0 || static_cast<std::size_t>(length) > kMaxDecimalChars ||
        static_cast<std::size_t>(length) > in.remaining())
        return false;
    s.resize(static_cast<std::size_t>(length));
    return in.bytes(reinterpret_cast<std::uint8_t*>(s.data()), s.size()) && isDecimalText(s);
}

// The record's values must name the doubles the file holds for them, bit for
// bit, or the block belongs to other values than these (and taking it would
// change a stored byte).
template <typename Location>
bool matches(const Location& at, const ExactLocation& e) {
    Location copy = at;
    const auto same = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    return assignExact(copy, e) && same(copy.left, at.left) && same(copy.top, at.top) && same(copy.right, at.right) &&
           same(copy.bottom, at.bottom) && same(copy.cReal, at.cReal) && same(copy.cImag, at.cImag);
}

}  // namespace

void appendExactBlock(std::vector<std::uint8_t>& out, const DocumentContents& c) {
    std::vector<std::uint8_t> payload;
    std::uint32_t count = 0;
    le::putU32(payload, 0);  // the count, filled in below
    if (!c.params.exact.empty()) {
        putRecord(payload, kActive, c.params.exact);
        ++count;
    }
    for (std::size_t i = 0; i < c.keyframes.size(); ++i) {
        if (c.keyframes[i].exact.empty()) continue;
        putRecord(payload, static_cast<std::int32_t>(i), c.keyframes[i].exact);
        ++count;
    }
    if (count == 0) {
        // Nothing exact of ours: a damaged block read with these very locations goes back as it was.
        if (!c.damagedExact.empty() && c.damagedExactFor == locationBits(c)) le::putBytes(out, c.damagedExact.data(), c.damagedExact.size());
        return;
    }
    le::storeU32(payload.data(), count);
    le::putBytes(out, reinterpret_cast<const std::uint8_t*>(kExactBlockSignature), sizeof kExactBlockSignature);
    le::putU32(out, static_cast<std::uint32_t>(payload.size()));
    le::putBytes(out, payload.data(), payload.size());
}

std::vector<std::uint64_t> locationBits(const DocumentContents& c) {
    std::vector<std::uint64_t> bits;
    const auto add = [&](const auto& at) {
        for (const double v : {at.left, at.top, at.right, at.bottom, at.cReal, at.cImag})
            bits.push_back(std::bit_cast<std::uint64_t>(v));
    };
    add(c.params);
    for (const Keyframe& k : c.keyframes) add(k);
    return bits;
}

std::size_t maxExactPayload(const DocumentContents& c) {
    return 4 + (c.keyframes.size() + 1) * (kRecordOverhead + kFieldCount * kMaxDecimalChars);
}

bool applyExactPayload(const std::uint8_t* data, std::size_t size, DocumentContents& c) {
    le::Reader in(data, size);
    std::int32_t count = 0;
    if (!in.I32(count) || count <= 0 || static_cast<std::size_t>(count) > c.keyframes.size() + 1) return false;
    std::vector<std::pair<std::int32_t, ExactLocation>> records;
    std::vector<bool> seen(c.keyframes.size() + 1, false);  // index 0 the active parameters
    for (std::int32_t r = 0; r < count; ++r) {
        std::int32_t which = 0;
        if (!in.I32(which) || which < kActive || which >= static_cast<std::int64_t>(c.keyframes.size())) return false;
        const auto slot = static_cast<std::size_t>(which + 1);
        if (seen[slot]) return false;
        seen[slot] = true;
        ExactLocation e;
        for (std::size_t i = 0; i < kFieldCount; ++i)
            if (!readText(in, field(e, i))) return false;
        const bool same =
            which == kActive ? matches(c.params, e) : matches(c.keyframes[static_cast<std::size_t>(which)], e);
        if (!same) return false;
        records.emplace_back(which, std::move(e));
    }
    if (in.remaining() != 0) return false;
    for (auto& [which, e] : records) {
        if (which == kActive) {
            assignExact(c.params, e);
        } else {
            assignExact(c.keyframes[static_cast<std::size_t>(which)], e);
        }
    }
    return true;
}

}  // namespace velmora
