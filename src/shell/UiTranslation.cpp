#include "UiTranslation.h"

std::unique_ptr<QTranslator> loadUiTranslation(const QLocale& locale) {
    auto translator = std::make_unique<QTranslator>();
    // Tries each of the locale's languages in the user's order, e.g. de_AT, then de.
    if (!translator->load(locale, QStringLiteral("quorlin"), QStringLiteral("_"),
                          QStringLiteral(":/i18n")))
        return nullptr;
    return translator;
}
