#include "SceneGraphBackend.h"

#include <QDir>
#include <QGuiApplication>
#include <QQuickWindow>

bool withoutGpu(const QString& driFolder) {
    return QDir(driFolder)
        .entryList({QStringLiteral("renderD*")}, QDir::System | QDir::Files)
        .isEmpty();
}

bool drawsWithSoftwareRenderer() {
    return QQuickWindow::graphicsApi() == QSGRendererInterface::Software ||
           qgetenv("QT_QUICK_BACKEND") == "software";
}

void chooseSceneGraphBackend() {
    const bool chosen = qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
                        qEnvironmentVariableIsSet("QSG_RHI_BACKEND");
    // OpenGL through a software rasterizer starts slower, holds more memory and
    // redraws the whole frame for a blinking cursor; Qt Quick's own software
    // renderer draws these flat pictures faster and repaints only what changed.
    // Off screen (a screenshot without a display) there is no surface for
    // OpenGL to read a frame back from, GPU or not.
    if (!chosen && (withoutGpu() || QGuiApplication::platformName() == QLatin1String("offscreen")))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    // The software renderer waits for no vertical blank: a frame asked for by a
    // key press is drawn as soon as the press is handled, not after Qt's usual
    // 5 ms of waiting for more to draw. Animations keep their own 60 Hz pace.
    if (drawsWithSoftwareRenderer() && !qEnvironmentVariableIsSet("QT_QPA_UPDATE_IDLE_TIME"))
        qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
}
