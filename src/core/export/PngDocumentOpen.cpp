#include "export/PngDocumentOpen.h"

#include <filesystem>

#include "export/PngDocumentChunk.h"
#include "model/Document.h"

namespace velmora {

bool openPngDocument(Document& doc, const std::string& path) {
    DocumentContents contents;
    Message m;
    if (readPngDocument(path, contents, m.text) != PngDocumentResult::Loaded) {
        m.icon = MsgIcon::Error;
        doc.host().showMessage(m);
        return false;
    }
    tellDamagedExact(contents, path, doc.host());
    doc.setContents(std::move(contents));
    doc.setPathName({});
    doc.setTitle(std::filesystem::path(path).stem().string());
    doc.setModifiedFlag(false);
    return true;
}

}  // namespace velmora
