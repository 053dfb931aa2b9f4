// The controller's request rules without the real view: what goes on the
// history, what a cancel leaves, and that New and Open start the history afresh.
#include <QWheelEvent>
#include <QWidget>

#include "GuiFixture.h"
#include "control/ExploreController.h"
#include "session/RenderSession.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

// A bare surface: no drag box, and wheel notches only as the test gives them.
class BareView : public ExploreView {
public:
    QWidget& surface() override { return widget; }
    bool addWheel(const QWheelEvent&) override { return false; }
    std::optional<FractalParams> takeWheelZoom() override { return std::exchange(notch, std::nullopt); }
    void endSelection() override {}
    QWidget widget;
    std::optional<FractalParams> notch;
};

class Controller : public ::testing::Test {
protected:
    Controller() {
        doc.onNewDocument();
        doc.setResolution(16, 12);
    }
    FractalParams at(double left) {
        FractalParams p = doc.params();
        p.left = left;
        return p;
    }
    FakeHost host;
    ScriptedDialogs dialogs;
    Document doc{host};
    RenderSession session{doc};
    BareView view;
    ExploreController controller{session, host, dialogs, view};
};

TEST_F(Controller, ChangesGoOnTheHistoryTravelDoesNotAndNewForgetsIt) {
    controller.changeAndRender(at(-1.5));
    controller.changeAndRender(at(-1.0));
    controller.back();
    EXPECT_EQ(std::tuple(doc.params().left, controller.history().canGoBack(), controller.history().canGoForward()),
              std::tuple(-1.5, true, true));
    controller.back();
    controller.forward();
    controller.forward();
    EXPECT_EQ(std::tuple(doc.params().left, session.engine()->xMin(), doc.isModified(), controller.history().canGoForward()),
              std::tuple(-1.0, -1.0, true, false));
    doc.onNewDocument();
    EXPECT_FALSE(controller.history().canGoBack() || controller.history().canGoForward());
}

// The latest request wins: a notch that came during a render is rendered next,
// with the place it replaced on the history; a cancel keeps the values, blanks
// the picture and asks no further render.
TEST_F(Controller, ANotchDuringARenderRendersNextAndACancelStopsWithTheSound) {
    view.notch = at(-0.5);
    controller.render();
    EXPECT_EQ(std::tuple(doc.params().left, session.engine()->xMin(), session.engine()->isValid(), host.questionSounds),
              std::tuple(-0.5, -0.5, true, 0));
    host.polls = 0;
    host.cancelAt = [](int poll) { return poll == 1; };  // poll 0 forgets a key typed before
    controller.changeAndRender(at(-0.25));
    EXPECT_EQ(std::tuple(doc.params().left, session.engine()->isValid(), host.questionSounds), std::tuple(-0.25, false, 1));
    controller.back();
    controller.back();
    EXPECT_EQ(doc.params().left, -2.0) << "both the notch's place and the cancelled one were steps";
}

}  // namespace
}  // namespace velmora::test
