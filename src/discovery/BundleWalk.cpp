#include "BundleWalk.h"

#include "DirectoryListing.h"

#include <QFile>

#include <iterator>

namespace {

struct Pending {
    std::string path;
    bool isApp = false;
};

bool hasAppExtension(std::string_view name) {
    constexpr std::string_view extension = ".app";
    return name.size() > extension.size() && name.ends_with(extension);
}

} // namespace

QStringList findAppItems(const QString& folder, const std::atomic_bool& cancelled) {
    QStringList found;
    // Pre-order with an explicit stack: children are pushed in reverse so that
    // the first child is visited (and fully walked) before its next sibling.
    std::vector<Pending> stack;
    stack.push_back({QFile::encodeName(folder).toStdString(), false});
    while (!stack.empty()) {
        if (cancelled.load(std::memory_order_relaxed))
            break;
        Pending item = std::move(stack.back());
        stack.pop_back();
        if (item.isApp) {
            found.append(QFile::decodeName(QByteArray::fromStdString(item.path)));
            continue;
        }
        std::vector<Pending> children;
        for (DirectoryEntry& entry : listDirectory(item.path)) {
            // Any "app" item, folder or not, is a candidate and is never entered.
            const bool isApp = hasAppExtension(entry.name);
            if (isApp || entry.isDirectory)
                children.push_back({joinPath(item.path, entry.name), isApp});
        }
        std::move(children.rbegin(), children.rend(), std::back_inserter(stack));
    }
    return found;
}
