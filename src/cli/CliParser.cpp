#include "CliParser.h"

#include <CLI/CLI.hpp>
#include <climits>
#include <functional>
#include <iomanip>
#include <sstream>

#include "location/DecimalText.h"
#include "location/Mpfr.h"
#include "video/VideoOptions.h"

namespace velmora::cli {
namespace {

// What the help says of the program and of each command.
struct CommandText {
    std::optional<Command> command;
    const char* name;
    const char* synopsis;
    const char* summary;  // the line in the program's list of commands
    const char* about;
    const char* footer;
};

constexpr const char* kNumbersNote =
    "Numbers are decimal, of any length: digits beyond a double's are kept, so\n"
    "a location deeper than doubles can hold is rendered and saved exactly.";

const CommandText kTexts[] = {
    {std::nullopt, "velmora-cli", "COMMAND [ARGS]", "",
     "Headless Velmora: render pictures and inspect or rewrite documents.",
     "Run 'velmora-cli COMMAND --help' for a command's options."},
    {Command::Render, "render", "render [DOC] -o OUT.bmp|OUT.png [overrides]", "render a document (or a new one)",
     "Renders DOC (a .vmr document, or a PNG that Velmora exported; else a new\n"
     "default document) at its size and writes the picture with the document's\n"
     "palette: an 8-bit BMP, or, when OUT ends in .png, an 8-bit indexed PNG that\n"
     "holds the document too and is rendered in strips, so any size fits in memory.",
     kNumbersNote},
    {Command::Info, "info", "info DOC.vmr|DOC.png", "print a document as JSON",
     "Prints the document's parameters, palette and keyframes as one JSON object.\n"
     "Its \"exact\" objects give the region's edges and the Julia constant as\n"
     "decimal strings, to every digit the document holds.",
     ""},
    {Command::Resave, "resave", "resave IN.vmr OUT.vmr", "load a document and save it again",
     "Loads IN.vmr and saves it as OUT.vmr.", ""},
    {Command::New, "new", "new OUT.vmr [overrides]", "write a new default document",
     "Writes a new document with the default values.", kNumbersNote},
    {Command::Palette, "palette", "palette IN -o OUT.rgb", "convert a palette file to .rgb",
     "Loads IN (.rgb, FractInt .map or JASC .pal, chosen by its last three\n"
     "characters) over the default palette as the Palette Editor's Load does,\n"
     "and writes it as an .rgb palette file as the editor's Save does.",
     ""},
    {Command::Anim, "anim", "anim DOC.vmr [options]", "render the document's animation frames",
     "Renders the document's animation as frameN.bmp files and writes the\n"
     "playback script script.aas into the frames folder. Without options the\n"
     "document's stored frame size, tweening style and folder are used and the\n"
     "whole animation is rendered. A missing folder is created (one level); an\n"
     "existing one is used as it is. The document file is not changed.",
     "Ranges rendered by several processes into one folder at once give the same\n"
     "files as one render, so a long animation can be shared out by range."},
    {Command::Keyframe, "keyframe", "keyframe add|list|set|remove DOC.vmr [INDEX] [options]",
     "edit or list a document's keyframes",
     "add: inserts the document's active location, with the overrides laid over\n"
     "it, as a keyframe at --at (default: after the last). list: prints the\n"
     "keyframes as JSON. set: changes keyframe INDEX (0 the first). remove:\n"
     "deletes keyframe INDEX. The rules are the frames window's: every keyframe\n"
     "is of the first one's type, counts are at least 1, a new keyframe's count\n"
     "is proposed as 10. The document is saved in place; the rest of it is kept.",
     kNumbersNote},
    {Command::Zoom, "zoom", "zoom OUT.mp4|OUT.webm|OUT.mkv --center RE,IM --width W [options]",
     "make a zoom video down to a place",
     "Makes a video that zooms at a steady speed from a view --from-width wide\n"
     "(default 4, the whole set) down to the view --width wide about --center,\n"
     "at any depth. The frames are rendered as an animation of keyframes and\n"
     "encoded as they are made; with --folder they are kept there too, and\n"
     "--resume keeps those already complete.",
     kNumbersNote},
    {Command::Set, "set", "set DOC.vmr [overrides] [options]", "change a document in place",
     "Lays the overrides, the palette and the animation settings given over the\n"
     "document and saves it in place; the rest of it is kept.",
     kNumbersNote},
};

const CommandText& textOf(const CLI::App* app) {
    for (const CommandText& t : kTexts)
        if (app->get_name() == t.name) return t;
    return kTexts[0];
}

// The usage line first, then what the command does; commands listed by their synopsis.
class HelpFormat : public CLI::Formatter {
public:
    HelpFormat() { column_width(27); }
    std::string make_description(const CLI::App*) const override { return ""; }
    std::string make_usage(const CLI::App* app, std::string) const override {
        const CommandText& t = textOf(app);
        return std::string("Usage: velmora-cli ") + t.synopsis + "\n" + t.about + "\n\n";
    }
    // CLI11 puts a blank line between groups already.
    std::string make_group(std::string group, bool positional, std::vector<const CLI::Option*> options) const override {
        std::string out = group + ":\n";
        for (const CLI::Option* o : options) out += make_option(o, positional);
        return out;
    }
    std::string make_subcommand(const CLI::App* sub) const override {
        const CommandText& t = textOf(sub);
        std::ostringstream out;
        out << "  " << std::left << std::setw(45) << t.synopsis << t.summary << '\n';
        return out.str();
    }
};

// A value the command line refuses: ends the parse with its message.
struct Refusal {
    std::string message;
};

[[noreturn]] void refuse(const std::string& option, const std::string& value, const std::string& expected) {
    throw Refusal{"Invalid " + option + " '" + value + "': expected " + expected + "."};
}

// A whole number from low to high, both included.
std::int32_t inRange(const std::string& option, const std::string& v, std::int32_t low, std::int32_t high) {
    std::int32_t n = 0;
    if (!parseInt32(v, n) || n < low || n > high)
        refuse(option, v, "a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    return n;
}

std::int32_t wholeNumber(const std::string& option, const std::string& v) {
    std::int32_t n = 0;
    if (!parseInt32(v, n)) refuse(option, v, "a whole number");
    return n;
}

// An option whose value is kept as typed and handed to `read`, at once: a
// refusal comes in the order of the command line, and the last of a repeated
// option is the one that counts.
CLI::Option* value(CLI::App& app, const std::string& names, const std::string& type, const std::string& help,
                   std::function<void(const std::string&)> read) {
    return app.add_option_function<std::string>(names, std::move(read), help)->type_name(type)->trigger_on_parse();
}

CLI::App* command(CLI::App& app, Command c, CommandLine& into) {
    for (const CommandText& t : kTexts) {
        if (t.command != c) continue;
        CLI::App* sub = app.add_subcommand(t.name, t.summary);
        sub->group("Commands");
        sub->footer(t.footer);
        sub->add_flag("-h,--help", into.help, "show this command's options");
        return sub;
    }
    return nullptr;
}

void addOutput(CLI::App& app, Options& o, const std::string& type) {
    value(app, "-o,--output", type, "the file to write", [&o](const std::string& v) {
        if (v.empty()) throw Refusal{"Option -o needs a file name, and it was given an empty one."};
        o.output = v;
    });
}

// The decimal list's text, every digit kept, and its nearest doubles.
template <std::size_t N>
std::array<std::string, N> decimals(const std::string& option, const std::string& v, const std::string& expected,
                                    std::vector<double>& d) {
    std::vector<std::string> t;
    if (!parseDecimalList(v, N, t, d)) refuse(option, v, expected);
    std::array<std::string, N> out;
    std::copy(t.begin(), t.end(), out.begin());
    return out;
}

// A picture size, both sides at least 1.
std::pair<std::int32_t, std::int32_t> pictureSize(const std::string& option, const std::string& v) {
    std::int32_t w = 0, h = 0;
    if (!parseSize(v, w, h) || w < 1 || h < 1) refuse(option, v, "WIDTHxHEIGHT with both at least 1");
    return {w, h};
}

void addOverrides(CLI::App& app, Overrides& o) {
    const std::string group = "Overrides";
    value(app, "--size", "WxH", "image size in pixels", [&o](const std::string& v) {
        std::tie(o.width, o.height) = pictureSize("--size", v);
    })->group(group);
    value(app, "--region", "L,T,R,B",
          "region edges (left, top, right, bottom; top the smaller\nimaginary part, shown in the top row)",
          [&o](const std::string& v) {
              std::vector<double> d;
              o.regionText = decimals<4>("--region", v, "four finite numbers LEFT,TOP,RIGHT,BOTTOM", d);
              std::tie(o.left, o.top, o.right, o.bottom) = std::tuple(d[0], d[1], d[2], d[3]);
          })->group(group);
    value(app, "--center", "RE,IM", "centre of the region, with --width instead of --region",
          [&o](const std::string& v) {
              std::vector<double> d;
              const auto t = decimals<2>("--center", v, "two finite numbers RE,IM", d);
              if (!o.centre) o.centre = CentreWidth{};
              o.centre->re = t[0];
              o.centre->im = t[1];
          })->group(group);
    value(app, "--width", "W", "width of the region; its height is W x HEIGHT / WIDTH", [&o](const std::string& v) {
        Mpfr w(64);
        if (!readDecimal(v, w) || mpfr_sgn(w.get()) <= 0) refuse("--width", v, "a finite number greater than 0");
        if (!o.centre) o.centre = CentreWidth{};
        o.centre->width = v;
    })->group(group);
    value(app, "--iterations", "N", "iteration limit (Detail Level + 1)", [&o](const std::string& v) {
        o.iterations = inRange("--iterations", v, INT32_MIN, INT32_MAX);
    })->group(group);
    value(app, "--type", "mandelbrot|julia", "which set", [&o](const std::string& v) {
        if (v != "mandelbrot" && v != "julia") refuse("--type", v, "mandelbrot or julia");
        o.type = v == "julia" ? FractalType::Julia : FractalType::Mandelbrot;
    })->group(group);
    value(app, "--julia", "CR,CI", "Julia constant", [&o](const std::string& v) {
        std::vector<double> d;
        o.juliaText = decimals<2>("--julia", v, "two finite numbers REAL,IMAGINARY", d);
        o.cReal = d[0];
        o.cImag = d[1];
    })->group(group);
}

void addPalette(CLI::App& app, std::optional<std::string>& palette, const std::string& what) {
    value(app, "--palette", "FILE", what + " (.rgb, .map or .pal, loaded over\nthe default palette as the Palette Editor's Load does)",
          [&palette](const std::string& v) { palette = v; });
}

void addAnimationSettings(CLI::App& app, AnimationChanges& a) {
    const std::string group = "Animation settings";
    value(app, "--anim-size", "WxH", "frame size of the animation", [&a](const std::string& v) {
        std::tie(a.width, a.height) = pictureSize("--anim-size", v);
    })->group(group);
    value(app, "--style", "slow|constant", "tweening: slow at keyframes or constant speed", [&a](const std::string& v) {
        if (v != "slow" && v != "constant") refuse("--style", v, "slow or constant");
        a.style = v == "slow" ? TweenStyle::SlowAtKeyframes : TweenStyle::ConstantSpeed;
    })->group(group);
    value(app, "--folder", "DIR", "frames folder", [&a](const std::string& v) { a.folder = v; })->group(group);
    value(app, "--playback", "forwards|reverse|pingpong[+loop]", "how the player plays the frames",
          [&a](const std::string& v) {
              const std::size_t plus = v.find('+');
              const std::string way = v.substr(0, plus);
              const bool loop = plus != std::string::npos;
              if ((way != "forwards" && way != "reverse" && way != "pingpong") || (loop && v.substr(plus) != "+loop"))
                  refuse("--playback", v, "forwards, reverse or pingpong, each with +loop or not");
              PlaybackStyle s = way == "forwards"  ? PlaybackStyle::Forwards
                                : way == "reverse" ? PlaybackStyle::Reverse
                                                   : PlaybackStyle::PingPong;
              if (loop) s = s | PlaybackStyle::Looping;
              a.playback = s;
          })->group(group);
}

void addColourOptions(CLI::App& app, ColourChanges& c) {
    const std::string group = "Smooth colouring";
    value(app, "--density", "D", "counts per palette entry in smooth pictures\n(a number greater than 0; default 1)",
          [&c](const std::string& v) {
              double d = 0.0;
              if (!parseDouble(v, d) || !colourDensityAllowed(d))
                  refuse("--density", v, "a finite number greater than 0");
              c.density = d;
          })->group(group);
    value(app, "--offset", "K", "the palette entry smooth pictures start at\n(0 up to, not including, 256; default 0)",
          [&c](const std::string& v) {
              double k = 0.0;
              if (!parseDouble(v, k) || !colourOffsetAllowed(k))
                  refuse("--offset", v, "a number from 0 up to 256, 256 excluded");
              c.offset = k;
          })->group(group);
}

void addSmoothFrames(CLI::App& app, bool& smooth) {
    app.add_flag("--smooth", smooth,
                 "true-colour frames, each pixel coloured between two\npalette entries by its fractional count (PNG files)")
        ->group("Smooth colouring");
}

void addFromJson(CLI::App& app, Options& o) {
    value(app, "--from-json", "IN.json", "the document from the JSON text that info prints",
          [&o](const std::string& v) { o.fromJson = v; });
}

void addKeyframeOptions(CLI::App& app, Options& o) {
    value(app, "--transitions", "N", "frames from this keyframe to the next (at least 1)",
          [&o](const std::string& v) { o.transitions = wholeNumber("--transitions", v); });
    value(app, "--at", "INDEX", "add: the index the new keyframe takes (default: last)",
          [&o](const std::string& v) { o.at = wholeNumber("--at", v); });
}

void addZoomOptions(CLI::App& app, ZoomOptions& z) {
    value(app, "--center", "RE,IM", "the place zoomed to", [&z](const std::string& v) {
        std::vector<double> d;
        const auto t = decimals<2>("--center", v, "two finite numbers RE,IM", d);
        if (!z.target) z.target = CentreWidth{};
        std::tie(z.target->re, z.target->im) = std::tuple(t[0], t[1]);
    });
    const auto width = [](const std::string& option, const std::string& v) {
        Mpfr w(64);
        if (!readDecimal(v, w) || mpfr_sgn(w.get()) <= 0) refuse(option, v, "a finite number greater than 0");
        return v;
    };
    value(app, "--width", "W", "the last frame's width", [&z, width](const std::string& v) {
        if (!z.target) z.target = CentreWidth{};
        z.target->width = width("--width", v);
    });
    value(app, "--from-width", "W0", "the first frame's width (default 4)",
          [&z, width](const std::string& v) { z.fromWidth = width("--from-width", v); });
    value(app, "--seconds", "S", "length of the video (default 10)", [&z](const std::string& v) {
        if (!parseDouble(v, z.seconds) || !(z.seconds > 0)) refuse("--seconds", v, "a number greater than 0");
    });
    value(app, "--fps", "N", "frame rate, 1 to 120 (default 25)",
          [&z](const std::string& v) { z.fps = inRange("--fps", v, kMinVideoFps, kMaxVideoFps); });
    value(app, "--size", "WxH", "frame size in pixels (default 640x480)",
          [&z](const std::string& v) { std::tie(z.width, z.height) = pictureSize("--size", v); });
    value(app, "--iterations", "N", "iteration limit (at the end, with --iterations-from)",
          [&z](const std::string& v) { z.iterations = inRange("--iterations", v, 1, INT32_MAX); });
    value(app, "--iterations-from", "N0", "iteration limit of the first frame, rising to --iterations",
          [&z](const std::string& v) { z.iterationsFrom = inRange("--iterations-from", v, 1, INT32_MAX); });
    addPalette(app, z.palette, "every frame's palette");
    value(app, "--save", "DOC.vmr", "also keep the animation as a document",
          [&z](const std::string& v) { z.save = v; });
    value(app, "--folder", "DIR", "keep the frames in DIR", [&z](const std::string& v) { z.folder = v; });
    app.add_flag("--resume", z.resume, "with --folder: keep frames already complete");
    value(app, "--quality", "high|medium|small", "video quality (default high)", [&z](const std::string& v) {
        const auto q = parseVideoQuality(v);
        if (!q) refuse("--quality", v, "high, medium or small");
        z.quality = *q;
    });
}

void addPngOptions(CLI::App& app, Options& o) {
    const std::string group = "PNG output";
    value(app, "--supersample", "N",
          "a true-colour picture, each pixel the mean of an N x N\nblock of a render at N times the size (1 to 8)",
          [&o](const std::string& v) { o.supersample = inRange("--supersample", v, 1, 8); })
        ->group(group);
    app.add_flag("--smooth", o.smooth,
                 "a true-colour picture, each pixel coloured between two\npalette entries by its fractional count")
        ->group(group);
    value(app, "--verify", "N",
          "recompute N pixels (at most all) with a plain\n"
          "arbitrary-precision loop, count borders first, and\n"
          "print how many differ; each costs two runs of that\n"
          "slow loop (at two precisions: a pixel whose count\n"
          "moves with the bits is 'unresolved'). Exit code 3\n"
          "when any differ; the picture is written all the same",
          [&o](const std::string& v) { o.verify = inRange("--verify", v, 1, INT32_MAX); })
        ->group("Options");
}

void addAnimOptions(CLI::App& app, AnimOptions& o) {
    value(app, "--from", "N", "first frame to render (default 1)",
          [&o](const std::string& v) { o.from = wholeNumber("--from", v); });
    value(app, "--to", "M", "last frame to render (default: the last frame)",
          [&o](const std::string& v) { o.to = wholeNumber("--to", v); });
    value(app, "--frames", "N-M", "the same as --from N --to M", [&o](const std::string& v) {
        const std::size_t dash = v.find('-', 1);  // a first number may carry a sign
        std::int32_t first = 0, last = 0;
        if (dash == std::string::npos || !parseInt32(v.substr(0, dash), first) ||
            !parseInt32(v.substr(dash + 1), last))
            refuse("--frames", v, "FIRST-LAST, two whole numbers");
        o.from = first;
        o.to = last;
    });
    value(app, "--size", "WxH", "frame size in pixels", [&o](const std::string& v) {
        std::int32_t w = 0, h = 0;
        if (!parseSize(v, w, h)) refuse("--size", v, "WIDTHxHEIGHT");
        o.width = w;
        o.height = h;
    });
    value(app, "--style", "slow|constant", "tweening: slow at keyframes or constant speed", [&o](const std::string& v) {
        if (v != "slow" && v != "constant") refuse("--style", v, "slow or constant");
        o.style = v == "slow" ? TweenStyle::SlowAtKeyframes : TweenStyle::ConstantSpeed;
    });
    value(app, "--folder", "DIR", "frames folder", [&o](const std::string& v) { o.folder = v; });
    app.add_flag("--resume", o.resume, "keep frame files already complete for these\nsettings and render only the others");
    value(app, "--video", "OUT",
          "also encode the frames into OUT as they are\nrendered: .mp4 (H.264, else MPEG-4), .webm (VP9,\n"
          "else VP8) or .mkv (H.264, else MPEG-4)",
          [&o](const std::string& v) {
              if (!containerForPath(v)) throw Refusal{unknownVideoExtensionText(v)};
              o.video = v;
          });
    value(app, "--fps", "N", "video frame rate, 1 to 120 (default 25)",
          [&o](const std::string& v) { o.fps = inRange("--fps", v, kMinVideoFps, kMaxVideoFps); });
    value(app, "--quality", "high|medium|small", "video quality (default high)", [&o](const std::string& v) {
        const auto q = parseVideoQuality(v);
        if (!q) refuse("--quality", v, "high, medium or small");
        o.quality = *q;
    });
    app.add_flag("--no-frames", o.noFrames, "with --video: write neither the frame files nor\nthe script");
}

// The option a value was missing from, as typed: the last word, up to an
// '=', or the last letter of a cluster of short options.
std::string lastOptionTyped(const std::vector<std::string>& args) {
    const std::string& a = args.back();
    if (a.rfind("--", 0) == 0) return a.substr(0, a.find('='));
    return a.size() > 1 ? std::string{'-', a.back()} : a;
}

// What CLI11 leaves over are the words it took for no option: positionals,
// and words that look like options but name none.
bool sortLeftovers(const std::vector<std::string>& words, std::vector<std::string>& positional, std::string& error) {
    for (const std::string& w : words) {
        if (w.size() > 1 && w[0] == '-') {
            error = "Unknown option '" + w + "'.";
            return false;
        }
        if (w.empty()) {
            error = "An empty file name was given.";
            return false;
        }
        positional.push_back(w);
    }
    return true;
}

// The rules between options, checked once every option is read.
bool checkTogether(CommandLine& line, std::string& error) {
    if (line.command == Command::Anim) {
        AnimOptions& a = line.anim;
        const auto& docs = line.options.positional;
        if (docs.size() > 1) {
            error = "anim: only one document may be given.";
            return false;
        }
        if (!docs.empty()) a.document = docs[0];
        if (a.noFrames && !a.video) {
            error = "--no-frames needs --video: there would be nothing to write.";
            return false;
        }
    }
    if (line.command == Command::Zoom) {
        line.zoom.positional = line.options.positional;
        if (line.zoom.resume && !line.zoom.folder) {
            error = "--resume needs --folder: only kept frames can be resumed.";
            return false;
        }
        if (!line.zoom.positional.empty() && !containerForPath(line.zoom.positional[0])) {
            error = unknownVideoExtensionText(line.zoom.positional[0]);
            return false;
        }
    }
    if (const auto& c = line.options.overrides.centre) {
        if (c->re.empty() || c->width.empty()) {
            error = "Options --center and --width go together: give both.";
            return false;
        }
        if (line.options.overrides.regionText) {
            error = "Options --center and --width replace --region: give one or the other.";
            return false;
        }
    }
    return true;
}

}  // namespace

std::unique_ptr<CLI::App> declareCommandLine(CommandLine& into) {
    auto app = std::make_unique<CLI::App>(kTexts[0].about, kTexts[0].name);
    app->formatter(std::make_shared<HelpFormat>());
    app->footer(kTexts[0].footer);
    // Subcommands take these from the program as they are made.
    app->set_help_flag();
    app->allow_extras();
    app->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    // At most one command: a later word that names one is a file of that name.
    app->require_subcommand(0, 1);
    // Read only in first place, by parseCommandLine.
    app->add_flag("-h,--help")->description("show this help");
    app->add_flag("--version")->description("show the version");

    Options& o = into.options;
    CLI::App* render = command(*app, Command::Render, into);
    addOutput(*render, o, "OUT.bmp|OUT.png");
    addOverrides(*render, o.overrides);
    addPalette(*render, o.palette, "render with this palette");
    addFromJson(*render, o);
    addPngOptions(*render, o);
    addColourOptions(*render, o.colour);
    command(*app, Command::Info, into);
    command(*app, Command::Resave, into);
    CLI::App* fresh = command(*app, Command::New, into);
    addOverrides(*fresh, o.overrides);
    addPalette(*fresh, o.palette, "the document's palette");
    addAnimationSettings(*fresh, o.animation);
    addColourOptions(*fresh, o.colour);
    addFromJson(*fresh, o);
    addOutput(*command(*app, Command::Palette, into), o, "OUT.rgb");
    CLI::App* anim = command(*app, Command::Anim, into);
    addAnimOptions(*anim, into.anim);
    addPalette(*anim, into.anim.palette, "every keyframe's palette");
    addSmoothFrames(*anim, into.anim.smooth);
    addColourOptions(*anim, into.anim.colour);
    CLI::App* keyframe = command(*app, Command::Keyframe, into);
    addOverrides(*keyframe, o.overrides);
    addPalette(*keyframe, o.palette, "the keyframe's palette");
    addKeyframeOptions(*keyframe, o);
    CLI::App* zoom = command(*app, Command::Zoom, into);
    addZoomOptions(*zoom, into.zoom);
    addSmoothFrames(*zoom, into.zoom.smooth);
    addColourOptions(*zoom, into.zoom.colour);
    CLI::App* set = command(*app, Command::Set, into);
    addOverrides(*set, o.overrides);
    addPalette(*set, o.palette, "the document's palette");
    addAnimationSettings(*set, o.animation);
    addColourOptions(*set, o.colour);
    return app;
}

bool parseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    const auto app = declareCommandLine(line);
    if (args.empty()) return true;
    // The program's own options count only in first place, the word "help" too.
    const std::string& first = args[0];
    if (first == "help" || app->get_option("--help")->check_name(first)) {
        line.help = true;
        return true;
    }
    if (app->get_option("--version")->check_name(first)) {
        line.version = true;
        return true;
    }
    CLI::App* sub = nullptr;
    for (CLI::App* s : app->get_subcommands({}))
        if (s->get_name() == first) sub = s;
    if (sub == nullptr) {
        error = "Unknown command '" + first + "'. Run 'velmora-cli --help'.";
        return false;
    }
    line.command = textOf(sub).command;
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app->parse(reversed);
    } catch (const Refusal& r) {
        error = r.message;
        return false;
    } catch (const CLI::ArgumentMismatch&) {
        // Values are taken whatever they look like, so only the last word can lack one.
        error = "Option " + lastOptionTyped(args) + " needs a value.";
        return false;
    } catch (const CLI::Error& e) {
        error = e.what();
        return false;
    }
    // Words after a "--" come back to the program, which takes none there.
    if (!app->remaining().empty() || app->get_option("--help")->count() + app->get_option("--version")->count() > 0) {
        error = "Unknown option '--'.";
        return false;
    }
    return sortLeftovers(sub->remaining(), line.options.positional, error) && checkTogether(line, error);
}

std::string helpText(std::optional<Command> command) {
    CommandLine unused;
    const auto app = declareCommandLine(unused);
    for (CLI::App* sub : app->get_subcommands({}))
        if (textOf(sub).command == command) return sub->help();
    return app->help();
}

}  // namespace velmora::cli
