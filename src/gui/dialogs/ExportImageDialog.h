#pragma once
// Asks how to export the picture as a PNG: its size (independent of the
// window's, its proportions the picture's unless the user unlocks them),
// anti-aliasing and smooth colouring.
#include <QDialog>

#include <optional>

#include "export/PictureExport.h"

class QCheckBox;
class QComboBox;
class QSettings;
class QSpinBox;

namespace velmora::gui {

// What the dialog asks, kept between uses.
struct ExportChoices {
    int width = 0;
    int height = 0;
    int supersample = 1;
    bool smooth = false;
    bool keepProportions = true;
    static std::optional<ExportChoices> load(QSettings& settings);
    void save(QSettings& settings) const;
};

class ExportImageDialog : public QDialog {
    Q_OBJECT
public:
    // Proposes the last choices when there are any (the height following the
    // picture's proportions while they are kept), else the picture's size.
    ExportImageDialog(int pictureWidth, int pictureHeight, const std::optional<ExportChoices>& last,
                      QWidget* parent = nullptr);

    int imageWidth() const;
    int imageHeight() const;
    PngExportOptions options() const;
    ExportChoices choices() const;

private:
    // The other side from one, by the picture's proportions.
    int heightFor(int width) const;
    int widthFor(int height) const;

    int m_pictureWidth;
    int m_pictureHeight;
    bool m_following = false;  // a side being set from the other
    QSpinBox* m_width;
    QSpinBox* m_height;
    QCheckBox* m_keep;
    QComboBox* m_supersample;
    QCheckBox* m_smooth;
};

}  // namespace velmora::gui
