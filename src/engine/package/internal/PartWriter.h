#pragma once
// Writes one package part as UTF-8 straight into a byte array. The output is what
// QXmlStreamWriter writes without auto-formatting, call for call (its method names are kept),
// but a bill's document is some eight thousand calls: this writer encodes and escapes each
// string as it appends it, with no string built on the way.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstring>
#include <vector>

namespace wordengine::package {

class PartWriter {
public:
    // Starts the part with the XML declaration Word writes (standalone), with room for
    // `expectedBytes` made at once.
    explicit PartWriter(qsizetype expectedBytes = 4096);

    void writeStartElement(const QString& name);
    // An element that takes attributes but no content; closed by whatever is written next.
    void writeEmptyElement(const QString& name);
    void writeAttribute(QStringView name, QStringView value);
    // The same, for a number: no string is made of it.
    void writeAttribute(QStringView name, int value);
    void writeDefaultNamespace(QStringView uri) { writeAttribute(u"xmlns", uri); }
    // Text, escaped. Characters XML cannot hold (C0 controls but tab, line feed and carriage
    // return; U+FFFE, U+FFFF) are left out, as QXmlStreamWriter leaves them out.
    void writeCharacters(QStringView text);
    void writeTextElement(const QString& name, QStringView text);
    // An element with nothing written in it is closed as an empty one: <name/>.
    void writeEndElement();
    // Closes every open element and ends the part with a line feed.
    void writeEndDocument();

    // A fragment that opens and closes all its elements may be kept and written again as it
    // stands, where the same calls would write the same bytes: beginFragment() closes a start
    // tag left open and tells where the fragment begins, fragmentFrom() gives its bytes once
    // it is written, and writeFragment() writes such bytes in place of the calls.
    qsizetype beginFragment();
    QByteArray fragmentFrom(qsizetype start) const {
        return QByteArray(out.constData() + start, used - start);
    }
    void writeFragment(QByteArrayView bytes);

    // The part's bytes; the writer is empty afterwards.
    QByteArray take();

private:
    // Room for `bytes` more at the end, where the next ones go; `used` moves on only as they
    // are written. The byte array's own append is a general insert, some ten times the work
    // of these.
    char* room(qsizetype bytes) {
        if (bytes > out.size() - used)
            grow(bytes);
        return out.data() + used;
    }
    void grow(qsizetype bytes);
    void append(char c) { *room(1) = c, ++used; }
    template <size_t N> void append(const char (&text)[N]) {
        std::memcpy(room(N - 1), text, N - 1);
        used += N - 1;
    }
    void append(QByteArrayView bytes);
    void finishStartTag();
    void appendName(QStringView name);
    void appendEscaped(QStringView text, bool inAttribute);
    void appendEscapedPiece(QStringView text, bool inAttribute);

    QByteArray out; // its size is the room made; the part is the first `used` bytes
    qsizetype used = 0;
    std::vector<QString> open; // the names of the open elements, innermost last
    bool inStartTag = false;
    bool inEmptyElement = false;
};

} // namespace wordengine::package
