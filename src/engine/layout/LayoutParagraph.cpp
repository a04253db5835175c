// Line breaking of one paragraph with QTextLayout, and the paragraph layout cache.
#include "EngineError.h"
#include "EngineLimits.h"
#include "FewKept.h"
#include "LayoutInternal.h"

#include <QGlyphRun>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
#include <QTextOption>
#include <algorithm>
#include <atomic>
#include <cmath>

namespace wordengine {

double ParagraphLayout::height() const {
    double sum = 0;
    for (int i = 0; i < lineCount(); ++i)
        sum += line(i).height;
    return sum;
}

namespace {

// A colour emoji font holds pictures, not outlines.
bool drawsPictures(const QRawFont& font) {
    return !font.fontTable("CBDT").isEmpty() || !font.fontTable("sbix").isEmpty();
}

// A PDF embeds a font by its outlines, and a colour emoji has none: it would vanish from
// the page (and from a grey picture). Its picture is drawn over the place instead, at about the
// font's own resolution; the empty glyph stays for the text layer.
void drawPicturesOfColourGlyphs(QPainter& painter, const QTextLine& line, QPointF origin) {
    for (const QGlyphRun& run : line.glyphRuns()) {
        const QRawFont font = run.rawFont();
        if (!drawsPictures(font) || font.pixelSize() <= 0)
            continue;
        const QRectF box = run.boundingRect().translated(origin);
        constexpr double kPixelsPerEm = 128; // the bitmaps of Noto Color Emoji
        const double scale = kPixelsPerEm / font.pixelSize();
        const QSize size(std::max(1, int(std::ceil(box.width() * scale))),
                         std::max(1, int(std::ceil(box.height() * scale))));
        if (qint64(size.width()) * size.height() > 64LL * 1024 * 1024)
            continue;
        QImage picture(size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter inside(&picture);
        inside.setRenderHint(QPainter::SmoothPixmapTransform);
        inside.scale(scale, scale);
        inside.translate(-box.topLeft());
        inside.drawGlyphRun(origin, run);
        inside.end();
        painter.drawImage(QRectF(box.topLeft(), QSizeF(size) / scale), picture);
    }
}

// A PDF, and the grey pages of PNG output, which Qt's raster engine draws no colour glyph on.
bool drawsNoColourGlyphs(QPainter& painter) {
    if (painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf)
        return true;
    const QPaintDevice* device = painter.device();
    return device && device->devType() == QInternal::Image &&
           static_cast<const QImage*>(device)->format() == QImage::Format_Grayscale8;
}

} // namespace

void ParagraphLayout::drawLine(QPainter& painter, int i, double x, double baseline) const {
    const QTextLine qline = shape->textLayout.lineAt(firstLine + i);
    // QTextLine::draw puts the baseline at its own (rounded) ascent below the given point;
    // the engine's baseline comes from the font tables, so offset by Qt's ascent.
    const QPointF origin(x, baseline - qline.ascent() - qline.y());
    qline.draw(&painter, origin);
    if (drawsNoColourGlyphs(painter))
        drawPicturesOfColourGlyphs(painter, qline, origin);
}

namespace layout {
namespace {

// Atomic: documents are laid out on several threads at once by vantorel-bill --batch.
std::atomic<long long> shapeCount{0};

Qt::Alignment qtAlignment(ParagraphAlignment alignment) {
    switch (alignment) {
    case ParagraphAlignment::Center:
        return Qt::AlignHCenter;
    case ParagraphAlignment::Right:
        return Qt::AlignRight;
    case ParagraphAlignment::Justify:
        return Qt::AlignJustify;
    case ParagraphAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

// Whether `runs` holds the same characters in the same formats as the shaped runs from
// character `from` on. Run boundaries may differ: editing may split or merge runs of equal
// format without changing what is laid out.
bool sameTextFrom(const std::vector<Run>& shaped, int from, const std::vector<Run>& runs) {
    size_t a = 0;
    int aPos = from; // position within shaped[a]
    while (a < shaped.size() && aPos >= int(shaped[a].text.size())) {
        aPos -= int(shaped[a].text.size());
        ++a;
    }
    size_t b = 0;
    int bPos = 0;
    for (;;) {
        while (a < shaped.size() && aPos >= int(shaped[a].text.size())) {
            ++a;
            aPos = 0;
        }
        while (b < runs.size() && bPos >= int(runs[b].text.size())) {
            ++b;
            bPos = 0;
        }
        if (a == shaped.size() || b == runs.size())
            return a == shaped.size() && b == runs.size();
        if (!(shaped[a].format == runs[b].format))
            return false;
        const int n = std::min(int(shaped[a].text.size()) - aPos, int(runs[b].text.size()) - bPos);
        if (QStringView(shaped[a].text).mid(aPos, n) != QStringView(runs[b].text).mid(bPos, n))
            return false;
        aPos += n;
        bPos += n;
    }
}

// Whether the runs are the very same strings (shared data, same extent) in the same formats:
// then they hold the same text without looking at it. Any edit of a shared string detaches it
// and so fails this test.
bool sameStrings(const std::vector<Run>& a, const std::vector<Run>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].text.size() != b[i].text.size() ||
            a[i].text.constData() != b[i].text.constData() || !(a[i].format == b[i].format))
            return false;
    }
    return true;
}

// Line ascent and height: the largest gap-plus-ascent and the largest descent of the fonts
// on the line; the paragraph mark's font counts on the last line (and alone on an empty
// paragraph), as in Word. The line gap goes above the text, where LibreOffice puts it too.
void measureLines(ParagraphShape& shape) {
    std::vector<std::pair<int, FontMetrics>> runEnds; // end offset and metrics of each run
    int end = 0;
    for (const Run& run : shape.runs) {
        if (run.text.isEmpty())
            continue;
        end += int(run.text.size());
        runEnds.emplace_back(end, keptMetricsFor(run.format));
    }
    const FontMetrics mark = keptMetricsFor(shape.markFormat);
    size_t r = 0;
    for (size_t i = 0; i < shape.lines.size(); ++i) {
        ParagraphShape::Line& line = shape.lines[i];
        double ascent = 0;
        double below = 0;
        auto take = [&](const FontMetrics& m) {
            ascent = std::max(ascent, m.lineGap + m.ascent);
            below = std::max(below, m.descent);
        };
        const int lineEnd = line.start + line.length;
        while (r < runEnds.size() && runEnds[r].first <= line.start)
            ++r;
        for (size_t k = r; k < runEnds.size(); ++k) {
            take(runEnds[k].second);
            if (runEnds[k].first >= lineEnd)
                break;
        }
        if (i + 1 == shape.lines.size() || line.length == 0)
            take(mark);
        line.ascent = ascent;
        line.height = ascent + below;
    }
}

// Qt's line breaking looks ahead over the whole of a word each time it fills a line, so one
// word of n characters costs time in n squared: a megabyte without a space took half a
// minute. A word that long fills many lines and breaks at the last character that fits
// either way, which breaking anywhere does in linear time. (A word here is a stretch without
// white space.) The rest of such a paragraph then
// breaks anywhere too; only a paragraph with a word of thousands of characters is affected.
constexpr qsizetype kLongestWord = 4096;

bool hasVeryLongWord(const QString& text) {
    qsizetype word = 0;
    for (const QChar c : text) {
        word = c.isSpace() ? 0 : word + 1;
        if (word > kLongestWord)
            return true;
    }
    return false;
}

// The text as Qt is to set it, character for character. Word's line break (vertical tab)
// and page break (form feed) end the line where they stand, as the line separator does in
// Qt. A line separator typed into a value is set as LibreOffice sets the saved document:
// without a break and without any width, which a word joiner gives.
QString shapedText(const QString& text) {
    // Most text has none of them, and is then given on without a copy.
    if (std::none_of(text.cbegin(), text.cend(),
                     [](QChar c) { return c == u'\v' || c == u'\f' || c == QChar::LineSeparator; }))
        return text;
    QString shaped = text;
    for (QChar& c : shaped) {
        if (c == u'\v' || c == u'\f')
            c = QChar::LineSeparator;
        else if (c == QChar::LineSeparator)
            c = QChar(0x2060);
    }
    return shaped;
}

// The text up to and with its maxLines-th line or page break: the lines after it are not
// wanted, and Qt makes an item and a line of every break in the text it is given.
qsizetype wantedLength(const QString& text, int maxLines) {
    if (maxLines >= text.size()) // there are not that many breaks
        return text.size();
    int breaks = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        if ((text.at(i) == u'\v' || text.at(i) == u'\f') && ++breaks == maxLines)
            return i + 1;
    return text.size();
}

// Qt looks a font's faces up once per font object, through every fallback family; a new
// font for each run of each paragraph had it look them up again. The formats, and with them
// their fonts, are kept per thread (as Qt's font engines are), a few at a time. The
// paragraph's font is taken from its mark's format too, so that a run in the mark's format
// resolves to that very font object. A run in another format still costs Qt a fresh font (and
// a look at every family it names) each time it is laid out, so such a run that the font
// folder's face sets alone is given a font without the fallbacks, which it never reaches.
QTextCharFormat textFormatFor(const CharFormat& format,
                              FontFallbacks fallbacks = FontFallbacks::Named) {
    thread_local FewKept<std::pair<FontFallbacks, CharFormat>, QTextCharFormat> made;
    return made.get({fallbacks, format}, [&] {
        QTextCharFormat textFormat;
        textFormat.setFont(fontFor(format, fallbacks), QTextCharFormat::FontPropertiesAll);
        return textFormat;
    });
}

std::shared_ptr<const ParagraphShape> shapeParagraph(const Paragraph& paragraph, double width,
                                                     int maxLines) {
    if (paragraph.length() > limits::kMaxDocumentCharacters)
        throw EngineError(QStringLiteral("A paragraph holds %1 characters, more than the %2 this "
                                         "program lays out.")
                              .arg(paragraph.length())
                              .arg(limits::kMaxDocumentCharacters));
    ++shapeCount;
    auto shape = std::make_shared<ParagraphShape>();
    shape->runs = paragraph.runs;
    shape->alignment = paragraph.alignment;
    shape->markFormat = paragraph.markFormat;
    shape->width = width;

    // The fallback faces are in place before Qt meets a character that only they have. Whether
    // they took part at all matters only to a shape that may be kept.
    shape->ownFacesOnly = keepingShapes() && fontFolderSetsAll(paragraph.markFormat, {});
    // A run that the font folder's face sets alone needs no fallback: one look at its
    // characters answers both questions.
    for (const Run& run : paragraph.runs) {
        const QString shaped = shapedText(run.text);
        const bool ownFaces = shape->ownFacesOnly && fontFolderSetsAll(run.format, shaped);
        if (!ownFaces)
            prepareFontsFor(run.format, shaped);
        shape->ownFacesOnly = ownFaces;
    }

    QString text;
    QList<QTextLayout::FormatRange> formats;
    for (const Run& run : paragraph.runs) {
        if (run.text.isEmpty())
            continue;
        QTextLayout::FormatRange range;
        range.start = int(text.size());
        range.length = int(run.text.size());
        const bool ownFace = !(run.format == paragraph.markFormat) &&
                             fontFolderSetsAll(run.format, shapedText(run.text));
        range.format =
            textFormatFor(run.format, ownFace ? FontFallbacks::None : FontFallbacks::Named);
        formats.append(range);
        text += run.text;
    }
    const qsizetype wanted = wantedLength(text, maxLines);
    if (wanted < text.size()) {
        text.truncate(wanted);
        shape->cut = true;
        for (auto range = formats.begin(); range != formats.end();) {
            range->length = std::min(range->length, int(wanted) - range->start);
            range = range->length > 0 ? range + 1 : formats.erase(range);
        }
    }
    shape->textLength = int(text.size());

    QTextLayout& tl = shape->textLayout;
    tl.setText(shapedText(text));
    tl.setFont(textFormatFor(paragraph.markFormat).font());
    tl.setFormats(formats);
    QTextOption option(qtAlignment(paragraph.alignment));
    option.setWrapMode(hasVeryLongWord(text) ? QTextOption::WrapAnywhere
                                             : QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);
    option.setTabStopDistance(kTabStopTwips);
    tl.setTextOption(option);
    tl.setCacheEnabled(true);

    tl.beginLayout();
    for (;;) {
        if (int(shape->lines.size()) >= maxLines) {
            shape->cut = true;
            break;
        }
        QTextLine line = tl.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, 0));
        ParagraphShape::Line info;
        info.start = line.textStart();
        info.length = line.textLength();
        if (info.length > 0) {
            info.left = line.cursorToX(info.start);
            info.right = info.left + line.horizontalAdvance();
            info.pageBreak = text.at(info.start + info.length - 1) == u'\f';
        }
        shape->lines.push_back(info);
    }
    tl.endLayout();
    // Justified lines but the last are stretched to the full width.
    if (paragraph.alignment == ParagraphAlignment::Justify) {
        for (size_t i = 0; i + 1 < shape->lines.size(); ++i)
            shape->lines[i].right = std::max(shape->lines[i].right, width);
    }
    if (shape->lines.empty())
        shape->lines.push_back({});
    measureLines(*shape);
    return shape;
}

std::shared_ptr<const ParagraphLayout> layoutAgain(const Paragraph& paragraph, double width,
                                                   int maxLines) {
    auto fresh = std::make_shared<ParagraphLayout>();
    fresh->shape = reusedShape(paragraph, width);
    if (!fresh->shape) {
        fresh->shape = shapeParagraph(paragraph, width, maxLines);
        offerShape(paragraph, width, fresh->shape);
    }
    fresh->seen = paragraph.runs;
    paragraph.layoutCache = fresh;
    return fresh;
}

} // namespace

FontMetrics keptMetricsFor(const CharFormat& format) {
    thread_local FewKept<CharFormat, FontMetrics> known;
    return known.get(format, [&] { return metricsFor(format); });
}

long long shapedParagraphs() {
    return shapeCount.load();
}

std::shared_ptr<const ParagraphLayout> layoutParagraph(const Paragraph& paragraph, double width,
                                                       int maxLines) {
    if (const auto& cached = paragraph.layoutCache) {
        const ParagraphShape& shape = *cached->shape;
        // A shape cut short serves only a layout that wants no more lines than it has.
        if (shape.alignment == paragraph.alignment && shape.markFormat == paragraph.markFormat &&
            shape.width == width && (!shape.cut || maxLines <= cached->lineCount())) {
            if (sameStrings(cached->seen, paragraph.runs))
                return cached;
            if (shape.cut)
                return layoutAgain(paragraph, width, maxLines);
            const int lost = shape.textLength - paragraph.length();
            if (lost == cached->charOffset && sameTextFrom(shape.runs, lost, paragraph.runs)) {
                auto same = std::make_shared<ParagraphLayout>(*cached);
                same->seen = paragraph.runs;
                paragraph.layoutCache = same;
                return same;
            }
            // The paragraph may have lost whole lines from its start (the first page of the
            // document was deleted): the lines after them break exactly as before.
            if (lost >= 0) {
                auto it = std::lower_bound(
                    shape.lines.begin(), shape.lines.end(), lost,
                    [](const ParagraphShape::Line& l, int offset) { return l.start < offset; });
                if (it != shape.lines.end() && it->start == lost &&
                    sameTextFrom(shape.runs, lost, paragraph.runs)) {
                    auto reused = std::make_shared<ParagraphLayout>();
                    reused->shape = cached->shape;
                    reused->firstLine = int(it - shape.lines.begin());
                    reused->charOffset = lost;
                    reused->seen = paragraph.runs;
                    paragraph.layoutCache = reused;
                    return reused;
                }
            }
        }
    }
    return layoutAgain(paragraph, width, maxLines);
}

} // namespace layout
} // namespace wordengine
