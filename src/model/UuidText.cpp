#include "UuidText.h"

QString uuidText(const QUuid& uuid) {
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parseUuidText(const QString& text) {
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool dashPosition = i == 8 || i == 13 || i == 18 || i == 23;
        if (dashPosition) {
            if (c != u'-')
                return std::nullopt;
        } else if (!(c.isDigit() || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))) {
            return std::nullopt;
        }
    }
    return QUuid::fromString(text);
}
