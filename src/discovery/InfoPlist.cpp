#include "InfoPlist.h"

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace {

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistDeleter>;

QString stringValue(plist_t dict, const char* key) {
    const plist_t node = plist_dict_get_item(dict, key);
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING)
        return {};
    char* value = nullptr;
    plist_get_string_val(node, &value);
    QString text = QString::fromUtf8(value);
    std::free(value);
    return text;
}

} // namespace

std::optional<InfoPlist> InfoPlist::parse(const QByteArray& data) {
    if (data.isEmpty() || data.size() > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    plist_t raw = nullptr;
    plist_from_memory(data.constData(), static_cast<uint32_t>(data.size()), &raw);
    const PlistPtr root(raw);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    return InfoPlist{stringValue(root.get(), "CFBundleIdentifier"),
                     stringValue(root.get(), "CFBundleIconFile")};
}
