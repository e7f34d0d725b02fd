#include "FolderNameSuggestion.h"

#include <array>

namespace {

struct Category {
    std::array<QLatin1StringView, 3> keywords;
    QLatin1StringView name;
};

// Categories are tried before names, so their order decides ties between two
// applications of different categories.
constexpr std::array<Category, 4> categories{{
    {{QLatin1StringView("office"), QLatin1StringView("word"), QLatin1StringView("excel")},
     QLatin1StringView("Productivity")},
    {{QLatin1StringView("chrome"), QLatin1StringView("safari"), QLatin1StringView("firefox")},
     QLatin1StringView("Web")},
    {{QLatin1StringView("xcode"), QLatin1StringView("terminal"), QLatin1StringView("code")},
     QLatin1StringView("Development")},
    {{QLatin1StringView("photoshop"), QLatin1StringView("illustrator"), QLatin1StringView("figma")},
     QLatin1StringView("Design")},
}};

} // namespace

QString suggestFolderName(const AppList& apps) {
    QStringList lowered;
    lowered.reserve(apps.size());
    for (const AppItem& app : apps)
        lowered.append(app.name.toLower());

    for (const Category& category : categories) {
        for (const QString& name : lowered) {
            for (const QLatin1StringView keyword : category.keywords) {
                if (name.contains(keyword, Qt::CaseSensitive))
                    return QString(category.name);
            }
        }
    }
    return QStringLiteral("Folder");
}
