#include "LauncherKeyFilter.h"

#include <QKeyEvent>
#include <QQuickItem>
#include <QQuickWindow>

LauncherKey launcherKeyFor(int key, Qt::KeyboardModifiers modifiers, bool focusOnMainScreen) {
    // The keypad flag says where a key sits, not that the user held anything.
    if ((modifiers & ~Qt::KeypadModifier) != Qt::NoModifier)
        return LauncherKey::Other;
    if (key == Qt::Key_F4)
        return LauncherKey::Toggle;
    if (key == Qt::Key_Escape && focusOnMainScreen)
        return LauncherKey::Escape;
    return LauncherKey::Other;
}

LauncherKeyFilter::LauncherKeyFilter(QQuickWindow& window, QObject* parent)
    : QObject(parent)
    , m_window(window) {
    m_window.installEventFilter(this);
}

void LauncherKeyFilter::setMainContent(QQuickItem* item) {
    m_mainContent = item;
}

void LauncherKeyFilter::setNavigator(std::function<bool(int key)> navigator) {
    m_navigator = std::move(navigator);
}

bool LauncherKeyFilter::focusOnMainScreen() const {
    const QQuickItem* focus = m_window.activeFocusItem();
    if (focus == nullptr || focus == m_window.contentItem() || m_mainContent == nullptr)
        return true;
    for (const QQuickItem* item = focus; item != nullptr; item = item->parentItem()) {
        if (item == m_mainContent)
            return true;
    }
    return false;
}

bool LauncherKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_window ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const LauncherKey action = launcherKeyFor(key->key(), key->modifiers(), focusOnMainScreen());
    const Qt::KeyboardModifiers held = key->modifiers() & ~Qt::KeypadModifier;
    if (action == LauncherKey::Other) {
        if (event->type() != QEvent::KeyPress || !focusOnMainScreen())
            return false;
        if (m_navigator &&
            (held == Qt::NoModifier || held == Qt::ControlModifier || held == Qt::ShiftModifier) &&
            m_navigator(key->key() | int(held)))
            return true;
        // Letters search, and Backspace takes the last one back, wherever the
        // keyboard was left on the main screen (a closed panel or menu, a
        // control that took a click); a field of its own, like a folder's
        // title being edited, keeps them.
        const QQuickItem* focus = m_window.activeFocusItem();
        const bool typing = (held & ~Qt::ShiftModifier) == Qt::NoModifier &&
                            ((!key->text().isEmpty() && key->text().front().isPrint()) ||
                             key->key() == Qt::Key_Backspace);
        if (typing && m_mainContent &&
            (focus == nullptr || !(focus->flags() & QQuickItem::ItemAcceptsInputMethod)))
            QMetaObject::invokeMethod(m_mainContent, "focusSearch");
        return false;
    }
    // Releases and auto-repeats of a key acted on are swallowed too: holding F4
    // must not flicker the launcher, and no half of the key reaches a control.
    if (event->type() == QEvent::KeyPress && !key->isAutoRepeat()) {
        if (action == LauncherKey::Toggle)
            Q_EMIT togglePressed();
        else
            Q_EMIT escapePressed();
    }
    return true;
}
