// Fonts, line heights and line breaks with the installed Liberation fonts.
#include "Layout.h"
#include "LayoutInternal.h"

#include <QFontInfo>
#include <QGlyphRun>
#include <gtest/gtest.h>
#include <numeric>

using namespace wordengine;

namespace {

CharFormat format(const char* name, double size, bool bold = false) {
    CharFormat f;
    f.fontName = QString::fromLatin1(name);
    f.size = size;
    f.bold = bold;
    return f;
}

Paragraph paragraph(const QString& text, const CharFormat& f = {}) {
    Paragraph p;
    p.markFormat = f;
    if (!text.isEmpty())
        p.runs.push_back(Run{text, f});
    return p;
}

QString repeated(const QString& word, int times) {
    QStringList words;
    for (int i = 0; i < times; ++i)
        words << word;
    return words.join(QLatin1Char(' '));
}

TEST(LayoutFonts, ArialStandsInWithLiberationSans) {
    ASSERT_TRUE(arialAvailable());
    EXPECT_EQ(QFontInfo(layout::fontFor(format("Arial", 11))).family(),
              QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(layout::fontFor(format("Times New Roman", 12))).family(),
              QStringLiteral("Liberation Serif"));
    // Each family's files are read when it is first asked for, here after Arial's: the
    // family is then the font folder's own, in every script its faces cover.
    const struct {
        const char* font;
        const char16_t* text;
        bool ownFaces;
    } runs[] = {
        {"Courier New", u"Ωμέγα", true},     {"Arial Narrow", u"Zoë", true},
        {"Times New Roman", u"Tobin", true}, {"Times New Roman", u"山田", false},
        {"Calibri", u"Tobin", false},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.font);
        EXPECT_EQ(layout::fontFolderSetsAll(format(run.font, 10), QStringView(run.text)),
                  run.ownFaces);
    }
}

TEST(LayoutFonts, SingleSpacedLineHeights) {
    // Ascent + descent + line gap of the font tables. Arial and Times New Roman both sum to
    // 2355 units per 2048 em; Courier New to 2320.
    const struct {
        const char* font;
        double size;
        bool bold;
        double height;
    } cases[] = {
        {"Arial", 11, false, 12.6489},
        {"Arial", 16, true, 18.3984},
        {"Arial", 8, true, 9.1992},
        {"Arial", 10.5, false, 12.0740},
        {"Times New Roman", 12, false, 13.7988},
        {"Courier New", 10, false, 11.3281},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.font) + " " + std::to_string(c.size));
        EXPECT_NEAR(lineHeight(format(c.font, c.size, c.bold)), c.height, 0.0005);
    }
}

TEST(LayoutLines, HeightsComeFromTheTallestFontAndTheMark) {
    const CharFormat small = format("Arial", 8);
    const CharFormat big = format("Arial", 16, true);
    const struct {
        const char* name;
        Paragraph paragraph;
        double height; // points
    } cases[] = {
        {"empty paragraph takes its mark", paragraph({}, big), lineHeight(big)},
        {"text in its own format", paragraph(QStringLiteral("Text"), small), lineHeight(small)},
        {"large mark raises the last line",
         [&] {
             Paragraph p = paragraph(QStringLiteral("Text"), small);
             p.markFormat = big;
             return p;
         }(),
         lineHeight(big)},
        {"mixed sizes on one line",
         [&] {
             Paragraph p = paragraph(QStringLiteral("small "), small);
             p.runs.push_back(wordengine::Run{QStringLiteral("BIG"), big});
             p.markFormat = small;
             return p;
         }(),
         lineHeight(big)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto laid = layout::layoutParagraph(c.paragraph, 432 * 20);
        ASSERT_EQ(laid->lineCount(), 1);
        EXPECT_NEAR(laid->height() / 20, c.height, 0.001);
    }
}

TEST(LayoutLines, BreaksBetweenWordsAtTheWidth) {
    // Digits and the blank have fixed advances in Arial (1139 and 569 units of 2048), so the
    // number of ten-digit words that fit a line is known: n words take
    // (n * 11390 + (n - 1) * 569) / 2048 * size points.
    const QString word = QStringLiteral("1234567890");
    auto span = [](int n, double size) { return (n * 11390.0 + (n - 1) * 569.0) / 2048 * size; };
    const struct {
        double size;
        double width; // points
        int perLine;
    } cases[] = {
        {11, 432, 6},
        {11, span(6, 11) + 0.05, 6}, // just wide enough for six
        {11, span(6, 11) - 0.05, 5}, // just too narrow for six
        {8, 432, 9},
        {16, 200, 2},
        {11, 40, 0}, // a word longer than the line is broken anywhere
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " pt at " + std::to_string(c.width));
        const int words = 20;
        const auto laid = layout::layoutParagraph(
            paragraph(repeated(word, words), format("Arial", c.size)), c.width * 20);
        if (c.perLine == 0) {
            EXPECT_GT(laid->lineCount(), words);
            continue;
        }
        ASSERT_EQ(laid->lineCount(), (words + c.perLine - 1) / c.perLine);
        for (int i = 0; i < laid->lineCount(); ++i)
            EXPECT_EQ(laid->lineOffset(i), i * c.perLine * 11) << "line " << i;
    }
}

TEST(LayoutLines, AlignmentPlacesTheLine) {
    const QString text = QStringLiteral("Motor Vehicle Bill of Sale");
    const double width = 432 * 20;
    const struct {
        ParagraphAlignment alignment;
        double leftShare; // of the free space, left of the text
    } cases[] = {{ParagraphAlignment::Left, 0.0},
                 {ParagraphAlignment::Center, 0.5},
                 {ParagraphAlignment::Right, 1.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.alignment));
        Paragraph p = paragraph(text, format("Arial", 16, true));
        p.alignment = c.alignment;
        const auto laid = layout::layoutParagraph(p, width);
        const auto& line = laid->line(0);
        const double free = width - (line.right - line.left);
        EXPECT_NEAR(line.left, free * c.leftShare, 1.0);
    }
}

// A word too long for a line breaks at the last character that fits, however long it is;
// a very long one (laid out by a faster way) breaks exactly as a shorter one does, and no
// character is lost.
TEST(LayoutText, VeryLongWordsBreakLikeLongWords) {
    auto lineLengths = [](int length) {
        Paragraph p;
        p.runs = {wordengine::Run{QString(length, QLatin1Char('w')) + QStringLiteral(" end"),
                                  CharFormat{}}};
        const auto laid = layout::layoutParagraph(p, 9360);
        std::vector<int> lengths;
        for (int i = 0; i < laid->lineCount(); ++i)
            lengths.push_back(laid->line(i).length);
        return lengths;
    };
    const std::vector<int> longWord = lineLengths(3000), veryLong = lineLengths(60000);
    ASSERT_GT(longWord.size(), 3u);
    for (const std::vector<int>* lines : {&longWord, &veryLong}) {
        const int full = lines->front();
        for (size_t i = 0; i + 2 < lines->size(); ++i)
            EXPECT_EQ((*lines)[i], full) << i;
    }
    EXPECT_EQ(longWord.front(), veryLong.front());
    EXPECT_EQ(std::accumulate(veryLong.begin(), veryLong.end(), 0), 60000 + 4);
}

// What Qt told the program's output. Kept from before the first test lays out any text, so
// that the layout's own handling of Qt's messages stands in front of it, as it stands in front
// of the program's output.
QStringList warnings;
QtMessageHandler printed = nullptr;

void keepWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg)
        warnings << message;
    printed(type, context, message);
}

struct KeepWarnings : ::testing::Environment {
    void SetUp() override { printed = qInstallMessageHandler(keepWarning); }
};
const ::testing::Environment* const keepWarnings =
    ::testing::AddGlobalTestEnvironment(new KeepWarnings);

} // namespace

// The font engine's own word on every glyph of every run: index 0 is the missing-glyph box.
// One name per script people write names in, regular and bold (the vehicle table's cells
// are bold), each with the family that draws its own script; and no word from Qt on the
// program's output about the families it passed over on the way.
TEST(LayoutFonts, EveryScriptHasItsGlyphs) {
    const struct {
        const char* script;
        const char* name;
        const char* family; // draws the characters Liberation Sans lacks; nullptr: none
    } cases[] = {
        {"Latin", "Dalric Vesk-Øster", nullptr},
        {"Greek", "Ελένη Παπαδοπούλου", nullptr},
        {"Cyrillic", "Дмитрий Иванов", nullptr},
        {"Arabic", "محمد الأحمد", "Noto Sans Arabic"},
        {"Hebrew", "דוד לוי", "Noto Sans Hebrew"},
        {"Devanagari", "अर्जुन शर्मा", "Noto Sans Devanagari"},
        {"Bengali", "সৌমিত্র দাস", "Noto Sans Bengali"},
        {"Tamil", "கார்த்திக் ராஜா", "Noto Sans Tamil"},
        {"Thai", "สมชาย ใจดี", "Noto Sans Thai"},
        {"Armenian", "Արամ Պետրոսյան", "Noto Sans Armenian"},
        {"Georgian", "ნინო ბერიძე", "Noto Sans Georgian"},
        {"Chinese", "王小明", "Noto Sans CJK JP"},
        {"Japanese", "山田 太郎 やまだ タロウ", "Noto Sans CJK JP"},
        {"Korean", "김민준", "Noto Sans CJK JP"},
        {"emoji", "Orwen 🚗👍🏽", "Noto Color Emoji"},
    };
    // Underlined: a run in another format than its paragraph's, as a bill's values are.
    for (const auto& [bold, underlined] : {std::pair{false, false}, {true, false}, {false, true}}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.script) + (bold ? " bold" : "") +
                         (underlined ? " underlined" : ""));
            Paragraph name = paragraph(QString::fromUtf8(c.name), format("Arial", 8, bold));
            if (underlined)
                name.runs.front().format.underline = Underline::Single;
            const auto laid = layout::layoutParagraph(name, 9360);
            QStringList families;
            for (const QGlyphRun& run : laid->shape->textLayout.glyphRuns()) {
                families << run.rawFont().familyName();
                EXPECT_FALSE(run.glyphIndexes().contains(0))
                    << run.rawFont().familyName().toStdString();
            }
            if (c.family) {
                EXPECT_TRUE(families.contains(QString::fromLatin1(c.family)))
                    << families.join(',').toStdString();
            } else {
                EXPECT_EQ(families, QStringList{QStringLiteral("Liberation Sans")});
            }
        }
    }
    EXPECT_EQ(warnings.filter(QStringLiteral("OpenType")).join(QLatin1Char('\n')).toStdString(),
              "");
}
