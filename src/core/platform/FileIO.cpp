#include "platform/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace velmora {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::error_code LastError() { return std::error_code(errno, std::generic_category()); }

bool IsDirectory(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::error_code& cause) {
    out.clear();
    if (IsDirectory(path)) {
        cause = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    errno = 0;
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        cause = LastError();
        return false;
    }
    std::uint8_t chunk[65536];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, f.get());
        out.insert(out.end(), chunk, chunk + got);
        if (got < sizeof chunk) break;
    }
    if (std::ferror(f.get())) {
        cause = LastError();
        if (!cause) cause = std::make_error_code(std::errc::io_error);
        return false;
    }
    cause.clear();
    return true;
}

WriteResult WriteBlocks(const std::string& path,
                        const std::vector<std::pair<const std::uint8_t*, std::size_t>>& blocks,
                        std::error_code& cause) {
    if (IsDirectory(path)) {
        cause = std::make_error_code(std::errc::is_a_directory);
        return WriteResult::CreateFailed;
    }
    errno = 0;
    std::FILE* raw = std::fopen(path.c_str(), "wb");
    if (raw == nullptr) {
        cause = LastError();
        return WriteResult::CreateFailed;
    }
    bool ok = true;
    for (const auto& [data, size] : blocks) {
        if (size != 0 && std::fwrite(data, 1, size, raw) != size) {
            ok = false;
            break;
        }
    }
    if (ok && std::fflush(raw) != 0) ok = false;
    if (!ok) cause = LastError();
    if (std::fclose(raw) != 0 && ok) {
        ok = false;
        cause = LastError();
    }
    if (!ok && !cause) cause = std::make_error_code(std::errc::io_error);
    return ok ? WriteResult::Ok : WriteResult::WriteFailed;
}

WriteResult WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes,
                               std::error_code& cause) {
    namespace fs = std::filesystem;
    if (IsDirectory(path)) {
        cause = std::make_error_code(std::errc::is_a_directory);
        return WriteResult::CreateFailed;
    }
    const fs::path target(path);
    fs::path temp = target;
    temp += ".saving~";
    const WriteResult r = WriteBlocks(temp.string(), {{bytes.data(), bytes.size()}}, cause);
    if (r == WriteResult::CreateFailed) {
        // The folder may allow writing the file itself but not new files in it.
        return WriteBlocks(path, {{bytes.data(), bytes.size()}}, cause);
    }
    if (r != WriteResult::Ok) {
        std::error_code ignore;
        fs::remove(temp, ignore);
        return r;
    }
    fs::rename(temp, target, cause);
    if (cause) {
        std::error_code ignore;
        fs::remove(temp, ignore);
        return WriteResult::WriteFailed;
    }
    return WriteResult::Ok;
}

}  // namespace velmora
