#pragma once
// The animation render: every frame of a range tweened from its two keyframes,
// rendered by the document's engine at the frame size and written as
// frameN.bmp, then the playback script, then the document as it was. The
// frames window and velmora-cli both run exactly this.
#include <atomic>
#include <cstdint>
#include <string>

#include "anim/RenderSettingsCheck.h"
#include "render/Progress.h"

namespace velmora {

class Document;

// Where the render reports: the status line ("Calculating frame N", "Rendering
// frame N", "Saving frame N") and the progress bar of the frame being rendered.
class AnimRenderSink {
public:
    virtual ~AnimRenderSink() = default;
    virtual void setStatusText(const std::string& text) = 0;
    virtual ProgressSink* progressBar() = 0;  // may be none
    // Set from another thread to stop the frame being rendered; may be none.
    virtual const std::atomic<bool>* cancelFlag() const { return nullptr; }
};

enum class AnimRenderOutcome {
    Completed,        // every requested frame was written
    Aborted,          // the engine's render was cancelled (Escape)
    SaveFailed,       // a frame file could not be written
    TooFewKeyframes,  // refused before anything changed
};

struct AnimRenderResult {
    AnimRenderOutcome outcome = AnimRenderOutcome::TooFewKeyframes;
    bool scriptWritten = false;
    std::string scriptPath;          // for the completion dialog's Play
    std::int32_t framesBegun = 0;    // frames started in this render
    std::int32_t lastFrame = 0;      // the number of the last frame begun (the failing one after a failure)
    bool completed() const { return outcome == AnimRenderOutcome::Completed; }
};

// The check before the Render Settings dialog: at least two keyframes, else the
// message (owned by the frames window) and false.
bool checkEnoughKeyframes(const Document& doc, Host& host);

// Renders the accepted settings' range (their folder ends with the separator).
// Stores the tweening style, folder and frame size in the document; each frame
// is computed by an engine of its own, so the document's active values,
// palette, size and engine stay as they were (its picture ends blank). Messages and the completion beep go through the
// document's Host, whose cancel key stops the frame being rendered. The caller shows the completion dialog when the
// result is Completed.
AnimRenderResult renderAnimation(Document& doc, const RenderSettings& accepted, AnimRenderSink* sink);

}  // namespace velmora
