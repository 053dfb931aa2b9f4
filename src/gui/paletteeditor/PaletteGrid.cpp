#include "paletteeditor/PaletteGrid.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <qdrawutil.h>

#include "host/DesktopDialogs.h"
#include "base/Host.h"

namespace velmora::gui {
namespace {

QRect toQRect(const CellRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

const char* const kGridName = "1019";

}  // namespace

PaletteGrid::PaletteGrid(const Palette& palette, Host& host, DesktopDialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      m_model(palette),
      m_host(host),
      m_dialogs(dialogs) {
    setObjectName(QString::fromLatin1(kGridName));
    // The editor receives the presses on the grid and passes them on.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

QColor PaletteGrid::entryColour(int index) const {
    const RgbQuad q = m_model.working().entry(static_cast<std::size_t>(index));
    return QColor(q.red, q.green, q.blue);
}

void PaletteGrid::setEditMode(PaletteEditMode mode) {
    if (!m_model.setEditMode(mode)) {
        Message m;
        m.text = "Select a palette entry first.";
        m.caption = kAppTitle;
        m.owner = MsgOwner::Dialog;
        m.ownerName = kGridName;
        m_host.showMessage(m);
    }
    emit modeChanged();
}


void PaletteGrid::redrawNow() { repaint(); }

void PaletteGrid::resizeEvent(QResizeEvent* event) {
    // Also kept at each paint; setting it here lets a click that comes
    // before the first paint find its cell.
    m_model.setClientSize(event->size().width(), event->size().height());
    QWidget::resizeEvent(event);
}

void PaletteGrid::paintEvent(QPaintEvent*) {
    m_model.setClientSize(width(), height());
    if (m_model.cellWidth() <= 0 || m_model.cellHeight() <= 0) return;
    QPainter painter(this);
    for (int r = 0; r < kGridCells; ++r) {
        for (int j = 0; j < kGridCells; ++j) {
            const GridCell cell{j, r};
            const QRect rect = toQRect(m_model.rectOf(cell));
            painter.fillRect(rect, entryColour(cell.index()));
            qDrawWinPanel(&painter, rect, palette(), true, nullptr);
        }
    }
    if (m_model.hasSelection()) qDrawWinPanel(&painter, toQRect(m_model.rectOf(m_model.selection())), palette(), false);
}

void PaletteGrid::perform(const GridAction& action) {
    switch (action.kind) {
        case GridAction::Kind::Nothing:
            return;
        case GridAction::Kind::Selected:
            update(toQRect(m_model.rectOf(action.previous)));
            update(toQRect(m_model.rectOf(action.cell)));
            return;
        case GridAction::Kind::Copied:
            update(toQRect(m_model.rectOf(action.cell)));
            break;
        case GridAction::Kind::Swapped:
            update(toQRect(m_model.rectOf(m_model.selection())));
            update(toQRect(m_model.rectOf(action.cell)));
            break;
        case GridAction::Kind::Spread:
            redrawNow();
            break;
        case GridAction::Kind::OpenChooser:
            openChooser(action.cell);
            return;
    }
    emit modeChanged();  // a performed mode is back to None
}

void PaletteGrid::onLButtonDown(const QPoint& point) { perform(m_model.click(point.x(), point.y())); }

void PaletteGrid::onLButtonDblClk(const QPoint& point) { perform(m_model.doubleClick(point.x(), point.y())); }

void PaletteGrid::openChooser(GridCell cell) {
    const std::optional<QColor> chosen = m_dialogs.getColor(this, entryColour(cell.index()));
    if (!chosen || !chosen->isValid()) return;
    m_model.setEntryColour(cell.index(), static_cast<std::uint8_t>(chosen->red()),
                           static_cast<std::uint8_t>(chosen->green()), static_cast<std::uint8_t>(chosen->blue()));
    redrawNow();
}

}  // namespace velmora::gui
