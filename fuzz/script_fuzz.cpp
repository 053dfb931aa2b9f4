// Any bytes as a playback script: read whole and read in pieces of sizes taken
// from the input, the two must agree, and what is kept stays within the caps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "anim/ScriptReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const PlayScript whole = parseScript(bytes);

    // Small caps, so the fuzzer reaches them.
    ScriptLimits limits;
    limits.maxFrames = 16;
    limits.maxPathBytes = 512;
    limits.maxFileBytes = 2048;
    ScriptParser small(limits);
    ScriptParser pieces;
    std::size_t at = 0;
    while (at < size) {
        const std::size_t n = 1 + data[at] % 97;  // piece sizes vary with the input
        const std::string_view piece = bytes.substr(at, n);
        small.feed(piece);
        pieces.feed(piece);
        at += piece.size();
    }
    const PlayScript capped = small.finish();
    const PlayScript chunked = pieces.finish();
    if (chunked.frames != whole.frames || chunked.loopCount != whole.loopCount ||
        chunked.skippedLines != whole.skippedLines || chunked.truncated != whole.truncated) {
        std::abort();
    }
    std::size_t kept = 0;
    for (const auto& f : capped.frames) kept += f.size();
    if (capped.frames.size() > limits.maxFrames || kept > limits.maxPathBytes) std::abort();
    for (const PlayScript* s : {&whole, &capped}) {
        if (s->loopCount < 1 || s->loopCount > kMaxLoopCount) std::abort();
        for (const auto& f : s->frames) {
            if (f.size() > kMaxScriptLineBytes || f.find('\n') != std::string::npos ||
                f.find('\0') != std::string::npos) {
                std::abort();
            }
        }
    }
    long long loops = 0;
    parseLoopLine(bytes.substr(0, 64), loops);
    return 0;
}
