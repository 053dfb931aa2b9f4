#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>

#include "GuiFixture.h"
#include "app/CommandIds.h"
#include "app/HelpWindow.h"
#include "app/Resources.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

const QStringList kTopics{"index", "main", "render", "zoom", "printing", "about", "settings", "palette",
                          "animframes", "transitions", "rendersettings", "script", "animation"};

TEST(Help, EveryTopicExistsAndEveryLinkLeadsToATopic) {
    InitResources();
    for (const QString& topic : kTopics) {
        ASSERT_TRUE(HelpTopicExists(topic)) << topic.toStdString();
        QFile f(QStringLiteral(":/help/%1.html").arg(topic));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        EXPECT_GT(html.size(), 200) << topic.toStdString() << " says too little";
        const QRegularExpression link(QStringLiteral("href=\"([a-z]+)\\.html\""));
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(HelpTopicExists(target)) << topic.toStdString() << " links to " << target.toStdString();
        }
    }
    EXPECT_FALSE(HelpTopicExists(QStringLiteral("nonsense")));
}

TEST(Help, MenuCommandsOpenTheContentsAndTheMainTopic) {
    ClearSettings();
    AppUnderTest t;
    ASSERT_EQ(t.Start(), CVelmoraApp::kKeepRunning);
    t.Frame().Dispatch(ID_HELP_FINDER);
    HelpWindow* w = t.Frame().findChild<HelpWindow*>();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->CurrentTopic(), QStringLiteral("index"));
    EXPECT_TRUE(w->Browser()->toPlainText().contains(QStringLiteral("Making an animation")));
    t.Frame().Dispatch(ID_HELP_INDEX);
    EXPECT_EQ(w->CurrentTopic(), QStringLiteral("main"));
    // A dialog's Help button asks for its own topic; unknown names fall back to the contents.
    EXPECT_EQ(ShowHelpTopic(&t.Frame(), QStringLiteral("palette"))->CurrentTopic(), QStringLiteral("palette"));
    EXPECT_EQ(ShowHelpTopic(&t.Frame(), QStringLiteral("no-such-topic"))->CurrentTopic(), QStringLiteral("index"));
    EXPECT_EQ(t.Frame().findChildren<HelpWindow*>().size(), 1) << "one help window, reused";
}

TEST(Help, HelpAskedForFromAModalDialogBelongsToThatDialog) {
    QDialog dlg;
    dlg.setWindowModality(Qt::ApplicationModal);
    HelpWindow* w = nullptr;
    QTimer::singleShot(0, &dlg, [&] {
        w = ShowHelpTopic(&dlg, QStringLiteral("settings"));
        dlg.reject();
    });
    dlg.exec();
    ASSERT_NE(w, nullptr);
    // A window outside the modal dialog would not take a single click.
    EXPECT_EQ(w->parentWidget(), &dlg);
    EXPECT_EQ(w->CurrentTopic(), QStringLiteral("settings"));
}

}  // namespace
}  // namespace velmora::test
