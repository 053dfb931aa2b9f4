#pragma once
// File reads and writes that report the platform's reason on failure. Every
// file the program writes goes through writeFileSafely; every file it parses
// is opened through FileReader, which takes regular files only.
#include <cstddef>
#include <cstdint>
#include <string>
#include <functional>
#include <system_error>
#include <utility>
#include <vector>

namespace velmora {

enum class WriteResult { Ok, CreateFailed, WriteFailed };

using ByteBlocks = std::vector<std::pair<const std::uint8_t*, std::size_t>>;

// Saves the blocks, in order, so that the target holds either its old bytes or
// the complete new ones. A link is followed to its final target and stays a
// link. A regular file (or a new one) is written under a unique name beside
// the target, flushed to disk and renamed over it, keeping the old file's
// permissions and, where allowed, its owner; a new file gets 0666 less the
// umask. When that temporary file cannot be made, nothing is written
// (CreateFailed). An existing target that is not a regular file (a device, a
// FIFO) is written in place, so its own failure is reported and it stays what
// it was. No temporary file outlives the call.
WriteResult writeFileSafely(const std::string& path, const ByteBlocks& blocks, std::error_code& cause);

// The same save for a file made piece by piece: produce hands each piece to
// the sink, which returns false when the write failed, and returns false itself
// to give up (a failed write, or a cancelled render). The guarantees are those
// above: the target keeps its old bytes unless every piece was written.
using ByteSink = std::function<bool(const std::uint8_t*, std::size_t)>;
using ByteProducer = std::function<bool(const ByteSink&)>;
WriteResult writeFileSafely(const std::string& path, const ByteProducer& produce, std::error_code& cause);

inline WriteResult writeFileSafely(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                   std::error_code& cause) {
    return writeFileSafely(path, {{bytes.data(), bytes.size()}}, cause);
}

// Reads a regular file from its start, through a buffer. Open refuses anything
// else (a folder, a device, a FIFO) without waiting on it, so a reader never
// hangs or reads without end.
class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool open(const std::string& path, std::error_code& cause);
    // Exactly n bytes, or false: at the end of the file (error() empty) or on
    // a read error (error() says why).
    bool bytes(std::uint8_t* out, std::size_t n);
    std::uint64_t consumed() const { return m_consumed; }
    std::error_code error() const { return m_error; }

private:
    int m_fd = -1;
    std::uint8_t m_buffer[65536];
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::uint64_t m_consumed = 0;
    std::error_code m_error;
};

// Opens a regular file for reading and returns its descriptor (the caller
// closes it), or -1 with the cause. Never blocks on a FIFO or a device.
int openRegularFile(const std::string& path, std::error_code& cause);

}  // namespace velmora
