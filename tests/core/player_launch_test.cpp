// Finding the player program: own folder first, then PATH; the failure text.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "TempDir.h"
#include "platform/PlayerLaunch.h"

namespace velmora {
namespace {

std::string In(const std::string& folder) { return (std::filesystem::path(folder) / PlayerProgramName()).string(); }

// An executable check that answers from a set and records what it was asked.
struct FakeDisk {
    std::set<std::string> executables;
    std::vector<std::string> asked;
    ExecutableCheck Check() {
        return [this](const std::string& path) {
            asked.push_back(path);
            return executables.count(path) != 0;
        };
    }
};

TEST(PlayerLaunch, ProgramNameAndErrorText) {
#ifdef _WIN32
    EXPECT_STREQ(PlayerProgramName(), "ZEDoz.exe");
    EXPECT_EQ(PlayerLoadErrorText(), "Error loading ZEDoz.exe.\n You should reinstall Velmora.");
#else
    EXPECT_STREQ(PlayerProgramName(), "ZEDoz");
    EXPECT_EQ(PlayerLoadErrorText(), "Error loading ZEDoz.\n You should reinstall Velmora.");
#endif
}

TEST(PlayerLaunch, OwnFolderComesBeforePath) {
    FakeDisk disk;
    disk.executables = {In("/opt/velmora/bin"), In("/usr/bin")};
    EXPECT_EQ(FindPlayerProgram("/opt/velmora/bin", "/usr/local/bin:/usr/bin", disk.Check()), In("/opt/velmora/bin"));
    EXPECT_EQ(disk.asked, (std::vector<std::string>{In("/opt/velmora/bin")}));
}

TEST(PlayerLaunch, PathIsSearchedInOrderWhenTheOwnFolderHasNone) {
    FakeDisk disk;
    disk.executables = {In("/usr/bin"), In("/bin")};
    EXPECT_EQ(FindPlayerProgram("/opt/velmora/bin", "/usr/local/bin:/usr/bin:/bin", disk.Check()), In("/usr/bin"));
    EXPECT_EQ(disk.asked, (std::vector<std::string>{In("/opt/velmora/bin"), In("/usr/local/bin"), In("/usr/bin")}));
}

TEST(PlayerLaunch, NotFoundAnywhere) {
    FakeDisk disk;
    EXPECT_FALSE(FindPlayerProgram("/opt/velmora/bin", "/usr/bin", disk.Check()).has_value());
    EXPECT_EQ(disk.asked.size(), 2u);
    EXPECT_FALSE(FindPlayerProgram("", "", disk.Check()).has_value());
}

TEST(PlayerLaunch, EmptyRelativeAndRepeatedFoldersAreNotSearched) {
    // An empty or relative entry would search the working directory, which is
    // the frames folder when Velmora starts the player.
    EXPECT_EQ(PlayerSearchFolders("/opt/v", ":/usr/bin::bin:./x:/usr/bin:/opt/v:"),
              (std::vector<std::string>{"/opt/v", "/usr/bin"}));
    EXPECT_EQ(PlayerSearchFolders("relative/own", "/bin"), (std::vector<std::string>{"/bin"}));
    FakeDisk disk;
    disk.executables = {In("bin"), In(".")};
    EXPECT_FALSE(FindPlayerProgram("", ":bin:.", disk.Check()).has_value());
    EXPECT_TRUE(disk.asked.empty());
}

TEST(PlayerLaunch, RealCheckWantsAnExecutableRegularFile) {
    test::TempDir dir;
    const std::string program = In(dir.Path().string());
    EXPECT_FALSE(IsExecutableFile(program));
    test::WriteBytes(program, {'#', '!'});
    EXPECT_FALSE(IsExecutableFile(program));  // not executable yet
    ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
    EXPECT_TRUE(IsExecutableFile(program));
    EXPECT_FALSE(IsExecutableFile(dir.Path().string()));  // a folder is no program
    EXPECT_EQ(FindPlayerProgram(dir.Path().string(), "/nonexistent"), program);
    EXPECT_EQ(FindPlayerProgram("/nonexistent", "/usr/bin:" + dir.Path().string()), program);
}

}  // namespace
}  // namespace velmora
