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

namespace fs = std::filesystem;

const std::string kBeyond =
    "You have entered an ending frame number which does not exist.\nIn this animation, the highest frame number is 15.";

RenderSettings Valid(const std::string& folder) { return RenderSettings{1, 15, TweenStyle::ConstantSpeed, folder, 10, 10}; }

TEST(RenderSettingsFields, OneMessageAtATimeInTheDialogsOrder) {
    struct Case { std::int32_t width, height, from, to; std::string text; MsgIcon icon; };
    // Each row mends the first problem of the row before.
    const Case cases[] = {{0, 0, 0, 0, "Width must be at least 1 pixel", MsgIcon::Information},
                          {1, 0, 0, 0, "Starting frame must be at least 1.", MsgIcon::None},
                          {1, 0, 5, 0, "Ending frame must be at least 1.", MsgIcon::None},
                          {1, 0, 5, 4, "Ending frame must be greater than or equal to the starting frame.", MsgIcon::None},
                          {1, 0, 5, 16, kBeyond, MsgIcon::None},
                          {1, 0, 5, 15, "Height must be at least 1 pixel", MsgIcon::Information},
                          {1, 1, 5, 15, "", MsgIcon::None}, {1, 1, 15, 15, "", MsgIcon::None}};
    for (const Case& c : cases) {
        const auto p = CheckRenderSettingsFields({c.from, c.to, TweenStyle::ConstantSpeed, "x", c.width, c.height}, 15);
        EXPECT_EQ(p ? std::pair(p->text, p->icon) : std::pair(std::string(), MsgIcon::None), std::pair(c.text, c.icon));
    }
}

TEST(RenderSettingsProposal, TheDocumentsStoredSettingsAndTheWholeRange) {
    FakeHost host;
    CVelmoraDoc doc(host);
    test::Prepare(doc, test::ThreeKeyframes(10, 5));
    doc.m_animWidth = 64;
    doc.m_animHeight = 48;
    doc.m_destFolder = "/tmp/frames/";
    for (const int byte : {1, 0, 2, 3, 200}) {  // a stored byte other than 1 proposes constant speed
        doc.m_tweenStyle = static_cast<TweenStyle>(byte);
        const RenderSettings s = ProposedRenderSettings(doc);
        EXPECT_EQ(std::tuple(s.width, s.height, s.destFolder, s.from, s.to, s.tweenStyle),
                  std::tuple(64, 48, "/tmp/frames/", 1, 15, byte == 1 ? TweenStyle::SlowAtKeyframes : TweenStyle::ConstantSpeed));
    }
    doc.m_keyframes = test::ThreeKeyframes(0, 0);  // no frames: a range its own check refuses
    const RenderSettings none = ProposedRenderSettings(doc);
    EXPECT_EQ(std::pair(none.from, none.to), std::pair(1, 0));
    EXPECT_EQ(CheckRenderSettingsFields(none, doc.GetTotalFrames())->text, "Ending frame must be at least 1.");
}

TEST(RenderSettingsAccept, FolderChecks) {
    struct Shown { std::string text; MsgIcon icon; MsgButtons buttons; };
    const Shown exists{"Warning: This directory already exists. If you choose to continue\nsome files in this directory "
                       "may be overwritten. If you are not sure\nclick No and type the name of a new directory.\n\nDo "
                       "you want to continue?", MsgIcon::Question, MsgButtons::YesNo};
    const Shown create{"The directory specified does not exist and will be created.", MsgIcon::Information, MsgButtons::OkCancel};
    const Shown failed{"Could not create directory.", MsgIcon::Error, MsgButtons::Ok};
    const Shown beyond{kBeyond, MsgIcon::None, MsgButtons::Ok};
    struct Case { std::string folder; std::int32_t to; FolderQuestions questions; std::vector<MsgAnswer> answers;
                  std::vector<Shown> shown; bool accepted; };
    const auto ask = FolderQuestions::Ask, proceed = FolderQuestions::Proceed;
    const auto ok = MsgAnswer::Ok, yes = MsgAnswer::Yes;
    // In the test's folder, where "old" exists and "plain" is a file; "" is no name at all.
    const Case cases[] = {
        {"new", 16, ask, {ok}, {beyond}, false},  // fields first: no folder is made
        {"old", 15, ask, {MsgAnswer::No}, {exists}, false}, {"old", 15, ask, {yes}, {exists}, true},
        {"old/", 15, ask, {yes}, {exists}, true},  // no second separator
        {"old", 15, proceed, {}, {}, true},  // the command line's way
        {"new", 15, ask, {MsgAnswer::Cancel}, {create}, false}, {"new", 15, ask, {ok}, {create}, true},
        {"new", 15, proceed, {}, {}, true}, {"a/b", 15, ask, {ok, ok}, {create, failed}, false},  // one level only
        {"plain", 15, proceed, {ok}, {failed}, false}, {"", 15, ask, {ok, ok}, {create, failed}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        TempDir dir;
        fs::create_directory(dir.File("old"));
        test::WriteBytes(dir.File("plain"), {1, 2, 3});
        FakeHost host;
        host.answers.assign(c.answers.begin(), c.answers.end());
        const std::string typed = c.folder.empty() ? "" : dir.Path().string() + "/" + c.folder;
        RenderSettings s = Valid(typed);
        s.to = c.to;
        EXPECT_EQ(AcceptRenderSettings(s, 15, host, c.questions), c.accepted);
        ASSERT_EQ(host.messages.size(), c.shown.size());
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            const Message& m = host.messages[i];
            EXPECT_EQ(std::tuple(m.text, m.icon, m.buttons, m.ownerName),
                      std::tuple(c.shown[i].text, c.shown[i].icon, c.shown[i].buttons, "Render Settings"));
        }
        EXPECT_EQ(s.destFolder, c.accepted ? (fs::path(typed) / "").string() : typed);
        const std::string made = dir.Path().string() + "/" + c.folder.substr(0, c.folder.find('/'));
        EXPECT_EQ(fs::is_directory(made), c.accepted || c.folder.starts_with("old") || c.folder.empty());
    }
}

TEST(RenderSettingsAccept, ARelativeFolderIsMadeAbsoluteWithoutChangingDirectory) {
    TempDir dir;
    const auto cwd = fs::current_path();
    fs::current_path(dir.Path());
    const auto inside = fs::current_path();
    FakeHost host;
    RenderSettings s = Valid("frames");
    host.answers = {MsgAnswer::Ok};
    const bool ok = AcceptRenderSettings(s, 15, host);
    const auto after = fs::current_path();
    fs::current_path(cwd);
    EXPECT_TRUE(ok);
    EXPECT_EQ(after, inside);
    EXPECT_EQ(s.destFolder, (inside / "frames").string() + "/");
    EXPECT_TRUE(fs::is_directory(dir.File("frames")));
}

TEST(RenderSettingsAccept, AFolderTooLongForTheScriptIsRefused) {
    // The longest script line is the folder, "frame", the number, ".bmp" and a line feed.
    EXPECT_EQ(std::tuple(MaxFramesFolderLength(9), MaxFramesFolderLength(15), MaxFramesFolderLength(INT32_MAX)),
              std::tuple(255u - 11u, 255u - 12u, 255u - 20u));
    TempDir dir;
    const std::string base = dir.Path().string() + "/";
    const std::size_t fits = MaxFramesFolderLength(15) - base.size() - 1;  // the name, then "/"
    for (const std::size_t length : {fits, fits + 1}) {
        FakeHost host;
        host.answers = {MsgAnswer::Ok};
        RenderSettings s = Valid(base + std::string(length, 'a'));
        EXPECT_EQ(AcceptRenderSettings(s, 15, host), length == fits) << length;
        EXPECT_EQ(fs::exists(base + std::string(length, 'a')), length == fits);
        EXPECT_EQ(host.LastText(), length == fits ? "The directory specified does not exist and will be created."
                                                  : "The folder name is too long for the playback script.\nThe full "
                                                    "path of the folder may have at most 243 characters.");
    }
}

}  // namespace
