#include "FontFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

namespace wordengine::layout {
namespace {

// "Liberation Sans Narrow" and "LiberationSansNarrow-Bold.ttf" give the same key.
QString familyKey(QStringView family) {
    QString key = family.toString().toLower();
    key.remove(QLatin1Char(' '));
    return key;
}

QString familyKeyOfFile(const QString& file) {
    const QString name = QFileInfo(file).completeBaseName();
    return familyKey(name.left(name.indexOf(QLatin1Char('-')))); // no style: the whole name
}

} // namespace

FontFolder::FontFolder(const QString& path) {
    const QDir folder(path);
    for (const QString& file : folder.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        unloaded[familyKeyOfFile(file)].append(folder.filePath(file));
    // Before the first font is matched, as when the whole folder was loaded at the start.
    loadFamily(QStringLiteral("Liberation Sans"));
    sansLoaded = regular && bold;
}

bool FontFolder::sets(const QString& family) {
    const std::lock_guard<std::mutex> hold(lock);
    loadFamily(family);
    return sansLoaded && families.contains(family, Qt::CaseInsensitive);
}

// A family no file is named for may be in any of them, and a file may hold another family
// than its name says: either way the names no longer tell which files a family needs, and
// every file left is loaded.
void FontFolder::loadFamily(const QString& family) {
    if (unloaded.isEmpty())
        return;
    const QString key = familyKey(family);
    if (loaded.contains(key) || (unloaded.contains(key) && load(key)))
        return;
    while (!unloaded.isEmpty())
        load(unloaded.firstKey());
}

// Loads the files of the family `key`; false when one of them gave another family.
bool FontFolder::load(const QString& key) {
    const QStringList paths = unloaded.take(key);
    loaded.insert(key);
    bool named = true;
    for (const QString& path : paths) {
        const int id = QFontDatabase::addApplicationFont(path);
        if (id < 0)
            continue;
        for (const QString& given : QFontDatabase::applicationFontFamilies(id)) {
            named = named && familyKey(given) == key;
            if (!families.contains(given))
                families.append(given);
        }
        const QString file = QFileInfo(path).fileName();
        regular = regular || file == QLatin1String("LiberationSans-Regular.ttf");
        bold = bold || file == QLatin1String("LiberationSans-Bold.ttf");
    }
    return named;
}

} // namespace wordengine::layout
