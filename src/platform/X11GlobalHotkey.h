#pragma once

#include "GlobalHotkey.h"

#include <QAbstractNativeEventFilter>

#include <cstdint>

struct xcb_connection_t;

// A passive grab of F4 on the X11 root window, so the key reaches the launcher
// whichever window has the focus. Does nothing outside X11.
class X11GlobalHotkey final : public GlobalHotkey, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit X11GlobalHotkey(QObject* parent = nullptr);
    ~X11GlobalHotkey() override;

    bool start() override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void ungrab();

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint8_t m_keycode = 0;
};
