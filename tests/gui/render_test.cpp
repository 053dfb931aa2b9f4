// Render (F5) on the real Qt host: Escape, what other input does while the
// render runs, and the progress bar.
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressBar>
#include <QWindow>

#include "GuiFixture.h"
#include "app/CommandIds.h"
#include "app/QtHost.h"
#include "render/CProgressDlg.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

QKeyEvent* Escape() { return new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier); }

// The real Qt host with sounds counted, and a script that types at chosen polls.
class TypingHost : public QtHost {
public:
    CMainFrame* frame = nullptr;
    int polls = 0, questionSounds = 0;
    bool PollCancelKey() override {
        if (frame != nullptr && polls == 2) QCoreApplication::postEvent(frame->windowHandle(), new QCloseEvent);
        if (frame != nullptr && polls == 3) QCoreApplication::postEvent(frame->GetView(), Escape());
        ++polls;
        return QtHost::PollCancelKey();
    }
    void PlayQuestionSound() override { ++questionSounds; }
};

TEST(Render, EscapeDuringTheRenderCancelsItACloseWaitsAndEscapeBeforeIsForgotten) {
    ClearSettings();
    TypingHost host;
    ScriptedDialogs dialogs;
    CVelmoraApp app(host, dialogs);
    std::ostringstream out, err;
    ASSERT_EQ(app.InitInstance({}, out, err), CVelmoraApp::kKeepRunning);
    CVelmoraDoc& doc = app.GetDocument();
    doc.SetResolution(200, 150);
    host.frame = app.GetMainFrame();
    QCoreApplication::postEvent(host.frame->GetView(), Escape());  // before: the first poll forgets it
    host.frame->Dispatch(ID_RENDER);
    EXPECT_EQ(host.questionSounds, 1);
    EXPECT_EQ(host.polls, 4) << "stops at the poll that saw the key";
    EXPECT_FALSE(doc.m_pEngine->IsValid());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the wait cursor is gone";
    EXPECT_TRUE(host.frame->isVisible()) << "closing the window waits for the render";
}

TEST(Render, TheLastProgressStepFillsTheBarWithoutRunningPast) {
    QProgressBar bar;
    ProgressBarSink sink(bar);
    sink.SetRange(0, 100);
    sink.SetStep(40);
    sink.StepIt();
    sink.StepIt();
    EXPECT_EQ(bar.value(), 80);
    sink.StepIt();
    EXPECT_EQ(bar.value(), 100);
}

}  // namespace
}  // namespace velmora::test
