#pragma once
// The per-user settings store: text values addressed by application, section and key.
// Each application is one INI file in the store's folder (the user's configuration folder
// by default) and each section a group in it. Every write is on disk, atomically, before it
// returns; two processes that write different keys of one file both keep theirs.

#include <QString>

class SettingsStore {
public:
    // The largest file the store reads or writes. Every write reads and replaces the whole
    // file, one write per keystroke: at this size one still takes well under a tenth of a
    // second, and a box filled to its limit with plain text still fits beside the others.
    static constexpr qint64 maxFileSize = qint64(16) << 20;

    // A store whose files live in `folder`.
    explicit SettingsStore(QString folder);

    // The user's store, in the user's configuration folder.
    static SettingsStore& user();

    // The stored value, or `defaultValue` when the key (or its section or file) is absent,
    // or the file cannot be read at all or is larger than maxFileSize.
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue = {}) const;

    // Creates or replaces the value. Throws Failure, naming what failed, when the value
    // could not be put on disk, or the file is or would grow larger than maxFileSize; the
    // file then holds what it held before.
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value);

    QString filePath(const QString& application) const;
    const QString& folder() const { return root; }

private:
    QString root;
};

// The user's store, as the rest of the program uses it.
QString ReadSetting(const QString& application, const QString& section, const QString& key,
                    const QString& defaultValue = {});
void WriteSetting(const QString& application, const QString& section, const QString& key,
                  const QString& value);
