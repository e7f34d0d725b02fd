#include "AppDropDelegate.h"

#include "MoveTranslation.h"

AppDropDelegate::AppDropDelegate(AppItem targetApp, AppList allApps,
                                 std::optional<AppItem>& draggedApp, DropHoverState& hover,
                                 MoveAction onMove, CreateFolderAction onCreateFolder,
                                 DropClock clock, double hoverThreshold)
    : m_targetApp(std::move(targetApp))
    , m_allApps(std::move(allApps))
    , m_draggedApp(draggedApp)
    , m_hover(hover)
    , m_onMove(std::move(onMove))
    , m_onCreateFolder(std::move(onCreateFolder))
    , m_clock(std::move(clock))
    , m_hoverThreshold(hoverThreshold) {}

bool AppDropDelegate::isTarget(const std::optional<AppItem>& app) const {
    return app && app->id == m_targetApp.id;
}

bool AppDropDelegate::hasRested() const {
    // Exactly the threshold already counts as resting.
    return m_hover.hoverStartTime && m_clock() - *m_hover.hoverStartTime >= m_hoverThreshold;
}

void AppDropDelegate::dropEntered() {
    // A tile dragged over itself shows no ring and starts no timer.
    if (!m_draggedApp || isTarget(m_draggedApp))
        return;
    m_hover.dropTargetApp = m_targetApp;
    m_hover.hoverStartTime = m_clock();
}

DropOperation AppDropDelegate::dropUpdated() const {
    if (!m_draggedApp || isTarget(m_draggedApp))
        return DropOperation::Forbidden;
    return hasRested() ? DropOperation::Copy : DropOperation::Move;
}

void AppDropDelegate::dropExited() {
    // Cleared whatever tile they were set for: only one tile is under the drag.
    m_hover.dropTargetApp.reset();
    m_hover.hoverStartTime.reset();
}

bool AppDropDelegate::performDrop() {
    if (!m_draggedApp || isTarget(m_draggedApp)) {
        clear();
        return false;
    }
    const AppItem dragged = *m_draggedApp;
    if (hasRested()) {
        if (m_onCreateFolder)
            m_onCreateFolder(dragged, m_targetApp);
    } else {
        const std::optional<int> from = indexOfApp(m_allApps, dragged.id);
        const std::optional<int> to = indexOfApp(m_allApps, m_targetApp.id);
        if (from && to && m_onMove)
            m_onMove(*from, *to);
    }
    clear();
    return true;
}

void AppDropDelegate::clear() {
    m_draggedApp.reset();
    m_hover.dropTargetApp.reset();
    m_hover.hoverStartTime.reset();
}
