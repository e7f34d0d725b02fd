// GLib headers before Qt's: they use identifiers that Qt's keyword macros take.
#include <glib.h>

#include "DesktopEntrySource.h"

#include "BoundedFileRead.h"
#include "DirectoryListing.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Desktop entries are a few kilobytes; translations make some reach a hundred.
constexpr qint64 maxDesktopEntryBytes = 1024 * 1024;

struct KeyFileDeleter {
    void operator()(GKeyFile* file) const { g_key_file_unref(file); }
};

struct Candidate {
    QString identifier;
    QString path; // the most important file with this id
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

struct GFree {
    void operator()(void* data) const { g_free(data); }
};
using GText = std::unique_ptr<char, GFree>;
struct StrvFree {
    void operator()(char** list) const { g_strfreev(list); }
};
using GTextList = std::unique_ptr<char*, StrvFree>;

// The keys of an entry's main group, to ask GKeyFile only for keys that are
// there. GKeyFile translates its "no such key" message even when no error is
// asked for, and looks for a key in every variant of the user's languages
// before the key itself: at thousands of entries, those lookups of keys that
// are not there took most of the read.
class EntryKeys {
public:
    explicit EntryKeys(GKeyFile* file)
        : m_keys(g_key_file_get_keys(file, G_KEY_FILE_DESKTOP_GROUP, nullptr, nullptr)) {
        for (char** key = m_keys.get(); key != nullptr && *key != nullptr; ++key) {
            const std::string_view name(*key);
            m_names.push_back(name);
            if (const size_t bracket = name.find('['); bracket != std::string_view::npos)
                m_translated.push_back(name.substr(0, bracket));
        }
    }

    [[nodiscard]] bool has(std::string_view key) const { return contains(m_names, key); }
    [[nodiscard]] bool hasTranslation(std::string_view key) const {
        return contains(m_translated, key);
    }

private:
    static bool contains(const std::vector<std::string_view>& names, std::string_view key) {
        return std::find(names.cbegin(), names.cend(), key) != names.cend();
    }

    GTextList m_keys;
    std::vector<std::string_view> m_names;
    std::vector<std::string_view> m_translated;
};

GText stringKey(GKeyFile* file, const EntryKeys& keys, const char* key) {
    return keys.has(key)
               ? GText(g_key_file_get_string(file, G_KEY_FILE_DESKTOP_GROUP, key, nullptr))
               : nullptr;
}

bool booleanKey(GKeyFile* file, const EntryKeys& keys, const char* key) {
    return keys.has(key) &&
           g_key_file_get_boolean(file, G_KEY_FILE_DESKTOP_GROUP, key, nullptr) != FALSE;
}

// As g_key_file_get_locale_string for the user's languages: the first of
// them with a readable translation, else the key's own value.
GText localeStringKey(GKeyFile* file, const EntryKeys& keys, const char* key) {
    if (keys.hasTranslation(key)) {
        for (const char* const* language = g_get_language_names(); *language != nullptr;
             ++language) {
            const std::string translated = std::string(key) + '[' + *language + ']';
            if (GText value = stringKey(file, keys, translated.c_str()))
                return value;
        }
    }
    return stringKey(file, keys, key);
}

// As g_key_file_get_locale_string_list: the localized value cut at each ";",
// a last ";" ending the list rather than adding an empty item.
GTextList localeStringListKey(GKeyFile* file, const EntryKeys& keys, const char* key) {
    const GText value = localeStringKey(file, keys, key);
    if (value == nullptr)
        return nullptr;
    if (const size_t length = std::strlen(value.get());
        length > 0 && value.get()[length - 1] == ';')
        value.get()[length - 1] = '\0';
    return GTextList(g_strsplit(value.get(), ";", 0));
}

GTextList stringListKey(GKeyFile* file, const EntryKeys& keys, const char* key) {
    return keys.has(key) ? GTextList(g_key_file_get_string_list(file, G_KEY_FILE_DESKTOP_GROUP, key,
                                                                nullptr, nullptr))
                         : nullptr;
}

// Entries mostly start a handful of programs (env, flatpak, a desktop's own
// helpers): each is looked up in PATH once per scan, not once per entry,
// which at thousands of entries is most of the scan's system calls.
class ProgramLookup {
public:
    bool exists(const char* program) {
        const QByteArray name(program);
        {
            const QMutexLocker locker(&m_mutex);
            if (const auto known = m_known.constFind(name); known != m_known.cend())
                return *known;
        }
        const bool found = GText(g_find_program_in_path(program)) != nullptr;
        const QMutexLocker locker(&m_mutex);
        m_known.insert(name, found);
        return found;
    }

private:
    QMutex m_mutex;
    QHash<QByteArray, bool> m_known;
};

bool listHas(char** list, const QByteArray& desktop) {
    return list != nullptr && g_strv_contains(list, desktop.constData());
}

// OnlyShowIn and NotShowIn against the desktops named in XDG_CURRENT_DESKTOP,
// the first named desktop that either list mentions deciding.
bool shownOnThisDesktop(GKeyFile* file, const EntryKeys& keys) {
    const GTextList only = stringListKey(file, keys, G_KEY_FILE_DESKTOP_KEY_ONLY_SHOW_IN);
    const GTextList notIn = stringListKey(file, keys, G_KEY_FILE_DESKTOP_KEY_NOT_SHOW_IN);
    for (const QByteArray& desktop : qgetenv("XDG_CURRENT_DESKTOP").split(':')) {
        if (listHas(only.get(), desktop))
            return true;
        if (listHas(notIn.get(), desktop))
            return false;
    }
    return only == nullptr;
}

// A theme icon name, or an absolute file path, as GIO reads the Icon key.
QString iconOf(GKeyFile* file, const EntryKeys& keys) {
    const GText icon = localeStringKey(file, keys, G_KEY_FILE_DESKTOP_KEY_ICON);
    if (icon == nullptr)
        return {};
    if (g_path_is_absolute(icon.get()))
        return QFile::decodeName(icon.get());
    QString name = QString::fromUtf8(icon.get());
    // A common mistake in entries, forgiven the way GIO forgives it.
    for (const char* extension : {".png", ".xpm", ".svg"}) {
        if (name.endsWith(QLatin1String(extension)))
            name.chop(4);
    }
    return name;
}

// The localized GenericName, each localized keyword and `program`, the ones
// that are not empty, as GIO's generic name, keywords and executable give them.
QStringList otherNamesOf(GKeyFile* file, const EntryKeys& keys, const char* program) {
    QStringList names;
    const GText generic = localeStringKey(file, keys, G_KEY_FILE_DESKTOP_KEY_GENERIC_NAME);
    names.append(QString::fromUtf8(generic.get()));
    const GTextList keywords = localeStringListKey(file, keys, "Keywords");
    for (char** keyword = keywords.get(); keyword != nullptr && *keyword != nullptr; ++keyword)
        names.append(QString::fromUtf8(*keyword));
    names.append(QString::fromUtf8(program));
    names.removeAll(QString());
    return names;
}

// The entry's actions in the order of its Actions key, each with its localized
// Name and its Icon; one without a group or a Name is left out, as GIO leaves
// it out of its menus. A handful at most: each takes a line of a tile's menu.
DesktopActionList actionsOf(GKeyFile* file, const EntryKeys& keys) {
    constexpr qsizetype maxActions = 10;
    DesktopActionList actions;
    const GTextList ids = stringListKey(file, keys, G_KEY_FILE_DESKTOP_KEY_ACTIONS);
    for (char** id = ids.get(); id != nullptr && *id != nullptr && actions.size() < maxActions;
         ++id) {
        const QByteArray group = QByteArray("Desktop Action ") + *id;
        const GText name(g_key_file_get_locale_string(
            file, group.constData(), G_KEY_FILE_DESKTOP_KEY_NAME, nullptr, nullptr));
        if (name == nullptr || *name == '\0')
            continue;
        const GText icon(
            g_key_file_get_string(file, group.constData(), G_KEY_FILE_DESKTOP_KEY_ICON, nullptr));
        actions.append({QString::fromUtf8(*id), QString::fromUtf8(name.get()),
                        icon != nullptr ? QString::fromUtf8(icon.get()) : QString()});
    }
    return actions;
}

// The rules of GIO's desktop application info, applied here rather than by
// constructing one: each construction first indexes every applications folder
// of the session through GIO's own walk, which follows links to folders and
// never ends when one of them leads to "/".
Loaded loadEntry(const QString& identifier, const QString& path, ProgramLookup& programs) {
    Loaded loaded;
    // Read here rather than by GLib: a FIFO or a huge file must not stall the scan.
    const std::optional<QByteArray> data = readBoundedFile(path, maxDesktopEntryBytes);
    if (!data)
        return loaded;
    const std::unique_ptr<GKeyFile, KeyFileDeleter> owner(g_key_file_new());
    GKeyFile* file = owner.get();
    if (!g_key_file_load_from_data(file, data->constData(), gsize(data->size()), G_KEY_FILE_NONE,
                                   nullptr))
        return loaded;
    const GText group(g_key_file_get_start_group(file));
    if (group == nullptr || std::strcmp(group.get(), G_KEY_FILE_DESKTOP_GROUP) != 0)
        return loaded;
    const EntryKeys keys(file);
    const GText type = stringKey(file, keys, G_KEY_FILE_DESKTOP_KEY_TYPE);
    if (type == nullptr || std::strcmp(type.get(), G_KEY_FILE_DESKTOP_TYPE_APPLICATION) != 0)
        return loaded;
    // An application entry without a Name is invalid; GLib would call it "Unnamed".
    if (!keys.has(G_KEY_FILE_DESKTOP_KEY_NAME))
        return loaded;
    // A missing TryExec or Exec program makes the file no application at all.
    if (const GText tryExec = stringKey(file, keys, G_KEY_FILE_DESKTOP_KEY_TRY_EXEC);
        tryExec != nullptr && *tryExec != '\0' && !programs.exists(tryExec.get()))
        return loaded;
    const GText exec = stringKey(file, keys, G_KEY_FILE_DESKTOP_KEY_EXEC);
    GText program;
    if (exec != nullptr && *exec != '\0') {
        char** argv = nullptr;
        if (!g_shell_parse_argv(exec.get(), nullptr, &argv, nullptr))
            return loaded;
        const GTextList words(argv);
        if (!programs.exists(words.get()[0]))
            return loaded;
        program.reset(g_path_get_basename(words.get()[0]));
    }
    if (booleanKey(file, keys, G_KEY_FILE_DESKTOP_KEY_HIDDEN) ||
        booleanKey(file, keys, G_KEY_FILE_DESKTOP_KEY_NO_DISPLAY) ||
        !shownOnThisDesktop(file, keys)) {
        loaded.state = EntryState::NotShown;
        return loaded;
    }
    // Without a command or D-Bus activation there is nothing a click could start.
    if (exec == nullptr && !booleanKey(file, keys, G_KEY_FILE_DESKTOP_KEY_DBUS_ACTIVATABLE))
        return loaded;
    const GText name = localeStringKey(file, keys, G_KEY_FILE_DESKTOP_KEY_NAME);
    if (name != nullptr && *name == '\0')
        return loaded;
    loaded.state = EntryState::Shown;
    loaded.record = {identifier,
                     name != nullptr ? QString::fromUtf8(name.get())
                                     : QString::fromUtf8(g_dgettext("glib20", "Unnamed")),
                     path,
                     iconOf(file, keys),
                     otherNamesOf(file, keys, program.get()),
                     actionsOf(file, keys)};
    return loaded;
}

} // namespace

QList<DesktopEntryRecord> readDesktopEntries(const QStringList& folders,
                                             const std::atomic_bool& cancelled) {
    // An id is settled by its most important file alone, readable or not: GIO
    // masks the same way, so a user's broken or non-application copy of an entry
    // still takes the system's out of every menu.
    std::vector<Candidate> candidates;
    QSet<QString> seen;
    for (const QString& folder : folders) {
        std::vector<std::pair<QString, QString>> files;
        collectFiles(QFile::encodeName(folder).toStdString(), {}, files, cancelled);
        seen.reserve(seen.size() + qsizetype(files.size()));
        for (auto& [identifier, path] : files) {
            const qsizetype before = seen.size();
            seen.insert(identifier);
            if (seen.size() > before)
                candidates.push_back({identifier, path});
        }
    }
    ProgramLookup programs;
    const std::function<Loaded(const Candidate&)> settle = [&cancelled,
                                                            &programs](const Candidate& candidate) {
        return cancelled.load(std::memory_order_relaxed)
                   ? Loaded{}
                   : loadEntry(candidate.identifier, candidate.path, programs);
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
