#pragma once
// Field-by-field little-endian encoding, so no file layout ever depends on the
// host's struct packing or byte order.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace velmora::le {

inline void putU8(std::vector<std::uint8_t>& out, std::uint8_t v) { out.push_back(v); }
inline void putU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 0; s < 32; s += 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}
inline void putI32(std::vector<std::uint8_t>& out, std::int32_t v) {
    putU32(out, static_cast<std::uint32_t>(v));
}
inline void putU64(std::vector<std::uint8_t>& out, std::uint64_t v) {
    for (int s = 0; s < 64; s += 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}
inline void putDouble(std::vector<std::uint8_t>& out, double v) {
    putU64(out, std::bit_cast<std::uint64_t>(v));
}
inline void putBytes(std::vector<std::uint8_t>& out, const std::uint8_t* p, std::size_t n) {
    out.insert(out.end(), p, p + n);
}

// Writes into a fixed place of a buffer (for headers built in place).
inline void storeU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void storeU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void storeI32(std::uint8_t* p, std::int32_t v) { storeU32(p, static_cast<std::uint32_t>(v)); }

inline std::uint16_t loadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t loadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t loadI32(const std::uint8_t* p) { return static_cast<std::int32_t>(loadU32(p)); }

// A bounds-checked reader over a byte span: every read either delivers all
// its bytes or fails, and a failure sticks.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_size - m_pos; }

    bool bytes(std::uint8_t* out, std::size_t n) {
        if (!m_ok || n > remaining()) return m_ok = false;
        if (n != 0) std::memcpy(out, m_data + m_pos, n);
        m_pos += n;
        return true;
    }
    bool U8(std::uint8_t& v) { return bytes(&v, 1); }
    bool I32(std::int32_t& v) {
        std::uint8_t b[4];
        if (!bytes(b, 4)) return false;
        v = loadI32(b);
        return true;
    }
    bool float64(double& v) {
        std::uint8_t b[8];
        if (!bytes(b, 8)) return false;
        std::uint64_t u = 0;
        for (int i = 7; i >= 0; --i) u = (u << 8) | b[i];
        v = std::bit_cast<double>(u);
        return true;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

}  // namespace velmora::le
