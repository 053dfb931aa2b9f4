#include "dialogs/ExportImageDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QSpinBox>

#include "widgets/DialogParts.h"

namespace velmora::gui {
namespace {

// Posters well beyond the screen's size; the export works in strips.
constexpr int kMaxSide = 100000;

QSpinBox* sideBox(QWidget* parent, int value, const QString& name) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(1, kMaxSide);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" px"));
    return box;
}

}  // namespace

ExportImageDialog::ExportImageDialog(int width, int height, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ExportImageDialog"));
    setWindowTitle(QStringLiteral("Export Image"));
    auto* form = new QFormLayout;
    m_width = sideBox(this, width, QStringLiteral("exportWidth"));
    m_height = sideBox(this, height, QStringLiteral("exportHeight"));
    form->addRow(QStringLiteral("&Width:"), m_width);
    form->addRow(QStringLiteral("&Height:"), m_height);
    m_supersample = new QComboBox(this);
    m_supersample->setObjectName(QStringLiteral("exportSupersample"));
    for (int n = 1; n <= 4; ++n)
        m_supersample->addItem(n == 1 ? QStringLiteral("None") : QStringLiteral("%1 x %1 samples").arg(n), n);
    form->addRow(QStringLiteral("&Anti-aliasing:"), m_supersample);
    m_smooth = new QCheckBox(QStringLiteral("&Smooth colouring"), this);
    m_smooth->setObjectName(QStringLiteral("exportSmooth"));
    form->addRow(QString(), m_smooth);
    layOutWithOkCancel(*this, form, QStringLiteral("&OK"), QStringLiteral("&Cancel"));
}

int ExportImageDialog::imageWidth() const { return m_width->value(); }
int ExportImageDialog::imageHeight() const { return m_height->value(); }

PngExportOptions ExportImageDialog::options() const {
    PngExportOptions o;
    o.supersample = m_supersample->currentData().toInt();
    o.smooth = m_smooth->isChecked();
    return o;
}

}  // namespace velmora::gui
