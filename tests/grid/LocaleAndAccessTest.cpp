#include "GridTestData.h"
#include "PagedGrid.h"
#include "QmlTestView.h"
#include "TestMain.h"
#include "UiTranslation.h"

#include <QAccessible>
#include <QLibraryInfo>
#include <QMetaEnum>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

class LocaleAndAccessTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Under a German locale a screen reader finds the tiles by their names and
    // the page dots by their German ones, as buttons; pressing a tile launches
    // it. And lupdate over the sources finds every text translated and no
    // translation left of a text gone from them.
    void screenReaderInGermanFromCompleteTranslations() {
        const std::unique_ptr<QTranslator> german = loadUiTranslation(QLocale("de_AT"));
        QVERIFY(german && QCoreApplication::installTranslator(german.get()));
        PagedGrid grid;
        grid.setApps(testApps({"A", "B"}));
        QSignalSpy launched(&grid, &PagedGrid::launchRequested);
        QmlTestView qml;
        QVERIFY(qml.load("import Quorlin\nPagedGridView { width: 800; height: 700 }",
                         {{"grid", QVariant::fromValue(&grid)}}));
        QAccessible::setActive(true); // as when one starts: the items there take their roles
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&qml.view());
        QStringList said;
        for (int i = 0; i < window->childCount(); ++i)
            said << QMetaEnum::fromType<QAccessible::Role>().valueToKey(window->child(i)->role()) +
                        (' ' + window->child(i)->text(QAccessible::Name));
        QCOMPARE(said, QStringList({"Button App A", "Button App B", "Button Seite 1 von 1"}));
        window->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(launched.value(0).value(0).value<AppItem>().name, "App B");

        QTemporaryDir dir;
        const QString src = qEnvironmentVariable("QUORLIN_SOURCE_DIR"), ts = dir.filePath("de.ts");
        QVERIFY(QFile::copy(src + "/translations/quorlin_de.ts", ts));
        QVERIFY(QProcess::execute(QLibraryInfo::path(QLibraryInfo::BinariesPath) + "/lupdate",
                                  {src + "/src", "-silent", "-ts", ts}) == 0);
        QFile file(ts);
        // Only unfinished, vanished and obsolete translations have a type.
        QVERIFY(file.open(QIODevice::ReadOnly) && !file.readAll().contains("<translation type="));
    }
};

QUORLIN_TEST(LocaleAndAccessTest)
#include "LocaleAndAccessTest.moc"
