#include "InfoPlist.h"

#include <plist/plist.h>

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
    // The copying accessor asserts that the string holds no NUL, which a damaged
    // binary list can break; the pointer accessor reports the true length.
    uint64_t length = 0;
    const char* value = plist_get_string_ptr(node, &length);
    if (value == nullptr || length > uint64_t(std::numeric_limits<qsizetype>::max()))
        return {};
    const QByteArrayView bytes(value, qsizetype(length));
    // A NUL cannot be part of an identifier or a file name.
    if (bytes.contains('\0'))
        return {};
    return QString::fromUtf8(bytes);
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
