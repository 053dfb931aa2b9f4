#pragma once
// The help pages and pictures are compiled into the library; this registers
// them (once) before first use.
namespace velmora::gui {
void initResources();
}
