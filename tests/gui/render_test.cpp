// Render (F5) on the real Qt host: Escape, what other input does while the
// render runs, and the progress bar.
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QProgressBar>
#include <QWheelEvent>
#include <QWindow>
#include <utility>

#include "GuiFixture.h"
#include "commands/CommandIds.h"
#include "geometry/ZoomGeometry.h"
#include "model/NavigationHistory.h"
#include "host/QtHost.h"
#include "widgets/ProgressDialog.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

QKeyEvent* escape() { return new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier); }

// The real Qt host with sounds counted, a script that types at chosen polls once
// `frame` is set, and whether the Deep label showed at each poll once it is given.
class TypingHost : public QtHost {
public:
    MainWindow* frame = nullptr;
    QLabel* deepLabel = nullptr;
    QWidget* eventTarget = nullptr;
    QEvent* atSecondPoll = nullptr;  // posted to eventTarget during the render, whatever the machine's speed
    std::vector<bool> deepShown;
    std::vector<QString> statusShown;  // the status bar's message at each poll, once deepLabel is given
    int polls = 0, questionSounds = 0;
    bool pollCancelKey() override {
        if (deepLabel != nullptr) deepShown.push_back(!deepLabel->isHidden());
        if (deepLabel != nullptr) statusShown.push_back(deepLabel->window()->findChild<QStatusBar*>()->currentMessage());
        if (atSecondPoll != nullptr && polls == 1) QCoreApplication::postEvent(eventTarget, std::exchange(atSecondPoll, nullptr));
        if (frame != nullptr && polls == 2) QCoreApplication::postEvent(frame->windowHandle(), new QCloseEvent);
        if (frame != nullptr && polls == 3) QCoreApplication::postEvent(frame->view(), escape());
        ++polls;
        return QtHost::pollCancelKey();
    }
    void playQuestionSound() override { ++questionSounds; }
};

// The program started on the real Qt host, its sounds and polls counted.
class RenderOnQtHost : public ::testing::Test {
protected:
    void SetUp() override {
        clearSettings();
        std::ostringstream out, err;
        ASSERT_EQ(app.start({}, out, err), Application::kKeepRunning);
    }
    TypingHost host;
    ScriptedDialogs dialogs;
    Application app{host, dialogs};
    Document& doc = app.document();
    RenderSession& session = app.session();
};

// The status bar says "Rendering..." while a render runs, "Deep" while, and
// only while, the deep engine renders, and then how long the render took.
TEST_F(RenderOnQtHost, TheStatusBarShowsTheRenderWhileItRuns) {
    doc.setResolution(40, 30);
    host.deepLabel = app.mainFrame()->findChild<QLabel*>(QStringLiteral("DeepLabel"));
    // A spacing past what doubles resolve, or well within; a Julia view
    // around its critical point is the double engine's, its doubts checked.
    for (const auto& [julia, w, deep] : {std::tuple(false, 1e-3, false), {false, 1e-14, true}, {true, 1e-3, false}}) {
        SCOPED_TRACE(deep);
        host.deepShown.clear();
        doc.editParams([julia = julia](FractalParams& p) {
            std::tie(p.type, p.cReal, p.cImag) =
                std::tuple(julia ? FractalType::Julia : FractalType::Mandelbrot, -0.8, 0.156);
        });
        const double x = julia ? 0.0 : -0.75, y = julia ? 0.0 : 0.1;
        doc.setRegion(x - w, y - w, x + w, y + w);
        app.mainFrame()->dispatch(ID_RENDER);
        ASSERT_FALSE(host.deepShown.empty());
        EXPECT_EQ(std::pair(bool(host.deepShown.front()), host.deepLabel->isHidden()), std::pair(deep, true));
        const QStatusBar& bar = *app.mainFrame()->findChild<QStatusBar*>();
        EXPECT_EQ(std::pair(host.statusShown.front(), bar.currentMessage()), std::pair(QString("Rendering..."), QString("Ready")));
    }
    EXPECT_TRUE(app.mainFrame()->findChild<QLabel*>(QStringLiteral("RenderTime"))->text().startsWith("Rendered in "));
}

TEST_F(RenderOnQtHost, EscapeDuringTheRenderCancelsItACloseWaitsAndEscapeBeforeIsForgotten) {
    doc.setResolution(200, 150);
    host.frame = app.mainFrame();
    QCoreApplication::postEvent(host.frame->view(), escape());  // before: the first poll forgets it
    host.frame->dispatch(ID_RENDER);
    // Stopped at the poll that saw the key, the wait cursor gone; closing the window waits for the render.
    EXPECT_EQ(std::tuple(host.questionSounds, host.polls, session.engine()->isValid(), QGuiApplication::overrideCursor(),
                         host.frame->isVisible()),
              std::tuple(1, 4, false, nullptr, true));
}

// Escape typed into the progress window stops even a render of hours at once.
TEST_F(RenderOnQtHost, EscapeStopsARenderThatWouldTakeHoursWithinASecondOrTwo) {
    // The Siegel disk: orbits that run to the limit.
    doc.editParams([](FractalParams& p) {
        std::tie(p.type, p.cReal, p.cImag, p.iterations) = std::tuple(FractalType::Julia, -0.390541, -0.586788, 2147483647);
    });
    doc.setRegion(-0.5, -0.5, -0.2, -0.2);
    doc.setResolution(320, 240);
    QTimer::singleShot(200, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "ProgressDialog" && w->isVisible()) QCoreApplication::postEvent(w, escape());
    });
    QElapsedTimer clock;
    clock.start();
    app.mainFrame()->dispatch(ID_RENDER);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(std::pair(session.engine()->isValid(), host.questionSounds), std::pair(false, 1));
}

// A notch during a render stops it and zooms on from the values shown, without
// the sound of a cancel; Back returns to them.
TEST_F(RenderOnQtHost, AWheelNotchDuringTheRenderRestartsItZoomedIn) {
    doc.setResolution(80, 60);
    QWidget& view = *app.mainFrame()->view();
    const PlaneRegion zoomed = *wheelZoomRegion({-2, -1.5, 2, 1.5}, {20, 30}, 1, view.width(), view.height());
    host.eventTarget = &view;
    host.atSecondPoll = new QWheelEvent(QPointF(20, 30), view.mapToGlobal(QPointF(20, 30)), {}, {0, 120},
                                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    doc.editParams([&](FractalParams& p) { p.iterations = 20000; });
    app.mainFrame()->dispatch(ID_RENDER);
    EXPECT_EQ(std::tuple(doc.params().left, doc.params().right, doc.params().top, doc.params().bottom,
                         session.engine()->isValid(), host.questionSounds),
              std::tuple(zoomed.left, zoomed.right, zoomed.top, zoomed.bottom, true, 0));
    NavigationHistory history = app.mainFrame()->controller().history();
    EXPECT_EQ(history.back(doc.params())->right, 2.0);
}

// F5 on a picture without memory reaches the render, which says why (again each time: core).
TEST(Render, F5OnAPictureWithoutMemoryShowsTheMessage) {
    StartedApp t;
    t.host.allowMessages = true;
    t.makeDoc().setResolution(2000000000, 2000000000);
    t.frame().dispatch(ID_RENDER);
    ASSERT_EQ(t.host.messages.size(), 2u);
    EXPECT_EQ(t.host.lastText(), "Not enough memory for bitmap.");
}

TEST(Render, TheLastProgressStepFillsTheBarWithoutRunningPast) {
    QProgressBar bar;
    ProgressBarSink sink(bar);
    sink.setRange(0, 100);
    sink.setStep(40);
    sink.stepIt();
    sink.stepIt();
    EXPECT_EQ(bar.value(), 80);
    sink.stepIt();
    EXPECT_EQ(bar.value(), 100);
}

}  // namespace
}  // namespace velmora::test
