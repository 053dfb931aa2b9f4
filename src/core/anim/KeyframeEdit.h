#pragma once
// Editing the document's keyframe list, as the frames window does it. Rows are
// the list's rows: row r stands for the keyframe at index r, and the row whose
// index equals the keyframe count is "<end>", the place after the last one.
// kNoRow says that no row is selected.
#include <cstdint>
#include <string>

#include "location/FractalParams.h"
#include "model/Document.h"

namespace velmora {

inline constexpr std::int32_t kNoRow = -1;

// Copies the active values (region, Julia constant and their exact values,
// type, iteration limit) and
// the whole active palette into the keyframe; its transition count stays.
void captureActive(const Document& doc, Keyframe& keyframe);

// The reverse copy into the document's active values and palette. The image
// size stays and the engine is not reloaded.
void applyToActive(Document& doc, const Keyframe& keyframe);

// Which transition count the Transition Count dialog is asked for.
enum class CountQuestion {
    None,           // no dialog
    UntilNext,      // the keyframe's own count, towards the next keyframe
    AfterPrevious,  // the previous keyframe's count, leading to this one
};

struct CountRequest {
    CountQuestion question = CountQuestion::None;
    std::int32_t keyframe = -1;  // index of the keyframe whose count the answer replaces
    std::int32_t initial = 0;    // the count the dialog proposes
    bool allowCancel = false;
};

// The dialog's prompt for a question (empty for None).
std::string countPrompt(CountQuestion question);

struct InsertResult {
    std::string message;      // not empty: refused with this text, nothing changed
    std::int32_t index = -1;  // where the new keyframe is
    CountRequest count;       // the count to ask for now (proposing 10, Cancel disabled)
};

// Inserts the active values as a new keyframe (count 0) in front of the
// keyframe at `row`, or after the last one for the "<end>" row. Refused when
// the active type differs from the first keyframe's (whatever the neighbours
// are), when no row is selected, and when the row lies beyond "<end>".
InsertResult insertActive(Document& doc, std::int32_t row);

// What "Keyframe Properties" asks for on `row`: the row's own count when a
// keyframe follows it, the previous keyframe's count on the last of several
// keyframes, nothing otherwise (Cancel enabled).
CountRequest propertiesRequest(const Document& doc, std::int32_t row);

// Stores a count chosen in the dialog. False when there is no such keyframe.
bool setTransitionCount(Document& doc, std::int32_t index, std::int32_t count);

struct DeleteResult {
    bool deleted = false;
    std::string message;  // "Frame not found" when the row holds no keyframe
};

// Deletes the keyframe at `row`; no other count changes. Nothing happens
// without a selection.
DeleteResult deleteKeyframe(Document& doc, std::int32_t row);

// The Transition Count dialog's OK: the entry read as a number (see
// readLeadingInt), refused with "Transition count must be at least 1" below 1.
struct CountEntry {
    bool accepted = false;
    std::int32_t count = 0;
    std::string message;
};
CountEntry readTransitionCount(const std::string& text);

}  // namespace velmora
