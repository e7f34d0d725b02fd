// Saves the arrangement over and over, as fast as it can, into the settings
// file named on the command line, from the round number given after it,
// until it is killed. The crash-safety test
// kills it at random moments and reads what is left.
#include "AppSettings.h"
#include "QSettingsDefaultsStore.h"

#include <QCoreApplication>
#include <QUuid>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QSettingsDefaultsStore store(QString::fromLocal8Bit(argv[1]));
    AppSettings settings(store);
    const QUuid folder = QUuid::createUuid();
    for (int n = argc > 2 ? QByteArray(argv[2]).toInt() : 0;; ++n) {
        const QString tag = QString::number(n);
        // Each value names its round in every entry, so a mix of two rounds shows.
        settings.setCustomAppOrder({QStringLiteral("a") + tag, QStringLiteral("b") + tag});
        settings.setHiddenApps({QStringLiteral("h") + tag});
        settings.setFolders({FolderItem{folder,
                                        QStringLiteral("f") + tag,
                                        {QStringLiteral("c") + tag, QStringLiteral("d") + tag}}});
    }
}
