#pragma once

#include "Trash.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

// A Trash that records what it was asked to move and, unless told to fail,
// really takes the item off its folder, so a rescan no longer finds it.
class RecordingTrash final : public Trash {
public:
    [[nodiscard]] Result moveToTrash(const QString& path) override {
        requests.append(path);
        if (!failure.isEmpty())
            return {false, failure};
        const QFileInfo info(path);
        const bool removed = info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively()
                                                               : QFile::remove(path);
        return removed ? Result{true, {}} : Result{false, QStringLiteral("could not remove")};
    }

    QStringList requests;
    // When set, every request fails with this text.
    QString failure;
};
