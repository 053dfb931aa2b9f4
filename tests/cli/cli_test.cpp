// velmora-cli driven in process through the same entry point as main(): option
// parsing, exit codes, messages and the files written. What the files hold is
// checked against the core that makes them, whose own rules are tested in core.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <span>
#include <limits>
#include <map>

#include "AnimTestSupport.h"
#include "CliRun.h"
#include "FakeHost.h"
#include "JsonText.h"
#include "anim/AnimMessages.h"
#include "location/ExactLocationValues.h"

using namespace velmora;
using namespace std::string_literals;
using velmora::test::readBytes;
using velmora::test::writeBytes;

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

using test::cli;
using test::CliRun;

class CliCommand : public ::testing::Test {
protected:
    test::TempDir dir;
};

// JSON strings: controls escaped, UTF-8 kept, every byte that begins no UTF-8
// character (a folder named in another encoding) one U+FFFD.
TEST(JsonText, StringsAreValidJsonWhateverTheBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\"b\\\n\x01", R"("a\"b\\\n\u0001")"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
        {"\xFF\x80", R"("\ufffd\ufffd")"},
        {"\xE2\x82", R"("\ufffd\ufffd")"},          // cut short
        {"\xC0\xAF", R"("\ufffd\ufffd")"},          // overlong
        {"\xED\xA0\x80", R"("\ufffd\ufffd\ufffd")"},  // a surrogate
        {"\xF4\x90\x80\x80", R"("\ufffd\ufffd\ufffd\ufffd")"}};  // past U+10FFFF
    for (const auto& [in, want] : cases) EXPECT_EQ(velmora::json::string(in), want);
}

TEST_F(CliCommand, RenderWritesTheOverriddenPicture) {
    ASSERT_EQ(cli({"render", "-o", dir.file("j.bmp"), "--size", "37x21", "--region", "1.5,1,-1.5,-1", "--iterations",
                   "300", "--type", "julia", "--julia", "-0.8,+0.156"}).code, 0);
    const auto bytes = readBytes(dir.file("j.bmp"));
    ASSERT_EQ(bytes.size(), 1078u + 40u * 21u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 1078, bytes.end()),
              test::referenceImage({1.5, 1, -1.5, -1, 2, -0.8, 0.156, 300, 37, 21}));
}

// The format follows the extension; a PNG gives its document back to info and render.
TEST_F(CliCommand, PngOutAndBackIn) {
    ASSERT_EQ(cli({"new", dir.file("a.vmr"), "--size", "41x23", "--iterations", "77"}).code, 0);
    ASSERT_EQ(cli({"render", dir.file("a.vmr"), "-o", dir.file("a.bmp")}).code, 0);
    EXPECT_NE(cli({"render", dir.file("a.vmr"), "-o", dir.file("a.PNG")}, true).err.find("Rendering: 100%"),
              std::string::npos);
    EXPECT_EQ(cli({"info", dir.file("a.PNG")}).out, cli({"info", dir.file("a.vmr")}).out);
    ASSERT_EQ(cli({"render", dir.file("a.PNG"), "-o", dir.file("b.bmp")}).code, 0);
    EXPECT_EQ(readBytes(dir.file("b.bmp")), readBytes(dir.file("a.bmp")));
    EXPECT_NE(cli({"info", dir.file("a.bmp.png")}).err.find("was not found"), std::string::npos);
}

// --verify reports on stdout, for the picture written: BMP (the engine's
// buffer) or PNG (the bands, at N times the size); a right picture exits 0.
TEST_F(CliCommand, VerifyCountsPixelsThatDifferFromTheMpfrLoop) {
    const Args deep = {"--size", "24x18", "--iterations", "500", "--region",
                       "-0.7436438870371587,0.13182590420531,-0.7436438870371586,0.13182590420532"};
    for (const char* out : {"v.bmp", "v.png"}) {
        SCOPED_TRACE(out);
        Args args = {"render", "-o", dir.file(out), "--verify", "40"};
        args.insert(args.end(), deep.begin(), deep.end());
        if (std::string(out) == "v.png") args.insert(args.end(), {"--supersample", "2"});
        const CliRun r = cli(args);
        EXPECT_EQ(std::tuple(r.code, r.err), std::tuple(0, ""));
        EXPECT_EQ(r.out, "verify: 0 of 40 pixels differ from the arbitrary-precision loop\n");
    }
}

TEST_F(CliCommand, NewInfoResaveAndPalette) {
    ASSERT_EQ(cli({"new", dir.file("a.vmr"), "--iterations", "51", "--type", "julia"}).code, 0);
    const std::string info = cli({"info", dir.file("a.vmr")}).out;
    for (const char* field : {"{\"left\":-2,", "\"cReal\":0.3,", "\"type\":2,", "\"iterations\":51,",
                              "\"palette\":\"000000000005ff00", "\"totalFrames\":0,\"keyframes\":[]}"})
        EXPECT_NE(info.find(field), std::string::npos) << field << " in " << info;
    auto bytes = readBytes(dir.file("a.vmr"));
    bytes.push_back(42);  // bytes after the terminator are not kept
    writeBytes(dir.file("b.vmr"), bytes);
    ASSERT_EQ(cli({"resave", dir.file("b.vmr"), dir.file("c.vmr")}).code, 0);
    bytes.pop_back();
    EXPECT_EQ(readBytes(dir.file("c.vmr")), bytes);
}

// Keyframes, a palette and the animation settings from the command line, each
// edit saved in place under the frames window's rules, the rest kept.
TEST_F(CliCommand, KeyframesPaletteAndSettingsAreEditedInPlace) {
    const std::string doc = dir.file("k.vmr"), pal = VELMORA_TESTDATA_DIR "/palettes/blues.map";
    ASSERT_EQ(cli({"new", doc, "--anim-size", "64x48", "--playback", "pingpong+loop", "--palette", pal}).code, 0);
    const auto fresh = readBytes(doc);
    ASSERT_EQ(cli({"keyframe", "add", doc}).code + cli({"keyframe", "remove", doc, "0"}).code, 0);
    EXPECT_EQ(readBytes(doc), fresh) << "an edit undone leaves the same bytes";
    const struct { Args args; int code; std::string err; } steps[] = {
        {{"keyframe", "add", doc}, 0, ""},  // the only keyframe: no count yet
        {{"keyframe", "add", doc, "--center", "-0.75,0.1", "--width", "1e-30", "--transitions", "7"}, 0, ""},
        {{"keyframe", "add", doc, "--at", "1", "--iterations", "300"}, 0, ""},  // its own count, proposed 10
        {{"keyframe", "add", doc, "--type", "julia"}, 1, animtext::kTypeMismatch + "\n"s},
        {{"keyframe", "set", doc, "0", "--transitions", "0"}, 1, animtext::kCountTooSmall + ".\n"s},
        {{"keyframe", "remove", doc, "3"}, 1, "keyframe: '3' names no keyframe: give 0 to 2.\n"},
        {{"keyframe", "set", doc, "2", "--transitions", "4"}, 0, ""},
        {{"set", doc, "--style", "slow", "--folder", "/x/"}, 0, ""},
        {{"keyframe", "list", dir.file("k.png")}, 1, "keyframe: " + dir.file("k.png") + " is a PNG; only .vmr documents are changed in place.\n"}};
    for (const auto& step : steps) {
        const CliRun r = cli(step.args);
        EXPECT_EQ(std::pair(r.code, r.err), std::pair(step.code, step.err)) << step.args[0] << " " << step.args[1];
    }
    const std::string list = cli({"keyframe", "list", doc}).out, info = cli({"info", doc}).out;
    const auto at = [&](const std::string& text) { return list.find(text); };
    EXPECT_TRUE(at("\"transitions\":7") < at("\"iterations\":300,\"transitions\":10") &&
                at("\"iterations\":300,\"transitions\":10") < at("\"transitions\":4") && at("e-30") == std::string::npos)
        << list;
    const std::string palette = info.substr(info.find("\"palette\":"), 200);
    ASSERT_EQ(cli({"new", dir.file("d.vmr")}).code, 0);
    EXPECT_EQ(cli({"info", dir.file("d.vmr")}).out.find(palette), std::string::npos) << "not the default palette";
    for (const char* field : {"\"playbackStyle\":12,\"tweenStyle\":1,\"animWidth\":64,\"animHeight\":48,\"destFolder\":\"/x/\"",
                              "\"totalFrames\":17,", "{\"left\":-2,\"top\":-1.5,"})  // the active values stay
        EXPECT_NE(info.find(field), std::string::npos) << field << " in " << info;
    EXPECT_NE(list.find(palette), std::string::npos) << "a keyframe takes the active palette";
}

// info's JSON text makes the same document again, byte for byte, for random
// documents: any doubles (NaN as its one quiet form), deep exact values, any
// counts, palettes and settings; fields left out keep a new document's values.
TEST_F(CliCommand, InfoJsonMakesTheSameDocumentAgain) {
    std::mt19937_64 rng(7);
    const auto anyDouble = [&] {
        const double d = std::bit_cast<double>(rng());
        return std::isnan(d) ? std::numeric_limits<double>::quiet_NaN() : rng() % 4 ? d : 0.5;
    };
    const auto anyInt = [&] { return static_cast<std::int32_t>(rng()); };
    const auto deep = [&](auto& at) {  // a place 1e-40 wide somewhere in the plane
        const std::string re = "0." + std::to_string(rng()), im = "-0." + std::to_string(rng());
        assignExact(at, {re, im, re + "00000000000000000000000000000000000000001", im + "00000000000000000000000000000000000000001",
                         "0." + std::to_string(rng()) + "0000000000000000000001", "0.156"});
    };
    test::FakeHost host;
    for (int n = 0; n < 40; ++n) {
        DocumentContents c;
        std::tie(c.params.left, c.params.top, c.params.right, c.params.bottom, c.params.cReal, c.params.cImag) =
            std::tuple(anyDouble(), anyDouble(), anyDouble(), anyDouble(), anyDouble(), anyDouble());
        c.params.type = rng() % 2 ? FractalType::Julia : FractalType::Mandelbrot;
        std::tie(c.params.iterations, c.params.width, c.params.height) = std::tuple(anyInt() / 2, anyInt(), anyInt());
        if (n % 3 == 0) deep(c.params);
        for (std::uint8_t& b : std::span(c.palette.bytes(), Palette::kBytes)) b = static_cast<std::uint8_t>(rng());
        c.animation = {static_cast<TweenStyle>(rng() % 256), "/f" + std::to_string(rng()) + "/", anyInt(), anyInt(),
                       static_cast<PlaybackStyle>(rng() % 256)};
        // A colour block, whose numbers info must give back to the bit.
        if (n % 4 == 1) c.spread = {std::ldexp(double(rng() % 100000 + 1), -int(rng() % 40)), double(rng() % 25600) / 100};
        c.animation.smooth = n % 8 == 1;
        c.keyframes.resize(rng() % 4);
        for (Keyframe& k : c.keyframes) {
            std::tie(k.left, k.top, k.right, k.bottom, k.cReal, k.cImag) =
                std::tuple(anyDouble(), anyDouble(), anyDouble(), anyDouble(), anyDouble(), anyDouble());
            std::tie(k.type, k.iterations, k.transitions) = std::tuple(anyInt(), anyInt() / 2, anyInt());
            k.palette.bytes()[rng() % Palette::kBytes] = 9;
            if (rng() % 2) deep(k);
        }
        ASSERT_TRUE(saveDocumentContents(c, dir.file("a.vmr"), host)) << host.lastText();
        const CliRun info = cli({"info", dir.file("a.vmr")});
        writeBytes(dir.file("a.json"), std::vector<std::uint8_t>(info.out.begin(), info.out.end()));
        ASSERT_EQ(cli({"new", dir.file("b.vmr"), "--from-json", dir.file("a.json")}).code, 0) << info.out;
        EXPECT_EQ(readBytes(dir.file("b.vmr")), readBytes(dir.file("a.vmr"))) << info.out;
    }
    const struct { const char* json; const char* err; } refused[] = {
        {R"({"width": 1.5})", "The field \"width\" must be a whole number."},
        {R"({"keyframes": [{"transitions": 2147483648}]})", "The field \"transitions\" must be a whole number from -2147483648 to 2147483647."},
        {R"({"palette": "00"})", "The field \"palette\" must be 2048 hexadecimal digits."},
        {R"({"colourDensity": 0})", "The field \"colourDensity\" must be a finite number greater than 0."},
        {R"({"colourOffset": 256})", "The field \"colourOffset\" must be a number from 0 up to 256, 256 excluded."},
        {R"({"animSmooth": 1})", "The field \"animSmooth\" must be true or false."},
        {"[1]", "The text is not a JSON object."}};
    for (const auto& r : refused) {
        writeBytes(dir.file("r.json"), std::vector<std::uint8_t>(r.json, r.json + std::strlen(r.json)));
        EXPECT_EQ(cli({"new", dir.file("r.vmr"), "--from-json", dir.file("r.json")}).err,
                  dir.file("r.json") + ": " + r.err + "\n");
    }
}

// Decimal numbers of any length make a location past the doubles: info gives
// it back digit for digit and a PNG keeps it. The edges themselves are the core's.
TEST_F(CliCommand, CenterWidthAndLongNumbersKeepEveryDigit) {
    const std::string re = "-0.743643887037158704752191506114774246677514060542729328264";
    const std::string im = "0.131825904205311970493132056385139396519817796986506208645";
    const std::string juliaRe = "-0.80000000000000000000000000000000000001";
    ASSERT_EQ(cli({"new", dir.file("a.vmr"), "--center", re + "," + im, "--width", "1e-45", "--size", "640x480",
                   "--julia", juliaRe + ",0.156"}).code, 0);
    const std::string exact =
        "\"exact\":{\"left\":\"-0.743643887037158704752191506114774246677514061042729328264\","
        "\"top\":\"0.131825904205311970493132056385139396519817796611506208645\","
        "\"right\":\"-0.743643887037158704752191506114774246677514060042729328264\","
        "\"bottom\":\"0.131825904205311970493132056385139396519817797361506208645\","
        "\"cReal\":\"" + juliaRe + "\",\"cImag\":\"0.156\"}";
    const std::string info = cli({"info", dir.file("a.vmr")}).out;
    EXPECT_NE(info.find(exact), std::string::npos) << info;
    EXPECT_NE(info.find("\"left\":-0.7436438870371587,"), std::string::npos) << info;
    ASSERT_EQ(cli({"render", dir.file("a.vmr"), "-o", dir.file("a.png"), "--size", "4x3", "--iterations", "5"}).code,
              0);
    EXPECT_NE(cli({"info", dir.file("a.png")}).out.find(exact), std::string::npos);

    // A damaged block: a warning, the doubles, and a resave that keeps its bytes.
    std::vector<std::uint8_t> bytes = readBytes(dir.file("a.vmr"));
    bytes.back() ^= 1;  // the last digit of the Julia constant's imaginary part
    writeBytes(dir.file("d.vmr"), bytes);
    const CliRun damaged = cli({"info", dir.file("d.vmr")});
    EXPECT_EQ(std::tuple(damaged.code, damaged.out.find(exact), damaged.err.rfind("The exact values stored in ", 0)),
              std::tuple(0, std::string::npos, 0u)) << damaged.err;
    ASSERT_EQ(cli({"resave", dir.file("d.vmr"), dir.file("e.vmr")}).code, 0);
    EXPECT_EQ(readBytes(dir.file("e.vmr")), bytes);
    ASSERT_EQ(cli({"render", dir.file("d.vmr"), "-o", dir.file("d.png"), "--size", "4x3"}).code, 0);  // a PNG keeps it too
    EXPECT_NE(cli({"info", dir.file("d.png")}).err.find("d.png are damaged"), std::string::npos);
}

class CliAnim : public CliCommand {
protected:
    void SetUp() override {
        Document doc(host);
        test::prepare(doc, keys);
        fs::create_directory(dir.file("stored"));
        doc.setAnimation({TweenStyle::SlowAtKeyframes, dir.file("stored") + "/", 9, 6,
                          PlaybackStyle::PingPong | PlaybackStyle::Looping});
        ASSERT_TRUE(doc.onSaveDocument(file));
    }
    // The frame files in a folder, by name; first rendered there by the core when asked.
    std::map<std::string, std::string> Frames(const RenderSettings& s, bool renderByTheCore) {
        Document doc(host);
        test::prepare(doc, keys);
        const bool rendered =
            !renderByTheCore || (fs::create_directories(s.destFolder) && test::renderWithSettings(doc, s, nullptr).completed());
        EXPECT_TRUE(rendered);
        return test::frameFiles(s.destFolder);
    }
    test::FakeHost host;
    const std::vector<Keyframe> keys = test::threeKeyframes(3, 2);
    const std::string file = dir.file("anim.vmr");
    const std::string done = "Your animation has been successfully rendered.\n";
};

TEST_F(CliAnim, OptionsOverTheDocumentsStoredSettings) {
    const auto original = readBytes(file);
    const std::pair<Args, RenderSettings> cases[] = {
        {{}, {1, 5, TweenStyle::SlowAtKeyframes, dir.file("stored"), 9, 6}},  // an existing folder: no question
        {{"--from", "3", "--to", "4", "--style", "constant", "--size", "11x7", "--folder", dir.file("new")},
         {3, 4, TweenStyle::ConstantSpeed, dir.file("new"), 11, 7}}};
    for (const auto& [options, settings] : cases) {
        Args args = {"anim", file};
        args.insert(args.end(), options.begin(), options.end());
        const CliRun r = cli(args);
        EXPECT_EQ(std::tuple(r.code, r.out, r.err), std::tuple(0, done, ""));
        RenderSettings core = settings;
        core.destFolder += "-core/";
        EXPECT_EQ(Frames(settings, false), Frames(core, true)) << settings.destFolder;  // the script is the core's
    }
    EXPECT_EQ(readBytes(file), original);  // the document file is not changed
}

// Each case fails with exactly this message on stderr, nothing on stdout, and exit code 1.
TEST_F(CliAnim, FailuresGiveTheMessageOnStderrAndExitOne) {
    Document one(host);
    test::prepare(one, {keys[0]});
    ASSERT_TRUE(one.onSaveDocument(dir.file("one.vmr")));
    writeBytes(dir.file("bad.vmr"), {'X', 'M', 'R', '1', '0'});
    writeBytes(dir.file("few.map"), {'1', ' ', '2', ' ', '3', '\n'});
    fs::create_directories(dir.file("noscript") + "/script.aas");
    const std::string out = dir.file("f");
    const std::pair<Args, std::string> cases[] = {
        {{"render", "-o", dir.file("no/x.bmp")}, dir.file("no/x.bmp") + " was not found.\n"},
        {{"render"}, "render: no output file given (-o OUT.bmp).\n"},
        {{"render", "-o"}, "Option -o needs a value.\n"},
        {{"render", "-o", out, "--size", "0x5"}, "Invalid --size '0x5': expected WIDTHxHEIGHT with both at least 1.\n"},
        {{"render", "-o", out, "--iterations", "2147483648"},
         "Invalid --iterations '2147483648': expected a whole number from -2147483648 to 2147483647.\n"},
        {{"render", "-o", out, "--julia", "1.5.2,+"},
         "Invalid --julia '1.5.2,+': expected two finite numbers REAL,IMAGINARY.\n"},
        {{"palette", dir.file("few.map"), "-o", out}, "Conversion failed - this is not a valid FractInt .MAP file.\n"},
        {{"frobnicate"}, "Unknown command 'frobnicate'. Run 'velmora-cli --help'.\n"},
        {{"anim", file, "--folder", dir.file("no/such")}, "Could not create directory.\n"},
        {{"anim", dir.file("one.vmr")}, animtext::kTooFewKeyframes + "\n"s},
        {{"anim", file, "--folder", dir.file("noscript")}, animtext::kScriptFailed + "\n"s},
        {{"anim"}, "anim: give the document to render.\n"},
        {{"anim", file, file}, "anim: only one document may be given.\n"},
        {{"anim", file, "--style", "fast"}, "Invalid --style 'fast': expected slow or constant.\n"},
        {{"anim", file, "--from", "two"}, "Invalid --from 'two': expected a whole number.\n"},
        {{"anim", file, "--size", "12"}, "Invalid --size '12': expected WIDTHxHEIGHT.\n"},
        {{"anim", file, "--frobnicate"}, "Unknown option '--frobnicate'.\n"},
        {{"info", dir.file("bad.vmr")}, "Unexpected file format.\n"}};
    for (const auto& [args, message] : cases) {
        const CliRun r = cli(args);
        EXPECT_EQ(std::tuple(r.code, r.err, r.out), std::tuple(1, message, "")) << args.back();
    }
    EXPECT_FALSE(fs::exists(out));  // nothing was made
}

TEST_F(CliAnim, ProgressGoesToStderrOnATerminalAndMessagesStartALine) {
    fs::create_directories(dir.file("p") + "/frame3.bmp");
    CliRun r = cli({"anim", file, "--folder", dir.file("p"), "--to", "2"}, true);
    EXPECT_EQ(std::tuple(r.code, r.out, r.err.back()), std::tuple(0, done, '\n'));
    for (const char* shown : {"\rCalculating frame 1 of 2     ", "\rRendering frame 2 of 2   0%", "\rSaving frame 2 of 2     "})
        EXPECT_NE(r.err.find(shown), std::string::npos) << shown << " in " << r.err;
    r = cli({"anim", file, "--folder", dir.file("p")}, true);
    const std::string text = "     \nCould not save frame 3.\nRender operation aborted.\n";
    EXPECT_EQ(std::pair(r.code, r.err.substr(r.err.size() - std::min(r.err.size(), text.size()))), std::pair(1, text));
}

}  // namespace
