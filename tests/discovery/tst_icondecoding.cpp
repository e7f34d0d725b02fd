#include "CatalogueFixture.h"
#include "IconDecoding.h"

#include <QProcess>
#include <QtTest/QTest>

// Icons from ICNS and the usual image files: the right picture is chosen, every
// result is 128 pixels square, and bad files give no picture rather than harm.
class TestIconDecoding : public QObject {
    Q_OBJECT

private:
    static QByteArray pngOf(int width, int height, QColor colour) {
        return fixture::png(fixture::solid(width, height, colour));
    }

    // A PNG whose header declares a huge picture but carries almost no data.
    static QByteArray enormousPng() {
        QByteArray data = pngOf(4, 4, Qt::red);
        uchar size[4];
        qToBigEndian<quint32>(100'000, size);
        data.replace(16, 4, reinterpret_cast<const char*>(size), 4);
        data.replace(20, 4, reinterpret_cast<const char*>(size), 4);
        return data;
    }

    static QByteArray gzipped(const QByteArray& data) {
        QProcess gzip;
        gzip.start("gzip", {"-c", "-n"});
        gzip.waitForStarted();
        gzip.write(data);
        gzip.closeWriteChannel();
        gzip.waitForFinished();
        return gzip.readAllStandardOutput();
    }

private Q_SLOTS:
    void decodeIcns_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QColor>("centre"); // invalid: no picture expected

        QTest::addRow("one 128-pixel entry")
            << fixture::icns({{"ic07", pngOf(128, 128, Qt::red)}}) << QColor(Qt::red);
        QTest::addRow("128 chosen among 16, 128 and 512")
            << fixture::icns({{"icp4", pngOf(16, 16, Qt::blue)},
                              {"ic09", pngOf(512, 512, Qt::green)},
                              {"ic07", pngOf(128, 128, Qt::red)}})
            << QColor(Qt::red);
        QTest::addRow("without 128, the next larger")
            << fixture::icns(
                   {{"ic09", pngOf(512, 512, Qt::green)}, {"ic08", pngOf(256, 256, Qt::red)}})
            << QColor(Qt::red);
        QTest::addRow("only smaller entries: the largest of them")
            << fixture::icns({{"icp4", pngOf(16, 16, Qt::blue)}, {"icp6", pngOf(64, 64, Qt::red)}})
            << QColor(Qt::red);
        QTest::addRow("a corrupt best entry falls back to the next")
            << fixture::icns({{"ic07", QByteArray("\x89PNG\r\n\x1a\n broken", 15)},
                              {"ic08", pngOf(256, 256, Qt::green)}})
            << QColor(Qt::green);
        QTest::addRow("an enormous declared picture is refused")
            << fixture::icns({{"ic10", enormousPng()}}) << QColor();
        QTest::addRow("an enormous entry is passed over for a sane one")
            << fixture::icns({{"ic07", enormousPng()}, {"ic08", pngOf(256, 256, Qt::green)}})
            << QColor(Qt::green);
        QTest::addRow("only unknown entry types")
            << fixture::icns({{"TOC ", QByteArray(16, 0)}}) << QColor();
        QTest::addRow("entry length past the end")
            << fixture::icns({{"ic07", pngOf(128, 128, Qt::red)}}).left(40) << QColor();
        QTest::addRow("header only") << QByteArray("icns\0\0\0\x08", 8) << QColor();
        QTest::addRow("truncated header") << QByteArray("icn") << QColor();
        QTest::addRow("not ICNS at all") << pngOf(128, 128, Qt::red) << QColor();
        QTest::addRow("random bytes")
            << QByteArray("icns\xff\xff\xff\xff" + QByteArray(500, 'z')) << QColor();
    }

    void decodeIcns() {
        QFETCH(QByteArray, data);
        QFETCH(QColor, centre);

        const QImage image = ::decodeIcns(data);
        QCOMPARE(image.isNull(), !centre.isValid());
        if (centre.isValid()) {
            QCOMPARE(image.size(), QSize(appIconPixels, appIconPixels));
            QCOMPARE(image.pixelColor(64, 64), centre);
        }
    }

    void wideIconIsCentredInTheSquare() {
        const QImage image = ::decodeIcns(fixture::icns({{"ic07", pngOf(128, 64, Qt::red)}}));
        QCOMPARE(image.size(), QSize(appIconPixels, appIconPixels));
        QCOMPARE(image.pixelColor(64, 64), QColor(Qt::red));
        QCOMPARE(image.pixelColor(64, 2).alpha(), 0);
        QCOMPARE(image.pixelColor(64, 125).alpha(), 0);
    }

    void decodeIconFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("decodes");

        QTest::addRow("ICNS file") << "icns" << true;
        QTest::addRow("PNG file, scaled down") << "png" << true;
        QTest::addRow("SVG file, rendered at size") << "svg" << true;
        QTest::addRow("compressed SVG file") << "svgz" << true;
        QTest::addRow("XPM file") << "xpm" << true;
        QTest::addRow("corrupt ICNS file") << "bad-icns" << false;
        QTest::addRow("PNG declaring an enormous size") << "huge-png" << false;
        QTest::addRow("file over the size limit") << "oversize" << false;
        QTest::addRow("missing file") << "missing" << false;
        QTest::addRow("a folder") << "folder" << false;
        QTest::addRow("a FIFO with no writer") << "fifo" << false;
        QTest::addRow("empty file") << "empty" << false;
    }

    void decodeIconFile() {
        QFETCH(QString, kind);
        QFETCH(bool, decodes);

        static const QByteArray svg =
            "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'>"
            "<rect width='16' height='16' fill='#ff0000'/></svg>";
        fixture::Tree tree;
        QString file = tree.path("icon." + kind);
        if (kind == "icns")
            tree.write("icon.icns", fixture::icns({{"ic07", pngOf(128, 128, Qt::red)}}));
        else if (kind == "png")
            tree.write("icon.png", pngOf(512, 512, Qt::red));
        else if (kind == "svg")
            tree.write("icon.svg", svg);
        else if (kind == "svgz")
            tree.write("icon.svgz", gzipped(svg));
        else if (kind == "xpm")
            QVERIFY(fixture::solid(32, 32, Qt::red).save(file, "XPM"));
        else if (kind == "bad-icns")
            tree.write("icon.bad-icns", "icns\0\0\0\x40garbage-garbage-garbage");
        else if (kind == "huge-png")
            tree.write("icon.huge-png", enormousPng());
        else if (kind == "oversize") {
            tree.write("icon.oversize", pngOf(16, 16, Qt::red));
            QFile big(file);
            QVERIFY(big.resize(40LL * 1024 * 1024)); // sparse: costs no disk
        } else if (kind == "folder")
            tree.mkdir("icon.folder");
        else if (kind == "fifo")
            tree.fifo("icon.fifo");
        else if (kind == "empty")
            tree.write("icon.empty", {});

        const QImage image = ::decodeIconFile(file);
        QCOMPARE(!image.isNull(), decodes);
        if (decodes) {
            QCOMPARE(image.size(), QSize(appIconPixels, appIconPixels));
            QCOMPARE(image.pixelColor(64, 64), QColor(Qt::red));
        }
    }

    void genericIcon_data() {
        QTest::addColumn<int>("pixels");
        QTest::addRow("standard size") << appIconPixels;
        QTest::addRow("smaller") << 48;
        QTest::addRow("larger") << 512;
    }

    void genericIcon() {
        QFETCH(int, pixels);
        const QImage image = genericAppIcon(pixels);
        QCOMPARE(image.size(), QSize(pixels, pixels));
        // Our drawing: an opaque tile in the middle, transparent corners.
        QCOMPARE(image.pixelColor(pixels / 2, pixels / 2 + pixels / 8).alpha(), 255);
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    }

    void genericIconOfNoSizeIsNull() { QVERIFY(genericAppIcon(0).isNull()); }
};

QTEST_MAIN(TestIconDecoding)
#include "tst_icondecoding.moc"
