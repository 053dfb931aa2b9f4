#pragma once
// The palette editor's colour grid: 16 x 16 sunken cells with the selected
// one raised. It takes no mouse input of its own; the editor hands it the
// clicks that fall on it. All decisions live in PaletteGridModel.
#include <QColor>
#include <QWidget>

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

    // Starts on a copy of the palette: no selection, mode None.
    PaletteGrid(const Palette& palette, Host& host, DesktopDialogs& dialogs, QWidget* parent);

    Palette& working() { return m_model.working(); }
    const Palette& working() const { return m_model.working(); }
    const PaletteGridModel& model() const { return m_model; }
    PaletteEditMode mode() const { return m_model.mode(); }

    // Arms a mode; with nothing selected it says so and arms nothing.
    void setEditMode(PaletteEditMode mode);

    // Points are in grid coordinates.
    void onLButtonDown(const QPoint& point);
    void onLButtonDblClk(const QPoint& point);

    // Repaints the whole grid now.
    void redrawNow();

    QColor entryColour(int index) const;

signals:
    // The mode was armed or has returned to None.
    void modeChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void perform(const GridAction& action);
    void openChooser(GridCell cell);

    PaletteGridModel m_model;
    Host& m_host;
    DesktopDialogs& m_dialogs;
};

}  // namespace velmora::gui
