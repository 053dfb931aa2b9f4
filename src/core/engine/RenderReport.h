#pragma once
// What the user hears of a render: the engine says what happened, callers on
// the thread that talks to the user say it through their host.
#include "base/Host.h"
#include "engine/FractalEngine.h"

namespace velmora {

inline constexpr const char* kNoPictureMemoryMessage = "Not enough memory for bitmap.";

// No picture memory: the message; cancelled: the question sound; done: nothing.
void tellRenderOutcome(Host& host, RenderOutcome outcome);

// Rebuilds the engine's header block; says so when its memory could not be had.
bool buildBitmapOrTell(FractalEngine& engine, const Palette& palette, Host& host);

// A context whose checkpoints ask the host whether Escape was pressed.
RenderContext hostContext(Host& host, ProgressSink* progress, const std::atomic<bool>* cancel);

}  // namespace velmora
