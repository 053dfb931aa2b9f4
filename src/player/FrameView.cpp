#include "FrameView.h"

#include <QPainter>

FrameView::FrameView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(64, 48);
}

void FrameView::show(const QImage& image, const QString& note) {
    m_image = image;
    m_note = note;
    update();
}

QRect FrameView::fittedRect(const QSize& picture, const QRect& area) {
    if (picture.isEmpty() || area.isEmpty()) return area;
    const QSize scaled = picture.scaled(area.size(), Qt::KeepAspectRatio);
    return {area.x() + (area.width() - scaled.width()) / 2, area.y() + (area.height() - scaled.height()) / 2,
            scaled.width(), scaled.height()};
}

void FrameView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_image.isNull()) {
        const QRect target = fittedRect(m_image.size(), rect());
        // Enlarged pixels stay sharp squares; a shrunk frame is smoothed.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, target.width() < m_image.width());
        painter.drawImage(target, m_image);
        return;
    }
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWrapAnywhere, m_note);
}
