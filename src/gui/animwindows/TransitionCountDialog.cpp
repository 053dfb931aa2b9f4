#include "animwindows/TransitionCountDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "animwindows/PlayerStart.h"
#include "widgets/DialogParts.h"
#include "anim/AnimMessages.h"
#include "anim/KeyframeEdit.h"
#include "widgets/HelpWindow.h"
#include "base/Host.h"

namespace velmora::gui {

namespace {

constexpr int kIdPrompt = 1026;
constexpr int kIdEdit = 1025;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The dialog reads no more of the field than this.
constexpr int kReadChars = 127;

}  // namespace

TransitionCountDialog::TransitionCountDialog(bool untilNext, std::int32_t count, bool allowCancel, Host& host,
                                         QWidget* parent)
    : QDialog(parent), m_untilNext(untilNext), m_count(count), m_allowCancel(allowCancel), m_host(host) {
    setObjectName(QString::fromLatin1(kTransitionCountName));
    setWindowTitle(QString::fromLatin1(kTransitionCountName));
    setProperty("helpTopic", QStringLiteral("transitions"));

    const CountQuestion question = untilNext ? CountQuestion::UntilNext : CountQuestion::AfterPrevious;
    m_prompt = new QLabel(QString::fromStdString(countPrompt(question)), this);
    m_prompt->setObjectName(QString::number(kIdPrompt));
    m_edit = new QLineEdit(QString::number(count), this);
    m_edit->setObjectName(QString::number(kIdEdit));
    m_prompt->setBuddy(m_edit);

    auto* ok = makeIdButton(this, QStringLiteral("&OK"), kIdOk);
    ok->setDefault(true);
    auto* cancel = makeIdButton(this, QStringLiteral("Cancel"), kIdCancel);
    cancel->setEnabled(allowCancel);
    auto* help = makeIdButton(this, QStringLiteral("Help"), kIdHelpButton);
    connect(ok, &QPushButton::clicked, this, &TransitionCountDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TransitionCountDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { showHelpTopic(this, QStringLiteral("transitions")); });

    auto* grid = new QGridLayout(this);
    auto* fields = new QVBoxLayout;
    fields->addWidget(m_prompt);
    fields->addWidget(m_edit);
    fields->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    buttons->addStretch(1);
    grid->addLayout(fields, 0, 0);
    grid->addLayout(buttons, 0, 1);

    m_edit->setFocus();
    m_edit->selectAll();
}

void TransitionCountDialog::accept() {
    const CountEntry entry = readTransitionCount(m_edit->text().left(kReadChars).toStdString());
    if (!entry.accepted) {
        m_host.showMessage(windowMessage(entry.message, MsgIcon::None, kTransitionCountName));
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    m_count = entry.count;
    QDialog::accept();
}

}  // namespace velmora::gui
