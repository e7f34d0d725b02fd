#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickItem>

#include <functional>

// The keys the launcher window acts on before any control sees them.
enum class LauncherKey { Other, Toggle, Escape };

// F4 toggles the launcher wherever the focus is. Escape hides it while the
// focus is on the main screen; while a menu or dialog holds the focus, Escape
// is theirs (it closes them) and the launcher stays.
[[nodiscard]] LauncherKey launcherKeyFor(int key, Qt::KeyboardModifiers modifiers,
                                         bool focusOnMainScreen);

// Watches the launcher window's key presses and consumes the ones it acts on,
// so the search field never receives them.
class LauncherKeyFilter final : public QObject {
    Q_OBJECT

public:
    explicit LauncherKeyFilter(QQuickWindow& window, QObject* parent = nullptr);

    // The item that holds the main screen; focus anywhere else is a popup's.
    // Its focusSearch() takes letters typed while no text field has the focus.
    void setMainContent(QQuickItem* item);
    // Offered every other key pressed without modifiers, or with Control or
    // Shift alone (added to the key), while the focus is on the main screen; a
    // key it takes goes no further.
    void setNavigator(std::function<bool(int key)> navigator);

    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void togglePressed();
    void escapePressed();

private:
    [[nodiscard]] bool focusOnMainScreen() const;

    QQuickWindow& m_window;
    QPointer<QQuickItem> m_mainContent;
    std::function<bool(int key)> m_navigator;
};
