// The program as a whole: started with a document, rendered with F5, the
// picture exported through the File menu, compared with velmora-cli's render.
#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "GuiFixture.h"
#include "TempDir.h"
#include "commands/CommandIds.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

TEST(EndToEnd, RenderAndExportMatchTheCommandLineTool) {
    clearSettings();
    TempDir dir;
    const std::string doc = dir.file("scene.vmr"), guiBmp = dir.file("gui.bmp"), cliBmp = dir.file("cli.bmp");
    {
        FakeHost h;
        Document d(h);
        d.onNewDocument();
        d.loadDefaultPalette();
        d.setParams({-0.9, 0.1, -0.6, 0.35, FractalType::Mandelbrot, 0.3, 0.6, 120, 161, 97, {}});  // odd width: padded rows
        d.editPalette([&](Palette& p) { p.setEntry(17, RgbQuad{1, 2, 3, 0}); });  // not the default palette
        ASSERT_TRUE(d.onSaveDocument(doc));
    }
    FakeHost host;
    ScriptedDialogs dialogs;
    dialogs.saveAnswers.push_back(QString::fromStdString(guiBmp));
    QTimer::singleShot(0, [&] {
        MainWindow* frame = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<MainWindow*>(w); f != nullptr && f->isVisible()) frame = f;
        if (frame == nullptr) return QApplication::exit(3);
        frame->activateWindow();
        (void)QTest::qWaitForWindowActive(frame, 2000);
        QTest::keyClick(frame->view(), Qt::Key_F5);
        EXPECT_TRUE(frame->app().session().engine()->isValid()) << "F5 rendered the picture";
        frame->action(ID_FILE_EXPORTBMP)->trigger();
        frame->action(ID_APP_EXIT)->trigger();
    });
    std::ostringstream out, err;
    EXPECT_EQ(runVelmora({doc}, host, dialogs, out, err), 0);

    QProcess cli;
    cli.start(QStringLiteral(VELMORA_CLI_PATH), {QStringLiteral("render"), QString::fromStdString(doc),
                                                 QStringLiteral("-o"), QString::fromStdString(cliBmp)});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0);
    const auto gui = readBytes(guiBmp);
    ASSERT_EQ(gui.size(), 1078u + 164u * 97u);
    EXPECT_TRUE(gui == readBytes(cliBmp)) << "the desktop program and the tool must write the same file";
}

}  // namespace
}  // namespace velmora::test
