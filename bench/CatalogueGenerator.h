#pragma once

// Generators of large catalogue trees for the discovery benchmarks: application
// bundles shaped like real ones (a few dozen files and folders each) and
// desktop entries with themed icons. Written with plain system calls, because
// a 5,000-bundle tree is some 200,000 files.

#include "AppDiscovery.h"
#include "DefaultsStore.h"
#include "Trash.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace bench {

inline void makeDir(const QByteArray& path) {
    ::mkdir(path.constData(), 0755);
}

inline void writeFile(const QByteArray& path, const QByteArray& data, mode_t mode = 0644) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return;
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t wrote = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (wrote <= 0)
            break;
        done += wrote;
    }
    ::close(fd);
}

inline QByteArray pngOf(int pixels, int seed) {
    QImage image(pixels, pixels, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor::fromHsv((seed * 37) % 360, 160, 220));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0, 0, pixels, pixels).adjusted(6, 6, -6, -6), pixels / 5.0,
                            pixels / 5.0);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A modern ICNS file: PNG entries at 128, 256 and 512 pixels.
inline QByteArray icnsFile() {
    QByteArray body;
    const std::pair<const char*, int> entries[] = {{"ic07", 128}, {"ic08", 256}, {"ic09", 512}};
    for (const auto& [type, pixels] : entries) {
        const QByteArray png = pngOf(pixels, pixels);
        uchar length[4];
        qToBigEndian<quint32>(quint32(png.size() + 8), length);
        body += QByteArray(type, 4) + QByteArray(reinterpret_cast<const char*>(length), 4) + png;
    }
    uchar total[4];
    qToBigEndian<quint32>(quint32(body.size() + 8), total);
    return QByteArray("icns") + QByteArray(reinterpret_cast<const char*>(total), 4) + body;
}

inline QByteArray infoPlist(int index) {
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                             "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                             "<plist version=\"1.0\">\n<dict>\n") +
           "\t<key>CFBundleIdentifier</key>\n\t<string>com.example.bench.app" +
           QByteArray::number(index) +
           "</string>\n\t<key>CFBundleName</key>\n\t<string>App</string>\n"
           "\t<key>CFBundleExecutable</key>\n\t<string>App</string>\n"
           "\t<key>CFBundleIconFile</key>\n\t<string>AppIcon</string>\n"
           "\t<key>CFBundlePackageType</key>\n\t<string>APPL</string>\n"
           "\t<key>CFBundleShortVersionString</key>\n\t<string>1.0</string>\n"
           "\t<key>LSMinimumSystemVersion</key>\n\t<string>11.0</string>\n"
           "</dict>\n</plist>\n";
}

// Lays out `count` bundles under root/Applications (some in vendor folders),
// root/System/Applications and root/System/Applications/Utilities. Each has an
// Info.plist, an executable, an ICNS icon (hard links to one file), ten
// localisation folders of two files each, a framework and a code signature:
// 41 files and folders per bundle.
inline void generateBundleTree(const QString& root, int count) {
    const QByteArray base = QFile::encodeName(root);
    const QByteArray folders[] = {base + "/Applications", base + "/System",
                                  base + "/System/Applications",
                                  base + "/System/Applications/Utilities"};
    for (const QByteArray& folder : folders)
        makeDir(folder);
    const QByteArray icon = icnsFile();
    const QByteArray iconMaster = base + "/.icon-master.icns";
    writeFile(iconMaster, icon);
    const char* languages[] = {"en", "de", "fr", "es", "it", "ja", "ko", "nl", "pt", "zh_CN"};

    for (int i = 0; i < count; ++i) {
        QByteArray parent;
        if (i % 10 < 7) {
            parent = folders[0];
            if (i % 10 == 6) { // a vendor folder holding a few applications
                parent += "/Vendor" + QByteArray::number(i % 50);
                makeDir(parent);
            }
        } else {
            parent = i % 10 < 9 ? folders[2] : folders[3];
        }
        const QByteArray bundle = parent + "/Application " + QByteArray::number(i) + ".app";
        const QByteArray contents = bundle + "/Contents";
        makeDir(bundle);
        makeDir(contents);
        writeFile(contents + "/Info.plist", infoPlist(i));
        writeFile(contents + "/PkgInfo", "APPL????");
        makeDir(contents + "/MacOS");
        writeFile(contents + "/MacOS/App", "#!/bin/sh\n", 0755);
        makeDir(contents + "/Resources");
        ::link(iconMaster.constData(), (contents + "/Resources/AppIcon.icns").constData());
        for (const char* language : languages) {
            const QByteArray lproj = contents + "/Resources/" + language + ".lproj";
            makeDir(lproj);
            writeFile(lproj + "/Localizable.strings", "\"Open\" = \"Open\";\n");
            writeFile(lproj + "/InfoPlist.strings", "CFBundleName = \"App\";\n");
        }
        const QByteArray framework = contents + "/Frameworks/Helper.framework";
        makeDir(contents + "/Frameworks");
        makeDir(framework);
        makeDir(framework + "/Versions");
        makeDir(framework + "/Versions/A");
        writeFile(framework + "/Versions/A/Helper", "binary");
        makeDir(framework + "/Versions/A/Resources");
        writeFile(framework + "/Versions/A/Resources/Info.plist", infoPlist(i));
        makeDir(contents + "/_CodeSignature");
        writeFile(contents + "/_CodeSignature/CodeResources", "<plist/>");
    }
}

// `count` desktop entries in root/applications, each with its own PNG icon in
// an hicolor theme under root/icons.
inline void generateDesktopEntries(const QString& root, int count) {
    const QByteArray base = QFile::encodeName(root);
    makeDir(base + "/applications");
    makeDir(base + "/icons");
    makeDir(base + "/icons/hicolor");
    makeDir(base + "/icons/hicolor/128x128");
    makeDir(base + "/icons/hicolor/128x128/apps");
    for (int i = 0; i < count; ++i) {
        const QByteArray id = "org.example.bench.Entry" + QByteArray::number(i);
        const QByteArray entry =
            "[Desktop Entry]\nType=Application\nName=Entry " + QByteArray::number(i) +
            "\nName[de]=Eintrag " + QByteArray::number(i) +
            "\nName[fr]=Entr\xc3\xa9"
            "e " +
            QByteArray::number(i) + "\nComment=A generated entry\nExec=true %U\nIcon=bench-entry-" +
            QByteArray::number(i) + "\nTerminal=false\nCategories=Utility;\nKeywords=bench;test;\n";
        writeFile(base + "/applications/" + id + ".desktop", entry);
        writeFile(base + "/icons/hicolor/128x128/apps/bench-entry-" + QByteArray::number(i) +
                      ".png",
                  pngOf(128, i));
    }
}

// The quickest comparable walk: find(1) over the same folders, skipping hidden
// items and not entering any "*.app" item. Milliseconds.
inline double timeFind(const QStringList& folders) {
    QStringList arguments = folders;
    arguments << "-name"
              << ".*"
              << "-prune"
              << "-o"
              << "-name"
              << "*.app"
              << "-print"
              << "-prune";
    QElapsedTimer clock;
    clock.start();
    QProcess find;
    find.setStandardOutputFile(QProcess::nullDevice());
    find.start("find", arguments);
    find.waitForFinished(-1);
    return double(clock.nsecsElapsed()) / 1e6;
}

// The median of `runs` timings of `work`, in milliseconds.
inline double medianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Settings held in memory, so benchmarks leave the user's alone.
class MemoryStore final : public DefaultsStore {
public:
    [[nodiscard]] QVariant value(const QString& key) const override { return m_values.value(key); }
    bool setValue(const QString& key, const QVariant& value) override {
        m_values.insert(key, value);
        return true;
    }

private:
    QHash<QString, QVariant> m_values;
};

class NoTrash final : public Trash {
public:
    [[nodiscard]] Result moveToTrash(const QString&) override { return {false, "benchmark"}; }
};

} // namespace bench
