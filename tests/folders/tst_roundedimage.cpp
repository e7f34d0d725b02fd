#include "QmlTestView.h"

#include <QQuickImageProvider>
#include <QTemporaryDir>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(QuorlinPlugin)

namespace {

// Solid red pictures of the size named by the id ("200x100").
class RedProvider : public QQuickImageProvider {
public:
    RedProvider()
        : QQuickImageProvider(QQuickImageProvider::Image) {}

    QImage requestImage(const QString& id, QSize* size, const QSize&) override {
        const QStringList parts = id.split(QLatin1Char('x'));
        QImage image(parts.value(0).toInt(), parts.value(1).toInt(), QImage::Format_RGB32);
        image.fill(Qt::red);
        if (size)
            *size = image.size();
        return image;
    }
};

const QByteArray imageQml = R"(
import QtQuick
import Quorlin
RoundedImage {
    x: 20; y: 20
    width: 60; height: 60
}
)";

} // namespace

class TestRoundedImage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sources_data();
    void sources();
    void drawing_data();
    void drawing();
};

void TestRoundedImage::sources_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("loaded");

    QTest::addRow("image provider") << "image://red/128x128" << true;
    QTest::addRow("vector resource") << "qrc:/Quorlin/folders/icons/plus-circle-fill.svg" << true;
    QTest::addRow("local file") << "FILE" << true;
    QTest::addRow("no such provider") << "image://missing/1" << false;
    QTest::addRow("no such resource") << "qrc:/nothing.png" << false;
    QTest::addRow("remote address") << "https://example.org/icon.png" << false;
    QTest::addRow("empty") << "" << false;
}

void TestRoundedImage::sources() {
    QFETCH(QString, source);
    QFETCH(bool, loaded);

    QTemporaryDir dir;
    if (source == QLatin1String("FILE")) {
        QImage file(16, 16, QImage::Format_RGB32);
        file.fill(Qt::green);
        const QString path = dir.filePath(QStringLiteral("icon.png"));
        QVERIFY(file.save(path));
        source = QUrl::fromLocalFile(path).toString();
    }
    QmlTestView view(QSize(100, 100));
    view.engine().addImageProvider(QStringLiteral("red"), new RedProvider);
    QQuickItem* item = view.load(imageQml);
    QVERIFY(item);
    item->setProperty("source", QUrl(source));
    QCOMPARE(item->property("loaded").toBool(), loaded);
    // Whatever the source, drawing must not fail.
    QVERIFY(!view.view().grabWindow().isNull());
}

void TestRoundedImage::drawing_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<QPoint>("spot");
    QTest::addColumn<bool>("red");

    // The item spans 20..80 with corners of radius 15.
    QTest::addRow("centre is drawn") << "64x64" << true << QPoint(50, 50) << true;
    QTest::addRow("corner is clipped") << "64x64" << true << QPoint(22, 22) << false;
    QTest::addRow("edge next to the corner is drawn") << "64x64" << true << QPoint(50, 21) << true;
    QTest::addRow("wide picture fitted: bands above")
        << "200x100" << true << QPoint(50, 25) << false;
    QTest::addRow("wide picture stretched: no bands")
        << "200x100" << false << QPoint(50, 25) << true;
}

void TestRoundedImage::drawing() {
    QFETCH(QString, picture);
    QFETCH(bool, fit);
    QFETCH(QPoint, spot);
    QFETCH(bool, red);

    QmlTestView view(QSize(100, 100));
    view.engine().addImageProvider(QStringLiteral("red"), new RedProvider);
    QQuickItem* item = view.load(imageQml);
    QVERIFY(item);
    item->setProperty("radius", 15);
    item->setProperty("preserveAspectFit", fit);
    item->setProperty("source", QUrl(QStringLiteral("image://red/") + picture));
    QTRY_VERIFY(item->property("loaded").toBool());

    const QImage frame = view.view().grabWindow();
    const qreal ratio = frame.devicePixelRatio();
    const QColor colour = frame.pixelColor((QPointF(spot) * ratio).toPoint());
    QCOMPARE(colour.red() > 200 && colour.green() < 60, red);
}

QTEST_MAIN(TestRoundedImage)
#include "tst_roundedimage.moc"
