#include <gtest/gtest.h>

#include <sstream>

#include "CliCommands.h"
#include "CliOptions.h"
#include "EngineReference.h"
#include "JsonText.h"
#include "TempDir.h"
#include "model/LittleEndian.h"

using namespace velmora;
using velmora::test::ReadBytes;
using velmora::test::TempDir;
using velmora::test::WriteBytes;

namespace {

struct Run {
    int code;
    std::string out, err;
};

Run Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = cli::RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(Cli, RenderDefaultWrites91078Bytes) {
    TempDir dir;
    const auto r = Cli({"render", "-o", dir.File("out.bmp")});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto b = ReadBytes(dir.File("out.bmp"));
    ASSERT_EQ(b.size(), 91078u);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 1078, b.end()), test::ReferenceImage(test::RefParams{}));
}

TEST(Cli, RenderOverridesMatchTheReference) {
    TempDir dir;
    const auto r = Cli({"render", "-o", dir.File("j.bmp"), "--size", "37x21", "--region", "1.5,1,-1.5,-1",
                        "--iterations", "300", "--type", "julia", "--julia", "-0.8,0.156"});
    ASSERT_EQ(r.code, 0) << r.err;
    test::RefParams p;
    p.width = 37;
    p.height = 21;
    p.left = 1.5;
    p.top = 1;
    p.right = -1.5;
    p.bottom = -1;
    p.limit = 300;
    p.type = 2;
    p.kr = -0.8;
    p.ki = 0.156;
    const auto b = ReadBytes(dir.File("j.bmp"));
    ASSERT_EQ(b.size(), 1078u + 40u * 21u);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 1078, b.end()), test::ReferenceImage(p));
}

TEST(Cli, NewInfoAndResave) {
    TempDir dir;
    ASSERT_EQ(Cli({"new", dir.File("a.vmr"), "--iterations", "51", "--type", "julia"}).code, 0);
    const auto info = Cli({"info", dir.File("a.vmr")});
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find("\"left\":-2,"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"cReal\":0.3,"), std::string::npos);
    EXPECT_NE(info.out.find("\"type\":2,"), std::string::npos);
    EXPECT_NE(info.out.find("\"iterations\":51,"), std::string::npos);
    EXPECT_NE(info.out.find("\"palette\":\"000000000005ff00"), std::string::npos);
    EXPECT_NE(info.out.find("\"totalFrames\":0,\"keyframes\":[]}"), std::string::npos);
    auto bytes = ReadBytes(dir.File("a.vmr"));
    bytes.push_back(42);  // bytes after the terminator are not kept
    WriteBytes(dir.File("b.vmr"), bytes);
    ASSERT_EQ(Cli({"resave", dir.File("b.vmr"), dir.File("c.vmr")}).code, 0);
    bytes.pop_back();
    EXPECT_EQ(ReadBytes(dir.File("c.vmr")), bytes);
}

TEST(Cli, FailuresGiveTheMessageAndExitOne) {
    TempDir dir;
    WriteBytes(dir.File("bad.vmr"), {'X', 'M', 'R', '1', '0'});
    auto r = Cli({"info", dir.File("bad.vmr")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Unexpected file format.\n");
    EXPECT_TRUE(r.out.empty());
    r = Cli({"render", dir.File("bad.vmr"), "-o", dir.File("x.bmp")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Unexpected file format.\n");
    r = Cli({"render", "-o", dir.File("nofolder/x.bmp")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, dir.File("nofolder/x.bmp") + " was not found.\n");
    EXPECT_EQ(Cli({"render"}).code, 1);
    EXPECT_EQ(Cli({"render", "-o", "x.bmp", "--size", "0x5"}).code, 1);
    EXPECT_EQ(Cli({"render", "-o", "x.bmp", "--iterations", "2147483648"}).code, 1);
    EXPECT_EQ(Cli({"render", "-o", "x.bmp", "--region", "1,2,3"}).code, 1);
    EXPECT_EQ(Cli({"frobnicate"}).code, 1);
    r = Cli({"new", dir.File("big.vmr"), "--iterations", "2000000000"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("1073741822"), std::string::npos);
}

TEST(Cli, HelpForEveryCommand) {
    for (const char* cmd : {"render", "info", "resave", "new"}) {
        const auto r = Cli({cmd, "--help"});
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find(std::string("velmora-cli ") + cmd), std::string::npos);
    }
    EXPECT_EQ(Cli({"--help"}).code, 0);
}

TEST(Json, NumbersRoundTripAndSpecialValues) {
    EXPECT_EQ(json::Number(0.1), "0.1");
    EXPECT_EQ(json::Number(-2.0), "-2");
    EXPECT_EQ(json::Number(-0.0), "-0.0");
    EXPECT_EQ(json::Number(0.0), "0");
    EXPECT_EQ(json::Number(1e300), "1e+300");
    EXPECT_EQ(json::Number(std::numeric_limits<double>::quiet_NaN()), "\"nan\"");
    EXPECT_EQ(json::Number(-std::numeric_limits<double>::infinity()), "\"-inf\"");
    const double tricky = 0.1 + 0.2;
    EXPECT_EQ(std::stod(json::Number(tricky)), tricky);
    EXPECT_EQ(json::String("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
}

TEST(CliOptions, StrictNumbers) {
    std::int32_t i = 0;
    EXPECT_TRUE(cli::ParseInt32("+12", i));
    EXPECT_EQ(i, 12);
    EXPECT_FALSE(cli::ParseInt32("12x", i));
    EXPECT_FALSE(cli::ParseInt32("", i));
    EXPECT_FALSE(cli::ParseInt32("-2147483649", i));
    EXPECT_TRUE(cli::ParseInt32("-2147483648", i));
    double d = 0;
    EXPECT_TRUE(cli::ParseDouble("-0.7454", d));
    EXPECT_EQ(d, -0.7454);
    EXPECT_TRUE(cli::ParseDouble("1e-400", d));
    EXPECT_FALSE(cli::ParseDouble("1.5.2", d));
    EXPECT_FALSE(cli::ParseDouble("+", d));
}

}  // namespace

namespace {

TEST(CliPalette, ConvertsAMapToAnRgbFile) {
    TempDir dir;
    std::string map;
    for (int i = 0; i < 256; ++i)
        map += std::to_string(i) + " " + std::to_string(255 - i) + " 7  comment " + std::to_string(i % 10) + "\n";
    WriteBytes(dir.File("ramp.MAP"), std::vector<std::uint8_t>(map.begin(), map.end()));
    const auto r = Cli({"palette", dir.File("ramp.MAP"), "-o", dir.File("out.rgb")});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto b = ReadBytes(dir.File("out.rgb"));
    ASSERT_EQ(b.size(), 12u + 1024u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 12), "RGBQUAD[255]");
    for (int i = 0; i < 256; ++i) {
        const std::size_t at = 12 + 4 * static_cast<std::size_t>(i);
        ASSERT_EQ(b[at + 0], 7) << i;  // blue
        ASSERT_EQ(b[at + 1], 255 - i) << i;
        ASSERT_EQ(b[at + 2], i) << i;
        ASSERT_EQ(b[at + 3], 0) << i;
    }
}

TEST(CliPalette, RefusedFileWritesNothing) {
    TempDir dir;
    const std::string few = "1 2 3\n4 5 6\n";
    WriteBytes(dir.File("few.map"), std::vector<std::uint8_t>(few.begin(), few.end()));
    const auto r = Cli({"palette", dir.File("few.map"), "-o", dir.File("out.rgb")});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.rgb")));
    EXPECT_EQ(Cli({"palette", dir.File("few.map")}).code, 1);
    EXPECT_EQ(Cli({"palette", "--help"}).code, 0);
}

}  // namespace
