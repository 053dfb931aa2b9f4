#pragma once
// The 256-colour table: 256 RGBQUAD entries (blue, green, red, reserved),
// exactly 1024 bytes, used byte for byte everywhere.
#include <array>
#include <cstddef>
#include <cstdint>

namespace velmora {

struct RgbQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
    friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};

class Palette {
public:
    static constexpr std::size_t kEntries = 256;
    static constexpr std::size_t kBytes = kEntries * 4;

    Palette() = default;  // all zero

    RgbQuad entry(std::size_t i) const {
        const std::uint8_t* p = &m_bytes[i * 4];
        return RgbQuad{p[0], p[1], p[2], p[3]};
    }
    void setEntry(std::size_t i, const RgbQuad& q) {
        std::uint8_t* p = &m_bytes[i * 4];
        p[0] = q.blue;
        p[1] = q.green;
        p[2] = q.red;
        p[3] = q.reserved;
    }
    void clearReserved() {
        for (std::size_t i = 0; i < kEntries; ++i) m_bytes[i * 4 + 3] = 0;
    }

    std::uint8_t* bytes() { return m_bytes.data(); }
    const std::uint8_t* bytes() const { return m_bytes.data(); }
    std::array<std::uint8_t, kBytes>& raw() { return m_bytes; }
    const std::array<std::uint8_t, kBytes>& raw() const { return m_bytes; }

    friend bool operator==(const Palette&, const Palette&) = default;

private:
    std::array<std::uint8_t, kBytes> m_bytes{};
};

static_assert(sizeof(Palette) == Palette::kBytes);

}  // namespace velmora
