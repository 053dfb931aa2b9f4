#include "export/PngDocumentOpen.h"

#include <filesystem>

#include "export/PngDocumentChunk.h"
#include "model/Document.h"

namespace velmora {

bool loadPngContents(const std::string& path, DocumentContents& out, Host& host) {
    Message m;
    if (readPngDocument(path, out, m.text) != PngDocumentResult::Loaded) {
        m.icon = MsgIcon::Error;
        host.showMessage(m);
        return false;
    }
    tellDamagedExact(out, path, host);
    return true;
}

bool openPngDocument(Document& doc, const std::string& path) {
    DocumentContents contents;
    if (!loadPngContents(path, contents, doc.host())) return false;
    doc.setContents(std::move(contents));
    doc.setPathName({});
    doc.setTitle(std::filesystem::path(path).stem().string());
    doc.setModifiedFlag(false);
    return true;
}

}  // namespace velmora
