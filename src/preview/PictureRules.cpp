#include "PictureRules.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPicture>
#include <QRegion>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// A paint engine that draws nothing and notes every rule played into it.
class RuleReader final : public QPaintEngine {
public:
    explicit RuleReader(std::vector<PictureRules::Rule>& rules)
        : QPaintEngine(AllFeatures), found(rules) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState& changed) override {
        if (changed.state() & DirtyPen)
            pen = changed.pen();
        if (changed.state() & DirtyTransform)
            transform = changed.transform();
    }
    using QPaintEngine::drawPolygon;
    // A recorded picture keeps lines as open polygons (QPaintEngine's drawLines makes them so).
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        // Text decorations (flat-ended) are left to the text; so are a rotated or sheared
        // rule and a pen of fixed device width.
        if (mode != PolylineMode || pen.style() != Qt::SolidLine ||
            pen.capStyle() != Qt::SquareCap || pen.isCosmetic() ||
            transform.type() > QTransform::TxScale)
            return;
        for (int i = 0; i + 1 < count; ++i) {
            const QLineF line = transform.map(QLineF(points[i], points[i + 1]));
            if (line.y1() == line.y2())
                found.push_back({line, pen.widthF() * std::abs(transform.m22()), pen.color()});
            else if (line.x1() == line.x2())
                found.push_back({line, pen.widthF() * std::abs(transform.m11()), pen.color()});
        }
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF&, const QTextItem&) override {}
    void drawPath(const QPainterPath&) override {}

private:
    std::vector<PictureRules::Rule>& found;
    QPen pen;
    QTransform transform;
};

class RuleReaderDevice final : public QPaintDevice {
public:
    explicit RuleReaderDevice(std::vector<PictureRules::Rule>& rules) : reader(rules) {}
    QPaintEngine* paintEngine() const override { return &reader; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return INT_MAX / 4;
        }
    }

private:
    mutable RuleReader reader;
};

} // namespace

PictureRules::PictureRules(const QPicture& picture) {
    if (picture.isNull())
        return;
    RuleReaderDevice device(rules);
    QPainter painter(&device);
    QPicture(picture).play(&painter);
}

void PictureRules::play(QPainter& painter, const QPicture& picture) const {
    if (rules.empty()) {
        painter.drawPicture(0, 0, picture);
        return;
    }
    const QTransform toDevice = painter.deviceTransform();
    // The painter's transform under which one unit is one device pixel.
    const QTransform inDevicePixels = toDevice.inverted() * painter.worldTransform();
    QRegion covered;
    std::vector<QRect> snapped;
    for (const Rule& rule : rules) {
        const QLineF at = toDevice.map(rule.line);
        const bool across = at.y1() == at.y2();
        const double from = across ? std::min(at.x1(), at.x2()) : std::min(at.y1(), at.y2());
        const double to = across ? std::max(at.x1(), at.x2()) : std::max(at.y1(), at.y2());
        const double middle = across ? at.y1() : at.x1();
        const double exact =
            rule.width * (across ? std::abs(toDevice.m22()) : std::abs(toDevice.m11()));
        // The pixels that the rule drawn where it falls would touch (a line thinner than a
        // pixel is drawn a pixel wide, its square ends reaching half its width past its ends).
        const double half = std::max(exact, 1.0) / 2;
        const int first = int(std::floor(from - half)), last = int(std::ceil(to + half));
        const int top = int(std::floor(middle - half)), bottom = int(std::ceil(middle + half));
        covered += across ? QRect(first, top, last - first, bottom - top)
                          : QRect(top, first, bottom - top, last - first);
        // The same rule on whole pixels: its width rounded, its middle and its ends moved to
        // the nearest place where the rounded width starts on a pixel's edge.
        const int width = std::max(1, int(std::lround(exact)));
        const int start = int(std::lround(from - width / 2.0));
        const int length = int(std::lround(to - width / 2.0)) + width - start;
        const int side = int(std::lround(middle - width / 2.0));
        snapped.push_back(across ? QRect(start, side, length, width)
                                 : QRect(side, start, width, length));
    }
    // The picture is drawn without those pixels, and the rules on whole pixels over it,
    // within the clip the painter had.
    const QRect whole = toDevice.mapRect(QRectF(picture.boundingRect())).toAlignedRect();
    const QTransform world = painter.worldTransform();
    painter.save();
    painter.setWorldTransform(inDevicePixels);
    painter.setClipRegion(QRegion(whole) - covered, Qt::IntersectClip);
    painter.setWorldTransform(world);
    painter.drawPicture(0, 0, picture);
    painter.restore();
    painter.save();
    painter.setWorldTransform(inDevicePixels);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (std::size_t i = 0; i < rules.size(); ++i)
        painter.fillRect(snapped[i], rules[i].colour);
    painter.restore();
}
