#include "FreedesktopFileRevealer.h"
#include "PrivateBus.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <cstdlib>

namespace {

// The desktop's data and config folders for this process, set before GIO reads
// them: one desktop entry that handles folders, named "Files".
QTemporaryDir& desktopHome() {
    static QTemporaryDir home;
    return home;
}

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
}

} // namespace

// The file manager's D-Bus face, recording what it was asked to show.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QList<QStringList> shown;

public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString&) { shown.append(uris); }
};

// Receives what the fallback opens with QDesktopServices.
class OpenedUrls : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

class FileRevealerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void labels_data();
    void labels();
    void labelNamesTheDefaultFolderHandler();
    void revealAsksTheFileManager();
    void revealWithoutFileManagerOpensTheFolder();
    void revealWithoutBusOpensTheFolder();
};

void FileRevealerTest::labels_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");

    QTest::addRow("a named file manager") << "Files"
                                          << "Show in Files";
    QTest::addRow("a name of several words") << "Dolphin File Manager"
                                             << "Show in Dolphin File Manager";
    QTest::addRow("no file manager") << QString() << "Show in File Manager";
    QTest::addRow("a name of blanks only") << "  \t"
                                           << "Show in File Manager";
    QTest::addRow("stray whitespace is tidied") << " Thunar\n"
                                                << "Show in Thunar";
}

void FileRevealerTest::labels() {
    QFETCH(QString, name);
    QFETCH(QString, label);
    QCOMPARE(revealLabelFor(name), label);
}

void FileRevealerTest::labelNamesTheDefaultFolderHandler() {
    FreedesktopFileRevealer revealer(QDBusConnection(QStringLiteral("none")));
    QCOMPARE(FreedesktopFileRevealer::defaultFileManagerName(), QString("Files"));
    QCOMPARE(revealer.revealLabel(), QString("Show in Files"));
}

void FileRevealerTest::revealAsksTheFileManager() {
    PrivateBus bus;
    if (!bus.isRunning())
        QSKIP("dbus-daemon is not installed");
    QDBusConnection service = bus.connect();
    FakeFileManager manager;
    QVERIFY(service.registerObject("/org/freedesktop/FileManager1", &manager,
                                   QDBusConnection::ExportAllSlots));
    QVERIFY(service.registerService("org.freedesktop.FileManager1"));
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    FreedesktopFileRevealer revealer(bus.connect());

    revealer.reveal("/opt/Apps/Sketch Pad.app");

    QTRY_COMPARE(manager.shown.size(), 1);
    QCOMPARE(manager.shown.at(0), QStringList{"file:///opt/Apps/Sketch%20Pad.app"});
    QTest::qWait(50);
    QVERIFY(opened.urls.isEmpty());
    QDesktopServices::unsetUrlHandler("file");
}

void FileRevealerTest::revealWithoutFileManagerOpensTheFolder() {
    PrivateBus bus;
    if (!bus.isRunning())
        QSKIP("dbus-daemon is not installed");
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    FreedesktopFileRevealer revealer(bus.connect());

    revealer.reveal("/opt/Apps/Sketch Pad.app");

    QTRY_COMPARE(opened.urls.size(), 1);
    QCOMPARE(opened.urls.at(0), QUrl::fromLocalFile("/opt/Apps"));
    QDesktopServices::unsetUrlHandler("file");
}

void FileRevealerTest::revealWithoutBusOpensTheFolder() {
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    FreedesktopFileRevealer revealer(QDBusConnection(QStringLiteral("not connected")));

    revealer.reveal("/home/user/.local/share/applications/notes.desktop");

    QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile("/home/user/.local/share/applications")});
    QDesktopServices::unsetUrlHandler("file");
}

int main(int argc, char* argv[]) {
    // GIO reads the desktop's folders once, on first use.
    QTemporaryDir& home = desktopHome();
    writeFile(home.filePath("data/applications/org.example.Files.desktop"),
              "[Desktop Entry]\nType=Application\nName=Files\nExec=true %U\n"
              "MimeType=inode/directory;\n");
    writeFile(home.filePath("config/mimeapps.list"),
              "[Default Applications]\ninode/directory=org.example.Files.desktop\n");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath("data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(home.filePath("none")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(home.filePath("none")));
    qputenv("XDG_CURRENT_DESKTOP", "");
    QGuiApplication app(argc, argv);
    FileRevealerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filerevealer.moc"
