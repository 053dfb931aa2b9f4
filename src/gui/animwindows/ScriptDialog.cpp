#include "animwindows/ScriptDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "animwindows/PlayerStart.h"
#include "widgets/DialogParts.h"
#include "anim/PlaybackScript.h"
#include "widgets/HelpWindow.h"
#include "model/Document.h"

namespace velmora::gui {

namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdForwards = 1034;
constexpr int kIdReverse = 1035;
constexpr int kIdPingPong = 1036;
constexpr int kIdLooping = 1037;
constexpr int kIdPlay = 1038;


}  // namespace

ScriptDialog::ScriptDialog(Document& doc, Host& host, QWidget* parent) : QDialog(parent), m_doc(doc), m_host(host) {
    setObjectName(QString::fromLatin1(kScriptDlgName));
    setWindowTitle(QString::fromLatin1(kScriptDlgName));
    setProperty("helpTopic", QStringLiteral("script"));

    auto* style = new QGroupBox(QStringLiteral("Playback Style"), this);
    m_forwards = makeRadio(style, QStringLiteral("&Forwards"), kIdForwards);
    m_reverse = makeRadio(style, QStringLiteral("&Reverse"), kIdReverse);
    m_pingPong = makeRadio(style, QStringLiteral("Pi&ng-Pong"), kIdPingPong);
    m_looping = new QCheckBox(QStringLiteral("&Looping"), style);
    m_looping->setObjectName(QString::number(kIdLooping));
    auto* styleBox = new QVBoxLayout(style);
    styleBox->addWidget(m_forwards);
    styleBox->addWidget(m_reverse);
    styleBox->addWidget(m_pingPong);
    styleBox->addWidget(m_looping);

    auto* note = new QLabel(QStringLiteral("Please note that you will not be able to play your animation correctly "
                                           "until all the frames have been rendered."),
                            this);
    note->setWordWrap(true);

    auto* play = makeIdButton(this, QStringLiteral("&Play"), kIdPlay);
    play->setDefault(true);
    auto* ok = makeIdButton(this, QStringLiteral("&Ok"), kIdOk);
    auto* cancel = makeIdButton(this, QStringLiteral("Cancel"), kIdCancel);
    auto* help = makeIdButton(this, QStringLiteral("Help"), kIdHelpButton);
    connect(play, &QPushButton::clicked, this, &ScriptDialog::onPlay);
    connect(ok, &QPushButton::clicked, this, &ScriptDialog::onOk);
    connect(cancel, &QPushButton::clicked, this, &ScriptDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelpTopic(this, QStringLiteral("script")); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(play);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    buttons->addStretch(1);
    auto* grid = new QGridLayout(this);
    grid->addWidget(style, 0, 0);
    grid->addWidget(note, 1, 0);
    grid->addLayout(buttons, 0, 1, 2, 1);

    const PlaybackChoice choice = playbackChoiceOf(doc.animation().playbackStyle);
    switch (choice.direction) {
        case PlaybackDirection::Forwards: m_forwards->setChecked(true); break;
        case PlaybackDirection::Reverse: m_reverse->setChecked(true); break;
        case PlaybackDirection::PingPong: m_pingPong->setChecked(true); break;
    }
    m_looping->setChecked(choice.looping);
}

void ScriptDialog::storePlaybackStyle() {
    PlaybackChoice choice;
    choice.direction = m_forwards->isChecked()  ? PlaybackDirection::Forwards
                       : m_reverse->isChecked() ? PlaybackDirection::Reverse
                                                 : PlaybackDirection::PingPong;
    choice.looping = m_looping->isChecked();
    // A changed style is not a change the user would be asked to save.
    m_doc.editAnimation([&](AnimationSettings& a) { a.playbackStyle = velmora::storePlaybackStyle(choice); });
}

void ScriptDialog::onOk() {
    storePlaybackStyle();
    writeScript(m_doc);  // a script that cannot be written shows up when playing
    accept();
}

void ScriptDialog::onPlay() {
    storePlaybackStyle();
    writeScript(m_doc);
    launchPlayer(m_host, scriptPath(m_doc.animation().destFolder), kScriptDlgName);
}

}  // namespace velmora::gui
