#include "model/SettingsCheck.h"

#include <cstdint>
#include <limits>

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

}  // namespace

SettingsFields settingsFieldsFrom(const Document& doc) {
    const FractalParams& p = doc.m_params;
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
    f.mandelbrot = p.type == FractalType::Mandelbrot;
    return f;
}

SettingsResult applySettings(Document& doc, Host& host, const SettingsFields& fields) {
    FractalParams& p = doc.m_params;
    p.left = parseReal(fields.left);
    p.right = parseReal(fields.right);
    p.top = parseReal(fields.top);
    p.bottom = parseReal(fields.bottom);
    p.cReal = parseReal(fields.cReal);
    p.cImag = parseReal(fields.cImag);
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

    const std::int32_t x = parseInteger(fields.xPels);
    if (x < 1) {
        refuse(host, "Horizontal resolution must be at least 1 pixel.", "Resolution");
        return SettingsResult::XPels;
    }
    const std::int32_t y = parseInteger(fields.yPels);
    if (y < 1) {
        refuse(host, "Vertical resolution must be at least 1 pixel.", "Resolution");
        return SettingsResult::YPels;
    }
    // Compared with the picture that exists: an unchanged size keeps it.
    const bool hasEngine = doc.m_engine != nullptr;
    const std::int32_t currentWidth = hasEngine ? doc.m_engine->width() : doc.width();
    const std::int32_t currentHeight = hasEngine ? doc.m_engine->height() : doc.height();
    if (!hasEngine || x != currentWidth || y != currentHeight) doc.setResolution(x, y);
    return SettingsResult::Accepted;
}

}  // namespace velmora
