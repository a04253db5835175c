// libFuzzer target for the settings file: any bytes as Marrowind.ini, written one key at a
// time as the entry window writes it. The input is a key (first byte: which of the sale's
// sixteen), a value (second byte: how many UTF-16 units follow, any units at all, halves of
// surrogate pairs included), and the file's bytes after them.
//
// Checked on every input: the value written reads back; writing it again changes nothing;
// every other key reads as it did; the file changes only in the lines of the key written (or,
// where it had none, by the lines added for it); and a byte-order mark before the file
// changes neither what is read nor what is written.
#include "FuzzChecks.h"
#include "IniText.h"
#include "SaleFields.h"

#include <QList>
#include <cstdint>

using fuzzing::check;

namespace {

const QString section = QString::fromLatin1(settingsSection);
constexpr QByteArrayView byteOrderMark("\xEF\xBB\xBF");

struct TextLine {
    QByteArray text, end;
    bool operator==(const TextLine&) const = default;
};

// Line ends as people and other programs write them: LF, CRLF or CR alone.
QList<TextLine> linesOf(QByteArrayView bytes) {
    QList<TextLine> lines;
    for (qsizetype i = 0; i < bytes.size();) {
        qsizetype end = i;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        const qsizetype next = end + (bytes.sliced(end).startsWith("\r\n") ? 2
                                      : end < bytes.size()                 ? 1
                                                                           : 0);
        lines.append(TextLine{bytes.sliced(i, end - i).toByteArray(),
                              bytes.sliced(end, next - end).toByteArray()});
        i = next;
    }
    return lines;
}

QByteArray joined(const QList<TextLine>& lines, qsizetype count) {
    QByteArray bytes;
    for (qsizetype i = 0; i < count; ++i)
        bytes += lines[i].text + lines[i].end;
    return bytes;
}

QByteArray keyLine(const QString& key, const QString& value) {
    return ini::escapedKey(key) + '=' + ini::escapedValue(value);
}

// Whether line `i` is, for the reader, a line of `key` in our section: a line of the key put
// in its place is read, and the line alone under our section's header is replaced.
bool isLineOfKey(QByteArrayView mark, const QList<TextLine>& lines, qsizetype i,
                 const QString& key) {
    const QString marker = QStringLiteral("marker");
    const QByteArray header = '[' + ini::escapedKey(section) + "]\n";
    return ini::value(mark.toByteArray() + joined(lines, i) + keyLine(key, marker), section, key) ==
               marker &&
           ini::withValue(header + lines[i].text + '\n', section, key, marker) ==
               header + keyLine(key, marker) + '\n';
}

// Past the byte-order mark `mark`, which the file keeps.
void checkOnlyTheKeyChanged(const QByteArray& wholeBefore, const QByteArray& wholeAfter,
                            QByteArrayView mark, const QString& key, const QString& value) {
    const QByteArrayView before = QByteArrayView(wholeBefore).sliced(mark.size());
    const QByteArrayView after = QByteArrayView(wholeAfter).sliced(mark.size());
    const QByteArray written = keyLine(key, value);
    const QList<TextLine> old = linesOf(before), now = linesOf(after);
    if (old.size() == now.size()) {
        for (qsizetype i = 0; i < old.size(); ++i)
            if (now[i] != old[i])
                check(now[i] == TextLine{written, old[i].end} && isLineOfKey(mark, old, i, key),
                      "a line that is not the key's changed", QString::number(i + 1));
        return;
    }
    check(after.size() > before.size() && !ini::value(wholeBefore, section, key),
          "the key was added although it was there, or lines went");
    // Added, where a line starts or at the end: our section's header when it had none, the
    // key's line, and line ends (one for a last line without one).
    const qsizetype grown = after.size() - before.size();
    qsizetype at = 0;
    while (at < before.size() && before[at] == after[at])
        ++at;
    const auto lineStarts = [&](qsizetype i) {
        return i == 0 || before[i - 1] == '\n' ||
               (before[i - 1] == '\r' && (i == before.size() || before[i] != '\n')) ||
               (i == before.size() && (after[i] == '\n' || after[i] == '\r'));
    };
    while (at > 0 && !(lineStarts(at) && after.sliced(at + grown) == before.sliced(at)))
        --at;
    check(after.sliced(at + grown) == before.sliced(at), "bytes beside the added ones changed");
    const QByteArrayView added = after.sliced(at, grown);
    qsizetype keyLines = 0;
    for (const TextLine& line : linesOf(added)) {
        keyLines += line.text == written;
        check(line.text == written || line.text.isEmpty() ||
                  line.text == '[' + ini::escapedKey(section) + ']',
              "an added line is neither the key's nor its section's", line.text);
    }
    check(keyLines == 1, "not one line added for the key");
}

// An input as the target reads it: the key's place among the sixteen, the value, the file.
QByteArray input(int key, QStringView value, const QByteArray& file) {
    QByteArray bytes;
    bytes += char(key);
    bytes += char(value.size());
    for (const QChar c : value) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes + file;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::writeSeedsIfAsked({
        input(3, u"Ford", "[Vantorel]\nMake=Opel\nModel=T\n"),
        input(5, u"A", "\xEF\xBB\xBF[Other]\r\nX=1\r\n[Vantorel]\r\n"),
        input(0, u";", "[Vantorel]\nAmount%20Of%20Motor%20Vehicle=a,b ; list"),
        input(7, u"", "[Vantorel\nMake=\"x\\\"y\" ; c\r[Vantorel]\rVIN=\\x41"),
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const QString key = saleFields()[data[0] % saleFieldCount].keyName();
    const size_t units = qMin<size_t>(data[1], (size - 2) / 2);
    QString value(qsizetype(units), Qt::Uninitialized);
    for (size_t i = 0; i < units; ++i)
        value[qsizetype(i)] = QChar(char16_t(data[2 + 2 * i] | data[3 + 2 * i] << 8));
    const size_t start = 2 + 2 * units;
    const QByteArray before(reinterpret_cast<const char*>(data + start), qsizetype(size - start));

    const QByteArray after = ini::withValue(before, section, key, value);
    check(ini::value(after, section, key) == value, "the value written does not read back",
          QString::fromUtf8(after));
    check(ini::withValue(after, section, key, value) == after, "a second write changed the file");
    for (const SaleField& field : saleFields())
        if (field.keyName() != key)
            check(ini::value(after, section, field.keyName()) ==
                      ini::value(before, section, field.keyName()),
                  "another key reads otherwise after the write", field.keyName());
    const QByteArrayView mark = before.startsWith(byteOrderMark) ? byteOrderMark : "";
    check(after.startsWith(mark), "the byte-order mark went");
    checkOnlyTheKeyChanged(before, after, mark, key, value);
    if (mark.isEmpty()) {
        const QByteArray marked = byteOrderMark.toByteArray() + before;
        for (const SaleField& field : saleFields())
            check(ini::value(marked, section, field.keyName()) ==
                      ini::value(before, section, field.keyName()),
                  "a byte-order mark changes what is read", field.keyName());
        check(ini::withValue(marked, section, key, value) == byteOrderMark.toByteArray() + after,
              "a byte-order mark changes what is written");
    }
    return 0;
}
