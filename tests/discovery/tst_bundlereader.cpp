#include "BundleReader.h"
#include "CatalogueFixture.h"
#include "InfoPlist.h"

#include <QRandomGenerator>
#include <QtTest/QTest>

// Reading a bundle: its name, its Info.plist in either encoding, and every way
// the property list can be missing or wrong.
class TestBundleReader : public QObject {
    Q_OBJECT

private:
    static QByteArray xmlDict(const QByteArray& body) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
               "<plist version=\"1.0\"><dict>" +
               body + "</dict></plist>\n";
    }

    static QByteArray validXml() {
        return fixture::plist(
            {{"CFBundleIdentifier", "com.example.tool"}, {"CFBundleIconFile", "Tool"}});
    }

    static QByteArray validBinary() {
        return fixture::plist(
            {{"CFBundleIdentifier", "com.example.tool"}, {"CFBundleIconFile", "Tool"}},
            fixture::PlistFormat::Binary);
    }

private Q_SLOTS:
    void bundleName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addRow("file name without the extension") << "/Applications/Calculator.app"
                                                         << "Calculator";
        QTest::addRow("only the last extension goes") << "/A/My.Great.Tool.app"
                                                      << "My.Great.Tool";
        QTest::addRow("a trailing slash changes nothing") << "/A/Tool.app/"
                                                          << "Tool";
        QTest::addRow("spaces and accents kept") << "/A/Café Crème.app"
                                                 << "Café Crème";
    }

    void bundleName() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(::bundleName(path), name);
    }

    void parse_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("parses");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("iconFile");

        QTest::addRow("XML") << validXml() << true << "com.example.tool"
                             << "Tool";
        QTest::addRow("binary") << validBinary() << true << "com.example.tool"
                                << "Tool";
        QTest::addRow("non-ASCII identifier")
            << fixture::plist({{"CFBundleIdentifier", QStringLiteral("org.exämple.ünï")}},
                              fixture::PlistFormat::Binary)
            << true << QStringLiteral("org.exämple.ünï") << "";
        QByteArray withNul = validBinary();
        withNul[withNul.indexOf("example")] = '\0';
        // The binary reader ends strings at a NUL; what is left is still text.
        QTest::addRow("identifier with a NUL inside") << withNul << true << "com."
                                                      << "Tool";
        QTest::addRow("identifier missing")
            << fixture::plist({{"CFBundleName", "Tool"}}) << true << ""
            << "";
        QTest::addRow("identifier is a number")
            << xmlDict("<key>CFBundleIdentifier</key><integer>42</integer>") << true << ""
            << "";
        QTest::addRow("identifier is an array")
            << xmlDict("<key>CFBundleIdentifier</key><array><string>a.b</string></array>") << true
            << ""
            << "";
        QTest::addRow("identifier is a dictionary")
            << xmlDict("<key>CFBundleIdentifier</key><dict><key>a</key><string>b</string></dict>")
            << true << ""
            << "";
        QTest::addRow("icon file is not a string")
            << xmlDict("<key>CFBundleIdentifier</key><string>a.b</string>"
                       "<key>CFBundleIconFile</key><true/>")
            << true << "a.b"
            << "";
        QTest::addRow("top level is an array")
            << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
                          "<string>a</string></array></plist>")
            << false << ""
            << "";
        QTest::addRow("XML cut in half") << validXml().left(validXml().size() / 2) << false << ""
                                         << "";
        QTest::addRow("binary cut in half")
            << validBinary().left(validBinary().size() / 2) << false << ""
            << "";
        QTest::addRow("binary header then garbage")
            << QByteArray("bplist00") + QByteArray(64, '\xff') << false << ""
            << "";
        QTest::addRow("empty") << QByteArray() << false << ""
                               << "";
        QTest::addRow("plain text") << QByteArray("CFBundleIdentifier = a.b;") << false << ""
                                    << "";
    }

    void parse() {
        QFETCH(QByteArray, data);
        QFETCH(bool, parses);
        QFETCH(QString, identifier);
        QFETCH(QString, iconFile);

        const std::optional<InfoPlist> info = InfoPlist::parse(data);
        QCOMPARE(info.has_value(), parses);
        if (info) {
            QCOMPARE(info->bundleIdentifier, identifier);
            QCOMPARE(info->iconFile, iconFile);
        }
    }

    // Damaged property lists of every shape must be rejected or read, never crash.
    void damagedPropertyListsAreSurvived_data() {
        QTest::addColumn<QByteArray>("original");
        QTest::addRow("XML") << validXml();
        QTest::addRow("binary") << validBinary();
    }

    void damagedPropertyListsAreSurvived() {
        QFETCH(QByteArray, original);
        QRandomGenerator random(20240611);
        int readable = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray damaged = original;
            const int flips = 1 + int(random.bounded(8));
            for (int i = 0; i < flips; ++i)
                damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            if (round % 3 == 0)
                damaged.truncate(random.bounded(int(damaged.size())));
            const std::optional<InfoPlist> info = InfoPlist::parse(damaged);
            if (info && !info->bundleIdentifier.isEmpty())
                ++readable;
            if (info)
                QVERIFY(!info->bundleIdentifier.contains(QChar(0)));
        }
        // Most single flips land outside the identifier, so some must still read.
        QVERIFY(readable > 0);
        QCOMPARE(InfoPlist::parse(original)->bundleIdentifier, QStringLiteral("com.example.tool"));
    }

    void readBundle_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("identifier");

        QTest::addRow("XML property list") << "xml"
                                           << "com.example.tool";
        QTest::addRow("binary property list") << "binary"
                                              << "com.example.tool";
        QTest::addRow("no Info.plist") << "none"
                                       << "";
        QTest::addRow("Info.plist is a folder") << "folder"
                                                << "";
        QTest::addRow("Info.plist is a FIFO with no writer") << "fifo"
                                                             << "";
        QTest::addRow("Info.plist far too large") << "huge"
                                                  << "";
        QTest::addRow("no identifier") << "no-id"
                                       << "";
        QTest::addRow("empty identifier") << "empty-id"
                                          << "";
        QTest::addRow("Info.plist outside Contents") << "top-level"
                                                     << "";
        QTest::addRow("the bundle is a plain file") << "file"
                                                    << "";
        QTest::addRow("Info.plist is a link to a good one") << "linked"
                                                            << "com.example.tool";
    }

    void readBundle() {
        QFETCH(QString, layout);
        QFETCH(QString, identifier);

        fixture::Tree tree;
        const QString plist = QStringLiteral("Tool.app/Contents/Info.plist");
        if (layout == "xml")
            tree.write(plist, validXml());
        else if (layout == "binary")
            tree.write(plist, validBinary());
        else if (layout == "none")
            tree.mkdir("Tool.app/Contents/MacOS");
        else if (layout == "folder")
            tree.mkdir(plist);
        else if (layout == "fifo")
            tree.fifo(plist);
        else if (layout == "huge")
            tree.write(plist, validXml() + QByteArray(9 * 1024 * 1024, ' '));
        else if (layout == "no-id")
            tree.write(plist, fixture::plist({{"CFBundleName", "Tool"}}));
        else if (layout == "empty-id")
            tree.write(plist, fixture::plist({{"CFBundleIdentifier", ""}}));
        else if (layout == "top-level")
            tree.write("Tool.app/Info.plist", validXml());
        else if (layout == "file")
            tree.write("Tool.app", validXml());
        else if (layout == "linked") {
            tree.write("Elsewhere/Info.plist", validXml());
            tree.symlink(tree.path("Elsewhere/Info.plist"), plist);
        }

        // A FIFO would block a plain open() for ever, and the test with it.
        const std::optional<BundleRecord> record = ::readBundle(tree.path("Tool.app"));
        QCOMPARE(record.has_value(), !identifier.isEmpty());
        if (record) {
            QCOMPARE(record->bundleIdentifier, identifier);
            QCOMPARE(record->name, QStringLiteral("Tool"));
            QCOMPARE(record->path, tree.path("Tool.app"));
        }
    }

    void unreadableInfoPlistIsSkipped() {
        fixture::Tree tree;
        tree.write("Tool.app/Contents/Info.plist", validXml());
        QVERIFY(QFile::setPermissions(tree.path("Tool.app/Contents/Info.plist"), {}));
        std::optional<BundleRecord> record;
        {
            const fixture::WithoutFileOverride asUser;
            record = ::readBundle(tree.path("Tool.app"));
        }
        QVERIFY(!record.has_value());
    }

    void iconPath_data() {
        QTest::addColumn<QString>("iconKey");
        QTest::addColumn<QStringList>("resources");
        QTest::addColumn<QString>("expected");

        QTest::addRow("name without extension")
            << "AppIcon" << QStringList{"AppIcon.icns"} << "AppIcon.icns";
        QTest::addRow("name with extension")
            << "AppIcon.icns" << QStringList{"AppIcon.icns"} << "AppIcon.icns";
        QTest::addRow("another extension, only that file exists")
            << "Logo.png" << QStringList{"Logo.png"} << "Logo.png";
        QTest::addRow("another extension, an icns of that name wins")
            << "Logo.png" << QStringList{"Logo.png", "Logo.png.icns"} << "Logo.png.icns";
        QTest::addRow("missing file still names the icns")
            << "Gone" << QStringList{} << "Gone.icns";
        QTest::addRow("a path out of the bundle is refused")
            << "../../../../etc/passwd" << QStringList{} << "";
        QTest::addRow("parent folder is refused") << ".." << QStringList{} << "";
        QTest::addRow("no key") << "" << QStringList{} << "";
    }

    void iconPath() {
        QFETCH(QString, iconKey);
        QFETCH(QStringList, resources);
        QFETCH(QString, expected);

        fixture::Tree tree;
        QMap<QString, QString> keys{{"CFBundleIdentifier", "com.example.tool"}};
        if (!iconKey.isEmpty())
            keys.insert("CFBundleIconFile", iconKey);
        tree.write("Tool.app/Contents/Info.plist", fixture::plist(keys));
        for (const QString& file : resources)
            tree.write("Tool.app/Contents/Resources/" + file, "x");

        const std::optional<BundleRecord> record = ::readBundle(tree.path("Tool.app"));
        QVERIFY(record.has_value());
        QCOMPARE(record->iconPath, expected.isEmpty()
                                       ? QString()
                                       : tree.path("Tool.app/Contents/Resources/" + expected));
    }
};

QTEST_GUILESS_MAIN(TestBundleReader)
#include "tst_bundlereader.moc"
