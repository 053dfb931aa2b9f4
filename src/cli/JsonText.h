#pragma once
// Just enough JSON for the info command: exact doubles and escaped strings.
#include <string>

namespace velmora::json {

// Shortest text that reads back as the same double; -0 as -0.0; NaN and the
// infinities as the strings "nan", "inf" and "-inf".
std::string number(double value);

// A quoted, escaped JSON string.
std::string string(const std::string& text);

}  // namespace velmora::json
