#include "AppDiscovery.h"
#include "AppSettings.h"
#include "FolderNameSuggestion.h"
#include "IconDecoding.h"
#include "RecordingDefaultsStore.h"
#include "ShellFakes.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QTest>

// The demo catalogue that `make run` shows: what the generator script makes is
// what is committed, and it is a catalogue worth showing.
class TestDemoCatalogue : public QObject {
    Q_OBJECT

private:
    QString m_demo;

    static QHash<QString, QByteArray> digests(const QString& root) {
        QHash<QString, QByteArray> files;
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString key = QDir(root).relativeFilePath(path) +
                                (it.fileInfo().isExecutable() ? QStringLiteral(" (x)") : QString());
            files.insert(key, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
        }
        return files;
    }

    static AppItem named(const AppList& apps, const QString& name) {
        for (const AppItem& app : apps) {
            if (app.name == name)
                return app;
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase() {
        m_demo = qEnvironmentVariable("QUORLIN_SOURCE_DIR") + QStringLiteral("/demo");
        QVERIFY2(QFileInfo(m_demo + "/share/applications").isDir(), qPrintable(m_demo));
    }

    void generatorReproducesTheCommittedFiles() {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        QProcess generator;
        generator.start(
            "python3",
            {qEnvironmentVariable("QUORLIN_SOURCE_DIR") + "/scripts/make-demo.py", scratch.path()});
        QVERIFY(generator.waitForFinished(120'000));
        QCOMPARE(generator.exitCode(), 0);
        const QHash<QString, QByteArray> made = digests(scratch.path());
        const QHash<QString, QByteArray> committed = digests(m_demo);
        QVERIFY(made.size() > 100);
        for (auto it = made.cbegin(); it != made.cend(); ++it)
            QVERIFY2(committed.value(it.key()) == it.value(), qPrintable(it.key()));
        QCOMPARE(committed.size(), made.size());
    }

    void catalogueIsWorthShowing() {
        RecordingDefaultsStore store;
        AppSettings settings(store);
        RecordingTrash trash;
        CatalogueRoots roots;
        roots.bundleFolders = CatalogueRoots::bundleFoldersUnder(m_demo + "/root");
        roots.desktopEntryFolders = {m_demo + "/share/applications"};
        roots.iconThemeFolders = {m_demo + "/share/icons"};
        AppDiscovery discovery(settings, roots, trash);
        QSignalSpy finished(&discovery, &AppDiscovery::scanFinished);
        discovery.loadApplications();
        QVERIFY(finished.wait(60'000));
        const AppList& apps = discovery.applications();

        // More than one page of 7 x 5.
        QVERIFY2(apps.size() >= 45, qPrintable(QString::number(apps.size())));
        QSet<QByteArray> pictures;
        const QImage generic = genericAppIcon();
        // Disk Gauge names no icon, to show the generic one; all others differ.
        for (const AppItem& app : apps) {
            QVERIFY2((app.icon == generic) == (app.name == "Disk Gauge"), qPrintable(app.name));
            pictures.insert(QByteArray(reinterpret_cast<const char*>(app.icon.constBits()),
                                       app.icon.sizeInBytes()));
        }
        QCOMPARE(pictures.size(), apps.size());

        // The bundles that must not show do not, and the first Sketchbook wins.
        QVERIFY(named(apps, "Hidden Helper").name.isEmpty());
        QVERIFY(named(apps, ".Hidden Helper").name.isEmpty());
        QVERIFY(named(apps, "Unfinished").name.isEmpty());
        QVERIFY(named(apps, "Sketchbook").path.endsWith("/root/Applications/Sketchbook.app"));
        QVERIFY(!named(apps, "Waveform Code Editor").name.isEmpty());

        // Pairs of demo names reach every folder-name category.
        const QStringList pairs{"Wordsmith",    "Solitaire", "Safari Maps",    "Abacus",
                                "Decoder Ring", "Quill",     "Figmatic Board", "Lantern"};
        QStringList suggestions;
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
            suggestions.append(
                suggestFolderName({named(apps, pairs[i]), named(apps, pairs[i + 1])}));
        QCOMPARE(suggestions, (QStringList{"Productivity", "Web", "Development", "Design"}));
    }
};

QTEST_MAIN(TestDemoCatalogue)
#include "tst_democatalogue.moc"
