// The document: its state, its file's byte layout and round trips, refused and
// damaged files, a render without memory, and the BMP export's bytes.
#include <gtest/gtest.h>

#include <functional>

#include <bit>
#include <cstring>
#include <limits>
#include <tuple>

#include "AnimTestSupport.h"
#include "EngineReference.h"
#include "FakeHost.h"
#include "PaletteTestSupport.h"
#include "TempDir.h"
#include "export/BmpWriter.h"
#include "model/DocumentFile.h"
#include "base/LittleEndian.h"
#include "model/Document.h"
#include "session/RenderSession.h"
#include "palette/DefaultPalette.h"
#include "platform/FramesFolder.h"

using namespace velmora;
using velmora::test::FakeHost;
using velmora::test::readBytes;
using velmora::test::TempDir;
using velmora::test::writeBytes;
using namespace std::string_literals;

namespace {

void newDoc(Document& doc) {
    doc.onNewDocument();
    doc.loadDefaultPalette();
}

double loadDouble(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | b[at + static_cast<std::size_t>(i)];
    return std::bit_cast<double>(u);
}

// Distinct values, and a palette whose reserved bytes are set too.
Keyframe sampleKeyframe(int seed) {
    Keyframe k = test::key(-1.25 - seed, 0.5 + seed, -0.75, 0.125 * seed, 1000 + seed, 10 * seed, 2, -0.8, 0.156);
    k.palette = test::patternPalette(seed);
    return k;
}

TEST(Document, NewResetsAllButThePaletteWhichTheViewReplaces) {
    FakeHost host;
    Document doc(host);
    RenderSession session{doc};
    ASSERT_TRUE(doc.onNewDocument());
    const FractalEngine& e = *session.engine();
    EXPECT_EQ(std::tuple(doc.animation().destFolder, doc.title(), session.isRendered()),
              std::tuple(defaultFramesFolder(), "Untitled", false));
    EXPECT_EQ(std::tuple(e.width(), e.height(), e.iterations(), e.isValid()),
              std::tuple(300, 300, 201, false));
    doc.editPalette([&](Palette& p) { p.setEntry(0, RgbQuad{1, 2, 3, 9}); });
    doc.editKeyframes([&](std::vector<Keyframe>& k) { k.push_back(sampleKeyframe(4)); });
    doc.editParams([&](FractalParams& p) { p.iterations = 7; });
    doc.setModifiedFlag(true);
    doc.onNewDocument();
    EXPECT_EQ(std::tuple(doc.palette().entry(0), doc.keyframeCount(), doc.params().iterations, doc.isModified()),
              std::tuple(RgbQuad{1, 2, 3, 9}, 0, 201, false));
}

TEST(Document, TotalFramesAddAllButTheLastCountAndSaturate) {
    const struct { std::vector<std::int32_t> counts; std::int32_t total; } cases[] = {
        {{}, 0}, {{10}, 0}, {{10, 5}, 10}, {{10, 5, 7}, 15}, {{2000000000, 2000000000, 2000000000}, 2147483647}};
    FakeHost host;
    Document doc(host);
    for (const auto& c : cases) {
        doc.onNewDocument();
        doc.editKeyframes([&](std::vector<Keyframe>& k) {
            k.resize(c.counts.size());
            for (std::size_t i = 0; i < c.counts.size(); ++i) k[i].transitions = c.counts[i];
        });
        EXPECT_EQ(doc.totalFrames(), c.total) << c.counts.size() << " keyframes";
        EXPECT_EQ(doc.keyframeCount(), static_cast<int>(c.counts.size()));
    }
    EXPECT_EQ(std::tuple(doc.keyframe(1)->transitions, doc.keyframe(3), doc.keyframe(-1)),
              std::tuple(2000000000, nullptr, nullptr));
}

TEST(Document, EngineFollowsSizeRegionAndRender) {
    FakeHost host;
    Document doc(host);
    RenderSession session{doc};
    doc.onNewDocument();
    doc.setResolution(20, 64);
    host.cancelAt = [](int n) { return n == 1; };
    EXPECT_EQ(session.render(), 0);
    EXPECT_TRUE(session.isRendered());  // counts as rendered even when cancelled
    host.cancelAt = nullptr;
    ASSERT_EQ(session.render(), 1);
    doc.setResolution(20, 64);  // the same size still replaces the engine
    EXPECT_FALSE(session.engine()->isValid() || session.isRendered());
    doc.setRegion(1.0, 0.5, -1.0, -0.5);  // stored as given, ordered in the engine
    session.render();
    EXPECT_EQ(std::tuple(doc.params().left, session.engine()->xMin(), session.engine()->yMax()),
              std::tuple(1.0, -1.0, 0.5));
}

TEST(Document, EveryRenderAfterAFailedAllocationSaysWhyAgain) {
    FakeHost host;
    host.allowMessages = true;
    Document doc(host);
    RenderSession session{doc};
    doc.onNewDocument();
    doc.setResolution(2000000000, 2000000000);
    for (std::size_t attempt = 2; attempt <= 3; ++attempt) {
        EXPECT_EQ(session.render(), 0);
        ASSERT_EQ(host.messages.size(), attempt);
        EXPECT_EQ(host.lastText(), "Not enough memory for bitmap.");
    }
    doc.setResolution(8, 8);  // back at a size that fits, the render works at once
    EXPECT_EQ(session.render(), 1);
}

// What each of the document's own changers tells the windows.
TEST(Document, ChangersTellTheObserversWhatChanged) {
    struct Recorder : DocumentObserver {
        std::vector<DocChanges> seen;
        void documentChanged(DocChanges what) override { seen.push_back(what); }
    } recorder;
    test::FakeHost host;
    Document doc(host);
    RenderSession session{doc};
    doc.addObserver(recorder);
    using namespace doc_change;
    const std::pair<std::function<void()>, DocChanges> cases[] = {
        {[&] { doc.onNewDocument(); }, kAll | kNewPicture},
        {[&] { doc.setRegion(-1, -1, 1, 1); }, kValues},
        {[&] { doc.setResolution(8, 8); }, kValues | kPicture | kNewPicture},
        {[&] { doc.editParams([](FractalParams& p) { p.iterations = 7; }); }, kValues},
        {[&] { doc.editParams([](FractalParams& p) { p.width = 9; }); }, kValues | kPicture | kNewPicture},
        {[&] { doc.setParams(doc.params()); }, kValues},
        {[&] { doc.loadDefaultPalette(); }, kPalette},
        {[&] { doc.editPalette([](Palette& p) { p.setEntry(1, RgbQuad{1, 2, 3, 0}); }); }, kPalette},
        {[&] { doc.setKeyframes({Keyframe{}}); }, kKeyframes},
        {[&] { doc.editAnimation([](AnimationSettings& a) { a.width = 5; }); }, kKeyframes},
        {[&] { doc.setContents(doc.contents()); }, kAll | kNewPicture},
        {[&] { session.forgetRendered(); }, kPicture},
        {[&] { doc.setModifiedFlag(); }, kModified},
        {[&] { doc.setTitle("t"); }, kPath}};
    for (const auto& [change, expected] : cases) {
        recorder.seen.clear();
        change();
        EXPECT_EQ(recorder.seen, std::vector<DocChanges>{expected});
    }
    EXPECT_EQ(std::tuple(doc.params().iterations, doc.width(), session.engine()->width(), doc.keyframeCount(),
                         doc.animation().width),
              std::tuple(7, 9, 9, 1, 5));
    doc.removeObserver(recorder);
    doc.setModifiedFlag();
    EXPECT_EQ(recorder.seen.size(), 1u) << "no word after leaving";
}

TEST(DocumentFile, NewDocumentIsExactly1356BytesWithFieldsInPlace) {
    FakeHost host;
    Document doc(host);
    newDoc(doc);
    doc.editAnimation([&](AnimationSettings& a) { a.destFolder = "/home/u/anim/"; });
    const auto b = serializeContents(doc.contents());
    ASSERT_EQ(b.size(), 1356u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 5), "VMR10");
    for (const auto& [at, v] : {std::pair{5, -2.0}, {13, -1.5}, {21, 2.0}, {29, 1.5}, {41, 0.3}, {49, 0.6}})
        EXPECT_EQ(loadDouble(b, at), v) << "double at " << at;
    for (const auto& [at, v] : {std::pair{37, 402}, {57, 300}, {61, 300}, {1091, 100}, {1095, 100}})
        EXPECT_EQ(le::loadI32(&b[at]), v) << "int32 at " << at;
    EXPECT_EQ(std::tuple(b[65], std::memcmp(&b[66], defaultPalette().bytes(), 1024), b[1090]), std::tuple(1, 0, 2));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[1099])), "/home/u/anim/");
    for (std::size_t i = 1099 + 13; i < 1356; ++i) ASSERT_EQ(b[i], 0) << i;
    doc.editParams([&](FractalParams& p) { p.type = FractalType::Julia; });
    EXPECT_EQ(le::loadI32(&serializeContents(doc.contents())[37]), 403);
}

TEST(DocumentFile, KeyframeRecordLayout) {
    DocumentContents c;
    c.keyframes.push_back(sampleKeyframe(1));
    const auto b = serializeContents(c);
    ASSERT_EQ(b.size(), 1356u + 1085u);
    const std::size_t r = 1355;
    EXPECT_EQ(std::pair(b[r], b.back()), std::pair(std::uint8_t{1}, std::uint8_t{0}));  // the marker; the terminator
    // left, top, right, bottom (file order differs from the record's), K; then type, limit, transitions
    for (const auto& [at, v] : {std::pair{1, -2.25}, {9, -0.75}, {17, 1.5}, {25, 0.125}, {33, -0.8}, {41, 0.156}})
        EXPECT_EQ(loadDouble(b, r + at), v) << "double at " << at;
    for (const auto& [at, v] : {std::pair{49, 2}, {53, 1001}, {57, 10}}) EXPECT_EQ(le::loadI32(&b[r + at]), v) << at;
    EXPECT_EQ(0, std::memcmp(&b[r + 61], c.keyframes[0].palette.bytes(), 1024));
}

TEST(DocumentFile, RoundTripIsBitForBit) {
    FakeHost host;
    TempDir dir;
    Document doc(host);
    newDoc(doc);
    const double nan = std::bit_cast<double>(0x7ff8000000001234ull);  // with a payload
    const double inf = std::numeric_limits<double>::infinity();
    doc.setParams(FractalParams{-0.0, 0.1 + 0.2, -5e-324, nan, FractalType::Julia, inf, 0.6, 201, 0, -3, {}});
    doc.setAnimation({TweenStyle::SlowAtKeyframes, "frames/", 640, 480, PlaybackStyle::PingPong | PlaybackStyle::Looping});
    doc.editPalette([&](Palette& p) { p.setEntry(17, RgbQuad{1, 2, 3, 4}); });
    doc.setKeyframes({sampleKeyframe(0), sampleKeyframe(1), sampleKeyframe(2)});
    ASSERT_TRUE(doc.onSaveDocument(dir.file("a.vmr")));
    const auto saved = readBytes(dir.file("a.vmr"));
    EXPECT_EQ(saved, serializeContents(doc.contents()));

    Document other(host);
    RenderSession otherSession{other};
    newDoc(other);
    ASSERT_TRUE(other.onOpenDocument(dir.file("a.vmr")));
    EXPECT_EQ(serializeContents(other.contents()), saved);
    EXPECT_EQ(std::tuple(other.title(), other.isModified(), otherSession.isRendered(), otherSession.engine()->width(),
                         otherSession.engine()->height(), other.palette().entry(17).reserved),
              std::tuple("a.vmr", false, false, 0, -3, 4));
}

TEST(DocumentFile, ParseEdgeCases) {
    DocumentContents back;
    for (const std::int32_t it : {-1, -1073741824, 0, 1, 1073741823}) {  // limit and type share a field
        DocumentContents c;
        c.params.iterations = it;
        const auto b = serializeContents(c);
        ASSERT_TRUE(parseDocument(b.data(), b.size(), back));
        EXPECT_EQ(back.params.iterations, it);
        EXPECT_EQ(back.params.type, FractalType::Mandelbrot);
    }
    DocumentContents c;
    c.animation.destFolder = "0123456789";
    c.keyframes.push_back(sampleKeyframe(2));
    auto b = serializeContents(c);
    b[1099 + 11] = 'X';  // after the folder's first zero: ignored
    b[1355] = 7;         // any non-zero marker introduces a record
    b.push_back(0xAB);   // trailing bytes are ignored
    back.animation.destFolder = "previous folder that is much longer";
    ASSERT_TRUE(parseDocument(b.data(), b.size(), back));
    ASSERT_EQ(back.keyframes.size(), 1u);
    EXPECT_EQ(std::tuple(back.animation.destFolder, back.keyframes[0].iterations, back.keyframes[0].bottom),
              std::tuple("0123456789", 1002, 0.25));
    std::memset(&b[1099], 'a', 256);  // no zero at all: 256 characters, never more
    ASSERT_TRUE(parseDocument(b.data(), b.size(), back));
    EXPECT_EQ(back.animation.destFolder.size(), 256u);
}

TEST(DocumentFile, EveryTruncationAndAnySignatureChangeIsRefused) {
    DocumentContents c;
    c.keyframes.push_back(sampleKeyframe(1));
    c.keyframes.push_back(sampleKeyframe(2));
    const auto b = serializeContents(c);
    DocumentContents back;
    for (std::size_t n = 0; n < b.size(); ++n) ASSERT_FALSE(parseDocument(b.data(), n, back)) << n << " bytes";
    for (std::size_t i = 0; i < 5; ++i) {
        auto bad = b;
        bad[i] ^= 0x20;  // "vMR10", "VmR10", ...: the signature is case-sensitive
        EXPECT_FALSE(parseDocument(bad.data(), bad.size(), back)) << i;
    }
}

class OpenFailure : public ::testing::Test {
protected:
    void SetUp() override {
        host.allowMessages = true;
        newDoc(doc);
        doc.editPalette([&](Palette& p) { p.setEntry(3, RgbQuad{9, 9, 9, 0}); });
        doc.editParams([&](FractalParams& p) { p.iterations = 77; });
        doc.editKeyframes([&](std::vector<Keyframe>& k) { k.push_back(sampleKeyframe(1)); });
        doc.setPathName("/somewhere/old.vmr");
    }
    FakeHost host;
    TempDir dir;
    Document doc{host};
    RenderSession session{doc};
};

TEST_F(OpenFailure, DamagedFileGivesANewDocumentWithThePaletteKept) {
    DocumentContents c;
    c.palette.setEntry(3, RgbQuad{1, 1, 1, 1});
    c.keyframes.push_back(sampleKeyframe(5));
    const auto full = serializeContents(c);
    auto Cut = [&](long n) { return std::vector<std::uint8_t>(full.begin(), full.begin() + n); };
    const std::vector<std::vector<std::uint8_t>> files = {
        {'v', 'M', 'R', '1', '0', 0, 0, 0}, Cut(600), Cut(1355 + 500), Cut(full.size() - 1)};
    for (std::size_t k = 0; k < files.size(); ++k) {
        SCOPED_TRACE(k);
        host.messages.clear();
        writeBytes(dir.file("bad.vmr"), files[k]);
        EXPECT_FALSE(doc.onOpenDocument(dir.file("bad.vmr")));
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(std::pair(host.messages[0].text, host.messages[0].icon),
                  std::pair("Unexpected file format."s, MsgIcon::Error));
        // A new document, but never half-replaced colours.
        EXPECT_EQ(std::tuple(doc.params().iterations, doc.keyframeCount(), doc.pathName(), doc.palette().entry(3),
                             session.engine()->width()),
                  std::tuple(201, 0, "", RgbQuad{9, 9, 9, 0}, 300));
    }
}

TEST_F(OpenFailure, MissingFileChangesNothingAndAnEmptyFileIsANoOp) {
    EXPECT_FALSE(doc.onOpenDocument(dir.file("nope.vmr")));
    EXPECT_EQ(std::tuple(host.lastText(), doc.params().iterations, doc.title()),
              std::tuple(dir.file("nope.vmr") + " was not found.", 77, "old.vmr"));
    writeBytes(dir.file("empty.vmr"), {});
    EXPECT_TRUE(doc.onOpenDocument(dir.file("empty.vmr")));
    EXPECT_EQ(std::tuple(host.messages.size(), doc.params().iterations, doc.keyframeCount(), doc.title()),
              std::tuple(1u, 77, 1, "empty.vmr"));
}

TEST(DocumentSave, RefusesValuesTheFileCannotHoldAndKeepsTheOldFile) {
    FakeHost host;
    host.allowMessages = true;
    TempDir dir;
    Document doc(host);
    newDoc(doc);
    ASSERT_TRUE(doc.onSaveDocument(dir.file("keep.vmr")));
    const auto original = readBytes(dir.file("keep.vmr"));
    doc.setModifiedFlag(true);

    doc.editParams([&](FractalParams& p) { p.iterations = 1073741824; });
    EXPECT_FALSE(doc.onSaveDocument(dir.file("keep.vmr")));
    EXPECT_TRUE(host.lastText().find("1073741822") != std::string::npos && doc.isModified());
    EXPECT_EQ(host.messages.back().icon, MsgIcon::Warning);
    EXPECT_EQ(readBytes(dir.file("keep.vmr")), original);

    doc.editParams([&](FractalParams& p) { p.iterations = 1073741823; });
    doc.editAnimation([&](AnimationSettings& a) { a.destFolder = std::string(256, 'f'); });
    EXPECT_FALSE(doc.onSaveDocument(dir.file("keep.vmr")));
    EXPECT_NE(host.lastText().find("255 characters"), std::string::npos);
    EXPECT_EQ(readBytes(dir.file("keep.vmr")), original);

    doc.editAnimation([&](AnimationSettings& a) { a.destFolder = std::string(255, 'f'); });  // the largest values that fit
    EXPECT_TRUE(doc.onSaveDocument(dir.file("keep.vmr")));
    EXPECT_FALSE(doc.isModified());
    DocumentContents back;
    const auto saved = readBytes(dir.file("keep.vmr"));
    ASSERT_TRUE(parseDocument(saved.data(), saved.size(), back));
    EXPECT_TRUE(back.params.iterations == 1073741823 && back.animation.destFolder == doc.animation().destFolder);

    doc.setModifiedFlag(true);
    EXPECT_FALSE(doc.onSaveDocument(dir.file("no/such/folder/x.vmr")));
    EXPECT_EQ(std::pair(host.lastText(), doc.isModified()),
              std::pair(dir.file("no/such/folder/x.vmr") + " was not found.", true));
}

std::vector<std::uint8_t> exportBmp(RenderSession& session, const std::string& path) {
    session.engine()->buildBitmap(session.document().palette());
    std::error_code ec;
    EXPECT_EQ(writeBmp(session.engine(), path, ec), BmpWriteResult::Ok) << ec.message();
    return readBytes(path);
}

// The default picture and narrow and odd widths: every header field, the
// palette as colour table, rows bottom-up with zero padding to four bytes.
TEST(Bmp, HeaderColourTableAndPaddedRows) {
    FakeHost host;
    TempDir dir;
    for (const auto& [w, h, size] : {std::tuple{300, 300, 91078u}, {1, 3, 1090u}, {2, 3, 1090u}, {3, 3, 1090u},
                                     {4, 3, 1090u}, {5, 3, 1102u}, {301, 2, 1686u}}) {
        SCOPED_TRACE(w);
        Document doc(host);
        RenderSession session{doc};
        newDoc(doc);
        doc.setResolution(w, h);
        ASSERT_EQ(session.render(), 1);
        const auto b = exportBmp(session, dir.file("w.bmp"));
        ASSERT_EQ(b.size(), size);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 2), "BM");
        const struct { std::size_t at; int bytes; std::int64_t value; } fields[] = {
            {2, 4, size}, {6, 2, 0},  {8, 2, 0},  {10, 4, 1078}, {14, 4, 40}, {18, 4, w}, {22, 4, h}, {26, 2, 1},
            {28, 2, 8},   {30, 4, 0}, {34, 4, 0}, {38, 4, 1},    {42, 4, 1},  {46, 4, 0}, {50, 4, 0}};
        for (const auto& f : fields)
            EXPECT_EQ(f.bytes == 2 ? le::loadU16(&b[f.at]) : le::loadU32(&b[f.at]), f.value) << "field at " << f.at;
        EXPECT_EQ(le::loadU32(&bmpFileHeader(w, h)[2]), size);
        EXPECT_EQ(0, std::memcmp(&b[54], defaultPalette().bytes(), 1024));
        EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 1078, b.end()),
                  test::referenceImage(test::RefParams{-2, -1.5, 2, 1.5, 1, 0.3, 0.6, 201, w, h}));
    }
}

TEST(Bmp, ColourTableIsThePaletteLastGivenToBuildBitmapAndFailuresAreReported) {
    FakeHost host;
    TempDir dir;
    Document doc(host);
    RenderSession session{doc};
    newDoc(doc);
    session.render();
    std::error_code ec;
    EXPECT_EQ(writeBmp(session.engine(), dir.file("a.bmp"), ec), BmpWriteResult::NoHeader);  // never drawn
    for (const auto& [w, h] : {std::pair{0, 3}, {3, 0}, {-1, -1}}) {  // no pixels, with or without a header
        FractalEngine none(w, h);
        none.buildBitmap(doc.palette());
        EXPECT_EQ(writeBmp(none, dir.file("a.bmp"), ec), BmpWriteResult::BadSize);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.bmp")));
    session.engine()->buildBitmap(doc.palette());
    EXPECT_EQ(writeBmp(session.engine(), dir.file("missing/a.bmp"), ec), BmpWriteResult::CreateFailed);
    EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
    doc.editPalette([&](Palette& p) { p.setEntry(0, RgbQuad{7, 8, 9, 0}); });  // edited after the last draw
    ASSERT_EQ(writeBmp(session.engine(), dir.file("a.bmp"), ec), BmpWriteResult::Ok);
    EXPECT_EQ(readBytes(dir.file("a.bmp"))[54], 0);
    const auto b = exportBmp(session, dir.file("a.bmp"));  // replaces the file without a question
    EXPECT_EQ(std::pair(b[54], b.size()), std::pair(std::uint8_t{7}, std::size_t{91078}));
}

}  // namespace
