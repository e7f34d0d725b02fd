// What one page of the grid costs the GUI thread: building its 35 tiles, then
// laying them out and drawing them, as a page turned to does in the first frame
// of the turn. Pages of a 3,500-application catalogue are built one after
// another into a window of the launcher's size; the first ten are not counted
// (their types are compiled then).
#include "AppIconProvider.h"
#include "AppIconSource.h"
#include "OffscreenBench.h"
#include "PagedGrid.h"
#include "ScreenshotComposer.h"
#include "SymbolImageProvider.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QtQml/qqmlextensionplugin.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

Q_IMPORT_QML_PLUGIN(QuorlinPlugin)

namespace {

constexpr int pagesBuilt = 70;
constexpr int warmUpPages = 10;

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[size_t(fraction * double(values.size() - 1))];
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir home;
    QTemporaryFile screens;
    if (!prepareOffscreenBench(home, screens))
        return 1;
    QGuiApplication app(argc, argv);
    QQuickView view;
    view.engine()->addImportPath(QStringLiteral("qrc:/"));
    view.engine()->addImageProvider(QString(appIconProviderId), new AppIconProvider);
    view.engine()->addImageProvider(SymbolImageProvider::providerId, new SymbolImageProvider);
    view.resize(1920, 1055);
    PagedGrid grid;
    AppList apps;
    for (int i = 0; i < pagesBuilt * 50; ++i)
        apps.append(AppItem{QUuid::createUuid(), QStringLiteral("Application %1").arg(i),
                            QStringLiteral("org.example.app%1").arg(i),
                            QStringLiteral("/usr/share/applications/app%1.desktop").arg(i),
                            QString()});
    grid.setApps(apps);
    QQmlComponent page(view.engine());
    page.setData("import QtQuick\nimport Quorlin as Q\nQ.GridView { width: 1920; height: 1055 }",
                 QUrl());
    if (!page.isReady()) {
        std::printf("%s\n", qPrintable(page.errorString()));
        return 1;
    }
    view.show();
    std::vector<double> build;
    std::vector<double> draw;
    std::vector<double> drawWithIcons;
    for (int i = 0; i < pagesBuilt; ++i) {
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<QObject> made(page.createWithInitialProperties(
            {{QStringLiteral("grid"), QVariant::fromValue(&grid)},
             {QStringLiteral("page"), QVariant::fromValue(grid.page(i))}}));
        auto* item = qobject_cast<QQuickItem*>(made.get());
        if (item == nullptr) {
            std::printf("page %d was not built: %s\n", i, qPrintable(page.errorString()));
            return 1;
        }
        item->setParentItem(view.contentItem());
        const double built = double(clock.nsecsElapsed()) / 1e6;
        static_cast<void>(view.grabWindow());
        const double drawn = double(clock.nsecsElapsed()) / 1e6;
        // The icons arrive from other threads; the frame that shows them
        // redraws every tile again.
        QElapsedTimer waited;
        waited.start();
        while (anyImageLoading(item) && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        clock.restart();
        static_cast<void>(view.grabWindow());
        if (i >= warmUpPages) {
            build.push_back(built);
            draw.push_back(drawn - built);
            drawWithIcons.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        made.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("one page of 35 tiles, software renderer, %zu pages: build median %.1f ms "
                "(p10 %.1f, p90 %.1f); layout and drawing median %.1f ms (p90 %.1f); drawing "
                "again with the icons median %.1f ms (p90 %.1f)\n",
                build.size(), percentile(build, 0.5), percentile(build, 0.1),
                percentile(build, 0.9), percentile(draw, 0.5), percentile(draw, 0.9),
                percentile(drawWithIcons, 0.5), percentile(drawWithIcons, 0.9));
    return 0;
}
