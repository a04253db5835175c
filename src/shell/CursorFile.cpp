#include "CursorFile.h"

#include "Failure.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace {

// The file starts with a six-byte directory header (reserved 0, type 2 for cursors, count),
// then one sixteen-byte entry per image: width, height, colours, reserved, the hotspot's x
// and y (where an icon keeps planes and bit count), the image's size and offset.
constexpr int headerSize = 6;
constexpr int entrySize = 16;

quint16 u16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

quint32 u32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

} // namespace

QCursor loadCursorFile(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("The cursor file %1 cannot be read.").arg(shown));
    const QByteArray bytes = file.read(4 * 1024 * 1024);
    const auto notACursor = [&] {
        return Failure(QStringLiteral("The file %1 is not a cursor file.").arg(shown));
    };
    if (bytes.size() < headerSize + entrySize || u16(bytes, 0) != 0 || u16(bytes, 2) != 2 ||
        u16(bytes, 4) == 0)
        throw notACursor();
    const int hotX = u16(bytes, headerSize + 4);
    const int hotY = u16(bytes, headerSize + 6);
    const quint32 size = u32(bytes, headerSize + 8);
    const quint32 offset = u32(bytes, headerSize + 12);
    if (offset < quint32(headerSize + entrySize) || size == 0 || offset > quint32(bytes.size()) ||
        size > quint32(bytes.size()) - offset)
        throw notACursor();

    const QImage image = QImage::fromData(bytes, "CUR");
    if (image.isNull() || hotX >= image.width() || hotY >= image.height())
        throw notACursor();
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}
