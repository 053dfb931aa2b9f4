#pragma once
// Opening the document a PNG carries in place of the current one.
#include <string>

namespace velmora {

class Document;
class Host;
struct DocumentContents;

// Reads the document a PNG carries as loadDocumentContents reads a file: a
// PNG without a readable document is reported through the host (false), and
// a damaged exact-values block is warned of.
bool loadPngContents(const std::string& path, DocumentContents& out, Host& host);

// As Open does for a document file, except that the document keeps no path
// (its title is the picture's name), so that Save asks where to put it instead
// of writing over the picture. A PNG without a readable document is reported
// through the document's host and changes nothing; returns false then.
bool openPngDocument(Document& doc, const std::string& path);

}  // namespace velmora
