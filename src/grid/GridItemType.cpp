#include "GridItemType.h"

#include "UuidText.h"

QString GridItemType::id() const {
    return std::visit([](const auto& payload) { return uuidText(payload.id); }, m_payload);
}

QUuid GridItemType::uuid() const {
    return std::visit([](const auto& payload) { return payload.id; }, m_payload);
}
