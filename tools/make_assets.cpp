// Draws the program's icon and its hand cursor, and writes them where the program looks for
// them, with the icon at the sizes menus ask for and as vectors for the icon theme:
//   make_assets OUTPUT_FOLDER [SIZE...]  ->  vantorel.png, HAND-M.CUR, icon-SIZE.png, icon.svg
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <QtEndian>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int iconDesignSize = 256;

// The icon on a canvas of iconDesignSize units square.
void paintIcon(QPainter& p) {
    // Tile
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x5f, 0x8b));
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
    // Page with a folded corner
    QPainterPath page;
    page.moveTo(62, 34);
    page.lineTo(162, 34);
    page.lineTo(198, 70);
    page.lineTo(198, 222);
    page.lineTo(62, 222);
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(0xc9, 0xd6, 0xe0));
    QPainterPath fold;
    fold.moveTo(162, 34);
    fold.lineTo(162, 70);
    fold.lineTo(198, 70);
    fold.closeSubpath();
    p.drawPath(fold);
    // Lines of text
    p.setBrush(QColor(0x8a, 0x9b, 0xa8));
    p.drawRoundedRect(QRectF(80, 56, 66, 8), 4, 4);
    for (int y = 84; y <= 132; y += 16)
        p.drawRoundedRect(QRectF(80, y, 100, 6), 3, 3);
    // A car
    p.setBrush(QColor(0xe0, 0x6c, 0x2e));
    QPainterPath car;
    car.moveTo(78, 190);
    car.lineTo(78, 176);
    car.lineTo(96, 172);
    car.lineTo(110, 156);
    car.lineTo(148, 156);
    car.lineTo(164, 172);
    car.lineTo(182, 176);
    car.lineTo(182, 190);
    car.closeSubpath();
    p.drawPath(car);
    p.setBrush(QColor(0x2b, 0x2b, 0x2b));
    p.drawEllipse(QPointF(102, 192), 10, 10);
    p.drawEllipse(QPointF(158, 192), 10, 10);
    p.setBrush(QColor(0xd8, 0xe8, 0xf4));
    p.drawRect(QRectF(114, 161, 14, 12));
    p.drawRect(QRectF(132, 161, 14, 12));
    // Signature stroke
    p.setPen(QPen(QColor(0x1f, 0x5f, 0x8b), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath sign;
    sign.moveTo(120, 212);
    sign.cubicTo(130, 198, 138, 222, 148, 206);
    sign.cubicTo(156, 196, 162, 214, 180, 208);
    p.drawPath(sign);
}

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(size) / iconDesignSize, double(size) / iconDesignSize);
    paintIcon(p);
    return image;
}

// The same drawing as vectors, for desktops that scale the icon to any size.
bool writeScalableIcon(const QString& path) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(iconDesignSize, iconDesignSize));
    svg.setViewBox(QRect(0, 0, iconDesignSize, iconDesignSize));
    svg.setTitle(QStringLiteral("Vantorel"));
    QPainter p;
    if (!p.begin(&svg))
        return false;
    paintIcon(p);
    return p.end() && QFileInfo(path).size() > 0;
}

constexpr int cursorSize = 32;
constexpr int hotX = 11, hotY = 1;

// A pointing hand: the index finger up, the fingertip at the hotspot.
QImage drawHand() {
    QImage image(cursorSize, cursorSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.addRoundedRect(QRectF(8.5, 0.5, 6, 17), 3, 3);        // index finger
    hand.addRoundedRect(QRectF(14.5, 8.5, 5, 10), 2.5, 2.5);   // middle finger
    hand.addRoundedRect(QRectF(19.5, 9.5, 5, 9), 2.5, 2.5);    // ring finger
    hand.addRoundedRect(QRectF(24.5, 11.5, 4.5, 8), 2.2, 2.2); // little finger
    hand.addRoundedRect(QRectF(8.5, 13.5, 20.5, 14), 5, 5);    // palm
    QPainterPath thumb;
    thumb.moveTo(9, 21);
    thumb.lineTo(4, 15.5);
    thumb.cubicTo(2, 13.5, 0.5, 16, 2, 18);
    thumb.lineTo(9, 27);
    thumb.closeSubpath();
    hand = hand.united(thumb).simplified();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    return image;
}

template <class T> void put(QByteArray& out, T value) {
    const T le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

// A one-image cursor file with a 32-bit colour bitmap and its transparency mask.
QByteArray encodeCursor(const QImage& image) {
    const int w = image.width(), h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray dib;
    put<quint32>(dib, 40);
    put<qint32>(dib, w);
    put<qint32>(dib, h * 2); // colour bitmap and mask
    put<quint16>(dib, 1);
    put<quint16>(dib, 32);
    put<quint32>(dib, 0);
    put<quint32>(dib, quint32(w * h * 4 + maskStride * h));
    for (int i = 0; i < 4; ++i)
        put<quint32>(dib, 0);
    for (int y = h - 1; y >= 0; --y) // bottom-up
        for (int x = 0; x < w; ++x)
            put<quint32>(dib, image.pixel(x, y));
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        dib += row;
    }
    QByteArray file;
    put<quint16>(file, 0);
    put<quint16>(file, 2);
    put<quint16>(file, 1);
    file.append(char(w));
    file.append(char(h));
    file.append('\0');
    file.append('\0');
    put<quint16>(file, hotX);
    put<quint16>(file, hotY);
    put<quint32>(file, quint32(dib.size()));
    put<quint32>(file, 22);
    return file + dib;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_assets OUTPUT_FOLDER [SIZE...]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool written = drawIcon(iconDesignSize).save(out.filePath(QStringLiteral("vantorel.png"))) &&
                   write(out.filePath(QStringLiteral("HAND-M.CUR")), encodeCursor(drawHand())) &&
                   writeScalableIcon(out.filePath(QStringLiteral("icon.svg")));
    for (int i = 2; written && i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "make_assets: %s is not an icon size\n", argv[i]);
            return 2;
        }
        written = drawIcon(size).save(out.filePath(QStringLiteral("icon-%1.png").arg(size)));
    }
    if (!written) {
        std::fprintf(stderr, "make_assets: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
