#pragma once
// The one document: the active parameters, the palette, the animation settings
// and the keyframes, each changed whole through a setter that tells the
// observers. The picture they are drawn in is a RenderSession's, not the
// document's.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/DocumentFile.h"
#include "model/DocumentObserver.h"
#include "location/FractalParams.h"
#include "palette/Palette.h"
#include "base/Host.h"

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

// Warns that the contents came with an exact-values block that could not be
// read (and that a save keeps it); nothing when they did not.
void tellDamagedExact(const DocumentContents& contents, const std::string& path, Host& host);

// Saves contents as Save does, reporting a failure through the host; no
// document, so no picture, is needed.
bool saveDocumentContents(const DocumentContents& contents, const std::string& path, Host& host);

class Document {
public:
    explicit Document(Host& host);
    virtual ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // --- framework side -------------------------------------------------
    // Forgets the path, clears the modified flag, then defaults and no
    // keyframes; a new picture is due. The palette is left to the view.
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
    // Every setter announces its change; observers never miss one.
    void addObserver(DocumentObserver& observer);
    void removeObserver(DocumentObserver& observer);
    void notifyChanged(DocChanges what);

    // --- parameters -------------------------------------------------------
    const FractalParams& params() const { return m_params; }
    // Shows another place: region, type, constant, limit, exact values and size
    // (a new size means a new, blank picture is due), as Back and Forward restore them.
    void setParams(const FractalParams& params);
    template <class Edit>
    void editParams(Edit&& edit) {
        FractalParams p = m_params;
        edit(p);
        setParams(p);
    }
    void setDefaults();
    std::int32_t width() const { return m_params.width; }
    std::int32_t height() const { return m_params.height; }
    // Always asks for a new, blank picture, even for the same size.
    void setResolution(std::int32_t width, std::int32_t height);
    void setRegion(double left, double top, double right, double bottom);

    // --- palette ----------------------------------------------------------
    const Palette& palette() const { return m_palette; }
    void setPalette(const Palette& palette);
    template <class Edit>
    void editPalette(Edit&& edit) {
        Palette p = m_palette;
        edit(p);
        setPalette(p);
    }
    // How smooth pictures spread the counts over the palette; a change is
    // announced as the palette's, since only the colours change.
    const ColourSpread& colourSpread() const { return m_spread; }
    void setColourSpread(const ColourSpread& spread);

    // Installs the default palette, as the view does when it is created and on New.
    void loadDefaultPalette();

    // --- animation --------------------------------------------------------
    const std::vector<Keyframe>& keyframes() const { return m_keyframes; }
    void setKeyframes(std::vector<Keyframe> keyframes);
    template <class Edit>
    void editKeyframes(Edit&& edit) {
        std::vector<Keyframe> k = m_keyframes;
        edit(k);
        setKeyframes(std::move(k));
    }
    std::int32_t keyframeCount() const { return static_cast<std::int32_t>(m_keyframes.size()); }
    const Keyframe* keyframe(std::int32_t index) const;
    // Sum of the transition counts of every keyframe but the last.
    std::int32_t totalFrames() const;
    const AnimationSettings& animation() const { return m_animation; }
    void setAnimation(const AnimationSettings& animation);
    template <class Edit>
    void editAnimation(Edit&& edit) {
        AnimationSettings a = m_animation;
        edit(a);
        setAnimation(a);
    }

    // --- the file's values, as a whole --------------------------------------
    DocumentContents contents() const;
    // Takes loaded contents: a new picture of the loaded size is due.
    void setContents(DocumentContents&& contents);

    Host& host() { return *m_host; }

private:
    // setContents without the announcement, for Open, which makes its own.
    void takeContents(DocumentContents&& contents);

    FractalParams m_params;
    Palette m_palette;
    std::vector<Keyframe> m_keyframes;
    AnimationSettings m_animation;
    ColourSpread m_spread;
    std::vector<std::uint8_t> m_damagedExact;  // see DocumentContents
    std::vector<std::uint64_t> m_damagedExactFor;

    std::vector<DocumentObserver*> m_observers;

    Host* m_host;
    std::string m_pathName;
    std::string m_title;
    bool m_modified = false;
};

}  // namespace velmora
