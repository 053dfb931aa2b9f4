// Any command line for velmora-cli, cut into arguments at NUL bytes, through the
// command-line parser only (nothing is rendered or written): whatever they accept
// must be a value the commands can use.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "CliParser.h"
#include "FuzzSupport.h"

namespace {

void expect(bool condition) {
    if (!condition) std::abort();
}

bool finite(const std::optional<double>& v) { return !v || std::isfinite(*v); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::vector<std::string> args = fuzz::arguments(data, size);
    // The words as they come, and after each command's name.
    for (const char* name : {"", "render", "info", "resave", "new", "palette", "anim"}) {
        std::vector<std::string> line = args;
        if (*name != '\0') line.insert(line.begin(), name);
        cli::CommandLine c;
        std::string error;
        if (!cli::parseCommandLine(line, c, error)) {
            expect(!error.empty());
            continue;
        }
        const cli::Options& o = c.options;
        const cli::Overrides& v = o.overrides;
        const bool overrides = c.command == cli::Command::Render || c.command == cli::Command::New;
        const bool output = c.command == cli::Command::Render || c.command == cli::Command::Palette;
        expect(overrides || (!v.width && !v.left && !v.iterations && !v.type && !v.cReal));
        expect(output || !o.output);
        expect(!o.output || !o.output->empty());
        expect(!v.width || (*v.width >= 1 && *v.height >= 1));
        expect(finite(v.left) && finite(v.top) && finite(v.right) && finite(v.bottom));
        expect(finite(v.cReal) && finite(v.cImag));
        for (const auto& p : o.positional) expect(!p.empty());
        expect(!c.anim.document || !c.anim.document->empty());
    }

    // The number readers on the whole input as one token.
    const std::string token(reinterpret_cast<const char*>(data), size);
    double d = 0;
    if (cli::parseDouble(token, d)) expect(std::isfinite(d));
    std::int32_t i = 0, w = 0, h = 0;
    if (cli::parseInt32(token, i)) expect(token.find("+-") == std::string::npos);
    cli::parseSize(token, w, h);
    return 0;
}
