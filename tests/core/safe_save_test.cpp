// Saving leaves either the old file or the complete new one, whatever goes
// wrong, and no temporary file; reading refuses what is not a document before
// reading it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include "FakeHost.h"
#include "TempDir.h"
#include "anim/ScriptReader.h"
#include "export/BmpWriter.h"
#include "export/PictureExport.h"
#include "model/DocumentFile.h"
#include "model/Document.h"
#include "session/RenderSession.h"
#include "palette/PaletteFiles.h"
#include "base/FileErrors.h"
#include "base/FileIO.h"
#include "base/SaveMessages.h"
#include "video/VideoEncoder.h"

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

namespace {

const std::vector<std::uint8_t> kOld(100, 'o');
const std::vector<std::uint8_t> kNew(5000, 'n');

enum class Limit { None, FileSize, NoFiles };

int leftovers(const fs::path& dir) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir)) n += !e.is_symlink() && e.path().string().ends_with("saving~");
    return n;
}

// Runs the body in a child process, so the limits it sets stay there. SIGXFSZ
// keeps its default: the save itself must make it fail the write instead.
int inChild(Limit limit, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        rlimit r{1000, 1000};
        if (limit == Limit::NoFiles) r.rlim_cur = r.rlim_max = static_cast<rlim_t>(::dup(0));  // lowest free one
        if (limit != Limit::None) ::setrlimit(limit == Limit::FileSize ? RLIMIT_FSIZE : RLIMIT_NOFILE, &r);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool oldFile(const TempDir& d, const char* name, mode_t mode = 0644) {
    writeBytes(d.file(name), kOld);
    return ::chmod(d.file(name).c_str(), mode) == 0;
}

bool link(const TempDir& d, const char* to, const char* name) { return ::symlink(to, d.file(name).c_str()) == 0; }

// What a killed save leaves behind; held locked (as a save in progress holds
// its file) until the case ends when `held`.
int g_held = -1;
bool leftover(const TempDir& d, bool held) {
    const char* name = "a.mkv.0123456789ab.saving~";
    if (!oldFile(d, name)) return false;
    if (held) g_held = ::open(d.file(name).c_str(), O_RDONLY);
    return !held || ::flock(g_held, LOCK_EX) == 0;
}

bool foreignOwner(const TempDir& d) {  // only root can give a file away
    return ::geteuid() == 0 && oldFile(d, "a.mkv", 0640) && ::chown(d.file("a.mkv").c_str(), 12345, 12345) == 0;
}

mode_t newFileMode() { const mode_t mask = ::umask(0); ::umask(mask); return 0666 & ~mask; }

// The same safe save behind every writer: bytes (documents, palettes,
// pictures) and a video built by the muxer.
enum class Writer { Bytes, Video };

WriteResult saveVideo(const std::string& path) {
    VideoEncoder encoder;
    std::string error;
    if (!encoder.open({path, 25, VideoQuality::High}, 64, 64, error)) return WriteResult::CreateFailed;
    std::vector<std::uint8_t> noise(64 * 64 * 4);  // enough bytes to pass a small size limit
    std::uint32_t seed = 1;
    for (int i = 0; i < 3; ++i) {
        for (auto& b : noise) b = std::uint8_t((seed = seed * 1103515245u + 12345u) >> 24);
        if (!encoder.addFrame(noise.data(), 64 * 4, error)) return WriteResult::WriteFailed;
    }
    return encoder.finish(error) ? WriteResult::Ok : WriteResult::WriteFailed;
}

struct SaveCase {
    const char* name;
    std::function<bool(const TempDir&)> setup;  // false: the system cannot make this case here
    const char* target;  // saved to, with the limit in force
    Limit limit;
    WriteResult result;
    int error;  // errno expected in the cause, 0 for none (bytes only: the video reports in words)
    const char* holder;  // the file that must end holding the new bytes (or kOld after a failure)
    mode_t mode;         // its expected permission bits
    mode_t type;         // what `target` itself must still be (S_IFREG, S_IFLNK, ...; 0 absent)
    int kept = 0;        // temporary files that must remain (a save in progress)
};

const SaveCase kSaveCases[] = {
    {"NewFile", [](auto&) { return true; }, "a.mkv", Limit::None, WriteResult::Ok, 0, "a.mkv", newFileMode(), S_IFREG},
    {"KeepsMode0640", [](auto& d) { return oldFile(d, "a.mkv", 0640); }, "a.mkv", Limit::None, WriteResult::Ok, 0,
     "a.mkv", 0640, S_IFREG},
    {"KeepsAnotherUsersOwner", foreignOwner, "a.mkv", Limit::None, WriteResult::Ok, 0, "a.mkv", 0640, S_IFREG},
    {"ThroughLinkKeepsIt", [](auto& d) { return oldFile(d, "real", 0600) && link(d, "real", "l.mkv"); }, "l.mkv",
     Limit::None, WriteResult::Ok, 0, "real", 0600, S_IFLNK},
    {"DanglingLinkIsWrittenThrough", [](auto& d) { return link(d, "made", "l.mkv"); }, "l.mkv", Limit::None,
     WriteResult::Ok, 0, "made", newFileMode(), S_IFLNK},
    {"PlantedTempNameIsNotFollowed",
     [](auto& d) { return oldFile(d, "a.mkv") && oldFile(d, "victim") && link(d, "victim", "a.mkv.saving~"); },
     "a.mkv", Limit::None, WriteResult::Ok, 0, "a.mkv", 0644, S_IFREG},
    {"FolderIsRefused", [](auto& d) { return fs::create_directory(d.file("d.mkv")); }, "d.mkv", Limit::None,
     WriteResult::CreateFailed, EISDIR, nullptr, 0, S_IFDIR},
    {"FileSizeLimitMidWrite", [](auto& d) { return oldFile(d, "a.mkv"); }, "a.mkv", Limit::FileSize,
     WriteResult::WriteFailed, EFBIG, "a.mkv", 0644, S_IFREG},
    {"NoTemporaryFileNoWriteInPlace", [](auto& d) { return oldFile(d, "a.mkv"); }, "a.mkv", Limit::NoFiles,
     WriteResult::CreateFailed, EMFILE, "a.mkv", 0644, S_IFREG},
    {"UnlockedLeftoverIsRemoved", [](auto& d) { return oldFile(d, "a.mkv") && leftover(d, false); }, "a.mkv",
     Limit::None, WriteResult::Ok, 0, "a.mkv", 0644, S_IFREG},
    {"LockedLeftoverIsKept", [](auto& d) { return oldFile(d, "a.mkv") && leftover(d, true); }, "a.mkv", Limit::None,
     WriteResult::Ok, 0, "a.mkv", 0644, S_IFREG, 1},
    {"FifoWithoutReaderIsRefused", [](auto& d) { return ::mkfifo(d.file("f.mkv").c_str(), 0644) == 0; }, "f.mkv",
     Limit::None, WriteResult::CreateFailed, ENXIO, nullptr, 0, S_IFIFO},
    {"DeviceIsWrittenInPlace",
     [](auto& d) {  // our own null device; skipped where devices are refused
         const std::string n = d.file("n.mkv");
         const int fd = ::mknod(n.c_str(), S_IFCHR | 0666, makedev(1, 3)) ? -1 : ::open(n.c_str(), O_WRONLY);
         return fd >= 0 && ::close(fd) == 0;
     },
     "n.mkv", Limit::None, WriteResult::Ok, 0, nullptr, 0, S_IFCHR},
};

class SafeSave : public ::testing::TestWithParam<std::tuple<SaveCase, Writer>> {};

TEST_P(SafeSave, LeavesOldOrCompleteNewFile) {
    const auto& [c, writer] = GetParam();
    TempDir dir;
    const bool made = c.setup(dir);
    const int held = std::exchange(g_held, -1);
    if (!made) GTEST_SKIP() << "this system cannot make the case";
    struct stat before {};
    const bool existed = c.holder != nullptr && ::stat(dir.file(c.holder).c_str(), &before) == 0;
    // The child reports the result and the errno, both small numbers.
    const int code = inChild(c.limit, [&, writer = writer] {
        if (writer == Writer::Video) return static_cast<int>(saveVideo(dir.file(c.target))) * 80;
        std::error_code cause;
        const WriteResult r = writeFileSafely(dir.file(c.target), kNew, cause);
        return static_cast<int>(r) * 80 + cause.value() % 80;
    });
    if (held >= 0) ::close(held);
    EXPECT_EQ(code, static_cast<int>(c.result) * 80 + (writer == Writer::Bytes ? c.error : 0));
    struct stat st {};
    EXPECT_EQ(::lstat(dir.file(c.target).c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0, c.type);
    if (c.holder != nullptr) {
        const auto bytes = readBytes(dir.file(c.holder));
        if (writer == Writer::Bytes) {
            EXPECT_EQ(bytes, c.result == WriteResult::Ok ? kNew : kOld);
        }
        EXPECT_EQ(bytes == kOld, c.result != WriteResult::Ok);
        ASSERT_EQ(::stat(dir.file(c.holder).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.mode);
        if (existed) {
            EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(before.st_uid, before.st_gid));
        }
    }
    EXPECT_TRUE(!fs::exists(dir.file("victim")) || readBytes(dir.file("victim")) == kOld);
    EXPECT_EQ(leftovers(dir.path()), c.kept);
}

INSTANTIATE_TEST_SUITE_P(Cases, SafeSave,
                         ::testing::Combine(::testing::ValuesIn(kSaveCases),
                                            ::testing::Values(Writer::Bytes, Writer::Video)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == Writer::Video ? "Video" : "");
                         });

// An interrupt in the middle of a save removes the temporary file before the
// signal ends the program, and the old file stays.
TEST(SafeSave, InterruptRemovesTheTemporaryFile) {
    for (const auto& [sig, writer] : {std::pair(SIGINT, Writer::Video), {SIGTERM, Writer::Video},
                                      {SIGHUP, Writer::Bytes}, {SIGTERM, Writer::Bytes}}) {
        struct sigaction current {};
        if (::sigaction(sig, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;  // left ignored
        TempDir dir;
        writeBytes(dir.file("a.mkv"), kOld);
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (writer == Writer::Video) {
                VideoEncoder encoder;
                std::string error;
                const std::uint8_t pixels[16] = {};
                if (encoder.open({dir.file("a.mkv"), 25, VideoQuality::Small}, 2, 2, error) &&
                    encoder.addFrame(pixels, 8, error) && leftovers(dir.path()) == 1)
                    ::raise(sig);
                ::_exit(1);
            }
            std::error_code cause;
            writeFileSafely(dir.file("a.mkv"), [&, sig = sig](const ByteSink& sink) {
                return sink(kNew.data(), 10) && leftovers(dir.path()) == 1 && ::raise(sig) == 0;
            }, cause);
            ::_exit(1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        EXPECT_EQ(std::pair(readBytes(dir.file("a.mkv")), leftovers(dir.path())), std::pair(kOld, 0));
    }
}

TEST(SafeSave, ConcurrentSavesToOnePathAllSucceed) {
    TempDir dir;
    std::atomic<int> failures{0};
    std::vector<std::thread> savers;
    for (std::uint8_t t = 'a'; t < 'e'; ++t)
        savers.emplace_back([&, bytes = std::vector<std::uint8_t>(3000, t)] {
            std::error_code cause;
            for (int i = 0; i < 15; ++i) failures += writeFileSafely(dir.file("a"), bytes, cause) != WriteResult::Ok;
        });
    for (auto& s : savers) s.join();
    EXPECT_EQ(failures, 0);
    const auto last = readBytes(dir.file("a"));  // one save whole, not a mix
    EXPECT_EQ(last, std::vector<std::uint8_t>(3000, last.empty() ? 0 : last[0]));
    EXPECT_EQ(leftovers(dir.path()), 0);
}

// Every writer goes through the safe save and keeps its own message.
TEST(SafeSave, EveryWriterKeepsTheOldFileWhenTheDiskRefuses) {
    using Writer = std::function<bool(Document&, FakeHost&, const std::string&)>;
    const std::pair<const char*, Writer> writers[] = {
        {"a.vmr", [](Document& doc, FakeHost& host, const std::string& path) {
             const std::string why = std::generic_category().message(EFBIG);
             return !doc.onSaveDocument(path) && host.lastText() == "Failed to save document.\n" + path + ": " + why;
         }},
        {"a.rgb", [](Document& doc, FakeHost& host, const std::string& path) {
             const bool saved = savePaletteToPath(path, doc.palette(), {host, "Palette Editor", {}});
             return !saved && host.lastText() == kDiskFullMessage;
         }},
        {"a.bmp", [](Document& doc, FakeHost&, const std::string& path) {
             FractalEngine engine(doc.width(), doc.height());
             engine.buildBitmap(doc.palette());
             std::error_code cause;
             return writeBmp(&engine, path, cause) == BmpWriteResult::WriteFailed && cause == std::errc::file_too_large;
         }},
        {"a.png", [](Document& doc, FakeHost&, const std::string& path) {
             std::error_code cause;
             return exportPng(doc.contents(), path, nullptr, cause) == PngWriteResult::WriteFailed;
         }}};
    for (const auto& [file, write] : writers) {
        SCOPED_TRACE(file);
        TempDir dir;
        writeBytes(dir.file(file), kOld);
        EXPECT_EQ(0, inChild(Limit::FileSize, [&] {
            FakeHost host;
            host.allowMessages = true;
            Document doc(host);
            doc.onNewDocument();
            return write(doc, host, dir.file(file)) ? 0 : 1;
        }));
        EXPECT_EQ(std::pair(readBytes(dir.file(file)), leftovers(dir.path())), std::pair(kOld, 0));
    }
}

bool sparse(const std::string& path, std::vector<std::uint8_t> start) {
    writeBytes(path, start);
    return ::truncate(path.c_str(), off_t{8} << 30) == 0;  // far more than a test could read
}

struct ReadCase {
    const char* name;
    std::function<bool(const std::string&)> make;  // false: the system cannot make it here
    std::errc refusal;  // {} for a document that opens, bad_message for "Unexpected file format."
};

const ReadCase kReadCases[] = {
    {"Fifo", [](auto& p) { return ::mkfifo(p.c_str(), 0644) == 0; }, std::errc::not_supported},
    {"Folder", [](auto& p) { return fs::create_directory(p); }, std::errc::is_a_directory},
    {"HugeWithWrongSignature", [](auto& p) { return sparse(p, {'V', 'M', 'R', '1', '1'}); }, std::errc::bad_message},
    {"HugeDocumentStopsAtItsTerminator", [](auto& p) { return sparse(p, {'V', 'M', 'R', '1', '0'}); }, std::errc{}},
};

class DocumentReader : public ::testing::TestWithParam<ReadCase> {};

TEST_P(DocumentReader, RefusesOrReadsOnlyWhatTheFormatHolds) {
    const ReadCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("x.vmr");
    if (!c.make(path)) GTEST_SKIP() << "this system cannot make the case";
    FakeHost host;
    host.allowMessages = true;
    Document doc(host);
    doc.editParams([&](FractalParams& p) { p.iterations = 77; });  // a refusal before reading leaves the document alone
    EXPECT_EQ(doc.onOpenDocument(path), c.refusal == std::errc{});
    if (c.refusal == std::errc{}) {  // the zero header as stored, no keyframes
        EXPECT_EQ(std::tuple(host.messages.size(), doc.params().iterations, doc.keyframeCount()),
                  std::tuple(0u, 0, 0));
    } else if (c.refusal == std::errc::bad_message) {
        EXPECT_EQ(host.lastText(), "Unexpected file format.");
    } else {
        EXPECT_EQ(std::tuple(host.lastText(), doc.params().iterations),
                  std::tuple(fileErrorMessage(path, std::make_error_code(c.refusal), FileOp::Read), 77));
        PlayScript script;  // the player's script reader refuses it too, without waiting
        std::error_code cause;
        EXPECT_FALSE(readScriptFile(path, script, cause));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DocumentReader, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
