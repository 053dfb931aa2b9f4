#include "base/SaveMessages.h"

#include "base/FileErrors.h"

namespace velmora {

std::string saveFailureText(SavedFile what, WriteResult result, const std::string& path, std::error_code cause) {
    if (result == WriteResult::CreateFailed && what != SavedFile::Video)
        return fileErrorMessage(path, cause, FileOp::Write);
    return saveFailureText(what, result, path, cause.message());
}

std::string saveFailureText(SavedFile what, WriteResult result, const std::string& path, const std::string& why) {
    if (result == WriteResult::Ok) return {};
    switch (what) {
        case SavedFile::Video:
            return (result == WriteResult::CreateFailed ? "Cannot create" : "Could not write") +
                   std::string(" the video file '") + path + "': " + why + ".";
        case SavedFile::Document:
            return "Failed to save document.\n" + path + ": " + why;
        case SavedFile::Png:
            return "Could not write " + path + ": " + why + ". The file was not changed.";
        case SavedFile::Palette:
        case SavedFile::Bmp:
            break;
    }
    return kDiskFullMessage;
}

}  // namespace velmora
