#pragma once

#include <QLocale>
#include <QTranslator>

#include <memory>

// The interface's texts in `locale`'s language, from the translations built
// into the program; null where there is none, English included: the texts are
// written in English.
[[nodiscard]] std::unique_ptr<QTranslator> loadUiTranslation(const QLocale& locale);
