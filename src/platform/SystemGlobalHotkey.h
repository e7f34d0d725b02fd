#pragma once

#include "GlobalHotkey.h"

#include <memory>

// The desktop's own way to deliver a global key: the portal on Wayland, a key
// grab on X11. Only one back-end runs, so one press never toggles twice.
class SystemGlobalHotkey final : public GlobalHotkey {
    Q_OBJECT

public:
    explicit SystemGlobalHotkey(QObject* parent = nullptr);
    ~SystemGlobalHotkey() override;

    bool start() override;

private:
    std::unique_ptr<GlobalHotkey> m_backend;
};
