#pragma once
// The one document: the active parameters, the palette, the animation settings
// and the keyframes, with the engine and the platform palette it owns.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/DocumentFile.h"
#include "model/DocumentObserver.h"
#include "location/FractalParams.h"
#include "model/NavigationHistory.h"
#include "palette/Palette.h"
#include "base/Host.h"
#include "engine/FractalEngine.h"
#include "render/Progress.h"

namespace velmora {

enum class DocumentRead {
    Parsed,       // `out` holds the file's contents
    Empty,        // an empty file: nothing read, `out` unchanged
    NotRead,      // could not be opened or read; reported
    WrongFormat,  // not a document; reported
};

// Reads and parses a document file as Open does, reporting a failure through
// the host, without touching any document, so no picture is allocated.
DocumentRead loadDocumentContents(const std::string& path, DocumentContents& out, Host& host);

class Document {
public:
    explicit Document(Host& host);
    virtual ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // --- framework side -------------------------------------------------
    // Forgets the path, clears the modified flag, then defaults, a new engine,
    // no keyframes, not rendered. The palette is left to the view.
    bool onNewDocument();
    // Opens a document file; failures are reported through the Host. Returns
    // false when the open failed (the document then holds the New defaults,
    // unless the file could not be opened at all, which changes nothing).
    bool onOpenDocument(const std::string& path);
    // Saves to the path; false (reported through the Host) when it failed,
    // leaving the modified flag as it was.
    bool onSaveDocument(const std::string& path);

    const std::string& pathName() const { return m_pathName; }
    const std::string& title() const { return m_title; }
    void setTitle(const std::string& title) {
        m_title = title;
        notifyChanged(doc_change::kPath);
    }
    void setPathName(const std::string& path);
    bool isModified() const { return m_modified; }
    void setModifiedFlag(bool modified = true) {
        m_modified = modified;
        notifyChanged(doc_change::kModified);
    }

    // --- observers ----------------------------------------------------------
    // The document's own changers announce themselves; code that writes the
    // public fields directly calls notifyChanged() when it is done.
    void addObserver(DocumentObserver& observer);
    void removeObserver(DocumentObserver& observer);
    void notifyChanged(DocChanges what);

    // --- parameters -------------------------------------------------------
    void setDefaults();
    void loadEngine();
    // Loads the engine and renders; the picture counts as rendered even when
    // the render was cancelled. Returns the engine's result.
    int renderImage(ProgressSink* progress = nullptr, const std::atomic<bool>* cancel = nullptr);
    std::int32_t width() const { return m_params.width; }
    std::int32_t height() const { return m_params.height; }
    // Always replaces the engine (blank picture), even for the same size.
    void setResolution(std::int32_t width, std::int32_t height);
    void setRegion(double left, double top, double right, double bottom);
    // Shows another place: region, type, constant, limit, exact values and size
    // (a new size means a new, blank picture), as Back and Forward restore them.
    void setLocation(const FractalParams& location);
    // Installs the default palette, as the view does when it is created and on New.
    void loadDefaultPalette();

    // --- keyframes --------------------------------------------------------
    std::int32_t keyframeCount() const { return static_cast<std::int32_t>(m_keyframes.size()); }
    Keyframe* keyframe(std::int32_t index);
    const Keyframe* keyframe(std::int32_t index) const;
    // Sum of the transition counts of every keyframe but the last.
    std::int32_t totalFrames() const;

    Host& host() { return *m_host; }
    void setHost(Host& host);

    // Members, public as the dialogs and the view edit them directly.
    TweenStyle m_tweenStyle = TweenStyle::ConstantSpeed;
    std::string m_destFolder;
    std::int32_t m_animWidth = 100;
    std::int32_t m_animHeight = 100;
    PlaybackStyle m_playbackStyle = PlaybackStyle::Forwards;
    std::vector<Keyframe> m_keyframes;
    FractalParams m_params;
    Palette m_palette;
    bool m_rendered = false;
    // True while another thread computes for the document: its picture is then
    // not to be read by the windows.
    bool m_busy = false;
    std::unique_ptr<FractalEngine> m_engine;
    // Where Back and Forward lead; New and Open start it afresh.
    NavigationHistory m_history;

private:
    void newEngine();

    std::vector<DocumentObserver*> m_observers;

    Host* m_host;
    std::string m_pathName;
    std::string m_title;
    bool m_modified = false;
};

}  // namespace velmora
