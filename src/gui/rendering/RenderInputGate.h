#pragma once
// While the view renders, the program takes no input but two: Escape, which
// stops the render, and the wheel over the view, which may stop it too so that
// the view zooms on and renders again instead of losing the notches.
#include <QObject>

#include <atomic>
#include <functional>

class QEvent;
class QWheelEvent;
class QWidget;

namespace velmora::gui {

// The events a user makes with keys, mouse, touch and the window's frame.
bool isUserInput(const QEvent& event);

class RenderInputGate : public QObject {
    Q_OBJECT
public:
    // onWheel sees each wheel event over the view and says whether the render
    // is to stop. The progress window keeps its own input (Escape there stops
    // the render too). Installed on the application until destroyed.
    RenderInputGate(QWidget& view, QWidget& progress, std::atomic<bool>& cancel,
                    std::function<bool(const QWheelEvent&)> onWheel);
    ~RenderInputGate() override;

    // Whether a gate is installed now: other filters leave the wheel to it.
    static bool isOpen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_view;
    QWidget& m_progress;
    std::atomic<bool>& m_cancel;
    std::function<bool(const QWheelEvent&)> m_onWheel;
};

}  // namespace velmora::gui
