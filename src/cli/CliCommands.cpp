#include "CliCommands.h"

#include <cstdio>
#include <functional>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "CliEdit.h"
#include "CliParser.h"
#include "VelmoraVersion.h"
#include "JsonDocument.h"
#include "JsonText.h"
#include "location/ExactLocationValues.h"
#include "deep/PixelVerify.h"
#include "deep/PlainMpfrLoop.h"
#include "export/PictureExport.h"
#include "export/PngDocumentChunk.h"
#include "export/PngDocumentOpen.h"
#include "export/BmpWriter.h"
#include "engine/RenderReport.h"
#include "model/Document.h"
#include "session/RenderSession.h"
#include "palette/PaletteConvert.h"
#include "platform/ConsoleHost.h"
#include "engine/BandRender.h"
#include "base/SaveMessages.h"

namespace velmora::cli {
namespace {

// A progress bar drawn as a percentage on a terminal.
class TextProgress : public ProgressSink {
public:
    explicit TextProgress(std::ostream& err) : m_err(err) {}
    void setRange(int, int high) override { m_high = high; }
    void setPos(int pos) override { m_pos = pos; showWindow(); }
    void setStep(int step) override { m_step = step; }
    void stepIt() override { m_pos += m_step; showWindow(); }
    void done() { m_err << "\rRendering: 100%\n" << std::flush; }

private:
    void showWindow() {
        const int pct = m_high > 0 ? static_cast<int>(100LL * m_pos / m_high) : 0;
        m_err << "\rRendering: " << std::setw(3) << pct << '%' << std::flush;
    }
    std::ostream& m_err;
    int m_high = 0;
    int m_pos = 0;
    int m_step = 0;
};

}  // namespace

bool readContents(const std::vector<std::string>& positional, Host& host, DocumentContents& c) {
    Document fresh(host);
    fresh.setDefaults();
    fresh.loadDefaultPalette();
    c = fresh.contents();
    if (positional.empty()) return true;
    if (isPngPath(positional[0])) return loadPngContents(positional[0], c, host);
    const DocumentRead r = loadDocumentContents(positional[0], c, host);
    return r == DocumentRead::Parsed || r == DocumentRead::Empty;
}

namespace {

// What render and new start from: the named document, info's JSON text laid
// over a new document's values, or a new document.
bool startingContents(const std::vector<std::string>& documents, const Options& o, Host& host, std::ostream& err,
                      DocumentContents& c) {
    if (!o.fromJson) return readContents(documents, host, c);
    if (!documents.empty()) {
        err << "Give a document or --from-json, not both.\n";
        return false;
    }
    std::string error;
    if (readContents({}, host, c) && contentsFromJsonFile(*o.fromJson, c, error)) return true;
    err << error << '\n';
    return false;
}

int renderPng(const DocumentContents& contents, const std::string& path, const PngExportOptions& options,
              std::ostream& err, bool progressToErr) {
    TextProgress progress(err);
    std::error_code cause;
    const PngWriteResult r = exportPng(contents, path, progressToErr ? &progress : nullptr, cause, options);
    if (progressToErr && r == PngWriteResult::Ok) progress.done();
    if (r == PngWriteResult::Ok) return 0;
    err << pngWriteMessage(r, path, cause) << '\n';
    return 1;
}

// The picker's pixels against the plain MPFR loop: the line on stdout, and
// when some differ a line on stderr and exit code 3 (the picture is written).
int verify(const FractalParams& params, const PixelSamplePicker& picker, std::ostream& out, std::ostream& err) {
    const VerifyResult check = verifyPixels(params, picker.samples(), plainMpfrPixel);
    out << "verify: " << check.differing << " of " << check.checked
        << " pixels differ from the arbitrary-precision loop";
    if (check.unresolved > 0) out << ", " << check.unresolved << " unresolved";
    out << '\n';
    if (check.differing == 0) return 0;
    err << "verify: the picture differs from the exact loop in " << check.differing << " pixels.\n";
    return kVerifyFailedExit;
}

// The rows the PNG export computed (those of the picture at N times the size)
// again, only those the check needs, each once.
int verifyPng(FractalParams big, std::int32_t count, std::ostream& out, std::ostream& err) {
    PixelSamplePicker picker(count, big.width, big.height);
    BandRenderer band(big, 1);
    for (const std::int32_t j : picker.rowsNeeded()) {
        band.render(j, 1);
        picker.addRow(j, band.row(j), nullptr, nullptr);
    }
    return verify(big, picker, out, err);
}

// The engine's whole picture (rows stored bottom up), borders in all four directions.
int verifyBmp(const FractalParams& params, const FractalEngine& engine, std::int32_t count, std::ostream& out,
              std::ostream& err) {
    PixelSamplePicker picker(count, engine.width(), engine.height());
    const auto row = [&](std::int32_t j) -> const std::uint8_t* {
        if (j < 0 || j >= engine.height()) return nullptr;
        return engine.bits() + static_cast<std::size_t>(engine.height() - 1 - j) * engine.stride();
    };
    for (std::int32_t j = 0; j < engine.height(); ++j) picker.addRow(j, row(j), row(j - 1), row(j + 1));
    return verify(params, picker, out, err);
}

int render(const Options& o, std::ostream& out, std::ostream& err, bool progressToErr) {
    if (!o.output) {
        err << "render: no output file given (-o OUT.bmp).\n";
        return 1;
    }
    if (o.positional.size() > 1) {
        err << "render: only one document may be given.\n";
        return 1;
    }
    ConsoleHost host(err);
    DocumentContents contents;
    if (!startingContents(o.positional, o, host, err, contents) || !applyChanges(o, contents, host, err)) return 1;
    if (isPngPath(*o.output)) {
        const std::int32_t n = o.supersample.value_or(1);
        const int result = renderPng(contents, *o.output, {n, o.smooth}, err, progressToErr);
        if (result == 0 && o.verify) {
            FractalParams big = contents.params;
            big.width *= n;
            big.height *= n;
            return verifyPng(big, *o.verify, out, err);
        }
        return result;
    }
    if (o.supersample || o.smooth) {
        err << "render: " << (o.smooth ? "--smooth" : "--supersample") << " needs a PNG output (-o OUT.png).\n";
        return 1;
    }
    // Refused before any memory or time goes into a picture that cannot be written.
    if (contents.params.width < 1 || contents.params.height < 1) {
        err << "A BMP file cannot hold a picture of this size.\n";
        return 1;
    }
    if (!bmpSizeFits(contents.params.width, contents.params.height)) {
        err << "The picture is too large for a BMP file.\n";
        return 1;
    }
    Document doc(host);
    RenderSession session(doc);
    doc.setContents(std::move(contents));
    FractalEngine* engine = session.engine();
    if (!engine || !engine->hasBuffer()) return 1;  // already reported

    TextProgress progress(err);
    const int rendered = session.render(progressToErr ? &progress : nullptr);
    if (progressToErr) progress.done();
    if (rendered != 1) return 1;  // said why; no file
    const int verified = o.verify ? verifyBmp(doc.params(), *engine, *o.verify, out, err) : 0;
    // What the view does when it draws: the header block with the document's palette.
    buildBitmapOrTell(*engine, doc.palette(), host);
    std::error_code cause;
    const BmpWriteResult written = writeBmp(engine, *o.output, cause);
    if (written == BmpWriteResult::Ok) return verified;
    err << bmpWriteMessage(written, *o.output, cause) << '\n';
    return 1;
}

std::string paletteHex(const Palette& p) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    s.reserve(Palette::kBytes * 2);
    for (const std::uint8_t b : p.raw()) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

// The document's frame count as the document itself counts it.
std::int32_t totalFrames(const std::vector<Keyframe>& keyframes, Host& host) {
    Document counter(host);
    counter.setKeyframes(keyframes);
    return counter.totalFrames();
}

}  // namespace

// The location's six values as decimal strings, to every digit stored.
std::string exactObject(const ExactLocation& e) {
    return "{\"left\":" + json::string(e.left) + ",\"top\":" + json::string(e.top) +
           ",\"right\":" + json::string(e.right) + ",\"bottom\":" + json::string(e.bottom) +
           ",\"cReal\":" + json::string(e.cReal) + ",\"cImag\":" + json::string(e.cImag) + "}";
}

std::string keyframesJson(const std::vector<Keyframe>& keyframes) {
    using json::number;
    std::ostringstream j;
    j << '[';
    for (std::size_t i = 0; i < keyframes.size(); ++i) {
        const Keyframe& k = keyframes[i];
        j << (i ? "," : "") << "{\"left\":" << number(k.left) << ",\"right\":" << number(k.right)
          << ",\"top\":" << number(k.top) << ",\"bottom\":" << number(k.bottom)
          << ",\"cReal\":" << number(k.cReal) << ",\"cImag\":" << number(k.cImag)
          << ",\"exact\":" << exactObject(exactTextOf(k)) << ",\"type\":" << k.type
          << ",\"iterations\":" << k.iterations << ",\"transitions\":" << k.transitions << ",\"palette\":\""
          << paletteHex(k.palette) << "\"}";
    }
    j << ']';
    return j.str();
}

namespace {

int info(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.positional.size() != 1) {
        err << "info: give exactly one document.\n";
        return 1;
    }
    ConsoleHost host(err);
    DocumentContents doc;  // no picture is made: info only describes the document
    if (!readContents(o.positional, host, doc)) return 1;
    const FractalParams& p = doc.params;
    using json::number;
    std::ostringstream j;
    j << "{\"left\":" << number(p.left) << ",\"top\":" << number(p.top) << ",\"right\":" << number(p.right)
      << ",\"bottom\":" << number(p.bottom) << ",\"type\":" << static_cast<int>(p.type)
      << ",\"cReal\":" << number(p.cReal) << ",\"cImag\":" << number(p.cImag)
      << ",\"exact\":" << exactObject(exactTextOf(p)) << ",\"iterations\":" << p.iterations
      << ",\"width\":" << p.width << ",\"height\":" << p.height
      << ",\"playbackStyle\":" << static_cast<int>(doc.animation.playbackStyle)
      << ",\"tweenStyle\":" << static_cast<int>(doc.animation.tweenStyle)
      << ",\"animWidth\":" << doc.animation.width << ",\"animHeight\":" << doc.animation.height
      << ",\"destFolder\":" << json::string(doc.animation.destFolder)
      << ",\"animSmooth\":" << (doc.animation.smooth ? "true" : "false")
      << ",\"colourDensity\":" << number(doc.spread.density) << ",\"colourOffset\":" << number(doc.spread.offset)
      << ",\"palette\":\"" << paletteHex(doc.palette) << "\",\"totalFrames\":" << totalFrames(doc.keyframes, host)
      << ",\"keyframes\":" << keyframesJson(doc.keyframes) << "}\n";
    out << j.str();
    return 0;
}

int resave(const Options& o, std::ostream& err) {
    if (o.positional.size() != 2) {
        err << "resave: give the document to read and the one to write.\n";
        return 1;
    }
    ConsoleHost host(err);
    DocumentContents c;
    if (!readContents({}, host, c)) return 1;  // what an empty file opens as
    const DocumentRead r = loadDocumentContents(o.positional[0], c, host);
    if (r == DocumentRead::NotRead || r == DocumentRead::WrongFormat) return 1;
    // Saved without making a picture: its size may be one that cannot be made.
    return saveDocumentContents(c, o.positional[1], host) ? 0 : 1;
}

int newDocument(const Options& o, std::ostream& err) {
    if (o.positional.size() != 1) {
        err << "new: give the document to write.\n";
        return 1;
    }
    ConsoleHost host(err);
    DocumentContents c;
    if (!startingContents({}, o, host, err, c) || !applyChanges(o, c, host, err)) return 1;
    // Saved without making a picture: its size may be one that cannot be made.
    return saveDocumentContents(c, o.positional[0], host) ? 0 : 1;
}

int convertPalette(const Options& o, std::ostream& err) {
    if (o.positional.size() != 1 || !o.output) {
        err << "palette: give the palette file to read and -o OUT.rgb.\n";
        return 1;
    }
    ConsoleHost host(err);
    return convertPaletteFile(o.positional[0], *o.output, host) ? 0 : 1;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progressToErr) {
    CommandLine line;
    std::string error;
    if (!parseCommandLine(args, line, error)) {
        err << error << '\n';
        return 1;
    }
    if (args.empty()) {
        err << helpText(std::nullopt);
        return 1;
    }
    if (line.help) {
        out << helpText(line.command);
        return 0;
    }
    if (line.version) {
        out << "velmora-cli " << kVersion << "\n";
        return 0;
    }
    const Options& o = line.options;
    switch (*line.command) {
        case Command::Render: return render(o, out, err, progressToErr);
        case Command::Info: return info(o, out, err);
        case Command::Resave: return resave(o, err);
        case Command::New: return newDocument(o, err);
        case Command::Palette: return convertPalette(o, err);
        case Command::Anim: return runAnim(line.anim, out, err, progressToErr);
        case Command::Keyframe: return runKeyframe(o, out, err);
        case Command::Set: return runSet(o, err);
        case Command::Zoom: return runZoom(line.zoom, out, err, progressToErr);
    }
    return 1;
}

}  // namespace velmora::cli
