#include "TypedTextFirst.h"

#include "MainScreen.h"

#include <QQuickWindow>
#include <QTimer>

void drawTypedTextFirst(MainScreen& screen, QQuickWindow& window, int frameWaitMs) {
    screen.setDefersSearch(true);
    // One wait, started again by each search: a wait left over from an earlier
    // letter must not apply a later one before that letter is drawn.
    auto* frameWait = new QTimer(&screen);
    frameWait->setSingleShot(true);
    frameWait->setInterval(frameWaitMs);
    QObject::connect(frameWait, &QTimer::timeout, &screen, &MainScreen::applyPendingSearch);
    QObject::connect(&screen, &MainScreen::searchDeferred, &window, [&screen, &window, frameWait] {
        if (!window.isVisible() || !window.isExposed()) {
            screen.applyPendingSearch();
            return;
        }
        QObject::connect(&window, &QQuickWindow::frameSwapped, &screen,
                         &MainScreen::applyPendingSearch, Qt::SingleShotConnection);
        frameWait->start();
    });
}
