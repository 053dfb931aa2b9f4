#pragma once
// The file dialogs' texts for palette files, in the forms a desktop file
// dialog wants, and the default extension rule.
#include <string>

namespace velmora {

// "Desc (*.a)|*.a|Other (*.*)|*.*||" becomes "Desc (*.a);;Other (*.*)": the
// descriptions stay as written, each followed by its pattern in brackets
// unless it already shows it.
std::string dialogFilterList(const std::string& pipeFilter);

// The path with "." + ext added when its file name has no extension;
// otherwise unchanged. An empty path stays empty.
std::string withDefaultExtension(const std::string& path, const std::string& ext);

}  // namespace velmora
