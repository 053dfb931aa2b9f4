#pragma once
// The "Palette Editor": a modal dialog that edits a copy of a palette in its
// colour grid and writes all 1024 bytes back only on OK.
#include <QCursor>
#include <QDialog>
#include <optional>

#include "palette/Palette.h"

class QPushButton;

namespace velmora {
class Document;
class Host;
}  // namespace velmora

namespace velmora::gui {

class PaletteGrid;
class DesktopDialogs;

class PaletteEditorDialog : public QDialog {
    Q_OBJECT
public:
    // Control ids; they are also the widgets' object names.
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;
    static constexpr int kIdCopy = 8;
    static constexpr int kIdSwap = 4;
    static constexpr int kIdSpread = 5;
    static constexpr int kIdLoad = 6;
    static constexpr int kIdSave = 7;
    static constexpr int kIdGrid = 1019;
    static constexpr int kIdHelp = 57670;
    // The dialog's object name, by which its messages find their owner.
    static constexpr const char* kName = "Palette Editor";

    PaletteEditorDialog(Palette& palette, Host& host, DesktopDialogs& dialogs, QWidget* parent = nullptr);
    ~PaletteEditorDialog() override;

    PaletteGrid* grid() const { return m_grid; }

    // OK: the working palette over the caller's, then close.
    void accept() override;

    void onCopy();
    void onSwap();
    void onSpread();
    void onLoad();
    void onSave();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void showValues();
    void updateCursor();
    // The point in grid coordinates when it lies on the grid's window.
    std::optional<QPoint> onGrid(const QPoint& dialogPoint) const;

    QCursor m_arrow{Qt::ArrowCursor};
    QCursor m_target{Qt::ArrowCursor};
    Palette& m_palette;
    Host& m_host;
    DesktopDialogs& m_dialogs;
    PaletteGrid* m_grid = nullptr;
};

// Runs the editor modally on a palette (through the dialogs seam) and returns
// QDialog::Accepted or QDialog::Rejected.
int runPaletteEditor(Palette& palette, Host& host, DesktopDialogs& dialogs, QWidget* parent = nullptr);

// Edit Palette on the document: the editor on its palette, then, whatever
// closed it, the document marked modified. The caller tells the windows that
// the palette changed.
void editDocumentPalette(Document& doc, Host& host, DesktopDialogs& dialogs, QWidget* parent = nullptr);

}  // namespace velmora::gui
