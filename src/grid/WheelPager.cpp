#include "WheelPager.h"

#include <cmath>

int WheelPager::feed(QPointF angleDelta, double now) {
    if (now - m_lastEvent > gesturePause || now < m_lastEvent) {
        m_accumulated = 0;
        m_stepped = false;
    }
    m_lastEvent = now;
    if (m_stepped)
        return 0;
    const bool horizontal = std::abs(angleDelta.x()) > std::abs(angleDelta.y());
    m_accumulated += horizontal ? angleDelta.x() : angleDelta.y();
    // Qt reports scrolling down (or right) as negative deltas.
    if (m_accumulated <= -stepThreshold || m_accumulated >= stepThreshold) {
        m_stepped = true;
        return m_accumulated < 0 ? 1 : -1;
    }
    return 0;
}
