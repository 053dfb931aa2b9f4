// The playback script's writer refuses on its own what no script could list:
// the Script dialog writes without the render's checks.
#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "anim/PlaybackScript.h"

using namespace velmora;
using velmora::test::TempDir;

namespace {

namespace fs = std::filesystem;

struct ScriptRow {
    const char* name;
    std::string folder;  // inside the test's own folder
    std::int32_t total;
    bool written;
};

class ScriptRefusals : public ::testing::TestWithParam<ScriptRow> {};

TEST_P(ScriptRefusals, NoScriptIsWrittenThatCannotBePlayed) {
    const ScriptRow& row = GetParam();
    TempDir dir;
    const std::string folder = dir.file(row.folder) + "/";
    fs::create_directory(folder);
    EXPECT_EQ(writeScript(folder, PlaybackStyle::Forwards, row.total), row.written);
    EXPECT_EQ(fs::exists(scriptPath(folder)), row.written);
}

INSTANTIATE_TEST_SUITE_P(
    rows, ScriptRefusals,
    ::testing::Values(ScriptRow{"Plain", "frames", 15, true}, ScriptRow{"LineFeed", "a\nb", 15, false},
                      ScriptRow{"CarriageReturn", "a\rb", 15, false}, ScriptRow{"TrailingLineFeed", "f\n", 15, false},
                      ScriptRow{"OneBeyond", "frames", kMaxScriptFrames + 1, false},
                      ScriptRow{"LargestCount", "frames", INT32_MAX, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
