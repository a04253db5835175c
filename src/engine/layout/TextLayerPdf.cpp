// Qt's PDF writer gives each glyph of a font the text of the first character the font's own
// table maps to it: 山 comes back as the radical ⼭, a ligature or an Arabic letter's joined
// form as a presentation form, an emoji as nothing, a zero-width space as a space that
// splits its word. Each glyph cluster whose text that would not give back is marked with
// the characters it was made from (an ActualText span, which readers use for searching and
// copying); the drawing itself stays Qt's.
#include "TextLayerPdf.h"

#include <QBuffer>
#include <QtGui/private/qpagedpaintdevice_p.h>
#include <QtGui/private/qpdf_p.h>
#include <QtGui/private/qtextengine_p.h>
#include <algorithm>
#include <type_traits>

namespace wordengine::layout {

class TextLayerPdfEngine final : public QPdfEngine {
public:
    QPdfEnginePrivate& state() { return *static_cast<QPdfEnginePrivate*>(d_ptr.data()); }
    void drawTextItem(const QPointF& p, const QTextItem& item) override;

private:
    // Characters of clusters that drew no glyph (a zero-width character Qt leaves out): they
    // go with the next glyph drawn, so that the text stays whole.
    QString carried_;
};

namespace {

// The device that holds the page's content. Qt exports nothing of its byte stream; the
// device is its first member, and a standard-layout object shares its address with that.
static_assert(std::is_standard_layout_v<QPdf::ByteStream>);
QBuffer* pageBuffer(QPdfPage* page) {
    if (!page)
        return nullptr;
    QPdf::ByteStream* stream = page;
    // In memory, as it is up to 100 MB; past that, in a file, and the text keeps Qt's mapping.
    return qobject_cast<QBuffer*>(*reinterpret_cast<QIODevice**>(stream));
}

// What a character stands for in the text layer. The layout shapes a typed line or page break
// as a line separator, which ends the line where readers end it anyway, and a typed line
// separator as a word joiner: left out, as LibreOffice leaves it out, since readers take a
// line separator for a space that splits the word.
QString typed(QChar c) {
    if (c == QChar(0x2060) || c == QChar::LineSeparator || c == QChar::ParagraphSeparator ||
        c.unicode() < 0x20)
        return {};
    return QString(c);
}

// Zero-width format characters (a zero-width space or joiner, a direction mark): Qt may draw
// one with a glyph of another font, and readers end a word where the font changes.
bool invisible(const QString& text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.category() == QChar::Other_Format; });
}

QByteArray actualText(const QString& text) {
    QByteArray hex = "FEFF";
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return "/Span <</ActualText <" + hex + ">>> BDC\n";
}

// Whether Qt's own mapping gives back the cluster: one printable ASCII character drawn as one
// glyph, which no smaller character of the font shares.
bool mappedByQt(const QString& text, int glyphs) {
    return glyphs == 1 && text.size() == 1 && text.at(0).unicode() > 0x20 &&
           text.at(0).unicode() < 0x7f;
}

} // namespace

void TextLayerPdfEngine::drawTextItem(const QPointF& p, const QTextItem& item) {
    const auto& ti = static_cast<const QTextItemInt&>(item);
    QBuffer* page = pageBuffer(state().currentPage);
    const qsizetype before = page ? page->buffer().size() : 0;
    QPdfEngine::drawTextItem(p, item);
    if (!page || page != pageBuffer(state().currentPage) || page->buffer().size() < before ||
        !ti.logClusters || ti.num_chars <= 0)
        return;
    QByteArray* bytes = &page->buffer();

    // The clusters in the order the glyphs are drawn (Qt keeps them in logical order, right
    // to left ones too): their text and how many glyphs each draws.
    struct Cluster {
        QString text;
        int glyphs = 0;
    };
    std::vector<Cluster> clusters;
    // An item that QPainter cut from a longer one, at a change of font, keeps the longer
    // one's glyph numbers: its first character's cluster is its first glyph.
    const int glyphCount = ti.glyphs.numGlyphs;
    const int base = ti.logClusters[0];
    for (int pos = 0; pos < ti.num_chars;) {
        const int first = ti.logClusters[pos] - base;
        int end = pos + 1;
        while (end < ti.num_chars && ti.logClusters[end] - base == first)
            ++end;
        const int last = end < ti.num_chars ? ti.logClusters[end] - base : glyphCount;
        if (first < 0 || last < first || last > glyphCount)
            return; // not the order expected: Qt's mapping stays
        Cluster cluster;
        for (int c = pos; c < end; ++c)
            cluster.text += typed(ti.chars[c]);
        for (int g = first; g < last; ++g)
            cluster.glyphs += ti.glyphs.attributes[g].dontPrint ? 0 : 1;
        clusters.push_back(cluster);
        pos = end;
    }

    // Qt writes one "x y Td <glyph> Tj" line per glyph drawn, in that order (and a second
    // pass, already marked as no text, for a bold it makes up).
    const QByteArray written = bytes->mid(before);
    QByteArray out;
    out.reserve(written.size() * 2);
    qsizetype at = 0;
    const auto nextGlyph = [&](qsizetype from) {
        const qsizetype tj = written.indexOf("> Tj\n", from);
        return tj < 0 ? tj : tj + 5;
    };
    for (const Cluster& cluster : clusters) {
        // Characters drawn as nothing, or as an empty glyph, go with the next glyph drawn.
        const bool carry = cluster.glyphs == 0 || invisible(cluster.text);
        const QString text = carry ? QString() : carried_ + cluster.text;
        if (carry)
            carried_ += cluster.text;
        else
            carried_.clear();
        if (cluster.glyphs == 0)
            continue;
        qsizetype end = at;
        for (int g = 0; g < cluster.glyphs && end >= 0; ++g)
            end = nextGlyph(end);
        if (end < 0)
            return; // fewer glyphs than expected: the item stays as Qt wrote it
        if (!carry && mappedByQt(text, cluster.glyphs)) {
            out += written.mid(at, end - at);
        } else {
            // The span begins at the glyph's own line, after the text state Qt set.
            const qsizetype lineStart = written.lastIndexOf('\n', nextGlyph(at) - 6) + 1;
            out += written.mid(at, lineStart - at);
            out += actualText(text);
            out += written.mid(lineStart, end - lineStart);
            out += "EMC\n";
        }
        at = end;
    }
    out += written.mid(at);
    bytes->truncate(before);
    bytes->append(out);
    page->seek(bytes->size());
}

namespace {

class DevicePrivate final : public QPagedPaintDevicePrivate {
public:
    explicit DevicePrivate(QPdfEngine* engine) : engine_(engine) {}
    bool setPageLayout(const QPageLayout& layout) override {
        engine_->setPageLayout(layout);
        return pageLayout().isEquivalentTo(layout);
    }
    bool setPageSize(const QPageSize& size) override {
        engine_->setPageSize(size);
        return pageLayout().pageSize().isEquivalentTo(size);
    }
    bool setPageOrientation(QPageLayout::Orientation orientation) override {
        engine_->setPageOrientation(orientation);
        return pageLayout().orientation() == orientation;
    }
    bool setPageMargins(const QMarginsF& margins, QPageLayout::Unit units) override {
        engine_->setPageMargins(margins, units);
        return pageLayout().margins() == margins && pageLayout().units() == units;
    }
    QPageLayout pageLayout() const override { return engine_->pageLayout(); }

private:
    QPdfEngine* engine_;
};

} // namespace

TextLayerPdfDevice::TextLayerPdfDevice(QIODevice* out)
    : TextLayerPdfDevice(std::make_unique<TextLayerPdfEngine>(), out) {}

TextLayerPdfDevice::TextLayerPdfDevice(std::unique_ptr<TextLayerPdfEngine> engine, QIODevice* out)
    : QPagedPaintDevice(new DevicePrivate(engine.get())), engine_(std::move(engine)) {
    engine_->state().outDevice = out;
    engine_->state().ownsDevice = false;
}

TextLayerPdfDevice::~TextLayerPdfDevice() = default;

void TextLayerPdfDevice::setTitle(const QString& title) {
    engine_->state().title = title;
}

void TextLayerPdfDevice::setCreator(const QString& creator) {
    engine_->state().creator = creator;
}

bool TextLayerPdfDevice::newPage() {
    return engine_->newPage();
}

QPaintEngine* TextLayerPdfDevice::paintEngine() const {
    return engine_.get();
}

int TextLayerPdfDevice::metric(PaintDeviceMetric id) const {
    return engine_->metric(id);
}

} // namespace wordengine::layout
