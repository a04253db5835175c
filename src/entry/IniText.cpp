#include "IniText.h"

#include <QList>
#include <QStringDecoder>

namespace ini {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

bool isHexDigit(char16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int octValue(char c) {
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

// One line of the file: [start, end) is its text, [end, next) its line end.
struct Line {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

// Some editors start a UTF-8 file with a byte-order mark. It is no part of the first line,
// and it stays at the start of the file when a key changes.
constexpr QByteArrayView byteOrderMark("\xEF\xBB\xBF");

qsizetype startOfText(const QByteArray& text) {
    return text.startsWith(byteOrderMark) ? byteOrderMark.size() : 0;
}

QList<Line> splitLines(const QByteArray& text) {
    QList<Line> lines;
    qsizetype i = startOfText(text);
    while (i < text.size()) {
        Line line{i, i, i};
        while (line.end < text.size() && text[line.end] != '\n' && text[line.end] != '\r')
            ++line.end;
        line.next = line.end;
        if (line.next < text.size()) {
            const bool crlf = text[line.next] == '\r' && line.next + 1 < text.size() &&
                              text[line.next + 1] == '\n';
            line.next += crlf ? 2 : 1;
        }
        lines.append(line);
        i = line.next;
    }
    return lines;
}

QString unescapedKey(QByteArrayView key) {
    QString result;
    qsizetype i = 0;
    while (i < key.size()) {
        const char ch = key[i];
        if (ch == '\\') {
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch == '%' && i + 1 < key.size()) {
            const bool wide = key[i + 1] == 'U';
            const qsizetype first = i + (wide ? 2 : 1);
            const qsizetype digits = wide ? 4 : 2;
            if (first + digits <= key.size()) {
                char16_t code = 0;
                bool ok = true;
                for (qsizetype d = 0; d < digits && ok; ++d) {
                    const int h = hexValue(key[first + d]);
                    ok = h >= 0;
                    code = char16_t(code * 16 + h);
                }
                if (ok) {
                    result += QChar(code);
                    i = first + digits;
                    continue;
                }
            }
        }
        qsizetype j = i + 1;
        while (j < key.size() && key[j] != '%' && key[j] != '\\')
            ++j;
        result += QString::fromUtf8(key.sliced(i, j - i));
        i = j;
    }
    return result;
}

// The parts of a line: a section header, or a key and its value, as QSettings reads them.
struct Parsed {
    enum Kind { Other, Section, Key } kind = Other;
    QString name;         // the section's or the key's name
    QByteArrayView value; // the value's text, escapes and quotes included
};

Parsed parse(const QByteArray& text, const Line& line) {
    qsizetype i = line.start;
    while (i < line.end && isBlank(text[i]))
        ++i;
    Parsed parsed;
    if (i == line.end || text[i] == ';')
        return parsed;
    if (text[i] == '[') {
        qsizetype close = i + 1;
        while (close < line.end && text[close] != ']')
            ++close;
        parsed.kind = Parsed::Section;
        parsed.name = unescapedKey(QByteArrayView(text).sliced(i + 1, close - i - 1).trimmed());
        return parsed;
    }
    // The first "=" outside quotes ends the key; a ";" outside quotes starts a comment.
    qsizetype equals = -1;
    qsizetype end = line.end;
    bool quoted = false;
    for (qsizetype j = i; j < line.end; ++j) {
        const char ch = text[j];
        if (ch == '\\') {
            ++j;
        } else if (ch == '"') {
            quoted = !quoted;
        } else if (ch == '=' && !quoted && equals < 0) {
            equals = j;
        } else if (ch == ';' && !quoted) {
            end = j;
            break;
        }
    }
    if (equals < 0)
        return parsed;
    qsizetype keyEnd = equals;
    while (keyEnd > i && isBlank(text[keyEnd - 1]))
        --keyEnd;
    parsed.kind = Parsed::Key;
    parsed.name = unescapedKey(QByteArrayView(text).sliced(i, keyEnd - i));
    parsed.value = QByteArrayView(text).sliced(equals + 1, end - equals - 1);
    return parsed;
}

// QString::fromUtf8 drops a U+FEFF that comes first in what it decodes; in a value it is a
// character like any other, and QSettings keeps it.
QString utf8Text(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

void chopTrailingBlanks(QString& s, qsizetype limit) {
    qsizetype n = s.size();
    while (n > limit && (s[n - 1] == QLatin1Char(' ') || s[n - 1] == QLatin1Char('\t')))
        --n;
    s.truncate(n);
}

// The value's text without its quotes and escapes; absent when it is a list.
std::optional<QString> unescapedValue(QByteArrayView str) {
    static const char codes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                    {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                    {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QString result;
    bool quotedNow = false;
    bool wasQuoted = false;
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < str.size() && (str[i] == ' ' || str[i] == '\t'))
            ++i;
    };
    skipBlanks();
    qsizetype chopLimit = 0;
    while (i < str.size()) {
        const char ch = str[i];
        if (ch == '\\') {
            if (++i >= str.size())
                break;
            const char code = str[i++];
            bool named = false;
            for (const auto& c : codes)
                if (code == c[0]) {
                    result += QLatin1Char(c[1]);
                    named = true;
                    break;
                }
            if (!named) {
                const bool hex = code == 'x';
                if (hex || octValue(code) >= 0) {
                    char16_t v = hex ? 0 : char16_t(octValue(code));
                    const int base = hex ? 16 : 8;
                    while (i < str.size()) {
                        const int d = hex ? hexValue(str[i]) : octValue(str[i]);
                        if (d < 0)
                            break;
                        v = char16_t(v * base + d);
                        ++i;
                    }
                    result += QChar(v);
                }
                // Any other escaped character is dropped, as QSettings drops it.
            }
            chopLimit = result.size();
        } else if (ch == '"') {
            ++i;
            wasQuoted = true;
            quotedNow = !quotedNow;
            if (!quotedNow)
                skipBlanks();
        } else if (ch == ',' && !quotedNow) {
            return std::nullopt; // a list, which no value of ours is
        } else {
            qsizetype j = i + 1;
            while (j < str.size() && str[j] != '\\' && str[j] != '"' && str[j] != ',')
                ++j;
            result += utf8Text(str.sliced(i, j - i));
            i = j;
        }
    }
    if (!wasQuoted)
        chopTrailingBlanks(result, chopLimit);
    return result;
}

// QSettings' notation for types other than text: "@@" stands for a leading "@", and
// "@String(...)" for a text holding NUL characters.
std::optional<QString> textOf(const QString& s) {
    if (!s.startsWith(QLatin1Char('@')))
        return s;
    if (s.startsWith(QLatin1String("@@")))
        return s.mid(1);
    if (s.endsWith(QLatin1Char(')'))) {
        if (s.startsWith(QLatin1String("@String(")))
            return s.mid(8, s.size() - 9);
        static const char* const others[] = {"@ByteArray(", "@Variant(", "@DateTime(",
                                             "@Rect(",      "@Size(",    "@Point("};
        for (const char* other : others)
            if (s.startsWith(QLatin1String(other)))
                return std::nullopt;
        if (s == QLatin1String("@Invalid()"))
            return std::nullopt;
    }
    return s;
}

QByteArray lineEndOf(const QByteArray& text) {
    const qsizetype n = text.indexOf('\n');
    return n > 0 && text[n - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

} // namespace

QByteArray escapedKey(const QString& key) {
    QByteArray result;
    for (const QChar c : key) {
        const char16_t ch = c.unicode();
        if (ch == '/') {
            result += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                   (ch >= '0' && ch <= '9') || ch == '_' || ch == '-' || ch == '.') {
            result += char(ch);
        } else if (ch <= 0xFF) {
            result += '%' + QByteArray::number(ch, 16).toUpper().rightJustified(2, '0');
        } else {
            result += "%U" + QByteArray::number(ch, 16).toUpper().rightJustified(4, '0');
        }
    }
    return result;
}

QByteArray escapedValue(const QString& value) {
    QString s = value;
    if (s.contains(QChar::Null))
        s = QStringLiteral("@String(") + s + QLatin1Char(')');
    else if (s.startsWith(QLatin1Char('@')))
        s.prepend(QLatin1Char('@'));

    QByteArray result;
    bool needsQuotes = false;
    // After a numeric escape, a following hex digit would be read as part of it.
    bool escapeNextIfDigit = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t ch = s[i].unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        if (escapeNextIfDigit && isHexDigit(ch)) {
            result += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0':
            result += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a':
            result += "\\a";
            break;
        case '\b':
            result += "\\b";
            break;
        case '\f':
            result += "\\f";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\t':
            result += "\\t";
            break;
        case '\v':
            result += "\\v";
            break;
        case 0xFEFF:
            // QSettings drops it, written as it is, where it starts the value or follows a
            // quote; escaped, every reader keeps it.
            result += "\\xfeff";
            escapeNextIfDigit = true;
            break;
        case '"':
        case '\\':
            result += '\\';
            result += char(ch);
            break;
        default:
            if (QChar::isHighSurrogate(ch) && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
                result += QStringView(s).sliced(i, 2).toUtf8();
                ++i;
            } else if (ch <= 0x1F || QChar::isSurrogate(ch)) {
                // Half of a surrogate pair standing alone has no UTF-8 form: written as it is,
                // it would read back as "?".
                result += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else {
                result += QStringView(s).sliced(i, 1).toUtf8();
            }
        }
    }
    if (needsQuotes || result.startsWith(' ') || result.endsWith(' '))
        result = '"' + result + '"';
    return result;
}

std::optional<QString> value(const QByteArray& text, const QString& section, const QString& key) {
    std::optional<QByteArrayView> found;
    QString current;
    for (const Line& line : splitLines(text)) {
        const Parsed parsed = parse(text, line);
        if (parsed.kind == Parsed::Section)
            current = parsed.name;
        else if (parsed.kind == Parsed::Key && current == section && parsed.name == key)
            found = parsed.value;
    }
    if (!found)
        return std::nullopt;
    const std::optional<QString> unescaped = unescapedValue(*found);
    return unescaped ? textOf(*unescaped) : std::nullopt;
}

QByteArray withValue(const QByteArray& text, const QString& section, const QString& key,
                     const QString& value) {
    const QByteArray newLine = escapedKey(key) + '=' + escapedValue(value);
    const QByteArray lineEnd = lineEndOf(text);
    const QList<Line> lines = splitLines(text);

    QByteArray result;
    result.reserve(text.size() + newLine.size() + 32);
    QString current;
    bool replaced = false;
    qsizetype endOfSection = -1; // where the last of our section's lines ends
    qsizetype copied = 0;
    for (const Line& line : lines) {
        const Parsed parsed = parse(text, line);
        if (parsed.kind == Parsed::Section)
            current = parsed.name;
        if (current != section || parsed.kind == Parsed::Other)
            continue;
        if (parsed.kind == Parsed::Key && parsed.name == key) {
            result += QByteArrayView(text).sliced(copied, line.start - copied);
            result += newLine;
            copied = line.end;
            replaced = true;
        }
        endOfSection = line.next;
    }
    if (replaced) {
        result += QByteArrayView(text).sliced(copied);
        return result;
    }
    if (endOfSection >= 0) {
        result = text.left(endOfSection);
        if (!result.endsWith('\n') && !result.endsWith('\r'))
            result += lineEnd;
        return result + newLine + lineEnd + text.mid(endOfSection);
    }
    result = text;
    if (text.size() > startOfText(text)) {
        if (!result.endsWith('\n') && !result.endsWith('\r'))
            result += lineEnd;
        result += lineEnd;
    }
    return result + '[' + escapedKey(section) + ']' + lineEnd + newLine + lineEnd;
}

} // namespace ini
