#pragma once
// The "Fractal Image Settings" dialog without its window: the texts it shows
// for a document, and OK's store-and-check sequence with its messages. The
// dialog only moves text in and out of its controls.
#include <string>

#include "model/Document.h"
#include "base/Host.h"

namespace velmora {

struct SettingsFields {
    std::string left;
    std::string right;
    std::string top;
    std::string bottom;
    std::string cReal;
    std::string cImag;
    std::string detailLevel;
    std::string xPels;
    std::string yPels;
    bool mandelbrot = true;  // else the Julia radio is checked
    std::string density = "1";  // the colour spread of smooth pictures
    std::string offset = "0";
};

// What OK ended with: accepted, or the field whose check refused it.
enum class SettingsResult { Accepted, DetailLevel, XPels, YPels, Density, Offset };

// Names the dialog as owner of its message boxes.
inline constexpr const char* kSettingsDialogName = "SettingsDialog";

// The texts the dialog opens with. Any type but Mandelbrot shows as Julia.
SettingsFields settingsFieldsFrom(const Document& doc);

// OK: stores the region, the Julia constant and the type at once (the exact
// values of a deep location stay for the fields left as shown; typed decimal
// text keeps digits beyond a double's), then checks
// and stores the Detail Level, then checks the size and the colour density
// (above 0) and offset (0 up to 256, 256 excluded), then stores the colour
// spread and replaces the engine only when the size changed. The first failing check shows its message (owned
// by the dialog) and stops; what was stored before it stays stored.
SettingsResult applySettings(Document& doc, Host& host, const SettingsFields& fields);

}  // namespace velmora
