#include "base/FileIO.h"

#include "base/SafeReplace.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

std::error_code lastError() { return std::error_code(errno != 0 ? errno : EIO, std::generic_category()); }

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
    SafeReplace file;
    if (!file.begin(path, cause)) return WriteResult::CreateFailed;
    bool ok = false;
    {
        std::optional<PipeSignalHold> hold;
        if (file.tempPath().empty()) hold.emplace();  // a FIFO written in place
        errno = 0;
        const int fd = file.fd();
        ok = produce([fd](const std::uint8_t* data, std::size_t size) { return writeAll(fd, {{data, size}}); });
        if (!ok) cause = lastError();
    }
    if (!ok) {
        file.abandon();
        return WriteResult::WriteFailed;
    }
    return file.commit(cause) ? WriteResult::Ok : WriteResult::WriteFailed;
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
