#include "render/BackgroundRender.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <optional>
#include <thread>

#include "model/Document.h"

namespace velmora::gui {

template <class F>
auto GuiThreadHost::OnGuiThread(F f) -> decltype(f()) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) return f();
    decltype(f()) result{};
    QMetaObject::invokeMethod(
        app, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

MsgAnswer GuiThreadHost::ShowMessage(const Message& message) {
    return OnGuiThread([&] { return m_target.ShowMessage(message); });
}

bool GuiThreadHost::PollCancelKey() {
    return OnGuiThread([&] { return m_target.PollCancelKey(); });
}

void GuiThreadHost::PlayQuestionSound() {
    OnGuiThread([&] {
        m_target.PlayQuestionSound();
        return 0;
    });
}

void GuiThreadHost::Beep() {
    OnGuiThread([&] {
        m_target.Beep();
        return 0;
    });
}

bool GuiThreadHost::StartPlayer(const std::string& scriptPath, const std::string& workingDir) {
    return OnGuiThread([&] { return m_target.StartPlayer(scriptPath, workingDir); });
}

void QueuedProgress::Post(std::function<void(ProgressSink&)> call) {
    ProgressSink* target = &m_target;
    QMetaObject::invokeMethod(
        &m_gui, [target, call = std::move(call)] { call(*target); }, Qt::QueuedConnection);
}

void QueuedProgress::SetRange(int low, int high) {
    Post([low, high](ProgressSink& s) { s.SetRange(low, high); });
}

void QueuedProgress::SetPos(int pos) {
    Post([pos](ProgressSink& s) { s.SetPos(pos); });
}

void QueuedProgress::SetStep(int step) {
    Post([step](ProgressSink& s) { s.SetStep(step); });
}

void QueuedProgress::StepIt() {
    Post([](ProgressSink& s) { s.StepIt(); });
}

int RunInBackground(Host& host, ProgressSink* progress,
                    const std::function<int(Host& workerHost, ProgressSink* workerProgress)>& work) {
    QObject gui;  // receiver on this thread: queued calls reach it in order
    GuiThreadHost workerHost(host);
    std::optional<QueuedProgress> queued;
    if (progress != nullptr) queued.emplace(*progress, gui);
    QEventLoop loop;
    int result = 0;
    std::thread worker([&] {
        result = work(workerHost, queued ? &*queued : nullptr);
        // Queued behind every progress call the work made, so none is lost.
        QMetaObject::invokeMethod(
            &gui, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    // Input still arrives: the modal progress window takes Escape, the rest is
    // kept from the other windows by its modality.
    loop.exec();
    worker.join();
    return result;
}

int RunDocumentWork(Document& doc, ProgressSink* progress, const std::function<int(ProgressSink*)>& work) {
    Host& host = doc.GetHost();
    doc.m_busy = true;
    const int result = RunInBackground(host, progress, [&](Host& workerHost, ProgressSink* workerProgress) {
        doc.SetHost(workerHost);
        const int r = work(workerProgress);
        doc.SetHost(host);
        return r;
    });
    doc.m_busy = false;
    return result;
}

int RenderDocumentInBackground(Document& doc, ProgressSink* progress, const std::atomic<bool>* cancel) {
    return RunDocumentWork(doc, progress,
                           [&](ProgressSink* workerProgress) { return doc.RenderImage(workerProgress, cancel); });
}

}  // namespace velmora::gui
