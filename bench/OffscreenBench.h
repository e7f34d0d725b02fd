#pragma once

// Puts a UI benchmark on a fixed 1920 x 1080 offscreen screen with the software
// renderer and settings, data and GSettings of its own, so figures do not depend
// on the machine's desktop, with frames paced as the launcher paces them. Call
// before the QGuiApplication is made; `home` and `screens` must outlive it.

#include "SceneGraphBackend.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>

[[nodiscard]] inline bool prepareOffscreenBench(const QTemporaryDir& home,
                                                QTemporaryFile& screens) {
    if (!home.isValid() || !screens.open())
        return false;
    screens.write(R"({"windowFrameMargins": false, "screens": [{"name": "bench", "x": 0, "y": 0,
        "width": 1920, "height": 1080, "logicalDpiX": 96, "logicalDpiY": 96, "dpr": 1}]})");
    screens.flush();
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    qputenv("QT_QUICK_BACKEND", "software");
    // Frames paced as the launcher paces them on that renderer.
    chooseSceneGraphBackend();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    // The launcher keeps a catalogue cache: a bench never touches the user's.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(home.filePath(QStringLiteral("none"))));
    qputenv("GSETTINGS_BACKEND", "memory");
    return QDir().mkpath(home.filePath(QStringLiteral("none")));
}
