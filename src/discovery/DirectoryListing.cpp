#include "DirectoryListing.h"

#include <QByteArrayView>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

std::string joinPath(const std::string& folder, const std::string& name) {
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

std::vector<DirectoryEntry> listDirectory(const std::string& folder) {
    std::vector<DirectoryEntry> entries;
    DIR* stream = ::opendir(folder.c_str());
    if (stream == nullptr)
        return entries;
    while (const dirent* item = ::readdir(stream)) {
        const std::string_view name(item->d_name);
        if (name.empty() || name.front() == '.')
            continue;
        if (!QByteArrayView(name.data(), qsizetype(name.size())).isValidUtf8())
            continue;
        bool isDirectory = item->d_type == DT_DIR;
        if (item->d_type == DT_UNKNOWN) {
            struct stat status {};
            const std::string path = joinPath(folder, std::string(name));
            isDirectory = ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
        }
        entries.push_back({std::string(name), isDirectory});
    }
    ::closedir(stream);
    std::sort(entries.begin(), entries.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return entries;
}
