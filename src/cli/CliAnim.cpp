#include "CliAnim.h"

#include <iomanip>
#include <optional>
#include <ostream>

#include "CliOptions.h"
#include "export/BmpWriter.h"
#include "anim/AnimMessages.h"
#include "anim/AnimRender.h"
#include "anim/RenderSettingsCheck.h"
#include "model/Document.h"
#include "platform/ConsoleHost.h"
#include "video/VideoEncoder.h"
#include "video/VideoFrameSink.h"

namespace velmora::cli {

// Numbers must be whole numbers; whether they make sense is left to the same
// checks the Render Settings dialog makes, so the messages are the same.
bool parseAnimOptions(const std::vector<std::string>& args, AnimOptions& o, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string a = args[i];
        auto value = [&](std::string& v) { return takeValue(args, i, v, error); };
        auto number = [&](std::optional<std::int32_t>& target) {
            std::string v;
            if (!value(v)) return false;
            std::int32_t n = 0;
            if (!parseInt32(v, n)) {
                error = "Invalid " + a + " '" + v + "': expected a whole number.";
                return false;
            }
            target = n;
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--from") {
            if (!number(o.from)) return false;
        } else if (a == "--to") {
            if (!number(o.to)) return false;
        } else if (a == "--size") {
            if (!value(v)) return false;
            std::int32_t w = 0, h = 0;
            if (!parseSize(v, w, h)) {
                error = "Invalid --size '" + v + "': expected WIDTHxHEIGHT.";
                return false;
            }
            o.width = w;
            o.height = h;
        } else if (a == "--style") {
            if (!value(v)) return false;
            if (v == "slow") {
                o.style = TweenStyle::SlowAtKeyframes;
            } else if (v == "constant") {
                o.style = TweenStyle::ConstantSpeed;
            } else {
                error = "Invalid --style '" + v + "': expected slow or constant.";
                return false;
            }
        } else if (a == "--frames") {
            if (!value(v)) return false;
            const std::size_t dash = v.find('-', 1);  // a first number may carry a sign
            std::int32_t first = 0, last = 0;
            if (dash == std::string::npos || !parseInt32(v.substr(0, dash), first) ||
                !parseInt32(v.substr(dash + 1), last)) {
                error = "Invalid --frames '" + v + "': expected FIRST-LAST, two whole numbers.";
                return false;
            }
            o.from = first;
            o.to = last;
        } else if (a == "--folder") {
            if (!value(v)) return false;
            o.folder = v;
        } else if (a == "--video") {
            if (!value(v)) return false;
            if (!containerForPath(v)) {
                error = unknownVideoExtensionText(v);
                return false;
            }
            o.video = v;
        } else if (a == "--fps") {
            if (!value(v)) return false;
            std::int32_t n = 0;
            if (!parseInt32(v, n) || n < kMinVideoFps || n > kMaxVideoFps) {
                error = "Invalid --fps '" + v + "': expected a whole number from 1 to 120.";
                return false;
            }
            o.fps = n;
        } else if (a == "--quality") {
            if (!value(v)) return false;
            const auto q = parseVideoQuality(v);
            if (!q) {
                error = "Invalid --quality '" + v + "': expected high, medium or small.";
                return false;
            }
            o.quality = *q;
        } else if (a == "--no-frames") {
            o.noFrames = true;
        } else if (a == "--resume") {
            o.resume = true;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "Unknown option '" + a + "'.";
            return false;
        } else if (o.document) {
            error = "anim: only one document may be given.";
            return false;
        } else if (a.empty()) {
            error = "An empty file name was given.";
            return false;
        } else {
            o.document = a;
        }
    }
    if (o.noFrames && !o.video) {
        error = "--no-frames needs --video: there would be nothing to write.";
        return false;
    }
    return true;
}

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

void animHelp(std::ostream& out) {
    out << "Usage: velmora-cli anim DOC.vmr [--from N] [--to M] [--frames N-M] [--size WxH]\n"
           "                        [--style slow|constant] [--folder DIR] [--resume]\n"
           "                        [--video OUT] [--fps N] [--quality high|medium|small]\n"
           "                        [--no-frames]\n"
           "Renders the document's animation as frameN.bmp files and writes the\n"
           "playback script script.aas into the frames folder. Without options the\n"
           "document's stored frame size, tweening style and folder are used and the\n"
           "whole animation is rendered. A missing folder is created (one level); an\n"
           "existing one is used as it is. The document file is not changed.\n\n"
           "  --from N                 first frame to render (default 1)\n"
           "  --to M                   last frame to render (default: the last frame)\n"
           "  --size WxH               frame size in pixels\n"
           "  --style slow|constant    tweening: slow at keyframes or constant speed\n"
           "  --frames N-M             the same as --from N --to M\n"
           "  --folder DIR             frames folder\n"
           "  --resume                 keep frame files already complete for these\n"
           "                           settings and render only the others\n"
           "  --video OUT              also encode the frames into OUT as they are\n"
           "                           rendered: .mp4 (H.264, else MPEG-4), .webm (VP9,\n"
           "                           else VP8) or .mkv (H.264, else MPEG-4)\n"
           "  --fps N                  video frame rate, 1 to 120 (default 25)\n"
           "  --quality high|medium|small  video quality (default high)\n"
           "  --no-frames              with --video: write neither the frame files nor\n"
           "                           the script\n"
           "Ranges rendered by several processes into one folder at once give the same\n"
           "files as one render, so a long animation can be shared out by range.\n";
}

int runAnim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progressToErr) {
    AnimOptions o;
    std::string error;
    if (!parseAnimOptions(args, o, error)) {
        err << error << '\n';
        return 1;
    }
    if (o.help) {
        animHelp(out);
        return 0;
    }
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
    if (!checkEnoughKeyframes(doc, host)) return 1;

    RenderSettings s = proposedRenderSettings(doc);
    if (o.from) s.from = *o.from;
    if (o.to) s.to = *o.to;
    if (o.width) s.width = *o.width;
    if (o.height) s.height = *o.height;
    if (o.style) s.tweenStyle = *o.style;
    if (o.folder) s.destFolder = *o.folder;
    s.skipRendered = o.resume;
    s.writeFiles = !o.noFrames;
    if (!bmpSizeFits(s.width, s.height)) {
        err << "The frames are too large for BMP files.\n";
        return 1;
    }
    if (!acceptRenderSettings(s, doc.totalFrames(), host, FolderQuestions::Proceed)) return 1;

    // The video file is made before the first frame, so a path it cannot be
    // written to is known at once; it appears only when it is complete.
    VideoEncoder encoder;
    VideoFrameSink videoSink(encoder);
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

    const AnimRenderResult r =
        renderAnimation(doc, s, progressToErr ? &progress : nullptr, o.video ? &videoSink : nullptr);
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
