#include "JsonDocument.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <limits>

#include "location/ExactLocationValues.h"

namespace velmora::cli {
namespace {

using nlohmann::json;

// A field of the wrong kind or range: ends the reading with its message.
struct BadField {
    std::string message;
};

[[noreturn]] void bad(const std::string& field, const std::string& expected) {
    throw BadField{"The field \"" + field + "\" must be " + expected + "."};
}

// Doubles come as numbers, or as "nan", "inf" and "-inf", which JSON cannot write.
void read(const json& o, const char* field, double& out) {
    if (!o.contains(field)) return;
    const json& v = o[field];
    if (v.is_number()) {
        out = v.get<double>();
    } else if (v == "nan") {
        out = std::numeric_limits<double>::quiet_NaN();
    } else if (v == "inf" || v == "-inf") {
        out = v == "inf" ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
    } else {
        bad(field, "a number, \"nan\", \"inf\" or \"-inf\"");
    }
}

template <class Int>
void read(const json& o, const char* field, Int& out) {
    if (!o.contains(field)) return;
    const json& v = o[field];
    if (!v.is_number_integer()) bad(field, "a whole number");
    const auto n = v.get<std::int64_t>();
    if (n < std::numeric_limits<Int>::min() || n > std::numeric_limits<Int>::max())
        bad(field, "a whole number from " + std::to_string(std::numeric_limits<Int>::min()) + " to " +
                       std::to_string(std::numeric_limits<Int>::max()));
    out = static_cast<Int>(n);
}

void read(const json& o, const char* field, bool& out) {
    if (!o.contains(field)) return;
    if (!o[field].is_boolean()) bad(field, "true or false");
    out = o[field].get<bool>();
}

void read(const json& o, const char* field, std::string& out) {
    if (!o.contains(field)) return;
    if (!o[field].is_string()) bad(field, "a string");
    out = o[field].get<std::string>();
}

void read(const json& o, const char* field, Palette& out) {
    if (!o.contains(field)) return;
    const json& v = o[field];
    if (!v.is_string() || v.get<std::string>().size() != 2 * Palette::kBytes) bad(field, "2048 hexadecimal digits");
    const std::string hex = v.get<std::string>();
    const auto digit = [&](char ch) -> int {
        if (ch >= '0' && ch <= '9') return ch - '0';
        if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
        if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
        bad(field, "2048 hexadecimal digits");
    };
    for (std::size_t i = 0; i < Palette::kBytes; ++i)
        out.bytes()[i] = static_cast<std::uint8_t>(digit(hex[2 * i]) << 4 | digit(hex[2 * i + 1]));
}

// The exact values, when given, decide the doubles; they are kept only where
// they carry more than the doubles, as every other way of setting them does.
template <class Location>
void readExact(const json& o, Location& at) {
    if (!o.contains("exact")) return;
    const json& e = o["exact"];
    if (!e.is_object()) bad("exact", "an object of six decimal strings");
    ExactLocation text = exactTextOf(at);
    read(e, "left", text.left);
    read(e, "top", text.top);
    read(e, "right", text.right);
    read(e, "bottom", text.bottom);
    read(e, "cReal", text.cReal);
    read(e, "cImag", text.cImag);
    // A value the doubles cannot name ("nan") leaves the doubles as given.
    assignExact(at, text);
}

template <class Location>
void readLocation(const json& o, Location& at) {
    read(o, "left", at.left);
    read(o, "top", at.top);
    read(o, "right", at.right);
    read(o, "bottom", at.bottom);
    read(o, "cReal", at.cReal);
    read(o, "cImag", at.cImag);
    read(o, "iterations", at.iterations);
    readExact(o, at);
}

void readAll(const json& o, DocumentContents& c) {
    if (!o.is_object()) throw BadField{"The text is not a JSON object."};
    FractalParams& p = c.params;
    std::int32_t type = static_cast<std::int32_t>(p.type);
    read(o, "type", type);
    p.type = static_cast<FractalType>(type);
    read(o, "width", p.width);
    read(o, "height", p.height);
    readLocation(o, p);
    auto playback = static_cast<std::uint8_t>(c.animation.playbackStyle);
    auto tween = static_cast<std::uint8_t>(c.animation.tweenStyle);
    read(o, "playbackStyle", playback);
    read(o, "tweenStyle", tween);
    c.animation.playbackStyle = static_cast<PlaybackStyle>(playback);
    c.animation.tweenStyle = static_cast<TweenStyle>(tween);
    read(o, "animWidth", c.animation.width);
    read(o, "animHeight", c.animation.height);
    read(o, "destFolder", c.animation.destFolder);
    read(o, "animSmooth", c.animation.smooth);
    read(o, "colourDensity", c.spread.density);
    read(o, "colourOffset", c.spread.offset);
    if (!colourDensityAllowed(c.spread.density)) bad("colourDensity", "a finite number greater than 0");
    if (!colourOffsetAllowed(c.spread.offset)) bad("colourOffset", "a number from 0 up to 256, 256 excluded");
    read(o, "palette", c.palette);
    if (!o.contains("keyframes")) return;
    if (!o["keyframes"].is_array()) bad("keyframes", "an array");
    c.keyframes.clear();
    for (const json& k : o["keyframes"]) {
        if (!k.is_object()) bad("keyframes", "an array of objects");
        Keyframe frame;
        read(k, "type", frame.type);
        read(k, "transitions", frame.transitions);
        read(k, "palette", frame.palette);
        readLocation(k, frame);
        c.keyframes.push_back(std::move(frame));
    }
}

}  // namespace

bool contentsFromJson(const std::string& text, DocumentContents& c, std::string& error) {
    try {
        readAll(json::parse(text), c);
        return true;
    } catch (const BadField& b) {
        error = b.message;
    } catch (const json::exception& e) {
        error = std::string("The text is not JSON that Velmora reads: ") + e.what();
    }
    return false;
}

bool contentsFromJsonFile(const std::string& path, DocumentContents& c, std::string& error) {
    // A gigabyte is far above the text of any document that fits in memory.
    constexpr std::uintmax_t kMaxBytes = std::uintmax_t{1} << 30;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in) {
        error = path + " cannot be read.";
        return false;
    }
    if (size > kMaxBytes) {
        error = path + " is larger than any document's text.";
        return false;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(size));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (contentsFromJson(text, c, error)) return true;
    error = path + ": " + error;
    return false;
}

}  // namespace velmora::cli
