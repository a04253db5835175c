#pragma once
// Shared by the package tests: documents to save, packages built by hand, and a look at the
// zip central directory that does not go through the code under test.

#include "Model.h"
#include "ModelPrinting.h"
#include "PackageParts.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <ostream>
#include <vector>

// Readable failure messages for QString comparisons.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace packagetest {

using namespace wordengine;

inline CharFormat format(double size, bool bold = false, Underline underline = Underline::None,
                         const QString& font = QStringLiteral("Arial")) {
    CharFormat f;
    f.fontName = font;
    f.size = size;
    f.bold = bold;
    f.underline = underline;
    return f;
}

inline Paragraph paragraph(std::vector<Run> runs,
                           ParagraphAlignment alignment = ParagraphAlignment::Left,
                           CharFormat mark = CharFormat{}) {
    Paragraph p;
    p.runs = std::move(runs);
    p.alignment = alignment;
    p.markFormat = mark;
    return p;
}

inline Table table(int rows, int columns, const QString& style = QStringLiteral("Table Grid")) {
    Table t;
    t.columns = columns;
    t.rows.assign(size_t(rows), Row{std::vector<Cell>(size_t(columns))});
    t.format.style = style;
    return t;
}

// A document shaped like the bill of sale: a title, text with underlined padded values, a
// two-column table with vertically centred bold cells, more text and a one-column table.
inline Document billOfSale() {
    const CharFormat body = format(11), under = format(11, false, Underline::Single),
                     title = format(16, true);
    const CharFormat cell = format(8, true);
    Document d;
    d.body.clear();
    d.body.push_back(paragraph({{QStringLiteral("Motor Vehicle Bill of Sale"), title}},
                               ParagraphAlignment::Center, title));
    d.body.push_back(paragraph({}, ParagraphAlignment::Center, title));
    d.body.push_back(
        paragraph({{QStringLiteral("BE IT KNOWN, that for payment in the sum of $"), body},
                   {QStringLiteral("  $4,500.00  "), under},
                   {QStringLiteral(", the full receipt of which is acknowledged"), body}},
                  ParagraphAlignment::Left, body));
    d.body.push_back(paragraph({}, ParagraphAlignment::Left, body));
    Table vehicle = table(2, 2);
    vehicle.format.heightRule = RowHeightRule::AtLeast;
    vehicle.format.height = 21.6;
    vehicle.format.applyStyleLastRow = vehicle.format.applyStyleLastColumn = true;
    const char* labels[] = {"Make: Ford", "Model or series:  Focus", "Year: 2011", "Color: Blue"};
    for (int i = 0; i < 4; ++i) {
        Cell& c = vehicle.rows[size_t(i / 2)].cells[size_t(i % 2)];
        c.verticalAlignment = CellVerticalAlignment::Center;
        c.paragraphs = {
            paragraph({{QString::fromLatin1(labels[i]), cell}}, ParagraphAlignment::Left, cell)};
    }
    d.body.push_back(vehicle);
    d.body.push_back(paragraph({{QStringLiteral("Seller allows the Buyer "), format(8)},
                                {QStringLiteral("  3  "), format(8, false, Underline::Single)},
                                {QStringLiteral("days.\tEnd"), format(8)}},
                               ParagraphAlignment::Left, format(8)));
    Table signatures = table(2, 1);
    signatures.format.heightRule = RowHeightRule::AtLeast;
    signatures.format.height = 21.6;
    signatures.rows[1].cells[0].paragraphs = {paragraph(
        {{QStringLiteral("Print name of witness: Ann"), cell}}, ParagraphAlignment::Left, cell)};
    d.body.push_back(signatures);
    d.body.push_back(paragraph({}, ParagraphAlignment::Left, cell));
    return d;
}

// A package of the given entries, zipped by the packager.
inline QByteArray zipOf(std::vector<package::PackagePart> parts) {
    return package::zipParts(parts);
}

// The package the writer makes, with one part replaced (or added).
inline QByteArray packageWith(const QString& name, const QByteArray& data,
                              const Document& document = Document{}) {
    auto parts = package::packageParts(document, 1, QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
    bool replaced = false;
    for (auto& part : parts)
        if (part.name == name) {
            part.data = data;
            replaced = true;
        }
    if (!replaced)
        parts.push_back({name, data});
    return zipOf(parts);
}

struct CentralEntry {
    QString name;
    int madeBySystem;
    uint32_t externalAttributes;
};

inline uint32_t little(const QByteArray& b, qsizetype at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | uint8_t(b[at + i]);
    return v;
}

// The entries of the central directory, read straight from the bytes.
inline std::vector<CentralEntry> centralDirectory(const QByteArray& zip) {
    std::vector<CentralEntry> entries;
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0)
        return entries;
    const uint32_t count = little(zip, end + 10, 2);
    qsizetype at = qsizetype(little(zip, end + 16, 4));
    for (uint32_t i = 0; i < count && at + 46 <= zip.size(); ++i) {
        const uint32_t nameLength = little(zip, at + 28, 2);
        entries.push_back({QString::fromUtf8(zip.mid(at + 46, nameLength)),
                           int(little(zip, at + 4, 2) >> 8), little(zip, at + 38, 4)});
        at += 46 + nameLength + little(zip, at + 30, 2) + little(zip, at + 32, 2);
    }
    return entries;
}

} // namespace packagetest
