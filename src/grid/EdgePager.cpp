#include "EdgePager.h"

void EdgePager::hover(double x, double width, int dot) {
    const int step = dot >= 0 ? 0 : x < edgeWidth ? -1 : x > width - edgeWidth ? 1 : 0;
    const Spot spot{step, dot};
    if (spot == Spot{}) {
        leave();
        return;
    }
    if (m_spot != spot)
        m_since = m_clock();
    m_spot = spot;
}

std::optional<int> EdgePager::due(int shownPage, int pageCount) {
    if (!m_spot)
        return std::nullopt;
    const double now = m_clock();
    if (now - m_since < restTime)
        return std::nullopt;
    const int target = m_spot->dot >= 0 ? m_spot->dot : shownPage + m_spot->step;
    if (target < 0 || target >= pageCount || target == shownPage)
        return std::nullopt;
    // The next turn waits for a full rest again.
    m_since = now;
    return target;
}
