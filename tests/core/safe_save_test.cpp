// Saving leaves either the old file or the complete new one, whatever goes
// wrong, and never leaves a temporary file behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "FakeHost.h"
#include "TempDir.h"
#include "model/VelmoraDoc.h"
#include "palette/DefaultPalette.h"
#include "palette/PaletteFiles.h"
#include "platform/FileIO.h"

using namespace velmora;
using velmora::test::FakeHost;
using velmora::test::ReadBytes;
using velmora::test::TempDir;
using velmora::test::WriteBytes;
namespace fs = std::filesystem;

namespace {

const std::vector<std::uint8_t> kOld(100, 'o');
const std::vector<std::uint8_t> kNew(5000, 'n');

enum class Limit { None, FileSize, NoFiles };

int Leftovers(const fs::path& dir) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir)) n += e.path().string().ends_with("saving~");
    return n;
}

// Runs the body in a child process, so the limits it sets stay there.
int InChild(Limit limit, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (limit == Limit::FileSize) {
            std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
            const rlimit r{1000, 1000};
            ::setrlimit(RLIMIT_FSIZE, &r);
        } else if (limit == Limit::NoFiles) {
            const int lowestFree = ::dup(0);  // every lower descriptor is in use
            ::close(lowestFree);
            const rlimit r{static_cast<rlim_t>(lowestFree), static_cast<rlim_t>(lowestFree)};
            ::setrlimit(RLIMIT_NOFILE, &r);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct SaveCase {
    const char* name;
    std::function<bool(const TempDir&)> setup;  // false: the system cannot make this case here
    const char* target;
    Limit limit;
    WriteResult result;
    int error;            // errno expected in the cause, 0 for none
    const char* holder;   // the file that must end holding kNew (or kOld after a failure)
    mode_t mode;          // expected permission bits of the holder, 0 to skip
    mode_t type;          // what `target` itself must still be (S_IFREG, S_IFLNK, ...; 0 absent)
};

bool Old(const TempDir& d, const char* name, mode_t mode = 0644) {
    WriteBytes(d.File(name), kOld);
    return ::chmod(d.File(name).c_str(), mode) == 0;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

const SaveCase kSaveCases[] = {
    {"NewFile", [](const TempDir&) { return true; }, "a.vmr", Limit::None, WriteResult::Ok, 0, "a.vmr",
     NewFileMode(), S_IFREG},
    {"KeepsMode0640", [](const TempDir& d) { return Old(d, "a.vmr", 0640); }, "a.vmr", Limit::None,
     WriteResult::Ok, 0, "a.vmr", 0640, S_IFREG},
    {"ThroughLinkKeepsIt",
     [](const TempDir& d) { return Old(d, "real.vmr", 0600) && ::symlink("real.vmr", d.File("l.vmr").c_str()) == 0; },
     "l.vmr", Limit::None, WriteResult::Ok, 0, "real.vmr", 0600, S_IFLNK},
    {"DanglingLinkMakesTarget", [](const TempDir& d) { return ::symlink("made.vmr", d.File("l.vmr").c_str()) == 0; },
     "l.vmr", Limit::None, WriteResult::Ok, 0, "made.vmr", NewFileMode(), S_IFLNK},
    {"PlantedTempNameIsNotFollowed",
     [](const TempDir& d) {
         return Old(d, "a.vmr") && Old(d, "victim") && ::symlink("victim", d.File("a.vmr.saving~").c_str()) == 0;
     },
     "a.vmr", Limit::None, WriteResult::Ok, 0, "a.vmr", 0644, S_IFREG},
    {"FileSizeLimitMidWrite", [](const TempDir& d) { return Old(d, "a.vmr"); }, "a.vmr", Limit::FileSize,
     WriteResult::WriteFailed, EFBIG, "a.vmr", 0644, S_IFREG},
    {"NoTemporaryFileNoWriteInPlace", [](const TempDir& d) { return Old(d, "a.vmr"); }, "a.vmr", Limit::NoFiles,
     WriteResult::CreateFailed, EMFILE, "a.vmr", 0644, S_IFREG},
    {"FolderIsAFile", [](const TempDir& d) { return Old(d, "plain"); }, "plain/a.vmr", Limit::None,
     WriteResult::CreateFailed, ENOTDIR, "plain", 0, 0},
    {"TargetIsAFolder", [](const TempDir& d) { return fs::create_directory(d.File("d.vmr")); }, "d.vmr",
     Limit::None, WriteResult::CreateFailed, EISDIR, nullptr, 0, S_IFDIR},
    {"FifoWithoutReaderIsRefused", [](const TempDir& d) { return ::mkfifo(d.File("f.vmr").c_str(), 0644) == 0; },
     "f.vmr", Limit::None, WriteResult::CreateFailed, ENXIO, nullptr, 0, S_IFIFO},
    {"DeviceIsWrittenInPlace",
     [](const TempDir& d) {
         // A null device of our own: skipped where mknod is refused or the folder forbids devices.
         if (::mknod(d.File("n.vmr").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) return false;
         const int fd = ::open(d.File("n.vmr").c_str(), O_WRONLY);
         return fd >= 0 && ::close(fd) == 0;
     },
     "n.vmr", Limit::None, WriteResult::Ok, 0, nullptr, 0, S_IFCHR},
};

class SafeSave : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SafeSave, LeavesOldOrCompleteNewFile) {
    const SaveCase& c = GetParam();
    TempDir dir;
    if (!c.setup(dir)) GTEST_SKIP() << "this system cannot make the case";
    const int before = Leftovers(dir.Path());
    // The child reports the result and the errno, both small numbers.
    const int code = InChild(c.limit, [&] {
        std::error_code cause;
        const WriteResult r = WriteFileSafely(dir.File(c.target), kNew, cause);
        return static_cast<int>(r) * 80 + (cause.value() < 80 ? cause.value() : 79);
    });
    EXPECT_EQ(code, static_cast<int>(c.result) * 80 + c.error);
    struct stat st {};
    const bool present = ::lstat(dir.File(c.target).c_str(), &st) == 0;
    EXPECT_EQ(present ? st.st_mode & S_IFMT : 0, c.type);
    if (c.holder != nullptr) {
        EXPECT_EQ(ReadBytes(dir.File(c.holder)), c.result == WriteResult::Ok ? kNew : kOld);
        ASSERT_EQ(::stat(dir.File(c.holder).c_str(), &st), 0);
        if (c.mode != 0) {
            EXPECT_EQ(st.st_mode & 07777, c.mode);
        }
    }
    if (fs::exists(dir.File("victim"))) {
        EXPECT_EQ(ReadBytes(dir.File("victim")), kOld);
    }
    EXPECT_EQ(Leftovers(dir.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, SafeSave, ::testing::ValuesIn(kSaveCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SafeSave, ConcurrentSavesToOnePathAllSucceed) {
    TempDir dir;
    std::vector<std::thread> savers;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t) {
        savers.emplace_back([&, t] {
            const std::vector<std::uint8_t> bytes(3000, static_cast<std::uint8_t>('a' + t));
            for (int i = 0; i < 15; ++i) {
                std::error_code cause;
                failures += WriteFileSafely(dir.File("a.vmr"), bytes, cause) != WriteResult::Ok;
            }
        });
    }
    for (auto& s : savers) s.join();
    EXPECT_EQ(failures, 0);
    const auto last = ReadBytes(dir.File("a.vmr"));
    ASSERT_EQ(last.size(), 3000u);
    EXPECT_EQ(std::count(last.begin(), last.end(), last[0]), 3000);
    EXPECT_EQ(Leftovers(dir.Path()), 0);
}

// Every writer goes through the safe save and keeps its own message.
struct WriterCase {
    const char* name;
    const char* file;
    std::function<bool(CVelmoraDoc&, FakeHost&, const std::string&)> failsAsExpected;
};

const WriterCase kWriters[] = {
    {"Document", "a.vmr",
     [](CVelmoraDoc& doc, FakeHost& host, const std::string& path) {
         return !doc.OnSaveDocument(path) &&
                host.LastText() == "Failed to save document.\n" + path + ": " + std::strerror(EFBIG);
     }},
    {"Palette", "a.rgb",
     [](CVelmoraDoc& doc, FakeHost& host, const std::string& path) {
         const PaletteFileContext ctx{host, "Palette Editor", {}};
         return !SavePaletteToPath(path, doc.m_palette, ctx) && host.LastText() == kMsgWriteError;
     }},
    {"Bmp", "a.bmp",
     [](CVelmoraDoc& doc, FakeHost&, const std::string& path) {
         doc.m_pEngine->BuildBitmap(doc.m_palette);
         std::error_code cause;
         return doc.WriteBmp(path, cause) == BmpWriteResult::WriteFailed && cause == std::errc::file_too_large;
     }},
};

TEST(SafeSave, EveryWriterKeepsTheOldFileWhenTheDiskRefuses) {
    for (const WriterCase& w : kWriters) {
        SCOPED_TRACE(w.name);
        TempDir dir;
        WriteBytes(dir.File(w.file), kOld);
        const int code = InChild(Limit::FileSize, [&] {
            FakeHost host;
            host.allowMessages = true;
            CVelmoraDoc doc(host);
            doc.OnNewDocument();
            doc.LoadDefaultPalette();
            return w.failsAsExpected(doc, host, dir.File(w.file)) ? 0 : 1;
        });
        EXPECT_EQ(code, 0);
        EXPECT_EQ(ReadBytes(dir.File(w.file)), kOld);
        EXPECT_EQ(Leftovers(dir.Path()), 0);
    }
}

}  // namespace
