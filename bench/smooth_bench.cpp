// The cost of keeping smooth samples beside a render: the same 1280 x 720
// picture rendered indexed and with setKeepSmooth (then coloured by
// smoothPicture), at a place the doubles resolve and at one past them. Prints
// the best of several runs of each and their ratio.
#include <algorithm>
#include <ctime>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/FractalEngine.h"
#include "engine/SmoothPicture.h"
#include "location/CentreWidth.h"
#include "location/ExactLocationValues.h"
#include "palette/DefaultPalette.h"

namespace {

using namespace velmora;

struct Place {
    const char* name;
    CentreWidth centre;
    std::int32_t limit;
};

// Processor time of the whole process (every thread): another program on
// the machine moves it far less than the wall clock.
struct Clock {
    using time_point = double;
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
    }
};

double since(double start) {
    return Clock::now() - start;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const Place places[] = {
        {"shallow_seahorse_L5000", {"-0.7453", "0.1131", "0.0002"}, 5000},
        {"deep_1e-30_L3000", {"1.3e-31", "1.0000000000000000000000000000003", "1e-30"}, 3000},
    };
    for (const Place& place : places) {
        FractalParams p;
        p.width = 1280, p.height = 720, p.iterations = place.limit;
        ExactLocation edges;
        if (edgesFromCentre(place.centre, p.width, p.height, edges) != CentreWidthFault::None) return 1;
        edges.cReal = "0.3", edges.cImag = "0.6";
        if (!assignExact(p, edges)) return 1;
        FractalEngine indexed(p.width, p.height), kept(p.width, p.height);
        kept.setKeepSmooth(true);
        std::vector<std::uint8_t> rgb(std::size_t(p.width) * 4 * std::size_t(p.height));
        // The indexed render, the render keeping samples, and their colouring.
        double best[3] = {1e300, 1e300, 1e300};
        for (int r = 0; r < runs; ++r) {
            auto start = Clock::now();
            indexed.render(p);
            best[0] = std::min(best[0], since(start));
            start = Clock::now();
            kept.render(p);
            best[1] = std::min(best[1], since(start));
            start = Clock::now();
            smoothPicture(kept, defaultPalette(), ColourSpread{}, rgb.data(), std::size_t(p.width) * 4);
            best[2] = std::min(best[2], since(start));
        }
        std::printf("%-24s deep=%d processor time: indexed %.3f s, kept %.3f s (%.2fx), colouring %.3f s: "
                    "smooth/indexed %.2f\n",
                    place.name, kept.lastRenderWasDeep() ? 1 : 0, best[0], best[1], best[1] / best[0], best[2],
                    (best[1] + best[2]) / best[0]);
    }
    return 0;
}
