#pragma once
// Runs a render on a worker thread while the GUI thread keeps its event loop
// (so the window repaints and the progress window takes Escape). Everything the
// worker tells the outside world - host calls and progress - is carried to the
// GUI thread in the order it was said; Escape sets a flag the engine watches.
#include <QObject>

#include <atomic>
#include <functional>

#include "platform/Host.h"
#include "render/Progress.h"

namespace velmora {
class Document;
}

namespace velmora::gui {

// Forwards each Host call made on another thread to the GUI thread and waits
// there for its answer; calls made on the GUI thread go straight through.
class GuiThreadHost : public Host {
public:
    explicit GuiThreadHost(Host& target) : m_target(target) {}

    MsgAnswer ShowMessage(const Message& message) override;
    bool PollCancelKey() override;
    void PlayQuestionSound() override;
    void Beep() override;
    bool StartPlayer(const std::string& scriptPath, const std::string& workingDir) override;

private:
    template <class F>
    auto OnGuiThread(F f) -> decltype(f());
    Host& m_target;
};

// Hands progress calls to a sink that lives on the GUI thread, queued, so the
// worker never waits for a paint.
class QueuedProgress : public ProgressSink {
public:
    QueuedProgress(ProgressSink& target, QObject& guiObject) : m_target(target), m_gui(guiObject) {}
    void SetRange(int low, int high) override;
    void SetPos(int pos) override;
    void SetStep(int step) override;
    void StepIt() override;

private:
    void Post(std::function<void(ProgressSink&)> call);
    ProgressSink& m_target;
    QObject& m_gui;
};

// Runs work(host, progress) on a worker thread and returns its result once it
// has finished; meanwhile the calling (GUI) thread runs a local event loop.
// The host and progress handed to work forward to `host` and `progress` on the
// GUI thread (progress may be null).
int RunInBackground(Host& host, ProgressSink* progress,
                    const std::function<int(Host& workerHost, ProgressSink* workerProgress)>& work);

// Work on the document that way: while it runs the document is marked busy
// and its messages reach its host on this thread.
int RunDocumentWork(Document& doc, ProgressSink* progress, const std::function<int(ProgressSink* workerProgress)>& work);

// The document's render that way: 1 when complete, 0 when cancelled (cancel
// set) or impossible. The document's messages reach its host on this thread.
int RenderDocumentInBackground(Document& doc, ProgressSink* progress, const std::atomic<bool>* cancel);

}  // namespace velmora::gui
