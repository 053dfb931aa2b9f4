#include "widgets/HelpWindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "widgets/Resources.h"

namespace velmora::gui {

namespace {
QString topicUrl(const QString& topic) { return QStringLiteral("qrc:/help/%1.html").arg(topic); }
}  // namespace

bool helpTopicExists(const QString& topic) {
    initResources();
    return !topic.isEmpty() && QFile::exists(QStringLiteral(":/help/%1.html").arg(topic));
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent, Qt::Window) {
    initResources();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Velmora Help"));
    setModal(false);
    resize(520, 480);
    auto* layout = new QVBoxLayout(this);
    m_browser = new QTextBrowser(this);
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);
    layout->addWidget(m_browser);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* contents = buttons->addButton(QStringLiteral("&Contents"), QDialogButtonBox::ActionRole);
    QPushButton* back = buttons->addButton(QStringLiteral("&Back"), QDialogButtonBox::ActionRole);
    connect(contents, &QPushButton::clicked, this, [this] { showTopic(QStringLiteral("index")); });
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    back->setEnabled(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
}

void HelpWindow::showTopic(const QString& topic) {
    m_browser->setSource(QUrl(topicUrl(helpTopicExists(topic) ? topic : QStringLiteral("index"))));
}

QString HelpWindow::currentTopic() const {
    const QString path = m_browser->source().path();  // "/help/<topic>.html"
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    QString name = path.mid(slash + 1);
    name.chop(5);
    return name;
}

HelpWindow* showHelpTopic(QWidget* parent, const QString& topic) {
    static QPointer<HelpWindow> window;
    // Owned by the main window so it outlives the dialog that asked; but while
    // a modal dialog runs, only its own children take input, so it goes there.
    QWidget* owner = parent != nullptr ? parent->window() : nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w) != nullptr) owner = w;
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != window.data()) owner = modal;
    if (window.isNull()) {
        window = new HelpWindow(owner);
    } else if (window->parentWidget() != owner) {
        const QRect where = window->geometry();
        window->setParent(owner, window->windowFlags());
        window->setGeometry(where);
    }
    window->showTopic(topic);
    window->show();
    window->raise();
    window->activateWindow();
    return window.data();
}

}  // namespace velmora::gui
