// How often the view answers a held zoom: the right button held over a
// 1280 x 720 view for a few seconds, counting the paints (each shows the
// place of that moment) and the whole pictures that arrive, at a shallow
// place and past the doubles. Run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QThread>
#include <cstdio>

#include "control/ExploreController.h"
#include "host/DesktopDialogs.h"
#include "host/QtHost.h"
#include "location/CentreWidth.h"
#include "location/ExactLocationValues.h"
#include "model/Document.h"
#include "session/RenderSession.h"
#include "view/FractalView.h"

namespace {

using namespace velmora;

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void hold(const char* name, const std::string& re, const std::string& im, const std::string& width) {
    gui::QtHost host;
    gui::QtDesktopDialogs dialogs;
    Document doc(host);
    RenderSession session(doc);
    doc.onNewDocument();
    gui::FractalView view(session, host);
    gui::ExploreController controller(session, host, dialogs, view);
    view.setController(&controller);
    view.resize(1280, 720);
    view.show();
    controller.setFitToWindow(true);
    FractalParams p = doc.params();
    std::tie(p.width, p.height) = std::tuple(1280, 720);
    ExactLocation e;
    edgesFromCentre({re, im, width}, 1280, 720, e);
    e.cReal = "0.3";
    e.cImag = "0.6";
    assignExact(p, e);
    doc.setParams(p);
    controller.renderView();
    controller.settle();

    PaintCounter counter;
    view.installEventFilter(&counter);
    int pictures = 0;
    QObject::connect(&controller, &gui::ExploreController::viewRowsDone, [&](int, int end, const QByteArray&) {
        if (end == 720) ++pictures;
    });
    const QPointF at(700, 300);
    QMouseEvent press(QEvent::MouseButtonPress, at, view.mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 4000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    QMouseEvent release(QEvent::MouseButtonRelease, at, view.mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&view, &release);
    controller.settle();
    std::printf("%-28s %6.1f updates/s  %5.1f whole pictures/s\n", name, counter.paints / seconds,
                pictures / seconds);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    hold("shallow (width 3)", "-0.75", "0", "3");
    hold("seahorse valley (1e-5)", "-0.7436438870371587", "0.1318259042053120", "1e-5");
    hold("past the doubles (1e-30)", "-0.743643887037158704752191506114774246677514060542729328264",
         "0.131825904205311970493132056385139396519817796986506208645", "1e-30");
    return 0;
}
