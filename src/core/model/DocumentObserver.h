#pragma once
// How a document tells the windows that show it what changed, so that no
// window has to push updates into another.
namespace velmora {

using DocChanges = unsigned;
namespace doc_change {
inline constexpr DocChanges kValues = 1;     // region, type, limit, constant, size
inline constexpr DocChanges kPalette = 2;
inline constexpr DocChanges kPicture = 4;    // the pixels (rendered, blanked, replaced)
inline constexpr DocChanges kKeyframes = 8;  // keyframes and animation settings
inline constexpr DocChanges kModified = 16;
inline constexpr DocChanges kPath = 32;      // path name and title
inline constexpr DocChanges kAll = 63;
// Beside the others: the size was set or the contents replaced, so the
// picture is to be made anew, blank, at the document's size.
inline constexpr DocChanges kNewPicture = 64;
}  // namespace doc_change

class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    // Called on the thread that changed the document, after the change.
    virtual void documentChanged(DocChanges what) = 0;
};

}  // namespace velmora
