#pragma once
// The platform palette built from a Palette by the one rule shared by every
// holder. On a true-colour display selecting it does nothing; it is kept as a
// plain value so the rule stays testable.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "palette/Palette.h"
#include "platform/Host.h"

namespace velmora {

struct PaletteEntry {
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

struct LogicalPalette {
    std::uint16_t palVersion = 0;
    std::uint16_t palNumEntries = 0;
    std::array<PaletteEntry, 256> entries{};

    static int aliveCount();  // how many exist right now, over all holders
    LogicalPalette();
    LogicalPalette(const LogicalPalette&);
    LogicalPalette& operator=(const LogicalPalette&) = default;
    ~LogicalPalette();
};

// The rule itself: version 0x300, 256 entries, red/green/blue swapped into
// place, flags taken from the reserved byte.
void fillLogicalPalette(const Palette& palette, LogicalPalette& out);

// Owns at most one logical palette and rebuilds it on request. Failures are
// reported through the Host in the holder's own way (owner and caption).
class GdiPaletteHolder {
public:
    GdiPaletteHolder(Host& host, MsgOwner owner, std::string ownerName = {});
    virtual ~GdiPaletteHolder() = default;
    GdiPaletteHolder(const GdiPaletteHolder&) = delete;
    GdiPaletteHolder& operator=(const GdiPaletteHolder&) = delete;

    void buildGdiPalette(const Palette& palette);

    // None before the first build; an empty palette (0 entries) after a
    // failed creation.
    const LogicalPalette* get() const { return m_current.get(); }

    void setHost(Host& host) { m_host = &host; }

protected:
    // Seams for the two platform failures; the defaults never fail.
    virtual bool allocateBlock() { return true; }
    virtual bool createPalette() { return true; }

private:
    void report(const char* text);

    Host* m_host;
    MsgOwner m_owner;
    std::string m_ownerName;
    std::unique_ptr<LogicalPalette> m_current;
};

}  // namespace velmora
