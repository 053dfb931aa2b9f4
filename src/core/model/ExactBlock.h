#pragma once
// The .vmr extension block that follows the terminator when a location holds
// more than doubles: "VMREXACT", the payload's length (u32), then the payload:
// a record count (u32) and per record the location it belongs to (i32: -1 the
// active parameters, else a keyframe's index) and its six values (left, top,
// right, bottom, cReal, cImag), each a u32 length and that much decimal text.
// Older readers stop at the terminator and land on the doubles.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/DocumentFile.h"

namespace velmora {

inline constexpr char kExactBlockSignature[8] = {'V', 'M', 'R', 'E', 'X', 'A', 'C', 'T'};

// Appends the block when any location of the contents has exact values;
// appends nothing otherwise.
void appendExactBlock(std::vector<std::uint8_t>& out, const DocumentContents& c);

// The largest payload a block for these contents can have; a longer one is
// damaged and is not read.
std::size_t maxExactPayload(const DocumentContents& c);

// Takes a block's payload into the contents, all or nothing: a payload with a
// wrong count, a record for no location or for one twice, text that is not a
// decimal number, values whose nearest doubles are not the file's doubles, or
// bytes left over changes nothing and returns false.
bool applyExactPayload(const std::uint8_t* data, std::size_t size, DocumentContents& c);

// Reads a block from any source with bytes(out, n) after the terminator; a
// missing or damaged block leaves the contents as they are.
template <typename Source>
void readExactBlock(Source& in, DocumentContents& c) {
    std::uint8_t head[sizeof kExactBlockSignature + 4];
    if (!in.bytes(head, sizeof head)) return;
    for (std::size_t i = 0; i < sizeof kExactBlockSignature; ++i)
        if (head[i] != static_cast<std::uint8_t>(kExactBlockSignature[i])) return;
    const std::size_t length = static_cast<std::size_t>(head[8]) | (static_cast<std::size_t>(head[9]) << 8) |
                               (static_cast<std::size_t>(head[10]) << 16) | (static_cast<std::size_t>(head[11]) << 24);
    if (length > maxExactPayload(c)) return;
    // Read in pieces, so a length that promises more than the file holds
    // never costs more memory than the bytes that are there.
    constexpr std::size_t kPiece = 65536;
    std::vector<std::uint8_t> payload;
    while (payload.size() < length) {
        const std::size_t n = std::min(kPiece, length - payload.size());
        payload.resize(payload.size() + n);
        if (!in.bytes(payload.data() + payload.size() - n, n)) return;
    }
    applyExactPayload(payload.data(), payload.size(), c);
}

}  // namespace velmora
