#pragma once
// velmora-cli's edits of a document: the options laid over its contents (for
// render, new and set), and the keyframe and set commands, which save the
// document in place through the safe save and keep the rest of it.
#include <iosfwd>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "model/DocumentFile.h"

namespace velmora {
class Host;
}

namespace velmora::cli {

// Lays the overrides, the palette file and the animation settings over the
// contents. False, with the message said, when one cannot be taken.
bool applyChanges(const Options& o, DocumentContents& c, Host& host, std::ostream& err);

int runKeyframe(const Options& o, std::ostream& out, std::ostream& err);
int runSet(const Options& o, std::ostream& err);

// Shared with info: the new document's contents, or the file's when one is
// named, read without making a picture; the keyframes as a JSON array.
bool readContents(const std::vector<std::string>& positional, Host& host, DocumentContents& c);
std::string keyframesJson(const std::vector<Keyframe>& keyframes);

}  // namespace velmora::cli
