#include <gtest/gtest.h>

#include <filesystem>

#include "FakeHost.h"
#include "TempDir.h"
#include "anim/RenderSettingsCheck.h"
#include "AnimTestSupport.h"

using namespace velmora;
using velmora::test::FakeHost;
using velmora::test::TempDir;

namespace {

const char* kExists =
    "Warning: This directory already exists. If you choose to continue\nsome files in this directory may be "
    "overwritten. If you are not sure\nclick No and type the name of a new directory.\n\nDo you want to continue?";
const char* kWillCreate = "The directory specified does not exist and will be created.";
const std::string kBeyond =
    "You have entered an ending frame number which does not exist.\nIn this animation, the highest frame number is ";

RenderSettings Valid(const std::string& folder) {
    RenderSettings s;
    s.width = 10;
    s.height = 10;
    s.from = 1;
    s.to = 15;
    s.destFolder = folder;
    return s;
}

std::string FirstProblem(const RenderSettings& s, std::int32_t total = 15) {
    const auto p = CheckRenderSettingsFields(s, total);
    return p ? p->text : std::string();
}

TEST(RenderSettingsFields, MessagesInTheirOrder) {
    RenderSettings s = Valid("x");
    s.width = 0;
    s.from = 0;
    s.to = 0;
    s.height = 0;
    const auto width = CheckRenderSettingsFields(s, 15);
    ASSERT_TRUE(width);
    EXPECT_EQ(width->text, "Width must be at least 1 pixel");  // before the range
    EXPECT_EQ(width->icon, MsgIcon::Information);
    s.width = 1;
    EXPECT_EQ(FirstProblem(s), "Starting frame must be at least 1.");
    EXPECT_EQ(CheckRenderSettingsFields(s, 15)->icon, MsgIcon::None);
    s.from = 5;
    EXPECT_EQ(FirstProblem(s), "Ending frame must be at least 1.");  // before the height
    s.to = 4;
    EXPECT_EQ(FirstProblem(s), "Ending frame must be greater than or equal to the starting frame.");
    s.to = 20;
    EXPECT_EQ(FirstProblem(s), kBeyond + "15.");
    EXPECT_EQ(CheckRenderSettingsFields(s, 15)->icon, MsgIcon::None);
    s.to = 15;
    const auto height = CheckRenderSettingsFields(s, 15);
    ASSERT_TRUE(height);
    EXPECT_EQ(height->text, "Height must be at least 1 pixel");
    EXPECT_EQ(height->icon, MsgIcon::Information);
    s.height = 1;
    EXPECT_FALSE(CheckRenderSettingsFields(s, 15));
    s.from = s.to = 15;
    EXPECT_FALSE(CheckRenderSettingsFields(s, 15));
}

TEST(RenderSettingsFields, AnAnimationWithoutFramesRefusesItsProposal) {
    test::FakeHost host;
    CVelmoraDoc doc(host);
    test::Prepare(doc, test::ThreeKeyframes(0, 0));
    const RenderSettings s = ProposedRenderSettings(doc);
    EXPECT_EQ(s.from, 1);
    EXPECT_EQ(s.to, 0);
    EXPECT_EQ(FirstProblem(s, doc.GetTotalFrames()), "Ending frame must be at least 1.");
}

TEST(RenderSettingsProposal, TheDocumentsStoredSettingsAndTheWholeRange) {
    test::FakeHost host;
    CVelmoraDoc doc(host);
    test::Prepare(doc, test::ThreeKeyframes(10, 5));
    doc.m_animWidth = 64;
    doc.m_animHeight = 48;
    doc.m_destFolder = "/tmp/frames/";
    doc.m_tweenStyle = TweenStyle::SlowAtKeyframes;
    RenderSettings s = ProposedRenderSettings(doc);
    EXPECT_EQ(s.width, 64);
    EXPECT_EQ(s.height, 48);
    EXPECT_EQ(s.destFolder, "/tmp/frames/");
    EXPECT_EQ(s.tweenStyle, TweenStyle::SlowAtKeyframes);
    EXPECT_EQ(s.from, 1);
    EXPECT_EQ(s.to, 15);
    for (const int byte : {0, 2, 3, 200}) {
        doc.m_tweenStyle = static_cast<TweenStyle>(byte);
        EXPECT_EQ(ProposedRenderSettings(doc).tweenStyle, TweenStyle::ConstantSpeed) << byte;
    }
}

TEST(RenderSettingsAccept, FieldFailuresAreShownAndChangeNothing) {
    FakeHost host;
    RenderSettings s = Valid("relative/place");
    s.to = 20;
    host.answers = {MsgAnswer::Ok};
    EXPECT_FALSE(AcceptRenderSettings(s, 15, host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, kBeyond + "15.");
    EXPECT_EQ(host.messages[0].caption, "Velmora");
    EXPECT_EQ(host.messages[0].owner, MsgOwner::Dialog);
    EXPECT_EQ(host.messages[0].ownerName, "Render Settings");
    EXPECT_EQ(s.destFolder, "relative/place");
    EXPECT_FALSE(std::filesystem::exists("relative"));
}

TEST(RenderSettingsAccept, AnExistingFolderAsksBeforeItIsUsed) {
    TempDir dir;
    FakeHost host;
    RenderSettings s = Valid(dir.Path().string());  // typed without the final separator
    host.answers = {MsgAnswer::No};
    EXPECT_FALSE(AcceptRenderSettings(s, 15, host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, kExists);
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(host.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(s.destFolder, dir.Path().string());

    host.answers = {MsgAnswer::Yes};
    ASSERT_TRUE(AcceptRenderSettings(s, 15, host));
    EXPECT_EQ(s.destFolder, dir.Path().string() + "/");

    // Already ending with the separator: none is added.
    host.messages.clear();
    host.answers = {MsgAnswer::Yes};
    ASSERT_TRUE(AcceptRenderSettings(s, 15, host));
    EXPECT_EQ(s.destFolder, dir.Path().string() + "/");
    // The command line uses it without a question.
    host.messages.clear();
    ASSERT_TRUE(AcceptRenderSettings(s, 15, host, FolderQuestions::Proceed));
    EXPECT_TRUE(host.messages.empty());
}

TEST(RenderSettingsAccept, AMissingFolderIsCreatedOneLevelDeep) {
    TempDir dir;
    FakeHost host;
    RenderSettings s = Valid(dir.File("new"));
    host.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(AcceptRenderSettings(s, 15, host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, kWillCreate);
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(host.messages[0].buttons, MsgButtons::OkCancel);
    EXPECT_FALSE(std::filesystem::exists(dir.File("new")));

    host.answers = {MsgAnswer::Ok};
    ASSERT_TRUE(AcceptRenderSettings(s, 15, host));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("new")));
    EXPECT_EQ(s.destFolder, dir.File("new") + "/");

    // A missing parent is not made.
    host.messages.clear();
    s = Valid(dir.File("a/b"));
    host.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
    EXPECT_FALSE(AcceptRenderSettings(s, 15, host));
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].text, "Could not create directory.");
    EXPECT_EQ(host.messages[1].icon, MsgIcon::Error);
    EXPECT_FALSE(std::filesystem::exists(dir.File("a")));

    // Without questions the folder is created straight away.
    host.messages.clear();
    s = Valid(dir.File("quiet"));
    ASSERT_TRUE(AcceptRenderSettings(s, 15, host, FolderQuestions::Proceed));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("quiet")));
}

TEST(RenderSettingsAccept, AnEmptyFolderOrAFileCannotBeMadeADirectory) {
    TempDir dir;
    FakeHost host;
    RenderSettings s = Valid("");
    host.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
    EXPECT_FALSE(AcceptRenderSettings(s, 15, host));
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].text, kWillCreate);
    EXPECT_EQ(host.messages[1].text, "Could not create directory.");

    test::WriteBytes(dir.File("plain"), {1, 2, 3});
    host.messages.clear();
    s = Valid(dir.File("plain"));
    host.answers = {MsgAnswer::Ok};
    EXPECT_FALSE(AcceptRenderSettings(s, 15, host, FolderQuestions::Proceed));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Could not create directory.");
}

TEST(RenderSettingsAccept, ARelativeFolderIsMadeAbsoluteWithoutChangingDirectory) {
    TempDir dir;
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const auto inside = std::filesystem::current_path();
    FakeHost host;
    RenderSettings s = Valid("frames");
    host.answers = {MsgAnswer::Ok};
    const bool ok = AcceptRenderSettings(s, 15, host);
    const auto after = std::filesystem::current_path();
    std::filesystem::current_path(cwd);
    ASSERT_TRUE(ok);
    EXPECT_EQ(after, inside);
    EXPECT_EQ(s.destFolder, (inside / "frames").string() + "/");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("frames")));
    EXPECT_TRUE(std::filesystem::path(s.destFolder).is_absolute());
}

TEST(RenderSettingsAccept, AFolderTooLongForTheScriptIsRefused) {
    TempDir dir;
    FakeHost host;
    // With 15 frames the longest line is folder + "frame15.bmp" + line feed.
    EXPECT_EQ(MaxFramesFolderLength(15), 255u - 12u);
    EXPECT_EQ(MaxFramesFolderLength(9), 255u - 11u);
    EXPECT_EQ(MaxFramesFolderLength(INT32_MAX), 255u - 20u);
    const std::string base = dir.Path().string() + "/";
    const std::size_t fits = MaxFramesFolderLength(15) - base.size() - 1;  // the name, then "/"
    RenderSettings s = Valid(base + std::string(fits, 'a'));
    host.answers = {MsgAnswer::Ok};
    ASSERT_TRUE(AcceptRenderSettings(s, 15, host));
    EXPECT_EQ(s.destFolder.size(), MaxFramesFolderLength(15));

    host.messages.clear();
    s = Valid(base + std::string(fits + 1, 'b'));
    host.answers = {MsgAnswer::Ok};
    EXPECT_FALSE(AcceptRenderSettings(s, 15, host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "The folder name is too long for the playback script.\nThe full path of the folder may have at most "
              "243 characters.");
    EXPECT_FALSE(std::filesystem::exists(base + std::string(fits + 1, 'b')));
}

}  // namespace
