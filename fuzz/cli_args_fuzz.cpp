// Any command line for velmora-cli, cut into arguments at NUL bytes, through the
// option parsers only (nothing is rendered or written): whatever they accept
// must be a value the commands can use.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "CliAnim.h"
#include "CliOptions.h"
#include "FuzzSupport.h"

namespace {

void Expect(bool condition) {
    if (!condition) std::abort();
}

bool Finite(const std::optional<double>& v) { return !v || std::isfinite(*v); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::vector<std::string> args = fuzz::Arguments(data, size);
    for (const bool output : {false, true}) {
        for (const bool overrides : {false, true}) {
            cli::Options o;
            std::string error;
            if (!cli::parseOptions(args, output, overrides, o, error)) {
                Expect(!error.empty());
                continue;
            }
            const cli::Overrides& v = o.overrides;
            Expect(overrides || (!v.width && !v.left && !v.iterations && !v.type && !v.cReal));
            Expect(output || !o.output);
            Expect(!o.output || !o.output->empty());
            Expect(!v.width || (*v.width >= 1 && *v.height >= 1));
            Expect(Finite(v.left) && Finite(v.top) && Finite(v.right) && Finite(v.bottom));
            Expect(Finite(v.cReal) && Finite(v.cImag));
            for (const auto& p : o.positional) Expect(!p.empty());
        }
    }
    cli::AnimOptions a;
    std::string error;
    if (!cli::parseAnimOptions(args, a, error)) Expect(!error.empty());
    else Expect(!a.document || !a.document->empty());

    // The number readers on the whole input as one token.
    const std::string token(reinterpret_cast<const char*>(data), size);
    double d = 0;
    if (cli::parseDouble(token, d)) Expect(std::isfinite(d));
    std::int32_t i = 0, w = 0, h = 0;
    if (cli::parseInt32(token, i)) Expect(token.find("+-") == std::string::npos);
    cli::parseSize(token, w, h);
    return 0;
}
