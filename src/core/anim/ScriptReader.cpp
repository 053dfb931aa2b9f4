#include "anim/ScriptReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <memory>

#include <unistd.h>

#include "base/FileIO.h"

namespace velmora {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return isBlank(c) || c == '\r'; });
}

std::uint32_t loopCountFrom(long long value) {
    if (value < 1) return 1;
    return value > static_cast<long long>(kMaxLoopCount) ? kMaxLoopCount : static_cast<std::uint32_t>(value);
}

}  // namespace

bool parseLoopLine(std::string_view line, long long& value) {
    static constexpr std::string_view kKeyword = "Loop";
    if (line.substr(0, kKeyword.size()) != kKeyword) return false;
    std::size_t i = kKeyword.size();
    if (i >= line.size() || !isBlank(line[i])) return false;
    while (i < line.size() && isBlank(line[i])) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    const std::size_t firstDigit = i;
    // Saturate one past the largest count kept, so huge numbers stay huge
    // instead of wrapping into small or negative ones.
    constexpr long long kCeiling = static_cast<long long>(kMaxLoopCount) + 1;
    long long magnitude = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        magnitude = std::min(kCeiling, magnitude * 10 + (line[i] - '0'));
        ++i;
    }
    if (i == firstDigit) return false;
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i != line.size()) return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

void ScriptParser::feed(std::string_view bytes) {
    while (!bytes.empty() && !m_script.truncated) {
        if (m_fedBytes >= m_limits.maxFileBytes || m_ignoredBytes > m_limits.maxIgnoredBytes) {
            // The pending line is cut short: it would name the wrong file.
            m_script.truncated = true;
            m_line.clear();
            m_lineTooLong = false;
            return;
        }
        const std::size_t room = static_cast<std::size_t>(
            std::min<std::uint64_t>(bytes.size(), m_limits.maxFileBytes - m_fedBytes));
        const std::string_view piece = bytes.substr(0, room);
        const std::size_t lf = piece.find('\n');
        const std::string_view text = piece.substr(0, lf);
        // One byte beyond the limit is kept for a CR that may end the line.
        if (!m_lineTooLong) {
            if (m_line.size() + text.size() <= kMaxScriptLineBytes + 1)
                m_line.append(text);
            else
                m_lineTooLong = true;
        }
        const std::size_t used = lf == std::string_view::npos ? piece.size() : lf + 1;
        m_fedBytes += used;
        if (m_lineTooLong) m_ignoredBytes += used;  // counted as it streams: such a line may never end
        bytes.remove_prefix(used);
        if (lf != std::string_view::npos) endLine();
    }
}

void ScriptParser::endLine() {
    std::string_view line = m_line;
    if (m_firstLine && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);  // UTF-8 mark
    m_firstLine = false;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    long long loops = 0;
    if (m_lineTooLong || line.size() > kMaxScriptLineBytes || line.find('\0') != std::string_view::npos) {
        ++m_script.skippedLines;
        if (!m_lineTooLong) m_ignoredBytes += line.size() + 1;
    } else if (isBlankLine(line)) {
        // Reverse scripts open with an empty line; blank lines are no frames.
        m_ignoredBytes += line.size() + 1;
    } else if (parseLoopLine(line, loops)) {
        m_script.loopCount = loopCountFrom(loops);
    } else if (m_script.frames.size() >= m_limits.maxFrames || m_keptBytes + line.size() > m_limits.maxPathBytes) {
        m_script.truncated = true;
    } else {
        m_script.frames.emplace_back(line);
        m_keptBytes += line.size();
    }
    m_line.clear();
    m_lineTooLong = false;
}

PlayScript ScriptParser::finish() {
    if (!m_script.truncated && (!m_line.empty() || m_lineTooLong)) endLine();
    m_line.clear();
    m_lineTooLong = false;
    return std::move(m_script);
}

PlayScript parseScript(std::string_view bytes) {
    ScriptParser parser;
    parser.feed(bytes);
    return parser.finish();
}

bool scriptOfFolder(const std::string& folder, PlayScript& out, std::error_code& cause, const ScriptLimits& limits) {
    namespace fs = std::filesystem;
    std::vector<std::pair<unsigned long long, std::string>> numbered;
    std::vector<std::string> pictures;
    fs::directory_iterator it(folder, cause);
    if (cause) return false;
    for (; it != fs::directory_iterator(); it.increment(cause)) {
        if (cause) return false;
        std::error_code ignored;
        if (!it->is_regular_file(ignored)) continue;
        const std::string name = it->path().filename().string();
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        const bool picture = lower.size() > 4 && (lower.ends_with(".bmp") || lower.ends_with(".png"));
        if (!picture) continue;
        pictures.push_back(it->path().string());
        const std::string digits = lower.substr(5, lower.size() - 9);
        if (lower.starts_with("frame") && !digits.empty() && digits.size() <= 18 &&
            std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            numbered.emplace_back(std::stoull(digits), it->path().string());
    }
    std::sort(numbered.begin(), numbered.end());
    std::sort(pictures.begin(), pictures.end());
    out = PlayScript{};
    if (!numbered.empty()) {
        pictures.clear();
        for (auto& [n, path] : numbered) pictures.push_back(std::move(path));
    }
    for (std::string& path : pictures) {
        if (out.frames.size() >= limits.maxFrames) {
            out.truncated = true;
            break;
        }
        out.frames.push_back(std::move(path));
    }
    return true;
}

bool readScriptFile(const std::string& path, PlayScript& out, std::error_code& cause,
                    const ScriptLimits& limits) {
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    // Regular files only: a FIFO or a device named as the script would hang the player.
    const int fd = openRegularFile(path, cause);
    if (fd < 0) return false;
    errno = 0;
    std::unique_ptr<std::FILE, Closer> file(::fdopen(fd, "rb"));
    if (!file) {
        cause = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
        ::close(fd);
        return false;
    }
    ScriptParser parser(limits);
    char chunk[65536];
    while (!parser.full()) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        parser.feed(std::string_view(chunk, got));
        if (got < sizeof chunk) break;
    }
    if (std::ferror(file.get())) {
        cause = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
        return false;
    }
    out = parser.finish();
    cause.clear();
    return true;
}

}  // namespace velmora
