#pragma once
// velmora-cli anim: renders a document's animation into its frames folder.
#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::cli {

// args are those after "anim". Returns the exit code: 0 when every requested
// frame and the script were written, 1 with the message on stderr otherwise.
int RunAnim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progressToErr);

// The command's usage text.
void AnimHelp(std::ostream& out);

}  // namespace velmora::cli
