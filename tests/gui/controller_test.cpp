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

// A place goes on the history once it was shown whole: moves that come while
// the view still renders are one step, and the newest of them is drawn.
TEST_F(Controller, ShownPlacesGoOnTheHistoryTravelDoesNotAndNewForgetsIt) {
    for (const double left : {-1.5, -1.0}) {
        controller.changeAndRender(at(left));
        controller.settle();
    }
    controller.back();
    EXPECT_EQ(std::tuple(doc.params().left, controller.history().canGoBack(), controller.history().canGoForward()),
              std::tuple(-1.5, true, true));
    controller.back();
    controller.forward();
    controller.forward();
    controller.settle();
    EXPECT_EQ(std::tuple(doc.params().left, session.engine()->xMin(), doc.isModified(), controller.history().canGoForward()),
              std::tuple(-1.0, -1.0, true, false));
    for (const double left : {-0.9, -0.8, -0.7}) controller.changeAndRender(at(left));
    controller.settle();
    EXPECT_EQ(std::tuple(session.engine()->xMin(), session.engine()->isValid()), std::tuple(-0.7, true));
    controller.back();
    EXPECT_EQ(doc.params().left, -1.0) << "the burst was one step";
    doc.onNewDocument();
    EXPECT_FALSE(controller.history().canGoBack() || controller.history().canGoForward());
}

// Behind the progress window a notch that came during the render is rendered
// next. In the view, Escape stops the render: the values stay, the picture is
// blank and the sound plays once (not for the render that newer values stopped).
TEST_F(Controller, ANotchDuringARenderRendersNextAndEscapeStopsTheViewWithTheSound) {
    view.notch = at(-0.5);
    controller.render();
    EXPECT_EQ(std::tuple(doc.params().left, session.engine()->xMin(), session.engine()->isValid(), host.questionSounds),
              std::tuple(-0.5, -0.5, true, 0));
    // Rows along the axis through the cusp at 0.25, whose points crawl to
    // their fixed point: the stop comes long before the first checkpoint.
    doc.setResolution(2000, 64);
    const auto slow = [&](double left) {
        FractalParams p = at(left);
        std::tie(p.top, p.bottom, p.iterations) = std::tuple(-0.01, 0.01, 1000000);
        return p;
    };
    controller.changeAndRender(slow(-0.25));
    controller.changeAndRender(slow(-0.2));
    controller.cancelViewRender();
    controller.settle();
    EXPECT_EQ(std::tuple(doc.params().left, session.engine()->isValid(), host.questionSounds, controller.isViewRendering()),
              std::tuple(-0.2, false, 1, false));
    controller.back();
    controller.back();
    EXPECT_EQ(doc.params().left, -2.0) << "the notch's place was a step, the stopped one was not";
}

}  // namespace
}  // namespace velmora::test
