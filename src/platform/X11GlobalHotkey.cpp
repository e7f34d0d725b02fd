#include "X11GlobalHotkey.h"

#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <array>
#include <cstdlib>

namespace {

constexpr xcb_keysym_t keysymF4 = 0xffc1;

// NumLock and CapsLock are modifiers to X: without a grab for each combination
// F4 would stop working whenever one of them is on.
constexpr std::array<std::uint16_t, 4> lockCombinations{0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                                        XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

} // namespace

X11GlobalHotkey::X11GlobalHotkey(QObject* parent)
    : GlobalHotkey(parent) {}

X11GlobalHotkey::~X11GlobalHotkey() {
    ungrab();
}

bool X11GlobalHotkey::start() {
    if (m_connection != nullptr)
        return true;
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return false;
    xcb_connection_t* connection = x11->connection();
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (screens.rem == 0)
        return false;
    const xcb_window_t root = screens.data->root;

    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
    if (symbols == nullptr)
        return false;
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysymF4);
    const xcb_keycode_t keycode = codes != nullptr ? codes[0] : XCB_NO_SYMBOL;
    free(codes);
    xcb_key_symbols_free(symbols);
    if (keycode == XCB_NO_SYMBOL)
        return false;

    bool grabbed = false;
    for (const std::uint16_t modifiers : lockCombinations) {
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(
            connection, 0, root, modifiers, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        // Another client holding the same grab answers BadAccess; the other
        // combinations may still be ours.
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie); error != nullptr)
            free(error);
        else
            grabbed = true;
    }
    if (!grabbed)
        return false;
    m_connection = connection;
    m_root = root;
    m_keycode = keycode;
    qApp->installNativeEventFilter(this);
    return true;
}

void X11GlobalHotkey::ungrab() {
    if (m_connection == nullptr)
        return;
    if (qApp != nullptr)
        qApp->removeNativeEventFilter(this);
    for (const std::uint16_t modifiers : lockCombinations)
        xcb_ungrab_key(m_connection, m_keycode, m_root, modifiers);
    xcb_flush(m_connection);
    m_connection = nullptr;
}

bool X11GlobalHotkey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (key->detail != m_keycode || key->event != m_root)
        return false;
    if (type == XCB_KEY_PRESS)
        Q_EMIT activated();
    return true;
}
