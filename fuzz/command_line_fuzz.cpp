// Any command line for the desktop program, cut into arguments at NUL bytes:
// every result names what it needs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using velmora::CommandLineInfo;
    const CommandLineInfo info = velmora::parseCommandLine(velmora::fuzz::arguments(data, size));
    using A = CommandLineInfo::Action;
    if ((info.action == A::Error) == info.error.empty()) std::abort();
    if (info.action == A::New && !info.file.empty()) std::abort();
    return 0;
}
