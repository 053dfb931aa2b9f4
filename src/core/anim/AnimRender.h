#pragma once
// The animation render: every frame of a range tweened from its two keyframes,
// rendered by the document's engine at the frame size and written as
// frameN.bmp (frameN.png, true colour, when smooth), then the playback
// script, then the document as it was. The
// frames window and velmora-cli both run exactly this.
#include <atomic>
#include <cstdint>
#include <string>

#include "anim/RenderSettingsCheck.h"
#include "render/Progress.h"
#include "render/IndexedPicture.h"

namespace velmora {

class Document;

// Where the render reports: the status line ("Calculating frame N of M",
// "Rendering frame N of M", "Saving frame N of M", M the range's last) and the progress bar of the frame being rendered.
class AnimRenderSink {
public:
    virtual ~AnimRenderSink() = default;
    virtual void setStatusText(const std::string& text) = 0;
    virtual ProgressSink* progressBar() = 0;  // may be none
    // Set from another thread to stop the frame being rendered; may be none.
    virtual const std::atomic<bool>* cancelFlag() const { return nullptr; }
};

// Takes each frame of the range in order as soon as it is rendered or, when
// resuming, read back from its kept file (a video being encoded).
class AnimFrameSink {
public:
    virtual ~AnimFrameSink() = default;
    // False with the message stops the render.
    virtual bool frameReady(std::int64_t frame, const IndexedPicture& picture, std::string& error) = 0;
    // A true-colour frame: 32-bit blue, green, red, unused pixels, top row
    // first, `stride` bytes a row, of the render settings' size.
    virtual bool trueColourFrameReady(std::int64_t frame, const std::uint8_t* pixels, std::size_t stride,
                                      std::string& error) = 0;
};

enum class AnimRenderOutcome {
    Completed,        // every requested frame was written
    Aborted,          // the engine's render was cancelled (Escape)
    SaveFailed,       // a frame file could not be written
    SinkFailed,       // the frame sink gave up (a video could not be written)
    TooFewKeyframes,  // refused before anything changed
};

struct AnimRenderResult {
    AnimRenderOutcome outcome = AnimRenderOutcome::TooFewKeyframes;
    bool scriptWritten = false;
    std::string scriptPath;          // for the completion dialog's Play
    std::int32_t framesBegun = 0;    // frames started in this render
    std::int32_t lastFrame = 0;      // the number of the last frame begun (the failing one after a failure)
    std::int32_t framesKept = 0;     // frames of framesBegun whose complete files were kept (resume)
    bool completed() const { return outcome == AnimRenderOutcome::Completed; }
};

// The check before the Render Settings dialog: at least two keyframes, else the
// message (owned by the frames window) and false.
bool checkEnoughKeyframes(const Document& doc, Host& host);

// Stores the render's tweening style, folder and frame size in the document,
// on the thread whose windows watch it, before the render; nothing when there
// are fewer than two keyframes, as the render will be refused.
void storeRenderSettings(Document& doc, const RenderSettings& s);

// Renders the accepted settings' range (their folder ends with the separator).
// When resuming, a frame whose file is already complete (checkRenderedFrame)
// is kept as it is (a smooth frame: a complete PNG of the frame size). Each frame also goes to `frames` when there is one. Each
// frame is computed by an engine of its own, so the document's values stay as
// they were (its picture ends blank). Messages and the completion beep go
// through `host`, whose cancel key stops the frame being rendered. The caller
// shows the completion dialog when the result is Completed.
AnimRenderResult renderAnimation(Document& doc, Host& host, const RenderSettings& accepted, AnimRenderSink* sink,
                                 AnimFrameSink* frames = nullptr);

}  // namespace velmora
