#include "AppSettings.h"
#include "QSettingsDefaultsStore.h"
#include "TestMain.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The round that every name in a stored JSON array carries ("a12", "h12", a
// folder "f12" of "c12" and "d12"); -1 for a value that is unreadable or mixed.
int roundOf(const QVariant& stored) {
    const QByteArray json = stored.toByteArray();
    QSet<QString> rounds;
    for (const QRegularExpressionMatch& match :
         QRegularExpression(QStringLiteral("\"[a-z](\\d+)\"")).globalMatch(QString::fromUtf8(json)))
        rounds.insert(match.captured(1));
    return QJsonDocument::fromJson(json).isArray() && rounds.size() == 1 ? rounds.begin()->toInt()
                                                                         : -1;
}

} // namespace

// The arrangement is hours of a user's work: saving it must never lose what the
// file held, whether the launcher is killed mid-save or the file was damaged.
class SettingsFileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void damagedFileKeepsEveryByte() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Quorlin.conf"));
        const QByteArray damaged = "; kept by hand\n[General]\ncustomAppOrder=garbage \xff\xfe\n"
                                   "hiddenApps=[\"gui3\",\"gui4\"]\nunknownKey=caf\xe9\n"
                                   "\x01\x02 binary junk\n\n[Other]\nx=1\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(damaged) == damaged.size());
        file.close();
        {
            QSettingsDefaultsStore store(path);
            AppSettings settings(store);
            settings.setCustomAppOrder({QStringLiteral("x")});
            settings.setCustomAppOrder({QStringLiteral("y")});
        }
        // The file as it was, once; the lines this save did not change, as they were.
        QCOMPARE(contents(path + QStringLiteral(".orig")), damaged);
        QVERIFY(!QFile::exists(path + QStringLiteral(".orig.2")));
        const QByteArray saved = contents(path);
        for (const QByteArray& line : damaged.split('\n')) {
            if (!line.startsWith("customAppOrder"))
                QVERIFY2(saved.contains(line + '\n'), line.constData());
        }
        QSettingsDefaultsStore reread(path);
        QCOMPARE(reread.value(QStringLiteral("customAppOrder")).toByteArray(), "[\"y\"]");
        QCOMPARE(reread.value(QStringLiteral("x")), QVariant());
        QCOMPARE(QSettings(path, QSettings::IniFormat).value(QStringLiteral("Other/x")), 1);
    }

    void killedWhileSavingLeavesOldOrNew() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Quorlin.conf"));
        const QString writer =
            QCoreApplication::applicationDirPath() + QStringLiteral("/settings_writer");
        const QStringList keys{QStringLiteral("customAppOrder"), QStringLiteral("hiddenApps"),
                               QStringLiteral("folders")};
        QHash<QString, int> last;
        for (int kill = 0; kill < 200; ++kill) {
            QProcess process;
            // Rounds go on increasing from one writer to the next.
            process.start(writer, {path, QString::number(kill * 1000000)});
            const QByteArray before = contents(path);
            QVERIFY(process.waitForStarted());
            // The moment of the kill is the input: anywhere in a run of saves,
            // once the writer, however slow to start, is saving.
            QTRY_VERIFY_WITH_TIMEOUT(contents(path) != before, 20000);
            QTest::qWait(int(QRandomGenerator::global()->bounded(0, 40)));
            ::kill(pid_t(process.processId()), SIGKILL);
            QVERIFY(process.waitForFinished());
            QSettings stored(path, QSettings::IniFormat);
            QCOMPARE(stored.status(), QSettings::NoError);
            // Each key holds a whole value of one round, never older than before.
            for (const QString& key : keys) {
                const int round = roundOf(stored.value(key));
                if (last.contains(key) || stored.contains(key))
                    QVERIFY2(
                        round >= last.value(key, 0),
                        qPrintable(key + QLatin1Char(' ') + QString::fromUtf8(contents(path))));
                if (round >= 0)
                    last.insert(key, round);
            }
        }
        QVERIFY2(last.value(QStringLiteral("folders")) > 0, "no kill came after a whole round");
    }
};

QUORLIN_TEST(SettingsFileTest)
#include "SettingsFileTest.moc"
