#include "export/PngDocumentChunk.h"

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstring>
#include <string_view>

#include <png.h>

#include "export/Base64.h"
#include "export/PngWriter.h"
#include "base/FileErrors.h"
#include "base/FileIO.h"

namespace velmora {
namespace {

constexpr png_alloc_size_t kMaxChunkBytes = kMaxPngChunkBytes;

[[noreturn]] void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onWarning(png_structp, png_const_charp) {}

// Watches the bytes as libpng takes them and stops at a chunk header whose
// length is beyond the limit, before libpng allocates room for its data (the
// library's own limit does not cover every chunk).
class ChunkGuard {
public:
    void pass(png_structp png, const std::uint8_t* data, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i, ++m_pos) {
            if (m_pos < m_header || m_pos >= m_header + 4) continue;
            m_length = m_length << 8 | data[i];
            if (m_pos + 1 < m_header + 4) continue;
            if (m_length > kMaxChunkBytes) png_error(png, "chunk too large");
            m_header += 12 + m_length;  // length, type, data, CRC
            m_length = 0;
        }
    }

private:
    std::uint64_t m_pos = 0;
    std::uint64_t m_header = 8;  // after the signature
    std::uint64_t m_length = 0;
};

struct MemoryInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
    ChunkGuard guard;
};

struct FileInput {
    FileReader& reader;
    ChunkGuard guard;
};

void readMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* in = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (n > in->size - in->pos) png_error(png, "truncated");
    std::memcpy(out, in->data + in->pos, n);
    in->pos += n;
    in->guard.pass(png, out, n);
}

void readFile(png_structp png, png_bytep out, png_size_t n) {
    auto* in = static_cast<FileInput*>(png_get_io_ptr(png));
    if (!in->reader.bytes(out, n)) png_error(png, "truncated");
    in->guard.pass(png, out, n);
}

// Only the chunks before the pixels: the document is written ahead of them.
bool readInfo(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    return true;
}

PngDocumentResult parseWith(png_rw_ptr reader, void* io, DocumentContents& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    PngDocumentResult result = PngDocumentResult::NotPng;
    if (info != nullptr) {
        png_set_read_fn(png, io, reader);
        png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);  // the size is never allocated here
        png_set_chunk_malloc_max(png, kMaxChunkBytes);
        // Other programs' text chunks may come before ours, any number of them
        // (libpng keeps only the first 1000 by default); each stays bounded above.
        png_set_chunk_cache_max(png, 0);
        // A damaged chunk is a damaged file, not one without a document.
        png_set_crc_action(png, PNG_CRC_DEFAULT, PNG_CRC_ERROR_QUIT);
        if (readInfo(png, info)) {
            result = PngDocumentResult::NoDocument;
            png_textp texts = nullptr;
            const int count = png_get_text(png, info, &texts, nullptr);
            for (int i = 0; i < count; ++i) {
                if (std::strcmp(texts[i].key, kPngDocumentKeyword) != 0) continue;
                const std::size_t length =
                    texts[i].compression >= PNG_ITXT_COMPRESSION_NONE ? texts[i].itxt_length : texts[i].text_length;
                const auto bytes = base64Decode(std::string_view(texts[i].text, length));
                result = bytes && parseDocument(bytes->data(), bytes->size(), out) ? PngDocumentResult::Loaded
                                                                                     : PngDocumentResult::BadDocument;
                break;
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return result;
}

}  // namespace

PngDocumentResult parsePngDocument(const std::uint8_t* data, std::size_t size, DocumentContents& out) {
    MemoryInput in{data, size, 0, {}};
    return parseWith(readMemory, &in, out);
}

PngDocumentResult readPngDocument(const std::string& path, DocumentContents& out, std::string& message) {
    FileReader reader;
    std::error_code cause;
    if (!reader.open(path, cause)) {
        message = fileErrorMessage(path, cause, FileOp::Read);
        return PngDocumentResult::NotOpened;
    }
    FileInput in{reader, {}};
    const PngDocumentResult r = parseWith(readFile, &in, out);
    if (reader.error()) {
        message = fileErrorMessage(path, reader.error(), FileOp::Read);
        return PngDocumentResult::NotOpened;
    }
    switch (r) {
        case PngDocumentResult::NotPng:
            message = path + " is not a readable PNG file.";
            break;
        case PngDocumentResult::NoDocument:
            message = path + " holds no Velmora document (it was not exported by Velmora).";
            break;
        case PngDocumentResult::BadDocument:
            message = path + " holds a damaged Velmora document.";
            break;
        default:
            break;
    }
    return r;
}

bool isPngPath(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".png";
}

}  // namespace velmora
