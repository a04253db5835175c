#pragma once
// The text of an INI settings file, read and changed one key at a time.
//
// The store file is shared by name with other programs of the same maker, each in a section
// of its own, and people edit it by hand. A change therefore touches only the lines of the
// one key it sets: every other byte (comments, other sections, their spelling and escapes,
// line ends) stays as it was.
//
// Keys, section names and values are spelled the way Qt's QSettings spells them in its INI
// format (keys "%20" for a space, values quoted and backslash-escaped as needed), so that
// files written before, and files read by QSettings, mean the same on both sides.

#include <QByteArray>
#include <QString>
#include <optional>

namespace ini {

// A key or section name as it appears in the file ("Name Of Buyer" -> "Name%20Of%20Buyer").
QByteArray escapedKey(const QString& key);
// A value as it appears after the "=".
QByteArray escapedValue(const QString& value);

// The value of `key` in `section` of the file's text: absent when there is no such key, or
// when what is there is not a plain text (a list, or another type in QSettings' notation).
// Where the key appears more than once, the last one counts, as for QSettings.
std::optional<QString> value(const QByteArray& text, const QString& section, const QString& key);

// The file's text with `key` in `section` set to `value`. Lines holding that key are
// replaced; otherwise the key is added at the end of the section, and the section at the end
// of the file when it has none. Nothing else changes.
QByteArray withValue(const QByteArray& text, const QString& section, const QString& key,
                     const QString& value);

} // namespace ini
