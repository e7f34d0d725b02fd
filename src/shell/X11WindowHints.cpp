#include "X11WindowHints.h"

#include <QGuiApplication>
#include <QList>
#include <QWindow>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint32_t allDesktops = 0xFFFFFFFF;
constexpr std::uint32_t netWmStateAdd = 1;
// Source indication for client messages: a normal application.
constexpr std::uint32_t sourceApplication = 1;
// Source indication for a request the user made directly (a pager, a key).
constexpr std::uint32_t sourceUser = 2;

xcb_connection_t* x11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (reply == nullptr)
        return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
    free(reply);
    return result;
}

struct Atoms {
    xcb_atom_t state;
    xcb_atom_t desktop;
    std::array<xcb_atom_t, 3> states;
};

Atoms atoms(xcb_connection_t* connection) {
    return {atom(connection, "_NET_WM_STATE"),
            atom(connection, "_NET_WM_DESKTOP"),
            {atom(connection, "_NET_WM_STATE_ABOVE"),
             atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
             atom(connection, "_NET_WM_STATE_SKIP_PAGER")}};
}

xcb_window_t rootOf(xcb_connection_t* connection) {
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    return screens.rem > 0 ? screens.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

void sendToManager(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type,
                   const std::array<std::uint32_t, 5>& data) {
    const xcb_window_t root = rootOf(connection);
    if (root == XCB_WINDOW_NONE)
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    for (std::size_t i = 0; i < data.size(); ++i)
        event.data.data32[i] = data[i];
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&event));
}

} // namespace

void X11WindowHints::applyBeforeShow(QWindow& window) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const Atoms names = atoms(connection);
    // Merged into the states already set (Qt writes some of its own), once each.
    QList<xcb_atom_t> states;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, id, names.state, XCB_ATOM_ATOM, 0, 64);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
        if (reply->format == 32) {
            const auto* existing = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
            const int count = xcb_get_property_value_length(reply) / 4;
            states = QList<xcb_atom_t>(existing, existing + count);
        }
        free(reply);
    }
    for (const xcb_atom_t state : names.states) {
        if (!states.contains(state))
            states.append(state);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, names.state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(states.size()), states.constData());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, names.desktop, XCB_ATOM_CARDINAL, 32,
                        1, &allDesktops);
    xcb_flush(connection);
}

void X11WindowHints::applyAfterShow(QWindow& window) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const Atoms names = atoms(connection);
    // One message carries at most two states.
    sendToManager(connection, id, names.state,
                  {netWmStateAdd, names.states[0], names.states[1], sourceApplication, 0});
    sendToManager(connection, id, names.state,
                  {netWmStateAdd, names.states[2], XCB_ATOM_NONE, sourceApplication, 0});
    sendToManager(connection, id, names.desktop, {allDesktops, sourceApplication, 0, 0, 0});
    xcb_flush(connection);
}

std::optional<bool> X11WindowHints::hasInputFocus(QWindow& window) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || !window.handle())
        return std::nullopt;
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
    if (reply == nullptr)
        return std::nullopt;
    const bool focused = reply->focus == static_cast<xcb_window_t>(window.winId());
    free(reply);
    return focused;
}

void X11WindowHints::activate(QWindow& window) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || !window.isVisible())
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_window_t root = rootOf(connection);
    const xcb_atom_t managerCheck = atom(connection, "_NET_SUPPORTING_WM_CHECK");
    bool managed = false;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, root, managerCheck, XCB_ATOM_WINDOW, 0, 1);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
        managed = xcb_get_property_value_length(reply) > 0;
        free(reply);
    }
    if (managed)
        sendToManager(connection, id, atom(connection, "_NET_ACTIVE_WINDOW"),
                      {sourceUser, XCB_CURRENT_TIME, 0, 0, 0});
    else
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, id, XCB_CURRENT_TIME);
    xcb_flush(connection);
}
