// The bookmark list's settings text: every location comes back as it was, and
// whatever damage the stored text took, reading it never trusts a broken line
// and writing the list back keeps that line as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <string>
#include <vector>

#include "location/ExactLocationValues.h"
#include "model/BookmarkList.h"
#include "model/DocumentFile.h"

namespace velmora {
namespace {

Bookmark mark(std::string name, double left, FractalType type = FractalType::Mandelbrot) {
    Bookmark b;
    b.name = std::move(name);
    b.location.left = left;
    b.location.type = type;
    return b;
}

// A well-formed line whose fields the bad-input cases below spoil one at a time.
const std::string kGood = "Seahorse\t1\t-0.75\t0.1\t-0.74\t0.11\t0.3\t0.6\t501\n";

TEST(BookmarkList, LocationsComeBackBitForBit) {
    std::vector<Bookmark> all{mark("plain", -2.0), mark("tab\there, line\nbreak, back\\slash\r", 0.1),
                              mark("", 1.0 / 3.0, FractalType::Julia), mark("Julia \xe2\x80\x93 \xc3\xbcnicode", -0.0)};
    FractalParams& j = all[2].location;
    j.cReal = -0.7453;
    j.cImag = 0.1127;
    j.iterations = kMaxStorableIterations;
    j.top = std::numeric_limits<double>::denorm_min();
    j.bottom = -std::numeric_limits<double>::max();
    all[3].location.iterations = 1;
    ASSERT_TRUE(assignExact(all[3].location, ExactLocation{"-0.743643887037158705200000000001", "0.1318259042053119",
                                                           "-7.4e-1", "+0.13182590420531197", "0.3", "0.6"}));
    ASSERT_FALSE(all[3].location.exact.empty());
    const std::vector<Bookmark> back = bookmarksFromText(bookmarksToText(all));
    ASSERT_EQ(back.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(all[i].name);
        EXPECT_EQ(back[i], all[i]);
        EXPECT_EQ(std::signbit(back[i].location.left), std::signbit(all[i].location.left));
    }
    EXPECT_TRUE(bookmarksFromText(bookmarksToText({})).empty());
}

TEST(BookmarkList, DamagedLinesAreSetAsideAndTheRestKept) {
    const std::string good = kGood.substr(0, kGood.size() - 5);  // without its iterations
    const auto named = [&](std::string name, std::size_t times = 1) {
        std::string all;
        while (times-- > 0) all += name;
        return all + kGood.substr(8);
    };
    const struct { const char* name; std::string text; std::size_t kept, unreadable = 1; } cases[] = {
        {"nothing", "", 0, 0},
        {"a good line", kGood, 1, 0},
        {"CRLF endings", "Seahorse\t1\t-0.75\t0.1\t-0.74\t0.11\t0.3\t0.6\t501\r\n\r\n", 1, 0},
        {"no final line break", kGood.substr(0, kGood.size() - 1), 1, 0},
        {"cut short", kGood.substr(0, 20), 0},
        {"cut short, CRLF", kGood.substr(0, 20) + "\r\n" + kGood, 1},
        {"not a list at all", "\x01\xff\t\t\t\n\n\t\r\r", 0, 2},
        {"a field too many", "S\t1\t-0.75\t0.1\t-0.74\t0.11\t0.3\t0.6\t501\t7\n", 0},
        {"exact values incomplete", "S\t1\t0\t0\t1\t1\t0\t0\t9\t1\t2\t3\t4\t5\n", 0},
        {"exact value not a number", "S\t1\t0\t0\t1\t1\t0\t0\t9\t1\t2\t3\t4\t5\tnan\n", 0},
        {"an exact value missing", "S\t1\t0\t0\t1\t1\t0\t0\t9\t\t0\t1\t1\t0\t0\n", 0},
        {"exact values beside other doubles", "S\t1\t0\t0\t1\t1\t0\t0\t9\t1\t2\t3\t4\t5\t6\n", 0},
        {"unknown type", "S\t3\t-0.75\t0.1\t-0.74\t0.11\t0.3\t0.6\t501\n", 0},
        {"no iterations", good + "\t0\n", 0},
        {"most iterations a document saves", good + "\t1073741823\n", 1, 0},
        {"one iteration more", good + "\t1073741824\n", 0},
        {"the most iterations of 32 bits", good + "\t2147483647\n", 0},
        {"iterations beyond 32 bits", good + "\t2147483648\n", 0},
        {"longest name", named(std::string(kMaxBookmarkName, 'S')), 1, 0},
        {"longest name in 4-byte characters", named("\xf0\x9f\x8c\x8a", kMaxBookmarkName), 1, 0},
        {"a character too long", named(std::string(kMaxBookmarkName + 1, 'S')), 0},
        {"bytes beyond any 256 characters", named("S" + std::string(4 * kMaxBookmarkName, '\x80')), 0},
        {"not a number", "S\t1\tnan\t0.1\t-0.74\t0.11\t0.3\t0.6\t501\n", 0},
        {"beyond doubles", "S\t1\t-0.75\t1e999\t-0.74\t0.11\t0.3\t0.6\t501\n", 0},
        {"trailing junk", "S\t1\t-0.75\t0.1x\t-0.74\t0.11\t0.3\t0.6\t501\n", 0},
        {"empty number", "S\t1\t\t0.1\t-0.74\t0.11\t0.3\t0.6\t501\n", 0},
        {"unknown escape", "S\\q\t1\t-0.75\t0.1\t-0.74\t0.11\t0.3\t0.6\t501\n", 0},
        {"escape cut off", "S\\\t1\t-0.75\t0.1\t-0.74\t0.11\t0.3\t0.6\t501\n", 0},
        {"good lines around bad ones", kGood + "junk\n\n" + kGood, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BookmarkLines got = readBookmarkLines(c.text);
        ASSERT_EQ(std::pair(got.bookmarks.size(), got.unreadable.size()), std::pair(c.kept, c.unreadable));
        const BookmarkLines again = readBookmarkLines(bookmarksToText(got.bookmarks, got.unreadable));
        EXPECT_EQ(std::pair(again.bookmarks, again.unreadable), std::pair(got.bookmarks, got.unreadable));
        for (const std::string& line : got.unreadable)
            EXPECT_NE(("\n" + c.text + "\n").find("\n" + line + "\n"), std::string::npos) << "not as it was";
        for (const Bookmark& b : got.bookmarks)
            EXPECT_EQ(std::tuple(b.location.left, b.location.bottom), std::tuple(-0.75, 0.11));
    }
}

// A bookmark keeps the location, not the picture size: going to it keeps the
// document's size.
TEST(BookmarkList, TheSizeStaysTheDocuments) {
    FractalParams doc, other;
    std::tie(doc.left, doc.type, doc.width, doc.height, doc.exact.left) =
        std::tuple(-1.25, FractalType::Julia, 640, 480, "-1.25");
    std::tie(other.width, other.height) = std::pair(120, 90);
    const FractalParams kept = bookmarkLocation(doc);
    const FractalParams there = atBookmark(other, Bookmark{"x", kept});
    EXPECT_EQ(std::tuple(kept.width, there.width, there.height, there.left, there.type, there.exact.left),
              std::tuple(FractalParams{}.width, 120, 90, -1.25, FractalType::Julia, std::string("-1.25")));
}

}  // namespace
}  // namespace velmora
