#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a session ending, Ctrl+C, a terminal closed)
// arrive as requested() on the GUI thread, so the launcher can end through its
// event loop and write what it holds for the next start. Each signal is caught
// once: a second one ends the process at once, should ending take too long.
// One at a time per process; destroying it restores the default actions.
class TerminationSignal final : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignal(QObject* parent = nullptr);
    ~TerminationSignal() override;
    TerminationSignal(const TerminationSignal&) = delete;
    TerminationSignal& operator=(const TerminationSignal&) = delete;

Q_SIGNALS:
    void requested(int signal);

private:
    QSocketNotifier* m_notifier = nullptr;
};
