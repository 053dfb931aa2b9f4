#include "rendering/BackgroundRender.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <optional>

#include "model/Document.h"
#include "rendering/LatestWorker.h"
#include "session/RenderSession.h"

namespace velmora::gui {

template <class F>
auto GuiThreadHost::onGuiThread(F f) -> decltype(f()) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) return f();
    decltype(f()) result{};
    QMetaObject::invokeMethod(
        app, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

MsgAnswer GuiThreadHost::showMessage(const Message& message) {
    return onGuiThread([&] { return m_target.showMessage(message); });
}

bool GuiThreadHost::pollCancelKey() {
    return onGuiThread([&] { return m_target.pollCancelKey(); });
}

void GuiThreadHost::playQuestionSound() {
    onGuiThread([&] {
        m_target.playQuestionSound();
        return 0;
    });
}

void GuiThreadHost::beep() {
    onGuiThread([&] {
        m_target.beep();
        return 0;
    });
}

bool GuiThreadHost::startPlayer(const std::string& scriptPath, const std::string& workingDir) {
    return onGuiThread([&] { return m_target.startPlayer(scriptPath, workingDir); });
}

void QueuedProgress::post(std::function<void(ProgressSink&)> call) {
    ProgressSink* target = &m_target;
    QMetaObject::invokeMethod(
        &m_gui, [target, call = std::move(call)] { call(*target); }, Qt::QueuedConnection);
}

void QueuedProgress::setRange(int low, int high) {
    post([low, high](ProgressSink& s) { s.setRange(low, high); });
}

void QueuedProgress::setPos(int pos) {
    post([pos](ProgressSink& s) { s.setPos(pos); });
}

void QueuedProgress::setStep(int step) {
    post([step](ProgressSink& s) { s.setStep(step); });
}

void QueuedProgress::stepIt() {
    post([](ProgressSink& s) { s.stepIt(); });
}

int runInBackground(Host& host, ProgressSink* progress,
                    const std::function<int(Host& workerHost, ProgressSink* workerProgress)>& work) {
    QObject gui;  // receiver on this thread: queued calls reach it in order
    GuiThreadHost workerHost(host);
    std::optional<QueuedProgress> queued;
    if (progress != nullptr) queued.emplace(*progress, gui);
    QEventLoop loop;
    int result = 0;
    LatestWorker worker;
    // The result comes queued behind every progress call the work made, so none is lost.
    QObject::connect(&worker, &LatestWorker::finished, &loop, &QEventLoop::quit);
    worker.request([&](const std::atomic<bool>&) -> LatestWorker::Delivery {
        const int done = work(workerHost, queued ? &*queued : nullptr);
        return [&result, done] { result = done; };
    });
    // Input still arrives: the modal progress window takes Escape, the rest is
    // kept from the other windows by its modality.
    loop.exec();
    return result;
}

int runDocumentWork(RenderSession& session, ProgressSink* progress,
                    const std::function<int(Host& workerHost, ProgressSink* workerProgress)>& work, Host* host) {
    session.settle();  // a render of the view under way ends first
    session.setBusy(true);
    const int result = runInBackground(host != nullptr ? *host : session.document().host(), progress, work);
    session.setBusy(false);
    return result;
}

int renderDocumentInBackground(RenderSession& session, ProgressSink* progress, const std::atomic<bool>* cancel,
                               Host* host) {
    return runDocumentWork(
        session, progress,
        [&](Host& workerHost, ProgressSink* workerProgress) { return session.render(workerHost, workerProgress, cancel); },
        host);
}

}  // namespace velmora::gui
