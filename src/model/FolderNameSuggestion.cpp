#include "FolderNameSuggestion.h"

#include <QCoreApplication>

#include <array>

namespace {

struct Category {
    std::array<QLatin1StringView, 3> keywords;
    const char* name;
};

// Categories are tried before names, so their order decides ties between two
// applications of different categories.
constexpr std::array<Category, 4> categories{{
    {{QLatin1StringView("office"), QLatin1StringView("word"), QLatin1StringView("excel")},
     QT_TRANSLATE_NOOP("FolderNameSuggestion", "Productivity")},
    {{QLatin1StringView("chrome"), QLatin1StringView("safari"), QLatin1StringView("firefox")},
     QT_TRANSLATE_NOOP("FolderNameSuggestion", "Web")},
    {{QLatin1StringView("xcode"), QLatin1StringView("terminal"), QLatin1StringView("code")},
     QT_TRANSLATE_NOOP("FolderNameSuggestion", "Development")},
    {{QLatin1StringView("photoshop"), QLatin1StringView("illustrator"), QLatin1StringView("figma")},
     QT_TRANSLATE_NOOP("FolderNameSuggestion", "Design")},
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
                    return QCoreApplication::translate("FolderNameSuggestion", category.name);
            }
        }
    }
    return QCoreApplication::translate("FolderNameSuggestion", "Folder");
}
