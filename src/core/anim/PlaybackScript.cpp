#include "anim/PlaybackScript.h"

#include <filesystem>
#include <functional>

#include "base/FileIO.h"
#include "model/Document.h"

namespace velmora {
namespace {

using Sink = std::function<bool(const std::string&)>;

// Produces the script piece by piece, so a long animation never needs its whole
// script in memory at once.
bool emitScript(const std::string& folder, PlaybackStyle style, std::int32_t total, bool png, const Sink& sink) {
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
    const bool forwards = hasFlag(style, PlaybackStyle::Forwards) || hasFlag(style, PlaybackStyle::PingPong);
    const bool reverse = hasFlag(style, PlaybackStyle::Reverse) || hasFlag(style, PlaybackStyle::PingPong);
    // No direction bit at all (a damaged file): Forwards, the default, never an empty script.
    if (forwards || !reverse) {
        for (std::int64_t n = 1; n <= total; ++n) {
            if (!line(framePath(folder, n, png))) return false;
        }
    }
    if (reverse) {
        // Every reverse line has its line feed before it, also as the first line.
        first = false;
        for (std::int64_t n = total; n >= 1; --n) {
            if (!line(framePath(folder, n, png))) return false;
        }
    }
    if (hasFlag(style, PlaybackStyle::Looping)) {
        first = false;
        if (!line("Loop 1000")) return false;
    }
    return buffer.empty() || sink(buffer);
}

}  // namespace

std::string framePath(const std::string& folder, std::int64_t frame, bool png) {
    return folder + "frame" + std::to_string(frame) + (png ? ".png" : ".bmp");
}

std::string scriptPath(const std::string& folder) { return folder + kScriptFileName; }

bool folderFitsScriptLines(const std::string& folder) { return folder.find_first_of("\n\r") == std::string::npos; }

std::string scriptText(const std::string& folder, PlaybackStyle style, std::int32_t totalFrames, bool png) {
    std::string text;
    emitScript(folder, style, totalFrames, png, [&](const std::string& piece) {
        text += piece;
        return true;
    });
    return text;
}

bool writeScript(const std::string& folder, PlaybackStyle style, std::int32_t totalFrames, bool png) {
    std::error_code ec;
    if (totalFrames > kMaxScriptFrames || !folderFitsScriptLines(folder)) return false;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return false;
    // Written whole under another name and renamed over the old script, so
    // renders of several ranges into one folder at once never mix their bytes
    // and an interrupted write leaves the old script.
    const ByteProducer produce = [&](const ByteSink& sink) {
        return emitScript(folder, style, totalFrames, png, [&](const std::string& piece) {
            return sink(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size());
        });
    };
    return writeFileSafely(scriptPath(folder), produce, ec) == WriteResult::Ok;
}

PlaybackChoice playbackChoiceOf(PlaybackStyle style) {
    PlaybackChoice c;
    if (hasFlag(style, PlaybackStyle::Forwards)) {
        c.direction = PlaybackDirection::Forwards;
    } else if (hasFlag(style, PlaybackStyle::Reverse)) {
        c.direction = PlaybackDirection::Reverse;
    } else {
        c.direction = PlaybackDirection::PingPong;
    }
    c.looping = hasFlag(style, PlaybackStyle::Looping);
    return c;
}

PlaybackStyle storePlaybackStyle(const PlaybackChoice& c) {
    PlaybackStyle style = c.direction == PlaybackDirection::Forwards  ? PlaybackStyle::Forwards
                          : c.direction == PlaybackDirection::Reverse ? PlaybackStyle::Reverse
                                                                      : PlaybackStyle::PingPong;
    if (c.looping) style = style | PlaybackStyle::Looping;
    return style;
}

bool writeScript(const Document& doc) {
    return writeScript(doc.animation().destFolder, doc.animation().playbackStyle, doc.totalFrames(),
                       doc.animation().smooth);
}

}  // namespace velmora
