#pragma once
// The picture a document is drawn in, kept apart from the document: the engine
// with its pixels, whether they show the document's values, and whether
// another thread is drawing in them. It follows the document: a new size or
// new contents make a new, blank picture.
#include <atomic>
#include <functional>
#include <memory>

#include "engine/FractalEngine.h"
#include "model/DocumentObserver.h"
#include "render/Progress.h"

namespace velmora {

class Document;
class Host;

class RenderSession : public DocumentObserver {
public:
    // Follows doc from now on. Made right after the document, so the picture
    // is replaced before the windows that show it hear of a change.
    explicit RenderSession(Document& doc);
    ~RenderSession() override;
    RenderSession(const RenderSession&) = delete;
    RenderSession& operator=(const RenderSession&) = delete;

    Document& document() { return m_doc; }
    const Document& document() const { return m_doc; }

    // None until the document first asks for a picture (New, Open, a size).
    FractalEngine* engine() { return m_engine.get(); }
    const FractalEngine* engine() const { return m_engine.get(); }

    // Draws the document's values; the picture counts as rendered even when
    // the render was cancelled. 1 when complete, else 0; what went wrong is
    // told through `host` (the document's when not given).
    int render(ProgressSink* progress = nullptr, const std::atomic<bool>* cancel = nullptr);
    int render(Host& host, ProgressSink* progress = nullptr, const std::atomic<bool>* cancel = nullptr);

    // The first half of a render, for one that runs on another thread: readies
    // the picture (asking again for memory it lacked) and counts it rendered.
    // The engine to draw in, or none when there is no picture (already told).
    FractalEngine* beginRender(Host& host);

    bool isRendered() const { return m_rendered; }
    // The window's smooth view: every engine of this session, new pictures'
    // too, keeps its smooth samples (FractalEngine::setKeepSmooth).
    void setKeepSmooth(bool keep);
    bool keepsSmooth() const { return m_keepSmooth; }
    // The picture no longer shows the document's values (frames were drawn in
    // it): blank, and announced as a new picture to the document's observers.
    void forgetRendered();

    // True while another thread draws in the picture: the windows then leave
    // it alone. Set and read on the GUI thread only.
    bool isBusy() const { return m_busy; }
    void setBusy(bool busy) { m_busy = busy; }
    // Whoever is about to use the picture calls settle() first: a render of
    // the view still under way is then finished by whoever started it,
    // through the hook they set (keep false: stopped, as the picture goes).
    void setSettle(std::function<void(bool keep)> settle) { m_settle = std::move(settle); }
    void settle(bool keep = true) {
        if (m_settle) m_settle(keep);
    }

    void documentChanged(DocChanges what) override;

private:
    void newPicture(Host& host);

    Document& m_doc;
    std::unique_ptr<FractalEngine> m_engine;
    bool m_rendered = false;
    bool m_busy = false;
    bool m_keepSmooth = false;
    std::function<void(bool)> m_settle;
};

}  // namespace velmora
