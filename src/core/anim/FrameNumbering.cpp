#include "anim/FrameNumbering.h"

namespace velmora {

std::optional<FramePosition> locateFrame(const std::vector<Keyframe>& keyframes, std::int32_t n) {
    if (n < 1) return std::nullopt;
    std::int32_t remainder = n;
    // Only keyframes with a successor open a segment.
    for (std::size_t k = 0; k + 1 < keyframes.size(); ++k) {
        const std::int32_t count = keyframes[k].transitions;
        if (count <= 0) continue;  // a count read from a file may be 0 or negative
        if (remainder <= count) return FramePosition{static_cast<std::int32_t>(k), remainder - 1};
        remainder -= count;
    }
    return std::nullopt;
}

}  // namespace velmora
