#include "CliAnim.h"

#include <iomanip>
#include <optional>
#include <ostream>

#include "export/BmpWriter.h"
#include "anim/AnimMessages.h"
#include "anim/AnimRender.h"
#include "anim/RenderSettingsCheck.h"
#include "model/Document.h"
#include "palette/PaletteConvert.h"
#include "platform/ConsoleHost.h"
#include "video/VideoEncoder.h"
#include "video/VideoFrameSink.h"

namespace velmora::cli {

namespace {

// The status line and the current frame's progress, on one terminal line.
class TerminalAnimProgress : public AnimRenderSink, public ProgressSink {
public:
    explicit TerminalAnimProgress(std::ostream& err) : m_err(err) {}
    void setStatusText(const std::string& text) override {
        m_status = text;
        m_pos = 0;
        m_high = 0;
        showWindow();
    }
    ProgressSink* progressBar() override { return this; }
    void setRange(int, int high) override { m_high = high; }
    void setPos(int pos) override {
        m_pos = pos;
        showWindow();
    }
    void setStep(int step) override { m_step = step; }
    void stepIt() override {
        m_pos += m_step;
        showWindow();
    }
    // Ends the progress line, so what follows starts on a line of its own.
    void end() {
        if (!m_status.empty()) m_err << '\n' << std::flush;
        m_status.clear();
    }

private:
    void showWindow() {
        m_err << '\r' << m_status;
        if (m_status.rfind("Rendering", 0) == 0) {
            const int pct = m_high > 0 ? static_cast<int>(100LL * m_pos / m_high) : 0;
            m_err << ' ' << std::setw(3) << pct << '%';
        } else {
            m_err << "     ";  // clears the percentage of the line before
        }
        m_err << std::flush;
    }
    std::ostream& m_err;
    std::string m_status;
    int m_high = 0;
    int m_pos = 0;
    int m_step = 0;
};

// Messages must not run on from a progress line.
class AnimConsoleHost : public ConsoleHost {
public:
    AnimConsoleHost(std::ostream& err, TerminalAnimProgress* progress) : ConsoleHost(err), m_progress(progress) {}
    MsgAnswer showMessage(const Message& message) override {
        if (m_progress != nullptr) m_progress->end();
        return ConsoleHost::showMessage(message);
    }

private:
    TerminalAnimProgress* m_progress;
};

}  // namespace

int runAnim(const AnimOptions& o, std::ostream& out, std::ostream& err, bool progressToErr) {
    if (!o.document) {
        err << "anim: give the document to render.\n";
        return 1;
    }

    TerminalAnimProgress progress(err);
    AnimConsoleHost host(err, progressToErr ? &progress : nullptr);
    Document doc(host);
    doc.onNewDocument();
    doc.loadDefaultPalette();
    if (!doc.onOpenDocument(*o.document)) return 1;  // already reported
    if (o.palette) {
        Palette palette;
        if (!loadPaletteFile(*o.palette, palette, host)) return 1;
        doc.editKeyframes([&](std::vector<Keyframe>& all) {
            for (Keyframe& k : all) k.palette = palette;
        });
    }
    if (!checkEnoughKeyframes(doc, host)) return 1;
    if (o.colour.density || o.colour.offset) {
        ColourSpread spread = doc.colourSpread();
        o.colour.applyTo(spread);
        doc.setColourSpread(spread);
    }

    RenderSettings s = proposedRenderSettings(doc);
    if (o.from) s.from = *o.from;
    if (o.to) s.to = *o.to;
    if (o.width) s.width = *o.width;
    if (o.height) s.height = *o.height;
    if (o.style) s.tweenStyle = *o.style;
    if (o.folder) s.destFolder = *o.folder;
    s.skipRendered = o.resume;
    s.writeFiles = !o.noFrames;
    s.smooth = s.smooth || o.smooth;
    if (!bmpSizeFits(s.width, s.height)) {
        err << "The frames are too large for BMP files.\n";
        return 1;
    }
    if (!acceptRenderSettings(s, doc.totalFrames(), host, FolderQuestions::Proceed)) return 1;

    // The video file is made before the first frame, so a path it cannot be
    // written to is known at once; it appears only when it is complete.
    VideoEncoder encoder;
    VideoFrameSink videoSink(encoder);
    std::string error;
    if (o.video) {
        VideoOptions vo;
        vo.path = *o.video;
        vo.fps = o.fps;
        vo.quality = o.quality;
        if (!encoder.open(vo, s.width, s.height, error)) {
            err << error << '\n';
            return 1;
        }
    }

    storeRenderSettings(doc, s);
    const AnimRenderResult r =
        renderAnimation(doc, doc.host(), s, progressToErr ? &progress : nullptr, o.video ? &videoSink : nullptr);
    if (progressToErr) progress.end();
    if (!r.completed() || (s.writeFiles && !r.scriptWritten)) return 1;  // the message has been shown
    if (o.video && !encoder.finish(error)) {
        err << error << '\n';
        return 1;
    }
    out << animtext::kRenderDone << '\n';
    if (o.resume) out << "Frames kept from before: " << r.framesKept << " of " << r.framesBegun << ".\n";
    if (o.video) out << "Video written: " << *o.video << " (" << encoder.codecName() << ").\n";
    return 0;
}

}  // namespace velmora::cli
