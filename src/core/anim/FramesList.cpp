#include "anim/FramesList.h"

#include "model/Document.h"

namespace velmora {

std::vector<FramesListRow> framesListRows(const Document& doc, std::int32_t marked) {
    std::vector<FramesListRow> rows;
    const std::int32_t count = doc.keyframeCount();
    rows.reserve(static_cast<std::size_t>(count) + 1);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t number = i + 1;
        FramesListRow row;
        row.keyframe = std::to_string(number) + (number == marked ? " *" : "");
        // The last keyframe's count leads nowhere.
        row.transitions = number == count ? "-" : std::to_string(doc.keyframe(i)->transitions);
        rows.push_back(std::move(row));
    }
    rows.push_back({"<end>", " "});
    return rows;
}

EditButtons editButtonsFor(bool windowActive, std::int32_t row, std::int32_t keyframeCount) {
    if (!windowActive || row < 0) return EditButtons::AllDisabled;
    if (row == keyframeCount) return EditButtons::InsertOnly;
    if (row < keyframeCount) return EditButtons::AllEnabled;
    return EditButtons::NoSuchRow;
}

}  // namespace velmora
