#include "dialogs/SettingsDialog.h"

#include <QDoubleSpinBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "widgets/DialogParts.h"
#include "widgets/HelpWindow.h"
#include "model/Document.h"
#include "base/Host.h"

namespace velmora::gui {

SettingsDialog::SettingsDialog(Document& doc, Host& host, PaletteEditorRunner runPaletteEditor, QWidget* parent)
    : QDialog(parent), m_document(doc), m_host(host), m_runPaletteEditor(std::move(runPaletteEditor)) {
    // The name lets the Host find this dialog as the owner of its messages.
    setObjectName(QString::fromLatin1(kSettingsDialogName));
    setWindowTitle(QStringLiteral("Fractal Image Settings"));
    setProperty("helpTopic", QStringLiteral("settings"));

    // Buttons first: they lead the tab order, and OK takes the first focus.
    m_ok = makeIdButton(this, QStringLiteral("&OK"), kIdOk);
    m_ok->setDefault(true);
    auto* cancel = makeIdButton(this, QStringLiteral("&Cancel"), kIdCancel);
    auto* help = makeIdButton(this, QStringLiteral("&Help"), kIdHelp);
    for (QPushButton* b : {m_ok, cancel, help}) b->setMinimumWidth(dialogUnitsX(*this, 54));

    auto* zoom = new QGroupBox(QStringLiteral("Zoom Location"), this);
    m_left = makeEdit(zoom, kIdLeft, 75);
    m_right = makeEdit(zoom, kIdRight, 75);
    m_top = makeEdit(zoom, kIdTop, 75);
    m_bottom = makeEdit(zoom, kIdBottom, 75);
    auto* zoomGrid = new QGridLayout(zoom);
    zoomGrid->addWidget(makeLabel(zoom, QStringLiteral("&Left:"), m_left, true), 0, 0);
    zoomGrid->addWidget(m_left, 0, 1);
    zoomGrid->addWidget(makeLabel(zoom, QStringLiteral("&Right:"), m_right, true), 1, 0);
    zoomGrid->addWidget(m_right, 1, 1);
    zoomGrid->addWidget(makeLabel(zoom, QStringLiteral("&Top:"), m_top, true), 2, 0);
    zoomGrid->addWidget(m_top, 2, 1);
    zoomGrid->addWidget(makeLabel(zoom, QStringLiteral("&Bottom:"), m_bottom, true), 3, 0);
    zoomGrid->addWidget(m_bottom, 3, 1);
    zoomGrid->setRowStretch(4, 1);

    auto* type = new QGroupBox(QStringLiteral("Fractal Type"), this);
    m_mandelbrot = new QRadioButton(QStringLiteral("&Mandelbrot"), type);
    m_mandelbrot->setObjectName(QString::number(kIdMandelbrot));
    m_julia = new QRadioButton(QStringLiteral("&Julia"), type);
    m_julia->setObjectName(QString::number(kIdJulia));
    m_cReal = makeEdit(type, kIdCReal, 75);
    m_cImag = makeEdit(type, kIdCImag, 75);
    m_detail = makeEdit(type, kIdDetail, 60);
    auto* typeGrid = new QGridLayout(type);
    auto* radios = new QHBoxLayout;
    radios->addWidget(m_mandelbrot);
    radios->addWidget(m_julia);
    radios->addStretch(1);
    typeGrid->addLayout(radios, 0, 0, 1, 2);
    typeGrid->addWidget(makeLabel(type, QStringLiteral("C R&eal:"), m_cReal, false), 1, 0);
    typeGrid->addWidget(m_cReal, 1, 1);
    typeGrid->addWidget(makeLabel(type, QStringLiteral("C &Imag:"), m_cImag, false), 2, 0);
    typeGrid->addWidget(m_cImag, 2, 1);
    typeGrid->addWidget(makeLabel(type, QStringLiteral("&Detail Level:"), m_detail, false), 3, 0);
    typeGrid->addWidget(m_detail, 3, 1, Qt::AlignRight);
    typeGrid->setRowStretch(4, 1);

    auto* resolution = new QGroupBox(QStringLiteral("Resolution"), this);
    m_xPels = makeEdit(resolution, kIdXPels, 37);
    m_yPels = makeEdit(resolution, kIdYPels, 37);
    auto* resolutionGrid = new QGridLayout(resolution);
    resolutionGrid->addWidget(makeLabel(resolution, QStringLiteral("&X Pels:"), m_xPels, false), 0, 0);
    resolutionGrid->addWidget(m_xPels, 0, 1);
    resolutionGrid->addWidget(makeLabel(resolution, QStringLiteral("&Y Pels:"), m_yPels, false), 1, 0);
    resolutionGrid->addWidget(m_yPels, 1, 1);
    // Not the document's: how fast a held right button zooms, for every picture.
    m_heldZoom = new QDoubleSpinBox(resolution);
    m_heldZoom->setObjectName(QStringLiteral("heldZoomRate"));
    m_heldZoom->setRange(1.1, 100.0);
    m_heldZoom->setDecimals(1);
    m_heldZoom->setSingleStep(0.5);
    m_heldZoom->setSuffix(QStringLiteral("x/s"));
    m_heldZoom->setValue(2.0);
    m_heldZoom->setToolTip(QStringLiteral("How many times a second a held right button zooms"));
    resolutionGrid->addWidget(makeLabel(resolution, QStringLiteral("Held &zoom:"), m_heldZoom, false), 2, 0);
    resolutionGrid->addWidget(m_heldZoom, 2, 1);

    auto* palette = new QGroupBox(QStringLiteral("Palette"), this);
    m_paletteEditor = makeIdButton(palette, QStringLiteral("&Palette Editor"), kIdPaletteEditor);
    m_paletteEditor->setAutoDefault(false);
    m_paletteEditor->setEnabled(static_cast<bool>(m_runPaletteEditor));
    // How smooth pictures spread the counts over the palette.
    m_density = makeEdit(palette, kIdDensity, 37);
    m_offset = makeEdit(palette, kIdOffset, 37);
    auto* paletteBox = new QVBoxLayout(palette);
    paletteBox->addWidget(m_paletteEditor, 0, Qt::AlignCenter);
    auto* spreadGrid = new QGridLayout;
    spreadGrid->addWidget(makeLabel(palette, QStringLiteral("Colour de&nsity:"), m_density, false), 0, 0);
    spreadGrid->addWidget(m_density, 0, 1);
    spreadGrid->addWidget(makeLabel(palette, QStringLiteral("Colour o&ffset:"), m_offset, false), 1, 0);
    spreadGrid->addWidget(m_offset, 1, 1);
    paletteBox->addLayout(spreadGrid);

    // Zoom Location, Fractal Type and a column of Resolution over Palette; the
    // buttons below on the right.
    auto* grid = new QGridLayout(this);
    grid->addWidget(zoom, 0, 0, 2, 1);
    grid->addWidget(type, 0, 1, 2, 1);
    grid->addWidget(resolution, 0, 2);
    grid->addWidget(palette, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    grid->addLayout(buttons, 2, 0, 1, 3);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    // Tab order is the template's order.
    QWidget* order[] = {m_ok,    cancel,   help,    m_left,  m_right, m_top,   m_bottom,       m_mandelbrot,
                        m_julia, m_cReal, m_cImag, m_detail, m_xPels, m_yPels, m_paletteEditor,
                        m_density, m_offset, m_heldZoom};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

    m_mandelbrot->installEventFilter(this);
    m_julia->installEventFilter(this);

    connect(m_ok, &QPushButton::clicked, this, &SettingsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &SettingsDialog::onHelp);
    connect(m_mandelbrot, &QRadioButton::clicked, this, &SettingsDialog::onTypeChanged);
    connect(m_julia, &QRadioButton::clicked, this, &SettingsDialog::onTypeChanged);
    connect(m_paletteEditor, &QPushButton::clicked, this, &SettingsDialog::onPaletteEditor);

    showValues();
}

void SettingsDialog::showValues() {
    showFields(settingsFieldsFrom(m_document));
    m_ok->setFocus();
}

void SettingsDialog::showFields(const SettingsFields& f) {
    const auto set = [](QLineEdit* edit, const std::string& text) {
        edit->setText(QString::fromStdString(text));
        edit->setCursorPosition(0);
    };
    set(m_left, f.left);
    set(m_right, f.right);
    set(m_top, f.top);
    set(m_bottom, f.bottom);
    set(m_cReal, f.cReal);
    set(m_cImag, f.cImag);
    set(m_detail, f.detailLevel);
    set(m_xPels, f.xPels);
    set(m_yPels, f.yPels);
    set(m_density, f.density);
    set(m_offset, f.offset);
    (f.mandelbrot ? m_mandelbrot : m_julia)->setChecked(true);
    onTypeChanged();
}

SettingsFields SettingsDialog::currentFields() const {
    SettingsFields f;
    f.left = m_left->text().toStdString();
    f.right = m_right->text().toStdString();
    f.top = m_top->text().toStdString();
    f.bottom = m_bottom->text().toStdString();
    f.cReal = m_cReal->text().toStdString();
    f.cImag = m_cImag->text().toStdString();
    f.detailLevel = m_detail->text().toStdString();
    f.xPels = m_xPels->text().toStdString();
    f.yPels = m_yPels->text().toStdString();
    f.density = m_density->text().toStdString();
    f.offset = m_offset->text().toStdString();
    f.mandelbrot = m_mandelbrot->isChecked();
    return f;
}

void SettingsDialog::onTypeChanged() {
    // The constant only means something for Julia; its text is kept either way.
    const bool julia = !m_mandelbrot->isChecked();
    m_cReal->setEnabled(julia);
    m_cImag->setEnabled(julia);
}

QLineEdit* SettingsDialog::fieldFor(SettingsResult failed) const {
    switch (failed) {
        case SettingsResult::DetailLevel: return m_detail;
        case SettingsResult::XPels: return m_xPels;
        case SettingsResult::YPels: return m_yPels;
        case SettingsResult::Density: return m_density;
        case SettingsResult::Offset: return m_offset;
        case SettingsResult::Accepted: break;
    }
    return nullptr;
}

void SettingsDialog::setHeldZoomRate(double perSecond) { m_heldZoom->setValue(perSecond); }

double SettingsDialog::heldZoomRate() const { return m_heldZoom->value(); }

void SettingsDialog::accept() {
    const SettingsResult result = applySettings(m_document, m_host, currentFields());
    if (QLineEdit* field = fieldFor(result)) {
        // Refused: the dialog stays open on the field to correct.
        field->setFocus();
        field->selectAll();
        return;
    }
    QDialog::accept();
    m_accepted = true;
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        auto* radio = qobject_cast<QRadioButton*>(watched);
        QRadioButton* other = radio == m_mandelbrot ? m_julia : m_mandelbrot;
        // The two buttons are one tab stop, entered at the checked button.
        if (radio != nullptr && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) &&
            !radio->isChecked() && other->isChecked()) {
            other->setFocus(reason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SettingsDialog::onPaletteEditor() {
    if (!m_runPaletteEditor) return;
    m_runPaletteEditor(*this);
    // Whatever the editor returned, the palette counts as edited.
    m_document.setModifiedFlag(true);
    repaint();
    m_paletteEdited = true;
}

void SettingsDialog::onHelp() { showHelpTopic(this, QStringLiteral("settings")); }

}  // namespace velmora::gui
