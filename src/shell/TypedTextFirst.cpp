#include "TypedTextFirst.h"

#include "MainScreen.h"

#include <QQuickWindow>
#include <QTimer>

void drawTypedTextFirst(MainScreen& screen, QQuickWindow& window, int frameWaitMs) {
    screen.setDefersSearch(true);
    QObject::connect(
        &screen, &MainScreen::searchDeferred, &window, [&screen, &window, frameWaitMs] {
            if (!window.isVisible() || !window.isExposed()) {
                screen.applyPendingSearch();
                return;
            }
            QObject::connect(&window, &QQuickWindow::frameSwapped, &screen,
                             &MainScreen::applyPendingSearch, Qt::SingleShotConnection);
            QTimer::singleShot(frameWaitMs, &screen, &MainScreen::applyPendingSearch);
        });
}
