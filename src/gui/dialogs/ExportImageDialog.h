#pragma once
// Asks how to export the picture as a PNG: its size (independent of the
// window's), anti-aliasing and smooth colouring.
#include <QDialog>

#include "export/PictureExport.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace velmora::gui {

class ExportImageDialog : public QDialog {
    Q_OBJECT
public:
    ExportImageDialog(int width, int height, QWidget* parent = nullptr);

    int imageWidth() const;
    int imageHeight() const;
    PngExportOptions options() const;

private:
    QSpinBox* m_width;
    QSpinBox* m_height;
    QComboBox* m_supersample;
    QCheckBox* m_smooth;
};

}  // namespace velmora::gui
