#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "CliCommands.h"
#include "FakeHost.h"
#include "TempDir.h"
#include "anim/PlaybackScript.h"
#include "anim/Tween.h"
#include "AnimTestSupport.h"

using namespace velmora;
using velmora::test::ReadBytes;
using velmora::test::TempDir;

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int code;
    std::string out, err;
};

CliRun Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = cli::RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

const std::string kDone = "Your animation has been successfully rendered.\n";

class CliAnim : public ::testing::Test {
protected:
    // Saves a document with these keyframes and animation settings.
    std::string Save(const std::vector<Keyframe>& keys, const std::string& name = "anim.vmr") {
        test::FakeHost host;
        CVelmoraDoc doc(host);
        test::Prepare(doc, keys);
        doc.m_animWidth = animWidth;
        doc.m_animHeight = animHeight;
        doc.m_tweenStyle = tweenStyle;
        doc.m_destFolder = storedFolder;
        doc.m_playbackStyle = playback;
        const std::string path = dir.File(name);
        EXPECT_TRUE(doc.OnSaveDocument(path));
        return path;
    }

    // Every frame of `folder` against single renders of its tweened values.
    void ExpectFrames(const std::string& folder, const std::vector<Keyframe>& keys, std::int32_t from,
                      std::int32_t to, std::int32_t w, std::int32_t h, TweenStyle style) {
        std::int32_t n = 0;
        for (std::size_t k = 0; k + 1 < keys.size(); ++k) {
            for (std::int32_t d = 0; d < keys[k].transitions; ++d) {
                ++n;
                const std::string path = folder + "frame" + std::to_string(n) + ".bmp";
                if (n < from || n > to) {
                    EXPECT_FALSE(fs::exists(path)) << path;
                    continue;
                }
                Keyframe t;
                TweenKeyframes(keys[k], keys[k + 1], t, d, style);
                const auto bytes = ReadBytes(path);
                ASSERT_GT(bytes.size(), 1078u) << path;
                EXPECT_TRUE(std::equal(t.palette.Raw().begin(), t.palette.Raw().end(), bytes.begin() + 54)) << path;
                EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 1078, bytes.end()),
                          test::ReferenceImage(test::RefOf(t, w, h)))
                    << path;
            }
        }
        EXPECT_FALSE(fs::exists(folder + "frame" + std::to_string(n + 1) + ".bmp"));
    }

    std::string Script(const std::string& folder) {
        const auto b = ReadBytes(folder + "script.aas");
        return std::string(b.begin(), b.end());
    }

    TempDir dir;
    std::int32_t animWidth = 9;
    std::int32_t animHeight = 6;
    TweenStyle tweenStyle = TweenStyle::ConstantSpeed;
    std::string storedFolder = "unused";
    PlaybackStyle playback = PlaybackStyle::Forwards;
};

TEST_F(CliAnim, MandelbrotInEachStyleIntoANewFolder) {
    const auto keys = test::ThreeKeyframes(3, 2);
    const std::string doc = Save(keys);
    const auto original = ReadBytes(doc);
    for (const auto& [name, style] : {std::pair{"slow", TweenStyle::SlowAtKeyframes},
                                      std::pair{"constant", TweenStyle::ConstantSpeed}}) {
        const std::string folder = dir.File(name);
        const CliRun r = Cli({"anim", doc, "--style", name, "--size", "11x7", "--folder", folder});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, kDone);
        EXPECT_TRUE(r.err.empty()) << r.err;
        ExpectFrames(folder + "/", keys, 1, 5, 11, 7, style);
        EXPECT_EQ(Script(folder + "/"), ScriptText(folder + "/", PlaybackStyle::Forwards, 5));
    }
    EXPECT_EQ(ReadBytes(doc), original);  // the document file is not changed
}

TEST_F(CliAnim, JuliaWithTheDocumentsStoredSettings) {
    std::vector<Keyframe> keys = {test::Key(-1.6, 1.6, -1.2, 1.2, 50, 2, 2, -0.8, 0.156, 0),
                                  test::Key(-0.8, 0.8, -0.6, 0.6, 80, 3, 2, -0.7, 0.27, 60),
                                  test::Key(-0.4, 0.4, -0.3, 0.3, 120, 1, 2, 0.285, 0.01, 120)};
    tweenStyle = TweenStyle::SlowAtKeyframes;
    playback = PlaybackStyle::PingPong | PlaybackStyle::Looping;
    fs::create_directory(dir.File("stored"));
    storedFolder = dir.File("stored") + "/";
    const std::string doc = Save(keys);
    const CliRun r = Cli({"anim", doc});
    ASSERT_EQ(r.code, 0) << r.err;
    // An existing folder is used without a question.
    EXPECT_TRUE(r.err.empty()) << r.err;
    ExpectFrames(storedFolder, keys, 1, 5, 9, 6, TweenStyle::SlowAtKeyframes);
    EXPECT_EQ(Script(storedFolder), ScriptText(storedFolder, playback, 5));
}

TEST_F(CliAnim, ARangeRendersOnlyItsFramesButScriptsThemAll) {
    const auto keys = test::ThreeKeyframes(3, 2);
    const std::string doc = Save(keys);
    const std::string folder = dir.File("part");
    const CliRun r = Cli({"anim", doc, "--from", "3", "--to", "4", "--folder", folder});
    ASSERT_EQ(r.code, 0) << r.err;
    ExpectFrames(folder + "/", keys, 3, 4, 9, 6, TweenStyle::ConstantSpeed);
    EXPECT_EQ(Script(folder + "/"), ScriptText(folder + "/", PlaybackStyle::Forwards, 5));
}

TEST_F(CliAnim, SettingsFailuresGiveTheDialogsMessages) {
    const std::string doc = Save(test::ThreeKeyframes(3, 2));
    const std::string folder = dir.File("f");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--size", "0x4"}, "Width must be at least 1 pixel\n"},
        {{"--size", "0x4", "--from", "0"}, "Width must be at least 1 pixel\n"},
        {{"--from", "0"}, "Starting frame must be at least 1.\n"},
        {{"--to", "-1", "--size", "4x0"}, "Ending frame must be at least 1.\n"},
        {{"--from", "4", "--to", "3"}, "Ending frame must be greater than or equal to the starting frame.\n"},
        {{"--to", "6"},
         "You have entered an ending frame number which does not exist.\nIn this animation, the highest frame "
         "number is 5.\n"},
        {{"--size", "4x0"}, "Height must be at least 1 pixel\n"},
        {{"--folder", dir.File("no/such")}, "Could not create directory.\n"},
        {{"--folder", ""}, "Could not create directory.\n"},
    };
    for (const auto& [extra, message] : cases) {
        std::vector<std::string> args = {"anim", doc, "--folder", folder};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 1) << message;
        EXPECT_EQ(r.err, message);
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_FALSE(fs::exists(folder));  // nothing was made
}

TEST_F(CliAnim, DocumentsThatCannotBeRendered) {
    CliRun r = Cli({"anim", Save({test::Key(-2, 2, -1, 1, 50, 4)}, "one.vmr"), "--folder", dir.File("f")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "There must be at least 2 keyframes in order to render.\nSee Help for details.\n");
    test::WriteBytes(dir.File("bad.vmr"), {'V', 'M', 'R'});
    r = Cli({"anim", dir.File("bad.vmr")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Unexpected file format.\n");
    r = Cli({"anim", dir.File("missing.vmr")});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.empty());
}

TEST_F(CliAnim, CommandLineFaults) {
    const std::string doc = Save(test::ThreeKeyframes(3, 2));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"anim"}, {"anim", doc, doc}, {"anim", doc, "--style", "fast"},
          {"anim", doc, "--from", "two"}, {"anim", doc, "--to"}, {"anim", doc, "--size", "12"},
          {"anim", doc, "--frobnicate"}}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 1) << args.back();
        EXPECT_FALSE(r.err.empty()) << args.back();
    }
    const CliRun help = Cli({"anim", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("velmora-cli anim DOC.vmr"), std::string::npos);
    EXPECT_NE(Cli({"--help"}).out.find("anim DOC.vmr"), std::string::npos);
}

TEST_F(CliAnim, ProgressGoesToStderrOnATerminal) {
    const std::string doc = Save(test::ThreeKeyframes(3, 2));
    fs::create_directories(dir.File("p") + "/frame3.bmp");
    std::ostringstream out, err;
    EXPECT_EQ(cli::RunCli({"anim", doc, "--folder", dir.File("p"), "--to", "2"}, out, err, true), 0);
    EXPECT_NE(err.str().find("\rCalculating frame 1"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("\rSaving frame 2"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().back(), '\n');
    EXPECT_EQ(out.str(), kDone);
    // A message starts on a line of its own.
    std::ostringstream out2, err2;
    EXPECT_EQ(cli::RunCli({"anim", doc, "--folder", dir.File("p")}, out2, err2, true), 1);
    const std::string text = "Could not save frame 3.\nRender operation aborted.\n";
    ASSERT_GT(err2.str().size(), text.size());
    EXPECT_EQ(err2.str().substr(err2.str().size() - text.size() - 1), "\n" + text);
}

TEST_F(CliAnim, AFrameThatCannotBeWrittenFailsTheRun) {
    const std::string doc = Save(test::ThreeKeyframes(3, 2));
    const std::string folder = dir.File("blocked");
    fs::create_directories(folder + "/frame2.bmp");
    const CliRun r = Cli({"anim", doc, "--folder", folder});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Could not save frame 2.\nRender operation aborted.\n");
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(fs::exists(folder + "/frame1.bmp"));
    EXPECT_TRUE(fs::exists(folder + "/script.aas"));
}

}  // namespace
