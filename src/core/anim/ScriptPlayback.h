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

    std::size_t FrameCount() const { return m_frameCount; }
    std::uint32_t LoopCount() const { return m_loopCount; }
    bool Empty() const { return m_frameCount == 0; }

    // Index into the script's frame list of the entry on show.
    std::size_t Frame() const;
    // 0-based pass over the list.
    std::uint32_t Pass() const;
    // True once the last entry of the last pass has had its time.
    bool Finished() const { return m_finished; }
    bool Paused() const { return m_paused; }
    bool Running() const { return !m_paused && !m_finished && !Empty(); }

    // One timer tick: the next entry, or Finished at the very end. True when
    // the entry on show changed.
    bool Tick();
    // Manual stepping pauses and moves one entry, across passes; it stops at
    // either end. True when the entry on show changed.
    bool StepForward();
    bool StepBack();
    void TogglePause();
    void Restart();

    int Fps() const { return m_fps; }
    void SetFps(int fps);
    void Faster();
    void Slower();
    // Time between ticks at the current speed, in milliseconds.
    int IntervalMs() const;

private:
    std::uint64_t Last() const;

    std::size_t m_frameCount;
    std::uint32_t m_loopCount;
    std::uint64_t m_position = 0;  // pass * frameCount + frame
    bool m_finished = false;
    bool m_paused = false;
    int m_fps = kDefaultFps;
};

// "script.aas - 3/10, pass 1/2 - 15 fps - Paused - ZEDoz"
std::string PlaybackTitle(const std::string& scriptName, const ScriptPlayback& playback);

// Why a frame file cannot be shown, judged without decoding it.
enum class FrameFileState { Present, Missing, NotAFile };
FrameFileState CheckFrameFile(const std::string& path);

// The text drawn in place of a frame that cannot be shown.
std::string FrameProblemText(std::size_t entry, const std::string& path, const std::string& reason);
const char* FrameFileStateReason(FrameFileState state);

struct WindowSize {
    int width;
    int height;
};
// The window's drawing area for a first frame of the given size: the frame's
// own size, shrunk with its proportions to fit the available area, and never
// smaller than a usable minimum.
WindowSize FitWindowSize(int frameWidth, int frameHeight, int availWidth, int availHeight);
inline constexpr int kMinWindowSide = 120;

}  // namespace velmora
