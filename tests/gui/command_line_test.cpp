// The program's command line: each form, and what the start does with it.
#include <fstream>

#include "GuiFixture.h"
#include "TempDir.h"
#include "app/CommandLine.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;
using A = CommandLineInfo::Action;

TEST(CommandLine, ReadsEachForm) {
    const std::pair<std::vector<std::string>, A> cases[] = {
        {{}, A::New}, {{"pics/a.vmr"}, A::Open}, {{"/home/me/a.vmr"}, A::Open},  // an absolute path is no switch
        {{"/p", "a.vmr"}, A::Print}, {{"/pt", "a.vmr", "Office", "drv", "LPT1:"}, A::PrintTo},
        {{"/UNREGSERVER"}, A::Unregister}, {{"--help"}, A::Help}, {{"/dde"}, A::Dde}, {{"/p"}, A::Error},
        {{"/pt", "a.vmr", "printer"}, A::Error}, {{"a.vmr", "b.vmr"}, A::Error}};
    for (const auto& [args, action] : cases)
        EXPECT_EQ(parseCommandLine(args).action, action) << testing::PrintToString(args);
}

TEST(CommandLine, HelpUnknownOptionsUnloadableDocumentsAndUnregisterEndTheStartWithoutAWindow) {
    clearSettings();
    QSettings(kSettingsOrganization, kSettingsApplication).setValue("Recent File List/File1", "/tmp/x.vmr");
    AppUnderTest help, wrong, bad, unregister;
    EXPECT_EQ(help.start({"--help"}), 0);
    EXPECT_NE(help.out.str().find("Usage: velmora"), std::string::npos);
    EXPECT_EQ(wrong.start({"--frobnicate"}), 2);
    EXPECT_NE(wrong.err.str().find("Unknown option: --frobnicate"), std::string::npos);
    TempDir dir;
    { std::ofstream(dir.file("bad.vmr"), std::ios::binary) << "VMR1 but not really"; }
    bad.host.allowMessages = true;
    EXPECT_EQ(bad.start({dir.file("bad.vmr")}), 1);
    EXPECT_EQ(bad.host.lastText(), "Unexpected file format.");
    unregister.host.allowMessages = true;
    EXPECT_EQ(unregister.start({"/Unregister"}), 0);
    EXPECT_EQ(unregister.host.lastText(),
              "System registry entries have been removed and the INI file (if any) was deleted.");
    EXPECT_FALSE(QSettings(kSettingsOrganization, kSettingsApplication).contains("Recent File List/File1"));
    for (AppUnderTest* t : {&help, &wrong, &bad, &unregister}) EXPECT_EQ(t->app->mainFrame(), nullptr);
}

TEST(CommandLine, PrintToRendersThenPrintsAndEnds) {
    clearSettings();
    TempDir dir;
    const std::string path = dir.file("mine.vmr"), pdf = dir.file("p.pdf");
    FakeHost h;
    Document d(h);
    d.onNewDocument();
    d.setResolution(40, 30);
    ASSERT_TRUE(d.onSaveDocument(path));
    AppUnderTest t, missing;
    EXPECT_EQ(t.start({"/pt", path, pdf, "driver", "port"}), 0);
    EXPECT_TRUE(t.session().engine()->isValid()) << "a document holds no pixels: render before printing";
    EXPECT_FALSE(t.app->mainFrame()->isVisible());
    const auto bytes = readBytes(pdf);
    EXPECT_TRUE(bytes.size() > 100u && std::string(bytes.begin(), bytes.begin() + 5) == "%PDF-");
    missing.host.allowMessages = true;
    EXPECT_EQ(missing.start({"/pt", path, "No Such Printer", "d", "p"}), 1);
    EXPECT_EQ(missing.host.lastText(), "The printer No Such Printer is not available.");
}

}  // namespace
}  // namespace velmora::test
