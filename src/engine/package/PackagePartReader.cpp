// The pass over a part's bytes before it is parsed: linear, allocating nothing but a number for
// each open element. Past the bounds below no sound part goes.
#include "PackagePartReader.h"

#include "PackageReader.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

namespace wordengine::package {

namespace {

// Word's and LibreOffice's elements carry a dozen attributes or so, twenty or thirty on a shape;
// their root elements declare some forty namespaces.
constexpr int kMostAttributes = 128;
constexpr int kMostNamespaces = 128;
// Nested tables, drawings and content controls stay well within a hundred levels.
constexpr int kDeepestElement = 1024;

// The part as 8-bit units (UTF-8, or an encoding that keeps ASCII as it is) or as the 16-bit
// units of UTF-16 in either byte order: markup is ASCII in all of them.
struct ByteUnits {
    const uchar* data;
    qsizetype size;
    char16_t operator[](qsizetype i) const { return data[i]; }
};

struct Utf16Units {
    const uchar* data;
    qsizetype size;
    bool bigEndian;
    char16_t operator[](qsizetype i) const {
        const uchar a = data[2 * i], b = data[2 * i + 1];
        return bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
    }
};

template <typename Units> class MarkupScan {
public:
    MarkupScan(Units units, const PackageLimits& limits)
        : u_(units), maxCharacters_(limits.maxCharacters),
          maxMarkup_(limits.maxCharacters + limits.maxItems) {}

    void run() {
        while (i_ < u_.size) {
            if (u_[i_] != u'<')
                text();
            else if (at("</"))
                endTag();
            else if (at("<!--"))
                skipPast("-->");
            else if (at("<![CDATA[")) {
                i_ += 9;
                text(true);
            } else if (at("<?"))
                skipPast("?>");
            else if (at("<!"))
                skipPast(">");
            else
                startTag();
        }
    }

private:
    bool at(const char* s) const {
        qsizetype j = i_;
        for (; *s; ++s, ++j)
            if (j >= u_.size || u_[j] != char16_t(*s))
                return false;
        return true;
    }

    static bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

    // Characters up to the next '<', or of a CDATA section up to its end. An entity reference
    // counts one (a character reference past U+FFFF is two; the document reader's own count
    // is exact). In UTF-8 a character is its lead byte, and one of four bytes is two UTF-16
    // units; a byte that continues nothing counts, so that no decoding can make more of it.
    void text(bool cdata = false) {
        // Outside the root element only white space may stand, which is no text of the
        // document's but is held as one string all the same: it has a bound of its own.
        qint64& total = declaredByOpen_.empty() ? outsideRoot_ : characters_;
        qint64 count = 0;
        int pending = 0; // continuation bytes the last lead byte announced
        while (i_ < u_.size) {
            const char16_t c = u_[i_];
            if (cdata ? c == u']' && at("]]>") : c == u'<')
                break;
            ++i_;
            if constexpr (std::is_same_v<Units, ByteUnits>) {
                if ((c & 0xC0) == 0x80 && pending > 0) {
                    --pending;
                    continue;
                }
                pending = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
                count += c >= 0xF0 ? 2 : 1;
            } else {
                ++count;
            }
            if (c == u'&')
                skipReferenceName();
            if (total + count > maxCharacters_)
                throw OversizedPart{QStringLiteral("line %1: its text holds more than %2 "
                                                   "characters, more than a document may have")
                                        .arg(line())
                                        .arg(maxCharacters_)};
        }
        if (cdata)
            i_ += 3;
        total += count;
    }

    void skipReferenceName() {
        constexpr int longest = 10; // "#x10FFFF"
        for (qsizetype j = i_; j < u_.size && j - i_ <= longest; ++j) {
            const char16_t c = u_[j];
            if (c == u';') {
                i_ = j + 1;
                return;
            }
            if (!(c == u'#' || (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') ||
                  (c >= u'A' && c <= u'Z')))
                return;
        }
    }

    void skipPast(const char* end) {
        const qsizetype start = i_;
        i_ += 2;
        while (i_ < u_.size && !at(end))
            ++i_;
        i_ = std::min(u_.size, i_ + qsizetype(strlen(end)));
        checkMarkupLength(start);
    }

    // A name, up to white space or a character of markup.
    void skipName() {
        while (i_ < u_.size) {
            const char16_t c = u_[i_];
            if (isSpace(c) || c == u'=' || c == u'/' || c == u'>' || c == u'<' || c == u'"' ||
                c == u'\'')
                return;
            ++i_;
        }
    }

    void skipSpace() {
        while (i_ < u_.size && isSpace(u_[i_]))
            ++i_;
    }

    bool isDeclaration(qsizetype from, qsizetype to) const {
        static constexpr char16_t xmlns[] = u"xmlns";
        if (to - from < 5 || (to - from > 5 && u_[from + 5] != u':'))
            return false;
        for (int k = 0; k < 5; ++k)
            if (u_[from + k] != xmlns[k])
                return false;
        return true;
    }

    // Elements and attributes are what the parser spends its time on. A tab or a break is an
    // element of its own, so a part may have one for each character a document may hold; the
    // paragraphs, runs, rows and cells around them take a few each.
    void countMarkup() {
        if (++markup_ > maxMarkup_)
            throw OversizedPart{QStringLiteral("line %1: it holds more than %2 elements and "
                                               "attributes")
                                    .arg(line())
                                    .arg(maxMarkup_)};
    }

    void startTag() {
        const qsizetype start = i_++;
        countMarkup();
        skipName();
        int attributes = 0, declarations = 0;
        bool open = true;
        while (i_ < u_.size) {
            skipSpace();
            if (i_ >= u_.size || u_[i_] == u'<')
                break; // not well-formed: QXmlStreamReader says where
            const char16_t c = u_[i_];
            if (c == u'>') {
                ++i_;
                break;
            }
            if (c == u'/') {
                ++i_;
                open = false;
                continue;
            }
            if (c == u'"' || c == u'\'') {
                skipQuoted();
                continue;
            }
            if (c == u'=') {
                ++i_;
                continue;
            }
            const qsizetype name = i_;
            skipName();
            countMarkup();
            if (isDeclaration(name, i_))
                ++declarations;
            else if (++attributes > kMostAttributes)
                throw MalformedPart{QStringLiteral("line %1: an element carries more than %2 "
                                                   "attributes")
                                        .arg(line())
                                        .arg(kMostAttributes)};
        }
        checkMarkupLength(start);
        inForce_ += declarations;
        if (inForce_ > kMostNamespaces)
            throw MalformedPart{QStringLiteral("line %1: more than %2 namespace declarations are "
                                               "in force at once")
                                    .arg(line())
                                    .arg(kMostNamespaces)};
        if (!open) {
            inForce_ -= declarations;
            return;
        }
        if (int(declaredByOpen_.size()) >= kDeepestElement)
            throw MalformedPart{QStringLiteral("line %1: elements are nested more than %2 deep")
                                    .arg(line())
                                    .arg(kDeepestElement)};
        declaredByOpen_.push_back(declarations);
    }

    void skipQuoted() {
        const char16_t quote = u_[i_++];
        while (i_ < u_.size && u_[i_] != quote)
            ++i_;
        ++i_;
    }

    void endTag() {
        const qsizetype start = i_;
        while (i_ < u_.size && u_[i_] != u'>')
            ++i_;
        ++i_;
        checkMarkupLength(start);
        if (!declaredByOpen_.empty()) {
            inForce_ -= declaredByOpen_.back();
            declaredByOpen_.pop_back();
        }
    }

    // A tag, comment or instruction is read whole into one string too.
    void checkMarkupLength(qsizetype start) const {
        if (i_ - start > maxCharacters_)
            throw OversizedPart{QStringLiteral("line %1: a tag, comment or instruction is longer "
                                               "than %2 characters")
                                    .arg(line())
                                    .arg(maxCharacters_)};
    }

    // Counted only for a message.
    qsizetype line() const {
        qsizetype lines = 1;
        for (qsizetype j = 0; j < std::min(i_, u_.size); ++j)
            lines += u_[j] == u'\n';
        return lines;
    }

    const Units u_;
    const qint64 maxCharacters_;
    const qint64 maxMarkup_;
    qint64 markup_ = 0;
    qsizetype i_ = 0;
    qint64 characters_ = 0;
    qint64 outsideRoot_ = 0;
    int inForce_ = 0;                 // namespace declarations of the open elements
    std::vector<int> declaredByOpen_; // each open element's own
};

} // namespace

PackagePartReader::PackagePartReader(const QByteArray& bytes, const PackageLimits& limits) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    // UTF-16 by its byte order mark, or by the "<" of its first markup.
    const bool big = bytes.startsWith("\xFE\xFF") || bytes.startsWith(QByteArray("\0<", 2));
    const bool little = bytes.startsWith("\xFF\xFE") || bytes.startsWith(QByteArray("<\0", 2));
    if (big || little)
        MarkupScan<Utf16Units>(Utf16Units{data, size / 2, big}, limits).run();
    else
        MarkupScan<ByteUnits>(ByteUnits{data, size}, limits).run();
    device_.setData(bytes);
    device_.open(QIODevice::ReadOnly);
    xml_.setDevice(&device_);
}

} // namespace wordengine::package
