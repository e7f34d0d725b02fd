#include "AppSettings.h"
#include "CatalogueFixture.h"
#include "QSettingsDefaultsStore.h"
#include "TestMain.h"

#include <QProcess>

// The catalogue as the built program and the project's scripts give it.
class ProgramTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // "quorlin --list-apps" run as a user would, without a display: the first
    // bundle of an identifier and the user's desktop entry win, bundles come
    // before entries, and the user's order and hidden set are followed.
    void listApps() {
        const fixture::Tree tree;
        tree.build({"root/Applications/Tab\tand\\slash.app=odd",
                    "root/Applications/V/Atlas.app=atlas", "root/System/Applications/Mail.app=mail",
                    "root/System/Applications/Utilities/Atlas Copy.app=atlas",
                    "user/applications/notes.desktop:Name=Notes",
                    "user/applications/mail.desktop:Name=Other Mail",
                    "system/applications/notes.desktop:Name=System Notes",
                    "system/applications/clock.desktop:Name=clock",
                    "system/applications/zip.desktop:Name=Zip",
                    // Hostile: none may stall or crash; only the name with a line break is an app.
                    "user/applications/all->/", "root/Applications/Root->/",
                    "root/Applications/Loop.app/Contents/Info.plist->./Info.plist",
                    "root/Applications/Zero.app/Contents/Info.plist->/dev/zero",
                    "root/Applications/New\nLine.app=nl"});
        QSettingsDefaultsStore store(tree.path("config/Quorlin/Quorlin.conf"));
        AppSettings settings(store);
        settings.setCustomAppOrder({"notes", "zip", "mail"});
        settings.setHiddenApps({"zip", "clock", "gone"});
        settings.unhideApp("clock");
        const auto list = [&](const QStringList& options) {
            QProcess program;
            program.start("env",
                          QStringList{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                                      "QT_QPA_PLATFORM", "XDG_CONFIG_HOME=" + tree.path("config"),
                                      "XDG_DATA_HOME=" + tree.path("user"),
                                      "XDG_DATA_DIRS=" + tree.path("system"),
                                      qEnvironmentVariable("QUORLIN_BINARY"), "--list-apps",
                                      "--root", tree.path("root")} +
                              options);
            return program.waitForFinished(120'000) && program.exitCode() == 0
                       ? QString::fromUtf8(program.readAllStandardOutput())
                       : QString("failed");
        };
        QCOMPARE(list({"--hidden"}),
                 QString("Zip\tzip\t%1/system/applications/zip.desktop\n").arg(tree.root()));
        QCOMPARE(list({}),
                 QString("Notes\tnotes\t%1/user/applications/notes.desktop\n"
                         "Mail\tmail\t%1/root/System/Applications/Mail.app\n"
                         "New\\nLine\tnl\t%1/root/Applications/New\\nLine.app\n"
                         "Tab\\tand\\\\slash\todd\t%1/root/Applications/Tab\\tand\\\\slash.app\n"
                         "Atlas\tatlas\t%1/root/Applications/V/Atlas.app\n"
                         "clock\tclock\t%1/system/applications/clock.desktop\n")
                     .arg(tree.root()));
    }

    // The end of a session (SIGTERM) ends a running launcher through its event
    // loop, as a quit does, rather than killing it where it stands.
    void endsOnTerminate() {
        const fixture::Tree tree;
        tree.build({"data/applications/a.desktop:Name=A", "root/", "run/"});
        QVERIFY(QFile::setPermissions(tree.path("run"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] : {
                 std::pair{"XDG_CONFIG_HOME", tree.path("config")},
                 {"XDG_CACHE_HOME", tree.path("cache")},
                 {"XDG_DATA_HOME", tree.path("data")},
                 {"XDG_RUNTIME_DIR", tree.path("run")},
                 {"QT_QPA_PLATFORM", QString("offscreen")},
                 {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + tree.path("no-bus")},
                 // Its channel's name comes from the display: one of its own.
                 {"WAYLAND_DISPLAY", tree.root().replace(u'/', u'_')},
             })
            environment.insert(name, value);
        QProcess launcher;
        launcher.setProcessEnvironment(environment);
        launcher.start(qEnvironmentVariable("QUORLIN_BINARY"),
                       {"--background", "--root", tree.path("root")});
        // Written while it runs, long after it has taken the signals.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(tree.path("cache/quorlin/catalogue")), 60'000);
        launcher.terminate();
        QVERIFY(launcher.waitForFinished(60'000));
        QCOMPARE(QPair(launcher.exitStatus(), launcher.exitCode()), QPair(QProcess::NormalExit, 0));
    }

    // The demo catalogue that `make run` shows comes from a script: what it
    // makes now must be what is committed.
    void demoCatalogueIsReproduced() {
        const QTemporaryDir scratch;
        QProcess shell;
        shell.setProcessChannelMode(QProcess::MergedChannels);
        shell.setWorkingDirectory(qEnvironmentVariable("QUORLIN_SOURCE_DIR"));
        // Every file with its digest, then the executable ones, of both trees.
        shell.start("sh", {"-c", R"sh(
            list() { cd "$1" && find . -type f -exec sha256sum {} + | sort && find . -type f -perm -u+x | sort; }
            python3 scripts/make-demo.py "$0/demo" && (list demo) >"$0/old" && (list "$0/demo") >"$0/new"
            diff "$0/old" "$0/new" && test "$(wc -l <"$0/new")" -gt 100)sh",
                           scratch.path()});
        QVERIFY(shell.waitForFinished(120'000));
        QVERIFY2(shell.exitCode() == 0, shell.readAll().constData());
    }
};

QUORLIN_TEST(ProgramTest)
#include "ProgramTest.moc"
