#include "InfoPlist.h"

#include <plist/plist.h>

#include <QtEndian>

#include <limits>
#include <memory>
#include <vector>

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

// libplist builds and frees nested lists recursively, and its binary reader
// slows down with the square of the depth: a few hundred kilobytes of nested
// arrays stall the scan for a minute, then overflow the stack. Real property
// lists nest a handful of levels, so anything deeper is refused before
// libplist sees it, by a linear pass over the data.
constexpr int maxNesting = 128;

// XML: <array> and <dict> are the only elements that nest; an element in a
// comment counts as well, which can only refuse a list, never let one through.
bool xmlNestingWithin(QByteArrayView data) {
    int depth = 0;
    for (qsizetype at = data.indexOf('<'); at >= 0; at = data.indexOf('<', at + 1)) {
        const QByteArrayView tag = data.sliced(at + 1);
        const bool closing = tag.startsWith('/');
        const QByteArrayView name = closing ? tag.sliced(1) : tag;
        if (!name.startsWith("array") && !name.startsWith("dict"))
            continue;
        const qsizetype end = tag.indexOf('>');
        if (end < 0)
            return depth <= maxNesting;
        if (closing)
            depth = std::max(0, depth - 1);
        else if (tag.at(end - 1) != '/' && ++depth > maxNesting)
            return false;
    }
    return true;
}

quint64 bigEndian(QByteArrayView bytes) {
    quint64 value = 0;
    for (const char byte : bytes)
        value = (value << 8) | quint8(byte);
    return value;
}

// Binary: the objects sit in a table and containers refer to them by index,
// so the depth is found over that graph with one visit per object; a cycle,
// a reference out of the table or a string holding a NUL refuses the list.
bool binaryNestingWithin(QByteArrayView data) {
    if (data.size() < 40)
        return true; // too short to hold a container; libplist refuses it
    const QByteArrayView trailer = data.last(32);
    const int offsetSize = quint8(trailer.at(6));
    const int refSize = quint8(trailer.at(7));
    const quint64 count = bigEndian(trailer.sliced(8, 8));
    const quint64 top = bigEndian(trailer.sliced(16, 8));
    const quint64 table = bigEndian(trailer.sliced(24, 8));
    const quint64 body = quint64(data.size()) - 32;
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8 || top >= count ||
        count > body || table > body || count * quint64(offsetSize) > body - table)
        return false;
    const auto offsetOf = [&](quint64 object) {
        return bigEndian(data.sliced(qsizetype(table + object * quint64(offsetSize)), offsetSize));
    };
    // The references of `object`, or nothing when it is not a container.
    struct Refs {
        quint64 first = 0;
        quint64 count = 0;
        bool valid = true;
    };
    const auto refsOf = [&](quint64 object) -> Refs {
        const quint64 at = offsetOf(object);
        if (at >= body)
            return {0, 0, false};
        const quint8 marker = quint8(data.at(qsizetype(at)));
        const int type = marker >> 4;
        const bool text = type == 0x5 || type == 0x6;
        if (!text && type != 0xA && type != 0xC && type != 0xD)
            return {};
        quint64 items = marker & 0xF;
        quint64 first = at + 1;
        if (items == 0xF) {
            if (first >= body || quint8(data.at(qsizetype(first))) >> 4 != 0x1)
                return {0, 0, false};
            const int width = 1 << (quint8(data.at(qsizetype(first))) & 0x3);
            if (first + 1 + quint64(width) > body)
                return {0, 0, false};
            items = bigEndian(data.sliced(qsizetype(first + 1), width));
            first += 1 + quint64(width);
        }
        if (text) {
            // libplist ends a string at its first NUL, which would cut a name
            // short rather than refuse it: "run\0x" would start MacOS/run.
            const quint64 bytes = type == 0x6 ? 2 * items : items;
            if (items > body || first > body || bytes > body - first)
                return {0, 0, false};
            const QByteArrayView chars = data.sliced(qsizetype(first), qsizetype(bytes));
            for (qsizetype i = 0; i < chars.size(); i += type == 0x6 ? 2 : 1) {
                if (chars.at(i) == '\0' && (type == 0x5 || chars.at(i + 1) == '\0'))
                    return {0, 0, false};
            }
            return {};
        }
        const quint64 refs = type == 0xD ? 2 * items : items;
        if (items > body || first > body || refs * quint64(refSize) > body - first)
            return {0, 0, false};
        return {first, refs, true};
    };

    enum : quint8 { Unseen, Open, Done };
    std::vector<quint8> state(size_t(count), Unseen);
    std::vector<int> depth(size_t(count), 0);
    struct Frame {
        quint64 object;
        Refs refs;
        quint64 next = 0;
    };
    std::vector<Frame> stack;
    const auto enter = [&](quint64 object) {
        const Refs refs = refsOf(object);
        if (!refs.valid)
            return false;
        state[size_t(object)] = Open;
        stack.push_back({object, refs});
        return stack.size() <= size_t(maxNesting);
    };
    if (!enter(top))
        return false;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.refs.count) {
            state[size_t(frame.object)] = Done;
            const int reached = depth[size_t(frame.object)] + 1;
            stack.pop_back();
            if (!stack.empty())
                depth[size_t(stack.back().object)] =
                    std::max(depth[size_t(stack.back().object)], reached);
            continue;
        }
        const quint64 child = bigEndian(
            data.sliced(qsizetype(frame.refs.first + frame.next * quint64(refSize)), refSize));
        ++frame.next;
        if (child >= count || state[size_t(child)] == Open)
            return false;
        if (state[size_t(child)] == Done) {
            if (stack.size() + size_t(depth[size_t(child)]) > size_t(maxNesting))
                return false;
            depth[size_t(frame.object)] =
                std::max(depth[size_t(frame.object)], depth[size_t(child)] + 1);
            continue;
        }
        if (!enter(child))
            return false;
    }
    return true;
}

bool nestingWithin(QByteArrayView data) {
    return data.startsWith("bplist") ? binaryNestingWithin(data) : xmlNestingWithin(data);
}

} // namespace

std::optional<InfoPlist> InfoPlist::parse(const QByteArray& data) {
    if (data.isEmpty() || data.size() > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    if (!nestingWithin(data))
        return std::nullopt;
    plist_t raw = nullptr;
    plist_from_memory(data.constData(), static_cast<uint32_t>(data.size()), &raw);
    const PlistPtr root(raw);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    return InfoPlist{stringValue(root.get(), "CFBundleIdentifier"),
                     stringValue(root.get(), "CFBundleIconFile"),
                     stringValue(root.get(), "CFBundleExecutable")};
}
