#pragma once
// Runs a render on a worker thread while the GUI thread keeps its event loop
// (so the window repaints and the progress window takes Escape). Everything the
// worker tells the outside world - host calls and progress - is carried to the
// GUI thread in the order it was said; Escape sets a flag the engine watches.
#include <QObject>

#include <atomic>
#include <functional>

#include "base/Host.h"
#include "render/Progress.h"

namespace velmora {
class RenderSession;
}

namespace velmora::gui {

// Forwards each Host call made on another thread to the GUI thread and waits
// there for its answer; calls made on the GUI thread go straight through.
class GuiThreadHost : public Host {
public:
    explicit GuiThreadHost(Host& target) : m_target(target) {}

    MsgAnswer showMessage(const Message& message) override;
    bool pollCancelKey() override;
    void playQuestionSound() override;
    void beep() override;
    bool startPlayer(const std::string& scriptPath, const std::string& workingDir) override;

private:
    template <class F>
    auto onGuiThread(F f) -> decltype(f());
    Host& m_target;
};

// Hands progress calls to a sink that lives on the GUI thread, queued, so the
// worker never waits for a paint.
class QueuedProgress : public ProgressSink {
public:
    QueuedProgress(ProgressSink& target, QObject& guiObject) : m_target(target), m_gui(guiObject) {}
    void setRange(int low, int high) override;
    void setPos(int pos) override;
    void setStep(int step) override;
    void stepIt() override;

private:
    void post(std::function<void(ProgressSink&)> call);
    ProgressSink& m_target;
    QObject& m_gui;
};

// Runs work(host, progress) on a LatestWorker and returns its result once it
// has been handed back; meanwhile the calling (GUI) thread runs a local event loop.
// The host and progress handed to work forward to `host` and `progress` on the
// GUI thread (progress may be null).
int runInBackground(Host& host, ProgressSink* progress,
                    const std::function<int(Host& workerHost, ProgressSink* workerProgress)>& work);

// Work on the document's picture that way: while it runs the session is marked
// busy; what the work says through workerHost reaches `host` (the document's
// when null) on this thread.
int runDocumentWork(RenderSession& session, ProgressSink* progress,
                    const std::function<int(Host& workerHost, ProgressSink* workerProgress)>& work,
                    Host* host = nullptr);

// The document's render that way: 1 when complete, 0 when cancelled (cancel
// set) or impossible; its messages reach `host` (the document's when null).
int renderDocumentInBackground(RenderSession& session, ProgressSink* progress, const std::atomic<bool>* cancel,
                               Host* host = nullptr);

}  // namespace velmora::gui
