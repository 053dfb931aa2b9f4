#include <gtest/gtest.h>

#include <filesystem>

#include "FakeHost.h"
#include "TempDir.h"
#include "anim/AnimMessages.h"
#include "anim/PlaybackScript.h"
#include "anim/RenderSettingsCheck.h"

using namespace velmora;
using velmora::test::FakeHost;
using velmora::test::TempDir;

namespace {

namespace fs = std::filesystem;
const std::string kLineBreak = animtext::kFolderLineBreak;

struct AcceptRow {
    const char* name;
    std::string folder;  // inside the test's own folder
    std::int32_t total;
    std::string refusal;  // empty: accepted
};

class AnimRefusals : public ::testing::TestWithParam<AcceptRow> {};

// Refused before anything exists on disk: the folder is not even created.
TEST_P(AnimRefusals, RenderSettingsRefuseWhatNoScriptCanList) {
    const AcceptRow& row = GetParam();
    TempDir dir;
    FakeHost host;
    host.allowMessages = true;
    RenderSettings s;
    s.width = s.height = 8;
    s.to = 15;
    s.destFolder = dir.file(row.folder);
    const bool accepted = acceptRenderSettings(s, row.total, host, FolderQuestions::Proceed);
    EXPECT_EQ(accepted, row.refusal.empty());
    EXPECT_EQ(fs::exists(dir.file(row.folder)), accepted);
    if (row.refusal.empty()) return;
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, row.refusal);
    EXPECT_EQ(host.messages[0].ownerName, kRenderSettingsName);
}

INSTANTIATE_TEST_SUITE_P(
    rows, AnimRefusals,
    ::testing::Values(
        AcceptRow{"Plain", "frames", 15, ""}, AcceptRow{"LineFeed", "a\nb", 15, kLineBreak},
        AcceptRow{"CarriageReturn", "a\rb", 15, kLineBreak}, AcceptRow{"TrailingLineFeed", "f\n", 15, kLineBreak},
        AcceptRow{"AtTheBound", "f", kMaxScriptFrames, ""},
        AcceptRow{"OneBeyond", "frames", kMaxScriptFrames + 1, tooManyFramesText(kMaxScriptFrames + 1)},
        AcceptRow{"LargestCount", "frames", INT32_MAX,
                  "This animation has 2147483647 frames, more than the 500000 a playback script may list.\n"
                  "Lower the transition counts of its keyframes."}),
    [](const auto& info) { return std::string(info.param.name); });

// The Script dialog writes without the render's checks: the writer refuses on its own.
TEST_P(AnimRefusals, NoScriptIsWrittenThatCannotBePlayed) {
    const AcceptRow& row = GetParam();
    if (row.total > 100 && row.refusal.empty()) GTEST_SKIP() << "a script of a million frames is not worth writing";
    TempDir dir;
    const std::string folder = dir.file(row.folder) + "/";
    fs::create_directory(folder);
    EXPECT_EQ(writeScript(folder, PlaybackStyle::Forwards, row.total), row.refusal.empty());
    EXPECT_EQ(fs::exists(scriptPath(folder)), row.refusal.empty());
}

}  // namespace
