// The Qt host and dialogs: where message boxes appear, and a quiet Print Setup.
#include <QApplication>
#include <QMainWindow>
#include <QPrinter>
#include <QTimer>

#include "GuiFixture.h"
#include "commands/CommandTable.h"
#include "host/QtHost.h"
#include "widgets/ToolbarIcons.h"

namespace velmora::test {
namespace {

struct HostWithOwners : gui::QtHost {
    using QtHost::ownerFor;
};

TEST(QtHost, BoxesWithoutAnOwnerAppearOverTheMainWindow) {
    QMainWindow main;
    HostWithOwners host;
    host.setMainWindow(&main);
    Message m;
    m.owner = MsgOwner::None;
    EXPECT_EQ(host.ownerFor(m), &main);
}

QStringList g_warnings;
void collect(QtMsgType type, const QMessageLogContext&, const QString& text) {
    // The offscreen platform has warnings of its own; ours would be about printers.
    if (type == QtWarningMsg && text.contains(QLatin1String("printer"))) g_warnings << text;
}

TEST(QtDesktopDialogs, PrintSetupOnThePdfPrinterWarnsNothing) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    gui::QtDesktopDialogs dialogs;
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
    });
    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collect);
    dialogs.pageSetup(nullptr, printer);
    qInstallMessageHandler(previous);
    EXPECT_TRUE(g_warnings.isEmpty()) << g_warnings.join(QLatin1Char('\n')).toStdString();
}


// The pictures are resources: a file missing from the build shows as a blank button.
TEST(ToolbarIcons, EveryButtonAndTheProgramHaveTheirPicture) {
    for (const int id : gui::toolbarLayout()) {
        if (id == 0) continue;  // a separator
        EXPECT_FALSE(gui::toolbarIcon(id).pixmap(16, 15).isNull()) << id;
    }
    EXPECT_FALSE(gui::applicationIcon().pixmap(32, 32).isNull());
}

}  // namespace
}  // namespace velmora::test
