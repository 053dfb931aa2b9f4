#include "animwindows/RenderSettingsDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "animwindows/PlayerStart.h"
#include "widgets/DialogParts.h"
#include "anim/AnimMessages.h"
#include "model/DialogNumber.h"
#include "widgets/HelpWindow.h"
#include "model/Document.h"

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


std::int32_t numberOf(const QLineEdit* edit) { return readLeadingInt(edit->text().toStdString()); }

}  // namespace

RenderSettingsDialog::RenderSettingsDialog(Document& doc, Host& host, QWidget* parent)
    : QDialog(parent), m_document(&doc), m_host(host) {
    setObjectName(QString::fromLatin1(kRenderSettingsName));
    setWindowTitle(QString::fromLatin1(kRenderSettingsName));
    setProperty("helpTopic", QStringLiteral("rendersettings"));

    const RenderSettings proposed = proposedRenderSettings(doc);

    auto* resolution = new QGroupBox(QStringLiteral("Output Resolution"), this);
    m_widthEdit = makeEdit(resolution, kIdWidth, 0, QString::number(proposed.width), true);
    m_heightEdit = makeEdit(resolution, kIdHeight, 0, QString::number(proposed.height), true);
    auto* resolutionGrid = new QGridLayout(resolution);
    resolutionGrid->addWidget(makeLabel(resolution, QStringLiteral("&Width (pixels)"), m_widthEdit), 0, 0);
    resolutionGrid->addWidget(m_widthEdit, 0, 1);
    resolutionGrid->addWidget(makeLabel(resolution, QStringLiteral("&Height (pixels)"), m_heightEdit), 1, 0);
    resolutionGrid->addWidget(m_heightEdit, 1, 1);

    auto* folder = new QGroupBox(QStringLiteral("Destination Folder"), this);
    auto* note = new QLabel(
        QStringLiteral("Please enter the name of a folder in which to save the rendered frames."), folder);
    note->setWordWrap(true);
    m_folder = new QLineEdit(QString::fromStdString(proposed.destFolder), folder);
    m_folder->setObjectName(QString::number(kIdFolder));
    auto* folderBox = new QVBoxLayout(folder);
    folderBox->addWidget(note);
    folderBox->addWidget(m_folder);

    auto* frames = new QGroupBox(QStringLiteral("Frames"), this);
    m_fromEdit = makeEdit(frames, kIdFrom, 0, QString::number(proposed.from), true);
    m_toEdit = makeEdit(frames, kIdTo, 0, QString::number(proposed.to), true);
    auto* framesGrid = new QGridLayout(frames);
    framesGrid->addWidget(makeLabel(frames, QStringLiteral("&From"), m_fromEdit), 0, 0);
    framesGrid->addWidget(m_fromEdit, 0, 1);
    framesGrid->addWidget(makeLabel(frames, QStringLiteral("&To"), m_toEdit), 1, 0);
    framesGrid->addWidget(m_toEdit, 1, 1);
    // Resuming an interrupted render: complete frame files of these settings stay.
    m_skip = new QCheckBox(QStringLiteral("S&kip frames already rendered"), frames);
    m_skip->setObjectName(QStringLiteral("skipRendered"));
    framesGrid->addWidget(m_skip, 2, 0, 1, 2);
    // True-colour PNG frames, coloured between palette entries.
    m_smooth = new QCheckBox(QStringLiteral("S&mooth colouring"), frames);
    m_smooth->setObjectName(QStringLiteral("smoothFrames"));
    m_smooth->setChecked(proposed.smooth);
    framesGrid->addWidget(m_smooth, 3, 0, 1, 2);

    auto* tweening = new QGroupBox(QStringLiteral("Tweening Style"), this);
    m_slow = new QRadioButton(QStringLiteral("&Slow at keyframes"), tweening);
    m_slow->setObjectName(QString::number(kIdSlow));
    m_constant = new QRadioButton(QStringLiteral("&Constant speed"), tweening);
    m_constant->setObjectName(QString::number(kIdConstant));
    (proposed.tweenStyle == TweenStyle::SlowAtKeyframes ? m_slow : m_constant)->setChecked(true);
    auto* tweeningBox = new QVBoxLayout(tweening);
    tweeningBox->addWidget(m_slow);
    tweeningBox->addWidget(m_constant);

    auto* ok = makeIdButton(this, QStringLiteral("&OK"), kIdOk);
    ok->setDefault(true);
    auto* cancel = makeIdButton(this, QStringLiteral("Cancel"), kIdCancel);
    auto* help = makeIdButton(this, QStringLiteral("Help"), kIdHelpButton);
    connect(ok, &QPushButton::clicked, this, &RenderSettingsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &RenderSettingsDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelpTopic(this, QStringLiteral("rendersettings")); });

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
    setTabOrder(m_widthEdit, m_heightEdit);
    setTabOrder(m_heightEdit, m_folder);
    setTabOrder(m_folder, m_fromEdit);
    setTabOrder(m_fromEdit, m_toEdit);
    setTabOrder(m_toEdit, m_skip);
    setTabOrder(m_skip, m_smooth);
    setTabOrder(m_smooth, m_slow);
    setTabOrder(m_slow, ok);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, help);
    m_widthEdit->setFocus();
}

RenderSettings RenderSettingsDialog::settings() const {
    RenderSettings s;
    s.from = m_from;
    s.to = m_to;
    s.tweenStyle = m_tweenStyle;
    s.destFolder = m_destFolder;
    s.width = m_width;
    s.height = m_height;
    s.skipRendered = m_skipRendered;
    s.smooth = m_smoothFrames;
    return s;
}

void RenderSettingsDialog::accept() {
    RenderSettings s;
    s.width = numberOf(m_widthEdit);
    s.from = numberOf(m_fromEdit);
    s.to = numberOf(m_toEdit);
    s.tweenStyle = m_slow->isChecked() ? TweenStyle::SlowAtKeyframes : TweenStyle::ConstantSpeed;
    s.height = numberOf(m_heightEdit);
    s.destFolder = m_folder->text().toStdString();
    // Checks, questions and the folder's creation, in their order; a refusal
    // keeps every entry as typed.
    if (!acceptRenderSettings(s, m_document->totalFrames(), m_host)) return;
    m_width = s.width;
    m_height = s.height;
    m_from = s.from;
    m_to = s.to;
    m_tweenStyle = s.tweenStyle;
    m_destFolder = s.destFolder;
    m_skipRendered = m_skip->isChecked();
    m_smoothFrames = m_smooth->isChecked();
    m_accepted = true;
    QDialog::accept();
}

}  // namespace velmora::gui
