#include "anim/ScriptPlayback.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace velmora {
namespace {

// The speeds +/- step through: the common film and video rates.
constexpr std::array<int, 16> kSpeedSteps = {1, 2, 3, 4, 5, 6, 8, 10, 12, 15, 20, 24, 30, 40, 50, 60};

}  // namespace

ScriptPlayback::ScriptPlayback(std::size_t frameCount, std::uint32_t loopCount)
    : m_frameCount(frameCount), m_loopCount(std::max<std::uint32_t>(loopCount, 1)) {
    m_finished = Empty();
}

std::uint64_t ScriptPlayback::Last() const {
    return Empty() ? 0 : static_cast<std::uint64_t>(m_frameCount) * m_loopCount - 1;
}

std::size_t ScriptPlayback::Frame() const {
    return Empty() ? 0 : static_cast<std::size_t>(m_position % m_frameCount);
}

std::uint32_t ScriptPlayback::Pass() const {
    return Empty() ? 0 : static_cast<std::uint32_t>(m_position / m_frameCount);
}

bool ScriptPlayback::Tick() {
    if (!Running()) return false;
    if (m_position >= Last()) {
        m_finished = true;
        return false;
    }
    ++m_position;
    return true;
}

bool ScriptPlayback::StepForward() {
    m_paused = true;
    if (Empty() || m_position >= Last()) return false;
    ++m_position;
    m_finished = false;
    return true;
}

bool ScriptPlayback::StepBack() {
    m_paused = true;
    if (Empty() || m_position == 0) return false;
    --m_position;
    m_finished = false;
    return true;
}

void ScriptPlayback::TogglePause() {
    if (Empty()) return;
    if (m_finished) {
        // Playing a finished script plays it again from the start.
        Restart();
        return;
    }
    m_paused = !m_paused;
}

void ScriptPlayback::Restart() {
    m_position = 0;
    m_paused = false;
    m_finished = Empty();
}

void ScriptPlayback::SetFps(int fps) { m_fps = std::clamp(fps, kMinFps, kMaxFps); }

void ScriptPlayback::Faster() {
    const auto next = std::upper_bound(kSpeedSteps.begin(), kSpeedSteps.end(), m_fps);
    SetFps(next == kSpeedSteps.end() ? kMaxFps : *next);
}

void ScriptPlayback::Slower() {
    const auto below = std::lower_bound(kSpeedSteps.begin(), kSpeedSteps.end(), m_fps);
    SetFps(below == kSpeedSteps.begin() ? kMinFps : *(below - 1));
}

int ScriptPlayback::IntervalMs() const { return (1000 + m_fps / 2) / m_fps; }

std::string PlaybackTitle(const std::string& scriptName, const ScriptPlayback& playback) {
    std::string title = scriptName + " - ";
    if (playback.Empty()) {
        title += "no frames";
    } else {
        title += std::to_string(playback.Frame() + 1) + "/" + std::to_string(playback.FrameCount());
        if (playback.LoopCount() > 1)
            title += ", pass " + std::to_string(playback.Pass() + 1) + "/" + std::to_string(playback.LoopCount());
        title += " - " + std::to_string(playback.Fps()) + " fps";
        if (playback.Finished())
            title += " - Finished";
        else if (playback.Paused())
            title += " - Paused";
    }
    return title + " - ZEDoz";
}

FrameFileState CheckFrameFile(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return FrameFileState::Missing;
    if (!std::filesystem::is_regular_file(status)) return FrameFileState::NotAFile;
    return FrameFileState::Present;
}

const char* FrameFileStateReason(FrameFileState state) {
    switch (state) {
        case FrameFileState::Missing: return "The file does not exist.";
        case FrameFileState::NotAFile: return "This is not a file.";
        case FrameFileState::Present: break;
    }
    return "";
}

std::string FrameProblemText(std::size_t entry, const std::string& path, const std::string& reason) {
    return "Cannot show frame " + std::to_string(entry + 1) + ":\n" + path + "\n" + reason;
}

WindowSize FitWindowSize(int frameWidth, int frameHeight, int availWidth, int availHeight) {
    double w = std::max(frameWidth, 1);
    double h = std::max(frameHeight, 1);
    const double fit = std::min({1.0, availWidth > 0 ? availWidth / w : 1.0, availHeight > 0 ? availHeight / h : 1.0});
    w *= fit;
    h *= fit;
    return {std::max(kMinWindowSide, static_cast<int>(w)), std::max(kMinWindowSide, static_cast<int>(h))};
}

}  // namespace velmora
