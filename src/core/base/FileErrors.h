#pragma once
// The general file-error report: the words a desktop program uses when a file
// cannot be opened or created, with the path in place of %1.
#include <string>
#include <system_error>

namespace velmora {

enum class FileOp { Read, Write };

// Text for a failed open/create, chosen from the platform's error code.
std::string fileErrorMessage(const std::string& path, std::error_code cause, FileOp op);

// Replaces every "%1" in a template with the given text.
std::string formatPercent1(const std::string& templ, const std::string& arg);

}  // namespace velmora
