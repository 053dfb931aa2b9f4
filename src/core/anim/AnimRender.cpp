#include "anim/AnimRender.h"

#include "anim/AnimMessages.h"
#include "anim/FrameNumbering.h"
#include "anim/KeyframeEdit.h"
#include "anim/PlaybackScript.h"
#include "anim/Tween.h"
#include "model/VelmoraDoc.h"

namespace velmora {
namespace {

void Status(AnimRenderSink* sink, const char* what, std::int64_t frame) {
    if (sink != nullptr) sink->SetStatusText(what + std::to_string(frame));
}

void Report(Host& host, const std::string& text) {
    host.ShowMessage(WindowMessage(text, MsgIcon::Error, kFramesWindowName));
}

// The frame loop; returns how it ended.
AnimRenderOutcome RenderFrames(CVelmoraDoc& doc, const RenderSettings& s, AnimRenderSink* sink,
                               AnimRenderResult& result) {
    Host& host = doc.GetHost();
    const auto start = LocateFrame(doc.m_keyframes, s.from);
    if (!start) return AnimRenderOutcome::Completed;  // nothing to render: out of segments at once

    ProgressSink* bar = sink != nullptr ? sink->ProgressBar() : nullptr;
    Keyframe scratch;
    const std::int32_t segments = doc.GetKeyframeCount() - 1;
    for (std::int32_t k = start->segment; k < segments; ++k) {
        const std::int32_t count = doc.m_keyframes[static_cast<std::size_t>(k)].transitions;
        if (count <= 0) continue;
        for (std::int32_t d = k == start->segment ? start->step : 0; d < count; ++d) {
            // Frame numbers are counted wide: a range may end at the largest 32-bit number.
            const std::int64_t frame = static_cast<std::int64_t>(s.from) + result.framesBegun;
            if (frame > s.to) return AnimRenderOutcome::Completed;
            ++result.framesBegun;
            result.lastFrame = static_cast<std::int32_t>(frame);

            Status(sink, "Calculating frame ", frame);
            TweenKeyframes(doc.m_keyframes[static_cast<std::size_t>(k)],
                           doc.m_keyframes[static_cast<std::size_t>(k) + 1], scratch, d, doc.m_tweenStyle);
            ApplyToActive(doc, scratch);

            Status(sink, "Rendering frame ", frame);
            doc.LoadEngine();
            if (!doc.m_pEngine || doc.m_pEngine->Render(bar) == 0) {
                Report(host, animtext::kAborted);
                return AnimRenderOutcome::Aborted;
            }
            // The frame's colour table is its tweened palette.
            doc.m_pEngine->BuildBitmap(scratch.palette);
            const std::string path = FramePath(s.destFolder, frame);

            Status(sink, "Saving frame ", frame);
            std::error_code cause;
            if (doc.WriteBmp(path, cause) != BmpWriteResult::Ok) {
                // The number of the frame that failed, whatever frame the range began with.
                Report(host, CouldNotSaveFrameText(frame));
                return AnimRenderOutcome::SaveFailed;
            }
        }
    }
    return AnimRenderOutcome::Completed;
}

}  // namespace

bool CheckEnoughKeyframes(const CVelmoraDoc& doc, Host& host) {
    if (doc.GetKeyframeCount() >= 2) return true;
    host.ShowMessage(WindowMessage(animtext::kTooFewKeyframes, MsgIcon::Information, kFramesWindowName));
    return false;
}

AnimRenderResult RenderAnimation(CVelmoraDoc& doc, const RenderSettings& accepted, AnimRenderSink* sink) {
    AnimRenderResult result;
    Host& host = doc.GetHost();
    if (!CheckEnoughKeyframes(doc, host)) return result;

    Keyframe saved;
    CaptureActive(doc, saved);
    const std::int32_t savedWidth = doc.GetWidth();
    const std::int32_t savedHeight = doc.GetHeight();

    const RenderSettings s = accepted;  // the caller's copy may be the document's own
    doc.SetResolution(s.width, s.height);
    doc.m_tweenStyle = s.tweenStyle;
    doc.m_destFolder = s.destFolder;
    doc.m_animWidth = s.width;
    doc.m_animHeight = s.height;

    result.outcome = RenderFrames(doc, s, sink, result);
    if (result.Completed()) host.Beep();

    // The ending is the same whatever happened: the script lists the whole
    // animation, and the document gets its own values back.
    result.scriptWritten = WriteScript(doc);
    if (!result.scriptWritten) Report(host, animtext::kScriptFailed);
    result.scriptPath = ScriptPath(s.destFolder);

    ApplyToActive(doc, saved);
    doc.SetResolution(savedWidth, savedHeight);
    doc.LoadEngine();
    return result;
}

}  // namespace velmora
