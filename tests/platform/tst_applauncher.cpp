#include "GioAppLauncher.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <plist/plist.h>

#include <cstdlib>

namespace {

void writeFile(const QString& path, const QByteArray& data,
               QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
    file.close();
    QVERIFY(file.setPermissions(permissions));
}

QByteArray infoPlist(const char* executable, bool binary = false) {
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "CFBundleIdentifier", plist_new_string("org.example.sketch"));
    if (executable != nullptr)
        plist_dict_set_item(dict, "CFBundleExecutable", plist_new_string(executable));
    char* data = nullptr;
    uint32_t length = 0;
    if (binary)
        plist_to_bin(dict, &data, &length);
    else
        plist_to_xml(dict, &data, &length);
    QByteArray bytes(data, qsizetype(length));
    std::free(data);
    plist_free(dict);
    return bytes;
}

const QFile::Permissions executable =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup;

AppItem appAt(const QString& path) {
    return AppItem{QUuid::createUuid(),
                   QStringLiteral("Sketch"),
                   QStringLiteral("org.example.sketch"),
                   path,
                   {}};
}

} // namespace

class AppLauncherTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void launchesDesktopEntry();
    void launchesBundleExecutable();
    void bundleExecutable_data();
    void bundleExecutable();
    void unknownItemsLaunchNothing();
};

void AppLauncherTest::launchesDesktopEntry() {
    QTemporaryDir dir;
    const QString marker = dir.filePath("launched");
    const QString entry = dir.filePath("org.example.sketch.desktop");
    writeFile(entry, "[Desktop Entry]\nType=Application\nName=Sketch\nExec=touch " +
                         QFile::encodeName(marker) + "\n");
    GioAppLauncher launcher;

    launcher.launch(appAt(entry));

    QTRY_VERIFY(QFile::exists(marker));
}

void AppLauncherTest::launchesBundleExecutable() {
    QTemporaryDir dir;
    const QString bundle = dir.filePath("Sketch.app");
    writeFile(bundle + "/Contents/Info.plist", infoPlist("sketch"));
    writeFile(bundle + "/Contents/MacOS/sketch", "#!/bin/sh\ntouch launched\n", executable);
    GioAppLauncher launcher;

    launcher.launch(appAt(bundle));

    // Started in the bundle's folder.
    QTRY_VERIFY(QFile::exists(dir.filePath("launched")));
}

void AppLauncherTest::bundleExecutable_data() {
    QTest::addColumn<QByteArray>("plist");
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("isExecutable");
    QTest::addColumn<bool>("found");

    QTest::addRow("XML property list") << infoPlist("sketch") << "sketch" << true << true;
    QTest::addRow("binary property list") << infoPlist("sketch", true) << "sketch" << true << true;
    QTest::addRow("no executable named") << infoPlist(nullptr) << "sketch" << true << false;
    QTest::addRow("empty executable name") << infoPlist("") << "sketch" << true << false;
    QTest::addRow("named file missing") << infoPlist("other") << "sketch" << true << false;
    QTest::addRow("named file not executable") << infoPlist("sketch") << "sketch" << false << false;
    QTest::addRow("a name that climbs out of the bundle")
        << infoPlist("../../escape") << "sketch" << true << false;
    QTest::addRow("a name that is a folder path")
        << infoPlist("sub/sketch") << "sub/sketch" << true << false;
    QTest::addRow("no property list") << QByteArray() << "sketch" << true << false;
    QTest::addRow("garbage property list")
        << QByteArray("bplist00\xff\xff\xff garbage", 20) << "sketch" << true << false;
    QTest::addRow("property list that is not a dictionary")
        << QByteArray(
               R"(<?xml version="1.0"?><plist version="1.0"><string>sketch</string></plist>)")
        << "sketch" << true << false;
}

void AppLauncherTest::bundleExecutable() {
    QFETCH(QByteArray, plist);
    QFETCH(QString, program);
    QFETCH(bool, isExecutable);
    QFETCH(bool, found);
    QTemporaryDir dir;
    const QString bundle = dir.filePath("Sketch.app");
    QDir().mkpath(bundle + "/Contents/MacOS");
    if (!plist.isEmpty())
        writeFile(bundle + "/Contents/Info.plist", plist);
    writeFile(bundle + "/Contents/MacOS/" + program, "#!/bin/sh\n",
              isExecutable ? executable : QFile::ReadOwner | QFile::WriteOwner);
    // Something to escape to, were the name followed blindly.
    writeFile(dir.filePath("escape"), "#!/bin/sh\n", executable);

    const QString result = GioAppLauncher::bundleExecutable(bundle);

    QCOMPARE(result, found ? bundle + "/Contents/MacOS/" + program : QString());
}

void AppLauncherTest::unknownItemsLaunchNothing() {
    QTemporaryDir dir;
    writeFile(dir.filePath("broken.desktop"), "this is not a desktop entry");
    writeFile(dir.filePath("notes.txt"), "text");
    GioAppLauncher launcher;

    launcher.launch(appAt(dir.filePath("broken.desktop")));
    launcher.launch(appAt(dir.filePath("missing.desktop")));
    launcher.launch(appAt(dir.filePath("notes.txt")));
    launcher.launch(appAt(QString()));

    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 2);
}

QTEST_MAIN(AppLauncherTest)
#include "tst_applauncher.moc"
