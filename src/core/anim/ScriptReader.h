#pragma once
// Reads a playback script (script.aas): frame paths one per line in playing
// order, optionally closed by a "Loop N" line. The player trusts nothing in the
// file: any bytes are accepted, and what is kept is capped so that a huge or
// hostile file can neither crash it nor exhaust memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace velmora {

struct PlayScript {
    std::vector<std::string> frames;  // in playing order, exactly as written
    // How many times the whole list plays: 1 without a "Loop" line; "Loop N"
    // with N below 1 also plays once.
    std::uint32_t loopCount = 1;
    // Lines that cannot name a file (too long, or holding a NUL byte); they are
    // left out of the list.
    std::size_t skippedLines = 0;
    // True when the file went beyond what is kept; the list holds its start.
    bool truncated = false;
};

// Limits on what a script may make the player hold.
inline constexpr std::size_t kMaxScriptLineBytes = 4096;  // longest path the platform opens
inline constexpr std::uint32_t kMaxLoopCount = 2147483647u;

struct ScriptLimits {
    std::size_t maxFrames = 1000000;
    std::size_t maxPathBytes = 64u * 1024u * 1024u;  // all kept paths together
    std::uint64_t maxFileBytes = 512u * 1024u * 1024u;  // read no further
    // Bytes of lines that name no frame (too long, a NUL, blank). A script the
    // program writes has one empty line at most, so a file with more than
    // this is not read on to the end before it is refused.
    std::uint64_t maxIgnoredBytes = 1024u * 1024u;
};

// Builds the script from bytes fed in pieces of any size, so a file is read in
// chunks and never held whole.
class ScriptParser {
public:
    explicit ScriptParser(const ScriptLimits& limits = {}) : m_limits(limits) {}
    void feed(std::string_view bytes);
    // True once the caps are reached; feeding more changes nothing.
    bool full() const { return m_script.truncated; }
    // Takes the last line into account and hands over the result.
    PlayScript finish();

private:
    void endLine();

    ScriptLimits m_limits;
    PlayScript m_script;
    std::string m_line;
    bool m_lineTooLong = false;
    bool m_firstLine = true;
    std::size_t m_keptBytes = 0;
    std::uint64_t m_fedBytes = 0;
    std::uint64_t m_ignoredBytes = 0;
};

PlayScript parseScript(std::string_view bytes);

// "Loop N" with blanks around N allowed, N an optionally signed decimal whose
// value saturates instead of wrapping. False for any other line.
bool parseLoopLine(std::string_view line, long long& value);

// Reads the script file in chunks. False with the platform's cause when it
// cannot be opened or read.
bool readScriptFile(const std::string& path, PlayScript& out, std::error_code& cause,
                    const ScriptLimits& limits = {});

// A script for a folder of frames: its frameN.bmp and frameN.png files in the
// order of N, or, without such names, its .bmp and .png files in name order;
// as many as the limits keep. False with the cause when the folder cannot be
// read.
bool scriptOfFolder(const std::string& folder, PlayScript& out, std::error_code& cause,
                    const ScriptLimits& limits = {});

}  // namespace velmora
