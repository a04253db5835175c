// Word's line break (vertical tab) and page break (form feed) in a run: written as the
// elements Word writes for them, and read back as the same characters.
#include "Package.h"
#include "PackageReader.h"
#include "PackageZipReader.h"
#include "package_test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace wordengine;
using namespace packagetest;

namespace {

// The run elements of the first paragraph, from the first <w:t or <w:tab or <w:br on.
QString runContent(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    package::PackageZipReader zip(f.readAll(), path, {});
    const QString xml = QString::fromUtf8(zip.read(QStringLiteral("word/document.xml")));
    const qsizetype start = xml.indexOf(QStringLiteral("</w:rPr>"), xml.indexOf(u"<w:r>")) + 8;
    return xml.mid(start, xml.indexOf(QStringLiteral("</w:r>"), start) - start);
}

TEST(PackageBreaks, WrittenAsWordWritesThemAndReadBack) {
    const struct {
        const char* name;
        QString text;
        QString xml;
    } cases[] = {
        {"line break", QStringLiteral("a\vb"), QStringLiteral("<w:t>a</w:t><w:br/><w:t>b</w:t>")},
        {"page break", QStringLiteral("a\fb"),
         QStringLiteral("<w:t>a</w:t><w:br w:type=\"page\"/><w:t>b</w:t>")},
        {"breaks, a tab and blanks side by side", QStringLiteral("\v\f\t a \v"),
         QStringLiteral("<w:br/><w:br w:type=\"page\"/><w:tab/>"
                        "<w:t xml:space=\"preserve\"> a </w:t><w:br/>")},
        {"other control characters are still left out", QStringLiteral("a\x01\vb\x1f"),
         QStringLiteral("<w:t>a</w:t><w:br/><w:t>b</w:t>")},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Document d;
        d.body = {paragraph({{c.text, format(11)}})};
        const QString path = dir.filePath(QStringLiteral("breaks.doc"));
        savePackage(d, 1, path);
        EXPECT_EQ(runContent(path), c.xml);
        QString kept = c.text;
        kept.remove(QChar(0x01)).remove(QChar(0x1f));
        const Document opened = openPackage(path);
        EXPECT_EQ(std::get<Paragraph>(opened.body[0]).text(), kept);
    }
}

TEST(PackageBreaks, ForeignBreaksAreReadByTheirType) {
    const QByteArray xml = QByteArray(
        R"(<?xml version="1.0"?><x:document xmlns:x="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><x:body>)"
        R"(<x:p><x:r><x:t>a</x:t><x:br/><x:t>b</x:t><x:br x:type="textWrapping"/>)"
        R"(<x:br x:type="page"/><x:br x:type="column"/><x:t>c</x:t></x:r></x:p>)"
        "</x:body></x:document>");
    const Document opened = package::readPackage(
        zipOf({{QStringLiteral("word/document.xml"), xml}}), QStringLiteral("foreign.docx"));
    EXPECT_EQ(std::get<Paragraph>(opened.body.at(0)).text(), QStringLiteral("a\vb\v\fc"));
}

} // namespace
