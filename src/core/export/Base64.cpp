#include "export/Base64.h"

#include <algorithm>
#include <array>

namespace velmora {
namespace {

constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int, 256> decodeTable() {
    std::array<int, 256> t{};
    for (auto& v : t) v = -1;
    for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kLetters[i])] = i;
    return t;
}

}  // namespace

std::string base64Encode(const std::vector<std::uint8_t>& bytes) {
    std::string s;
    s.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t v = static_cast<std::uint32_t>(bytes[i]) << 16;
        if (n > 1) v |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
        if (n > 2) v |= bytes[i + 2];
        for (std::size_t k = 0; k < 4; ++k) s += k <= n ? kLetters[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return s;
}

std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text) {
    static constexpr auto table = decodeTable();
    if (text.size() % 4 != 0) return std::nullopt;
    std::vector<std::uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        std::size_t pad = 0;
        if (last) pad = text[i + 3] == '=' ? (text[i + 2] == '=' ? 2 : 1) : 0;
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int d = k >= 4 - pad ? 0 : table[static_cast<unsigned char>(text[i + k])];
            if (d < 0) return std::nullopt;
            v = v << 6 | static_cast<std::uint32_t>(d);
        }
        // Bits a canonical encoder leaves zero under the padding.
        if ((pad == 1 && (v & 0xff) != 0) || (pad == 2 && (v & 0xffff) != 0)) return std::nullopt;
        for (std::size_t k = 0; k < 3 - pad; ++k) out.push_back(static_cast<std::uint8_t>(v >> (16 - 8 * k)));
    }
    return out;
}

}  // namespace velmora
