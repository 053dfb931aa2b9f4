#include "model/Document.h"

#include <filesystem>

#include "model/BmpWriter.h"
#include "model/DocumentFile.h"
#include "palette/DefaultPalette.h"
#include "platform/FileErrors.h"
#include "platform/FileIO.h"
#include "platform/FramesFolder.h"

namespace velmora {

Document::Document(Host& host) : m_paletteHolder(host, MsgOwner::None), m_host(&host) {}

Document::~Document() = default;

void Document::SetHost(Host& host) {
    m_host = &host;
    m_paletteHolder.SetHost(host);
    if (m_engine) m_engine->SetHost(host);
}

void Document::SetPathName(const std::string& path) {
    m_pathName = path;
    m_title = std::filesystem::path(path).filename().string();
}

bool Document::OnNewDocument() {
    m_pathName.clear();
    m_title = "Untitled";
    m_modified = false;
    SetDefaults();
    NewEngine();
    m_keyframes.clear();
    m_rendered = false;
    return true;
}

void Document::SetDefaults() {
    m_params = FractalParams{};
    m_tweenStyle = TweenStyle::ConstantSpeed;
    m_destFolder = DefaultFramesFolder();
    m_animWidth = 100;
    m_animHeight = 100;
    m_playbackStyle = PlaybackStyle::Forwards;
}

void Document::NewEngine() {
    m_engine.reset();  // the old picture goes first, so two never coexist
    m_engine = std::make_unique<FractalEngine>(m_params.width, m_params.height, *m_host);
    LoadEngine();
}

void Document::LoadEngine() {
    if (!m_engine) return;
    m_engine->SetRegion(m_params.left, m_params.top, m_params.right, m_params.bottom);
    m_engine->SetType(static_cast<std::int32_t>(m_params.type));
    m_engine->SetIterations(m_params.iterations);
    m_engine->SetJuliaConstant(m_params.cReal, m_params.cImag);
}

int Document::RenderImage(ProgressSink* progress, const std::atomic<bool>* cancel) {
    // A picture whose memory could not be had is asked for again, so every
    // render attempt either draws or says why it cannot.
    if (m_engine && !m_engine->HasBuffer()) NewEngine();
    LoadEngine();
    const int result = m_engine ? m_engine->Render(progress, cancel) : 0;
    m_rendered = true;
    return result;
}

void Document::SetResolution(std::int32_t width, std::int32_t height) {
    m_engine.reset();
    m_params.width = width;
    m_params.height = height;
    NewEngine();
}

void Document::SetRegion(double left, double top, double right, double bottom) {
    m_params.left = left;
    m_params.top = top;
    m_params.right = right;
    m_params.bottom = bottom;
    LoadEngine();
}

void Document::BuildGdiPalette() { m_paletteHolder.BuildGdiPalette(m_palette); }

void Document::LoadDefaultPalette() {
    m_palette = DefaultPalette();
    BuildGdiPalette();
}

Keyframe* Document::GetKeyframe(std::int32_t index) {
    if (index < 0 || index >= GetKeyframeCount()) return nullptr;
    return &m_keyframes[static_cast<std::size_t>(index)];
}

const Keyframe* Document::GetKeyframe(std::int32_t index) const {
    if (index < 0 || index >= GetKeyframeCount()) return nullptr;
    return &m_keyframes[static_cast<std::size_t>(index)];
}

std::int32_t Document::GetTotalFrames() const {
    // Summed wide: counts come from files and could overflow 32 bits together.
    std::int64_t total = 0;
    for (std::size_t i = 0; i + 1 < m_keyframes.size(); ++i) total += m_keyframes[i].transitions;
    if (total > INT32_MAX) return INT32_MAX;
    if (total < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(total);
}

BmpWriteResult Document::WriteBmp(const std::string& path, std::error_code& cause) {
    if (!m_engine) return BmpWriteResult::NoHeader;
    return velmora::WriteBmp(*m_engine, path, cause);
}

DocumentRead LoadDocumentContents(const std::string& path, DocumentContents& out, Host& host) {
    std::error_code cause;
    const DocumentReadResult r = ReadDocumentFile(path, out, cause);
    if (r == DocumentReadResult::NotOpened || r == DocumentReadResult::ReadError) {
        Message m;
        m.text = FileErrorMessage(path, cause, FileOp::Read);
        m.icon = MsgIcon::Error;
        host.ShowMessage(m);
        return DocumentRead::NotRead;
    }
    if (r == DocumentReadResult::Empty) return DocumentRead::Empty;
    if (r == DocumentReadResult::BadFormat) {
        Message m;
        m.text = "Unexpected file format.";
        m.icon = MsgIcon::Error;
        host.ShowMessage(m);
        return DocumentRead::WrongFormat;
    }
    return DocumentRead::Parsed;
}

bool Document::OnOpenDocument(const std::string& path) {
    DocumentContents contents;
    switch (LoadDocumentContents(path, contents, *m_host)) {
        case DocumentRead::NotRead:
            return false;
        case DocumentRead::WrongFormat:
            OnNewDocument();
            return false;
        case DocumentRead::Empty:
            break;  // an empty file is opened without reading anything: only the name changes
        case DocumentRead::Parsed:
            ApplyDocument(*this, std::move(contents));
            break;
    }
    SetPathName(path);
    m_modified = false;
    return true;
}

bool Document::OnSaveDocument(const std::string& path) {
    std::string problem = CheckDocumentStorable(*this);
    if (!problem.empty()) {
        Message m;
        m.text = problem;
        m.icon = MsgIcon::Warning;
        m_host->ShowMessage(m);
        return false;
    }
    const std::vector<std::uint8_t> bytes = SerializeDocument(*this);
    std::error_code cause;
    const WriteResult r = WriteFileSafely(path, bytes, cause);
    if (r != WriteResult::Ok) {
        Message m;
        // The old file is intact either way; the second line says what the system refused.
        m.text = r == WriteResult::CreateFailed ? FileErrorMessage(path, cause, FileOp::Write)
                                                : "Failed to save document.\n" + path + ": " + cause.message();
        m.icon = r == WriteResult::CreateFailed ? MsgIcon::Error : MsgIcon::Warning;
        m_host->ShowMessage(m);
        return false;
    }
    SetPathName(path);
    m_modified = false;
    return true;
}

}  // namespace velmora
