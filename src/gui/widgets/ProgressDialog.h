#pragma once
// The small window shown while a picture is computed: two texts and a bar, no
// title bar. It is shown by a single Render and by the animation render, which
// writes its own texts into statusText().
#include <QDialog>

#include <atomic>

#include "render/Progress.h"

class QLabel;
class QProgressBar;

namespace velmora::gui {

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProgressDialog(QWidget* owner);

    QLabel* statusText() const { return m_status; }     // id 1030
    QProgressBar* progressBar() const { return m_bar; }  // id 1000

    // Escape (or closing the window) sets this flag, which the render watches;
    // the window itself stays until the render is over.
    void setCancelFlag(std::atomic<bool>* flag) { m_cancel = flag; }
    void reject() override;

    // Places the dialog centred over the widget's client area, on top, and
    // paints it at once: the render that follows lets no paint through.
    void showCentredOver(QWidget& widget);

    // Where the top-left corner goes; integer halves truncate toward zero.
    static QPoint centredPosition(const QPoint& widgetScreenTopLeft, const QSize& widgetClient,
                                  const QSize& dialogClient);

private:
    QLabel* m_status;
    QProgressBar* m_bar;
    std::atomic<bool>* m_cancel = nullptr;
};

// Feeds a render's progress into a bar, painting it at each step.
class ProgressBarSink : public ProgressSink {
public:
    explicit ProgressBarSink(QProgressBar& bar) : m_bar(bar) {}
    void setRange(int low, int high) override;
    void setPos(int pos) override;
    void setStep(int step) override { m_step = step; }
    void stepIt() override;

private:
    QProgressBar& m_bar;
    int m_step = 10;
};

}  // namespace velmora::gui
