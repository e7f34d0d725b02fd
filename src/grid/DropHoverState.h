#pragma once

#include "AppItem.h"

#include <optional>

// The hover state one page keeps while a drag crosses its application tiles:
// the tile drawn with a ring, and when the drag last entered it.
struct DropHoverState {
    std::optional<AppItem> dropTargetApp;
    std::optional<double> hoverStartTime;
};
