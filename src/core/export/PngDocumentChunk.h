#pragma once
// Reads the document a PNG carries in its "velmora" iTXt chunk. Any bytes are
// safe to give: libpng checks the structure, and sizes are limited before
// anything large is allocated.
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/DocumentFile.h"

namespace velmora {

enum class PngDocumentResult {
    Loaded,
    NotPng,      // not a PNG, or a damaged one
    NoDocument,  // a PNG without the chunk
    BadDocument, // the chunk holds no readable document
    NotOpened,   // the file cannot be opened or read
};

PngDocumentResult parsePngDocument(const std::uint8_t* data, std::size_t size, DocumentContents& out);
PngDocumentResult readPngDocument(const std::string& path, DocumentContents& out, std::string& message);

// Whether a path names a PNG file, by its extension.
bool isPngPath(const std::string& path);

}  // namespace velmora
