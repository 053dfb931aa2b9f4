#pragma once
// Base64 (RFC 4648, with padding) for binary data carried in a text chunk.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

std::string base64Encode(const std::vector<std::uint8_t>& bytes);
// Nothing when the text is not canonical base64 (a wrong letter or length).
std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text);

}  // namespace velmora
