#pragma once
// Where the player stands in a script: which entry shows, which pass of the
// loop count runs, paused or not, and how fast. Pure bookkeeping so that the
// window only paints and forwards keys and timer ticks.
#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora {

inline constexpr int kDefaultFps = 15;
inline constexpr int kMinFps = 1;
inline constexpr int kMaxFps = 60;

class ScriptPlayback {
public:
    ScriptPlayback(std::size_t frameCount, std::uint32_t loopCount);

    std::size_t frameCount() const { return m_frameCount; }
    std::uint32_t loopCount() const { return m_loopCount; }
    bool empty() const { return m_frameCount == 0; }

    // Index into the script's frame list of the entry on show.
    std::size_t frame() const;
    // 0-based pass over the list.
    std::uint32_t pass() const;
    // True once the last entry of the last pass has had its time.
    bool finished() const { return m_finished; }
    bool paused() const { return m_paused; }
    bool running() const { return !m_paused && !m_finished && !empty(); }

    // One timer tick: the next entry, or Finished at the very end. True when
    // the entry on show changed.
    bool tick();
    // Manual stepping pauses and moves one entry, across passes; it stops at
    // either end. True when the entry on show changed.
    bool stepForward();
    bool stepBack();
    void togglePause();
    void restart();
    // Moves to an entry of the list within the current pass (the position
    // slider); clamped to the list. True when the entry on show changed.
    bool seek(std::size_t entry);
    // Looping plays the whole script again from its start instead of
    // finishing, for as long as it is on.
    bool looping() const { return m_looping; }
    void setLooping(bool looping);

    int fps() const { return m_fps; }
    void setFps(int fps);
    void faster();
    void slower();
    // Time between ticks at the current speed, in milliseconds.
    int intervalMs() const;

private:
    std::uint64_t last() const;

    std::size_t m_frameCount;
    std::uint32_t m_loopCount;
    std::uint64_t m_position = 0;  // pass * frameCount + frame
    bool m_finished = false;
    bool m_paused = false;
    bool m_looping = false;
    int m_fps = kDefaultFps;
};

// "script.aas - 3/10, pass 1/2 - 15 fps - Paused - ZEDoz"
std::string playbackTitle(const std::string& scriptName, const ScriptPlayback& playback);

// Why a frame file cannot be shown, judged without decoding it.
enum class FrameFileState { Present, Missing, NotAFile };
FrameFileState checkFrameFile(const std::string& path);

// The text drawn in place of a frame that cannot be shown.
std::string frameProblemText(std::size_t entry, const std::string& path, const std::string& reason);
const char* frameFileStateReason(FrameFileState state);

struct WindowSize {
    int width;
    int height;
};
// The window's drawing area for a first frame of the given size: the frame's
// own size, shrunk with its proportions to fit the available area, and never
// smaller than a usable minimum.
WindowSize fitWindowSize(int frameWidth, int frameHeight, int availWidth, int availHeight);
inline constexpr int kMinWindowSide = 120;

}  // namespace velmora
