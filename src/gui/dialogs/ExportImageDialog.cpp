#include "dialogs/ExportImageDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QSettings>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

#include "widgets/DialogParts.h"

namespace velmora::gui {
namespace {

// Posters well beyond the screen's size; the export works in strips.
constexpr int kMaxSide = 100000;
const QString kGroup = QStringLiteral("ExportImage");

QSpinBox* sideBox(QWidget* parent, int value, const QString& name) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(1, kMaxSide);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" px"));
    return box;
}

int scaled(int side, int to, int from) {
    if (from <= 0 || to <= 0) return side;
    const double v = std::round(static_cast<double>(side) * to / from);
    return static_cast<int>(std::clamp(v, 1.0, static_cast<double>(kMaxSide)));
}

}  // namespace

std::optional<ExportChoices> ExportChoices::load(QSettings& settings) {
    settings.beginGroup(kGroup);
    std::optional<ExportChoices> c;
    if (settings.contains(QStringLiteral("Width"))) {
        c.emplace();
        c->width = settings.value(QStringLiteral("Width")).toInt();
        c->height = settings.value(QStringLiteral("Height")).toInt();
        c->supersample = settings.value(QStringLiteral("Supersample"), 1).toInt();
        c->smooth = settings.value(QStringLiteral("Smooth"), false).toBool();
        c->keepProportions = settings.value(QStringLiteral("KeepProportions"), true).toBool();
    }
    settings.endGroup();
    return c;
}

void ExportChoices::save(QSettings& settings) const {
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("Width"), width);
    settings.setValue(QStringLiteral("Height"), height);
    settings.setValue(QStringLiteral("Supersample"), supersample);
    settings.setValue(QStringLiteral("Smooth"), smooth);
    settings.setValue(QStringLiteral("KeepProportions"), keepProportions);
    settings.endGroup();
}

ExportImageDialog::ExportImageDialog(int pictureWidth, int pictureHeight, const std::optional<ExportChoices>& last,
                                     QWidget* parent)
    : QDialog(parent), m_pictureWidth(pictureWidth), m_pictureHeight(pictureHeight) {
    setObjectName(QStringLiteral("ExportImageDialog"));
    setWindowTitle(QStringLiteral("Export Image"));
    const ExportChoices start = last.value_or(ExportChoices{pictureWidth, pictureHeight, 1, false, true});
    auto* form = new QFormLayout;
    m_width = sideBox(this, start.width, QStringLiteral("exportWidth"));
    m_height = sideBox(this, start.keepProportions ? heightFor(start.width) : start.height,
                       QStringLiteral("exportHeight"));
    form->addRow(QStringLiteral("&Width:"), m_width);
    form->addRow(QStringLiteral("&Height:"), m_height);
    m_keep = new QCheckBox(QStringLiteral("&Keep the picture's proportions"), this);
    m_keep->setObjectName(QStringLiteral("exportKeepProportions"));
    m_keep->setChecked(start.keepProportions);
    form->addRow(QString(), m_keep);
    // While the proportions are kept, each side follows the other.
    connect(m_width, &QSpinBox::valueChanged, this, [this](int w) {
        if (!m_keep->isChecked() || std::exchange(m_following, true)) return;
        m_height->setValue(heightFor(w));
        m_following = false;
    });
    connect(m_height, &QSpinBox::valueChanged, this, [this](int h) {
        if (!m_keep->isChecked() || std::exchange(m_following, true)) return;
        m_width->setValue(widthFor(h));
        m_following = false;
    });
    connect(m_keep, &QCheckBox::toggled, this, [this](bool on) {
        if (on) m_height->setValue(heightFor(m_width->value()));
    });
    m_supersample = new QComboBox(this);
    m_supersample->setObjectName(QStringLiteral("exportSupersample"));
    for (int n = 1; n <= 4; ++n)
        m_supersample->addItem(n == 1 ? QStringLiteral("None") : QStringLiteral("%1 x %1 samples").arg(n), n);
    m_supersample->setCurrentIndex(std::max(0, m_supersample->findData(start.supersample)));
    form->addRow(QStringLiteral("&Anti-aliasing:"), m_supersample);
    m_smooth = new QCheckBox(QStringLiteral("&Smooth colouring"), this);
    m_smooth->setObjectName(QStringLiteral("exportSmooth"));
    m_smooth->setChecked(start.smooth);
    form->addRow(QString(), m_smooth);
    layOutWithOkCancel(*this, form, QStringLiteral("&OK"), QStringLiteral("&Cancel"));
}

int ExportImageDialog::heightFor(int width) const { return scaled(width, m_pictureHeight, m_pictureWidth); }
int ExportImageDialog::widthFor(int height) const { return scaled(height, m_pictureWidth, m_pictureHeight); }

int ExportImageDialog::imageWidth() const { return m_width->value(); }
int ExportImageDialog::imageHeight() const { return m_height->value(); }

PngExportOptions ExportImageDialog::options() const {
    PngExportOptions o;
    o.supersample = m_supersample->currentData().toInt();
    o.smooth = m_smooth->isChecked();
    return o;
}

ExportChoices ExportImageDialog::choices() const {
    return {imageWidth(), imageHeight(), options().supersample, options().smooth, m_keep->isChecked()};
}

}  // namespace velmora::gui
