#pragma once
// A document from the JSON text velmora-cli info prints, so a document can be
// kept, diffed and edited as text and made again byte for byte.
#include <string>

#include "model/DocumentFile.h"

namespace velmora::cli {

// Lays the text's fields over `c` (a field not given keeps c's value). False,
// with the reason in `error`, when the text is not JSON or a field has the
// wrong kind of value or lies out of its range.
bool contentsFromJson(const std::string& text, DocumentContents& c, std::string& error);

// The same from a file, read up to a bound far above any document's text.
bool contentsFromJsonFile(const std::string& path, DocumentContents& c, std::string& error);

}  // namespace velmora::cli
