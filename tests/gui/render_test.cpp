#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>

#include "GuiFixture.h"
#include "app/CommandIds.h"
#include "app/QtHost.h"
#include "render/CProgressDlg.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

// The real Qt host, with the message boxes and sounds recorded instead of
// shown, and a script that types keys at chosen polls.
class TypingHost : public QtHost {
public:
    std::function<void(int)> typeAt;
    int polls = 0;
    int questionSounds = 0;
    std::vector<Message> messages;

    MsgAnswer ShowMessage(const Message& m) override {
        messages.push_back(m);
        ADD_FAILURE() << "unexpected message: " << m.text;
        return MsgAnswer::Ok;
    }
    bool PollCancelKey() override {
        if (typeAt) typeAt(polls);
        ++polls;
        return QtHost::PollCancelKey();
    }
    void PlayQuestionSound() override { ++questionSounds; }
    void Beep() override {}
};

void PostKey(QWidget* to, int key) {
    QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        app = std::make_unique<CVelmoraApp>(host, dialogs);
        std::ostringstream out, err;
        ASSERT_EQ(app->InitInstance({}, out, err), CVelmoraApp::kKeepRunning);
        app->GetDocument().SetResolution(200, 150);
    }
    void TearDown() override { app.reset(); }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
    CVelmoraDoc& Doc() { return app->GetDocument(); }

    TypingHost host;
    ScriptedDialogs dialogs;
    std::unique_ptr<CVelmoraApp> app;
};

TEST_F(RenderTest, CompleteRenderDrawsTheNewPictureAndTidiesUp) {
    Frame().Dispatch(ID_RENDER);
    EXPECT_TRUE(Doc().m_pEngine->IsValid());
    EXPECT_TRUE(Doc().m_bRendered);
    EXPECT_EQ(host.questionSounds, 0);
    EXPECT_GT(host.polls, 1);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the wait cursor is gone";
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<CProgressDlg*>(w) != nullptr && w->isVisible()) << "progress dialog left open";
    // The header block for export was built by the repaint.
    EXPECT_NE(Doc().m_pEngine->GetBitmapInfo(), nullptr);
}

TEST_F(RenderTest, EscapeTypedDuringTheRenderCancelsIt) {
    QWidget* view = Frame().GetView();
    // The first poll forgets keys typed before the render; type during it.
    host.typeAt = [view](int poll) {
        if (poll == 3) PostKey(view, Qt::Key_Escape);
    };
    Frame().Dispatch(ID_RENDER);
    EXPECT_EQ(host.questionSounds, 1);
    EXPECT_FALSE(Doc().m_pEngine->IsValid());
    EXPECT_TRUE(Doc().m_bRendered);
    EXPECT_EQ(host.polls, 4) << "stops at the poll that saw the key";
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().Action(ID_FILE_EXPORTBMP)->isEnabled());
    // The blank picture: every pixel is index 0.
    const auto* bits = Doc().m_pEngine->GetBits();
    EXPECT_TRUE(std::all_of(bits, bits + Doc().m_pEngine->GetBufferSize(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(RenderTest, EscapeBeforeTheRenderIsForgotten) {
    QWidget* view = Frame().GetView();
    PostKey(view, Qt::Key_Escape);
    Frame().Dispatch(ID_RENDER);
    EXPECT_TRUE(Doc().m_pEngine->IsValid());
    EXPECT_EQ(host.questionSounds, 0);
}

// Counts the events that reach a widget past the application's filters.
class Counter : public QObject {
public:
    int keys = 0;
    int closes = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) ++keys;
        if (e->type() == QEvent::Close) ++closes;
        return false;
    }
};

TEST_F(RenderTest, DuringARenderInputIsSwallowedAndOnlyEscapeRemembered) {
    QWidget* view = Frame().GetView();
    Counter counter;
    Counter frameCounter;
    view->installEventFilter(&counter);
    Frame().installEventFilter(&frameCounter);
    EscapeWatch watch;
    qApp->installEventFilter(&watch);
    QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QApplication::sendEvent(view, &f5);
    QKeyEvent ctrlN(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier);
    QApplication::sendEvent(view, &ctrlN);
    EXPECT_FALSE(watch.TakeEscape());
    QCloseEvent close;
    QApplication::sendEvent(&Frame(), &close);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(view, &esc);
    qApp->removeEventFilter(&watch);
    EXPECT_EQ(counter.keys, 0);
    EXPECT_EQ(frameCounter.closes, 0) << "closing the window waits for the render";
    EXPECT_TRUE(watch.TakeEscape());
    EXPECT_FALSE(watch.TakeEscape()) << "each Escape is reported once";
    // Without the watch, keys reach the view again.
    QKeyEvent later(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(view, &later);
    EXPECT_EQ(counter.keys, 1);
}

TEST(ProgressDialog, IsCentredOverTheViewWithTruncatingHalves) {
    EXPECT_EQ(CProgressDlg::CentredPosition(QPoint(100, 50), QSize(450, 300), QSize(301, 77)), QPoint(174, 161));
    // A dialog wider than the view sits further left than the view.
    EXPECT_EQ(CProgressDlg::CentredPosition(QPoint(10, 10), QSize(100, 100), QSize(301, 77)), QPoint(10 - 100, 21));
}

TEST(ProgressDialog, BarSinkNeverRunsPastTheEnd) {
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

TEST(ProgressDialog, HasNoTitleBarAndTheTwoTexts) {
    CProgressDlg dlg(nullptr);
    EXPECT_TRUE(dlg.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(dlg.StatusText()->text(), QStringLiteral("Please wait: Rendering fractal image..."));
    QStringList texts;
    for (QLabel* l : dlg.findChildren<QLabel*>()) texts << l->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Hit ESC to cancel")));
    EXPECT_EQ(dlg.ProgressBar()->objectName(), QStringLiteral("1000"));
}

}  // namespace
}  // namespace velmora::test
