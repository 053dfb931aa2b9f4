#pragma once
// The .vmr byte layout: "VMR10", the header fields, keyframe records each
// introduced by a non-zero marker, a terminating 0, and, for locations that
// hold more than doubles, the exact values' block.
#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "location/FractalParams.h"
#include "palette/Palette.h"
#include "render/SmoothColour.h"

namespace velmora {

inline constexpr std::size_t kDocumentHeaderSize = 1355;
inline constexpr std::size_t kKeyframeRecordSize = 1085;
inline constexpr std::size_t kFolderFieldSize = 256;

// The largest and smallest iteration limits the packed header field holds.
inline constexpr std::int32_t kMaxStorableIterations = 1073741823;
inline constexpr std::int32_t kMinStorableIterations = -1073741824;

// How an animation of the keyframes is rendered and played.
struct AnimationSettings {
    TweenStyle tweenStyle = TweenStyle::ConstantSpeed;
    std::string destFolder;
    std::int32_t width = 100;
    std::int32_t height = 100;
    PlaybackStyle playbackStyle = PlaybackStyle::Forwards;
    // Frames smoothly coloured, in true colour (see ColourBlock.h for where it is kept).
    bool smooth = false;
    friend bool operator==(const AnimationSettings&, const AnimationSettings&) = default;
};

// Everything a document file carries.
struct DocumentContents {
    FractalParams params;
    Palette palette;
    AnimationSettings animation;
    std::vector<Keyframe> keyframes;
    // An exact-values block that could not be read: its bytes as they were,
    // written back while every location keeps the doubles it came with
    // (their bits, in `damagedExactFor`), so a save loses nothing.
    std::vector<std::uint8_t> damagedExact = {};
    std::vector<std::uint64_t> damagedExactFor = {};
    // How smooth pictures spread the counts over the palette.
    ColourSpread spread = {};
};

// The file's bytes.
std::vector<std::uint8_t> serializeContents(const DocumentContents& contents);

// Empty when the document can be written without changing any value; else the
// message that says why not.
std::string checkDocumentStorable(const DocumentContents& contents);

// Parses a file image. False on a wrong signature or when the bytes end before
// the terminator; `out` is then unspecified. After the terminator only an
// intact exact-values block is taken (see ExactBlock.h), then an intact
// colouring block (ColourBlock.h); anything else there is ignored.
bool parseDocument(const std::uint8_t* data, std::size_t size, DocumentContents& out);

enum class DocumentReadResult {
    Loaded,
    Empty,      // the file holds no bytes at all
    BadFormat,  // a wrong signature, or the bytes end before the terminator
    NotOpened,  // not a regular file, or it cannot be opened; the cause says why
    ReadError,  // opened, then reading failed; the cause says why
};

// Reads a document file as parseDocument reads bytes, from the file itself:
// only regular files are opened, the signature is checked before anything
// else is read, and reading stops at the terminator or the exact-values block.
DocumentReadResult readDocumentFile(const std::string& path, DocumentContents& out, std::error_code& cause);

}  // namespace velmora
