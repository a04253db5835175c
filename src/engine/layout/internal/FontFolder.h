#pragma once
// The Liberation files of the font folder, loaded into Qt's font database a family at a time.

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <mutex>

namespace wordengine::layout {

// The folder's files by family, named as the Liberation files are: "LiberationSans-Bold.ttf"
// holds a face of "Liberation Sans". fontconfig reads every file it is given, and a bill uses
// one family of the sixteen files, so a family's files are loaded the first time the family
// is asked for; all its styles at once, so that Qt chooses among them as it would among all.
// Liberation Sans, which stands in for Arial, is loaded from the start. Needs a
// QGuiApplication; safe to use from several threads.
class FontFolder {
public:
    explicit FontFolder(const QString& path);

    // Whether Qt takes `family` from the folder, where no fallback is ever consulted for a
    // character the face has. The family's files are loaded first when they are not yet.
    bool sets(const QString& family);

    // Whether Liberation Sans came with its regular and bold faces.
    bool sansFaces() const { return sansLoaded; }

private:
    void loadFamily(const QString& family);
    bool load(const QString& key);

    std::mutex lock;
    QMap<QString, QStringList> unloaded; // family key: the paths of its files
    QSet<QString> loaded;                // family keys
    QStringList families;                // the families the loaded files gave
    bool regular = false;
    bool bold = false;
    bool sansLoaded = false; // set once, before the folder is shared
};

} // namespace wordengine::layout
