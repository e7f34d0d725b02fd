#include "CatalogueFixture.h"
#include "IconDecoding.h"
#include "IconThemeIndex.h"
#include "TestMain.h"

#include <QBuffer>
#include <QProcess>

// Icons: the file that shows a desktop entry's icon name best, found in the
// themes, and any icon file decoded into a square of the size asked for. A file
// that would cost too much or never end gives no picture at all.
class IconTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decode_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<QColor>("centre"); // invalid: no picture
        const QColor red(Qt::red), none;
        const auto png = [](int side, QColor colour) { return fixture::png(side, side, colour); };
        // A PNG whose header claims 100,000 pixels square over almost no data.
        const QByteArray huge =
            png(4, red).replace(16, 8, QByteArray("\0\1\x86\xa0\0\1\x86\xa0", 8));
        const QByteArray other = png(16, Qt::green);
        QTest::newRow("ICNS: the entry of the size, else the next larger")
            << fixture::icns({{"icp4", other}, {"ic10", other}, {"ic08", png(256, red)}}) << 128
            << red;
        QTest::newRow("ICNS: a smaller size takes its own entry")
            << fixture::icns({{"ic07", other}, {"icp6", png(64, red)}}) << 64 << red;
        QTest::newRow("ICNS: corrupt and enormous entries are passed over")
            << fixture::icns(
                   {{"ic07", "\x89PNG\r\n\x1a\n bad"}, {"ic08", huge}, {"ic10", png(512, red)}})
            << 128 << red;
        QTest::newRow("ICNS: only an enormous entry")
            << fixture::icns({{"ic10", huge}}) << 128 << none;
        QTest::newRow("ICNS: unknown types, an entry past the end")
            << fixture::icns({{"TOC ", "...."}, {"ic07", png(128, red)}}).left(60) << 128 << none;
        QTest::newRow("PNG") << png(512, red) << 40 << red;
        const QByteArray svg("<svg xmlns='http://www.w3.org/2000/svg' width='9' height='9'>"
                             "<rect width='9' height='9' fill='red'/></svg>");
        QTest::newRow("SVG") << svg << 64 << red;
        QProcess gzip;
        gzip.start("gzip", {"-c", "-n"});
        gzip.write(svg);
        gzip.closeWriteChannel();
        QVERIFY(gzip.waitForFinished());
        QTest::newRow("compressed SVG") << gzip.readAllStandardOutput() << 64 << red;
        QTest::newRow("a PNG declaring an enormous size") << huge << 128 << none;
        // Told from their first bytes, as the file name says nothing here.
        for (const char* format : {"JPEG", "XPM"}) {
            QByteArray data;
            QBuffer buffer(&data);
            QVERIFY(buffer.open(QIODevice::WriteOnly));
            QImage picture(8, 8, QImage::Format_RGB32);
            picture.fill(Qt::white); // survives JPEG's rounding exactly
            QVERIFY(picture.save(&buffer, format, 100));
            QTest::newRow(format) << data << 16 << QColor(Qt::white);
        }
    }

    void decode() {
        QFETCH(QByteArray, data);
        QFETCH(int, pixels);
        QFETCH(QColor, centre);
        const fixture::Tree root;
        root.write("icon", data);
        const QImage image = decodeIconFile(root.path("icon"), pixels);
        QCOMPARE(image.isNull() ? QColor() : image.pixelColor(pixels / 2, pixels / 2), centre);
        QCOMPARE(image.size(), image.isNull() ? QSize(0, 0) : QSize(pixels, pixels));
    }

    // Files that would stall a scan or cost it too much memory give no picture.
    void costlyFilesAreRefused() {
        const fixture::Tree root;
        root.build({"fifo!", "folder/", "zero->/dev/zero"});
        root.write("big.png", fixture::png(16, 16, Qt::red));
        QVERIFY(QFile::resize(root.path("big.png"), qint64(2) << 30)); // sparse: costs no disk
        // A format that is read at full size whatever size is asked for.
        QVERIFY(QImage(200, 5000, QImage::Format_Mono).save(root.path("tall.bmp")));
        for (const char* file : {"fifo", "folder", "zero", "big.png", "tall.bmp", "missing"})
            QVERIFY2(decodeIconFile(root.path(file)).isNull(), file);
    }

    void find_data() {
        QTest::addColumn<QStringList>("row"); // theme, icon name, file found below share/
        QTest::newRow("the folder made for the size, PNG before SVG")
            << QStringList{"Fancy", "exact.png", "Fancy/128/exact.png"};
        QTest::newRow("the theme before a better size further down")
            << QStringList{"Fancy", "own", "Fancy/48/own.png"};
        QTest::newRow("a parent when the theme lacks it")
            << QStringList{"Fancy", "up", "Parent/64/up.png"};
        QTest::newRow("then hicolor, the smallest larger before a closer smaller one")
            << QStringList{"Fancy", "big", "hicolor/256x256/apps/big.png"};
        QTest::newRow("then the desktop themes, Adwaita first")
            << QStringList{"Fancy", "desk", "Adwaita/48x48/apps/desk.png"};
        QTest::newRow("breeze, before hicolor, for a theme not installed")
            << QStringList{"Nope", "kde", "breeze/32x32/apps/kde.png"};
        QTest::newRow("the pixmap folder last")
            << QStringList{"Nope", "legacy", "../pixmaps/legacy.xpm"};
        QTest::newRow("a dangling link gives way to the next size")
            << QStringList{"Fancy", "gone", "Fancy/48/gone.png"};
        QTest::newRow("and in the pixmap folder")
            << QStringList{"Nope", "old", "../pixmaps/old.xpm"};
    }

    // Fancy and Parent inherit from each other; the desktop themes follow.
    // Having no index.theme, hicolor takes sizes from folder names; its
    // index.theme here is a FIFO nobody writes, which must count as no index
    // rather than an empty one.
    void find() {
        QFETCH(QStringList, row);
        const fixture::Tree root;
        root.build({"share/Fancy/index.theme|[Icon Theme]\nInherits=Parent\nDirectories=48,128,x\n"
                    "[48]\nSize=48\nType=Fixed\n[128]\nSize=128\nType=Fixed\n[x]\nSize=?",
                    "share/Parent/index.theme|[Icon Theme]\nInherits=Fancy\nDirectories=64\n[64]\n"
                    "Size=64",
                    "share/hicolor/index.theme!", "pixmaps/legacy.xpm", "share/Fancy/128/exact.svg",
                    "share/Fancy/128/exact.png", "share/Fancy/48/exact.png",
                    "share/Fancy/48/own.png", "share/hicolor/128x128/apps/own.png",
                    "share/Parent/64/up.png", "share/hicolor/32x32/apps/big.png",
                    "share/hicolor/256x256/apps/big.png", "share/hicolor/512x512/apps/big.png",
                    "share/Adwaita/48x48/apps/desk.png", "share/breeze/32x32/apps/desk.png",
                    "share/breeze/32x32/apps/kde.png", "share/hicolor/48x48/apps/kde.png"});
        root.build({"share/Fancy/128/gone.png->nowhere", "share/Fancy/48/gone.png",
                    "pixmaps/old.png->nowhere", "pixmaps/old.xpm"});
        const IconThemeIndex index({root.path("share")}, {root.path("pixmaps")}, row[0]);
        QCOMPARE(index.find(row[1], appIconPixels),
                 row[2].isEmpty() ? "" : QDir::cleanPath(root.path("share/" + row[2])));
    }
};

QUORLIN_TEST(IconTest)
#include "IconTest.moc"
