#include "BundleReader.h"
#include "BundleWalk.h"
#include "CatalogueFixture.h"
#include "DesktopEntrySource.h"
#include "TestMain.h"

#include <QScopeGuard>

// GLib reads the desktop's name once per process, whichever test reads an
// entry first, so it is named before any runs.
[[maybe_unused]] static const bool desktopNamed = qputenv("XDG_CURRENT_DESKTOP", "QuorlinTest");

// Where applications come from: the desktop entries to show and which file
// wins for an id; which bundles the walk of a folder yields, in what order, and
// what is read from each one's Info.plist. Walks cover whole disks and the
// files are anyone's, so nothing here may loop, stall or reach outside.

namespace {

// `levels` arrays, each holding the next, in the binary format: written by
// hand, since libplist's own writer recurses as deep as it nests.
QByteArray nestedBinaryPlist(quint32 levels) {
    const auto be = [](auto value) {
        value = qToBigEndian(value);
        return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
    };
    QByteArray data("bplist00");
    QByteArray offsets;
    for (quint32 i = 0; i <= levels; ++i) {
        offsets += be(quint32(data.size()));
        data += i < levels ? QByteArray(1, '\xA1') + be(i + 1) : QByteArray("\x10\x05");
    }
    const quint64 table = quint64(data.size());
    return data + offsets + QByteArray(6, '\0') + "\x04\x04" + be(quint64(levels) + 1) +
           be(quint64(0)) + be(table);
}

} // namespace

class SourcesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void entries_data() {
        // Files for Tree::build ("u" is searched before "s"), then "id|Name|folder|other names".
        QTest::addColumn<QStringList>("row");
        for (const char* key :
             {"NoDisplay=true", "Hidden=true", "OnlyShowIn=KDE;XFCE;", "NotShowIn=QuorlinTest;",
              "TryExec=/nonexistent/tool", "Exec=/nonexistent/tool", "Type=Link"})
            QTest::addRow("left out: %s", key)
                << QStringList{QString("s/a.desktop:Name=A&") + key, ""};
        QTest::newRow("folder order, then names; sub-folders give dashed ids") << QStringList{
            "s/b.desktop:Name=B&TryExec=sh s/a.desktop:Name=A&OnlyShowIn=KDE;QuorlinTest; "
            "s/k/c.desktop:Name=C u/z.desktop:Name=Z",
            "z|Z|u|true a|A|s|true b|B|s|true k-c|C|s|true"};
        QTest::newRow("generic name, keywords, program's file name") << QStringList{
            "s/a.desktop:Name=A&GenericName=G&Keywords=K;L;&Exec=/bin/sh&Actions=new;bare;gone;&"
            "[Desktop+Action+new]&Name=New+Window&Icon=win&[Desktop+Action+bare]&Exec=true",
            "a|A|s|G;K;L;sh|new:New Window:win"};
        // LANGUAGE is "fr_CA:de" here: a translation for a variant of the first
        // language wins, then the next language's, then the key itself.
        QTest::newRow("the user's languages") << QStringList{
            "s/a.desktop:Name=A&Name[de]=D&Name[fr]=F&GenericName=G&GenericName[de]=GD&"
            "Keywords=K;&Keywords[fr_CA]=KF;KG;&Keywords[it]=KI&Exec=true",
            "a|F|s|GD;KF;KG;true"};
        QTest::newRow("not entries: malformed, hidden, FIFOs, folders, other names") << QStringList{
            "s/a.desktop:Exec=true s/b.desktop|[Other]\nName=B\nExec=true s/c.desktop|\x01[[= "
            "s/.d.desktop:Name=D s/e.desktop! s/f.desktop/ s/g.desktop~:Name=G",
            ""};
        QTest::newRow("an id's first file wins, shown, not shown or unreadable") << QStringList{
            "s/a.desktop:Name=S u/a.desktop:Name=U s/b.desktop:Name=S "
            "u/b.desktop:Name=U&NoDisplay=true s/c.desktop:Name=S u/c.desktop|nonsense "
            "s/d.desktop:Name=S u/d.desktop! f/e.desktop:Name=L u/e.desktop->f/e.desktop "
            "u/g.desktop:Name=U&Type=Link s/g.desktop:Name=S",
            "a|U|u|true e|L|u|true"};
    }

    void entries() {
        QFETCH(QStringList, row);
        const QByteArray languages = qgetenv("LANGUAGE");
        qputenv("LANGUAGE", "fr_CA:de");
        const auto restore = qScopeGuard([&languages] { qputenv("LANGUAGE", languages); });
        const fixture::Tree root;
        root.build(row[0].split(u' ').replaceInStrings("+", " ")); // "+" for a space in a file
        const std::atomic_bool cancelled{false};
        QStringList lines;
        for (const DesktopEntryRecord& entry :
             readDesktopEntries({root.path("u"), root.path("s")}, cancelled)) {
            lines << entry.identifier + u'|' + entry.name + u'|' +
                         QDir(root.root()).relativeFilePath(entry.path).section(u'/', 0, 0) + u'|' +
                         entry.otherNames.join(u';');
            for (const DesktopAction& action : entry.actions)
                lines.last() += '|' + action.id + ':' + action.name + ':' + action.icon;
        }
        QCOMPARE(lines.join(u' '), row[1]);
    }

    void walk_data() {
        QTest::addColumn<QStringList>("row"); // the tree for Tree::build, what is found in A
        QTest::newRow("depth first, names in byte order")
            << QStringList{"A/b.app/ A/Vendor/Deep/E.app/ A/Vendor/T.app/ A/Z.app/ A/B.app/",
                           "B.app Vendor/Deep/E.app Vendor/T.app Z.app b.app"};
        QTest::newRow("bundles and hidden items are not entered, other cases are folders")
            << QStringList{
                   "A/O.app/Contents/I.app/ A/.S.app/ A/.cache/I.app/ A/Kit.APP/R.app/ A/N.app|x",
                   "Kit.APP/R.app N.app O.app"};
        QTest::newRow("linked folders are not followed, a linked bundle is yielded")
            << QStringList{"O/F.app/ A/Short->O A/Sub/loop->.. A/L.app->O/F.app", "L.app"};
    }

    void walk() {
        QFETCH(QStringList, row);
        const fixture::Tree root;
        root.build(row[0].split(u' '));
        const std::atomic_bool cancelled{false};
        QStringList found;
        for (const QString& path : findAppItems(root.path("A"), cancelled))
            found.append(QDir(root.path("A")).relativeFilePath(path));
        QCOMPARE(found.join(u' '), row[1]);
    }

    void read_data() {
        QTest::addColumn<QByteArray>("plist"); // Contents/Info.plist, if any
        QTest::addColumn<QString>("read");     // "name|identifier|icon in Resources", or ""
        const auto info = [](const QString& icon, fixture::PlistFormat format = {}) {
            return fixture::plist(
                {{"CFBundleIdentifier", "com.example"}, {"CFBundleIconFile", icon}}, format);
        };
        QByteArray nul = info("A.icns", fixture::PlistFormat::Binary);
        nul[nul.indexOf("example")] = '\0';
        QTest::newRow("XML, icon without its extension") << info("A") << "Tool|com.example|A.icns";
        QTest::newRow("binary") << info("A", fixture::PlistFormat::Binary)
                                << "Tool|com.example|A.icns";
        QTest::newRow("binary, a NUL inside a string") << nul << "";
        // libplist recursed through these until the stack ran out.
        QTest::newRow("200,000 lists left open")
            << QByteArray("<?xml version=\"1.0\"?><plist>") + QByteArray("<array>").repeated(200000)
            << "";
        QTest::newRow("binary, 100,000 nested lists") << nestedBinaryPlist(100000) << "";
        QTest::newRow("an icon path climbing out")
            << info("../../../../etc/passwd") << "Tool|com.example|";
        QTest::newRow("an icon of the parent folder") << info("..") << "Tool|com.example|";
        QTest::newRow("no identifier") << fixture::plist({{"CFBundleIconFile", "A"}}) << "";
        QTest::newRow("garbage") << QByteArray("bplist00") + QByteArray(64, '\xff') << "";
        QTest::newRow("far too large") << info("A") + QByteArray(9 << 20, ' ') << "";
        QTest::newRow("a FIFO") << QByteArray() << "";
    }

    void read() {
        QFETCH(QByteArray, plist);
        QFETCH(QString, read);
        const fixture::Tree root;
        root.build({plist.isEmpty() ? "Tool.app/Contents/Info.plist!" : "Tool.app/"});
        if (!plist.isEmpty())
            root.write("Tool.app/Contents/Info.plist", plist);
        const std::optional<BundleRecord> bundle = readBundle(root.path("Tool.app"));
        QCOMPARE(
            bundle ? bundle->name + u'|' + bundle->bundleIdentifier + u'|' +
                         QString(bundle->iconPath).remove(root.path("Tool.app/Contents/Resources/"))
                   : QString(),
            read);
    }
};

QUORLIN_TEST(SourcesTest)
#include "SourcesTest.moc"
