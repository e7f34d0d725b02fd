#include "SceneGraphBackend.h"

#include <QDir>
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
    if (withoutGpu())
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}
