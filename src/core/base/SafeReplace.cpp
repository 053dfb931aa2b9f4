#include "base/SafeReplace.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/InterruptCleanup.h"

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

fs::path folder(const fs::path& target) {
    return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

std::string tempPrefix(const std::string& targetName) { return targetName.substr(0, 200) + "."; }

// A fresh name beside the target for each attempt, so concurrent saves never meet.
fs::path tempName(const fs::path& target) {
    thread_local std::mt19937_64 rng(std::random_device{}() ^ (static_cast<std::uint64_t>(::getpid()) << 32));
    std::string name = tempPrefix(target.filename().string());
    std::uint64_t bits = rng();
    for (std::size_t i = 0; i < kTagDigits; ++i, bits >>= 4) name += kDigits[bits & 15];
    name += kTempSuffix;
    return folder(target) / name;
}

// Whether the name still leads to the open file itself, not to what someone
// put in its place.
bool namesFile(const std::string& name, int fd) {
    struct stat byName {}, opened {};
    return ::lstat(name.c_str(), &byName) == 0 && ::fstat(fd, &opened) == 0 && byName.st_dev == opened.st_dev &&
           byName.st_ino == opened.st_ino;
}

// Removes the temporary files that killed saves left for this target. A save
// in progress holds its file locked, so a file whose lock can be taken has no
// writer left.
void sweepLeftovers(const fs::path& target) {
    const std::string name = target.filename().string();
    std::error_code ec;
    for (fs::directory_iterator it(folder(target), ec), end; !ec && it != end; it.increment(ec)) {
        if (!isTemporaryNameOf(it->path().filename().string(), name)) continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            namesFile(it->path().string(), fd)) {
            ::unlink(it->path().c_str());
        }
        ::close(fd);
    }
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

bool isTemporaryNameOf(const std::string& name, const std::string& targetName) {
    const std::string prefix = tempPrefix(targetName);
    if (name.size() != prefix.size() + kTagDigits + kTempSuffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(kTempSuffix)) {
        return false;
    }
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                       name.end() - static_cast<std::ptrdiff_t>(kTempSuffix.size()),
                       [](char c) { return c != '\0' && std::strchr(kDigits, c) != nullptr; });
}

SafeReplace::~SafeReplace() { abandon(); }

bool SafeReplace::begin(const std::string& path, std::error_code& cause) {
    abandon();
    cause.clear();
    ignoreFileSizeSignal();
    fs::path target;
    if (!finalTarget(path, target, cause)) return false;
    m_target = target.string();
    struct stat old {};
    m_existed = ::stat(target.c_str(), &old) == 0;
    if (m_existed && S_ISDIR(old.st_mode)) {
        cause = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    if (m_existed && !S_ISREG(old.st_mode)) return beginInPlace(cause);
    if (target.filename().empty()) {
        cause = std::make_error_code(std::errc::no_such_file_or_directory);
        return false;
    }
    // A file the user may not write stays unwritten, although the folder
    // would let a rename replace it.
    if (m_existed && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        cause = lastError();
        return false;
    }
    m_uid = old.st_uid;
    m_gid = old.st_gid;
    m_mode = old.st_mode;
    sweepLeftovers(target);

    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        const std::string temp = tempName(target).string();
        // Known to the interrupt cleanup before the file exists, so that no
        // interrupt comes between its making and its cleanup.
        const int slot = removeOnInterrupt(temp.c_str());
        // A new file gets 0666 less the umask from the system; a replacement
        // stays private until commit gives it the old file's mode.
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              m_existed ? 0600 : 0666);
        if (fd < 0) {
            forgetOnInterrupt(slot);  // leaves errno as it is
            if (errno != EEXIST) break;
            continue;
        }
        // Locked before anything else: marks a save in progress for other
        // saves' sweeps. One of them may have taken it between the open and
        // the lock; then the name is gone and another is tried. Where the file
        // system has no locks, the file is used unlocked.
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
        if (locked && namesFile(temp, fd)) {
            m_fd = fd;
            m_temp = temp;
            m_slot = slot;
        } else {
            forgetOnInterrupt(slot);
            ::close(fd);
        }
    }
    if (m_fd < 0) {
        cause = lastError();
        return false;  // nothing was written anywhere
    }
    return true;
}

// Devices and FIFOs are written as they are: renaming over one would replace it
// by a plain file, and its own failure (a full device) must be seen.
bool SafeReplace::beginInPlace(std::error_code& cause) {
    // Non-blocking open: a FIFO without a reader is refused instead of waited on.
    const int fd = ::open(m_target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        cause = lastError();
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISREG(st.st_mode)) {
        // Replaced by a regular file since it was looked at: never write that in place.
        ::close(fd);
        cause = std::make_error_code(std::errc::device_or_resource_busy);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    m_fd = fd;
    m_inPlace = true;
    return true;
}

bool SafeReplace::commit(std::error_code& cause) {
    if (m_fd < 0) {
        cause = std::make_error_code(std::errc::bad_file_descriptor);
        return false;
    }
    errno = 0;
    if (m_inPlace) {
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        m_inPlace = false;
        if (!closed) cause = lastError();
        return closed;
    }
    bool ok = true;
    if (m_existed) {
        // The owner only where the process may give it (root; else at least
        // the group, when the process is in it); the mode after it, as a
        // change of owner clears set-id bits.
        if (::fchown(m_fd, m_uid, m_gid) != 0) {
            const int grouped = ::fchown(m_fd, static_cast<uid_t>(-1), m_gid);
            (void)grouped;
        }
        ok = ::fchmod(m_fd, m_mode & 07777) == 0;
    }
    // Renamed while still locked, so no sweep takes the finished file; and
    // only while the name still leads to what was written.
    ok = ok && ::fsync(m_fd) == 0;
    if (ok && !namesFile(m_temp, m_fd)) {
        ok = false;
        errno = ENOENT;
    }
    ok = ok && ::rename(m_temp.c_str(), m_target.c_str()) == 0;
    if (!ok) {
        cause = lastError();
        abandon();
        return false;
    }
    forgetOnInterrupt(m_slot);
    m_slot = -1;
    m_temp.clear();
    ::close(m_fd);  // flushed above; closing can no longer lose data
    m_fd = -1;
    syncFolder(m_target);
    return true;
}

void SafeReplace::abandon() {
    // While still locked, so no sweep meets it half gone; and never what
    // someone else put under its name. Forgotten by the interrupt cleanup only
    // once gone, so no interrupt in between leaves it.
    if (!m_temp.empty() && m_fd >= 0 && namesFile(m_temp, m_fd)) ::unlink(m_temp.c_str());
    forgetOnInterrupt(m_slot);
    m_slot = -1;
    m_temp.clear();
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_inPlace = false;
}

}  // namespace velmora
