#pragma once
// Helpers shared by the palette tests.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>

#include "FakeHost.h"
#include "palette/Palette.h"
#include "palette/PaletteFiles.h"
#include "palette/PaletteStreams.h"

namespace velmora::test {

// A palette where every byte differs from its neighbours, reserved bytes
// included, so any stray write shows.
inline Palette patternPalette(int seed = 0) {
    Palette p;
    for (std::size_t i = 0; i < Palette::kBytes; ++i)
        p.bytes()[i] = static_cast<std::uint8_t>((i * 7 + static_cast<std::size_t>(seed) * 13 + 3) & 0xFF);
    return p;
}

// 256 lines of "r g b" with entry i = (i, 255 - i, i / 2), plus what follows.
inline std::string mapText(int lines = 256, const std::string& eol = "\n") {
    std::string s;
    for (int i = 0; i < lines; ++i)
        s += std::to_string(i) + " " + std::to_string(255 - i) + " " + std::to_string(i / 2) + eol;
    return s;
}

// A Host plus a context that counts the grid's rebuild-and-repaint requests.
struct PaletteUi {
    FakeHost host;
    int rebuilds = 0;
    PaletteFileContext ctx{host, "Palette Editor", [this] { ++rebuilds; }};

    PaletteUi() { host.allowMessages = true; }

    // Exactly one message with this text and icon, shown the editor's way.
    void expectOnly(const std::string& text, MsgIcon icon) const {
        ASSERT_EQ(host.messages.size(), 1u) << (host.messages.empty() ? "" : host.messages[0].text);
        const Message& m = host.messages[0];
        EXPECT_EQ(std::tuple(m.text, m.icon, m.caption, m.buttons, m.owner),
                  std::tuple(text, icon, "Velmora", MsgButtons::Ok, MsgOwner::Dialog));
    }
    void expectNone() const { EXPECT_TRUE(host.messages.empty()) << host.messages.front().text; }
};

}  // namespace velmora::test
