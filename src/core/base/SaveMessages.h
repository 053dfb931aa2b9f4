#pragma once
// What a failed save says, for every kind of file the program writes: one
// place for the words, chosen by what was saved and how the save failed.
#include <string>
#include <system_error>

#include "base/FileIO.h"

namespace velmora {

// What a palette or a BMP picture says when a write fails, whatever the cause.
inline constexpr const char* kDiskFullMessage = "Could not write data. Probable cause: Disk full.";

enum class SavedFile { Document, Palette, Bmp, Png, Video };

// CreateFailed: nothing was written (the cause says why). WriteFailed: the
// old file is intact. Ok gives an empty text.
std::string saveFailureText(SavedFile what, WriteResult result, const std::string& path, std::error_code cause);
// The same with the reason in words, for failures the system's codes do not name.
std::string saveFailureText(SavedFile what, WriteResult result, const std::string& path, const std::string& why);

}  // namespace velmora
