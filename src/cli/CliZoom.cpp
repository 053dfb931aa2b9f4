#include "CliZoom.h"

#include <cmath>
#include <filesystem>
#include <ostream>

#include <unistd.h>

#include "CliAnim.h"
#include "CliEdit.h"
#include "anim/PlaybackScript.h"
#include "location/ExactLocationValues.h"
#include "model/Document.h"
#include "palette/PaletteConvert.h"
#include "platform/ConsoleHost.h"

namespace velmora::cli {
namespace {

// A keyframe of the view centred on the target at `width`.
bool keyframeAt(const DocumentContents& c, const CentreWidth& centre, std::int32_t iterations,
                std::int32_t transitions, Keyframe& k) {
    ExactLocation edges;
    if (edgesFromCentre(centre, c.animation.width, c.animation.height, edges) != CentreWidthFault::None) return false;
    const ExactLocation constant = exactTextOf(c.params);
    edges.cReal = constant.cReal;
    edges.cImag = constant.cImag;
    k.type = static_cast<std::int32_t>(c.params.type);
    k.iterations = iterations;
    k.transitions = transitions;
    k.palette = c.palette;
    return assignExact(k, edges);
}

// A folder of its own in the system's temporary folder, removed with it.
struct TemporaryFolder {
    std::string path;
    TemporaryFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "velmora-zoom-XXXXXX").string();
        if (::mkdtemp(name.data()) != nullptr) path = name + "/";
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

int runZoom(const ZoomOptions& o, std::ostream& out, std::ostream& err, bool progressToErr) {
    if (o.positional.size() != 1 || !o.target) {
        err << "zoom: give the video file to write, --center and --width.\n";
        return 1;
    }
    const long long frames = std::llround(o.seconds * o.fps);
    if (!(o.seconds > 0) || frames < 2 || frames > kMaxScriptFrames) {
        err << "zoom: --seconds times --fps must give 2 to " << kMaxScriptFrames << " frames.\n";
        return 1;
    }
    ConsoleHost host(err);
    DocumentContents c;
    if (!readContents({}, host, c)) return 1;
    if (o.palette && !loadPaletteFile(*o.palette, c.palette, host)) return 1;
    std::tie(c.animation.width, c.animation.height) = std::tuple(o.width, o.height);
    c.animation.tweenStyle = TweenStyle::ConstantSpeed;  // steady in the logarithm of the width
    c.animation.smooth = o.smooth;
    o.colour.applyTo(c.spread);
    const std::int32_t deepest = o.iterations.value_or(c.params.iterations);
    CentreWidth start = *o.target;
    start.width = o.fromWidth;
    // The last frame is the target itself: a keyframe one step from the end, held.
    Keyframe from, to, held;
    if (!keyframeAt(c, start, o.iterationsFrom.value_or(deepest), static_cast<std::int32_t>(frames - 1), from) ||
        !keyframeAt(c, *o.target, deepest, 1, to) || !keyframeAt(c, *o.target, deepest, 0, held)) {
        err << "zoom: the region of --center " << o.target->re << "," << o.target->im
            << " lies beyond the numbers Velmora can hold.\n";
        return 1;
    }
    c.keyframes = {from, to, held};
    TemporaryFolder scratch;
    if (scratch.path.empty()) {
        err << "zoom: no temporary folder could be made.\n";
        return 1;
    }
    const std::string document = o.save.value_or(scratch.path + "zoom.vmr");
    if (!saveDocumentContents(c, document, host)) return 1;

    AnimOptions a;
    a.document = document;
    a.video = o.positional[0];
    std::tie(a.fps, a.quality, a.width, a.height) = std::tuple(o.fps, o.quality, o.width, o.height);
    a.style = TweenStyle::ConstantSpeed;
    // Frames are kept only in a folder given for them, where --resume finds them.
    a.folder = o.folder.value_or(scratch.path);
    a.noFrames = !o.folder;
    a.resume = o.resume;
    return runAnim(a, out, err, progressToErr);
}

}  // namespace velmora::cli
