#pragma once
// Back and Forward through the places a document was shown at, like a
// browser's: each change that renders pushes the values it replaced.
#include <cstddef>
#include <optional>
#include <vector>

#include "location/FractalParams.h"

namespace velmora {

class NavigationHistory {
public:
    // The values a change replaced; whatever lay forward is dropped.
    void push(const FractalParams& replaced);
    bool canGoBack() const { return !m_back.empty(); }
    bool canGoForward() const { return !m_forward.empty(); }
    // The values to show instead of `current`, which is kept for the other
    // direction; empty when there is nothing to go to.
    std::optional<FractalParams> back(const FractalParams& current);
    std::optional<FractalParams> forward(const FractalParams& current);
    void clear();

    // Enough for any session; the oldest places go first.
    static constexpr std::size_t kLimit = 1000;

private:
    std::vector<FractalParams> m_back;
    std::vector<FractalParams> m_forward;
};

}  // namespace velmora
