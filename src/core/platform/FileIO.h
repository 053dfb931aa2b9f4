#pragma once
// Whole-file reads and writes that report the platform's reason on failure.
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

namespace velmora {

// Reads the whole file. False with the cause when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::error_code& cause);

enum class WriteResult { Ok, CreateFailed, WriteFailed };

// Creates (or truncates) the file and writes the blocks in order. A failure
// after creation leaves the partly written file where it is.
WriteResult WriteBlocks(const std::string& path,
                        const std::vector<std::pair<const std::uint8_t*, std::size_t>>& blocks,
                        std::error_code& cause);

// Writes a complete new file beside the target and renames it over the target,
// so a failed save never leaves the old file half overwritten.
WriteResult WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes,
                               std::error_code& cause);

}  // namespace velmora
