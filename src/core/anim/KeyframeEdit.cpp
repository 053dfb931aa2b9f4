#include "anim/KeyframeEdit.h"

#include "anim/AnimMessages.h"
#include "model/DialogNumber.h"

namespace velmora {
namespace {

constexpr std::int32_t kProposedCount = 10;

// The dialog reads at most this many characters of the entry.
constexpr std::size_t kCountEntryChars = 127;

}  // namespace

void captureActive(const Document& doc, Keyframe& k) {
    const FractalParams& p = doc.params();
    k.left = p.left;
    k.right = p.right;
    k.top = p.top;
    k.bottom = p.bottom;
    k.cReal = p.cReal;
    k.cImag = p.cImag;
    k.exact = p.exact;
    k.type = static_cast<std::int32_t>(p.type);
    k.iterations = p.iterations;
    k.palette = doc.palette();
}

void applyToActive(Document& doc, const Keyframe& k) {
    doc.setParams(paramsOf(k, doc.width(), doc.height()));
    doc.setPalette(k.palette);
}

std::string countPrompt(CountQuestion question) {
    switch (question) {
        case CountQuestion::UntilNext:
            return animtext::kAskUntilNext;
        case CountQuestion::AfterPrevious:
            return animtext::kAskAfterPrevious;
        case CountQuestion::None:
            break;
    }
    return {};
}

InsertResult insertActive(Document& doc, std::int32_t row) {
    InsertResult r;
    const std::int32_t count = doc.keyframeCount();
    // Only the first keyframe is compared: every insert goes through here.
    if (count > 0 && doc.keyframe(0)->type != static_cast<std::int32_t>(doc.params().type)) {
        r.message = animtext::kTypeMismatch;
        return r;
    }
    if (row < 0) {
        r.message = animtext::kSelectFirst;
        return r;
    }
    if (row > count) {  // a row beyond "<end>" in a list that is out of date
        r.message = animtext::kInsertNotFound;
        return r;
    }
    Keyframe fresh;
    fresh.transitions = 0;
    captureActive(doc, fresh);
    doc.editKeyframes([&](std::vector<Keyframe>& k) { k.insert(k.begin() + row, fresh); });
    r.index = row;

    const std::int32_t n = count + 1;
    if (row < n - 1) {
        r.count = {CountQuestion::UntilNext, row, kProposedCount, false};
    } else if (n > 1) {
        r.count = {CountQuestion::AfterPrevious, row - 1, kProposedCount, false};
    }
    return r;
}

CountRequest propertiesRequest(const Document& doc, std::int32_t row) {
    const std::int32_t count = doc.keyframeCount();
    const Keyframe* k = doc.keyframe(row);
    if (k == nullptr) return {};
    if (row < count - 1) return {CountQuestion::UntilNext, row, k->transitions, true};
    if (count > 1) return {CountQuestion::AfterPrevious, row - 1, doc.keyframe(row - 1)->transitions, true};
    return {};
}

bool setTransitionCount(Document& doc, std::int32_t index, std::int32_t count) {
    if (doc.keyframe(index) == nullptr) return false;
    doc.editKeyframes([&](std::vector<Keyframe>& k) { k[static_cast<std::size_t>(index)].transitions = count; });
    return true;
}

DeleteResult deleteKeyframe(Document& doc, std::int32_t row) {
    DeleteResult r;
    if (row < 0) return r;
    if (doc.keyframe(row) == nullptr) {
        r.message = animtext::kDeleteNotFound;
        return r;
    }
    doc.editKeyframes([&](std::vector<Keyframe>& k) { k.erase(k.begin() + row); });
    r.deleted = true;
    return r;
}

CountEntry readTransitionCount(const std::string& text) {
    CountEntry e;
    const std::int32_t value = readLeadingInt(std::string_view(text).substr(0, kCountEntryChars));
    if (value < 1) {
        e.message = animtext::kCountTooSmall;
        return e;
    }
    e.accepted = true;
    e.count = value;
    return e;
}

}  // namespace velmora
