#pragma once

#include <QPointF>

// Turns wheel and touchpad scrolling into whole-page steps. A gesture is a
// burst of wheel events without a pause; each gesture turns at most one page,
// so the long tail of a touchpad swipe does not fly through the grid.
class WheelPager {
public:
    // Scrolling of at least this many eighths of a degree (two-thirds of a
    // mouse-wheel notch) turns the page.
    static constexpr double stepThreshold = 80.0;
    // A pause this long (seconds) ends a gesture.
    static constexpr double gesturePause = 0.25;

    // -1, 0 or +1 pages for one wheel event at time `now` (seconds). Scrolling
    // down or to the right goes forward; the larger axis of the event counts.
    [[nodiscard]] int feed(QPointF angleDelta, double now);

private:
    double m_accumulated = 0;
    double m_lastEvent = -1e9;
    bool m_stepped = false;
};
