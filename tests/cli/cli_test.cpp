// velmora-cli driven in process through the same entry point as main(): option
// parsing, exit codes, messages and the files written. What the files hold is
// checked against the core that makes them, whose own rules are tested in core.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <map>
#include <sstream>

#include "AnimTestSupport.h"
#include "CliCommands.h"
#include "FakeHost.h"
#include "JsonText.h"
#include "TempDir.h"
#include "anim/PlaybackScript.h"

using namespace velmora;
using velmora::test::ReadBytes;
using velmora::test::TempDir;
using velmora::test::WriteBytes;

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int code;
    std::string out, err;
};

CliRun Cli(std::vector<std::string> args, bool terminal = false) {
    std::ostringstream out, err;
    const int code = cli::RunCli(args, out, err, terminal);
    return {code, out.str(), err.str()};
}

std::vector<std::uint8_t> Pixels(const std::string& bmp) {
    const auto b = ReadBytes(bmp);
    return b.size() < 1078 ? b : std::vector<std::uint8_t>(b.begin() + 1078, b.end());
}

TEST(Cli, RenderWritesTheOverriddenPicture) {
    TempDir dir;
    const std::pair<std::vector<std::string>, test::RefParams> cases[] = {
        {{}, test::RefParams{}},  // a new document's values, 300x300: 91078 bytes
        {{"--size", "37x21", "--region", "1.5,1,-1.5,-1", "--iterations", "300", "--type", "julia", "--julia",
          "-0.8,0.156"}, test::RefParams{1.5, 1, -1.5, -1, 2, -0.8, 0.156, 300, 37, 21}}};
    for (const auto& [overrides, ref] : cases) {
        std::vector<std::string> args = {"render", "-o", dir.File("out.bmp")};
        args.insert(args.end(), overrides.begin(), overrides.end());
        const CliRun r = Cli(args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(ReadBytes(dir.File("out.bmp")).size(), 1078u + (ref.width + 3) / 4 * 4 * ref.height);
        EXPECT_EQ(Pixels(dir.File("out.bmp")), test::ReferenceImage(ref));
    }
}

TEST(Cli, NewInfoAndResave) {
    TempDir dir;
    ASSERT_EQ(Cli({"new", dir.File("a.vmr"), "--iterations", "51", "--type", "julia"}).code, 0);
    const CliRun info = Cli({"info", dir.File("a.vmr")});
    ASSERT_EQ(info.code, 0) << info.err;
    for (const char* field : {"\"left\":-2,", "\"cReal\":0.3,", "\"type\":2,", "\"iterations\":51,",
                              "\"palette\":\"000000000005ff00", "\"totalFrames\":0,\"keyframes\":[]}"})
        EXPECT_NE(info.out.find(field), std::string::npos) << field << " in " << info.out;
    auto bytes = ReadBytes(dir.File("a.vmr"));
    bytes.push_back(42);  // bytes after the terminator are not kept
    WriteBytes(dir.File("b.vmr"), bytes);
    ASSERT_EQ(Cli({"resave", dir.File("b.vmr"), dir.File("c.vmr")}).code, 0);
    bytes.pop_back();
    EXPECT_EQ(ReadBytes(dir.File("c.vmr")), bytes);

    EXPECT_EQ(json::Number(0.1 + 0.2), "0.30000000000000004");  // reads back as the same double
    EXPECT_EQ(json::Number(-0.0), "-0.0");
    EXPECT_EQ(json::Number(std::numeric_limits<double>::quiet_NaN()), "\"nan\"");
    EXPECT_EQ(json::Number(-std::numeric_limits<double>::infinity()), "\"-inf\"");
    EXPECT_EQ(json::String("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
}

TEST(Cli, FailuresGiveTheMessageOnStderrAndExitOne) {
    TempDir dir;
    WriteBytes(dir.File("bad.vmr"), {'X', 'M', 'R', '1', '0'});
    const std::string out = dir.File("x.bmp");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"info", dir.File("bad.vmr")}, "Unexpected file format.\n"},
        {{"render", dir.File("bad.vmr"), "-o", out}, "Unexpected file format.\n"},
        {{"render", "-o", dir.File("nofolder/x.bmp")}, dir.File("nofolder/x.bmp") + " was not found.\n"},
        {{"render"}, "render: no output file given (-o OUT.bmp).\n"},
        {{"render", "-o", out, "--size", "0x5"}, "Invalid --size '0x5': expected WIDTHxHEIGHT with both at least 1.\n"},
        {{"render", "-o", out, "--iterations", "2147483648"},
         "Invalid --iterations '2147483648': expected a whole number from -2147483648 to 2147483647.\n"},
        {{"render", "-o", out, "--iterations", "12x"},
         "Invalid --iterations '12x': expected a whole number from -2147483648 to 2147483647.\n"},
        {{"render", "-o", out, "--region", "1,2,3"}, "Invalid --region '1,2,3': expected LEFT,TOP,RIGHT,BOTTOM.\n"},
        {{"render", "-o", out, "--julia", "1.5.2,0"}, "Invalid --julia '1.5.2,0': expected REAL,IMAGINARY.\n"},
        {{"render", "-o", out, "--julia", "+,0"}, "Invalid --julia '+,0': expected REAL,IMAGINARY.\n"},
        {{"render", "-o"}, "Option -o needs a value.\n"},
        {{"frobnicate"}, "Unknown command 'frobnicate'. Run 'velmora-cli --help'.\n"}};
    for (const auto& [args, message] : cases) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 1) << message;
        EXPECT_EQ(r.err, message);
        EXPECT_TRUE(r.out.empty()) << message;
    }
    EXPECT_FALSE(fs::exists(out));
    const CliRun big = Cli({"new", dir.File("big.vmr"), "--iterations", "2000000000"});
    EXPECT_EQ(big.code, 1);
    EXPECT_NE(big.err.find("1073741822"), std::string::npos) << big.err;
}

TEST(Cli, HelpForEveryCommand) {
    for (const std::string cmd : {"render", "info", "resave", "new", "palette", "anim"}) {
        const CliRun r = Cli({cmd, "--help"});
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find("velmora-cli " + cmd), std::string::npos) << r.out;
        EXPECT_NE(Cli({"--help"}).out.find("  " + cmd), std::string::npos) << cmd;
    }
}

TEST(Cli, PaletteConvertsAMapToAnRgbFileAndRefusedFilesWriteNothing) {
    TempDir dir;
    std::string map;
    for (int i = 0; i < 256; ++i) map += std::to_string(i) + " " + std::to_string(255 - i) + " 7  comment\n";
    WriteBytes(dir.File("ramp.MAP"), std::vector<std::uint8_t>(map.begin(), map.end()));
    ASSERT_EQ(Cli({"palette", dir.File("ramp.MAP"), "-o", dir.File("out.rgb")}).code, 0);
    const auto b = ReadBytes(dir.File("out.rgb"));
    ASSERT_EQ(b.size(), 12u + 1024u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 12), "RGBQUAD[255]");
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 12 + 4 * 200, b.begin() + 12 + 4 * 201),
              (std::vector<std::uint8_t>{7, 55, 200, 0}));  // blue, green, red, reserved

    WriteBytes(dir.File("few.map"), {'1', ' ', '2', ' ', '3', '\n'});
    const CliRun r = Cli({"palette", dir.File("few.map"), "-o", dir.File("no.rgb")});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_FALSE(fs::exists(dir.File("no.rgb")));
    EXPECT_EQ(Cli({"palette", dir.File("few.map")}).code, 1);
}

class CliAnim : public ::testing::Test {
protected:
    void SetUp() override {
        test::FakeHost host;
        CVelmoraDoc doc(host);
        test::Prepare(doc, keys);
        doc.m_animWidth = 9;
        doc.m_animHeight = 6;
        doc.m_tweenStyle = TweenStyle::SlowAtKeyframes;
        fs::create_directory(dir.File("stored"));
        doc.m_destFolder = dir.File("stored") + "/";
        doc.m_playbackStyle = PlaybackStyle::PingPong | PlaybackStyle::Looping;
        ASSERT_TRUE(doc.OnSaveDocument(file));
    }

    // The frame files in a folder, by name.
    static std::map<std::string, std::vector<std::uint8_t>> Frames(const std::string& folder) {
        std::map<std::string, std::vector<std::uint8_t>> out;
        for (const auto& e : fs::directory_iterator(folder))
            if (e.path().extension() == ".bmp") out[e.path().filename().string()] = ReadBytes(e.path().string());
        return out;
    }

    // What the core's animation render writes for these settings.
    std::map<std::string, std::vector<std::uint8_t>> CoreFrames(const RenderSettings& s) {
        test::FakeHost host;
        CVelmoraDoc doc(host);
        test::Prepare(doc, keys);
        fs::create_directories(s.destFolder);
        EXPECT_TRUE(RenderAnimation(doc, s, nullptr).Completed());
        return Frames(s.destFolder);
    }

    const std::vector<Keyframe> keys = test::ThreeKeyframes(3, 2);
    TempDir dir;
    const std::string file = dir.File("anim.vmr");
    const std::string kDone = "Your animation has been successfully rendered.\n";
};

TEST_F(CliAnim, OptionsOverTheDocumentsStoredSettings) {
    const auto original = ReadBytes(file);
    const std::pair<std::vector<std::string>, RenderSettings> cases[] = {
        {{}, RenderSettings{1, 5, TweenStyle::SlowAtKeyframes, dir.File("stored"), 9, 6}},  // used without a question
        {{"--style", "constant", "--size", "11x7", "--folder", dir.File("new")},
         RenderSettings{1, 5, TweenStyle::ConstantSpeed, dir.File("new"), 11, 7}},
        {{"--from", "3", "--to", "4", "--style", "slow", "--folder", dir.File("part")},
         RenderSettings{3, 4, TweenStyle::SlowAtKeyframes, dir.File("part"), 9, 6}}};
    int n = 0;
    for (const auto& [options, settings] : cases) {
        std::vector<std::string> args = {"anim", file};
        args.insert(args.end(), options.begin(), options.end());
        const CliRun r = Cli(args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(std::pair(r.out, r.err), std::pair(kDone, std::string()));
        RenderSettings core = settings;
        core.destFolder = dir.File("core" + std::to_string(++n)) + "/";
        EXPECT_EQ(Frames(settings.destFolder), CoreFrames(core)) << settings.destFolder;
        const auto script = ReadBytes(settings.destFolder + "/script.aas");
        EXPECT_EQ(std::string(script.begin(), script.end()),
                  ScriptText(settings.destFolder + "/", PlaybackStyle::PingPong | PlaybackStyle::Looping, 5));
    }
    EXPECT_EQ(ReadBytes(file), original);  // the document file is not changed
}

TEST_F(CliAnim, FailuresGiveTheMessageOnStderrAndExitOne) {
    test::FakeHost host;
    CVelmoraDoc one(host);
    test::Prepare(one, {keys[0]});
    ASSERT_TRUE(one.OnSaveDocument(dir.File("one.vmr")));
    WriteBytes(dir.File("bad.vmr"), {'V', 'M', 'R'});
    fs::create_directories(dir.File("frames") + "/frame2.bmp");
    fs::create_directories(dir.File("noscript") + "/script.aas");
    const std::string f = dir.File("f");
    const std::pair<std::vector<std::string>, std::string> cases[] = {  // the fields reach the dialog's checks
        {{"anim", file, "--folder", f, "--size", "0x4"}, "Width must be at least 1 pixel\n"},
        {{"anim", file, "--folder", f, "--size", "4x0"}, "Height must be at least 1 pixel\n"},
        {{"anim", file, "--folder", f, "--from", "0"}, "Starting frame must be at least 1.\n"},
        {{"anim", file, "--folder", f, "--to", "6"}, "You have entered an ending frame number which does not "
                                                     "exist.\nIn this animation, the highest frame number is 5.\n"},
        {{"anim", file, "--folder", dir.File("no/such")}, "Could not create directory.\n"},
        {{"anim", dir.File("one.vmr")}, "There must be at least 2 keyframes in order to render.\nSee Help for details.\n"},
        {{"anim", dir.File("bad.vmr")}, "Unexpected file format.\n"},
        {{"anim", file, "--folder", dir.File("frames")}, "Could not save frame 2.\nRender operation aborted.\n"},
        {{"anim", file, "--folder", dir.File("noscript")},
         "Could not create the script file.\nYou will not be able to play the animation.\n"},
        {{"anim"}, "anim: give the document to render.\n"},
        {{"anim", file, file}, "anim: only one document may be given.\n"},
        {{"anim", file, "--style", "fast"}, "Invalid --style 'fast': expected slow or constant.\n"},
        {{"anim", file, "--from", "two"}, "Invalid --from 'two': expected a whole number.\n"},
        {{"anim", file, "--to"}, "Option --to needs a value.\n"},
        {{"anim", file, "--size", "12"}, "Invalid --size '12': expected WIDTHxHEIGHT.\n"},
        {{"anim", file, "--frobnicate"}, "Unknown option '--frobnicate'.\n"}};
    for (const auto& [args, message] : cases) {
        const CliRun r = Cli(args);
        EXPECT_EQ(std::pair(r.code, r.err), std::pair(1, message));
        EXPECT_TRUE(r.out.empty()) << message;
    }
    EXPECT_FALSE(fs::exists(f));  // nothing was made
}

TEST_F(CliAnim, ProgressGoesToStderrOnATerminalAndMessagesStartALine) {
    fs::create_directories(dir.File("p") + "/frame3.bmp");
    CliRun r = Cli({"anim", file, "--folder", dir.File("p"), "--to", "2"}, true);
    EXPECT_EQ(std::pair(r.code, r.out), std::pair(0, kDone));
    EXPECT_NE(r.err.find("\rCalculating frame 1"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\rRendering frame 2 "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\rSaving frame 2     "), std::string::npos) << r.err;  // the percentage is cleared
    EXPECT_EQ(r.err.back(), '\n');
    r = Cli({"anim", file, "--folder", dir.File("p")}, true);
    EXPECT_EQ(r.code, 1);
    const std::string text = "\nCould not save frame 3.\nRender operation aborted.\n";
    ASSERT_GT(r.err.size(), text.size());
    EXPECT_EQ(r.err.substr(r.err.size() - text.size()), text);
}

}  // namespace
