#include "palette/PaletteStreams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace velmora {

FileByteSource::FileByteSource(const std::string& path) {
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(st)) {
        // Opening a folder "succeeds" on some systems and then fails every read.
        m_openError = std::make_error_code(std::errc::is_a_directory);
        return;
    }
    if (std::filesystem::exists(st) && !std::filesystem::is_regular_file(st)) {
        // A device or pipe may never end (or never open): not a palette file.
        m_openError = std::make_error_code(std::errc::not_supported);
        return;
    }
    errno = 0;
    m_file = std::fopen(path.c_str(), "rb");
    if (m_file == nullptr) {
        m_openError = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    }
}

FileByteSource::~FileByteSource() {
    if (m_file != nullptr) std::fclose(m_file);
}

std::size_t FileByteSource::read(std::uint8_t* dst, std::size_t n) {
    if (m_file == nullptr || n == 0) return 0;
    const std::size_t got = std::fread(dst, 1, n, m_file);
    if (got < n && std::ferror(m_file)) m_failed = true;
    return got;
}

MemoryByteSource::MemoryByteSource(std::vector<std::uint8_t> bytes, std::size_t failAfter)
    : m_bytes(std::move(bytes)), m_failAfter(failAfter) {}

MemoryByteSource::MemoryByteSource(std::string_view text, std::size_t failAfter)
    : m_bytes(text.begin(), text.end()), m_failAfter(failAfter) {}

std::size_t MemoryByteSource::read(std::uint8_t* dst, std::size_t n) {
    if (m_failed) return 0;
    std::size_t limit = m_bytes.size();
    if (m_failAfter < limit) limit = m_failAfter;
    const std::size_t avail = m_pos < limit ? limit - m_pos : 0;
    const std::size_t got = std::min(n, avail);
    if (got != 0) std::memcpy(dst, m_bytes.data() + m_pos, got);
    m_pos += got;
    if (got < n && m_pos >= m_failAfter && m_failAfter < m_bytes.size()) m_failed = true;
    return got;
}

int PaletteTextStream::rawGet() {
    if (m_hasPending) {
        m_hasPending = false;
        return m_pending;
    }
    // 256 colours take a few kilobytes even with comments: a text that goes on
    // for megabytes (a huge or sparse file) ends there instead of being read whole.
    if (m_source == nullptr || m_read >= kMaxTextBytes) return kEnd;
    std::uint8_t b = 0;
    if (m_source->read(&b, 1) != 1) return kEnd;
    ++m_read;
    return b;
}

bool PaletteTextStream::atEnd() {
    if (!m_hasPending) {
        m_pending = rawGet();
        m_hasPending = true;
    }
    return m_pending == kEnd;
}

int PaletteTextStream::get() {
    int c = rawGet();
    if (c == '\r') {
        const int next = rawGet();
        if (next == '\n') {
            c = '\n';
        } else {
            m_pending = next;
            m_hasPending = true;
        }
    }
    m_last = c;
    return c;
}

}  // namespace velmora
