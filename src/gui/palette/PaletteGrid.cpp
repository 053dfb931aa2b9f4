#include "palette/PaletteGrid.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <qdrawutil.h>

#include "app/DesktopDialogs.h"
#include "platform/Host.h"

namespace velmora::gui {
namespace {

QRect ToQRect(const CellRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

const char* const kGridName = "1019";

}  // namespace

PaletteGrid::PaletteGrid(const Palette& palette, Host& host, DesktopDialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      m_model(palette),
      m_logical(host, MsgOwner::Dialog, kGridName),
      m_host(host),
      m_dialogs(dialogs) {
    setObjectName(QString::fromLatin1(kGridName));
    // The editor receives the presses on the grid and passes them on.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    BuildGdiPalette();
}

QColor PaletteGrid::EntryColour(int index) const {
    const RgbQuad q = m_model.Working().Entry(static_cast<std::size_t>(index));
    return QColor(q.red, q.green, q.blue);
}

void PaletteGrid::SetEditMode(PaletteEditMode mode) {
    if (!m_model.SetEditMode(mode)) {
        Message m;
        m.text = "Select a palette entry first.";
        m.caption = kAppTitle;
        m.owner = MsgOwner::Dialog;
        m.ownerName = kGridName;
        m_host.ShowMessage(m);
    }
    emit ModeChanged();
}

void PaletteGrid::BuildGdiPalette() { m_logical.BuildGdiPalette(m_model.Working()); }

void PaletteGrid::RedrawNow() { repaint(); }

void PaletteGrid::resizeEvent(QResizeEvent* event) {
    // Also kept at each paint; setting it here lets a click that comes
    // before the first paint find its cell.
    m_model.SetClientSize(event->size().width(), event->size().height());
    QWidget::resizeEvent(event);
}

void PaletteGrid::paintEvent(QPaintEvent*) {
    m_model.SetClientSize(width(), height());
    if (m_model.CellWidth() <= 0 || m_model.CellHeight() <= 0) return;
    QPainter painter(this);
    for (int r = 0; r < kGridCells; ++r) {
        for (int j = 0; j < kGridCells; ++j) {
            const GridCell cell{j, r};
            const QRect rect = ToQRect(m_model.RectOf(cell));
            painter.fillRect(rect, EntryColour(cell.Index()));
            qDrawWinPanel(&painter, rect, palette(), true, nullptr);
        }
    }
    if (m_model.HasSelection()) qDrawWinPanel(&painter, ToQRect(m_model.RectOf(m_model.Selection())), palette(), false);
}

void PaletteGrid::Perform(const GridAction& action) {
    switch (action.kind) {
        case GridAction::Kind::Nothing:
            return;
        case GridAction::Kind::Selected:
            update(ToQRect(m_model.RectOf(action.previous)));
            update(ToQRect(m_model.RectOf(action.cell)));
            return;
        case GridAction::Kind::Copied:
            update(ToQRect(m_model.RectOf(action.cell)));
            break;
        case GridAction::Kind::Swapped:
            update(ToQRect(m_model.RectOf(m_model.Selection())));
            update(ToQRect(m_model.RectOf(action.cell)));
            break;
        case GridAction::Kind::Spread:
            BuildGdiPalette();
            RedrawNow();
            break;
        case GridAction::Kind::OpenChooser:
            OpenChooser(action.cell);
            return;
    }
    emit ModeChanged();  // a performed mode is back to None
}

void PaletteGrid::OnLButtonDown(const QPoint& point) { Perform(m_model.Click(point.x(), point.y())); }

void PaletteGrid::OnLButtonDblClk(const QPoint& point) { Perform(m_model.DoubleClick(point.x(), point.y())); }

void PaletteGrid::OpenChooser(GridCell cell) {
    const std::optional<QColor> chosen = m_dialogs.GetColor(this, EntryColour(cell.Index()));
    if (!chosen || !chosen->isValid()) return;
    m_model.SetEntryColour(cell.Index(), static_cast<std::uint8_t>(chosen->red()),
                           static_cast<std::uint8_t>(chosen->green()), static_cast<std::uint8_t>(chosen->blue()));
    BuildGdiPalette();
    RedrawNow();
}

}  // namespace velmora::gui
