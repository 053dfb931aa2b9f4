#include "CliEdit.h"

#include <ostream>

#include "anim/AnimMessages.h"
#include "anim/KeyframeEdit.h"
#include "export/PngDocumentChunk.h"
#include "model/Document.h"
#include "palette/PaletteConvert.h"
#include "platform/ConsoleHost.h"

namespace velmora::cli {
namespace {

// A document to change in place: a .vmr that is there (an empty file opens
// as New's defaults, as in the program).
bool loadForEdit(const std::string& command, const std::string& path, Host& host, std::ostream& err,
                 DocumentContents& c) {
    if (isPngPath(path)) {
        err << command << ": " << path << " is a PNG; only .vmr documents are changed in place.\n";
        return false;
    }
    return readContents({path}, host, c);
}

// Keyframe INDEX as typed: a whole number naming a keyframe of the document.
bool keyframeIndex(const std::string& text, const Document& doc, std::int32_t& index, std::ostream& err) {
    if (parseInt32(text, index) && doc.keyframe(index) != nullptr) return true;
    err << "keyframe: '" << text << "' names no keyframe: give 0 to " << doc.keyframeCount() - 1 << ".\n";
    return false;
}

bool countAccepted(std::int32_t count, std::ostream& err) {
    if (count >= 1) return true;
    err << animtext::kCountTooSmall << ".\n";
    return false;
}

// The keyframe's values with the options laid over them, at the document's size.
bool changedKeyframe(const Options& o, const Document& doc, Keyframe& k, Host& host, std::ostream& err) {
    DocumentContents c;
    c.params = paramsOf(k, doc.width(), doc.height());
    c.palette = k.palette;
    Options location;
    location.overrides = o.overrides;
    location.palette = o.palette;
    if (!applyChanges(location, c, host, err)) return false;
    Document scratch(host);  // captureActive reads a document's active values
    scratch.setContents(std::move(c));
    captureActive(scratch, k);
    return true;
}

int addKeyframe(const Options& o, Document& doc, Host& host, std::ostream& err) {
    Keyframe fresh;
    captureActive(doc, fresh);
    if (!changedKeyframe(o, doc, fresh, host, err)) return 1;
    // Inserted as the frames window inserts the active values; those stay as they were.
    const FractalParams active = doc.params();
    const Palette activePalette = doc.palette();
    doc.setParams(paramsOf(fresh, doc.width(), doc.height()));
    doc.setPalette(fresh.palette);
    const InsertResult r = insertActive(doc, o.at.value_or(doc.keyframeCount()));
    doc.setParams(active);
    doc.setPalette(activePalette);
    if (!r.message.empty()) {
        err << r.message << '\n';
        return 1;
    }
    const std::int32_t count = o.transitions.value_or(r.count.initial);
    if (r.count.question == CountQuestion::None) return 0;
    if (!countAccepted(count, err)) return 1;
    setTransitionCount(doc, r.count.keyframe, count);
    return 0;
}

}  // namespace

bool applyChanges(const Options& o, DocumentContents& c, Host& host, std::ostream& err) {
    std::string error;
    if (!applyOverrides(o.overrides, c.params, error)) {
        err << error << '\n';
        return false;
    }
    if (o.palette && !loadPaletteFile(*o.palette, c.palette, host)) return false;
    const AnimationChanges& a = o.animation;
    if (a.width) c.animation.width = *a.width;
    if (a.height) c.animation.height = *a.height;
    if (a.style) c.animation.tweenStyle = *a.style;
    if (a.folder) c.animation.destFolder = *a.folder;
    if (a.playback) c.animation.playbackStyle = *a.playback;
    o.colour.applyTo(c.spread);
    return true;
}

int runKeyframe(const Options& o, std::ostream& out, std::ostream& err) {
    const auto& words = o.positional;
    const std::string action = words.empty() ? "" : words[0];
    const std::size_t wanted = action == "add" || action == "list" ? 2 : action == "set" || action == "remove" ? 3 : 0;
    if (wanted == 0 || words.size() != wanted) {
        err << "keyframe: give add DOC, list DOC, set DOC INDEX or remove DOC INDEX.\n";
        return 1;
    }
    ConsoleHost host(err);
    DocumentContents c;
    if (!loadForEdit("keyframe", words[1], host, err, c)) return 1;
    if (action == "list") {
        out << keyframesJson(c.keyframes) << '\n';
        return 0;
    }
    Document doc(host);  // no picture: the frames window's rules need only the values
    doc.setContents(std::move(c));
    std::int32_t index = 0;
    if (action == "add") {
        if (addKeyframe(o, doc, host, err) != 0) return 1;
    } else if (!keyframeIndex(words[2], doc, index, err)) {
        return 1;
    } else if (action == "remove") {
        deleteKeyframe(doc, index);
    } else {
        Keyframe k = *doc.keyframe(index);
        if (!changedKeyframe(o, doc, k, host, err)) return 1;
        if (o.transitions) {
            if (!countAccepted(*o.transitions, err)) return 1;
            k.transitions = *o.transitions;
        }
        doc.editKeyframes([&](std::vector<Keyframe>& all) { all[static_cast<std::size_t>(index)] = k; });
    }
    return saveDocumentContents(doc.contents(), words[1], host) ? 0 : 1;
}

int runSet(const Options& o, std::ostream& err) {
    if (o.positional.size() != 1) {
        err << "set: give the document to change.\n";
        return 1;
    }
    ConsoleHost host(err);
    DocumentContents c;
    if (!loadForEdit("set", o.positional[0], host, err, c) || !applyChanges(o, c, host, err)) return 1;
    return saveDocumentContents(c, o.positional[0], host) ? 0 : 1;
}

}  // namespace velmora::cli
