// Fonts of the layout: the Liberation families loaded from the system's font folder and put
// in the place of the Microsoft fonts they were made to match, the Noto fonts that draw the
// scripts Liberation lacks, and their vertical metrics.
#include "FewKept.h"
#include "FontFolder.h"
#include "Layout.h"
#include "LayoutInternal.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QRawFont>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>

namespace wordengine::layout {
namespace {

// Where the Liberation fonts are: Debian's folder, or VANTOREL_FONT_DIR for an installation
// that keeps them elsewhere.
QString fontFolder() {
    const QString chosen = qEnvironmentVariable("VANTOREL_FONT_DIR");
    return chosen.isEmpty() ? QStringLiteral("/usr/share/fonts/truetype/liberation") : chosen;
}

// Metric-compatible stand-ins. Mapping the names here rather than through fontconfig keeps
// the layout the same on every machine that has the Liberation fonts.
QString familyFor(const QString& name) {
    static const QHash<QString, QString> substitutes{
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("arial narrow"), QStringLiteral("Liberation Sans Narrow")},
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
    };
    return substitutes.value(name.toLower(), name);
}

// Names are typed in any script; Liberation covers Latin, Greek and Cyrillic only. These
// faces from Debian's fonts-noto-core, fonts-noto-cjk and fonts-noto-color-emoji take the
// characters a run's own font lacks, in this order. They are named by file, like Liberation,
// so that which other fonts a machine has never changes a page; a file that is missing only
// leaves its script to whatever the system offers. Latin text never reaches them: its lines
// break and sit exactly as with Liberation alone. The scripts that need the font's own
// shaping rules come before the others, whose fonts Qt would otherwise try first, and
// reject with a warning, for them.
struct FallbackFace {
    const char* family;
    const char* regular; // under /usr/share/fonts
    const char* bold;    // nullptr: the regular face serves bold text too
};

constexpr const char* kColourEmojiFamily = "Noto Color Emoji";

constexpr FallbackFace kFallbackFaces[] = {
    {"Noto Sans", "truetype/noto/NotoSans-Regular.ttf", "truetype/noto/NotoSans-Bold.ttf"},
    {"Noto Sans Arabic", "truetype/noto/NotoSansArabic-Regular.ttf",
     "truetype/noto/NotoSansArabic-Bold.ttf"},
    {"Noto Sans Hebrew", "truetype/noto/NotoSansHebrew-Regular.ttf",
     "truetype/noto/NotoSansHebrew-Bold.ttf"},
    {"Noto Sans Devanagari", "truetype/noto/NotoSansDevanagari-Regular.ttf",
     "truetype/noto/NotoSansDevanagari-Bold.ttf"},
    {"Noto Sans Bengali", "truetype/noto/NotoSansBengali-Regular.ttf",
     "truetype/noto/NotoSansBengali-Bold.ttf"},
    {"Noto Sans Gurmukhi", "truetype/noto/NotoSansGurmukhi-Regular.ttf",
     "truetype/noto/NotoSansGurmukhi-Bold.ttf"},
    {"Noto Sans Gujarati", "truetype/noto/NotoSansGujarati-Regular.ttf",
     "truetype/noto/NotoSansGujarati-Bold.ttf"},
    {"Noto Sans Tamil", "truetype/noto/NotoSansTamil-Regular.ttf",
     "truetype/noto/NotoSansTamil-Bold.ttf"},
    {"Noto Sans Telugu", "truetype/noto/NotoSansTelugu-Regular.ttf",
     "truetype/noto/NotoSansTelugu-Bold.ttf"},
    {"Noto Sans Kannada", "truetype/noto/NotoSansKannada-Regular.ttf",
     "truetype/noto/NotoSansKannada-Bold.ttf"},
    {"Noto Sans Malayalam", "truetype/noto/NotoSansMalayalam-Regular.ttf",
     "truetype/noto/NotoSansMalayalam-Bold.ttf"},
    {"Noto Sans Sinhala", "truetype/noto/NotoSansSinhala-Regular.ttf",
     "truetype/noto/NotoSansSinhala-Bold.ttf"},
    {"Noto Sans Thai", "truetype/noto/NotoSansThai-Regular.ttf",
     "truetype/noto/NotoSansThai-Bold.ttf"},
    {"Noto Sans Lao", "truetype/noto/NotoSansLao-Regular.ttf",
     "truetype/noto/NotoSansLao-Bold.ttf"},
    {"Noto Sans Khmer", "truetype/noto/NotoSansKhmer-Regular.ttf",
     "truetype/noto/NotoSansKhmer-Bold.ttf"},
    {"Noto Sans Myanmar", "truetype/noto/NotoSansMyanmar-Regular.ttf",
     "truetype/noto/NotoSansMyanmar-Bold.ttf"},
    {"Noto Sans Armenian", "truetype/noto/NotoSansArmenian-Regular.ttf",
     "truetype/noto/NotoSansArmenian-Bold.ttf"},
    {"Noto Sans Georgian", "truetype/noto/NotoSansGeorgian-Regular.ttf",
     "truetype/noto/NotoSansGeorgian-Bold.ttf"},
    {"Noto Sans Ethiopic", "truetype/noto/NotoSansEthiopic-Regular.ttf",
     "truetype/noto/NotoSansEthiopic-Bold.ttf"},
    // One face of the collection for Chinese, Japanese and Korean alike (each face holds all
    // their characters): the Japanese one, whose forms LibreOffice chooses for the same file.
    {"Noto Sans CJK JP", "opentype/noto/NotoSansCJK-Regular.ttc",
     "opentype/noto/NotoSansCJK-Bold.ttc"},
    // Before the symbol fonts, which draw some emoji too, but in outline: an emoji typed is
    // drawn in colour.
    {kColourEmojiFamily, "truetype/noto/NotoColorEmoji.ttf", nullptr},
    {"Noto Sans Symbols", "truetype/noto/NotoSansSymbols-Regular.ttf",
     "truetype/noto/NotoSansSymbols-Bold.ttf"},
    {"Noto Sans Symbols2", "truetype/noto/NotoSansSymbols2-Regular.ttf", nullptr},
};

QString fallbackFontFolder() {
    const QString chosen = qEnvironmentVariable("VANTOREL_FALLBACK_FONT_DIR");
    return chosen.isEmpty() ? QStringLiteral("/usr/share/fonts") : chosen;
}

// Nothing when there is no application: the font database needs one.
FontFolder* fontFolderFaces() {
    static const std::unique_ptr<FontFolder> folder(
        QGuiApplication::instance() ? new FontFolder(fontFolder()) : nullptr);
    return folder.get();
}

// The fallback faces cost most of a start: fontconfig reads the character set of every face,
// and the CJK collections hold tens of thousands of characters in each of their faces. A bill
// in Latin letters never reaches them, so they are loaded the first time a run needs a
// character or a family that Liberation lacks, before that run is shaped or measured. Every
// font names them from the start all the same: a font is then the same font whenever it is
// made, and Qt looks past the first family only for a character it lacks.
std::atomic<bool> fallbacksReady{false};

QString fallbackFile(const char* file) {
    return QDir(fallbackFontFolder()).filePath(QString::fromLatin1(file));
}

// The families of kFallbackFaces whose files are there.
const QStringList& fallbackFamilies() {
    static const QStringList families = [] {
        QStringList there;
        if (!QGuiApplication::instance())
            return there;
        for (const FallbackFace& face : kFallbackFaces)
            for (const char* file : {face.regular, face.bold})
                if (file && QFileInfo(fallbackFile(file)).isFile())
                    there.append(QString::fromLatin1(face.family));
        there.removeDuplicates();
        return there;
    }();
    return families;
}

// Shaping a script that needs OpenType tables (Devanagari, say), Qt tells on the program's
// output of every family it passes over on the way down the fallbacks to the face that has it,
// once per family and script. The order is ours on purpose, so that is no news to a person
// reading the output: those notices are dropped and every other message passes on.
QtMessageHandler passOn = nullptr;

void withoutFallbackNotices(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("  OpenType support missing for ")))
        return;
    passOn(type, context, message);
}

void loadFallbackFaces() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (!QGuiApplication::instance())
            return;
        passOn = qInstallMessageHandler(withoutFallbackNotices);
        for (const FallbackFace& face : kFallbackFaces)
            for (const char* file : {face.regular, face.bold})
                if (file)
                    QFontDatabase::addApplicationFont(fallbackFile(file));
        fallbacksReady.store(true, std::memory_order_release);
    });
}

// Any pixel size will do for reaching the colour emoji face: every size shares its one
// FreeType face on this thread.
constexpr int kColourEmojiProbePixels = 100;

// Whether Qt takes this family from the font folder, where no fallback is ever consulted
// for a character the face has.
bool fromFontFolder(const QString& family) {
    FontFolder* folder = fontFolderFaces();
    return folder && folder->sets(family);
}

// Kept per thread a few at a time, by the name as the format gives it: nearly every run of
// every document asks, and a bill names one or two fonts. Only a yes is kept, since the folder
// only ever loads more families.
bool fontFolderSetsName(const QString& fontName) {
    thread_local FewKept<QString, bool> setByFolder;
    if (setByFolder.find(fontName))
        return true;
    if (!fromFontFolder(familyFor(fontName)))
        return false;
    setByFolder.keep(fontName, true);
    return true;
}

// The face that sets `format`, to ask which characters it has (of any size). Per thread, as
// Qt's font engines are; by the name as given, like fontFolderSetsName.
const QRawFont& faceOf(const CharFormat& format) {
    thread_local FewKept<std::pair<bool, QString>, QRawFont> faces;
    return faces.get({format.bold, format.fontName},
                     [&] { return QRawFont::fromFont(fontFor(format)); });
}

// Whether the face that sets `format` has a glyph of its own for every character of `text`,
// so that Qt never looks past it. A lone surrogate counts as missing.
bool faceHasAll(const CharFormat& format, QStringView text) {
    const QRawFont& face = faceOf(format);
    if (!face.isValid())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (QChar::isSurrogate(c) || !face.supportsCharacter(uint(c)))
            return false;
    }
    return true;
}

qint16 readInt16(const QByteArray& table, int at) {
    if (table.size() < at + 2)
        return 0;
    return qFromBigEndian<qint16>(table.constData() + at);
}

// Ascent, descent and line gap per em, from the font's horizontal header: the values Word
// uses for single spacing (for Arial they equal the Windows metrics of the OS/2 table).
FontMetrics unitMetrics(const QFont& font) {
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray hhea = raw.isValid() ? raw.fontTable("hhea") : QByteArray();
    const double unitsPerEm = raw.isValid() ? raw.unitsPerEm() : 0.0;
    if (hhea.size() >= 10 && unitsPerEm > 0) {
        return {readInt16(hhea, 4) / unitsPerEm, -readInt16(hhea, 6) / unitsPerEm,
                readInt16(hhea, 8) / unitsPerEm};
    }
    // No tables (not a TrueType font): fall back on Qt's metrics at the large pixel size.
    const QFontMetricsF fm(font);
    const double px = font.pixelSize() > 0 ? font.pixelSize() : 1.0;
    return {fm.ascent() / px, fm.descent() / px, fm.leading() / px};
}

} // namespace

bool loadFonts() {
    const FontFolder* folder = fontFolderFaces();
    return folder && folder->sansFaces();
}

QFont fontFor(const CharFormat& format, FontFallbacks fallbacks) {
    const QString family = familyFor(format.fontName);
    // Another family is found by fontconfig among all the faces it knows, the fallback faces
    // among them: they are in place before it is looked for.
    if (!fromFontFolder(family))
        loadFallbackFaces();
    QFont font;
    font.setFamilies(fallbacks == FontFallbacks::Named ? QStringList{family} + fallbackFamilies()
                                                       : QStringList{family});
    font.setPixelSize(std::max(1, int(std::lround(format.size * kTwipsPerPoint))));
    font.setBold(format.bold);
    font.setUnderline(format.underline != Underline::None);
    // Word sets no kerning unless asked, and design metrics keep widths off the pixel grid.
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void reselectColourEmojiSize() {
    if (!fallbacksReady.load(std::memory_order_acquire))
        return; // no emoji has been set yet
    QFont font(QString::fromLatin1(kColourEmojiFamily));
    font.setPixelSize(kColourEmojiProbePixels);
    QRawFont face = QRawFont::fromFont(font);
    // A face of bitmaps reports its em as the pixels of the size it is set at: none, once lost.
    if (!face.isValid() || face.familyName() != QLatin1String(kColourEmojiFamily) ||
        face.unitsPerEm() > 0)
        return;
    // Qt picks the bitmap size again for every font engine it makes on a face; one made
    // here and dropped leaves the face as a fresh one, for the engines that share it.
    face.setPixelSize(kColourEmojiProbePixels + 1);
}

bool fontFolderSetsAll(const CharFormat& format, QStringView text) {
    return fontFolderSetsName(format.fontName) && faceHasAll(format, text);
}

void prepareFontsFor(const CharFormat& format, QStringView text) {
    if (!fallbacksReady.load(std::memory_order_acquire) && !faceHasAll(format, text))
        loadFallbackFaces();
}

FontMetrics metricsFor(const CharFormat& format) {
    // Per family and weight, per em; scaled to the size here. vantorel-bill --batch lays
    // documents out on several threads at once, so the table is shared under a lock; a miss
    // is rare (one per family and weight), a hit is a lookup.
    static QHash<QString, FontMetrics> perEm;
    static std::mutex perEmLock;
    const QString key = format.fontName.toLower() + (format.bold ? QLatin1String("/b") : QString());
    FontMetrics unit;
    {
        const std::lock_guard<std::mutex> hold(perEmLock);
        auto it = perEm.find(key);
        if (it == perEm.end())
            it = perEm.insert(key, unitMetrics(fontFor(format)));
        unit = *it;
    }
    const double em = format.size * kTwipsPerPoint;
    return {unit.ascent * em, unit.descent * em, unit.lineGap * em};
}

} // namespace wordengine::layout

namespace wordengine {

bool arialAvailable() {
    return layout::loadFonts();
}

double lineHeight(const CharFormat& format) {
    const layout::FontMetrics m = layout::metricsFor(format);
    return (m.ascent + m.descent + m.lineGap) / layout::kTwipsPerPoint;
}

} // namespace wordengine
