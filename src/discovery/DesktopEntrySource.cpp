// GLib headers before Qt's: they use identifiers that Qt's keyword macros take.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "DesktopEntrySource.h"

#include "BoundedFileRead.h"
#include "DirectoryListing.h"

#include <QFile>
#include <QHash>
#include <QtConcurrent/QtConcurrentMap>

#include <memory>
#include <optional>
#include <vector>

namespace {

// Desktop entries are a few kilobytes; translations make some reach a hundred.
constexpr qint64 maxDesktopEntryBytes = 1024 * 1024;

template <typename T> struct GObjectDeleter {
    void operator()(T* object) const { g_object_unref(object); }
};
struct KeyFileDeleter {
    void operator()(GKeyFile* file) const { g_key_file_unref(file); }
};

struct Candidate {
    QString identifier;
    QStringList paths; // every file with this id, most important first
};

enum class EntryState { Unreadable, NotShown, Shown };

struct Loaded {
    EntryState state = EntryState::Unreadable;
    DesktopEntryRecord record;
};

// Every .desktop file under `folder`, with its desktop-file id: the path below
// the folder with "/" turned into "-".
void collectFiles(const std::string& folder, const std::string& idPrefix,
                  std::vector<std::pair<QString, QString>>& out,
                  const std::atomic_bool& cancelled) {
    static constexpr std::string_view suffix = ".desktop";
    for (const DirectoryEntry& entry : listDirectory(folder)) {
        if (cancelled.load(std::memory_order_relaxed))
            return;
        const std::string path = joinPath(folder, entry.name);
        if (entry.isDirectory) {
            collectFiles(path, idPrefix + entry.name + '-', out, cancelled);
        } else if (entry.name.size() > suffix.size() && entry.name.ends_with(suffix)) {
            const std::string id =
                idPrefix + entry.name.substr(0, entry.name.size() - suffix.size());
            out.emplace_back(QString::fromStdString(id),
                             QFile::decodeName(QByteArray::fromStdString(path)));
        }
    }
}

QString iconOf(GAppInfo* info) {
    GIcon* icon = g_app_info_get_icon(info);
    if (icon == nullptr)
        return {};
    if (G_IS_THEMED_ICON(icon)) {
        const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon));
        return names != nullptr && names[0] != nullptr ? QString::fromUtf8(names[0]) : QString();
    }
    if (G_IS_FILE_ICON(icon)) {
        gchar* path = g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon)));
        QString text = QFile::decodeName(path);
        g_free(path);
        return text;
    }
    return {};
}

Loaded loadEntry(const QString& identifier, const QString& path) {
    Loaded loaded;
    // Read here rather than by GLib: a FIFO or a huge file must not stall the scan.
    const std::optional<QByteArray> data = readBoundedFile(path, maxDesktopEntryBytes);
    if (!data)
        return loaded;
    const std::unique_ptr<GKeyFile, KeyFileDeleter> keyFile(g_key_file_new());
    if (!g_key_file_load_from_data(keyFile.get(), data->constData(), gsize(data->size()),
                                   G_KEY_FILE_NONE, nullptr))
        return loaded;
    // An application entry without a Name is invalid; GLib would call it "Unnamed".
    if (!g_key_file_has_key(keyFile.get(), G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_NAME,
                            nullptr))
        return loaded;
    const std::unique_ptr<GDesktopAppInfo, GObjectDeleter<GDesktopAppInfo>> info(
        g_desktop_app_info_new_from_keyfile(keyFile.get()));
    if (!info)
        return loaded; // not an application, or TryExec names a missing program
    GAppInfo* app = G_APP_INFO(info.get());
    if (g_desktop_app_info_get_is_hidden(info.get()) || !g_app_info_should_show(app)) {
        loaded.state = EntryState::NotShown;
        return loaded;
    }
    // Without a command or D-Bus activation there is nothing a click could start.
    const bool launchable =
        g_app_info_get_commandline(app) != nullptr ||
        g_key_file_get_boolean(keyFile.get(), G_KEY_FILE_DESKTOP_GROUP,
                               G_KEY_FILE_DESKTOP_KEY_DBUS_ACTIVATABLE, nullptr);
    if (!launchable)
        return loaded;
    const char* name = g_app_info_get_name(app);
    if (name == nullptr || *name == '\0')
        return loaded;
    loaded.state = EntryState::Shown;
    loaded.record = {identifier, QString::fromUtf8(name), path, iconOf(app)};
    return loaded;
}

} // namespace

QList<DesktopEntryRecord> readDesktopEntries(const QStringList& folders,
                                             const std::atomic_bool& cancelled) {
    std::vector<Candidate> candidates;
    QHash<QString, qsizetype> byIdentifier;
    for (const QString& folder : folders) {
        std::vector<std::pair<QString, QString>> files;
        collectFiles(QFile::encodeName(folder).toStdString(), {}, files, cancelled);
        for (auto& [identifier, path] : files) {
            const auto known = byIdentifier.constFind(identifier);
            if (known != byIdentifier.constEnd()) {
                candidates[size_t(*known)].paths.append(path);
                continue;
            }
            byIdentifier.insert(identifier, qsizetype(candidates.size()));
            candidates.push_back({identifier, {path}});
        }
    }

    // Each id is settled by its most important readable file.
    const std::function<Loaded(const Candidate&)> settle =
        [&cancelled](const Candidate& candidate) {
            for (const QString& path : candidate.paths) {
                if (cancelled.load(std::memory_order_relaxed))
                    break;
                Loaded loaded = loadEntry(candidate.identifier, path);
                if (loaded.state != EntryState::Unreadable)
                    return loaded;
            }
            return Loaded{};
        };
    const QList<Loaded> settled = QtConcurrent::blockingMapped<QList<Loaded>>(candidates, settle);

    QList<DesktopEntryRecord> records;
    records.reserve(settled.size());
    for (const Loaded& loaded : settled) {
        if (loaded.state == EntryState::Shown)
            records.append(loaded.record);
    }
    return records;
}
