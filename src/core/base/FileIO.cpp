#include "base/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <string_view>

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::error_code lastError() { return std::error_code(errno != 0 ? errno : EIO, std::generic_category()); }

// The file a save must replace: links are followed to the end, so the link
// itself stays; a dangling link names the file to create.
bool finalTarget(const std::string& path, fs::path& target, std::error_code& cause) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec))) return true;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) {
            cause = ec;
            return false;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    cause = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return false;
}

constexpr char kDigits[] = "0123456789abcdef";
constexpr std::size_t kTagDigits = 12;
constexpr std::string_view kTempSuffix = ".saving~";
// A temporary file nobody holds and nobody wrote for this long was left by a
// save that was killed.
constexpr std::time_t kStaleSeconds = 600;

fs::path folder(const fs::path& target) {
    return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

std::string tempPrefix(const fs::path& target) { return target.filename().string().substr(0, 200) + "."; }

// A fresh name beside the target for each attempt, so concurrent saves and
// leftovers of a killed process never meet.
fs::path tempName(const fs::path& target) {
    thread_local std::mt19937_64 rng(std::random_device{}() ^ (static_cast<std::uint64_t>(::getpid()) << 32));
    std::string name = tempPrefix(target);
    std::uint64_t bits = rng();
    for (std::size_t i = 0; i < kTagDigits; ++i, bits >>= 4) name += kDigits[bits & 15];
    name += kTempSuffix;
    return folder(target) / name;
}

bool isTempNameOf(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + kTagDigits + kTempSuffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(kTempSuffix)) {
        return false;
    }
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                       name.end() - static_cast<std::ptrdiff_t>(kTempSuffix.size()),
                       [](char c) { return std::strchr(kDigits, c) != nullptr && c != '\0'; });
}

// Removes the target's temporary files that killed saves left behind. A save
// in progress holds a lock on its file, and a young file is left alone in
// case its save is between closing and renaming it.
void removeStaleTemps(const fs::path& target) {
    const std::string prefix = tempPrefix(target);
    std::error_code ec;
    for (fs::directory_iterator it(folder(target), ec), end; !ec && it != end; it.increment(ec)) {
        if (!isTempNameOf(it->path().filename().string(), prefix)) continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::time(nullptr) - st.st_mtime > kStaleSeconds &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlink(it->path().c_str());
        }
        ::close(fd);
    }
}

bool writeAll(int fd, const ByteBlocks& blocks) {
    for (const auto& [data, size] : blocks) {
        std::size_t done = 0;
        while (done < size) {
            const ::ssize_t n = ::write(fd, data + done, std::min<std::size_t>(size - done, std::size_t{1} << 30));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                if (n == 0) errno = EIO;
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
    }
    return true;
}

bool closeChecked(int fd, bool ok, std::error_code& cause) {
    if (::close(fd) != 0 && ok) {
        cause = lastError();
        return false;
    }
    return ok;
}

// A FIFO whose reader goes away must fail the write (EPIPE), not end the
// program: SIGPIPE is held back on this thread meanwhile, and one raised by
// the write is taken before the thread's mask is restored.
class PipeSignalHold {
public:
    PipeSignalHold() {
        ::sigemptyset(&m_pipe);
        ::sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        m_wasPending = ::sigpending(&pending) == 0 && ::sigismember(&pending, SIGPIPE) == 1;
        m_held = ::pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old) == 0;
    }
    ~PipeSignalHold() {
        if (!m_held) return;
        sigset_t pending;
        if (!m_wasPending && ::sigpending(&pending) == 0 && ::sigismember(&pending, SIGPIPE) == 1) {
            const timespec now{};
            ::sigtimedwait(&m_pipe, nullptr, &now);
        }
        ::pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    PipeSignalHold(const PipeSignalHold&) = delete;
    PipeSignalHold& operator=(const PipeSignalHold&) = delete;

private:
    sigset_t m_pipe;
    sigset_t m_old;
    bool m_wasPending = false;
    bool m_held = false;
};

// Devices and FIFOs are written as they are: renaming over one would replace it
// by a plain file, and its own failure (a full device) must be seen.
WriteResult writeInPlace(const fs::path& target, const ByteProducer& produce, std::error_code& cause) {
    // Non-blocking open: a FIFO without a reader is refused instead of waited on.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        cause = lastError();
        return WriteResult::CreateFailed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISREG(st.st_mode)) {
        // Replaced by a regular file since it was looked at: never write that in place.
        ::close(fd);
        cause = std::make_error_code(std::errc::device_or_resource_busy);
        return WriteResult::CreateFailed;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    bool ok = false;
    {
        const PipeSignalHold hold;
        errno = 0;
        ok = produce([fd](const std::uint8_t* data, std::size_t size) { return writeAll(fd, {{data, size}}); });
        if (!ok) cause = lastError();
    }
    ok = closeChecked(fd, ok, cause);
    return ok ? WriteResult::Ok : WriteResult::WriteFailed;
}

// A file-size limit must fail the write (EFBIG), so that the temporary file is
// removed, instead of killing the program with the file left behind. A
// handler the program installed itself is left alone.
void ignoreFileSizeSignal() {
    static const bool done = [] {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
            current.sa_handler == SIG_DFL) {
            std::signal(SIGXFSZ, SIG_IGN);
        }
        return true;
    }();
    (void)done;
}

void syncFolder(const fs::path& target) {
    const int fd = ::open(folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // The rename is done and the new file complete: a folder that cannot be
    // flushed (some file systems refuse) does not make the save a failure.
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

WriteResult writeFileSafely(const std::string& path, const ByteBlocks& blocks, std::error_code& cause) {
    return writeFileSafely(
        path, [&blocks](const ByteSink& sink) {
            for (const auto& [data, size] : blocks) {
                if (!sink(data, size)) return false;
            }
            return true;
        },
        cause);
}

WriteResult writeFileSafely(const std::string& path, const ByteProducer& produce, std::error_code& cause) {
    cause.clear();
    ignoreFileSizeSignal();
    fs::path target;
    if (!finalTarget(path, target, cause)) return WriteResult::CreateFailed;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        cause = std::make_error_code(std::errc::is_a_directory);
        return WriteResult::CreateFailed;
    }
    if (exists && !S_ISREG(old.st_mode)) return writeInPlace(target, produce, cause);
    if (target.filename().empty()) {
        cause = std::make_error_code(std::errc::no_such_file_or_directory);
        return WriteResult::CreateFailed;
    }
    // A file the user may not write stays unwritten, although the folder
    // would let a rename replace it.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        cause = lastError();
        return WriteResult::CreateFailed;
    }

    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = tempName(target);
        // A new file gets 0666 less the umask from the system; a replacement
        // starts private and takes the old file's mode below.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        cause = lastError();
        return WriteResult::CreateFailed;  // nothing was written anywhere
    }
    // Held until the file is closed: marks it as a save in progress. Where
    // the file system has no locks, the age check alone protects it.
    ::flock(fd, LOCK_EX | LOCK_NB);
    errno = 0;
    bool ok = true;
    if (exists) {
        // The owner only where the process may give it (root; else at least
        // the group, when the process is in it); the mode after it, as a
        // change of owner clears set-id bits.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            const int grouped = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
            (void)grouped;
        }
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = ok &&
         produce([fd](const std::uint8_t* data, std::size_t size) { return writeAll(fd, {{data, size}}); }) &&
         ::fsync(fd) == 0;
    if (!ok) cause = lastError();
    ok = closeChecked(fd, ok, cause);
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        cause = lastError();
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return WriteResult::WriteFailed;
    }
    removeStaleTemps(target);
    syncFolder(target);
    return WriteResult::Ok;
}

int openRegularFile(const std::string& path, std::error_code& cause) {
    // Looked at before opening: opening a device or a FIFO can block or act.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        cause = S_ISDIR(st.st_mode) ? std::make_error_code(std::errc::is_a_directory)
                                    : std::make_error_code(std::errc::not_supported);
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        cause = lastError();
        return -1;
    }
    // Checked again on what was opened, in case the name changed meanwhile.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        cause = std::make_error_code(std::errc::not_supported);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    cause.clear();
    return fd;
}

FileReader::~FileReader() {
    if (m_fd >= 0) ::close(m_fd);
}

bool FileReader::open(const std::string& path, std::error_code& cause) {
    m_fd = openRegularFile(path, cause);
    return m_fd >= 0;
}

bool FileReader::bytes(std::uint8_t* out, std::size_t n) {
    while (n > 0) {
        if (m_pos == m_end) {
            if (m_fd < 0 || m_error) return false;
            const ::ssize_t got = ::read(m_fd, m_buffer, sizeof m_buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) m_error = lastError();
            if (got <= 0) return false;
            m_pos = 0;
            m_end = static_cast<std::size_t>(got);
        }
        const std::size_t take = std::min(n, m_end - m_pos);
        std::memcpy(out, m_buffer + m_pos, take);
        m_pos += take;
        m_consumed += take;
        out += take;
        n -= take;
    }
    return true;
}

}  // namespace velmora
