// Characters with a meaning of their own in a paragraph's text: Word's line break (vertical
// tab) and page break (form feed), and the line separator and zero-width space, which
// LibreOffice sets without a break and without a gap.
#include "Layout.h"
#include "LayoutInternal.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace wordengine;

namespace {

Paragraph paragraph(const QString& text) {
    Paragraph p;
    p.runs.push_back(Run{text, CharFormat{}});
    return p;
}

double lineWidth(const std::shared_ptr<const ParagraphLayout>& laid, int i) {
    return laid->line(i).right - laid->line(i).left;
}

TEST(LayoutBreaks, WhereEachCharacterBreaksTheLineAndWhatWidthItTakes) {
    const double width = 432 * 20;
    const auto joined = layout::layoutParagraph(paragraph(QStringLiteral("AAAABBBB")), width);
    const auto half = layout::layoutParagraph(paragraph(QStringLiteral("AAAA")), width);
    const struct {
        const char* name;
        char16_t character;
        int lines; // 2: "AAAA" on the first line, "BBBB" on the second
    } cases[] = {
        {"vertical tab: a line break", u'\v', 2},
        {"form feed: a page break, which ends the line", u'\f', 2},
        {"line separator: neither break nor gap", u'\u2028', 1},
        {"zero-width space: no gap", u'\u200B', 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto laid = layout::layoutParagraph(
            paragraph(QStringLiteral("AAAA") + QChar(c.character) + QStringLiteral("BBBB")), width);
        EXPECT_EQ(laid->lineCount(), c.lines);
        if (laid->lineCount() != c.lines)
            continue;
        if (c.lines == 1) {
            EXPECT_NEAR(lineWidth(laid, 0), lineWidth(joined, 0), 0.5);
        } else {
            EXPECT_EQ(laid->lineOffset(1), 5);
            EXPECT_NEAR(lineWidth(laid, 0), lineWidth(half, 0), 0.5);
        }
    }
}

// The page picture of a one-paragraph document, played at four times real size.
QImage drawn(const QString& text) {
    Document d;
    d.body = {paragraph(text)};
    const QPicture picture = pagePicture(d, 0);
    QImage image(900, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(4 * 96 / 1440.0, 4 * 96 / 1440.0);
    painter.drawPicture(0, 0, picture);
    return image;
}

TEST(LayoutBreaks, NeitherInvisibleCharacterDrawsAnything) {
    const QImage joined = drawn(QStringLiteral("AAAABBBB"));
    for (const char16_t c : {u'\u2028', u'\u200B'}) {
        SCOPED_TRACE(int(c));
        EXPECT_EQ(drawn(QStringLiteral("AAAA") + QChar(c) + QStringLiteral("BBBB")), joined);
    }
}

TEST(LayoutBreaks, AZeroWidthSpaceIsWhereALongWordMayBreak) {
    // Ten-letter groups joined by zero-width spaces: lines end after a whole group.
    QString text;
    for (int i = 0; i < 12; ++i)
        text += QStringLiteral("WWWWWWWWWW") + QChar(0x200B);
    const auto laid = layout::layoutParagraph(paragraph(text), 432 * 20);
    ASSERT_GT(laid->lineCount(), 1);
    for (int i = 0; i < laid->lineCount(); ++i)
        EXPECT_EQ(laid->lineOffset(i) % 11, 0) << "line " << i;
}

TEST(LayoutBreaks, AFormFeedStartsANewPageAndAVerticalTabDoesNot) {
    const struct {
        const char* name;
        QString text;
        int pages;
    } cases[] = {
        {"page break", QStringLiteral("before\fafter"), 2},
        {"two page breaks", QStringLiteral("a\fb\fc"), 3},
        {"page break at the end", QStringLiteral("before\f"), 2},
        {"line break", QStringLiteral("before\vafter"), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Document d;
        d.body = {paragraph(c.text), paragraph(QStringLiteral("next"))};
        const Pagination pages = paginate(d);
        EXPECT_EQ(pages.pageCount(), c.pages);
        // The page after a break begins with the character after it.
        const int firstBreak = int(c.text.indexOf(u'\f'));
        if (c.pages > 1 && pages.pageCount() > 1) {
            EXPECT_EQ(pages.pageStarts[1], (Position{0, -1, -1, 0, firstBreak + 1}));
        }
    }
}

} // namespace
