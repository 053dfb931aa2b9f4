// Any bytes given to the document reader: no crash, no out-of-bounds access,
// whatever it accepts writes back to the same fields, and the document it makes
// can be applied, sized, drawn and planned as an animation. Picture sizes and
// iteration limits are held small here so every input stays quick; the values
// themselves (NaN regions, negative sizes, absurd counts) are kept.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "FuzzSupport.h"
#include "anim/PlaybackScript.h"
#include "anim/RenderSettingsCheck.h"
#include "anim/Tween.h"
#include "model/DocumentFile.h"
#include "model/Document.h"
#include "session/RenderSession.h"

namespace {

std::int32_t small(std::int32_t v, std::int32_t low, std::int32_t high) { return std::clamp(v, low, high); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    DocumentContents first;
    if (!parseDocument(data, size, first)) return 0;
    const auto bytes = serializeContents(first);
    DocumentContents second;
    if (!parseDocument(bytes.data(), bytes.size(), second)) std::abort();
    if (serializeContents(second) != bytes) std::abort();
    // Everything before the folder field comes back exactly as it was read.
    if (std::memcmp(bytes.data(), data, 1099) != 0) std::abort();

    fuzz::QuietHost host;
    Document doc(host);
    RenderSession session(doc);
    first.params.width = small(first.params.width, -4, 12);
    first.params.height = small(first.params.height, -4, 12);
    first.params.iterations = small(first.params.iterations, -4, 40);
    doc.setContents(std::move(first));
    if (!session.engine() || session.engine()->width() != doc.params().width) std::abort();
    session.render(nullptr);
    session.engine()->buildBitmap(doc.palette());

    // The animation as the Render Settings dialog would propose it.
    const std::int32_t total = doc.totalFrames();
    RenderSettings s = proposedRenderSettings(doc);
    checkRenderSettingsFields(s, total);
    if (maxFramesFolderLength(total) >= kMaxScriptLine) std::abort();
    if (total <= 64) scriptText(doc.animation().destFolder, doc.animation().playbackStyle, total);
    Keyframe tweened;
    for (std::size_t k = 0; k + 1 < doc.keyframes().size() && k < 4; ++k) {
        const std::int32_t steps = doc.keyframes()[k].transitions;
        if (steps <= 0) continue;  // the render tweens no frame of such a segment
        for (const std::int32_t d : {0, steps / 2, steps - 1}) {
            tweenKeyframes(doc.keyframes()[k], doc.keyframes()[k + 1], tweened, d, doc.animation().tweenStyle);
        }
    }
    return 0;
}
