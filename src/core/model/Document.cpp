#include "model/Document.h"

#include "base/SaveMessages.h"

#include <filesystem>

#include "model/DocumentFile.h"
#include "palette/DefaultPalette.h"
#include "base/FileErrors.h"
#include "base/FileIO.h"
#include "platform/FramesFolder.h"

namespace velmora {

Document::Document(Host& host) : m_host(&host) {}

Document::~Document() = default;

void Document::setPathName(const std::string& path) {
    m_pathName = path;
    m_title = std::filesystem::path(path).filename().string();
    notifyChanged(doc_change::kPath);
}

void Document::addObserver(DocumentObserver& observer) { m_observers.push_back(&observer); }

void Document::removeObserver(DocumentObserver& observer) {
    std::erase(m_observers, &observer);
}

void Document::notifyChanged(DocChanges what) {
    // A copy: an observer may come or go while being told.
    const std::vector<DocumentObserver*> observers = m_observers;
    for (DocumentObserver* o : observers) o->documentChanged(what);
}

bool Document::onNewDocument() {
    m_pathName.clear();
    m_title = "Untitled";
    m_modified = false;
    setDefaults();
    m_keyframes.clear();
    m_damagedExact.clear();
    m_damagedExactFor.clear();
    notifyChanged(doc_change::kAll | doc_change::kNewPicture);
    return true;
}

void Document::setDefaults() {
    m_params = FractalParams{};
    m_spread = ColourSpread{};
    m_animation = AnimationSettings{};
    m_animation.destFolder = defaultFramesFolder();
}

void Document::setResolution(std::int32_t width, std::int32_t height) {
    m_params.width = width;
    m_params.height = height;
    notifyChanged(doc_change::kValues | doc_change::kPicture | doc_change::kNewPicture);
}

void Document::setParams(const FractalParams& params) {
    // The picture keeps the values it was drawn with until the next render.
    const bool resized = params.width != m_params.width || params.height != m_params.height;
    m_params = params;
    notifyChanged(resized ? doc_change::kValues | doc_change::kPicture | doc_change::kNewPicture
                          : doc_change::kValues);
}

void Document::setRegion(double left, double top, double right, double bottom) {
    m_params.left = left;
    m_params.top = top;
    m_params.right = right;
    m_params.bottom = bottom;
    m_params.exact.clear();  // doubles from elsewhere are the whole truth
    notifyChanged(doc_change::kValues);
}

void Document::loadDefaultPalette() { setPalette(defaultPalette()); }

void Document::setPalette(const Palette& palette) {
    m_palette = palette;
    notifyChanged(doc_change::kPalette);
}

void Document::setColourSpread(const ColourSpread& spread) {
    m_spread = spread;
    notifyChanged(doc_change::kPalette);
}

void Document::setKeyframes(std::vector<Keyframe> keyframes) {
    m_keyframes = std::move(keyframes);
    notifyChanged(doc_change::kKeyframes);
}

void Document::setAnimation(const AnimationSettings& animation) {
    m_animation = animation;
    notifyChanged(doc_change::kKeyframes);
}

DocumentContents Document::contents() const {
    return {m_params, m_palette, m_animation, m_keyframes, m_damagedExact, m_damagedExactFor, m_spread};
}

void Document::setContents(DocumentContents&& c) {
    takeContents(std::move(c));
    notifyChanged(doc_change::kAll | doc_change::kNewPicture);
}

void Document::takeContents(DocumentContents&& c) {
    m_palette = c.palette;
    m_animation = std::move(c.animation);
    m_keyframes = std::move(c.keyframes);
    m_params = c.params;
    m_damagedExact = std::move(c.damagedExact);
    m_damagedExactFor = std::move(c.damagedExactFor);
    m_spread = c.spread;
}

const Keyframe* Document::keyframe(std::int32_t index) const {
    if (index < 0 || index >= keyframeCount()) return nullptr;
    return &m_keyframes[static_cast<std::size_t>(index)];
}

std::int32_t Document::totalFrames() const {
    // Summed wide: counts come from files and could overflow 32 bits together.
    std::int64_t total = 0;
    for (std::size_t i = 0; i + 1 < m_keyframes.size(); ++i) total += m_keyframes[i].transitions;
    if (total > INT32_MAX) return INT32_MAX;
    if (total < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(total);
}

void tellDamagedExact(const DocumentContents& contents, const std::string& path, Host& host) {
    if (contents.damagedExact.empty()) return;
    Message m;
    m.text = "The exact values stored in " + path +
             " are damaged: its locations open as doubles. Saving keeps the stored values until a location changes.";
    m.icon = MsgIcon::Warning;
    host.showMessage(m);
}

DocumentRead loadDocumentContents(const std::string& path, DocumentContents& out, Host& host) {
    std::error_code cause;
    const DocumentReadResult r = readDocumentFile(path, out, cause);
    if (r == DocumentReadResult::NotOpened || r == DocumentReadResult::ReadError) {
        Message m;
        m.text = fileErrorMessage(path, cause, FileOp::Read);
        m.icon = MsgIcon::Error;
        host.showMessage(m);
        return DocumentRead::NotRead;
    }
    if (r == DocumentReadResult::Empty) return DocumentRead::Empty;
    if (r == DocumentReadResult::BadFormat) {
        Message m;
        m.text = "Unexpected file format.";
        m.icon = MsgIcon::Error;
        host.showMessage(m);
        return DocumentRead::WrongFormat;
    }
    tellDamagedExact(out, path, host);
    return DocumentRead::Parsed;
}

bool Document::onOpenDocument(const std::string& path) {
    DocumentContents contents;
    DocChanges newPicture = 0;  // an empty file changes only the name
    switch (loadDocumentContents(path, contents, *m_host)) {
        case DocumentRead::NotRead:
            return false;
        case DocumentRead::WrongFormat:
            onNewDocument();
            return false;
        case DocumentRead::Empty:
            break;  // an empty file is opened without reading anything: only the name changes
        case DocumentRead::Parsed:
            takeContents(std::move(contents));  // announced with the rest below
            newPicture = doc_change::kNewPicture;
            break;
    }
    setPathName(path);
    m_modified = false;
    notifyChanged(doc_change::kAll | newPicture);
    return true;
}

bool saveDocumentContents(const DocumentContents& contents, const std::string& path, Host& host) {
    std::string problem = checkDocumentStorable(contents);
    if (!problem.empty()) {
        Message m;
        m.text = problem;
        m.icon = MsgIcon::Warning;
        host.showMessage(m);
        return false;
    }
    const std::vector<std::uint8_t> bytes = serializeContents(contents);
    std::error_code cause;
    const WriteResult r = writeFileSafely(path, bytes, cause);
    if (r != WriteResult::Ok) {
        Message m;
        // The old file is intact either way; the second line says what the system refused.
        m.text = saveFailureText(SavedFile::Document, r, path, cause);
        m.icon = r == WriteResult::CreateFailed ? MsgIcon::Error : MsgIcon::Warning;
        host.showMessage(m);
        return false;
    }
    return true;
}

bool Document::onSaveDocument(const std::string& path) {
    if (!saveDocumentContents(contents(), path, *m_host)) return false;
    setPathName(path);
    m_modified = false;
    notifyChanged(doc_change::kModified);
    return true;
}

}  // namespace velmora
