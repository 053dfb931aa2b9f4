#pragma once
// Builders shared by the animation tests: keyframes with distinct values and
// palettes, a document holding them, and a status recorder.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "EngineReference.h"
#include "TempDir.h"
#include "anim/AnimRender.h"
#include "location/FractalParams.h"
#include "model/Document.h"

namespace velmora::test {

// A palette whose entry i is (blue, green, red) = (i + shift, 2i + shift, 255 - i) mod 256.
inline Palette ramp(int shift) {
    Palette p;
    for (int i = 0; i < 256; ++i)
        p.setEntry(
            i, RgbQuad{std::uint8_t((i + shift) & 255), std::uint8_t((2 * i + shift) & 255), std::uint8_t(255 - i), 7});
    return p;
}

inline Keyframe key(double left, double right, double top, double bottom, std::int32_t iterations,
                    std::int32_t transitions, int type = 1, double cr = 0.3, double ci = 0.6, int shift = 0) {
    return Keyframe{left, right, top, bottom, cr, ci, type, iterations, ramp(shift), transitions, {}};
}

// Counts 10 and 5 on three keyframes that zoom in on the Mandelbrot set.
inline std::vector<Keyframe> threeKeyframes(std::int32_t first = 10, std::int32_t second = 5) {
    return {key(-2.0, 2.0, -1.5, 1.5, 40, first, 1, 0.3, 0.6, 0),
            key(-1.2, 0.4, -0.6, 0.6, 60, second, 1, 0.3, 0.6, 100),
            key(-0.9, -0.5, -0.2, 0.1, 90, 3, 1, 0.3, 0.6, 200)};
}

// A document as the program starts one, with the given keyframes.
inline void prepare(Document& doc, const std::vector<Keyframe>& keyframes) {
    doc.onNewDocument();
    doc.loadDefaultPalette();
    doc.setKeyframes(keyframes);
}

// An animation render as the program makes one: the settings stored, then the
// frames, with the document's own host.
inline AnimRenderResult renderWithSettings(Document& doc, const RenderSettings& s, AnimRenderSink* sink,
                                           AnimFrameSink* frames = nullptr) {
    storeRenderSettings(doc, s);
    return renderAnimation(doc, doc.host(), s, sink, frames);
}

inline std::string readText(const std::string& path) {
    const auto bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The frame files (.bmp) of a folder by name, with their bytes.
inline std::map<std::string, std::string> frameFiles(const std::string& folder) {
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == ".bmp") out[e.path().filename().string()] = readText(e.path().string());
    return out;
}

// The fractal values of a keyframe or of the active settings, comparable in one go.
inline auto values(const Keyframe& k) {
    return std::tuple{k.left, k.top, k.right, k.bottom, k.type, k.cReal, k.cImag, k.iterations};
}
inline auto values(const FractalParams& p) {
    return std::tuple{p.left, p.top, p.right, p.bottom, static_cast<int>(p.type), p.cReal, p.cImag, p.iterations};
}

// Records every status text; has no progress bar.
class StatusLog : public AnimRenderSink {
public:
    std::vector<std::string> texts;
    void setStatusText(const std::string& text) override { texts.push_back(text); }
    ProgressSink* progressBar() override { return nullptr; }
};

}  // namespace velmora::test
