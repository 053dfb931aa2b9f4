#include "session/RenderSession.h"

#include "engine/RenderReport.h"
#include "model/Document.h"

namespace velmora {

RenderSession::RenderSession(Document& doc) : m_doc(doc) { m_doc.addObserver(*this); }

RenderSession::~RenderSession() { m_doc.removeObserver(*this); }

void RenderSession::documentChanged(DocChanges what) {
    if ((what & doc_change::kNewPicture) == 0) return;
    newPicture(m_doc.host());
    m_rendered = false;
}

void RenderSession::newPicture(Host& host) {
    m_engine.reset();  // the old picture goes first, so two never coexist
    m_engine = std::make_unique<FractalEngine>(m_doc.width(), m_doc.height());
    if (!m_engine->hasBuffer()) tellRenderOutcome(host, RenderOutcome::NoMemory);
    m_engine->setParams(m_doc.params());
    m_engine->setKeepSmooth(m_keepSmooth);
}

void RenderSession::setKeepSmooth(bool keep) {
    m_keepSmooth = keep;
    if (m_engine) m_engine->setKeepSmooth(keep);
}

int RenderSession::render(ProgressSink* progress, const std::atomic<bool>* cancel) {
    return render(m_doc.host(), progress, cancel);
}

int RenderSession::render(Host& host, ProgressSink* progress, const std::atomic<bool>* cancel) {
    // A picture whose memory could not be had is asked for again, so every
    // render attempt either draws or says why it cannot.
    if (m_engine && !m_engine->hasBuffer()) newPicture(host);
    m_rendered = true;
    if (!m_engine || !m_engine->hasBuffer()) return 0;
    const RenderOutcome outcome = m_engine->render(m_doc.params(), hostContext(host, progress, cancel));
    tellRenderOutcome(host, outcome);
    return outcome == RenderOutcome::Done ? 1 : 0;
}

void RenderSession::forgetRendered() {
    if (m_engine) m_engine->blank();
    m_rendered = false;
    m_doc.notifyChanged(doc_change::kPicture);
}

}  // namespace velmora
