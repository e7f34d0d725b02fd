#pragma once

#include "AppLauncher.h"
#include "DesktopPictureSource.h"
#include "FileRevealer.h"
#include "GlobalHotkey.h"
#include "Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QtTest/QTest>

// Recording stand-ins for the platform services the shell calls.

class RecordingLauncher final : public AppLauncher {
public:
    QFuture<QString> launch(const AppItem& app, const QString& action) override {
        launched.append(app);
        actions.append(action);
        return QtFuture::makeReadyFuture(failWith);
    }

    AppList launched;
    QStringList actions;
    QString failWith;
};

class RecordingRevealer final : public FileRevealer {
public:
    void reveal(const QString& path) override { revealed.append(path); }
    [[nodiscard]] QString revealLabel() const override { return label; }

    QStringList revealed;
    QString label = QStringLiteral("Show in Files");
};

// Moves by deleting, so the rescan after a deletion no longer finds the item.
class RecordingTrash final : public Trash {
public:
    [[nodiscard]] Result moveToTrash(const QString& path) override {
        requests.append(path);
        if (!failWith.isEmpty())
            return {false, failWith};
        const QFileInfo info(path);
        const bool removed = info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively()
                                                               : QFile::remove(path);
        return removed ? Result{true, {}} : Result{false, QStringLiteral("could not remove")};
    }

    QStringList requests;
    QString failWith;
};

// The picture URL is read on a worker thread.
class FixedPictureSource final : public DesktopPictureSource {
public:
    [[nodiscard]] QUrl desktopPictureUrl() const override {
        const QMutexLocker lock(&m_mutex);
        return m_url;
    }

    void setUrl(const QUrl& url) {
        const QMutexLocker lock(&m_mutex);
        m_url = url;
    }

private:
    mutable QMutex m_mutex;
    QUrl m_url;
};

// A desktop that grants the launcher key without a portal.
class FakeHotkey final : public GlobalHotkey {
public:
    bool start() override { return true; }
};
