#pragma once
// What several fuzz targets share: a host that shows nothing and never cancels,
// argument lists cut from the input at NUL bytes, and PNG checksums made right.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

#include "base/Host.h"

namespace velmora::fuzz {

class QuietHost : public Host {
public:
    MsgAnswer showMessage(const Message& m) override {
        return m.buttons == MsgButtons::YesNo || m.buttons == MsgButtons::YesNoCancel ? MsgAnswer::No
                                                                                      : MsgAnswer::Ok;
    }
    bool pollCancelKey() override { return false; }
    void playQuestionSound() override {}
    void beep() override {}
    bool startPlayer(const std::string&, const std::string&) override { return false; }
};

// "a\0b\0\0c" gives {"a", "b", "", "c"}: a command line as the program gets it.
inline std::vector<std::string> arguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    if (size == 0) args.clear();
    return args;
}

// Every chunk's CRC made right, so mutations reach libpng's readers instead
// of stopping at the checksum.
inline void fixPngCrcs(std::vector<std::uint8_t>& png) {
    const auto bigEndian = [](const std::uint8_t* p) {
        return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
    };
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t length = bigEndian(&png[at]);
        if (length > png.size() - at - 12) return;
        const uLong crc = crc32(0, &png[at + 4], static_cast<uInt>(length + 4));
        for (int i = 0; i < 4; ++i) png[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

}  // namespace velmora::fuzz
