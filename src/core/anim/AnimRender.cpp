#include "anim/AnimRender.h"

#include "anim/AnimMessages.h"
#include "anim/FrameFile.h"
#include "anim/FrameNumbering.h"
#include "anim/KeyframeEdit.h"
#include "anim/PlaybackScript.h"
#include "anim/Tween.h"
#include "export/BmpWriter.h"
#include "model/Document.h"
#include "engine/FractalEngine.h"
#include "engine/RenderReport.h"
#include "engine/SmoothPicture.h"
#include "export/PngFrameRead.h"
#include "export/PngWriter.h"

namespace velmora {
namespace {

// "Rendering frame 104 of 800": the number and the range's last.
void status(AnimRenderSink* sink, const char* what, std::int64_t frame, std::int32_t last) {
    if (sink != nullptr) sink->setStatusText(what + std::to_string(frame) + " of " + std::to_string(last));
}

void report(Host& host, const std::string& text, MsgIcon icon = MsgIcon::Error) {
    host.showMessage(windowMessage(text, icon, kFramesWindowName));
}

// A smooth frame as a true-colour PNG, the picture render --smooth makes of
// the same values.
bool writeSmoothFrame(const FractalEngine& engine, const Palette& palette, const ColourSpread& spread,
                      const std::string& path) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(engine.width()) * 3);
    const PngRowSource rows = [&](std::int32_t y) -> const std::uint8_t* {
        smoothRowRgb(engine.smoothRow(y), engine.width(), palette, spread, rgb.data());
        return rgb.data();
    };
    std::error_code cause;
    return writePng(path, engine.width(), engine.height(), PngColour::Rgb, palette, {}, rows, cause) ==
           PngWriteResult::Ok;
}

// The frame loop; returns how it ended. Frames have an engine of their own, so
// the document keeps its values and picture while they are computed.
AnimRenderOutcome renderFrames(const Document& doc, Host& host, const RenderSettings& s, AnimRenderSink* sink,
                               AnimFrameSink* frames, AnimRenderResult& result) {
    const auto start = locateFrame(doc.keyframes(), s.from);
    if (!start) return AnimRenderOutcome::Completed;  // nothing to render: out of segments at once

    ProgressSink* bar = sink != nullptr ? sink->progressBar() : nullptr;
    const std::atomic<bool>* cancel = sink != nullptr ? sink->cancelFlag() : nullptr;
    FractalEngine engine(s.width, s.height);
    if (!engine.hasBuffer()) tellRenderOutcome(host, RenderOutcome::NoMemory);
    engine.setKeepSmooth(s.smooth);
    std::vector<std::uint8_t> trueColour;  // a smooth frame for the sink
    Keyframe scratch;
    FrameFile kept;
    const std::int32_t segments = doc.keyframeCount() - 1;
    for (std::int32_t k = start->segment; k < segments; ++k) {
        const std::int32_t count = doc.keyframes()[static_cast<std::size_t>(k)].transitions;
        if (count <= 0) continue;
        for (std::int32_t d = k == start->segment ? start->step : 0; d < count; ++d) {
            // Frame numbers are counted wide: a range may end at the largest 32-bit number.
            const std::int64_t frame = static_cast<std::int64_t>(s.from) + result.framesBegun;
            if (frame > s.to) return AnimRenderOutcome::Completed;
            ++result.framesBegun;
            result.lastFrame = static_cast<std::int32_t>(frame);

            status(sink, "Calculating frame ", frame, s.to);
            tweenKeyframes(doc.keyframes()[static_cast<std::size_t>(k)],
                           doc.keyframes()[static_cast<std::size_t>(k) + 1], scratch, d, s.tweenStyle);
            engine.setParams(paramsOf(scratch, s.width, s.height));

            const std::string path = framePath(s.destFolder, frame, s.smooth);
            std::string sinkError;
            const std::size_t stride = static_cast<std::size_t>(s.width) * 4;
            if (s.skipRendered && s.smooth && readTrueColourFrame(path, s.width, s.height, trueColour)) {
                status(sink, "Keeping frame ", frame, s.to);
                ++result.framesKept;
                if (frames != nullptr && !frames->trueColourFrameReady(frame, trueColour.data(), stride, sinkError)) {
                    report(host, sinkError);
                    return AnimRenderOutcome::SinkFailed;
                }
                continue;
            }
            if (s.skipRendered && !s.smooth &&
                checkRenderedFrame(path, s.width, s.height, scratch.palette, kept) == FrameFileCheck::Complete) {
                status(sink, "Keeping frame ", frame, s.to);
                ++result.framesKept;
                if (frames != nullptr && !frames->frameReady(frame, kept.picture(), sinkError)) {
                    report(host, sinkError);
                    return AnimRenderOutcome::SinkFailed;
                }
                continue;
            }

            status(sink, "Rendering frame ", frame, s.to);
            const RenderOutcome drawn = engine.render(hostContext(host, bar, cancel));
            if (drawn != RenderOutcome::Done) {
                if (engine.hasBuffer()) tellRenderOutcome(host, drawn);  // a missing picture was told above
                // Stopped by the user is no error; a missing picture is.
                report(host, animtext::kAborted, drawn == RenderOutcome::Cancelled ? MsgIcon::Information : MsgIcon::Error);
                return AnimRenderOutcome::Aborted;
            }
            if (s.smooth && !engine.hasSmooth()) {
                tellRenderOutcome(host, RenderOutcome::NoMemory);
                report(host, animtext::kAborted);
                return AnimRenderOutcome::Aborted;
            }
            // The frame's colour table is its tweened palette.
            buildBitmapOrTell(engine, scratch.palette, host);
            if (s.smooth) {
                if (s.writeFiles) {
                    status(sink, "Saving frame ", frame, s.to);
                    if (!writeSmoothFrame(engine, scratch.palette, doc.colourSpread(), path)) {
                        report(host, couldNotSaveFrameText(frame));
                        return AnimRenderOutcome::SaveFailed;
                    }
                }
                if (frames == nullptr) continue;
                trueColour.resize(stride * static_cast<std::size_t>(s.height));
                smoothPicture(engine, scratch.palette, doc.colourSpread(), trueColour.data(), stride);
                if (!frames->trueColourFrameReady(frame, trueColour.data(), stride, sinkError)) {
                    report(host, sinkError);
                    return AnimRenderOutcome::SinkFailed;
                }
                continue;
            }

            if (s.writeFiles) {
                status(sink, "Saving frame ", frame, s.to);
                std::error_code cause;
                if (writeBmp(engine, path, cause) != BmpWriteResult::Ok) {
                    // The number of the frame that failed, whatever frame the range began with.
                    report(host, couldNotSaveFrameText(frame));
                    return AnimRenderOutcome::SaveFailed;
                }
            }
            if (frames != nullptr && engine.bitmapInfo() != nullptr) {
                IndexedPicture picture;
                picture.width = engine.width();
                picture.height = engine.height();
                picture.stride = static_cast<std::size_t>(engine.width() + FractalEngine::paddingFor(engine.width()));
                picture.bottomUpRows = engine.bits();
                picture.colourTable = engine.bitmapInfo()->data() + kBitmapInfoHeaderSize;
                if (!frames->frameReady(frame, picture, sinkError)) {
                    report(host, sinkError);
                    return AnimRenderOutcome::SinkFailed;
                }
            }
        }
    }
    return AnimRenderOutcome::Completed;
}

}  // namespace

bool checkEnoughKeyframes(const Document& doc, Host& host) {
    if (doc.keyframeCount() >= 2) return true;
    host.showMessage(windowMessage(animtext::kTooFewKeyframes, MsgIcon::Information, kFramesWindowName));
    return false;
}

void storeRenderSettings(Document& doc, const RenderSettings& s) {
    if (doc.keyframeCount() < 2) return;  // the render will be refused: nothing changes
    doc.editAnimation([&](AnimationSettings& a) {
        a.tweenStyle = s.tweenStyle;
        a.destFolder = s.destFolder;
        a.width = s.width;
        a.height = s.height;
        a.smooth = s.smooth;
    });
}

AnimRenderResult renderAnimation(Document& doc, Host& host, const RenderSettings& accepted, AnimRenderSink* sink,
                                 AnimFrameSink* frames) {
    AnimRenderResult result;
    if (!checkEnoughKeyframes(doc, host)) return result;
    const RenderSettings s = accepted;  // the caller's copy may be the document's own

    result.outcome = renderFrames(doc, host, s, sink, frames, result);
    if (result.completed()) host.beep();

    // The ending is the same whatever happened: the script lists the whole
    // animation.
    if (s.writeFiles) {
        result.scriptWritten = writeScript(doc);
        if (!result.scriptWritten) report(host, animtext::kScriptFailed);
    }
    result.scriptPath = scriptPath(s.destFolder);
    return result;
}

}  // namespace velmora
