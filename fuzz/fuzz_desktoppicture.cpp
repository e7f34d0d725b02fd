// The desktops' own settings naming the desktop picture: Plasma's applets
// file, Xfce's channel file, GNOME's URI values and the file names of a Plasma
// wallpaper package.
#include "FuzzInput.h"
#include "LinuxDesktopPictureSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureApplication();
    const QList<QByteArray> parts = fuzzParts(data, size, 4);
    (void)LinuxDesktopPictureSource::kdePicture(QString::fromUtf8(parts.at(0)));
    (void)LinuxDesktopPictureSource::xfcePicture(QString::fromUtf8(parts.at(1)));
    (void)LinuxDesktopPictureSource::gnomePicture(QString::fromUtf8(parts.at(2)),
                                                  QString::fromUtf8(parts.at(0)),
                                                  QStringLiteral("prefer-dark"));
    (void)LinuxDesktopPictureSource::largestPackagePicture(
        QString::fromUtf8(parts.at(3)).split(QLatin1Char('\n')));
    return 0;
}
