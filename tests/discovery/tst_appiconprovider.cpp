#include "AppDiscovery.h"
#include "AppIconProvider.h"
#include "AppIconSource.h"
#include "AppSettings.h"
#include "CatalogueFixture.h"
#include "IconDecoding.h"
#include "RecordingDefaultsStore.h"
#include "ShellFakes.h"
#include "UuidText.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSignalSpy>
#include <QtTest/QTest>

// Icons served to QML: the catalogue's own at the size asked for, our generic
// one for anything else.
class TestAppIconProvider : public QObject {
    Q_OBJECT

private:
    fixture::Tree m_tree;
    RecordingDefaultsStore m_store;
    std::unique_ptr<AppSettings> m_settings;
    RecordingTrash m_trash;
    std::unique_ptr<AppDiscovery> m_discovery;
    QString m_redId;

private Q_SLOTS:
    void initTestCase() {
        m_tree.bundle("Applications/Red.app", "com.red", fixture::PlistFormat::Xml,
                      fixture::icns({{"ic07", fixture::png(fixture::solid(128, 128, Qt::red))}}));
        CatalogueRoots roots;
        roots.bundleFolders = CatalogueRoots::bundleFoldersUnder(m_tree.root());
        m_settings = std::make_unique<AppSettings>(m_store);
        m_discovery = std::make_unique<AppDiscovery>(*m_settings, roots, m_trash);
        QSignalSpy finished(m_discovery.get(), &AppDiscovery::scanFinished);
        m_discovery->loadApplications();
        QVERIFY(finished.wait(20'000));
        QCOMPARE(m_discovery->applications().size(), 1);
        m_redId = uuidText(m_discovery->applications().first().id);
    }

    void cleanupTestCase() {
        m_discovery.reset();
        m_settings.reset();
    }

    void requestImage_data() {
        QTest::addColumn<QString>("id"); // "red" stands for the scanned application
        QTest::addColumn<QSize>("requested");
        QTest::addColumn<QSize>("served");
        QTest::addColumn<bool>("generic");

        QTest::addRow("own size when none is asked")
            << "red" << QSize() << QSize(128, 128) << false;
        QTest::addRow("smaller") << "red" << QSize(64, 64) << QSize(64, 64) << false;
        QTest::addRow("larger") << "red" << QSize(256, 256) << QSize(256, 256) << false;
        QTest::addRow("width only keeps the square")
            << "red" << QSize(48, 0) << QSize(48, 48) << false;
        QTest::addRow("height only keeps the square")
            << "red" << QSize(-1, 32) << QSize(32, 32) << false;
        QTest::addRow("absurd sizes are bounded")
            << "red" << QSize(50'000, 50'000) << QSize(1024, 1024) << false;
        QTest::addRow("a query added to the URL is ignored")
            << "red?v=2" << QSize(64, 64) << QSize(64, 64) << false;
        QTest::addRow("an id of no application")
            << uuidText(QUuid::createUuid()) << QSize(64, 64) << QSize(64, 64) << true;
        QTest::addRow("not an id at all")
            << "../../etc/passwd" << QSize() << QSize(128, 128) << true;
        QTest::addRow("empty id") << "" << QSize(32, 32) << QSize(32, 32) << true;
    }

    void requestImage() {
        QFETCH(QString, id);
        QFETCH(QSize, requested);
        QFETCH(QSize, served);
        QFETCH(bool, generic);

        AppIconProvider provider(*m_discovery);
        QSize reported;
        const QImage image =
            provider.requestImage(id.replace(QStringLiteral("red"), m_redId), &reported, requested);
        QCOMPARE(image.size(), served);
        QCOMPARE(reported, served);
        const QColor centre = image.pixelColor(served.width() / 2, served.height() / 2);
        if (generic)
            QCOMPARE(image, genericAppIcon(served.width()));
        else
            QCOMPARE(centre, QColor(Qt::red));
    }

    // The provider as QML uses it: registered on an engine, loaded asynchronously.
    void servesQmlImages() {
        QQmlEngine engine;
        engine.addImageProvider(QString(appIconProviderId), new AppIconProvider(*m_discovery));
        QQmlComponent component(&engine);
        component.setData("import QtQuick\nImage { sourceSize.width: 96; sourceSize.height: 96 }",
                          QUrl());
        std::unique_ptr<QObject> image(component.create());
        QVERIFY2(image, qPrintable(component.errorString()));
        image->setProperty("source", appIconSource(m_discovery->applications().first()));
        QTRY_COMPARE(image->property("status").toInt(), 1 /* Image.Ready */);
        QCOMPARE(image->property("implicitWidth").toReal(), 96.0);
    }
};

QTEST_MAIN(TestAppIconProvider)
#include "tst_appiconprovider.moc"
