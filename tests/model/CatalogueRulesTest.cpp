#include "FolderItem.h"
#include "FolderNameSuggestion.h"
#include "SearchRule.h"
#include "TestMain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

namespace {

const QString all = QStringLiteral("Zed Mail:Text messages,Maps:gnome-maps,Mail,Photo Booth:"
                                   "Camera;Webcam,Éditeur,Text Edit:Éditeur de texte,Ψα\u0345");

// Names, each maybe followed by ":" and other names separated by ";".
AppList appsNamed(const QString& names) {
    AppList apps;
    for (const QString& entry : names.split(',')) {
        const QString name = entry.section(':', 0, 0);
        apps.append(AppItem{QUuid::createUuid(), name, name, "/apps/" + name, {}});
        prepareForSearch(apps.last(), entry.section(':', 1).split(';', Qt::SkipEmptyParts));
    }
    return apps;
}

} // namespace

// The stored form of a folder, the name a new folder gets, and the search match.
class CatalogueRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A folder's JSON object: all three keys with their types, the id as UUID
    // text in either case; written back with the id in upper case, compact.
    void folderRecord_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<bool>("valid");

        const QString uuid = R"("6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B")";
        const QString fields = R"("name":"A","appBundleIds":["y","x"])";
        // clang-format off
        QTest::addRow("canonical") << uuid << fields << true;
        QTest::addRow("lower case, an extra key") << R"("6f1e2a3b-4c5d-4e6f-8a9b-0c1d2e3f4a5b")" << fields + R"(,"x":1)" << true;
        QTest::addRow("too short") << R"("6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5")" << fields << false;
        QTest::addRow("hyphen misplaced") << R"("6F1E2A3B4-C5D-4E6F-8A9B-0C1D2E3F4A5B")" << fields << false;
        QTest::addRow("not hexadecimal") << R"("6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5G")" << fields << false;
        QTest::addRow("braces") << R"("{6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B}")" << fields << false;
        QTest::addRow("no name") << uuid << R"("appBundleIds":[])" << false;
        QTest::addRow("members a string") << uuid << R"("name":"A","appBundleIds":"x")" << false;
        QTest::addRow("a member not a string") << uuid << R"("name":"A","appBundleIds":["x",1])" << false;
        // clang-format on
    }

    void folderRecord() {
        QFETCH(QString, id);
        QFETCH(QString, fields);
        QFETCH(bool, valid);
        const QByteArray json = ("{\"id\":" + id + "," + fields + "}").toUtf8();
        const std::optional<FolderItem> folder =
            FolderItem::fromJson(QJsonDocument::fromJson(json).object());
        const QString canonical =
            R"({"appBundleIds":["y","x"],"id":)" + id.toUpper() + R"(,"name":"A"})";
        const QByteArray written =
            folder ? QJsonDocument(folder->toJson()).toJson(QJsonDocument::Compact) : "";
        QCOMPARE(QString(written), valid ? canonical : "");
    }

    void folderName_data() {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("expected");

        // clang-format off
        QTest::addRow("no keyword") << "Notes,Maps" << "Folder";
        QTest::addRow("inside a longer word") << "Maps,1Password" << "Productivity";
        QTest::addRow("mixed case") << "Maps,Visual Studio CoDe" << "Development";
        QTest::addRow("upper case beyond ASCII") << "ÉDITEUR WORD" << "Productivity";
        QTest::addRow("web before development, whichever comes first") << "Xcode,Safari" << "Web";
        QTest::addRow("productivity before web") << "Firefox,Excel" << "Productivity";
        QTest::addRow("development before design") << "Figma,Terminal" << "Development";
        QTest::addRow("design") << "Maps,Adobe Illustrator" << "Design";
        QTest::addRow("a keyword across two names") << "Fire,fox" << "Folder";
        // clang-format on
    }

    void folderName() {
        QFETCH(QString, names);
        QFETCH(QString, expected);
        QCOMPARE(suggestFolderName(appsNamed(names)), expected);
    }

    void search_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("expected");

        // clang-format off
        QTest::addRow("nothing typed: all") << "" << "Zed Mail,Maps,Mail,Photo Booth,Éditeur,Text Edit,Ψα\u0345";
        QTest::addRow("anywhere in the name, in order") << "ma" << "Zed Mail,Maps,Mail";
        QTest::addRow("case and accents ignored beyond ASCII") << "éDIT" << "Éditeur,Text Edit";
        QTest::addRow("unaccented finds accented, in names then in other names") << "EDITEUR" << "Éditeur,Text Edit";
        QTest::addRow("names first, then other names") << "text" << "Text Edit,Zed Mail";
        QTest::addRow("a generic name and a keyword: once") << "cam" << "Photo Booth";
        QTest::addRow("a program") << "gnome-" << "Maps";
        QTest::addRow("a name and a program: once") << "maps" << "Maps";
        // Folding drops the mark that, case ignored, is an iota.
        QTest::addRow("found as typed though not folded") << "Ι" << "Ψα\u0345";
        QTest::addRow("only a mark typed: nothing") << QString(QChar(0x301)) << "";
        QTest::addRow("a space is a character") << " " << "Zed Mail,Photo Booth,Text Edit";
        QTest::addRow("not trimmed") << "Photo " << "Photo Booth";
        QTest::addRow("words not taken apart") << "Edit Text" << "";
        // clang-format on
    }

    void search() {
        QFETCH(QString, search);
        QFETCH(QString, expected);
        QStringList names;
        for (const AppItem& app : filterApps(appsNamed(all), search))
            names.append(app.name);
        QCOMPARE(names.join(','), expected);
    }
};

QUORLIN_TEST(CatalogueRulesTest)
#include "CatalogueRulesTest.moc"
