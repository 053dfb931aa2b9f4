#pragma once
// What the frames window's list shows and which editing buttons it allows,
// decided without a window.
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

class Document;

struct FramesListRow {
    std::string keyframe;     // "1", "2 *" for the marked one, "<end>"
    std::string transitions;  // the count, "-" for the last keyframe, " " for "<end>"
};

// One row per keyframe, then "<end>". `marked` is the 1-based number of the
// keyframe whose row carries " *", or -1 for none.
std::vector<FramesListRow> framesListRows(const Document& doc, std::int32_t marked);

enum class EditButtons {
    AllDisabled,  // the window is not active, or no row is selected
    InsertOnly,   // the "<end>" row
    AllEnabled,   // a keyframe row
    NoSuchRow,    // a row beyond "<end>": "This frame does not exist!", buttons unchanged
};

// The state of the five editing buttons ("&Render Anim", "&Script" and "&Help"
// are never disabled). `row` is the selected row or -1.
EditButtons editButtonsFor(bool windowActive, std::int32_t row, std::int32_t keyframeCount);

}  // namespace velmora
