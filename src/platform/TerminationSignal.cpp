#include "TerminationSignal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

// GLib's g_unix_signal_add() would do this, but only when Qt's event loop is
// GLib's, which QT_NO_GLIB turns off; a pipe read by a socket notifier works
// under any event dispatcher.
namespace {

int pipeEnds[2] = {-1, -1};
constexpr int caught[] = {SIGTERM, SIGINT, SIGHUP};

void forward(int signal) {
    const int saved = errno;
    const char number = char(signal);
    // A full pipe already holds a request; nothing else is safe to do here.
    static_cast<void>(::write(pipeEnds[1], &number, 1));
    errno = saved;
}

} // namespace

TerminationSignal::TerminationSignal(QObject* parent)
    : QObject(parent) {
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return; // the signals keep their default actions
    }
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char number = 0;
        while (::read(pipeEnds[0], &number, 1) == 1)
            Q_EMIT requested(number);
    });
    struct sigaction action = {};
    action.sa_handler = forward;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signal : caught)
        sigaction(signal, &action, nullptr);
}

TerminationSignal::~TerminationSignal() {
    if (m_notifier == nullptr)
        return;
    for (const int signal : caught)
        std::signal(signal, SIG_DFL);
    delete m_notifier;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}
