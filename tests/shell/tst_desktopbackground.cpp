#include "BackgroundBlur.h"
#include "DesktopBackground.h"
#include "DesktopImageReader.h"
#include "ShellFakes.h"

#include <QBuffer>
#include <QFile>
#include <QQuickImageProvider>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <memory>

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(data);
    return path;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage solid(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

} // namespace

class DesktopBackgroundTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readReportsEachOutcome_data();
    void readReportsEachOutcome();
    void sizeComponents_data();
    void sizeComponents();
    void blurCoversTheViewAtReducedSize_data();
    void blurCoversTheViewAtReducedSize();
    void blurKeepsFlatColourAndFadesAtEdges();
    void blurSpreadsAPoint();
    void loadPublishesOnlySuccess();
    void failedLoadKeepsEarlierPicture();
    void providerServesThePublishedPicture();
};

void DesktopBackgroundTest::readReportsEachOutcome_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("expectedPrefix");
    QTest::addColumn<QSize>("expectedSize");

    QTest::addRow("no URL") << QString() << QByteArray() << "Could not get desktop image URL"
                            << QSize();
    QTest::addRow("deleted file") << "gone.jpg" << QByteArray()
                                  << "Error loading image data: " << QSize();
    QTest::addRow("not an image") << "notes.png" << QByteArray("these are words, not pixels")
                                  << "Could not create NSImage from data" << QSize();
    QTest::addRow("truncated picture")
        << "cut.png" << encoded(solid(64, 64, Qt::red), "PNG").left(40)
        << "Could not create NSImage from data" << QSize();
    QTest::addRow("picture without pixels")
        << "empty.svg"
        << QByteArray(R"(<svg xmlns="http://www.w3.org/2000/svg" width="0" height="0"></svg>)")
        << "Image loaded but has zero size" << QSize();
    QTest::addRow("a picture 800 by 600")
        << "Wide Dunes.png" << encoded(solid(800, 600, Qt::darkCyan), "PNG")
        << "Desktop image loaded successfully: Wide Dunes.png, size: (800.0, 600.0)"
        << QSize(800, 600);
}

void DesktopBackgroundTest::readReportsEachOutcome() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, contents);
    QFETCH(QString, expectedPrefix);
    QFETCH(QSize, expectedSize);
    QTemporaryDir dir;
    QUrl url;
    if (!fileName.isEmpty()) {
        url = QUrl::fromLocalFile(dir.filePath(fileName));
        if (!contents.isEmpty())
            QVERIFY(!writeFile(dir, fileName, contents).isEmpty());
    }

    const DesktopImageRead read = readDesktopImage(url);

    QVERIFY2(read.message.startsWith(expectedPrefix), qPrintable(read.message));
    if (expectedPrefix.startsWith("Error loading image data: "))
        QVERIFY(read.message.size() > expectedPrefix.size());
    else
        QCOMPARE(read.message, expectedPrefix);
    if (expectedSize.isValid())
        QCOMPARE(read.image.size(), expectedSize);
    else
        QVERIFY(read.image.isNull());
}

void DesktopBackgroundTest::sizeComponents_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::addRow("whole number keeps one fraction digit") << 800.0 << "800.0";
    QTest::addRow("zero") << 0.0 << "0.0";
    QTest::addRow("a fraction is written as needed") << 800.5 << "800.5";
    QTest::addRow("a long fraction is written in full") << 1366.125 << "1366.125";
}

void DesktopBackgroundTest::sizeComponents() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatSizeComponent(value), text);
}

void DesktopBackgroundTest::blurCoversTheViewAtReducedSize_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("view");

    QTest::addRow("same shape as the view") << QSize(3840, 2160) << QSize(1920, 1080);
    QTest::addRow("wider than the view") << QSize(4000, 1000) << QSize(1920, 1055);
    QTest::addRow("taller than the view") << QSize(600, 1200) << QSize(1920, 1055);
    QTest::addRow("smaller than the view") << QSize(320, 200) << QSize(1440, 875);
}

void DesktopBackgroundTest::blurCoversTheViewAtReducedSize() {
    QFETCH(QSize, picture);
    QFETCH(QSize, view);

    const QImage blurred =
        blurredBackground(solid(picture.width(), picture.height(), Qt::gray), view);

    // Stretched back by the view, the reduced picture must still cover it and
    // keep the picture's shape.
    QVERIFY(!blurred.isNull());
    QVERIFY(blurred.width() < view.width());
    const double scale =
        std::max(double(view.width()) / blurred.width(), double(view.height()) / blurred.height());
    QVERIFY(blurred.width() * scale >= view.width() - 1);
    QVERIFY(blurred.height() * scale >= view.height() - 1);
    QVERIFY(std::abs(double(blurred.width()) / blurred.height() -
                     double(picture.width()) / picture.height()) <
            0.02 * double(picture.width()) / picture.height());
}

void DesktopBackgroundTest::blurKeepsFlatColourAndFadesAtEdges() {
    QImage image =
        solid(100, 60, QColor(40, 120, 200)).convertToFormat(QImage::Format_ARGB32_Premultiplied);

    boxBlur(image, 5);

    // Far from the edges a flat picture stays flat.
    QCOMPARE(image.pixelColor(50, 30), QColor(40, 120, 200));
    // At an edge half the window lies outside, where nothing is: the picture
    // fades out instead of smearing its border.
    const QColor corner = image.pixelColor(0, 0);
    QVERIFY2(corner.alpha() < 200 && corner.alpha() > 20,
             qPrintable(QString::number(corner.alpha())));
}

void DesktopBackgroundTest::blurSpreadsAPoint() {
    QImage image(41, 41, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setPixelColor(20, 20, Qt::white);

    boxBlur(image, 3);

    // Brightness spreads symmetrically, fading with distance.
    const int centre = image.pixelColor(20, 20).alpha();
    QVERIFY(centre > 0 && centre < 255);
    QCOMPARE(image.pixelColor(15, 20).alpha(), image.pixelColor(25, 20).alpha());
    QCOMPARE(image.pixelColor(20, 15).alpha(), image.pixelColor(20, 25).alpha());
    QVERIFY(image.pixelColor(17, 20).alpha() < centre);
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
}

void DesktopBackgroundTest::loadPublishesOnlySuccess() {
    QTemporaryDir dir;
    FixedPictureSource source;
    QStringList lines;
    DesktopBackground background(source, [&lines](const QString& line) { lines.append(line); });
    background.setViewSize(QSize(800, 600));
    QSignalSpy finished(&background, &DesktopBackground::loadFinished);
    QSignalSpy changed(&background, &DesktopBackground::pictureChanged);

    background.load();
    QVERIFY(background.isLoading());
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(lines, QStringList{"Could not get desktop image URL"});
    QVERIFY(!background.hasPicture());
    QVERIFY(background.pictureSource().isEmpty());
    QCOMPARE(changed.count(), 0);

    source.setUrl(QUrl::fromLocalFile(
        writeFile(dir, "dunes.png", encoded(solid(640, 480, Qt::darkRed), "PNG"))));
    background.load();
    QTRY_COMPARE(finished.count(), 2);
    QCOMPARE(lines.last(),
             QString("Desktop image loaded successfully: dunes.png, size: (640.0, 480.0)"));
    QVERIFY(background.hasPicture());
    QCOMPARE(changed.count(), 1);
    QVERIFY(background.pictureSource().toString().startsWith("image://desktopbackground/"));
    QVERIFY(!background.isLoading());
}

void DesktopBackgroundTest::failedLoadKeepsEarlierPicture() {
    QTemporaryDir dir;
    FixedPictureSource source;
    source.setUrl(QUrl::fromLocalFile(
        writeFile(dir, "dunes.png", encoded(solid(64, 48, Qt::darkRed), "PNG"))));
    QStringList lines;
    DesktopBackground background(source, [&lines](const QString& line) { lines.append(line); });
    QSignalSpy finished(&background, &DesktopBackground::loadFinished);
    background.load();
    QTRY_COMPARE(finished.count(), 1);
    const QUrl shown = background.pictureSource();

    QFile::remove(dir.filePath("dunes.png"));
    background.load();
    QTRY_COMPARE(finished.count(), 2);

    QVERIFY(lines.last().startsWith("Error loading image data: "));
    QVERIFY(background.hasPicture());
    QCOMPARE(background.pictureSource(), shown);
}

void DesktopBackgroundTest::providerServesThePublishedPicture() {
    QTemporaryDir dir;
    FixedPictureSource source;
    source.setUrl(QUrl::fromLocalFile(
        writeFile(dir, "dunes.png", encoded(solid(400, 300, QColor(10, 200, 30)), "PNG"))));
    DesktopBackground background(source, [](const QString&) {});
    background.setViewSize(QSize(400, 300));
    const std::unique_ptr<QQuickImageProvider> provider(background.createImageProvider());
    QSize size;
    QVERIFY(provider->requestImage("0", &size, QSize()).isNull());

    QSignalSpy finished(&background, &DesktopBackground::loadFinished);
    background.load();
    QTRY_COMPARE(finished.count(), 1);

    const QImage served = provider->requestImage("1", &size, QSize());
    QVERIFY(!served.isNull());
    QCOMPARE(size, served.size());
    QCOMPARE(served.pixelColor(served.width() / 2, served.height() / 2), QColor(10, 200, 30));
}

QTEST_MAIN(DesktopBackgroundTest)
#include "tst_desktopbackground.moc"
