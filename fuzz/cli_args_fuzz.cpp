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

void expect(bool condition) {
    if (!condition) std::abort();
}

bool finite(const std::optional<double>& v) { return !v || std::isfinite(*v); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::vector<std::string> args = fuzz::arguments(data, size);
    for (const bool output : {false, true}) {
        for (const bool overrides : {false, true}) {
            cli::Options o;
            std::string error;
            if (!cli::parseOptions(args, output, overrides, o, error)) {
                expect(!error.empty());
                continue;
            }
            const cli::Overrides& v = o.overrides;
            expect(overrides || (!v.width && !v.left && !v.iterations && !v.type && !v.cReal));
            expect(output || !o.output);
            expect(!o.output || !o.output->empty());
            expect(!v.width || (*v.width >= 1 && *v.height >= 1));
            expect(finite(v.left) && finite(v.top) && finite(v.right) && finite(v.bottom));
            expect(finite(v.cReal) && finite(v.cImag));
            for (const auto& p : o.positional) expect(!p.empty());
        }
    }
    cli::AnimOptions a;
    std::string error;
    if (!cli::parseAnimOptions(args, a, error)) expect(!error.empty());
    else expect(!a.document || !a.document->empty());

    // The number readers on the whole input as one token.
    const std::string token(reinterpret_cast<const char*>(data), size);
    double d = 0;
    if (cli::parseDouble(token, d)) expect(std::isfinite(d));
    std::int32_t i = 0, w = 0, h = 0;
    if (cli::parseInt32(token, i)) expect(token.find("+-") == std::string::npos);
    cli::parseSize(token, w, h);
    return 0;
}
