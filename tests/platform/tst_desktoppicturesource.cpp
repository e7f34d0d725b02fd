#include "LinuxDesktopPictureSource.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QTest>

namespace {

QTemporaryDir& desktopHome() {
    static QTemporaryDir home;
    return home;
}

QString homePath(const QString& relative) {
    return desktopHome().filePath(relative);
}

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(data);
}

// The two GNOME schemas the source reads, as GNOME declares them.
const QByteArray gnomeSchemas = R"(<?xml version="1.0" encoding="UTF-8"?>
<schemalist>
  <schema id="org.gnome.desktop.background" path="/org/gnome/desktop/background/">
    <key name="picture-uri" type="s"><default>'file:///usr/share/backgrounds/default.png'</default></key>
    <key name="picture-uri-dark" type="s"><default>''</default></key>
    <key name="picture-options" type="s"><default>'zoom'</default></key>
  </schema>
  <schema id="org.gnome.desktop.interface" path="/org/gnome/desktop/interface/">
    <key name="color-scheme" type="s"><default>'default'</default></key>
  </schema>
</schemalist>
)";

const char* kdeAppletsrc = R"([ActionPlugins][0]
MiddleButton;NoModifier=org.kde.paste

[Containments][1]
activityId=4d7c
formfactor=0
plugin=org.kde.panel
wallpaperplugin=org.kde.image

[Containments][1][Applets][2][Configuration][General]
Image=file:///not/a/wallpaper.png

[Containments][7]
plugin=org.kde.plasma.folder

[Containments][7][Wallpaper][org.kde.image][General]
Image=file:///home/user/Pictures/Lake.jpg
SlidePaths=/usr/share/wallpapers/
)";

const char* xfceChannel = R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-desktop" version="1.0">
  <property name="backdrop" type="empty">
    <property name="screen0" type="empty">
      <property name="monitorVirtual-1" type="empty">
        <property name="workspace0" type="empty">
          <property name="color-style" type="int" value="0"/>
          <property name="last-image" type="string" value="/usr/share/backgrounds/xfce/xfce-leaves.svg"/>
        </property>
      </property>
    </property>
  </property>
</channel>
)";

} // namespace

class DesktopPictureSourceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void settingValues_data();
    void settingValues();
    void gnome_data();
    void gnome();
    void kde_data();
    void kde();
    void kdeWallpaperPackage();
    void xfce_data();
    void xfce();
    void runningDesktopIsAskedFirst_data();
    void runningDesktopIsAskedFirst();
};

void DesktopPictureSourceTest::settingValues_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QUrl>("url");

    QTest::addRow("file URI") << "file:///usr/share/backgrounds/a.jpg"
                              << QUrl("file:///usr/share/backgrounds/a.jpg");
    QTest::addRow("file URI with unencoded spaces")
        << "file:///home/u/My Pictures/b c.png"
        << QUrl::fromLocalFile("/home/u/My Pictures/b c.png");
    QTest::addRow("plain path") << "/home/u/My Pictures/b.png"
                                << QUrl::fromLocalFile("/home/u/My Pictures/b.png");
    QTest::addRow("surrounding blanks") << "  /a/c.png\n" << QUrl::fromLocalFile("/a/c.png");
    QTest::addRow("empty") << QString() << QUrl();
    QTest::addRow("blanks only") << "   " << QUrl();
    QTest::addRow("relative name without a scheme") << "wallpaper.png" << QUrl();
}

void DesktopPictureSourceTest::settingValues() {
    QFETCH(QString, value);
    QFETCH(QUrl, url);
    QCOMPARE(LinuxDesktopPictureSource::pictureUrlFromSetting(value), url);
}

void DesktopPictureSourceTest::gnome_data() {
    QTest::addColumn<QString>("light");
    QTest::addColumn<QString>("dark");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QUrl>("url");

    QTest::addRow("default scheme takes the light picture") << "file:///l.png"
                                                            << "file:///d.png"
                                                            << "default" << QUrl("file:///l.png");
    QTest::addRow("light scheme takes the light picture")
        << "file:///l.png"
        << "file:///d.png"
        << "prefer-light" << QUrl("file:///l.png");
    QTest::addRow("dark scheme takes the dark picture") << "file:///l.png"
                                                        << "file:///d.png"
                                                        << "prefer-dark" << QUrl("file:///d.png");
    QTest::addRow("dark scheme without a dark picture takes the light one")
        << "file:///l.png" << QString() << "prefer-dark" << QUrl("file:///l.png");
    QTest::addRow("no picture at all") << QString() << QString() << "default" << QUrl();
}

void DesktopPictureSourceTest::gnome() {
    QFETCH(QString, light);
    QFETCH(QString, dark);
    QFETCH(QString, scheme);
    QFETCH(QUrl, url);
    QCOMPARE(LinuxDesktopPictureSource::gnomePicture(light, dark, scheme), url);
}

void DesktopPictureSourceTest::kde_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QUrl>("url");

    QTest::addRow("the desktop containment's wallpaper")
        << QString(kdeAppletsrc) << QUrl("file:///home/user/Pictures/Lake.jpg");
    QTest::addRow("no wallpaper group") << "[Containments][1]\nplugin=org.kde.panel\n" << QUrl();
    QTest::addRow("an Image key of another group is not the wallpaper")
        << "[Containments][1][Applets][2][Configuration][General]\nImage=file:///x.png\n"
        << QUrl();
    QTest::addRow("empty file") << QString() << QUrl();
    QTest::addRow("garbage") << QString("\x01\x02[[[=\n==\n[") << QUrl();
}

void DesktopPictureSourceTest::kde() {
    QFETCH(QString, text);
    QFETCH(QUrl, url);
    QCOMPARE(LinuxDesktopPictureSource::kdePicture(text), url);
}

void DesktopPictureSourceTest::kdeWallpaperPackage() {
    QTemporaryDir dir;
    for (const char* name : {"1280x800.png", "5120x2880.png", "1920x1080.jpg", "screenshot.png"})
        writeFile(dir.filePath(QStringLiteral("Next/contents/images/") + name), "x");
    const QString text = "[Containments][3][Wallpaper][org.kde.image][General]\nImage=file://" +
                         dir.filePath("Next") + "/\n";

    QCOMPARE(LinuxDesktopPictureSource::kdePicture(text),
             QUrl::fromLocalFile(dir.filePath("Next/contents/images/5120x2880.png")));
}

void DesktopPictureSourceTest::xfce_data() {
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QUrl>("url");

    QTest::addRow("last image of the first workspace")
        << QString(xfceChannel)
        << QUrl::fromLocalFile("/usr/share/backgrounds/xfce/xfce-leaves.svg");
    QTest::addRow("older image-path key")
        << R"(<channel><property name="image-path" type="string" value="/old.png"/></channel>)"
        << QUrl::fromLocalFile("/old.png");
    QTest::addRow("empty value is skipped")
        << R"(<channel><property name="last-image" value=""/><property name="last-image" value="/b.png"/></channel>)"
        << QUrl::fromLocalFile("/b.png");
    QTest::addRow("broken XML") << "<channel><property name=\"last-image" << QUrl();
    QTest::addRow("empty") << QString() << QUrl();
}

void DesktopPictureSourceTest::xfce() {
    QFETCH(QString, xml);
    QFETCH(QUrl, url);
    QCOMPARE(LinuxDesktopPictureSource::xfcePicture(xml), url);
}

void DesktopPictureSourceTest::runningDesktopIsAskedFirst_data() {
    QTest::addColumn<QByteArray>("desktop");
    QTest::addColumn<bool>("kdeFile");
    QTest::addColumn<bool>("xfceFile");
    QTest::addColumn<QUrl>("url");

    const QUrl gnome("file:///home/user/Pictures/Fields.png");
    const QUrl kde("file:///home/user/Pictures/Lake.jpg");
    const QUrl xfce = QUrl::fromLocalFile("/usr/share/backgrounds/xfce/xfce-leaves.svg");
    QTest::addRow("GNOME reads its settings") << QByteArray("GNOME") << true << true << gnome;
    QTest::addRow("Plasma reads its applets file") << QByteArray("KDE") << true << true << kde;
    QTest::addRow("Plasma without its file falls back to GNOME's settings")
        << QByteArray("KDE") << false << true << gnome;
    QTest::addRow("Xfce reads its channel") << QByteArray("XFCE") << true << true << xfce;
    QTest::addRow("an unknown desktop asks GNOME first")
        << QByteArray("sway") << true << true << gnome;
}

void DesktopPictureSourceTest::runningDesktopIsAskedFirst() {
    QFETCH(QByteArray, desktop);
    QFETCH(bool, kdeFile);
    QFETCH(bool, xfceFile);
    QFETCH(QUrl, url);
    const QString kde = homePath("config/plasma-org.kde.plasma.desktop-appletsrc");
    const QString xfce = homePath("config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml");
    QFile::remove(kde);
    QFile::remove(xfce);
    if (kdeFile)
        writeFile(kde, kdeAppletsrc);
    if (xfceFile)
        writeFile(xfce, xfceChannel);
    qputenv("XDG_CURRENT_DESKTOP", desktop);

    QCOMPARE(LinuxDesktopPictureSource().desktopPictureUrl(), url);
}

int main(int argc, char* argv[]) {
    // GSettings picks its backend and schemas once, on first use: a key file
    // and schemas of our own under a private home.
    writeFile(homePath("schemas/org.gnome.test.gschema.xml"), gnomeSchemas);
    if (QProcess::execute("glib-compile-schemas", {homePath("schemas")}) != 0)
        qWarning("glib-compile-schemas failed");
    writeFile(homePath("config/glib-2.0/settings/keyfile"),
              "[org/gnome/desktop/background]\n"
              "picture-uri='file:///home/user/Pictures/Fields.png'\n");
    qputenv("GSETTINGS_SCHEMA_DIR", QFile::encodeName(homePath("schemas")));
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(homePath("config")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(homePath("nothing")));
    QGuiApplication app(argc, argv);
    DesktopPictureSourceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktoppicturesource.moc"
