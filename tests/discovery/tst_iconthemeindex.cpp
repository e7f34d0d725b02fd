#include "CatalogueFixture.h"
#include "IconThemeIndex.h"

#include <QtTest/QTest>

// Looking icons up in themes: theme before parents before hicolor, the best
// size within a theme, extension and folder precedence, and broken themes.
class TestIconThemeIndex : public QObject {
    Q_OBJECT

private:
    // Two base folders ("home" before "share") and one pixmap folder. "Fancy"
    // inherits "Parent", which inherits "Fancy" back; hicolor has no index.theme.
    static void buildThemes(const fixture::Tree& tree) {
        tree.write("share/Fancy/index.theme",
                   "[Icon Theme]\nName=Fancy\nInherits=Parent\n"
                   "Directories=48x48/apps,128x128/apps,scalable/apps,missing/apps\n\n"
                   "[48x48/apps]\nSize=48\nType=Fixed\n\n"
                   "[128x128/apps]\nSize=128\nType=Fixed\n\n"
                   "[scalable/apps]\nSize=64\nMinSize=16\nMaxSize=96\nType=Scalable\n");
        tree.write("share/Parent/index.theme",
                   "[Icon Theme]\nName=Parent\nInherits=Fancy,hicolor\n"
                   "Directories=64x64/apps\n\n[64x64/apps]\nSize=64\nType=Threshold\n");
        const QStringList files{
            "share/Fancy/48x48/apps/exact.png",        "share/Fancy/128x128/apps/exact.png",
            "share/Fancy/48x48/apps/own-theme.png",    "share/hicolor/256x256/apps/own-theme.png",
            "share/Parent/64x64/apps/parental.png",    "share/hicolor/32x32/apps/upscale.png",
            "share/hicolor/256x256/apps/upscale.png",  "share/hicolor/512x512/apps/upscale.png",
            "share/hicolor/16x16/apps/small.png",      "share/hicolor/48x48/apps/small.png",
            "share/Fancy/scalable/apps/vector.svg",    "share/Fancy/128x128/apps/both.svg",
            "share/Fancy/128x128/apps/both.png",       "home/Fancy/128x128/apps/shadowed.png",
            "share/Fancy/128x128/apps/shadowed.png",   "pixmaps/legacy.xpm",
            "share/Fancy/256x256/apps/not-listed.png", "share/hicolor/scalable/apps/hi-vector.svg",
            "share/hicolor/64x64@2/apps/retina.png"};
        for (const QString& file : files)
            tree.write(file, "x");
    }

    static IconThemeIndex index(const fixture::Tree& tree, const QString& theme) {
        return IconThemeIndex({tree.path("home"), tree.path("share")}, {tree.path("pixmaps")},
                              theme);
    }

private Q_SLOTS:
    void find_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // relative to the tree; "" for none

        QTest::addRow("the folder made for the size") << "exact"
                                                      << "share/Fancy/128x128/apps/exact.png";
        QTest::addRow("the theme's own picture beats a better size further down")
            << "own-theme"
            << "share/Fancy/48x48/apps/own-theme.png";
        QTest::addRow("a parent theme when the theme lacks it")
            << "parental"
            << "share/Parent/64x64/apps/parental.png";
        QTest::addRow("the smallest larger picture rather than a closer smaller one")
            << "upscale"
            << "share/hicolor/256x256/apps/upscale.png";
        QTest::addRow("only smaller pictures: the largest") << "small"
                                                            << "share/hicolor/48x48/apps/small.png";
        QTest::addRow("a scalable picture covering the size")
            << "hi-vector"
            << "share/hicolor/scalable/apps/hi-vector.svg";
        QTest::addRow("a scalable picture outside its range counts as its size")
            << "vector"
            << "share/Fancy/scalable/apps/vector.svg";
        QTest::addRow("PNG before SVG in one folder") << "both"
                                                      << "share/Fancy/128x128/apps/both.png";
        QTest::addRow("the earlier base folder wins") << "shadowed"
                                                      << "home/Fancy/128x128/apps/shadowed.png";
        QTest::addRow("a folder not listed by index.theme is not looked in") << "not-listed"
                                                                             << "";
        QTest::addRow("a doubled-scale folder of hicolor is inferred")
            << "retina"
            << "share/hicolor/64x64@2/apps/retina.png";
        QTest::addRow("the pixmap folder last") << "legacy"
                                                << "pixmaps/legacy.xpm";
        QTest::addRow("a name given with its extension") << "exact.png"
                                                         << "share/Fancy/128x128/apps/exact.png";
        QTest::addRow("an unknown name") << "nowhere"
                                         << "";
        QTest::addRow("no name") << ""
                                 << "";
    }

    void find() {
        QFETCH(QString, name);
        QFETCH(QString, expected);

        fixture::Tree tree;
        buildThemes(tree);
        QCOMPARE(index(tree, "Fancy").find(name, 128),
                 expected.isEmpty() ? QString() : tree.path(expected));
    }

    void absolutePathsPassThrough() {
        fixture::Tree tree;
        QCOMPARE(index(tree, "Fancy").find("/opt/tool/icon.png", 128),
                 QStringLiteral("/opt/tool/icon.png"));
    }

    void themeChain_data() {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<QStringList>("chain");
        QTest::addRow("inheritance cycle is cut")
            << "Fancy" << QStringList{"Fancy", "Parent", "hicolor"};
        QTest::addRow("unknown theme still ends in hicolor")
            << "Nope" << QStringList{"Nope", "hicolor"};
        QTest::addRow("no theme is hicolor alone") << "" << QStringList{"hicolor"};
        QTest::addRow("a name with a slash is refused") << "../etc" << QStringList{"hicolor"};
    }

    void themeChain() {
        QFETCH(QString, theme);
        QFETCH(QStringList, chain);
        fixture::Tree tree;
        buildThemes(tree);
        QCOMPARE(index(tree, theme).themeChain(), chain);
    }

    void unknownThemeFindsHicolorAndPixmaps() {
        fixture::Tree tree;
        buildThemes(tree);
        const IconThemeIndex lookup = index(tree, "Nope");
        QCOMPARE(lookup.find("upscale", 128), tree.path("share/hicolor/256x256/apps/upscale.png"));
        QCOMPARE(lookup.find("legacy", 128), tree.path("pixmaps/legacy.xpm"));
        QCOMPARE(lookup.find("exact", 128), QString());
    }

    void brokenIndexThemeIsSurvived() {
        fixture::Tree tree;
        tree.write("share/Broken/index.theme",
                   "\xff\xfe not ini [[[\n[Icon Theme]\nDirectories=a,,b,=\n[a]\nSize=zero\n"
                   "[b]\nSize=-4\n");
        tree.write("share/Broken/a/icon.png", "x");
        tree.write("share/hicolor/48x48/apps/icon.png", "x");
        QCOMPARE(index(tree, "Broken").find("icon", 128),
                 tree.path("share/hicolor/48x48/apps/icon.png"));
    }
};

QTEST_GUILESS_MAIN(TestIconThemeIndex)
#include "tst_iconthemeindex.moc"
