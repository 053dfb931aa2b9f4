#include "anim/PlaybackScript.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>

#include "model/Document.h"

namespace velmora {
namespace {

using Sink = std::function<bool(const std::string&)>;

// Produces the script piece by piece, so a long animation never needs its whole
// script in memory at once.
bool EmitScript(const std::string& folder, PlaybackStyle style, std::int32_t total, const Sink& sink) {
    constexpr std::size_t kChunk = 64 * 1024;
    std::string buffer;
    bool first = true;
    auto line = [&](const std::string& text) {
        if (!first) buffer += '\n';
        first = false;
        buffer += text;
        if (buffer.size() < kChunk) return true;
        const bool ok = sink(buffer);
        buffer.clear();
        return ok;
    };
    const bool forwards = HasFlag(style, PlaybackStyle::Forwards) || HasFlag(style, PlaybackStyle::PingPong);
    const bool reverse = HasFlag(style, PlaybackStyle::Reverse) || HasFlag(style, PlaybackStyle::PingPong);
    // No direction bit at all (a damaged file): Forwards, the default, never an empty script.
    if (forwards || !reverse) {
        for (std::int64_t n = 1; n <= total; ++n) {
            if (!line(FramePath(folder, n))) return false;
        }
    }
    if (reverse) {
        // Every reverse line has its line feed before it, also as the first line.
        first = false;
        for (std::int64_t n = total; n >= 1; --n) {
            if (!line(FramePath(folder, n))) return false;
        }
    }
    if (HasFlag(style, PlaybackStyle::Looping)) {
        first = false;
        if (!line("Loop 1000")) return false;
    }
    return buffer.empty() || sink(buffer);
}

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};

}  // namespace

std::string FramePath(const std::string& folder, std::int64_t frame) {
    return folder + "frame" + std::to_string(frame) + ".bmp";
}

std::string ScriptPath(const std::string& folder) { return folder + kScriptFileName; }

bool FolderFitsScriptLines(const std::string& folder) { return folder.find_first_of("\n\r") == std::string::npos; }

std::string ScriptText(const std::string& folder, PlaybackStyle style, std::int32_t totalFrames) {
    std::string text;
    EmitScript(folder, style, totalFrames, [&](const std::string& piece) {
        text += piece;
        return true;
    });
    return text;
}

bool WriteScript(const std::string& folder, PlaybackStyle style, std::int32_t totalFrames) {
    std::error_code ec;
    if (totalFrames > kMaxScriptFrames || !FolderFitsScriptLines(folder)) return false;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(ScriptPath(folder).c_str(), "wb"));
    if (!file) return false;
    const bool written = EmitScript(folder, style, totalFrames, [&](const std::string& piece) {
        return std::fwrite(piece.data(), 1, piece.size(), file.get()) == piece.size();
    });
    const bool flushed = written && std::fflush(file.get()) == 0;
    const bool closed = std::fclose(file.release()) == 0;
    return written && flushed && closed;
}

PlaybackChoice PlaybackChoiceOf(PlaybackStyle style) {
    PlaybackChoice c;
    if (HasFlag(style, PlaybackStyle::Forwards)) {
        c.direction = PlaybackDirection::Forwards;
    } else if (HasFlag(style, PlaybackStyle::Reverse)) {
        c.direction = PlaybackDirection::Reverse;
    } else {
        c.direction = PlaybackDirection::PingPong;
    }
    c.looping = HasFlag(style, PlaybackStyle::Looping);
    return c;
}

PlaybackStyle StorePlaybackStyle(const PlaybackChoice& c) {
    PlaybackStyle style = c.direction == PlaybackDirection::Forwards  ? PlaybackStyle::Forwards
                          : c.direction == PlaybackDirection::Reverse ? PlaybackStyle::Reverse
                                                                      : PlaybackStyle::PingPong;
    if (c.looping) style = style | PlaybackStyle::Looping;
    return style;
}

bool WriteScript(const Document& doc) {
    return WriteScript(doc.m_destFolder, doc.m_playbackStyle, doc.GetTotalFrames());
}

}  // namespace velmora
