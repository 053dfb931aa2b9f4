#include "app/SettingsDlg.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/HelpWindow.h"
#include "model/VelmoraDoc.h"
#include "platform/Host.h"

namespace velmora::gui {

namespace {

// Control ids; they are also the widgets' object names.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdLeft = 1005;
constexpr int kIdRight = 1006;
constexpr int kIdTop = 1007;
constexpr int kIdBottom = 1008;
constexpr int kIdMandelbrot = 1009;
constexpr int kIdJulia = 1010;
constexpr int kIdCReal = 1011;
constexpr int kIdCImag = 1012;
constexpr int kIdDetail = 1013;
constexpr int kIdXPels = 1014;
constexpr int kIdYPels = 1015;
constexpr int kIdPaletteEditor = 32783;
constexpr int kIdHelp = 57670;

// Horizontal dialog units in pixels of the dialog's font: a quarter of the
// average width of the Latin letters, as the template's units were.
int DialogUnitsX(const QWidget& w, int units) {
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int average = (w.fontMetrics().horizontalAdvance(letters) / 26 + 1) / 2;
    return (units * average + 2) / 4;
}

QLineEdit* MakeEdit(QWidget* parent, int id, int widthUnits) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    edit->setMinimumWidth(DialogUnitsX(*parent, widthUnits));
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QWidget* buddy, bool rightAligned) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    label->setAlignment((rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, int id) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    return button;
}

}  // namespace

CSettingsDlg::CSettingsDlg(CVelmoraDoc& doc, Host& host, PaletteEditorRunner runPaletteEditor, QWidget* parent)
    : QDialog(parent), m_pDoc(doc), m_host(host), m_runPaletteEditor(std::move(runPaletteEditor)) {
    // The name lets the Host find this dialog as the owner of its messages.
    setObjectName(QString::fromLatin1(kSettingsDlgName));
    setWindowTitle(QStringLiteral("Fractal Image Settings"));
    setProperty("helpTopic", QStringLiteral("settings"));

    // Buttons first: they lead the tab order, and OK takes the first focus.
    m_pOk = MakeButton(this, QStringLiteral("&OK"), kIdOk);
    m_pOk->setDefault(true);
    auto* cancel = MakeButton(this, QStringLiteral("&Cancel"), kIdCancel);
    auto* help = MakeButton(this, QStringLiteral("&Help"), kIdHelp);
    for (QPushButton* b : {m_pOk, cancel, help}) b->setMinimumWidth(DialogUnitsX(*this, 54));

    auto* zoom = new QGroupBox(QStringLiteral("Zoom Location"), this);
    m_pLeft = MakeEdit(zoom, kIdLeft, 75);
    m_pRight = MakeEdit(zoom, kIdRight, 75);
    m_pTop = MakeEdit(zoom, kIdTop, 75);
    m_pBottom = MakeEdit(zoom, kIdBottom, 75);
    auto* zoomGrid = new QGridLayout(zoom);
    zoomGrid->addWidget(MakeLabel(zoom, QStringLiteral("&Left:"), m_pLeft, true), 0, 0);
    zoomGrid->addWidget(m_pLeft, 0, 1);
    zoomGrid->addWidget(MakeLabel(zoom, QStringLiteral("&Right:"), m_pRight, true), 1, 0);
    zoomGrid->addWidget(m_pRight, 1, 1);
    zoomGrid->addWidget(MakeLabel(zoom, QStringLiteral("&Top:"), m_pTop, true), 2, 0);
    zoomGrid->addWidget(m_pTop, 2, 1);
    zoomGrid->addWidget(MakeLabel(zoom, QStringLiteral("&Bottom:"), m_pBottom, true), 3, 0);
    zoomGrid->addWidget(m_pBottom, 3, 1);
    zoomGrid->setRowStretch(4, 1);

    auto* type = new QGroupBox(QStringLiteral("Fractal Type"), this);
    m_pMandelbrot = new QRadioButton(QStringLiteral("&Mandelbrot"), type);
    m_pMandelbrot->setObjectName(QString::number(kIdMandelbrot));
    m_pJulia = new QRadioButton(QStringLiteral("&Julia"), type);
    m_pJulia->setObjectName(QString::number(kIdJulia));
    m_pCReal = MakeEdit(type, kIdCReal, 75);
    m_pCImag = MakeEdit(type, kIdCImag, 75);
    m_pDetail = MakeEdit(type, kIdDetail, 60);
    auto* typeGrid = new QGridLayout(type);
    auto* radios = new QHBoxLayout;
    radios->addWidget(m_pMandelbrot);
    radios->addWidget(m_pJulia);
    radios->addStretch(1);
    typeGrid->addLayout(radios, 0, 0, 1, 2);
    typeGrid->addWidget(MakeLabel(type, QStringLiteral("C R&eal:"), m_pCReal, false), 1, 0);
    typeGrid->addWidget(m_pCReal, 1, 1);
    typeGrid->addWidget(MakeLabel(type, QStringLiteral("C &Imag:"), m_pCImag, false), 2, 0);
    typeGrid->addWidget(m_pCImag, 2, 1);
    typeGrid->addWidget(MakeLabel(type, QStringLiteral("&Detail Level:"), m_pDetail, false), 3, 0);
    typeGrid->addWidget(m_pDetail, 3, 1, Qt::AlignRight);
    typeGrid->setRowStretch(4, 1);

    auto* resolution = new QGroupBox(QStringLiteral("Resolution"), this);
    m_pXPels = MakeEdit(resolution, kIdXPels, 37);
    m_pYPels = MakeEdit(resolution, kIdYPels, 37);
    auto* resolutionGrid = new QGridLayout(resolution);
    resolutionGrid->addWidget(MakeLabel(resolution, QStringLiteral("&X Pels:"), m_pXPels, false), 0, 0);
    resolutionGrid->addWidget(m_pXPels, 0, 1);
    resolutionGrid->addWidget(MakeLabel(resolution, QStringLiteral("&Y Pels:"), m_pYPels, false), 1, 0);
    resolutionGrid->addWidget(m_pYPels, 1, 1);

    auto* palette = new QGroupBox(QStringLiteral("Palette"), this);
    m_pPaletteEditor = MakeButton(palette, QStringLiteral("&Palette Editor"), kIdPaletteEditor);
    m_pPaletteEditor->setAutoDefault(false);
    m_pPaletteEditor->setEnabled(static_cast<bool>(m_runPaletteEditor));
    auto* paletteBox = new QVBoxLayout(palette);
    paletteBox->addWidget(m_pPaletteEditor, 0, Qt::AlignCenter);

    // Zoom Location, Fractal Type and a column of Resolution over Palette; the
    // buttons below on the right.
    auto* grid = new QGridLayout(this);
    grid->addWidget(zoom, 0, 0, 2, 1);
    grid->addWidget(type, 0, 1, 2, 1);
    grid->addWidget(resolution, 0, 2);
    grid->addWidget(palette, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pOk);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    grid->addLayout(buttons, 2, 0, 1, 3);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    // Tab order is the template's order.
    QWidget* order[] = {m_pOk,    cancel,   help,    m_pLeft,  m_pRight, m_pTop,   m_pBottom,       m_pMandelbrot,
                        m_pJulia, m_pCReal, m_pCImag, m_pDetail, m_pXPels, m_pYPels, m_pPaletteEditor};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

    m_pMandelbrot->installEventFilter(this);
    m_pJulia->installEventFilter(this);

    connect(m_pOk, &QPushButton::clicked, this, &CSettingsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &CSettingsDlg::OnHelp);
    connect(m_pMandelbrot, &QRadioButton::clicked, this, &CSettingsDlg::OnTypeChanged);
    connect(m_pJulia, &QRadioButton::clicked, this, &CSettingsDlg::OnTypeChanged);
    connect(m_pPaletteEditor, &QPushButton::clicked, this, &CSettingsDlg::OnPaletteEditor);

    OnInitDialog();
}

void CSettingsDlg::OnInitDialog() {
    ShowFields(SettingsFieldsFrom(m_pDoc));
    m_pOk->setFocus();
}

void CSettingsDlg::ShowFields(const SettingsFields& f) {
    const auto set = [](QLineEdit* edit, const std::string& text) {
        edit->setText(QString::fromStdString(text));
        edit->setCursorPosition(0);
    };
    set(m_pLeft, f.left);
    set(m_pRight, f.right);
    set(m_pTop, f.top);
    set(m_pBottom, f.bottom);
    set(m_pCReal, f.cReal);
    set(m_pCImag, f.cImag);
    set(m_pDetail, f.detailLevel);
    set(m_pXPels, f.xPels);
    set(m_pYPels, f.yPels);
    (f.mandelbrot ? m_pMandelbrot : m_pJulia)->setChecked(true);
    OnTypeChanged();
}

SettingsFields CSettingsDlg::CurrentFields() const {
    SettingsFields f;
    f.left = m_pLeft->text().toStdString();
    f.right = m_pRight->text().toStdString();
    f.top = m_pTop->text().toStdString();
    f.bottom = m_pBottom->text().toStdString();
    f.cReal = m_pCReal->text().toStdString();
    f.cImag = m_pCImag->text().toStdString();
    f.detailLevel = m_pDetail->text().toStdString();
    f.xPels = m_pXPels->text().toStdString();
    f.yPels = m_pYPels->text().toStdString();
    f.mandelbrot = m_pMandelbrot->isChecked();
    return f;
}

void CSettingsDlg::OnTypeChanged() {
    // The constant only means something for Julia; its text is kept either way.
    const bool julia = !m_pMandelbrot->isChecked();
    m_pCReal->setEnabled(julia);
    m_pCImag->setEnabled(julia);
}

QLineEdit* CSettingsDlg::FieldFor(SettingsResult failed) const {
    switch (failed) {
        case SettingsResult::DetailLevel: return m_pDetail;
        case SettingsResult::XPels: return m_pXPels;
        case SettingsResult::YPels: return m_pYPels;
        case SettingsResult::Accepted: break;
    }
    return nullptr;
}

void CSettingsDlg::accept() {
    const SettingsResult result = ApplySettings(m_pDoc, m_host, CurrentFields());
    if (QLineEdit* field = FieldFor(result)) {
        // Refused: the dialog stays open on the field to correct.
        field->setFocus();
        field->selectAll();
        return;
    }
    QDialog::accept();
    m_bAccepted = true;
}

bool CSettingsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        auto* radio = qobject_cast<QRadioButton*>(watched);
        QRadioButton* other = radio == m_pMandelbrot ? m_pJulia : m_pMandelbrot;
        // The two buttons are one tab stop, entered at the checked button.
        if (radio != nullptr && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) &&
            !radio->isChecked() && other->isChecked()) {
            other->setFocus(reason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CSettingsDlg::OnPaletteEditor() {
    if (!m_runPaletteEditor) return;
    m_runPaletteEditor(*this);
    // Whatever the editor returned, the palette counts as edited.
    m_pDoc.SetModifiedFlag(true);
    m_pDoc.BuildGdiPalette();
    repaint();
    m_bPaletteEdited = true;
}

void CSettingsDlg::OnHelp() { ShowHelpTopic(this, QStringLiteral("settings")); }

}  // namespace velmora::gui
