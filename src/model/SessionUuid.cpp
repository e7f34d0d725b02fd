#include "SessionUuid.h"

#include <QRandomGenerator>

QUuid sessionUuid() {
    quint32 bits[4];
    QRandomGenerator::global()->fillRange(bits);
    // The version in the top four bits of the third field, the variant in the
    // top two of the fourth, as RFC 4122 lays a random UUID out.
    return QUuid(bits[0], quint16(bits[1]), quint16((bits[1] >> 16 & 0x0fff) | 0x4000),
                 uchar((bits[2] & 0x3f) | 0x80), uchar(bits[2] >> 8), uchar(bits[2] >> 16),
                 uchar(bits[2] >> 24), uchar(bits[3]), uchar(bits[3] >> 8), uchar(bits[3] >> 16),
                 uchar(bits[3] >> 24));
}
