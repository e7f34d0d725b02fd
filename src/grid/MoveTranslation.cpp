#include "MoveTranslation.h"

#include <algorithm>

std::optional<int> indexOfApp(const AppList& apps, const QUuid& id) {
    const auto found = std::find_if(apps.cbegin(), apps.cend(),
                                    [&id](const AppItem& app) { return app.id == id; });
    if (found == apps.cend())
        return std::nullopt;
    return static_cast<int>(found - apps.cbegin());
}

std::optional<MovePositions> translateMove(const AppList& source, const AppList& target, int from,
                                           int to) {
    const auto valid = [&source](int position) {
        return position >= 0 && position < source.size();
    };
    if (!valid(from) || !valid(to))
        return std::nullopt;
    const std::optional<int> i = indexOfApp(target, source.at(from).id);
    const std::optional<int> j = indexOfApp(target, source.at(to).id);
    if (!i || !j)
        return std::nullopt;
    return MovePositions{*i, *j};
}
