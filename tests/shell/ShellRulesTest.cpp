#include "AnimationClock.h"
#include "BackgroundBlur.h"
#include "DesktopBackground.h"
#include "InstanceChannel.h"
#include "LauncherKeyFilter.h"
#include "ShellFakes.h"
#include "SymbolImageProvider.h"
#include "TestMain.h"
#include "ToggleRule.h"

#include <QLocalSocket>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>
#include <QVariantAnimation>
#include <QtConcurrent/QtConcurrentRun>

// The shell's rules that need no window: the launcher key, the single-instance
// channel and the desktop picture. MainScreenTest drives the window itself.
class ShellRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void launcherKey() {
        // Only a launcher the user is looking at goes away; one shown behind
        // another application's window comes to the front instead.
        QCOMPARE(toggleAction(true, true), ToggleAction::Hide);
        QCOMPARE(toggleAction(true, false), ToggleAction::Show);
        QCOMPARE(toggleAction(false, true), ToggleAction::Show);
        // The keypad flag is where F4 sits, not a modifier the user holds.
        QCOMPARE(launcherKeyFor(Qt::Key_F4, Qt::KeypadModifier, false), LauncherKey::Toggle);
        QCOMPARE(launcherKeyFor(Qt::Key_F4, Qt::ShiftModifier, true), LauncherKey::Other);
        QCOMPARE(launcherKeyFor(Qt::Key_Escape, Qt::ControlModifier, true), LauncherKey::Other);
    }

    void symbolsComeAtTheSizeAskedFor_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<QSize>("served"); // empty: no picture
        QTest::newRow("a drawing, both sides")
            << "shell/icons/magnifyingglass.svg" << QSize(26, 40) << QSize(26, 40);
        QTest::newRow("a drawing, one side")
            << "shell/icons/app-dashed.svg" << QSize(0, 30) << QSize(30, 30);
        QTest::newRow("a bitmap keeps its own size")
            << "grid/icons/badge-shadow.png" << QSize(5, 5)
            << QImage(":/Quorlin/grid/icons/badge-shadow.png").size();
        QTest::newRow("nothing outside the launcher's own")
            << "../Quorlin/../tests/x.png" << QSize() << QSize();
        QTest::newRow("a missing one") << "shell/icons/none.svg" << QSize(9, 9) << QSize();
    }

    void symbolsComeAtTheSizeAskedFor() {
        QFETCH(QString, id);
        QFETCH(QSize, asked);
        QFETCH(QSize, served);
        QSize reported;
        const QImage image = SymbolImageProvider().requestImage(id, &reported, asked);
        QCOMPARE(image.size(), served.isValid() ? served : QSize(0, 0));
        QCOMPARE(reported, image.size());
    }

    void oneInstanceTakesRequests() {
        const QString name = "quorlin-test-" + QUuid::createUuid().toString(QUuid::Id128);
        QVERIFY(!InstanceChannel::send(name, InstanceChannel::toggleMessage, 500));
        InstanceChannel channel(name);
        QVERIFY(channel.listen());
        QVERIFY(!InstanceChannel(name).listen());
        QSignalSpy received(&channel, &InstanceChannel::messageReceived);

        // A client flooding without a line end is dropped well before the idle
        // timeout, and the channel goes on serving.
        QLocalSocket flood;
        flood.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
        flood.connectToServer(name);
        QVERIFY(flood.waitForConnected(2000));
        flood.write(QByteArray(4096, 'x'));
        QTRY_COMPARE_WITH_TIMEOUT(flood.state(), QLocalSocket::UnconnectedState, 4000);
        // The sender blocks for the answer, which needs this thread's loop.
        QFuture<bool> sent = QtConcurrent::run(
            [&] { return InstanceChannel::send(name, InstanceChannel::reopenMessage); });
        QTRY_VERIFY(sent.isFinished() && sent.result());
        QCOMPARE(received.value(0).value(0).toByteArray(), InstanceChannel::reopenMessage);
    }

    // A picture read in full, and its line, are checked on screen in MainScreenTest.
    void eachPictureFailureReportsOneLine_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("line");
        QTest::addRow("the desktop names no picture")
            << QString() << QByteArray() << "Could not get desktop image URL";
        QTest::addRow("the file is gone")
            << "gone.jpg" << QByteArray() << "Error loading image data: No such file or directory";
        QTest::addRow("a cut-off picture") << "cut.png" << QByteArray("\x89PNG\r\n\x1a\n", 8)
                                           << "Could not create NSImage from data";
        QTest::addRow("a picture without pixels")
            << "empty.svg"
            << QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='0' height='0'/>")
            << "Image loaded but has zero size";
    }

    void eachPictureFailureReportsOneLine() {
        QFETCH(QString, file);
        QFETCH(QByteArray, contents);
        QFETCH(QString, line);
        QTemporaryDir dir;
        QFile picture(dir.filePath(file));
        QVERIFY(contents.isEmpty() ||
                (picture.open(QIODevice::WriteOnly) && picture.write(contents) && picture.flush()));
        FixedPictureSource source;
        source.setUrl(file.isEmpty() ? QUrl() : QUrl::fromLocalFile(picture.fileName()));
        QStringList lines;
        DesktopBackground background(source, [&lines](const QString& l) { lines.append(l); });
        QSignalSpy finished(&background, &DesktopBackground::loadFinished);
        background.load();
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(lines, QStringList{line});
        QVERIFY(!background.hasPicture());
    }

    void blurFadesAtTheEdgesAndKeepsTheShape() {
        QImage flat(100, 60, QImage::Format_ARGB32_Premultiplied);
        flat.fill(QColor(40, 120, 200));
        boxBlur(flat, 5);
        // Beyond the edges lies nothing, so the border fades out instead of
        // smearing, while the middle of a flat picture stays flat.
        QCOMPARE(flat.pixelColor(50, 30), QColor(40, 120, 200));
        QVERIFY(flat.pixelColor(0, 0).alpha() > 20 && flat.pixelColor(0, 0).alpha() < 200);
        // Worked on at a reduced size that the view stretches back.
        const QImage blurred = blurredBackground(flat.scaled(4000, 1000), QSize(1920, 1055));
        QVERIFY(!blurred.isNull() && blurred.width() < 1920);
        QVERIFY(qAbs(double(blurred.width()) / blurred.height() - 4.0) < 0.08);
        // Over the window's black and under the screen's veil, opaque to its edges.
        QCOMPARE(blurred.pixelColor(blurred.width() / 2, blurred.height() / 2),
                 QColor(28, 84, 140));
        QVERIFY(!blurred.hasAlphaChannel() && blurred.pixelColor(0, 0).blue() < 100);
    }

    void animationsMoveInTheFrameThatStartsThem() {
        if (QQuickWindow::graphicsApi() != QSGRendererInterface::Software)
            QVERIFY(!installAnimationClock()); // a GPU's render loop paces its own
        qputenv("QT_QUICK_BACKEND", "software");
        qputenv("QSG_RENDER_LOOP", "threaded");
        QVERIFY(!installAnimationClock());
        qunsetenv("QSG_RENDER_LOOP");
        const std::unique_ptr<AnimationClock> clock(installAnimationClock());
        qunsetenv("QT_QUICK_BACKEND");
        QVERIFY(clock);
        QVariantAnimation animation;
        animation.setDuration(200);
        animation.setStartValue(0);
        animation.setEndValue(200);
        animation.start();
        // Posted events only, so no timer can tick: the first step is taken
        // at once, a frame's worth ahead.
        for (int round = 0; round < 4 && animation.currentTime() == 0; ++round)
            QCoreApplication::sendPostedEvents();
        QVERIFY(animation.currentTime() >= AnimationClock::frameMs);
        QTRY_COMPARE(animation.state(), QAbstractAnimation::Stopped);
    }
};

QUORLIN_TEST(ShellRulesTest)
#include "ShellRulesTest.moc"
