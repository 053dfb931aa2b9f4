#include "model/BookmarkList.h"

#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"
#include "model/DocumentFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace velmora {

namespace {

constexpr std::size_t kPlainFields = 9;
constexpr std::size_t kExactFields = 6;

void appendEscaped(std::string& out, std::string_view name) {
    for (const char c : name) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
}

// False for an escape that was not written by appendEscaped.
bool unescape(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return false;
        switch (text[i]) {
            case '\\': out += '\\'; break;
            case 't': out += '\t'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            default: return false;
        }
    }
    return true;
}

void appendDouble(std::string& out, double value) {
    char buffer[32];
    // The shortest text that reads back to the same double.
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

bool readDouble(std::string_view text, double& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool readInt(std::string_view text, std::int32_t& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> split(std::string_view line, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(separator, start);
        parts.push_back(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

bool readLine(std::string_view line, Bookmark& out) {
    const std::vector<std::string_view> f = split(line, '\t');
    if (f.size() != kPlainFields && f.size() != kPlainFields + kExactFields) return false;
    Bookmark b;
    FractalParams& p = b.location;
    std::int32_t type = 0;
    if (!unescape(f[0], b.name) || !readInt(f[1], type) || !readDouble(f[2], p.left) ||
        !readDouble(f[3], p.top) || !readDouble(f[4], p.right) || !readDouble(f[5], p.bottom) ||
        !readDouble(f[6], p.cReal) || !readDouble(f[7], p.cImag) || !readInt(f[8], p.iterations))
        return false;
    if (type != static_cast<std::int32_t>(FractalType::Mandelbrot) &&
        type != static_cast<std::int32_t>(FractalType::Julia))
        return false;
    p.type = static_cast<FractalType>(type);
    if (f.size() > kPlainFields) {
        // All six or none, each decimal text whose nearest double is the one
        // stored beside it: anything else was not written by us.
        ExactLocation e;
        std::string* exact[kExactFields] = {&e.left, &e.top, &e.right, &e.bottom, &e.cReal, &e.cImag};
        for (std::size_t i = 0; i < kExactFields; ++i) {
            const std::string_view text = f[kPlainFields + i];
            if (!isDecimalText(text)) return false;
            exact[i]->assign(text);
        }
        FractalParams q = p;
        if (!assignExact(q, e)) return false;
        if (q.left != p.left || q.top != p.top || q.right != p.right || q.bottom != p.bottom ||
            q.cReal != p.cReal || q.cImag != p.cImag)
            return false;
        p = std::move(q);
    }
    if (!canBookmark(b)) return false;
    out = std::move(b);
    return true;
}

// Characters of UTF-8 are counted by their first bytes; so that stray
// continuation bytes cannot pass unnoticed, no character takes more than four.
bool nameFits(std::string_view name) {
    return name.size() <= 4 * kMaxBookmarkName &&
           static_cast<std::size_t>(std::count_if(name.begin(), name.end(), [](char c) {
               return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
           })) <= kMaxBookmarkName;
}

}  // namespace

std::string bookmarksToText(const std::vector<Bookmark>& bookmarks, const std::vector<std::string>& unreadable) {
    std::string out;
    for (const Bookmark& b : bookmarks) {
        const FractalParams& p = b.location;
        appendEscaped(out, b.name);
        out += '\t';
        out += std::to_string(static_cast<std::int32_t>(p.type));
        for (const double v : {p.left, p.top, p.right, p.bottom, p.cReal, p.cImag}) {
            out += '\t';
            appendDouble(out, v);
        }
        out += '\t';
        out += std::to_string(p.iterations);
        if (!p.exact.empty()) {
            for (const std::string* v : {&p.exact.left, &p.exact.top, &p.exact.right, &p.exact.bottom,
                                         &p.exact.cReal, &p.exact.cImag}) {
                out += '\t';
                out += *v;
            }
        }
        out += '\n';
    }
    for (const std::string& line : unreadable) {
        out += line;
        out += '\n';
    }
    return out;
}

BookmarkLines readBookmarkLines(std::string_view text) {
    BookmarkLines lines;
    for (const std::string_view raw : split(text, '\n')) {
        std::string_view line = raw;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        Bookmark b;
        if (readLine(line, b)) {
            lines.bookmarks.push_back(std::move(b));
        } else {
            lines.unreadable.emplace_back(raw);
        }
    }
    return lines;
}

std::vector<Bookmark> bookmarksFromText(std::string_view text) { return readBookmarkLines(text).bookmarks; }

bool canBookmark(const Bookmark& bookmark) {
    const std::int32_t it = bookmark.location.iterations;
    return nameFits(bookmark.name) && it >= 1 && it <= kMaxStorableIterations;
}

FractalParams bookmarkLocation(const FractalParams& values) {
    FractalParams location = values;
    location.width = FractalParams{}.width;
    location.height = FractalParams{}.height;
    return location;
}

FractalParams atBookmark(const FractalParams& current, const Bookmark& bookmark) {
    FractalParams values = bookmark.location;
    values.width = current.width;
    values.height = current.height;
    return values;
}

}  // namespace velmora
