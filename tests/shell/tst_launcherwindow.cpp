#include "AppDelegate.h"
#include "InstanceChannel.h"
#include "LauncherFrame.h"
#include "LauncherKeyFilter.h"
#include "ShellFakes.h"
#include "ToggleRule.h"

#include <QGuiApplication>
#include <QLocalSocket>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <QSignalSpy>
#include <QUuid>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest/QTest>

#include <unistd.h>

Q_DECLARE_METATYPE(ToggleAction)
Q_DECLARE_METATYPE(LauncherKey)

namespace {

// A launcher-like scene: a focused text field on the main content and a popup
// that can take the focus.
const QByteArray scene = R"(
import QtQuick
import QtQuick.Controls
Item {
    property alias field: field
    property alias popup: popup
    TextField { id: field; objectName: "field"; focus: true; width: 200 }
    Popup { id: popup; focus: true; width: 100; height: 100 }
}
)";

QString uniqueChannelName() {
    return QStringLiteral("quorlin-test-%1-%2")
        .arg(getpid())
        .arg(QUuid::createUuid().toString(QUuid::Id128));
}

} // namespace

class LauncherWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void toggleRule_data();
    void toggleRule();
    void frame_data();
    void frame();
    void keys_data();
    void keys();
    void channelDeliversMessages();
    void channelWithoutInstance();
    void channelHasOneListener();
    void channelDropsGarbage();
    void sessionNameIsSafe();
    void withoutWindowOnlyTheHotkeyIsInstalled();
    void windowIsStyled();
    void toggleShowsAndHides();
    void reopenOnlyShowsHidden();
    void launcherKeysAreConsumed();
    void escapeBelongsToAnOpenPopup();

private:
    struct Launcher {
        FakeHotkey hotkey;
        QQuickView view;
        AppDelegate delegate{hotkey};
        QQuickItem* root = nullptr;
    };
    static bool build(Launcher& launcher);
};

void LauncherWindowTest::toggleRule_data() {
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("active");
    QTest::addColumn<ToggleAction>("action");

    QTest::addRow("shown and in front goes away") << true << true << ToggleAction::Hide;
    QTest::addRow("shown behind another application comes to the front")
        << true << false << ToggleAction::Show;
    QTest::addRow("hidden comes back") << false << false << ToggleAction::Show;
    QTest::addRow("hidden while another window of ours is active comes back")
        << false << true << ToggleAction::Show;
}

void LauncherWindowTest::toggleRule() {
    QFETCH(bool, visible);
    QFETCH(bool, active);
    QFETCH(ToggleAction, action);
    QCOMPARE(toggleAction(visible, active), action);
}

void LauncherWindowTest::frame_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("window");

    QTest::addRow("screen at the origin") << QRect(0, 0, 1440, 900) << QRect(0, 25, 1440, 875);
    QTest::addRow("screen placed right of and below another")
        << QRect(100, 50, 1920, 1080) << QRect(100, 75, 1920, 1055);
    QTest::addRow("screen left of the origin")
        << QRect(-1280, 0, 1280, 1024) << QRect(-1280, 25, 1280, 999);
}

void LauncherWindowTest::frame() {
    QFETCH(QRect, screen);
    QFETCH(QRect, window);
    QCOMPARE(launcherFrame(screen), window);
}

void LauncherWindowTest::keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("focusOnMainScreen");
    QTest::addColumn<LauncherKey>("expected");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    QTest::addRow("F4 toggles") << int(Qt::Key_F4) << none << true << LauncherKey::Toggle;
    QTest::addRow("F4 toggles even from a popup")
        << int(Qt::Key_F4) << none << false << LauncherKey::Toggle;
    QTest::addRow("F4 on the keypad flag toggles")
        << int(Qt::Key_F4) << Qt::KeyboardModifiers(Qt::KeypadModifier) << true
        << LauncherKey::Toggle;
    QTest::addRow("Alt+F4 is someone else's")
        << int(Qt::Key_F4) << Qt::KeyboardModifiers(Qt::AltModifier) << true << LauncherKey::Other;
    QTest::addRow("Escape on the main screen hides")
        << int(Qt::Key_Escape) << none << true << LauncherKey::Escape;
    QTest::addRow("Escape in a popup is the popup's")
        << int(Qt::Key_Escape) << none << false << LauncherKey::Other;
    QTest::addRow("Shift+Escape is not Escape")
        << int(Qt::Key_Escape) << Qt::KeyboardModifiers(Qt::ShiftModifier) << true
        << LauncherKey::Other;
    QTest::addRow("letters go to the search field")
        << int(Qt::Key_A) << none << true << LauncherKey::Other;
    QTest::addRow("Return goes to the search field")
        << int(Qt::Key_Return) << none << true << LauncherKey::Other;
}

void LauncherWindowTest::keys() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, focusOnMainScreen);
    QFETCH(LauncherKey, expected);
    QCOMPARE(launcherKeyFor(key, modifiers, focusOnMainScreen), expected);
}

void LauncherWindowTest::channelDeliversMessages() {
    const QString name = uniqueChannelName();
    InstanceChannel channel(name);
    QVERIFY(channel.listen());
    QSignalSpy received(&channel, &InstanceChannel::messageReceived);

    // The sender blocks until answered; the answer needs this thread's loop.
    QFuture<bool> toggled = QtConcurrent::run(
        [name] { return InstanceChannel::send(name, InstanceChannel::toggleMessage); });
    QTRY_VERIFY(toggled.isFinished());
    QVERIFY(toggled.result());
    QFuture<bool> reopened = QtConcurrent::run(
        [name] { return InstanceChannel::send(name, InstanceChannel::reopenMessage); });
    QTRY_VERIFY(reopened.isFinished());
    QVERIFY(reopened.result());

    QCOMPARE(received.count(), 2);
    QCOMPARE(received.at(0).at(0).toByteArray(), InstanceChannel::toggleMessage);
    QCOMPARE(received.at(1).at(0).toByteArray(), InstanceChannel::reopenMessage);
}

void LauncherWindowTest::channelWithoutInstance() {
    QVERIFY(!InstanceChannel::send(uniqueChannelName(), InstanceChannel::toggleMessage, 500));
}

void LauncherWindowTest::channelHasOneListener() {
    const QString name = uniqueChannelName();
    InstanceChannel first(name);
    InstanceChannel second(name);
    QVERIFY(first.listen());
    QVERIFY(!second.listen());
}

void LauncherWindowTest::channelDropsGarbage() {
    const QString name = uniqueChannelName();
    InstanceChannel channel(name);
    QVERIFY(channel.listen());
    QSignalSpy received(&channel, &InstanceChannel::messageReceived);
    QLocalSocket client;
    client.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    client.connectToServer(name);
    QVERIFY(client.waitForConnected(1000));

    // A flood without a line end is not a launcher talking.
    client.write(QByteArray(4096, 'x'));
    QTRY_COMPARE(client.state(), QLocalSocket::UnconnectedState);
    QCOMPARE(received.count(), 0);

    // The channel still serves real senders afterwards.
    QFuture<bool> sent = QtConcurrent::run(
        [name] { return InstanceChannel::send(name, InstanceChannel::toggleMessage); });
    QTRY_VERIFY(sent.isFinished());
    QVERIFY(sent.result());
}

void LauncherWindowTest::sessionNameIsSafe() {
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DISPLAY", "host/evil:0.1");
    const QString name = InstanceChannel::sessionName();
    qputenv("DISPLAY", ":1");
    const QString other = InstanceChannel::sessionName();
    if (!wayland.isEmpty())
        qputenv("WAYLAND_DISPLAY", wayland);
    if (display.isEmpty())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", display);

    QCOMPARE(name, QStringLiteral("quorlin-%1-host_evil_0.1").arg(getuid()));
    // Two displays of one user are two sessions.
    QVERIFY(name != other);
}

bool LauncherWindowTest::build(Launcher& launcher) {
    QQmlComponent component(launcher.view.engine());
    component.setData(scene, QUrl(QStringLiteral("qrc:/tests/Scene.qml")));
    auto* root = qobject_cast<QQuickItem*>(component.create());
    if (root == nullptr) {
        qWarning().noquote() << component.errorString();
        return false;
    }
    launcher.view.setContent(component.url(), nullptr, root);
    launcher.root = root;
    launcher.delegate.setupWindow(&launcher.view, root);
    return true;
}

void LauncherWindowTest::withoutWindowOnlyTheHotkeyIsInstalled() {
    FakeHotkey hotkey;
    AppDelegate delegate(hotkey);

    delegate.setupWindow(nullptr);
    QCOMPARE(hotkey.starts, 1);
    QVERIFY(delegate.hasGlobalHotkey());

    hotkey.press();
    delegate.reopen();
    QTest::qWait(20);
    QCOMPARE(delegate.window(), nullptr);
}

void LauncherWindowTest::windowIsStyled() {
    Launcher launcher;
    QVERIFY(build(launcher));
    const Qt::WindowFlags flags = launcher.view.flags();

    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY((flags & Qt::WindowType_Mask) == Qt::Tool);
    QCOMPARE(launcher.view.color(), QColor(Qt::black));
    QCOMPARE(launcher.view.geometry(), launcherFrame(QGuiApplication::primaryScreen()->geometry()));
    QCOMPARE(launcher.hotkey.starts, 1);
    QVERIFY(!launcher.view.isVisible());
}

void LauncherWindowTest::toggleShowsAndHides() {
    Launcher launcher;
    QVERIFY(build(launcher));

    launcher.hotkey.press();
    // Deferred to the event loop, never done inside the caller.
    QVERIFY(!launcher.view.isVisible());
    QTRY_VERIFY(launcher.view.isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&launcher.view));

    launcher.delegate.toggleWindow();
    QTRY_VERIFY(!launcher.view.isVisible());

    launcher.delegate.toggleWindow();
    QTRY_VERIFY(launcher.view.isVisible());
}

void LauncherWindowTest::reopenOnlyShowsHidden() {
    Launcher launcher;
    QVERIFY(build(launcher));
    launcher.delegate.showLauncher();
    QVERIFY(QTest::qWaitForWindowActive(&launcher.view));

    launcher.delegate.reopen();
    QTest::qWait(20);
    QVERIFY(launcher.view.isVisible());

    launcher.delegate.hideLauncher();
    QVERIFY(!launcher.view.isVisible());
    launcher.delegate.reopen();
    QVERIFY(launcher.view.isVisible());
}

void LauncherWindowTest::launcherKeysAreConsumed() {
    Launcher launcher;
    QVERIFY(build(launcher));
    QSignalSpy escapes(&launcher.delegate, &AppDelegate::escapePressed);
    launcher.delegate.showLauncher();
    QVERIFY(QTest::qWaitForWindowActive(&launcher.view));
    auto* field = launcher.root->property("field").value<QQuickItem*>();
    QVERIFY(field->hasActiveFocus());

    QTest::keyClick(&launcher.view, Qt::Key_A);
    QTest::keyClick(&launcher.view, Qt::Key_Escape);
    QCOMPARE(escapes.count(), 1);
    QTest::keyClick(&launcher.view, Qt::Key_F4);
    QTRY_VERIFY(!launcher.view.isVisible());

    // Neither key reached the field.
    QCOMPARE(field->property("text").toString(), QString("a"));
}

void LauncherWindowTest::escapeBelongsToAnOpenPopup() {
    Launcher launcher;
    QVERIFY(build(launcher));
    QSignalSpy escapes(&launcher.delegate, &AppDelegate::escapePressed);
    launcher.delegate.showLauncher();
    QVERIFY(QTest::qWaitForWindowActive(&launcher.view));
    QObject* popup = launcher.root->property("popup").value<QObject*>();
    QMetaObject::invokeMethod(popup, "open");
    QTRY_VERIFY(popup->property("opened").toBool());

    QTest::keyClick(&launcher.view, Qt::Key_Escape);

    QTRY_VERIFY(!popup->property("visible").toBool());
    QCOMPARE(escapes.count(), 0);
    QVERIFY(launcher.view.isVisible());
    // With the popup gone, Escape is the launcher's again.
    launcher.root->property("field").value<QQuickItem*>()->forceActiveFocus();
    QTest::keyClick(&launcher.view, Qt::Key_Escape);
    QCOMPARE(escapes.count(), 1);
}

QTEST_MAIN(LauncherWindowTest)
#include "tst_launcherwindow.moc"
