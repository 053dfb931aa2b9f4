#pragma once
// Opening the document a PNG carries in place of the current one.
#include <string>

namespace velmora {

class Document;

// As Open does for a document file, except that the document keeps no path
// (its title is the picture's name), so that Save asks where to put it instead
// of writing over the picture. A PNG without a readable document is reported
// through the document's host and changes nothing; returns false then.
bool openPngDocument(Document& doc, const std::string& path);

}  // namespace velmora
