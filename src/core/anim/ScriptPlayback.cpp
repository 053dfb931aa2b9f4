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
    m_finished = empty();
}

std::uint64_t ScriptPlayback::last() const {
    return empty() ? 0 : static_cast<std::uint64_t>(m_frameCount) * m_loopCount - 1;
}

std::size_t ScriptPlayback::frame() const {
    return empty() ? 0 : static_cast<std::size_t>(m_position % m_frameCount);
}

std::uint32_t ScriptPlayback::pass() const {
    return empty() ? 0 : static_cast<std::uint32_t>(m_position / m_frameCount);
}

bool ScriptPlayback::tick() {
    if (!running()) return false;
    if (m_position >= last()) {
        if (m_looping && m_position > 0) {
            m_position = 0;
            return true;
        }
        m_finished = true;
        return false;
    }
    ++m_position;
    return true;
}

bool ScriptPlayback::seek(std::size_t entry) {
    if (empty()) return false;
    const std::uint64_t target =
        static_cast<std::uint64_t>(pass()) * m_frameCount + std::min(entry, m_frameCount - 1);
    const bool moved = target != m_position;
    m_position = target;
    m_finished = false;
    return moved;
}

void ScriptPlayback::setLooping(bool looping) {
    m_looping = looping;
    // A finished script plays on when looping is switched on while it runs.
    if (looping && m_finished && !empty() && !m_paused) restart();
}

bool ScriptPlayback::stepForward() {
    m_paused = true;
    if (empty() || m_position >= last()) return false;
    ++m_position;
    m_finished = false;
    return true;
}

bool ScriptPlayback::stepBack() {
    m_paused = true;
    if (empty() || m_position == 0) return false;
    --m_position;
    m_finished = false;
    return true;
}

void ScriptPlayback::togglePause() {
    if (empty()) return;
    if (m_finished) {
        // Playing a finished script plays it again from the start.
        restart();
        return;
    }
    m_paused = !m_paused;
}

void ScriptPlayback::restart() {
    m_position = 0;
    m_paused = false;
    m_finished = empty();
}

void ScriptPlayback::setFps(int fps) { m_fps = std::clamp(fps, kMinFps, kMaxFps); }

void ScriptPlayback::faster() {
    const auto next = std::upper_bound(kSpeedSteps.begin(), kSpeedSteps.end(), m_fps);
    setFps(next == kSpeedSteps.end() ? kMaxFps : *next);
}

void ScriptPlayback::slower() {
    const auto below = std::lower_bound(kSpeedSteps.begin(), kSpeedSteps.end(), m_fps);
    setFps(below == kSpeedSteps.begin() ? kMinFps : *(below - 1));
}

int ScriptPlayback::intervalMs() const { return (1000 + m_fps / 2) / m_fps; }

std::string playbackTitle(const std::string& scriptName, const ScriptPlayback& playback) {
    std::string title = scriptName + " - ";
    if (playback.empty()) {
        title += "no frames";
    } else {
        title += std::to_string(playback.frame() + 1) + "/" + std::to_string(playback.frameCount());
        if (playback.loopCount() > 1)
            title += ", pass " + std::to_string(playback.pass() + 1) + "/" + std::to_string(playback.loopCount());
        title += " - " + std::to_string(playback.fps()) + " fps";
        if (playback.finished())
            title += " - Finished";
        else if (playback.paused())
            title += " - Paused";
    }
    return title + " - ZEDoz";
}

FrameFileState checkFrameFile(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return FrameFileState::Missing;
    if (!std::filesystem::is_regular_file(status)) return FrameFileState::NotAFile;
    return FrameFileState::Present;
}

const char* frameFileStateReason(FrameFileState state) {
    switch (state) {
        case FrameFileState::Missing: return "The file does not exist.";
        case FrameFileState::NotAFile: return "This is not a file.";
        case FrameFileState::Present: break;
    }
    return "";
}

std::string frameProblemText(std::size_t entry, const std::string& path, const std::string& reason) {
    return "Cannot show frame " + std::to_string(entry + 1) + ":\n" + path + "\n" + reason;
}

WindowSize fitWindowSize(int frameWidth, int frameHeight, int availWidth, int availHeight) {
    double w = std::max(frameWidth, 1);
    double h = std::max(frameHeight, 1);
    const double fit = std::min({1.0, availWidth > 0 ? availWidth / w : 1.0, availHeight > 0 ? availHeight / h : 1.0});
    w *= fit;
    h *= fit;
    return {std::max(kMinWindowSide, static_cast<int>(w)), std::max(kMinWindowSide, static_cast<int>(h))};
}

}  // namespace velmora
