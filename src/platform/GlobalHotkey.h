#pragma once

#include <QObject>

// The launcher's key (F4) pressed anywhere on the desktop, whichever application
// has the keyboard.
class GlobalHotkey : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts listening; false when this desktop offers the service no way to do so.
    virtual bool start() = 0;

Q_SIGNALS:
    void activated();
};
