#include "AnimationClock.h"

#include "SceneGraphBackend.h"

#include <QCoreApplication>
#include <QTimerEvent>

AnimationClock::AnimationClock(QObject* parent)
    : QAnimationDriver(parent) {}

// Uninstalled running, the clock would have Qt start its own in its place:
// at exit, with the application gone, that only earns a warning.
AnimationClock::~AnimationClock() {
    if (isRunning())
        stop();
}

qint64 AnimationClock::elapsed() const {
    return m_clock.isValid() ? m_clock.elapsed() + frameMs : 0;
}

void AnimationClock::start() {
    m_clock.start();
    QAnimationDriver::start();
    m_frames.start(frameMs, Qt::PreciseTimer, this);
    // Queued: the animation timers are still being started when this runs.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (isRunning())
                advance();
        },
        Qt::QueuedConnection);
}

void AnimationClock::stop() {
    m_frames.stop();
    m_clock.invalidate();
    QAnimationDriver::stop();
}

void AnimationClock::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_frames.timerId())
        advance();
    else
        QAnimationDriver::timerEvent(event);
}

AnimationClock* installAnimationClock() {
    if (!drawsWithSoftwareRenderer())
        return nullptr;
    // Asked for, the software renderer's threaded loop installs its own clock.
    if (qgetenv("QSG_RENDER_LOOP") == "threaded")
        return nullptr;
    auto* clock = new AnimationClock(QCoreApplication::instance());
    clock->install();
    return clock;
}
