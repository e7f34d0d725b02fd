#pragma once

#include "DropClock.h"

#include <optional>
#include <utility>

// Turns pages under a dragged tile, so it can be dropped on another page. A
// drag that rests in the strip along the grid's left or right side turns one
// page that way, and one more each time it rests there again as long; a drag
// that rests over a page dot shows that dot's page. Moving inside the same
// strip is still resting: a hand never holds quite still.
class EdgePager {
public:
    // Seconds of rest before a turn, and between turns; exactly this counts.
    static constexpr double restTime = 0.5;
    // Width of the strips, in points: inside the grid's 80-point margins, so a
    // drag on its way to a tile of the outer columns does not turn the page.
    static constexpr double edgeWidth = 60;

    explicit EdgePager(DropClock clock)
        : m_clock(std::move(clock)) {}

    // The drag is at `x` across a grid `width` wide, over the dot of page `dot`
    // (-1: over no dot). Anywhere else than a strip or a dot, it rests nowhere.
    void hover(double x, double width, int dot);
    void leave() { m_spot.reset(); }
    [[nodiscard]] bool isResting() const { return m_spot.has_value(); }
    // The page to show now, while `shownPage` of `pageCount` is shown: nothing
    // until the drag has rested long enough, nor past the first or last page.
    [[nodiscard]] std::optional<int> due(int shownPage, int pageCount);

private:
    // An edge's step (-1 or +1) and no dot, or no step and a dot's page.
    struct Spot {
        int step = 0;
        int dot = -1;
        bool operator==(const Spot&) const = default;
    };

    DropClock m_clock;
    std::optional<Spot> m_spot;
    double m_since = 0;
};
