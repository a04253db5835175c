// word/document.xml into the model. What the model cannot hold (pictures, fields, nested
// tables, other sections' settings) is skipped; text inside containers such as hyperlinks,
// content controls and insertions is read as if it stood in the paragraph itself.
#include "EngineLimits.h"
#include "PackagePartReader.h"
#include "PackageReadXml.h"
#include "PackageReader.h"
#include "PackageXml.h"

#include <QSet>
#include <QXmlStreamReader>

namespace wordengine::package {

namespace {

// Word cannot make a table wider; a larger one would only pad memory with cells.
constexpr size_t kMostColumns = limits::kMaxColumns;
// Containers nested deeper than this are skipped, which bounds the reader's recursion.
constexpr int kDeepestContainer = 32;

bool isTextContainer(const QXmlStreamReader& xml) {
    for (const char* name : {"hyperlink", "ins", "smartTag", "fldSimple", "customXml", "sdt",
                             "sdtContent", "dir", "bdo", "moveTo"})
        if (isWord(xml, QLatin1StringView(name)))
            return true;
    return false;
}

bool isBlockContainer(const QXmlStreamReader& xml) {
    return isWord(xml, QLatin1StringView("sdt")) || isWord(xml, QLatin1StringView("sdtContent")) ||
           isWord(xml, QLatin1StringView("customXml"));
}

class BodyReader {
public:
    BodyReader(QXmlStreamReader& xml, const StyleSheet& styles, const PackageLimits& limits)
        : xml_(xml), styles_(styles), itemsLeft_(limits.maxItems),
          maxCharacters_(limits.maxCharacters), charactersLeft_(limits.maxCharacters) {}

    Document read() {
        enterRoot(xml_);
        if (!isWord(xml_, QLatin1StringView("document")))
            throw MalformedPart{QStringLiteral("the main part is not a WordprocessingML document")};
        Document document;
        document.body.clear();
        while (xml_.readNextStartElement()) {
            if (isWord(xml_, QLatin1StringView("body")))
                readBlocks(document, 0);
            else
                xml_.skipCurrentElement();
        }
        finish(xml_);
        normalise(document, emptyParagraph());
        return document;
    }

private:
    void count() {
        if (--itemsLeft_ < 0)
            throw MalformedPart{QStringLiteral("the document holds more paragraphs, runs, "
                                               "rows and cells than the engine can keep")};
    }

    // The runs' text, counted before it is added: the layout sets a paragraph as one string,
    // which Qt's shaping takes only up to a size.
    void take(qsizetype characters) {
        charactersLeft_ -= characters;
        if (charactersLeft_ < 0)
            throw OversizedPart{QStringLiteral("the document holds more than %1 characters of "
                                               "text, more than a document may have")
                                    .arg(maxCharacters_)};
    }

    // Every font name met; a document may name only so many.
    void noteFont(const QString& name) {
        if (fonts_.contains(name))
            return;
        fonts_.insert(name);
        if (fonts_.size() > limits::kMaxFonts)
            throw MalformedPart{
                QStringLiteral("the document uses more than %1 fonts").arg(limits::kMaxFonts)};
    }

    Paragraph emptyParagraph() const {
        Paragraph paragraph;
        paragraph.markFormat = styles_.base;
        return paragraph;
    }

    void readBlocks(Document& document, int depth) {
        while (xml_.readNextStartElement()) {
            if (isWord(xml_, QLatin1StringView("p"))) {
                document.body.emplace_back(readParagraph(&document.pageSetup));
            } else if (isWord(xml_, QLatin1StringView("tbl"))) {
                if (std::optional<Table> table = readTable())
                    document.body.emplace_back(std::move(*table));
            } else if (isWord(xml_, QLatin1StringView("sectPr"))) {
                readSection(document.pageSetup);
            } else if (isBlockContainer(xml_) && depth < kDeepestContainer) {
                readBlocks(document, depth + 1);
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    // setup receives a section break's page setup; in a cell there is none to receive.
    Paragraph readParagraph(PageSetup* setup) {
        count();
        Paragraph paragraph = emptyParagraph();
        readParagraphContent(paragraph, setup, 0);
        return paragraph;
    }

    void readParagraphContent(Paragraph& paragraph, PageSetup* setup, int depth) {
        while (xml_.readNextStartElement()) {
            if (isWord(xml_, QLatin1StringView("pPr"))) {
                readParagraphProperties(paragraph, setup);
            } else if (isWord(xml_, QLatin1StringView("r"))) {
                if (std::optional<Run> run = readRun())
                    paragraph.runs.push_back(std::move(*run));
            } else if (isTextContainer(xml_) && depth < kDeepestContainer) {
                readParagraphContent(paragraph, setup, depth + 1);
            } else {
                xml_.skipCurrentElement(); // deletions, bookmarks, fields' codes, ...
            }
        }
    }

    void readParagraphProperties(Paragraph& paragraph, PageSetup* setup) {
        while (xml_.readNextStartElement()) {
            if (isWord(xml_, QLatin1StringView("jc"))) {
                paragraph.alignment =
                    valueOf(kParagraphAlignmentNames, wordAttribute(xml_, QLatin1StringView("val")),
                            ParagraphAlignment::Left);
                xml_.skipCurrentElement();
            } else if (isWord(xml_, QLatin1StringView("rPr"))) {
                readRunProperties(xml_, paragraph.markFormat);
                noteFont(paragraph.markFormat.fontName);
            } else if (isWord(xml_, QLatin1StringView("sectPr")) && setup) {
                readSection(*setup);
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    // At a w:br: a vertical tab for a line break, a form feed for a page break.
    std::optional<QChar> breakCharacter() {
        if (!isWord(xml_, QLatin1StringView("br")))
            return std::nullopt;
        const QString type = wordAttribute(xml_, QLatin1StringView("type"));
        if (type.isEmpty() || type == QLatin1String("textWrapping"))
            return QChar(u'\v');
        if (type == QLatin1String("page"))
            return QChar(u'\f');
        return std::nullopt;
    }

    // A run that holds nothing the model keeps (a picture, a field character, a break) is
    // dropped; a run that holds nothing at all is kept, as the writer writes empty runs.
    std::optional<Run> readRun() {
        count();
        Run run;
        run.format = styles_.base;
        bool hasText = false;
        bool hasOther = false;
        while (xml_.readNextStartElement()) {
            if (isWord(xml_, QLatin1StringView("rPr"))) {
                readRunProperties(xml_, run.format);
                noteFont(run.format.fontName);
            } else if (isWord(xml_, QLatin1StringView("t"))) {
                QString text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
                // The model's runs hold no paragraph breaks; a line end inside the text is
                // only white space to Word.
                text.replace(u'\n', u' ');
                text.replace(u'\r', u' ');
                take(text.size());
                run.text += text;
                hasText = true;
            } else if (isWord(xml_, QLatin1StringView("tab"))) {
                take(1);
                run.text += u'\t';
                hasText = true;
                xml_.skipCurrentElement();
            } else if (const std::optional<QChar> c = breakCharacter()) {
                // A line or page break within the paragraph: the characters Word's model
                // holds for them. Column breaks are left out like other unknown content.
                take(1);
                run.text += *c;
                hasText = true;
                xml_.skipCurrentElement();
            } else {
                hasOther = true;
                xml_.skipCurrentElement();
            }
        }
        if (hasOther && !hasText)
            return std::nullopt;
        return run;
    }

    std::optional<Table> readTable() {
        Table table;
        table.format.heightRule = RowHeightRule::Auto;
        bool formatRead = false;
        while (xml_.readNextStartElement()) {
            if (isWord(xml_, QLatin1StringView("tblPr"))) {
                readTableProperties(table.format);
            } else if (isWord(xml_, QLatin1StringView("tr"))) {
                table.rows.push_back(readRow(table.format, formatRead));
                formatRead = true;
            } else {
                xml_.skipCurrentElement(); // the grid is recomputed from the text width
            }
        }
        if (table.rows.empty())
            return std::nullopt;
        size_t columns = 1;
        for (const Row& row : table.rows)
            columns = std::max(columns, row.cells.size());
        if (columns > kMostColumns)
            throw MalformedPart{QStringLiteral("a table has %1 columns; Word allows at most %2")
                                    .arg(columns)
                                    .arg(kMostColumns)};
        table.columns = int(columns);
        for (Row& row : table.rows) {
            while (row.cells.size() < columns) { // rows of merged or missing cells
                count();
                Cell cell;
                cell.paragraphs = {emptyParagraph()};
                row.cells.push_back(std::move(cell));
            }
        }
        return table;
    }

    void readTableProperties(TableFormat& format) {
        while (xml_.readNextStartElement()) {
            if (isWord(xml_, QLatin1StringView("tblStyle"))) {
                const QString id = wordAttribute(xml_, QLatin1StringView("val"));
                format.style = styles_.namesById.value(id, id);
            } else if (isWord(xml_, QLatin1StringView("tblLook"))) {
                readTableLook(format);
            }
            xml_.skipCurrentElement();
        }
    }

    // The four flags as attributes (Word 2010 on) or as bits of the older hexadecimal value.
    void readTableLook(TableFormat& format) {
        bool ok = false;
        const int bits = wordAttribute(xml_, QLatin1StringView("val")).toInt(&ok, 16);
        struct Flag {
            const char* name;
            int bit;
            bool TableFormat::*field;
        };
        static constexpr Flag flags[] = {
            {"firstRow", 0x0020, &TableFormat::applyStyleHeadingRows},
            {"lastRow", 0x0040, &TableFormat::applyStyleLastRow},
            {"firstColumn", 0x0080, &TableFormat::applyStyleFirstColumn},
            {"lastColumn", 0x0100, &TableFormat::applyStyleLastColumn},
        };
        for (const Flag& flag : flags) {
            const QString value = wordAttribute(xml_, QLatin1StringView(flag.name));
            if (!value.isNull())
                format.*flag.field = value == QLatin1StringView("1") ||
                                     value == QLatin1StringView("true") ||
                                     value == QLatin1StringView("on");
            else
                format.*flag.field = ok && (bits & flag.bit);
        }
    }

    // The model keeps one height for the whole table: the first row's.
    Row readRow(TableFormat& format, bool formatRead) {
        count(); // an empty row costs memory too
        Row row;
        readRowContent(row, format, formatRead, 0);
        return row;
    }

    void readRowContent(Row& row, TableFormat& format, bool formatRead, int depth) {
        while (xml_.readNextStartElement()) {
            if (isWord(xml_, QLatin1StringView("trPr")) && !formatRead) {
                readRowProperties(format);
            } else if (isWord(xml_, QLatin1StringView("tc"))) {
                row.cells.push_back(readCell());
            } else if (isBlockContainer(xml_) && depth < kDeepestContainer) {
                readRowContent(row, format, formatRead, depth + 1);
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    void readRowProperties(TableFormat& format) {
        while (xml_.readNextStartElement()) {
            if (isWord(xml_, QLatin1StringView("trHeight"))) {
                const QString rule = wordAttribute(xml_, QLatin1StringView("hRule"));
                // An absent rule means "at least" in WordprocessingML.
                format.heightRule = valueOf(kRowHeightRuleNames, rule, RowHeightRule::AtLeast);
                const auto twips = measure(wordAttribute(xml_, QLatin1StringView("val")), 20.0);
                format.height =
                    format.heightRule == RowHeightRule::Auto
                        ? 0.0
                        : std::clamp(twips.value_or(0.0) / 20.0, 0.0, limits::kMaxPageLength);
            }
            xml_.skipCurrentElement();
        }
    }

    Cell readCell() {
        count();
        Cell cell;
        cell.paragraphs.clear();
        readCellContent(cell, 0);
        if (cell.paragraphs.empty()) // a cell always ends in a paragraph mark
            cell.paragraphs.push_back(emptyParagraph());
        return cell;
    }

    void readCellContent(Cell& cell, int depth) {
        while (xml_.readNextStartElement()) {
            if (isWord(xml_, QLatin1StringView("tcPr"))) {
                while (xml_.readNextStartElement()) {
                    if (isWord(xml_, QLatin1StringView("vAlign")))
                        cell.verticalAlignment = valueOf(
                            kCellAlignmentNames, wordAttribute(xml_, QLatin1StringView("val")),
                            CellVerticalAlignment::Top);
                    xml_.skipCurrentElement();
                }
            } else if (isWord(xml_, QLatin1StringView("p"))) {
                cell.paragraphs.push_back(readParagraph(nullptr));
            } else if (isBlockContainer(xml_) && depth < kDeepestContainer) {
                readCellContent(cell, depth + 1);
            } else {
                xml_.skipCurrentElement(); // nested tables have no place in the model
            }
        }
    }

    void readSection(PageSetup& s);

    QXmlStreamReader& xml_;
    const StyleSheet& styles_;
    qint64 itemsLeft_;
    const qint64 maxCharacters_;
    qint64 charactersLeft_;
    QSet<QString> fonts_;
};

std::optional<double> points(const QXmlStreamReader& xml, const char* attribute) {
    const auto twips = measure(wordAttribute(xml, QLatin1StringView(attribute)), 20.0);
    return twips ? std::optional<double>(*twips / 20.0) : std::nullopt;
}

void BodyReader::readSection(PageSetup& s) {
    s.lineNumberingActive = false;
    s.firstPageTray = s.otherPagesTray = 0;
    s.suppressEndnotes = s.differentFirstPageHeaderFooter = false;
    if (s.gutterPos == GutterPosition::Right)
        s.gutterPos = GutterPosition::Left;
    while (xml_.readNextStartElement()) {
        const auto set = [&](double& field, const char* attribute) {
            if (const auto value = points(xml_, attribute))
                field = *value;
        };
        const auto setInt = [&](int& field, const char* attribute) {
            if (const auto value = integer(wordAttribute(xml_, QLatin1StringView(attribute))))
                field = *value;
        };
        const QString val = wordAttribute(xml_, QLatin1StringView("val"));
        if (isWord(xml_, QLatin1StringView("type"))) {
            s.sectionStart = valueOf(kSectionStartNames, val, SectionStart::NewPage);
        } else if (isWord(xml_, QLatin1StringView("pgSz"))) {
            set(s.pageWidth, "w");
            set(s.pageHeight, "h");
            s.orientation =
                valueOf(kOrientationNames, wordAttribute(xml_, QLatin1StringView("orient")),
                        PageOrientation::Portrait);
        } else if (isWord(xml_, QLatin1StringView("pgMar"))) {
            set(s.topMargin, "top");
            set(s.rightMargin, "right");
            set(s.bottomMargin, "bottom");
            set(s.leftMargin, "left");
            set(s.headerDistance, "header");
            set(s.footerDistance, "footer");
            set(s.gutter, "gutter");
        } else if (isWord(xml_, QLatin1StringView("paperSrc"))) {
            setInt(s.firstPageTray, "first");
            setInt(s.otherPagesTray, "other");
        } else if (isWord(xml_, QLatin1StringView("lnNumType"))) {
            s.lineNumberingActive =
                integer(wordAttribute(xml_, QLatin1StringView("countBy"))).value_or(1) > 0;
        } else if (isWord(xml_, QLatin1StringView("vAlign"))) {
            s.verticalAlignment = valueOf(kPageAlignmentNames, val, PageVerticalAlignment::Top);
        } else if (isWord(xml_, QLatin1StringView("noEndnote"))) {
            s.suppressEndnotes = onOffValue(xml_);
        } else if (isWord(xml_, QLatin1StringView("titlePg"))) {
            s.differentFirstPageHeaderFooter = onOffValue(xml_);
        } else if (isWord(xml_, QLatin1StringView("rtlGutter"))) {
            if (onOffValue(xml_))
                s.gutterPos = GutterPosition::Right;
        }
        xml_.skipCurrentElement();
    }
}

} // namespace

Document readDocumentXml(const QByteArray& bytes, const StyleSheet& styles,
                         const PackageLimits& limits) {
    PackagePartReader part(bytes, limits);
    return BodyReader(part.xml(), styles, limits).read();
}

} // namespace wordengine::package
