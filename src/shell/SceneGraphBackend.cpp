#include "SceneGraphBackend.h"

#include <QDir>
#include <QGuiApplication>
#include <QQuickWindow>

bool withoutGpu(const QString& driFolder) {
    return QDir(driFolder)
        .entryList({QStringLiteral("renderD*")}, QDir::System | QDir::Files)
        .isEmpty();
}

void chooseSceneGraphBackend() {
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
        qEnvironmentVariableIsSet("QSG_RHI_BACKEND"))
        return;
    // OpenGL through a software rasterizer starts slower, holds more memory and
    // redraws the whole frame for a blinking cursor; Qt Quick's own software
    // renderer draws these flat pictures faster and repaints only what changed.
    // Off screen (a screenshot without a display) there is no surface for
    // OpenGL to read a frame back from, GPU or not.
    if (withoutGpu() || QGuiApplication::platformName() == QLatin1String("offscreen"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}
