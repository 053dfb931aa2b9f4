#include <fstream>

#include "GuiFixture.h"
#include "TempDir.h"
#include "app/CommandLine.h"

namespace velmora::test {
namespace {

using namespace velmora::gui;
using A = CommandLineInfo::Action;

TEST(CommandLine, ReadsEachForm) {
    EXPECT_EQ(ParseCommandLine({}).action, A::New);
    const auto open = ParseCommandLine({"pics/a.vmr"});
    EXPECT_EQ(open.action, A::Open);
    EXPECT_EQ(open.file, "pics/a.vmr");
    EXPECT_EQ(ParseCommandLine({"/home/me/a.vmr"}).action, A::Open) << "an absolute path is not a switch";
    const auto p = ParseCommandLine({"/p", "a.vmr"});
    EXPECT_EQ(p.action, A::Print);
    EXPECT_EQ(p.file, "a.vmr");
    const auto pt = ParseCommandLine({"/pt", "a.vmr", "Office", "drv", "LPT1:"});
    EXPECT_EQ(pt.action, A::PrintTo);
    EXPECT_EQ(pt.printer, "Office");
    EXPECT_EQ(pt.driver, "drv");
    EXPECT_EQ(pt.port, "LPT1:");
    EXPECT_EQ(ParseCommandLine({"/Unregister"}).action, A::Unregister);
    EXPECT_EQ(ParseCommandLine({"/UNREGSERVER"}).action, A::Unregister);
    EXPECT_EQ(ParseCommandLine({"--help"}).action, A::Help);
    EXPECT_EQ(ParseCommandLine({"/dde"}).action, A::Dde);
}

TEST(CommandLine, RejectsWhatItCannotCarryOut) {
    EXPECT_EQ(ParseCommandLine({"/p"}).action, A::Error);
    EXPECT_EQ(ParseCommandLine({"/pt", "a.vmr", "printer"}).action, A::Error);
    EXPECT_EQ(ParseCommandLine({"a.vmr", "b.vmr"}).action, A::Error);
    const auto unknown = ParseCommandLine({"--frobnicate"});
    EXPECT_EQ(unknown.action, A::Error);
    EXPECT_NE(unknown.error.find("--frobnicate"), std::string::npos);
}

TEST(CommandLine, HelpAndErrorsEndTheStartWithoutAWindow) {
    ClearSettings();
    AppUnderTest help;
    EXPECT_EQ(help.Start({"--help"}), 0);
    EXPECT_NE(help.out.str().find("Usage: velmora"), std::string::npos);
    EXPECT_EQ(help.app->GetMainFrame(), nullptr);

    AppUnderTest wrong;
    EXPECT_EQ(wrong.Start({"--frobnicate"}), 2);
    EXPECT_NE(wrong.err.str().find("Unknown option"), std::string::npos);
}

TEST(CommandLine, ADocumentThatDoesNotLoadEndsTheStart) {
    ClearSettings();
    TempDir dir;
    const std::string bad = dir.File("bad.vmr");
    { std::ofstream(bad, std::ios::binary) << "VMR1 but not really"; }
    AppUnderTest t;
    t.host.allowMessages = true;
    EXPECT_EQ(t.Start({bad}), 1);
    ASSERT_EQ(t.host.messages.size(), 1u);
    EXPECT_EQ(t.host.messages[0].text, "Unexpected file format.");
    EXPECT_EQ(t.app->GetMainFrame(), nullptr);
}

TEST(CommandLine, ADocumentArgumentOpensIt) {
    ClearSettings();
    TempDir dir;
    const std::string path = dir.File("mine.vmr");
    {
        FakeHost h;
        CVelmoraDoc d(h);
        d.OnNewDocument();
        d.m_params.iterations = 42;
        ASSERT_TRUE(d.OnSaveDocument(path));
    }
    AppUnderTest t;
    ASSERT_EQ(t.Start({path}), CVelmoraApp::kKeepRunning);
    EXPECT_EQ(t.Doc().m_params.iterations, 42);
    EXPECT_EQ(t.Frame().windowTitle(), QStringLiteral("mine.vmr - Velmora"));
    EXPECT_EQ(t.app->GetRecentFiles().Files().value(0).toStdString(), path);
}

TEST(CommandLine, PrintToAPdfFileWritesOnePageAndEnds) {
    ClearSettings();
    TempDir dir;
    const std::string path = dir.File("p.vmr");
    {
        FakeHost h;
        CVelmoraDoc d(h);
        d.OnNewDocument();
        d.m_params.width = 40;
        d.m_params.height = 30;
        ASSERT_TRUE(d.OnSaveDocument(path));
    }
    const std::string pdf = dir.File("p.pdf");
    AppUnderTest t;
    EXPECT_EQ(t.Start({"/pt", path, pdf, "driver", "port"}), 0);
    const auto bytes = ReadBytes(pdf);
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "%PDF-");
    EXPECT_FALSE(t.app->GetMainFrame()->isVisible());

    AppUnderTest missing;
    missing.host.allowMessages = true;
    EXPECT_EQ(missing.Start({"/pt", path, "No Such Printer", "d", "p"}), 1);
    ASSERT_EQ(missing.host.messages.size(), 1u);
    EXPECT_EQ(missing.host.messages[0].text, "The printer No Such Printer is not available.");
}

}  // namespace
}  // namespace velmora::test
