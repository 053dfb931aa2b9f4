#include "engine/RenderReport.h"

namespace velmora {

void tellRenderOutcome(Host& host, RenderOutcome outcome) {
    switch (outcome) {
        case RenderOutcome::NoMemory: showPlainMessage(host, kNoPictureMemoryMessage); break;
        case RenderOutcome::Cancelled: host.playQuestionSound(); break;
        case RenderOutcome::Done: break;
    }
}

bool buildBitmapOrTell(FractalEngine& engine, const Palette& palette, Host& host) {
    if (engine.buildBitmap(palette)) return true;
    showPlainMessage(host, "Windows reported 'Out of Memory'");
    return false;
}

RenderContext hostContext(Host& host, ProgressSink* progress, const std::atomic<bool>* cancel) {
    return {progress, cancel, [&host] { return host.pollCancelKey(); }, {}};
}

}  // namespace velmora
