#include "CliAnim.h"

#include <iomanip>
#include <optional>
#include <ostream>

#include "CliOptions.h"
#include "anim/AnimMessages.h"
#include "anim/AnimRender.h"
#include "anim/RenderSettingsCheck.h"
#include "model/Document.h"
#include "platform/ConsoleHost.h"

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
        } else if (a == "--folder") {
            if (!value(v)) return false;
            o.folder = v;
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
    out << "Usage: velmora-cli anim DOC.vmr [--from N] [--to M] [--size WxH]\n"
           "                        [--style slow|constant] [--folder DIR]\n"
           "Renders the document's animation as frameN.bmp files and writes the\n"
           "playback script script.aas into the frames folder. Without options the\n"
           "document's stored frame size, tweening style and folder are used and the\n"
           "whole animation is rendered. A missing folder is created (one level); an\n"
           "existing one is used as it is. The document file is not changed.\n\n"
           "  --from N                 first frame to render (default 1)\n"
           "  --to M                   last frame to render (default: the last frame)\n"
           "  --size WxH               frame size in pixels\n"
           "  --style slow|constant    tweening: slow at keyframes or constant speed\n"
           "  --folder DIR             frames folder\n";
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
    if (!bmpSizeFits(s.width, s.height)) {
        err << "The frames are too large for BMP files.\n";
        return 1;
    }
    if (!acceptRenderSettings(s, doc.totalFrames(), host, FolderQuestions::Proceed)) return 1;

    const AnimRenderResult r = renderAnimation(doc, s, progressToErr ? &progress : nullptr);
    if (progressToErr) progress.end();
    if (!r.completed() || !r.scriptWritten) return 1;  // the message has been shown
    out << animtext::kRenderDone << '\n';
    return 0;
}

}  // namespace velmora::cli
