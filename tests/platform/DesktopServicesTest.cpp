#include "CatalogueFixture.h"
#include "DesktopSettings.h"
#include "FreedesktopFileRevealer.h"
#include "FreedesktopTrash.h"
#include "GioAppLauncher.h"
#include "LinuxDesktopPictureSource.h"
#include "PortalGlobalHotkey.h"
#include "TestMain.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVirtualObject>
#include <QDesktopServices>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

namespace {

const QString portal = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString session = portal + QStringLiteral("/session/1_9/quorlin");

// The portal: records every call and answers it with a Response on the
// request path the portal documents for the caller.
class FakePortal final : public QDBusVirtualObject {
public:
    [[nodiscard]] QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
        calls.append(call);
        const auto options = qdbus_cast<QVariantMap>(call.arguments().constLast());
        const QString request = portal + "/request/" + call.service().mid(1).replace('.', '_') +
                                '/' + options.value("handle_token").toString();
        bus.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage response =
            QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
        return bus.send(response << 0u << QVariantMap{{"session_handle", session}});
    }

    QList<QDBusMessage> calls;
};

void writeProgram(const fixture::Tree& tree, const QString& relative) {
    tree.write(relative, "#!/bin/sh\ntouch ran\n");
    QVERIFY(QFile::setPermissions(tree.path(relative), QFile::ReadOwner | QFile::ExeOwner));
}

} // namespace

// The desktop session's settings and services, faked: GSettings schemas and
// desktop files under a home of the test's own, services on a bus of its own.
class DesktopServicesTest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

    fixture::Tree m_home;
    QProcess m_bus;
    QString m_address;
    QStringList m_seen;

    QDBusConnection connect() {
        return QDBusConnection::connectToBus(m_address, QUuid::createUuid().toString());
    }

public Q_SLOTS:
    // The file manager's side, and where URLs open.
    Q_SCRIPTABLE void ShowItems(const QStringList& uris, const QString&) {
        m_seen.append("show " + uris.join(' '));
    }
    void open(const QUrl& url) { m_seen.append("open " + url.toString()); }

private Q_SLOTS:
    // GSettings takes its schemas and backend from the environment on first
    // use: GNOME's pictures are the defaults of a schema of our own.
    void initTestCase() {
        // clang-format off
        m_home.build({
            R"(schemas/bg.gschema.xml|<schemalist><schema id="org.gnome.desktop.background" path="/org/gnome/desktop/background/">)"
            R"(<key name="picture-uri" type="s"><default>'file:///Day.png'</default></key>)"
            R"(<key name="picture-uri-dark" type="s"><default>'file:///Night.png'</default></key></schema>)"
            R"(<schema id="org.gnome.desktop.interface" path="/org/gnome/desktop/interface/">)"
            R"(<key name="color-scheme" type="s"><default>'prefer-dark'</default></key>)"
            R"(<key name="icon-theme" type="s"><default>'Gnomish'</default></key></schema></schemalist>)",
            // Icon themes: keys GKeyFile refuses, nested xfconf properties, a
            // FIFO where GTK 3's settings would be.
            "config/kdeglobals|[KFileDialog Settings]\nRecent URLs[$e]=file:$HOME/\n[Icons]\nTheme=Kdeish",
            "config/gtk-3.0/settings.ini!", "config/gtk-4.0/settings.ini|[Settings]\ngtk-icon-theme-name=Gtkish",
            R"(config/xfce4/xfconf/xfce-perchannel-xml/xsettings.xml|<channel><property name="Gtk"><property name="IconThemeName" value="No"/>)"
            R"(</property><property name="Net"><property name="IconThemeName" value="Xfish"/></property></channel>)",
            // Plasma's wallpaper: a package of pictures in several sizes.
            "config/plasma-org.kde.plasma.desktop-appletsrc|[Containments][1][Applets][2][Configuration][General]\n"
            "Image=/panel.png\n[Containments][7][Wallpaper][org.kde.image][General]\nImage=file://" + m_home.path("My Next/"),
            "My Next/contents/images/1280x800.png", "My Next/contents/images/5120x2880.png", "My Next/contents/images/shot.png",
            "My Next/contents/images/9999999999x9999999999.png", // no size: the area would overflow
            R"(config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml|<channel><property name="last-image" value=""/>)"
            R"(<property name="last-image" value=" /leaves.svg "/></channel>)"});
        // clang-format on
        QCOMPARE(QProcess::execute("glib-compile-schemas", {m_home.path("schemas")}), 0);
        qputenv("GSETTINGS_SCHEMA_DIR", QFile::encodeName(m_home.path("schemas")));
        qputenv("GSETTINGS_BACKEND", "memory");
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_home.path("none")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path("config")));
        m_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QTRY_VERIFY(m_bus.canReadLine());
        m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
    }

    void cleanupTestCase() { m_bus.close(); }

    // The running desktop's own settings first, then the others'.
    void picture_data() {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("iconTheme");

        // clang-format off
        QTest::addRow("GNOME, the dark picture of the dark scheme") << "GNOME" << QUrl("file:///Night.png") << "Gnomish";
        QTest::addRow("Plasma, the largest picture of a package") << "KDE" << QUrl::fromLocalFile(m_home.path("My Next/contents/images/5120x2880.png")) << "Kdeish";
        QTest::addRow("Xfce, the first picture set") << "XFCE" << QUrl::fromLocalFile("/leaves.svg") << "Xfish";
        QTest::addRow("another desktop, GNOME first, GTK's own icons") << "sway" << QUrl("file:///Night.png") << "Gtkish";
        // clang-format on
    }

    void picture() {
        QFETCH(QString, desktop);
        QFETCH(QUrl, url);
        QFETCH(QString, iconTheme);
        qputenv("XDG_CURRENT_DESKTOP", desktop.toUtf8());
        QCOMPARE(LinuxDesktopPictureSource().desktopPictureUrl(), url);
        QCOMPARE(DesktopSettings::iconThemeName(), iconTheme);
    }

    // The file manager selects the item; without one, or without a session
    // bus, the folder opens. Each is done once the answer, or the lack of one,
    // has been handled.
    void reveal() {
        QDesktopServices::setUrlHandler("file", this, "open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("file"); });
        QDBusConnection manager = connect();
        QVERIFY(manager.registerObject("/org/freedesktop/FileManager1", this,
                                       QDBusConnection::ExportScriptableSlots) &&
                manager.registerService("org.freedesktop.FileManager1"));
        FreedesktopFileRevealer revealer(connect());

        revealer.reveal("/a/S P.app");
        QTRY_VERIFY(revealer.findChildren<QDBusPendingCallWatcher*>().isEmpty());
        QVERIFY(manager.unregisterService("org.freedesktop.FileManager1"));
        revealer.reveal("/a/S P.app");
        QTRY_VERIFY(revealer.findChildren<QDBusPendingCallWatcher*>().isEmpty());
        FreedesktopFileRevealer(QDBusConnection("none")).reveal("/h/notes.desktop");

        QCOMPARE(m_seen.join(", "), "show file:///a/S%20P.app, open file:///a, open file:///h");
    }

    // Without a bus the hotkey cannot start; without the portal it still starts,
    // and never fires. With the portal, F4 is bound, and only that shortcut of
    // that session fires.
    void hotkey() {
        QVERIFY(!PortalGlobalHotkey(QDBusConnection("none")).start());
        QVERIFY(PortalGlobalHotkey(connect()).start());
        QDBusConnection portalBus = connect();
        FakePortal fake;
        QVERIFY(portalBus.registerVirtualObject(portal, &fake) &&
                portalBus.registerService("org.freedesktop.portal.Desktop"));
        QDBusConnection hotkeyBus = connect();
        PortalGlobalHotkey hotkey(hotkeyBus);
        QSignalSpy activated(&hotkey, &GlobalHotkey::activated);
        QVERIFY(hotkey.start());

        QTRY_COMPARE(fake.calls.size(), 2);
        QString calls;
        QDebug(&calls) << fake.calls;
        // clang-format off
        QVERIFY2(calls.contains(R"(member="CreateSession")") &&
                 calls.contains(R"(member="BindShortcuts", signature="oa(sa{sv})sa{sv}", contents=([ObjectPath: )" + session +
                                R"(], [Argument: a(sa{sv}) {[Argument: (sa{sv}) "toggle-launcher", )") &&
                 calls.contains(R"("preferred_trigger" = [Variant(QString): "F4"]}]]}])"), qPrintable(calls));
        // clang-format on

        const QString id = PortalGlobalHotkey::shortcutId;
        for (const auto& [path, shortcut] :
             {std::pair{session + "/other", id}, {session, QString("other")}, {session, id}}) {
            QDBusMessage signal = QDBusMessage::createSignal(portal, shortcuts, "Activated");
            portalBus.send(signal << QVariant::fromValue(QDBusObjectPath(path)) << shortcut
                                  << qulonglong(1) << QVariantMap());
        }
        // The bus keeps one sender's messages in order: once the portal has
        // answered a ping, the three signals wait to be delivered.
        hotkeyBus.call(QDBusMessage::createMethodCall(portalBus.baseService(), "/",
                                                      "org.freedesktop.DBus.Peer", "Ping"));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(activated.count(), 1);
    }

    // Only an executable file directly inside Contents/MacOS, named by the
    // bundle's readable property list, is ever run.
    void bundleProgram_data() {
        QTest::addColumn<QByteArray>("plist");
        QTest::addColumn<QString>("runs");

        using fixture::plist;
        QByteArray nul = plist({{"CFBundleExecutable", "runxnotes"}}, fixture::PlistFormat::Binary);
        nul[nul.indexOf("xnotes")] = '\0';
        // clang-format off
        QTest::addRow("declared") << plist({{"CFBundleExecutable", "run"}}) << "run";
        QTest::addRow("another declared") << plist({{"CFBundleExecutable", "other"}}) << "";
        QTest::addRow("not executable") << plist({{"CFBundleExecutable", "notes"}}) << "";
        QTest::addRow("climbing out") << plist({{"CFBundleExecutable", "../../../escape"}}) << "";
        QTest::addRow("in a folder under MacOS") << plist({{"CFBundleExecutable", "sub/run"}}) << "";
        QTest::addRow("garbage") << QByteArray("bplist00\xff\xff garbage") << "";
        QTest::addRow("a NUL in the name") << nul << "";
        QTest::addRow("linked from outside the bundle") << plist({{"CFBundleExecutable", "linked"}}) << "";
        QTest::addRow("a FIFO for a property list") << QByteArray() << "";
        // clang-format on
    }

    void bundleProgram() {
        QFETCH(QByteArray, plist);
        QFETCH(QString, runs);
        const fixture::Tree tree;
        tree.build({"A.app/Contents/MacOS/notes|text", "A.app/Contents/MacOS/linked->escape",
                    plist.isEmpty() ? "A.app/Contents/Info.plist!" : "A.app/Contents/"});
        if (!plist.isEmpty())
            tree.write("A.app/Contents/Info.plist", plist);
        for (const char* program :
             {"A.app/Contents/MacOS/run", "A.app/Contents/MacOS/sub/run", "escape"})
            writeProgram(tree, program);
        const QString expected = runs.isEmpty() ? runs : tree.path("A.app/Contents/MacOS/" + runs);
        QCOMPARE(GioAppLauncher::bundleExecutable(tree.path("A.app")), expected);
    }

    // Desktop entries through GIO; a bundle's program directly, not through a
    // shell that would split its path at the space, in the bundle's folder. An
    // entry whose program has gone answers why it did not start.
    void launch() {
        const fixture::Tree tree;
        const QByteArray entry = "[Desktop Entry]\nType=Application\nName=N\nExec=";
        tree.write("notes.desktop",
                   entry + "touch " + QFile::encodeName(tree.path("entry-ran")) +
                       "\nActions=again;\n[Desktop Action again]\nName=A\nExec=touch " +
                       QFile::encodeName(tree.path("action-ran")));
        tree.write("gone.desktop", entry + QFile::encodeName(tree.path("gone")));
        tree.write("S P.app/Contents/Info.plist", fixture::plist({{"CFBundleExecutable", "run"}}));
        writeProgram(tree, "S P.app/Contents/MacOS/run");
        for (const char* item : {"notes.desktop", "S P.app"})
            GioAppLauncher().launch(AppItem{QUuid(), item, item, tree.path(item), {}}, {});
        GioAppLauncher().launch(AppItem{{}, "N", "N", tree.path("notes.desktop"), {}}, "again");
        QCOMPARE(GioAppLauncher()
                     .launch(AppItem{{}, "G", "G", tree.path("gone.desktop"), {}}, {})
                     .result(),
                 "No program to run for " + tree.path("gone.desktop"));
        QTRY_VERIFY(QFile::exists(tree.path("entry-ran")) && QFile::exists(tree.path("ran")) &&
                    QFile::exists(tree.path("action-ran")));
    }

    // Items go to the Trash of a data home that does not exist yet; a failure
    // says why.
    void trash_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("inTrash");
        QTest::addColumn<QString>("error");

        // clang-format off
        QTest::addRow("a file") << "Apps/notes.desktop" << "info/notes.desktop.trashinfo" << "";
        QTest::addRow("a bundle and its contents") << "Apps/Tool.app" << "files/Tool.app/Contents/Info.plist" << "";
        QTest::addRow("a link: itself, not what it leads to") << "Apps/Link.app" << "files/Link.app" << "";
        QTest::addRow("missing") << "Apps/Gone.app" << "" << "The file “%1” doesn’t exist.";
        // clang-format on
    }

    void trash() {
        QFETCH(QString, item);
        QFETCH(QString, inTrash);
        QFETCH(QString, error);
        const fixture::Tree tree;
        tree.build({"Apps/notes.desktop|[Desktop Entry]",
                    "Apps/Tool.app/Contents/Info.plist|<plist/>", "Apps/Link.app->Apps/Tool.app"});
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(tree.path("home")));
        const Trash::Result result = FreedesktopTrash().moveToTrash(tree.path(item));
        qputenv("XDG_DATA_HOME", dataHome);

        QCOMPARE(result.errorText, QString(error).replace("%1", tree.path(item)));
        QCOMPARE(result.moved, error.isEmpty());
        QVERIFY(!QFileInfo::exists(tree.path(item)));
        QVERIFY(inTrash.isEmpty() || QFileInfo::exists(tree.path("home/Trash/" + inTrash)));
        QCOMPARE(QFileInfo::exists(tree.path("Apps/Tool.app/Contents")),
                 !item.endsWith("Tool.app"));
    }
};

QUORLIN_TEST(DesktopServicesTest)
#include "DesktopServicesTest.moc"
