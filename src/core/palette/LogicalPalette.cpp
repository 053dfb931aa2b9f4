#include "palette/LogicalPalette.h"

#include <atomic>

namespace velmora {
namespace {
std::atomic<int> g_alive{0};
}

LogicalPalette::LogicalPalette() { ++g_alive; }
LogicalPalette::LogicalPalette(const LogicalPalette& other)
    : palVersion(other.palVersion), palNumEntries(other.palNumEntries), entries(other.entries) {
    ++g_alive;
}
LogicalPalette::~LogicalPalette() { --g_alive; }
int LogicalPalette::aliveCount() { return g_alive.load(); }

void fillLogicalPalette(const Palette& palette, LogicalPalette& out) {
    out.palVersion = 0x300;
    out.palNumEntries = 256;
    for (std::size_t i = 0; i < Palette::kEntries; ++i) {
        const RgbQuad q = palette.entry(i);
        out.entries[i] = PaletteEntry{q.red, q.green, q.blue, q.reserved};
    }
}

GdiPaletteHolder::GdiPaletteHolder(Host& host, MsgOwner owner, std::string ownerName)
    : m_host(&host), m_owner(owner), m_ownerName(std::move(ownerName)) {}

void GdiPaletteHolder::report(const char* text) {
    Message m;
    m.text = text;
    m.owner = m_owner;
    m.ownerName = m_ownerName;
    if (m_owner != MsgOwner::None) m.caption = kAppTitle;
    m_host->showMessage(m);
}

void GdiPaletteHolder::buildGdiPalette(const Palette& palette) {
    if (!allocateBlock()) {
        report("Not enough memory to create palette.");
        return;  // the previous palette stays in use
    }
    LogicalPalette block;
    fillLogicalPalette(palette, block);
    m_current.reset();  // release the previous one before creating the next
    if (!createPalette()) {
        report("Could not create palette.");
        m_current = std::make_unique<LogicalPalette>();  // empty: selecting it has no effect
        return;
    }
    m_current = std::make_unique<LogicalPalette>(block);
}

}  // namespace velmora
