#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <sys/wait.h>
#include <filesystem>

#include "AnimTestSupport.h"
#include "CliRun.h"
#include "FakeHost.h"
#include "TempDir.h"
#include "anim/AnimMessages.h"

using namespace velmora;
using velmora::test::TempDir;

namespace {

struct Refusal {
    const char* name;
    std::vector<std::string> args;  // "@x" names the file x in the test's folder
    std::string err;                // the whole of stderr
};

std::string inDir(const TempDir& dir, const std::string& s) {
    const auto at = s.find('@');
    return at == std::string::npos ? s : s.substr(0, at) + dir.file(s.substr(at + 1));
}

// A document of three keyframes, the first with this transition count.
void saveAnimation(const std::string& path, std::int32_t transitions) {
    test::FakeHost host;  // saving shows nothing
    Document doc(host);
    test::prepare(doc, test::threeKeyframes(transitions));
    doc.editAnimation([&](AnimationSettings& a) { a.width = a.height = 4; });
    ASSERT_TRUE(doc.onSaveDocument(path));
}

class CliRefusals : public ::testing::TestWithParam<Refusal> {};

// Refused at once with exit code 1, and nothing is written or created.
TEST_P(CliRefusals, RefusedBeforeAnyWork) {
    TempDir dir;
    saveAnimation(dir.file("huge.vmr"), INT32_MAX);
    saveAnimation(dir.file("small.vmr"), 2);
    std::vector<std::string> args;
    for (const auto& a : GetParam().args) args.push_back(inDir(dir, a));
    const auto start = std::chrono::steady_clock::now();
    const test::CliRun r = test::cli(args);
    // Rendering any of these pictures would take far longer than this.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(std::tuple(r.code, r.err, r.out), std::tuple(1, GetParam().err, ""));
    using Entries = std::filesystem::directory_iterator;
    EXPECT_EQ(std::distance(Entries(dir.path()), Entries()), 2) << "only the two documents";
}

const std::string kRegion = "': expected four finite numbers LEFT,TOP,RIGHT,BOTTOM.\n";
const std::string kJulia = "': expected two finite numbers REAL,IMAGINARY.\n";
const std::string kIterations = "': expected a whole number from -2147483648 to 2147483647.\n";
const std::string kTooLarge = "The picture is too large for a BMP file.\n";
const std::string kEnd = "\n";
const std::string kWidth = "': expected a finite number greater than 0.\n";
const std::string kSupersample = "': expected a whole number from 1 to 8.\n";
const std::string kOffset = "': expected a number from 0 up to 256, 256 excluded.\n";

const std::string kFps = "': expected a whole number from 1 to 120.\n";
const std::string kFrames = "': expected FIRST-LAST, two whole numbers.\n";

using R = Refusal;
INSTANTIATE_TEST_SUITE_P(
    rows, CliRefusals,
    ::testing::Values(
        R{"SizeBeyondBmp", {"render", "-o", "@o", "--size", "65536x65536"}, kTooLarge},
        // 1078 + 4 x 1073741555 bytes is one row more than a 32-bit size can state.
        R{"OneRowBeyondBmp", {"render", "-o", "@o", "--size", "4x1073741555"}, kTooLarge},
        R{"DocumentBeyondBmp", {"render", "@huge.vmr", "-o", "@o", "--size", "70000x70000"}, kTooLarge},
        R{"NanRegion", {"render", "-o", "@o", "--region", "nan,0,1,1"}, "Invalid --region 'nan,0,1,1" + kRegion},
        R{"InfRegion", {"new", "@n", "--region", "0,-inf,1,1"}, "Invalid --region '0,-inf,1,1" + kRegion},
        R{"OverflowRegion", {"new", "@n", "--region", "0,0,1e999,1"}, "Invalid --region '0,0,1e999,1" + kRegion},
        R{"LongRegionNotANumber", {"new", "@n", "--region", "0,0,1,0.1234567890123456789012x"},
          "Invalid --region '0,0,1,0.1234567890123456789012x" + kRegion},
        R{"CenterNotANumber", {"new", "@n", "--center", "0.5,i", "--width", "1"},
          "Invalid --center '0.5,i': expected two finite numbers RE,IM.\n"},
        R{"WidthZero", {"new", "@n", "--center", "0,0", "--width", "0e-50"}, "Invalid --width '0e-50" + kWidth},
        R{"WidthNegative", {"render", "-o", "@o", "--center", "0,0", "--width", "-1e-40"},
          "Invalid --width '-1e-40" + kWidth},
        R{"CenterAlone", {"new", "@n", "--center", "0,0"}, "Options --center and --width go together: give both.\n"},
        R{"CenterAndRegion", {"new", "@n", "--region", "0,0,1,1", "--center", "0,0", "--width", "1"},
          "Options --center and --width replace --region: give one or the other.\n"},
        R{"CenterBeyondDoubles", {"new", "@n", "--center", "1.7e308,0", "--width", "1e308"},
          "The region of --center 1.7e308,0 --width 1e308 lies beyond the numbers Velmora can hold.\n"},
        R{"NanJulia", {"render", "-o", "@o", "--julia", "nan,inf"}, "Invalid --julia 'nan,inf" + kJulia},
        R{"PlusMinusJulia", {"new", "@n", "--julia", "+-0.5,0"}, "Invalid --julia '+-0.5,0" + kJulia},
        R{"PlusMinusIterations", {"new", "@n", "--iterations", "+-5"}, "Invalid --iterations '+-5" + kIterations},
        R{"PlusMinusFrame", {"anim", "@small.vmr", "--to", "+-1"}, "Invalid --to '+-1': expected a whole number.\n"},
        R{"SupersampleZero", {"render", "-o", "@o.png", "--supersample", "0"},
          "Invalid --supersample '0" + kSupersample},
        R{"SupersampleNine", {"render", "-o", "@o.png", "--supersample", "9"},
          "Invalid --supersample '9" + kSupersample},
        R{"SupersampleWord", {"render", "-o", "@o.png", "--supersample", "x"},
          "Invalid --supersample 'x" + kSupersample},
        R{"SupersampleToBmp", {"render", "-o", "@o", "--supersample", "2"},
          "render: --supersample needs a PNG output (-o OUT.png).\n"},
        R{"SmoothToBmp", {"render", "-o", "@o", "--smooth"}, "render: --smooth needs a PNG output (-o OUT.png).\n"},
        R{"SupersampleBeyondPng", {"render", "-o", "@o.png", "--size", "2000000000x1", "--supersample", "2"},
          "A PNG file cannot hold a picture of this size.\n"},
        R{"DensityZero", {"new", "@n", "--density", "0"}, "Invalid --density '0" + kWidth},
        R{"DensityInfinite", {"anim", "@small.vmr", "--density", "1e999"}, "Invalid --density '1e999" + kWidth},
        R{"OffsetNegative", {"render", "-o", "@o.png", "--offset", "-0.5"}, "Invalid --offset '-0.5" + kOffset},
        R{"OffsetAtTop", {"zoom", "@z.mp4", "--offset", "256"}, "Invalid --offset '256" + kOffset},
        R{"VerifyZero", {"render", "-o", "@o", "--verify", "0"},
          "Invalid --verify '0': expected a whole number from 1 to 2147483647.\n"},
        R{"EmptyOutput", {"render", "-o", ""}, "Option -o needs a file name, and it was given an empty one.\n"},
        R{"EmptyDocument", {"info", ""}, "An empty file name was given.\n"},
        R{"CommandNameAsFile", {"info", "new"}, "new was not found.\n"},
        R{"FramesBeyondBmp", {"anim", "@small.vmr", "--size", "65536x65536", "--folder", "@f"},
          "The frames are too large for BMP files.\n"},
        R{"AbsurdScript", {"anim", "@huge.vmr", "--to", "1", "--folder", "@f"}, tooManyFramesText(INT32_MAX) + "\n"},
        R{"VideoExtension", {"anim", "@small.vmr", "--video", "mp4"},
          "Cannot tell the video format of 'mp4': the name must end in .mp4, .webm or .mkv.\n"},
        R{"FpsZero", {"anim", "@small.vmr", "--fps", "0"}, "Invalid --fps '0" + kFps},
        R{"FpsAboveTop", {"anim", "@small.vmr", "--fps", "121"}, "Invalid --fps '121" + kFps},
        R{"QualityWord", {"anim", "@small.vmr", "--quality", "best"},
          "Invalid --quality 'best': expected high, medium or small.\n"},
        R{"NoFramesNoVideo", {"anim", "@small.vmr", "--no-frames"},
          "--no-frames needs --video: there would be nothing to write.\n"},
        R{"FramesOneNumber", {"anim", "@small.vmr", "--frames", "3"}, "Invalid --frames '3" + kFrames},
        R{"FramesWords", {"anim", "@small.vmr", "--frames", "a-b"}, "Invalid --frames 'a-b" + kFrames},
        R{"FramesBackwards", {"anim", "@small.vmr", "--frames", "3-2"}, animtext::kToBeforeFrom + kEnd},
        R{"VideoMissingValue", {"anim", "@small.vmr", "--video"}, "Option --video needs a value.\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Info describes a document whose picture could never be made, without trying to.
// A render whose memory cannot be had says so and writes nothing: the real
// program under a 1 GB address-space limit, 8 bytes a column beyond its reach.
TEST(CliRender, MemoryIsThePictureOrAStripAndWithoutItNothingIsWritten) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory needs more address space than the limit";
#endif
    TempDir dir;
    // Under 1 GB of address space: a 1.6 GB picture or a 2 GB PNG strip cannot be
    // had; a row of 10^8 pixels can, as a BMP (the picture) and as a PNG (a strip).
    const struct { const char* size; const char* file; int code; const char* err; } cases[] = {
        {"40000x40000", "w.bmp", 1, "Not enough memory for bitmap.\n"},
        {"100000000x1", "w.bmp", 0, ""},
        {"100000000x1", "w.png", 0, ""}, {"2000000000x1", "w.png", 1, "Not enough memory for bitmap.\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.size) + " " + c.file);
        const std::string out = dir.file(c.file), err = dir.file("err");
        const std::string command = "ulimit -v 1000000; exec '" VELMORA_CLI_PATH "' render -o '" + out + "' --size " +
                                    c.size + " --iterations 1 2>'" + err + "'";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.code) << status;
        EXPECT_EQ(std::pair(test::readText(err), std::filesystem::exists(out)), std::pair(std::string(c.err), c.code == 0));
        std::filesystem::remove(out);
    }
}

// A document whose picture has no pixels renders to no file, as BMP or PNG.
TEST(CliRender, APictureWithoutPixelsWritesNothing) {
    TempDir dir;
    test::FakeHost host;
    for (const auto& [w, h] : {std::pair{0, 0}, {-5, 7}, {7, 0}}) {
        DocumentContents c;
        std::tie(c.params.width, c.params.height) = std::tuple(w, h);
        ASSERT_TRUE(saveDocumentContents(c, dir.file("empty.vmr"), host));
        for (const char* out : {"empty.bmp", "empty.png"}) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " " + out);
            const test::CliRun r = test::cli({"render", dir.file("empty.vmr"), "-o", dir.file(out)});
            EXPECT_EQ(std::pair(r.code, r.err.find("cannot hold a picture of this size") != std::string::npos),
                      std::pair(1, true));
            EXPECT_FALSE(std::filesystem::exists(dir.file(out)));
        }
    }
}

TEST(CliInfo, APictureTooLargeToMakeIsDescribedAndResavedNotAllocated) {
    TempDir dir;
    ASSERT_EQ(test::cli({"new", dir.file("big.vmr"), "--size", "2147483647x2147483647"}).code, 0);
    const test::CliRun r = test::cli({"info", dir.file("big.vmr")});
    EXPECT_EQ(std::tuple(r.code, r.err), std::tuple(0, ""));
    EXPECT_NE(r.out.find("\"width\":2147483647,\"height\":2147483647,"), std::string::npos) << r.out;
    const test::CliRun again = test::cli({"resave", dir.file("big.vmr"), dir.file("again.vmr")});
    EXPECT_EQ(std::tuple(again.code, again.err, test::readBytes(dir.file("again.vmr")) == test::readBytes(dir.file("big.vmr"))),
              std::tuple(0, "", true));
}

// Finite values at the edges of what a double holds, and one plus sign, are taken as written.
TEST(CliInfo, FiniteExtremesAndOnePlusSignAreAccepted) {
    TempDir dir;
    const test::CliRun made = test::cli({"new", dir.file("e.vmr"), "--iterations", "+7", "--region",
                                         "+1e-999,-1.7976931348623157e308,+0,-0"});
    ASSERT_EQ(made.code, 0) << made.err;
    const test::CliRun r = test::cli({"info", dir.file("e.vmr")});
    ASSERT_EQ(r.code, 0);
    const std::string region = "\"left\":0,\"top\":-1.7976931348623157e+308,\"right\":0,\"bottom\":-0.0,";
    EXPECT_NE(r.out.find(region), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"iterations\":7,"), std::string::npos);
}

}  // namespace
