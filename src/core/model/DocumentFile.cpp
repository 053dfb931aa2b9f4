#include "model/DocumentFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "base/LittleEndian.h"
#include "model/ExactBlock.h"
#include "base/FileIO.h"

namespace velmora {
namespace {

constexpr char kSignature[5] = {'V', 'M', 'R', '1', '0'};

void putPalette(std::vector<std::uint8_t>& out, const Palette& p) {
    le::putBytes(out, p.bytes(), Palette::kBytes);
}

void putKeyframe(std::vector<std::uint8_t>& out, const Keyframe& k) {
    le::putU8(out, 1);
    // The file keeps the region as left, top, right, bottom, unlike the record.
    le::putDouble(out, k.left);
    le::putDouble(out, k.top);
    le::putDouble(out, k.right);
    le::putDouble(out, k.bottom);
    le::putDouble(out, k.cReal);
    le::putDouble(out, k.cImag);
    le::putI32(out, k.type);
    le::putI32(out, k.iterations);
    le::putI32(out, k.transitions);
    putPalette(out, k.palette);
}

bool readKeyframe(le::Reader& in, Keyframe& k) {
    return in.float64(k.left) && in.float64(k.top) && in.float64(k.right) && in.float64(k.bottom) &&
           in.float64(k.cReal) && in.float64(k.cImag) && in.I32(k.type) && in.I32(k.iterations) &&
           in.I32(k.transitions) && in.bytes(k.palette.bytes(), Palette::kBytes);
}

}  // namespace

std::vector<std::uint8_t> serializeContents(const DocumentContents& c) {
    std::vector<std::uint8_t> out;
    out.reserve(kDocumentHeaderSize + 1 + c.keyframes.size() * kKeyframeRecordSize);
    le::putBytes(out, reinterpret_cast<const std::uint8_t*>(kSignature), sizeof kSignature);
    le::putDouble(out, c.params.left);
    le::putDouble(out, c.params.top);
    le::putDouble(out, c.params.right);
    le::putDouble(out, c.params.bottom);
    // Bits 31..1 the limit, bit 0 set for Julia. Shifted as unsigned so a
    // negative limit packs without undefined behaviour.
    const std::uint32_t packed = (static_cast<std::uint32_t>(c.params.iterations) << 1) |
                                 (c.params.type == FractalType::Julia ? 1u : 0u);
    le::putU32(out, packed);
    le::putDouble(out, c.params.cReal);
    le::putDouble(out, c.params.cImag);
    le::putI32(out, c.params.width);
    le::putI32(out, c.params.height);
    le::putU8(out, static_cast<std::uint8_t>(c.animation.playbackStyle));
    putPalette(out, c.palette);
    le::putU8(out, static_cast<std::uint8_t>(c.animation.tweenStyle));
    le::putI32(out, c.animation.width);
    le::putI32(out, c.animation.height);
    std::uint8_t folder[kFolderFieldSize] = {};
    std::memcpy(folder, c.animation.destFolder.data(), std::min(c.animation.destFolder.size(), kFolderFieldSize - 1));
    le::putBytes(out, folder, kFolderFieldSize);
    for (const Keyframe& k : c.keyframes) putKeyframe(out, k);
    le::putU8(out, 0);
    appendExactBlock(out, c);
    appendColourBlock(out, c);
    return out;
}

std::string checkDocumentStorable(const DocumentContents& doc) {
    const std::int32_t it = doc.params.iterations;
    if (it > kMaxStorableIterations || it < kMinStorableIterations) {
        return "The Detail Level is too large to be saved in a Velmora file. "
               "Choose a Detail Level of at most 1073741822.";
    }
    const std::size_t len = doc.animation.destFolder.find('\0') == std::string::npos
                                ? doc.animation.destFolder.size()
                                : doc.animation.destFolder.find('\0');
    if (len >= kFolderFieldSize) {
        return "The animation folder name is too long to be saved in a Velmora file. "
               "Choose a folder name of at most 255 characters.";
    }
    return {};
}

namespace {

// Reads the file in its own order from any source with Bytes(out, n): the
// signature before anything else, then the fixed header, then one record per
// marker up to the terminator, then the blocks that may follow.
template <typename source>
bool parseFrom(source& in, DocumentContents& c) {
    std::uint8_t head[kDocumentHeaderSize];
    if (!in.bytes(head, sizeof kSignature) || std::memcmp(head, kSignature, sizeof kSignature) != 0) return false;
    if (!in.bytes(head + sizeof kSignature, kDocumentHeaderSize - sizeof kSignature)) return false;
    le::Reader h(head + sizeof kSignature, kDocumentHeaderSize - sizeof kSignature);
    std::int32_t packed = 0;
    std::uint8_t playback = 0;
    std::uint8_t tween = 0;
    std::uint8_t folder[kFolderFieldSize];
    if (!(h.float64(c.params.left) && h.float64(c.params.top) && h.float64(c.params.right) &&
          h.float64(c.params.bottom) && h.I32(packed) && h.float64(c.params.cReal) && h.float64(c.params.cImag) &&
          h.I32(c.params.width) && h.I32(c.params.height) && h.U8(playback) &&
          h.bytes(c.palette.bytes(), Palette::kBytes) && h.U8(tween) && h.I32(c.animation.width) &&
          h.I32(c.animation.height) && h.bytes(folder, kFolderFieldSize))) {
        return false;
    }
    c.params.type = (packed & 1) != 0 ? FractalType::Julia : FractalType::Mandelbrot;
    c.params.iterations = packed >> 1;  // arithmetic: the sign bit is copied
    c.animation.playbackStyle = static_cast<PlaybackStyle>(playback);
    c.animation.tweenStyle = static_cast<TweenStyle>(tween);
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(folder, 0, kFolderFieldSize));
    c.animation.destFolder.assign(reinterpret_cast<const char*>(folder),
                        end != nullptr ? static_cast<std::size_t>(end - folder) : kFolderFieldSize);
    c.keyframes.clear();
    std::uint8_t record[kKeyframeRecordSize];
    for (;;) {
        if (!in.bytes(record, 1)) return false;
        if (record[0] == 0) break;  // any non-zero marker introduces a record
        // The document counts its keyframes in 32 bits: more is not a document.
        if (c.keyframes.size() >= static_cast<std::size_t>(INT32_MAX)) return false;
        if (!in.bytes(record, kKeyframeRecordSize - 1)) return false;
        le::Reader r(record, kKeyframeRecordSize - 1);
        Keyframe k;
        if (!readKeyframe(r, k)) return false;
        c.keyframes.push_back(k);
    }
    readExtensionBlocks(in, c);
    return true;
}

}  // namespace

bool parseDocument(const std::uint8_t* data, std::size_t size, DocumentContents& c) {
    le::Reader in(data, size);
    return parseFrom(in, c);
}

DocumentReadResult readDocumentFile(const std::string& path, DocumentContents& c, std::error_code& cause) {
    FileReader in;
    if (!in.open(path, cause)) return DocumentReadResult::NotOpened;
    bool parsed = false;
    try {
        parsed = parseFrom(in, c);
    } catch (const std::bad_alloc&) {
        // Only a huge run of keyframe records gets here.
        cause = std::make_error_code(std::errc::not_enough_memory);
        return DocumentReadResult::ReadError;
    }
    if (in.error()) {
        cause = in.error();
        return DocumentReadResult::ReadError;
    }
    if (parsed) return DocumentReadResult::Loaded;
    return in.consumed() == 0 ? DocumentReadResult::Empty : DocumentReadResult::BadFormat;
}

}  // namespace velmora
