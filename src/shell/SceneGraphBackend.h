#pragma once

#include <QString>

// Picks the scene graph's renderer; call before the first window, and once the
// application exists unless QT_QUICK_BACKEND or QSG_RHI_BACKEND already names
// one (the choice then asks nothing of the platform).
// A user's own choice (QT_QUICK_BACKEND, QSG_RHI_BACKEND) is left as it is.
void chooseSceneGraphBackend();

// Whether a machine whose render nodes live in `driFolder` has no GPU to draw
// with, so that OpenGL could only be a software rasterizer such as llvmpipe.
[[nodiscard]] bool withoutGpu(const QString& driFolder = QStringLiteral("/dev/dri"));

// Whether Qt Quick draws with its software renderer, as chosen or as told.
[[nodiscard]] bool drawsWithSoftwareRenderer();
