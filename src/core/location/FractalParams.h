#pragma once
#include <cstdint>

#include "location/ExactLocation.h"
#include "palette/Palette.h"

namespace velmora {

enum class FractalType : std::int32_t { Mandelbrot = 1, Julia = 2 };

enum class TweenStyle : std::uint8_t { SlowAtKeyframes = 1, ConstantSpeed = 2 };

// One of Forwards, Reverse, PingPong, optionally with Looping.
enum class PlaybackStyle : std::uint8_t { Forwards = 1, Reverse = 2, PingPong = 4, Looping = 8 };

constexpr PlaybackStyle operator|(PlaybackStyle a, PlaybackStyle b) {
    return static_cast<PlaybackStyle>(static_cast<std::uint8_t>(a) | static_cast<std::uint8_t>(b));
}
constexpr bool hasFlag(PlaybackStyle style, PlaybackStyle flag) {
    return (static_cast<std::uint8_t>(style) & static_cast<std::uint8_t>(flag)) != 0;
}

// The parameters of one picture. Region edges are stored as given; the engine
// orders each pair itself.
struct FractalParams {
    double left = -2.0;
    double top = -1.5;
    double right = 2.0;
    double bottom = 1.5;
    FractalType type = FractalType::Mandelbrot;
    double cReal = 0.3;
    double cImag = 0.6;
    std::int32_t iterations = 201;  // shown to the user as Detail Level = iterations - 1
    std::int32_t width = 300;
    std::int32_t height = 300;
    // When not empty, the exact values whose nearest doubles are the fields above.
    ExactLocation exact;
    friend bool operator==(const FractalParams&, const FractalParams&) = default;
};

// A keyframe: a parameter set without the image size, with its palette and the
// number of frames from it to the next keyframe.
struct Keyframe {
    double left = 0.0;
    double right = 0.0;
    double top = 0.0;
    double bottom = 0.0;
    double cReal = 0.0;
    double cImag = 0.0;
    std::int32_t type = 1;
    std::int32_t iterations = 0;
    Palette palette;
    std::int32_t transitions = 0;
    // When not empty, the exact values whose nearest doubles are the fields above.
    ExactLocation exact;
};

// A keyframe's values at a picture size.
inline FractalParams paramsOf(const Keyframe& k, std::int32_t width, std::int32_t height) {
    return {k.left, k.top, k.right, k.bottom, static_cast<FractalType>(k.type), k.cReal, k.cImag, k.iterations,
            width, height, k.exact};
}

}  // namespace velmora
