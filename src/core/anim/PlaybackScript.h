#pragma once
// The playback script script.aas: the frame files of the whole animation in
// playing order, one per line, lines joined by a single line feed.
#include <cstdint>
#include <string>

#include "location/FractalParams.h"

namespace velmora {

class Document;

inline constexpr const char* kScriptFileName = "script.aas";

// The longest script line, its line feed included.
inline constexpr std::size_t kMaxScriptLine = 255;

// The most frames a script may list: over four hours at 30 frames a second,
// far beyond any real animation. Ping-pong lists each frame twice, so a script
// stays within the million lines the player keeps and below 300 MB, where a
// damaged transition count would ask for about a hundred gigabytes.
inline constexpr std::int32_t kMaxScriptFrames = 500000;

// Whether a frames folder can begin every line of a script: a line feed or a
// carriage return in its name would split the lines.
bool folderFitsScriptLines(const std::string& folder);

// folder + "frame" + n + ".bmp" (".png" for true-colour frames); the folder
// ends with its separator.
std::string framePath(const std::string& folder, std::int64_t frame, bool png = false);

// folder + "script.aas".
std::string scriptPath(const std::string& folder);

// The script's bytes for frames 1..totalFrames: the forward pass (Forwards or
// PingPong), the reverse pass (Reverse or PingPong), then "Loop 1000" when
// Looping is set. No line feed after the last line. A style with no direction
// bit (only a damaged file holds one) plays Forwards, the default.
std::string scriptText(const std::string& folder, PlaybackStyle style, std::int32_t totalFrames, bool png = false);

// Writes folder + "script.aas", replacing an old one whole (never partly
// written), without changing the working directory. False when the folder is
// not there or cannot begin a line, when there are more than kMaxScriptFrames
// frames, when the file cannot be created or a write fails.
bool writeScript(const std::string& folder, PlaybackStyle style, std::int32_t totalFrames, bool png = false);

// The Script dialog's choice: one of three directions, and looping.
enum class PlaybackDirection { Forwards, Reverse, PingPong };
struct PlaybackChoice {
    PlaybackDirection direction = PlaybackDirection::Forwards;
    bool looping = false;
};

// What the dialog shows for a stored style: Forwards if its bit is set, else
// Reverse if its bit is set, else Ping-Pong; Looping from its bit.
PlaybackChoice playbackChoiceOf(PlaybackStyle style);

// The byte the dialog stores: 1, 2 or 4, plus 8 for looping.
PlaybackStyle storePlaybackStyle(const PlaybackChoice& choice);

// The document's script: its frames folder, its playback style, and every frame
// of the animation whatever range was rendered last (PNG files when its frames
// are smoothly coloured).
bool writeScript(const Document& doc);

}  // namespace velmora
