#include "services/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

#include "commands/CommandIds.h"

namespace velmora::gui {
namespace {

const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kGrey(128, 128, 128);
const QColor kLight(192, 192, 192);
const QColor kBlue(0, 0, 160);
const QColor kYellow(240, 200, 40);

void page(QPainter& p, int x, int y, int w, int h) {
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(x, y, w, h);
}

void magnifier(QPainter& p, bool plus) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(1, 1, 9, 9);
    p.setPen(QPen(kInk, 2));
    p.drawLine(9, 9, 14, 13);
    p.setPen(QPen(kInk, 1));
    p.drawLine(3, 5, 8, 5);
    if (plus) p.drawLine(5, 3, 5, 8);
}

// A fat arrow pointing left or right, like a browser's Back and Forward.
void arrow(QPainter& p, bool right) {
    QPolygon shape({QPoint(1, 7), QPoint(7, 1), QPoint(7, 4), QPoint(14, 4), QPoint(14, 10), QPoint(7, 10),
                    QPoint(7, 13)});
    if (right) {
        for (QPoint& pt : shape) pt.setX(15 - pt.x());
    }
    p.setPen(kInk);
    p.setBrush(QColor(40, 150, 60));
    p.drawPolygon(shape);
}

void paintIcon(QPainter& p, int id) {
    switch (id) {
        case ID_FILE_NEW:
            page(p, 3, 0, 9, 13);
            p.setPen(kInk);
            p.drawLine(9, 0, 12, 3);  // folded corner
            p.fillRect(10, 0, 3, 3, Qt::transparent);
            break;
        case ID_FILE_OPEN:
            p.setPen(kInk);
            p.setBrush(kYellow);
            p.drawRect(0, 4, 12, 9);
            p.drawPolygon(QPolygon({QPoint(0, 13), QPoint(3, 7), QPoint(15, 7), QPoint(12, 13)}));
            p.setPen(kBlue);
            p.drawArc(8, 0, 6, 6, 0, 180 * 16);
            break;
        case ID_FILE_SAVE:
            p.setPen(kInk);
            p.setBrush(kBlue);
            p.drawRect(1, 0, 13, 13);
            p.fillRect(4, 1, 8, 5, kPaper);
            p.fillRect(5, 9, 6, 4, kLight);
            p.fillRect(8, 10, 2, 2, kInk);
            break;
        case ID_EDIT_COPY:
            page(p, 0, 0, 8, 10);
            page(p, 6, 4, 8, 10);
            p.setPen(kBlue);
            for (int y = 7; y <= 12; y += 2) p.drawLine(8, y, 12, y);
            break;
        case ID_FILE_PRINT:
            page(p, 4, 0, 7, 6);
            p.setPen(kInk);
            p.setBrush(kLight);
            p.drawRect(0, 6, 15, 6);
            p.fillRect(3, 11, 9, 3, kPaper);
            p.fillRect(12, 8, 2, 1, QColor(0, 160, 0));
            break;
        case ID_RENDER: {
            // A tiny Mandelbrot set on a coloured field.
            QLinearGradient g(0, 0, 16, 15);
            g.setColorAt(0, QColor(40, 60, 220));
            g.setColorAt(1, QColor(220, 60, 120));
            p.fillRect(0, 0, 16, 15, g);
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawEllipse(5, 3, 8, 9);
            p.drawEllipse(2, 5, 4, 5);
            p.drawEllipse(1, 7, 1, 1);
            break;
        }
        case ID_CONFIGURE:
            p.setPen(kInk);
            for (int i = 0; i < 3; ++i) p.drawLine(1, 2 + i * 5, 14, 2 + i * 5);
            p.setBrush(kLight);
            p.drawRect(3, 0, 3, 4);
            p.drawRect(9, 5, 3, 4);
            p.drawRect(5, 10, 3, 4);
            break;
        case ID_ZOOM_IN:
            magnifier(p, true);
            break;
        case ID_ZOOM_OUT:
            magnifier(p, false);
            break;
        case ID_EDIT_PALETTE:
            p.setPen(kInk);
            p.setBrush(QColor(230, 200, 150));
            p.drawEllipse(0, 1, 15, 13);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::red);
            p.drawEllipse(3, 4, 3, 3);
            p.setBrush(QColor(0, 170, 0));
            p.drawEllipse(7, 3, 3, 3);
            p.setBrush(kBlue);
            p.drawEllipse(10, 6, 3, 3);
            p.setBrush(kYellow);
            p.drawEllipse(7, 9, 3, 3);
            break;
        case ID_LOCK_PROPORTIONS:
            p.setPen(QPen(kInk, 2));
            p.setBrush(Qt::NoBrush);
            p.drawArc(4, 1, 8, 10, 0, 180 * 16);
            p.drawLine(4, 6, 4, 7);
            p.drawLine(12, 6, 12, 7);
            p.setPen(kInk);
            p.setBrush(kYellow);
            p.drawRect(2, 7, 12, 7);
            p.fillRect(7, 9, 2, 3, kInk);
            break;
        case ID_NAV_BACK:
            arrow(p, false);
            break;
        case ID_NAV_FORWARD:
            arrow(p, true);
            break;
        case ID_ANIM_WINDOW:
            p.fillRect(0, 1, 16, 13, kInk);
            for (int x = 1; x < 16; x += 3) {
                p.fillRect(x, 2, 2, 1, kPaper);
                p.fillRect(x, 12, 2, 1, kPaper);
            }
            p.fillRect(2, 4, 5, 7, QColor(80, 140, 255));
            p.fillRect(9, 4, 5, 7, QColor(255, 140, 80));
            break;
        case ID_APP_ABOUT: {
            p.setPen(kInk);
            p.setBrush(QColor(255, 255, 200));
            p.drawEllipse(1, 0, 13, 13);
            QFont f = p.font();
            f.setPixelSize(11);
            f.setBold(true);
            p.setFont(f);
            p.setPen(kBlue);
            p.drawText(QRect(1, 0, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        case ID_CONTEXT_HELP: {
            // An arrow with a question mark.
            p.setPen(kInk);
            p.setBrush(kPaper);
            p.drawPolygon(QPolygon({QPoint(0, 0), QPoint(0, 11), QPoint(3, 8), QPoint(5, 13), QPoint(7, 12),
                                    QPoint(5, 7), QPoint(8, 7)}));
            QFont f = p.font();
            f.setPixelSize(11);
            f.setBold(true);
            p.setFont(f);
            p.setPen(kBlue);
            p.drawText(QRect(8, 0, 8, 14), Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        default:
            break;
    }
}

}  // namespace

QIcon toolbarIcon(int id) {
    switch (id) {
        case ID_FILE_NEW: case ID_FILE_OPEN: case ID_FILE_SAVE: case ID_EDIT_COPY: case ID_FILE_PRINT:
        case ID_RENDER: case ID_CONFIGURE: case ID_ZOOM_IN: case ID_ZOOM_OUT: case ID_EDIT_PALETTE:
        case ID_LOCK_PROPORTIONS: case ID_ANIM_WINDOW: case ID_APP_ABOUT: case ID_CONTEXT_HELP:
        case ID_NAV_BACK: case ID_NAV_FORWARD:
            break;
        default:
            return {};
    }
    QPixmap pm(kToolbarIconWidth, kToolbarIconHeight);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paintIcon(p, id);
    p.end();
    return QIcon(pm);
}

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        QLinearGradient g(0, 0, 64, 64);
        g.setColorAt(0, QColor(30, 40, 160));
        g.setColorAt(1, QColor(200, 50, 110));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(2, 2, 60, 60, 10, 10);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(38, 32), 14, 15);
        p.drawEllipse(QPointF(19, 32), 7, 7);
        p.drawEllipse(QPointF(9, 32), 2, 2);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace velmora::gui
