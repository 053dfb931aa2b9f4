#pragma once
// The .vmr extension block for smooth colouring, after the terminator (and
// after the exact-values block when there is one): "VMRCOLOR", the payload's
// length (u32), then the colour density (f64), the colour offset (f64) and
// flags (u8; bit 0: the animation's frames are smoothly coloured). Written
// only when a value differs from its default; older readers stop before it
// and land on the defaults. Longer payloads are read for these fields alone.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/DocumentFile.h"

namespace velmora {

inline constexpr char kColourBlockSignature[8] = {'V', 'M', 'R', 'C', 'O', 'L', 'O', 'R'};
// Signature and length: the head every extension block starts with.
inline constexpr std::size_t kBlockHeadSize = 12;
inline constexpr std::size_t kColourPayloadSize = 17;
// A longer payload is not ours: it is not read.
inline constexpr std::size_t kMaxColourPayload = 4096;

bool hasSignature(const std::uint8_t* head, const char (&signature)[8]);
std::size_t blockLength(const std::uint8_t* head);

// Appends the block when the contents' colouring differs from the defaults.
void appendColourBlock(std::vector<std::uint8_t>& out, const DocumentContents& c);

// Takes a payload's values, all or nothing: a short payload, or a density or
// offset out of range, changes nothing and returns false.
bool applyColourPayload(const std::uint8_t* data, std::size_t size, DocumentContents& c);

template <typename Source>
void readColourBlock(Source& in, std::size_t length, DocumentContents& c) {
    if (length < kColourPayloadSize || length > kMaxColourPayload) return;
    std::vector<std::uint8_t> payload(length);
    if (in.bytes(payload.data(), payload.size())) applyColourPayload(payload.data(), payload.size(), c);
}

}  // namespace velmora
