#include "model/SettingsCheck.h"

#include <cstdint>
#include <limits>

#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"
#include "model/SettingsText.h"

namespace velmora {

namespace {

void refuse(Host& host, const char* text, const char* caption) {
    Message m;
    m.text = text;
    m.caption = caption;
    m.icon = MsgIcon::None;
    m.buttons = MsgButtons::Ok;
    m.owner = MsgOwner::Dialog;
    m.ownerName = kSettingsDialogName;
    host.showMessage(m);
}

// The value of a field as today's dialog reads it, and its text: as typed when
// that is a decimal number whose nearest double is the value read (so digits
// beyond a double's are kept), else the value's own text.
void take(const std::string& typed, double& value, std::string& text) {
    value = parseReal(typed);
    double nearest = 0.0;
    text = nearestDouble(typed, nearest) && nearest == value ? typed : shortestDecimal(value);
}

// Stores the region and the constant. A location with exact values keeps them
// for the fields left as they were shown (the edges, the constant); edited
// fields, and every field of a location without them, are read as typed.
void storeLocation(FractalParams& p, const SettingsFields& shown, const SettingsFields& f) {
    const bool exact = !p.exact.empty();
    const bool edgesKept = exact && f.left == shown.left && f.right == shown.right && f.top == shown.top &&
                           f.bottom == shown.bottom;
    const bool constantKept = exact && f.cReal == shown.cReal && f.cImag == shown.cImag;
    ExactLocation text = exactTextOf(p);
    FractalParams typed = p;
    if (!edgesKept) {
        take(f.left, typed.left, text.left);
        take(f.right, typed.right, text.right);
        take(f.top, typed.top, text.top);
        take(f.bottom, typed.bottom, text.bottom);
    }
    if (!constantKept) {
        take(f.cReal, typed.cReal, text.cReal);
        take(f.cImag, typed.cImag, text.cImag);
    }
    FractalParams withText = typed;
    if (assignExact(withText, text)) {
        p = withText;
    } else {
        // A value that is no number ("nan"): the doubles as read, as always.
        p = typed;
        p.exact.clear();
    }
}

}  // namespace

SettingsFields settingsFieldsFrom(const Document& doc) {
    const FractalParams& p = doc.params();
    SettingsFields f;
    f.left = formatReal(p.left, RealStyle::Region);
    f.right = formatReal(p.right, RealStyle::Region);
    f.top = formatReal(p.top, RealStyle::Region);
    f.bottom = formatReal(p.bottom, RealStyle::Region);
    f.cReal = formatReal(p.cReal, RealStyle::Constant);
    f.cImag = formatReal(p.cImag, RealStyle::Constant);
    // Widened: a stored limit of INT32_MIN must not overflow when shown.
    f.detailLevel = std::to_string(std::int64_t{p.iterations} - 1);
    f.xPels = formatInteger(doc.width());
    f.yPels = formatInteger(doc.height());
    f.density = shortestDecimal(doc.colourSpread().density);
    f.offset = shortestDecimal(doc.colourSpread().offset);
    f.mandelbrot = p.type == FractalType::Mandelbrot;
    return f;
}

namespace {

// Takes the fields in turn into p; what was taken before a refusal stays.
SettingsResult takeFields(FractalParams& p, const Document& doc, Host& host, const SettingsFields& fields,
                          std::int32_t& x, std::int32_t& y, ColourSpread& spread) {
    storeLocation(p, settingsFieldsFrom(doc), fields);
    p.type = fields.mandelbrot ? FractalType::Mandelbrot : FractalType::Julia;

    const std::int32_t detail = parseInteger(fields.detailLevel);
    if (detail < 1) {
        refuse(host, "Number of iterations must be an\ninteger greater than or equal to 1.", "Iterations");
        return SettingsResult::DetailLevel;
    }
    if (detail == std::numeric_limits<std::int32_t>::max()) {
        refuse(host, "Maximum number of iterations must be\nless than or equal to 2147483647.", "Iterations");
        return SettingsResult::DetailLevel;
    }
    p.iterations = detail + 1;

    x = parseInteger(fields.xPels);
    if (x < 1) {
        refuse(host, "Horizontal resolution must be at least 1 pixel.", "Resolution");
        return SettingsResult::XPels;
    }
    y = parseInteger(fields.yPels);
    if (y < 1) {
        refuse(host, "Vertical resolution must be at least 1 pixel.", "Resolution");
        return SettingsResult::YPels;
    }
    spread.density = parseReal(fields.density);
    if (!colourDensityAllowed(spread.density) || spread.density == std::numeric_limits<double>::max()) {
        refuse(host, "Colour density must be a number greater than 0.", "Colour");
        return SettingsResult::Density;
    }
    spread.offset = parseReal(fields.offset);
    if (!colourOffsetAllowed(spread.offset)) {
        refuse(host, "Colour offset must be at least 0 and less than 256.", "Colour");
        return SettingsResult::Offset;
    }
    return SettingsResult::Accepted;
}

}  // namespace

SettingsResult applySettings(Document& doc, Host& host, const SettingsFields& fields) {
    FractalParams p = doc.params();
    std::int32_t x = 0, y = 0;
    ColourSpread spread;
    const SettingsResult taken = takeFields(p, doc, host, fields, x, y, spread);
    doc.setParams(p);
    if (taken != SettingsResult::Accepted) return taken;
    if (spread != doc.colourSpread()) doc.setColourSpread(spread);
    // An unchanged size keeps the picture.
    if (x != doc.width() || y != doc.height()) doc.setResolution(x, y);
    return SettingsResult::Accepted;
}

}  // namespace velmora
