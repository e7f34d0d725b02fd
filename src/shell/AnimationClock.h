#pragma once

#include <QAnimationDriver>
#include <QBasicTimer>
#include <QElapsedTimer>

// The clock of Qt's animations on the software renderer, which has no display
// refresh to follow. Qt's own clock takes an animation's first step a whole
// frame after it starts, so the frame a click asks for shows nothing moving
// and the motion begins a frame late. This one steps at once, to where the
// animation will be as that frame reaches the screen, and then every frame:
// like a clock that follows the display's refresh, it runs a frame ahead.
class AnimationClock : public QAnimationDriver {
public:
    static constexpr int frameMs = 16;

    explicit AnimationClock(QObject* parent = nullptr);
    ~AnimationClock() override;
    [[nodiscard]] qint64 elapsed() const override;

protected:
    void start() override;
    void stop() override;
    void timerEvent(QTimerEvent* event) override;

private:
    QElapsedTimer m_clock;
    QBasicTimer m_frames;
};

// Installs an AnimationClock, owned by the application, for the calling
// thread's animations when Qt Quick draws with its software renderer in its
// basic loop; other renderers and loops pace animations themselves (nullptr).
// Call once, after the renderer has been chosen.
AnimationClock* installAnimationClock();
