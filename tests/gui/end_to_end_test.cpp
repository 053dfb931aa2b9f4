// The program as a whole: started with a document, rendered with F5, the
// picture exported through the File menu, compared with velmora-cli's render.
#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "GuiFixture.h"
#include "TempDir.h"
#include "app/CommandIds.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;

std::string MakeDocument(const TempDir& dir) {
    const std::string path = dir.File("scene.vmr");
    FakeHost h;
    CVelmoraDoc d(h);
    d.OnNewDocument();
    d.LoadDefaultPalette();
    d.m_params.width = 161;  // odd: rows are padded
    d.m_params.height = 97;
    d.m_params.iterations = 120;
    d.m_params.left = -0.9;
    d.m_params.right = -0.6;
    d.m_params.top = 0.1;
    d.m_params.bottom = 0.35;
    d.m_palette.SetEntry(17, RgbQuad{1, 2, 3, 0});  // not the default palette
    EXPECT_TRUE(d.OnSaveDocument(path));
    return path;
}

int RunProcess(const QString& program, const QStringList& args, QByteArray* output = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (output != nullptr) *output = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

CMainFrame* FindFrame() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<CMainFrame*>(w); f != nullptr && f->isVisible()) return f;
    return nullptr;
}

TEST(EndToEnd, RenderAndExportMatchTheCommandLineTool) {
    ClearSettings();
    TempDir dir;
    const std::string doc = MakeDocument(dir);
    const std::string guiBmp = dir.File("gui.bmp");
    const std::string cliBmp = dir.File("cli.bmp");

    FakeHost host;
    ScriptedDialogs dialogs;
    dialogs.saveAnswers.push_back(QString::fromStdString(guiBmp));
    bool rendered = false;
    bool exportWasEnabled = false;
    QTimer::singleShot(0, [&] {
        CMainFrame* frame = FindFrame();
        if (frame == nullptr) {
            ADD_FAILURE() << "no main window";
            QApplication::exit(3);
            return;
        }
        frame->activateWindow();
        (void)QTest::qWaitForWindowActive(frame, 2000);
        QTest::keyClick(frame->GetView(), Qt::Key_F5);
        rendered = frame->App().GetDocument().m_pEngine->IsValid();
        frame->UpdateCommandUI();
        exportWasEnabled = frame->Action(ID_FILE_EXPORTBMP)->isEnabled();
        frame->Action(ID_FILE_EXPORTBMP)->trigger();
        frame->Action(ID_APP_EXIT)->trigger();
    });
    std::ostringstream out, err;
    EXPECT_EQ(RunVelmora({doc}, host, dialogs, out, err), 0);
    EXPECT_TRUE(rendered) << "F5 rendered the picture";
    EXPECT_TRUE(exportWasEnabled);
    EXPECT_TRUE(host.messages.empty());

    ASSERT_EQ(RunProcess(QStringLiteral(VELMORA_CLI_PATH),
                         {QStringLiteral("render"), QString::fromStdString(doc), QStringLiteral("-o"),
                          QString::fromStdString(cliBmp)}),
              0);
    const auto gui = ReadBytes(guiBmp);
    const auto cli = ReadBytes(cliBmp);
    ASSERT_EQ(gui.size(), 1078u + 164u * 97u);
    EXPECT_TRUE(gui == cli) << "the desktop program and the tool must write the same file";
}

TEST(EndToEnd, TheRealProgramPrintsADocumentOffscreen) {
    TempDir dir;
    const std::string doc = MakeDocument(dir);
    const std::string pdf = dir.File("printed.pdf");
    QByteArray usage;
    EXPECT_EQ(RunProcess(QStringLiteral(VELMORA_GUI_PATH), {QStringLiteral("--help")}, &usage), 0);
    EXPECT_TRUE(usage.contains("Usage: velmora"));
    EXPECT_EQ(RunProcess(QStringLiteral(VELMORA_GUI_PATH),
                         {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("/pt"),
                          QString::fromStdString(doc), QString::fromStdString(pdf), QStringLiteral("drv"),
                          QStringLiteral("port")}),
              0);
    const auto bytes = ReadBytes(pdf);
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "%PDF-");
}

}  // namespace
}  // namespace velmora::test
