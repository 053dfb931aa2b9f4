#include "animwindows/AnimationDoneDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "animwindows/PlayerStart.h"
#include "widgets/DialogParts.h"
#include "anim/AnimMessages.h"
#include "widgets/HelpWindow.h"
#include "base/Host.h"

namespace velmora::gui {

namespace {

constexpr int kIdDone = 1;
constexpr int kIdPlay = 1031;
constexpr int kIdSaveVideo = 1040;

}  // namespace

AnimationDoneDialog::AnimationDoneDialog(std::string scriptPath, Host& host, QWidget* parent,
                                         std::function<void()> saveVideo)
    : QDialog(parent), m_scriptPath(std::move(scriptPath)), m_host(host) {
    setObjectName(QString::fromLatin1(kAnimDoneName));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setProperty("helpTopic", QStringLiteral("animation"));

    auto* texts = new QVBoxLayout;
    for (const QString& text :
         {QString::fromLatin1(animtext::kRenderDone),
          QStringLiteral("For information on how to view/modify your animation, please see help."),
          QStringLiteral("If you have rendered all the frames in your animation, you can view it now by clicking "
                         "'Play'. You will not be able to view the animation correctly unless all the frames have "
                         "been rendered.")}) {
        auto* label = new QLabel(text, this);
        label->setWordWrap(true);
        texts->addWidget(label);
    }
    texts->addStretch(1);

    auto* play = makeIdButton(this, QStringLiteral("&Play"), kIdPlay);
    auto* done = makeIdButton(this, QStringLiteral("&Done"), kIdDone);
    done->setDefault(true);
    auto* help = makeIdButton(this, QStringLiteral("&Help"), kIdHelpButton);
    connect(play, &QPushButton::clicked, this, &AnimationDoneDialog::onPlay);
    connect(done, &QPushButton::clicked, this, &AnimationDoneDialog::accept);
    connect(help, &QPushButton::clicked, this, [this] { showHelpTopic(this, QStringLiteral("animation")); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(play);
    if (saveVideo) {
        auto* video = makeIdButton(this, QStringLiteral("Save &Video..."), kIdSaveVideo);
        connect(video, &QPushButton::clicked, this, std::move(saveVideo));
        buttons->addWidget(video);
    }
    buttons->addWidget(done);
    buttons->addWidget(help);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(texts, 1);
    layout->addLayout(buttons);
    setMinimumWidth(420);
    done->setFocus();
}

void AnimationDoneDialog::onPlay() { launchPlayer(m_host, m_scriptPath, kAnimDoneName); }

}  // namespace velmora::gui
