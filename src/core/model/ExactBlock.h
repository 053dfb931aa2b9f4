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

#include "model/ColourBlock.h"
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

// The bits of every location's doubles, the active one's first: what a
// damaged block is kept for.
std::vector<std::uint64_t> locationBits(const DocumentContents& c);

// Reads the exact block, whose head (signature and length) `block` holds,
// from any source with bytes(out, n). A damaged one (bytes that do not read)
// leaves the values as they are, and its bytes, as far as they could be read,
// go to `damagedExact`. False when the block's end is unknown (too long, or
// cut short): nothing after it can be read.
template <typename Source>
bool readExactBlock(Source& in, std::vector<std::uint8_t> block, DocumentContents& c) {
    const std::size_t head = block.size();
    const std::size_t length = blockLength(block.data());
    const auto damaged = [&] {
        c.damagedExact = std::move(block);
        c.damagedExactFor = locationBits(c);
    };
    if (length > maxExactPayload(c)) {
        damaged();
        return false;
    }
    // Read in pieces, so a length that promises more than the file holds
    // never costs more memory than the bytes that are there.
    constexpr std::size_t kPiece = 65536;
    while (block.size() - head < length) {
        const std::size_t n = std::min(kPiece, length - (block.size() - head));
        block.resize(block.size() + n);
        if (!in.bytes(block.data() + block.size() - n, n)) {
            block.resize(block.size() - n);
            damaged();
            return false;
        }
    }
    if (!applyExactPayload(block.data() + head, length, c)) damaged();
    return true;
}

// The blocks after the terminator, from any source with bytes(out, n): the
// exact block if there is one, then the colouring block if there is one.
// Missing blocks leave the contents as they are.
template <typename Source>
void readExtensionBlocks(Source& in, DocumentContents& c) {
    std::vector<std::uint8_t> head(kBlockHeadSize);
    if (!in.bytes(head.data(), head.size())) return;
    if (hasSignature(head.data(), kExactBlockSignature)) {
        if (!readExactBlock(in, head, c) || !in.bytes(head.data(), head.size())) return;
    }
    if (hasSignature(head.data(), kColourBlockSignature)) readColourBlock(in, blockLength(head.data()), c);
}

}  // namespace velmora
