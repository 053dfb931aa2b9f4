#pragma once
// Frame numbers over the whole animation: frames count from 1, segment after
// segment; segment k runs from keyframe k towards keyframe k+1 and has as many
// frames as keyframe k's transition count. The last keyframe is never a frame.
#include <cstdint>
#include <optional>
#include <vector>

#include "location/FractalParams.h"

namespace velmora {

struct FramePosition {
    std::int32_t segment = 0;  // zero-based index of the keyframe that opens the segment
    std::int32_t step = 0;     // 0 is that keyframe itself, 1..T-1 the in-betweens
    friend bool operator==(const FramePosition&, const FramePosition&) = default;
};

// The segment and step of frame n. Segments whose count is 0 or less hold no
// frames and are walked past. None when n is below 1 or beyond the last frame.
std::optional<FramePosition> locateFrame(const std::vector<Keyframe>& keyframes, std::int32_t n);

}  // namespace velmora
