#include "SkinFramework.h"

#include "Failure.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QWidget>

namespace {

// Qt parses a style sheet only when a widget is polished, and says so only as a warning;
// polish a throwaway widget and listen for it.
int parseWarnings = 0;

void countParseWarnings(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.contains(QStringLiteral("Could not parse")))
        ++parseWarnings;
}

bool parsesAsStyleSheet(const QString& sheet) {
    parseWarnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(countParseWarnings);
    {
        QWidget probe;
        probe.setStyleSheet(sheet);
        probe.ensurePolished();
    }
    qInstallMessageHandler(previous);
    return parseWarnings == 0;
}

} // namespace

void SkinFramework::LoadSkin(const QString& path, const QString& /*iniFileName*/) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("The skin file %1 cannot be read.").arg(shown));
    const QByteArray bytes = file.readAll();
    if (bytes.trimmed().isEmpty())
        throw Failure(QStringLiteral("The skin file %1 is empty.").arg(shown));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError() || text.contains(QChar(0)) || !parsesAsStyleSheet(text))
        throw Failure(QStringLiteral("The skin file %1 is not a style sheet.").arg(shown));
    sheet = text;
    loaded = true;
}

void SkinFramework::ApplyWindow(QWidget* window) {
    if (!loaded || !window)
        throw Failure(QStringLiteral("No skin is loaded."));
    window->setStyleSheet(sheet);
}
