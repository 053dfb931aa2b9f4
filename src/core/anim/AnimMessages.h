#pragma once
// The fixed texts of the animation commands, shared by the frames window, the
// render settings, the render itself and velmora-cli so they never drift apart.
#include <string>

#include "base/Host.h"

namespace velmora {

// Names of the windows that own the animation's message boxes.
inline constexpr const char* kFramesWindowName = "Animation Frames Window";
inline constexpr const char* kRenderSettingsName = "Render Settings";

namespace animtext {

// Keyframe editing.
inline constexpr const char* kTypeMismatch =
    "Cannot add frame: The active frame is not the same\ntype of fractal as the other frames in the animation.";
inline constexpr const char* kSelectFirst = "Select a frame first.";
inline constexpr const char* kInsertNotFound = "Frame not found.";
inline constexpr const char* kDeleteNotFound = "Frame not found";
inline constexpr const char* kNoSuchRow = "This frame does not exist!";
inline constexpr const char* kListFailed = "Could not display frames list";
inline constexpr const char* kCountTooSmall = "Transition count must be at least 1";
inline constexpr const char* kAskUntilNext = "&How many transition frames until the next keyframe?";
inline constexpr const char* kAskAfterPrevious = "&How many transition frames after the previous keyframe?";

// The render.
inline constexpr const char* kTooFewKeyframes =
    "There must be at least 2 keyframes in order to render.\nSee Help for details.";
inline constexpr const char* kAborted = "Render operation aborted.";
inline constexpr const char* kScriptFailed =
    "Could not create the script file.\nYou will not be able to play the animation.";
inline constexpr const char* kRenderDone = "Your animation has been successfully rendered.";

// Render settings.
inline constexpr const char* kWidthTooSmall = "Width must be at least 1 pixel";
inline constexpr const char* kHeightTooSmall = "Height must be at least 1 pixel";
inline constexpr const char* kFromTooSmall = "Starting frame must be at least 1.";
inline constexpr const char* kToTooSmall = "Ending frame must be at least 1.";
inline constexpr const char* kToBeforeFrom = "Ending frame must be greater than or equal to the starting frame.";
inline constexpr const char* kToBeyondEnd =
    "You have entered an ending frame number which does not exist.\nIn this animation, the highest frame number is ";
inline constexpr const char* kFolderExists =
    "Warning: This directory already exists. If you choose to continue\nsome files in this directory may be "
    "overwritten. If you are not sure\nclick No and type the name of a new directory.\n\nDo you want to continue?";
inline constexpr const char* kFolderWillBeCreated = "The directory specified does not exist and will be created.";
inline constexpr const char* kFolderNotCreated = "Could not create directory.";
inline constexpr const char* kFolderLineBreak =
    "The folder name may not contain a line break or a carriage return:\nthe playback script gives every frame "
    "file a line of its own.";

}  // namespace animtext

// "Could not save frame N.\nRender operation aborted."
std::string couldNotSaveFrameText(long long frame);

// "This animation has N frames, more than the M a playback script may list..."
std::string tooManyFramesText(long long frames);

// A message box owned by one of the animation windows: the application's title
// as caption.
Message windowMessage(const std::string& text, MsgIcon icon, const char* ownerName,
                      MsgButtons buttons = MsgButtons::Ok);

}  // namespace velmora
