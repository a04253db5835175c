#include "PartWriter.h"

#include <algorithm>
#include <charconv>

namespace wordengine::package {

PartWriter::PartWriter(qsizetype expectedBytes) {
    out.resize(std::max<qsizetype>(expectedBytes, 64));
    append(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)");
}

void PartWriter::grow(qsizetype bytes) {
    out.resize(std::max(used + bytes, out.size() * 2));
}

void PartWriter::append(QByteArrayView bytes) {
    std::memcpy(room(bytes.size()), bytes.data(), size_t(bytes.size()));
    used += bytes.size();
}

void PartWriter::finishStartTag() {
    if (!inStartTag)
        return;
    if (inEmptyElement) {
        append("/>");
        open.pop_back();
    } else {
        append('>');
    }
    inStartTag = inEmptyElement = false;
}

void PartWriter::writeStartElement(const QString& name) {
    finishStartTag();
    open.push_back(name);
    append('<');
    appendName(name);
    inStartTag = true;
}

void PartWriter::writeEmptyElement(const QString& name) {
    writeStartElement(name);
    inEmptyElement = true;
}

void PartWriter::writeAttribute(QStringView name, QStringView value) {
    append(' ');
    appendName(name);
    append("=\"");
    appendEscaped(value, true);
    append('"');
}

void PartWriter::writeAttribute(QStringView name, int value) {
    append(' ');
    appendName(name);
    append("=\"");
    char digits[16];
    append(
        QByteArrayView(digits, std::to_chars(digits, digits + sizeof digits, value).ptr - digits));
    append('"');
}

void PartWriter::writeCharacters(QStringView text) {
    finishStartTag();
    appendEscaped(text, false);
}

void PartWriter::writeTextElement(const QString& name, QStringView text) {
    writeStartElement(name);
    writeCharacters(text);
    writeEndElement();
}

void PartWriter::writeEndElement() {
    if (open.empty())
        return;
    if (inStartTag && !inEmptyElement) {
        append("/>");
        open.pop_back();
        inStartTag = false;
        return;
    }
    finishStartTag();
    if (open.empty())
        return;
    append("</");
    appendName(open.back());
    append('>');
    open.pop_back();
}

void PartWriter::writeEndDocument() {
    while (!open.empty())
        writeEndElement();
    append('\n');
}

qsizetype PartWriter::beginFragment() {
    finishStartTag();
    return used;
}

void PartWriter::writeFragment(QByteArrayView bytes) {
    finishStartTag();
    append(bytes);
}

QByteArray PartWriter::take() {
    open.clear();
    inStartTag = inEmptyElement = false;
    out.truncate(std::exchange(used, 0));
    return std::exchange(out, QByteArray());
}

// Element and attribute names are the writers' own, plain ASCII.
void PartWriter::appendName(QStringView name) {
    char* to = room(name.size());
    for (const QChar c : name)
        *to++ = char(c.unicode());
    used += name.size();
}

// In pieces, so that the room made for each (below) stays small for a long value; a piece
// never ends between the two halves of a surrogate pair.
void PartWriter::appendEscaped(QStringView text, bool inAttribute) {
    constexpr qsizetype piece = 4096;
    while (text.size() > piece) {
        const qsizetype cut = text[piece - 1].isHighSurrogate() ? piece + 1 : piece;
        appendEscapedPiece(text.first(cut), inAttribute);
        text = text.sliced(cut);
    }
    appendEscapedPiece(text, inAttribute);
}

// Written into room made for the longest form (an entity for each character), which is then
// cut to what was written: no check of the room per byte.
void PartWriter::appendEscapedPiece(QStringView text, bool inAttribute) {
    char* const start = room(6 * text.size());
    char* to = start;
    const auto put = [&to](const char* entity) {
        while (*entity)
            *to++ = *entity++;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            switch (u) {
            case u'<':
                put("&lt;");
                break;
            case u'>':
                put("&gt;");
                break;
            case u'&':
                put("&amp;");
                break;
            case u'"':
                put("&quot;");
                break;
            case u'\t':
                put(inAttribute ? "&#9;" : "\t");
                break;
            case u'\n':
                put(inAttribute ? "&#10;" : "\n");
                break;
            case u'\r':
                put(inAttribute ? "&#13;" : "\r");
                break;
            default:
                if (u >= 0x20)
                    *to++ = char(u);
            }
        } else if (u < 0x800) {
            *to++ = char(0xC0 | (u >> 6));
            *to++ = char(0x80 | (u & 0x3F));
        } else if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(u, text[++i].unicode());
            *to++ = char(0xF0 | (code >> 18));
            *to++ = char(0x80 | ((code >> 12) & 0x3F));
            *to++ = char(0x80 | ((code >> 6) & 0x3F));
            *to++ = char(0x80 | (code & 0x3F));
        } else if (QChar::isSurrogate(u)) {
            const QByteArray alone = text.sliced(i, 1).toUtf8(); // as Qt's encoder writes it
            for (const char c : alone.left(6))
                *to++ = c;
        } else if (u < 0xFFFE) {
            *to++ = char(0xE0 | (u >> 12));
            *to++ = char(0x80 | ((u >> 6) & 0x3F));
            *to++ = char(0x80 | (u & 0x3F));
        }
    }
    used += to - start;
}

} // namespace wordengine::package
