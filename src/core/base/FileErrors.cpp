#include "base/FileErrors.h"

#include <cerrno>

namespace velmora {

std::string formatPercent1(const std::string& templ, const std::string& arg) {
    std::string out;
    for (std::size_t i = 0; i < templ.size(); ++i) {
        if (templ[i] == '%' && i + 1 < templ.size() && templ[i + 1] == '1') {
            out += arg;
            ++i;
        } else {
            out += templ[i];
        }
    }
    return out;
}

std::string fileErrorMessage(const std::string& path, std::error_code cause, FileOp op) {
    const char* templ = nullptr;
    if (cause == std::errc::no_such_file_or_directory) {
        templ = "%1 was not found.";
    } else if (cause == std::errc::permission_denied || cause == std::errc::operation_not_permitted ||
               cause == std::errc::read_only_file_system) {
        templ = "Access to %1 was denied.";
    } else if (cause == std::errc::not_a_directory || cause == std::errc::filename_too_long ||
               cause == std::errc::is_a_directory || cause == std::errc::invalid_argument) {
        templ = "%1 contains an invalid path.";
    } else if (cause == std::errc::text_file_busy || cause == std::errc::device_or_resource_busy) {
        templ = "A sharing violation occurred while accessing %1.";
    } else if (cause == std::errc::no_space_on_device) {
        templ = "%1 could not be written because the disk is full.";
    } else if (cause == std::errc::too_many_files_open || cause == std::errc::too_many_files_open_in_system) {
        templ = "There are too many open files.";
    } else {
        templ = op == FileOp::Read ? "An unexpected error occurred while reading %1."
                                   : "An unexpected error occurred while writing %1.";
    }
    return formatPercent1(templ, path);
}

}  // namespace velmora
