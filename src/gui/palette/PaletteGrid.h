#pragma once
// The palette editor's colour grid: 16 x 16 sunken cells with the selected
// one raised. It takes no mouse input of its own; the editor hands it the
// clicks that fall on it. All decisions live in PaletteGridModel.
#include <QColor>
#include <QWidget>

#include "palette/LogicalPalette.h"
#include "palette/PaletteEditOps.h"

namespace velmora {
class Host;
}

namespace velmora::gui {

class DesktopDialogs;

class PaletteGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int kId = 1019;

    // Starts on a copy of the palette: no selection, mode None, and its own
    // logical palette built at once.
    PaletteGrid(const Palette& palette, Host& host, DesktopDialogs& dialogs, QWidget* parent);

    Palette& Working() { return m_model.Working(); }
    const Palette& Working() const { return m_model.Working(); }
    const PaletteGridModel& Model() const { return m_model; }
    PaletteEditMode Mode() const { return m_model.Mode(); }
    const GdiPaletteHolder& LogicalPaletteHolder() const { return m_logical; }

    // Arms a mode; with nothing selected it says so and arms nothing.
    void SetEditMode(PaletteEditMode mode);

    // Points are in grid coordinates.
    void OnLButtonDown(const QPoint& point);
    void OnLButtonDblClk(const QPoint& point);

    void BuildGdiPalette();
    // Repaints the whole grid now.
    void RedrawNow();

    QColor EntryColour(int index) const;

signals:
    // The mode was armed or has returned to None.
    void ModeChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Perform(const GridAction& action);
    void OpenChooser(GridCell cell);

    PaletteGridModel m_model;
    GdiPaletteHolder m_logical;
    Host& m_host;
    DesktopDialogs& m_dialogs;
};

}  // namespace velmora::gui
