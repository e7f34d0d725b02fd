#pragma once

#include "AppItem.h"
#include "DropClock.h"
#include "DropHoverState.h"
#include "DropOperation.h"

#include <functional>
#include <optional>

// The drop handler of one application tile. A quick drop moves the dragged
// application to the target's place; resting on the target for the hover
// threshold first makes a folder of the two instead. It holds no state: it
// works on the grid's dragged application and the page's hover state, which
// it receives by reference, and is made anew for every drag event.
class AppDropDelegate {
public:
    // (from, to) as positions in the application list it was given.
    using MoveAction = std::function<void(int from, int to)>;
    using CreateFolderAction = std::function<void(const AppItem& dragged, const AppItem& target)>;

    static constexpr double defaultHoverThreshold = 0.5;

    AppDropDelegate(AppItem targetApp, AppList allApps, std::optional<AppItem>& draggedApp,
                    DropHoverState& hover, MoveAction onMove, CreateFolderAction onCreateFolder,
                    DropClock clock, double hoverThreshold = defaultHoverThreshold);

    // Every drag of the accepted type may enter; refusing happens in updates.
    [[nodiscard]] bool validateDrop() const { return true; }
    void dropEntered();
    [[nodiscard]] DropOperation dropUpdated() const;
    void dropExited();
    // Whether the drop was taken. A drop that cannot be placed is still taken.
    bool performDrop();

private:
    // Applications are the same when their ids are; records are never compared whole.
    [[nodiscard]] bool isTarget(const std::optional<AppItem>& app) const;
    [[nodiscard]] bool hasRested() const;
    void clear();

    AppItem m_targetApp;
    AppList m_allApps;
    std::optional<AppItem>& m_draggedApp;
    DropHoverState& m_hover;
    MoveAction m_onMove;
    CreateFolderAction m_onCreateFolder;
    DropClock m_clock;
    double m_hoverThreshold;
};
