#include "widgets/ProgressDialog.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace velmora::gui {

ProgressDialog::ProgressDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("ProgressDialog"));
    // Modal: while a render runs, the other windows take no input.
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    // The border the missing title bar would otherwise give.
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    outer->addWidget(frame);

    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(6);
    m_status = new QLabel(QStringLiteral("Please wait: Rendering fractal image..."), frame);
    m_status->setObjectName(QStringLiteral("1030"));
    m_status->setAlignment(Qt::AlignCenter);
    m_bar = new QProgressBar(frame);
    m_bar->setObjectName(QStringLiteral("1000"));
    m_bar->setTextVisible(false);
    m_bar->setFixedHeight(14);
    auto* hint = new QLabel(QStringLiteral("Hit ESC to cancel"), frame);
    hint->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_status);
    layout->addWidget(m_bar);
    layout->addWidget(hint);
    setMinimumWidth(260);
    adjustSize();
}

QPoint ProgressDialog::centredPosition(const QPoint& widgetScreenTopLeft, const QSize& widgetClient,
                                     const QSize& dialogClient) {
    return {widgetScreenTopLeft.x() + (widgetClient.width() - dialogClient.width()) / 2,
            widgetScreenTopLeft.y() + (widgetClient.height() - dialogClient.height()) / 2};
}

void ProgressDialog::showCentredOver(QWidget& widget) {
    adjustSize();
    move(centredPosition(widget.mapToGlobal(QPoint(0, 0)), widget.size(), size()));
    show();
    raise();
    repaint();
}

void ProgressDialog::reject() {
    if (m_cancel != nullptr) m_cancel->store(true);
}

void ProgressBarSink::setRange(int low, int high) {
    m_bar.setRange(low, high);
    m_bar.setValue(low);
    m_bar.repaint();
}

void ProgressBarSink::setPos(int pos) {
    m_bar.setValue(pos);
    m_bar.repaint();
}

void ProgressBarSink::stepIt() {
    // The last step may pass the end; a full bar is the truthful picture then.
    const int next = m_bar.value() + m_step;
    m_bar.setValue(next > m_bar.maximum() ? m_bar.maximum() : next);
    m_bar.repaint();
}

}  // namespace velmora::gui
