#include "model/NavigationHistory.h"

namespace velmora {

namespace {

std::optional<FractalParams> move(std::vector<FractalParams>& from, std::vector<FractalParams>& to,
                                  const FractalParams& current) {
    if (from.empty()) return std::nullopt;
    const FractalParams target = from.back();
    from.pop_back();
    to.push_back(current);
    return target;
}

}  // namespace

void NavigationHistory::push(const FractalParams& replaced) {
    m_forward.clear();
    if (m_back.size() >= kLimit) m_back.erase(m_back.begin());
    m_back.push_back(replaced);
}

std::optional<FractalParams> NavigationHistory::back(const FractalParams& current) {
    return move(m_back, m_forward, current);
}

std::optional<FractalParams> NavigationHistory::forward(const FractalParams& current) {
    return move(m_forward, m_back, current);
}

void NavigationHistory::clear() {
    m_back.clear();
    m_forward.clear();
}

}  // namespace velmora
