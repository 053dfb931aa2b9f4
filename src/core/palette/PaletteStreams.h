#pragma once
// The two kinds of input the palette readers work on: raw bytes (.rgb) and
// text (.map, .pal). Both can be fed from a file or from memory, and memory
// sources can be told to fail part-way so read errors are testable.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace velmora {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes into dst and returns how many it read: fewer at the
    // end of the data or when a read error happened (then Failed() is true).
    virtual std::size_t read(std::uint8_t* dst, std::size_t n) = 0;
    virtual bool failed() const = 0;
};

// A file opened for binary reading; closed when the object goes.
class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(const std::string& path);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    bool isOpen() const { return m_file != nullptr; }
    // Why the open failed (empty when it did not).
    std::error_code openError() const { return m_openError; }

    std::size_t read(std::uint8_t* dst, std::size_t n) override;
    bool failed() const override { return m_failed; }

private:
    std::FILE* m_file = nullptr;
    std::error_code m_openError;
    bool m_failed = false;
};

// Bytes held in memory. With failAfter set, every read past that many bytes
// fails like a disk error.
class MemoryByteSource : public ByteSource {
public:
    static constexpr std::size_t kNever = static_cast<std::size_t>(-1);
    explicit MemoryByteSource(std::vector<std::uint8_t> bytes, std::size_t failAfter = kNever);
    explicit MemoryByteSource(std::string_view text, std::size_t failAfter = kNever);

    std::size_t read(std::uint8_t* dst, std::size_t n) override;
    bool failed() const override { return m_failed; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    std::size_t m_failAfter;
    bool m_failed = false;
};

// Characters of a text file as the palette readers see them: a CR LF pair is
// one line end ('\n'), on every platform, so character positions match the
// ones the formats were written for. A read error ends the text.
class PaletteTextStream {
public:
    static constexpr int kEnd = -1;
    // The most bytes a palette text is read for.
    static constexpr std::size_t kMaxTextBytes = std::size_t{1} << 20;

    // A null source is a stream that is not open.
    explicit PaletteTextStream(ByteSource* source) : m_source(source) {}

    bool isOpen() const { return m_source != nullptr; }
    bool atEnd();
    // The next character (0..255), or kEnd.
    int get();
    // What the last Get returned (kEnd before the first one).
    int last() const { return m_last; }

private:
    int rawGet();

    ByteSource* m_source;
    std::size_t m_read = 0;
    int m_pending = kEnd;
    bool m_hasPending = false;
    int m_last = kEnd;
};

}  // namespace velmora
