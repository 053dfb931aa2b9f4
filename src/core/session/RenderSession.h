#pragma once
// The picture a document is drawn in, kept apart from the document: the engine
// with its pixels, whether they show the document's values, and whether
// another thread is drawing in them. It follows the document: a new size or
// new contents make a new, blank picture.
#include <atomic>
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

    void documentChanged(DocChanges what) override;

private:
    void newPicture(Host& host);

    Document& m_doc;
    std::unique_ptr<FractalEngine> m_engine;
    bool m_rendered = false;
    bool m_busy = false;
    bool m_keepSmooth = false;
};

}  // namespace velmora
