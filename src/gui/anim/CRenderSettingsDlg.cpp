#include "anim/CRenderSettingsDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "anim/AnimDialogParts.h"
#include "anim/AnimMessages.h"
#include "anim/DialogNumber.h"
#include "app/HelpWindow.h"
#include "model/VelmoraDoc.h"

namespace velmora::gui {

namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdFolder = 1027;
constexpr int kIdHeight = 1028;
constexpr int kIdTo = 1029;
constexpr int kIdWidth = 1030;
constexpr int kIdFrom = 1031;
constexpr int kIdSlow = 1032;
constexpr int kIdConstant = 1033;

// An edit that takes digits only, as the number fields of the template did.
QLineEdit* MakeNumberEdit(QWidget* parent, int id, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::number(id));
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

std::int32_t NumberOf(const QLineEdit* edit) { return ReadLeadingInt(edit->text().toStdString()); }

}  // namespace

CRenderSettingsDlg::CRenderSettingsDlg(CVelmoraDoc& doc, Host& host, QWidget* parent)
    : QDialog(parent), m_pDoc(&doc), m_host(host) {
    setObjectName(QString::fromLatin1(kRenderSettingsName));
    setWindowTitle(QString::fromLatin1(kRenderSettingsName));
    setProperty("helpTopic", QStringLiteral("rendersettings"));

    const RenderSettings proposed = ProposedRenderSettings(doc);

    auto* resolution = new QGroupBox(QStringLiteral("Output Resolution"), this);
    m_pWidth = MakeNumberEdit(resolution, kIdWidth, QString::number(proposed.width));
    m_pHeight = MakeNumberEdit(resolution, kIdHeight, QString::number(proposed.height));
    auto* resolutionGrid = new QGridLayout(resolution);
    resolutionGrid->addWidget(MakeLabel(resolution, QStringLiteral("&Width (pixels)"), m_pWidth), 0, 0);
    resolutionGrid->addWidget(m_pWidth, 0, 1);
    resolutionGrid->addWidget(MakeLabel(resolution, QStringLiteral("&Height (pixels)"), m_pHeight), 1, 0);
    resolutionGrid->addWidget(m_pHeight, 1, 1);

    auto* folder = new QGroupBox(QStringLiteral("Destination Folder"), this);
    auto* note = new QLabel(
        QStringLiteral("Please enter the name of a folder in which to save the rendered frames."), folder);
    note->setWordWrap(true);
    m_pFolder = new QLineEdit(QString::fromStdString(proposed.destFolder), folder);
    m_pFolder->setObjectName(QString::number(kIdFolder));
    auto* folderBox = new QVBoxLayout(folder);
    folderBox->addWidget(note);
    folderBox->addWidget(m_pFolder);

    auto* frames = new QGroupBox(QStringLiteral("Frames"), this);
    m_pFrom = MakeNumberEdit(frames, kIdFrom, QString::number(proposed.from));
    m_pTo = MakeNumberEdit(frames, kIdTo, QString::number(proposed.to));
    auto* framesGrid = new QGridLayout(frames);
    framesGrid->addWidget(MakeLabel(frames, QStringLiteral("&From"), m_pFrom), 0, 0);
    framesGrid->addWidget(m_pFrom, 0, 1);
    framesGrid->addWidget(MakeLabel(frames, QStringLiteral("&To"), m_pTo), 1, 0);
    framesGrid->addWidget(m_pTo, 1, 1);

    auto* tweening = new QGroupBox(QStringLiteral("Tweening Style"), this);
    m_pSlow = new QRadioButton(QStringLiteral("&Slow at keyframes"), tweening);
    m_pSlow->setObjectName(QString::number(kIdSlow));
    m_pConstant = new QRadioButton(QStringLiteral("&Constant speed"), tweening);
    m_pConstant->setObjectName(QString::number(kIdConstant));
    (proposed.tweenStyle == TweenStyle::SlowAtKeyframes ? m_pSlow : m_pConstant)->setChecked(true);
    auto* tweeningBox = new QVBoxLayout(tweening);
    tweeningBox->addWidget(m_pSlow);
    tweeningBox->addWidget(m_pConstant);

    auto* ok = MakeIdButton(this, QStringLiteral("&OK"), kIdOk);
    ok->setDefault(true);
    auto* cancel = MakeIdButton(this, QStringLiteral("Cancel"), kIdCancel);
    auto* help = MakeIdButton(this, QStringLiteral("Help"), kIdHelpButton);
    connect(ok, &QPushButton::clicked, this, &CRenderSettingsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CRenderSettingsDlg::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, QStringLiteral("rendersettings")); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto* grid = new QGridLayout(this);
    grid->addWidget(resolution, 0, 0);
    grid->addWidget(frames, 0, 1);
    grid->addWidget(folder, 1, 0);
    grid->addWidget(tweening, 1, 1);
    grid->addLayout(buttons, 2, 0, 1, 2);

    // Tab order as the template had it: size, folder, range, style, buttons.
    setTabOrder(m_pWidth, m_pHeight);
    setTabOrder(m_pHeight, m_pFolder);
    setTabOrder(m_pFolder, m_pFrom);
    setTabOrder(m_pFrom, m_pTo);
    setTabOrder(m_pTo, m_pSlow);
    setTabOrder(m_pSlow, ok);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, help);
    m_pWidth->setFocus();
}

RenderSettings CRenderSettingsDlg::Settings() const {
    RenderSettings s;
    s.from = m_nFrom;
    s.to = m_nTo;
    s.tweenStyle = m_tweenStyle;
    s.destFolder = m_destFolder;
    s.width = m_nWidth;
    s.height = m_nHeight;
    return s;
}

void CRenderSettingsDlg::accept() {
    RenderSettings s;
    s.width = NumberOf(m_pWidth);
    s.from = NumberOf(m_pFrom);
    s.to = NumberOf(m_pTo);
    s.tweenStyle = m_pSlow->isChecked() ? TweenStyle::SlowAtKeyframes : TweenStyle::ConstantSpeed;
    s.height = NumberOf(m_pHeight);
    s.destFolder = m_pFolder->text().toStdString();
    // Checks, questions and the folder's creation, in their order; a refusal
    // keeps every entry as typed.
    if (!AcceptRenderSettings(s, m_pDoc->GetTotalFrames(), m_host)) return;
    m_nWidth = s.width;
    m_nHeight = s.height;
    m_nFrom = s.from;
    m_nTo = s.to;
    m_tweenStyle = s.tweenStyle;
    m_destFolder = s.destFolder;
    m_bAccepted = true;
    QDialog::accept();
}

}  // namespace velmora::gui
